#pragma once

#include "extract/ExtractionContext.h"

#include <QString>

namespace plw {

struct ConditionRecord;

// What an extraction left.
struct ExtractionResult {
    // Customers in the current table after the exclusions, before any sampling.
    qint64 Count = 0;
    // "OK"/"NG" of the rank step, then of the age step: the age step's report.
    QString StepStatus;
    QString RankStatus;
    QString AgeStatus;
    // The table the last steps worked on: "Work抽出A", "Work抽出3" or "Work抽出5".
    QString CurrentTable;
    // Mode "CR": the records written to the key file, and whether the key file is what the
    // extraction says (false with KeyFileError when it could not be deleted or written).
    qint64 KeyRecords = 0;
    bool KeyFileOk = true;
    QString KeyFileError;
};

// Extracts the customers that satisfy the conditions into the work tables of the transaction
// database and, in mode "CR", writes their numbers to the key file in ascending order.
//
// "CR" deletes the key file first and writes it when the count is above 0 (none is left for 0);
// "KN" (and any other mode) only counts and leaves the key file alone. Sampling mode "RND" writes a
// random sample of sampleSize customers when there are more; any other mode writes every customer.
// The wait window shows each step, and the run yields to the event pump before and after each one.
// Database errors throw db::DatabaseError, except where a missing work table is dropped or the
// index of a joined table cannot be made.
ExtractionResult ExtractCustomers(ExtractionContext& context, const QString& mode,
                                  const ConditionRecord& conditions, const QString& keyFilePath,
                                  const QString& samplingMode, qint64 sampleSize);

} // namespace plw

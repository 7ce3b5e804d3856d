#pragma once

#include "extract/ExtractionContext.h"

#include <QString>

namespace plw {

struct ConditionRecord;

// Whether an extraction writes the key file (the suite's mode "CR") or only counts ("KN").
enum class ExtractionMode { Count, WriteKeyFile };
// Which extracted customers the key file gets: every one ("NOR") or a random sample ("RND").
enum class Sampling { Every, Random };

// What an extraction left.
struct ExtractionResult {
    // Customers in the current table after the exclusions, before any sampling.
    qint64 Count = 0;
    // Whether the rank step, then the age step found customers: the last step's report.
    bool StepFound = false;
    bool RankFound = false;
    bool AgeFound = false;
    // The table the last steps worked on: "Work抽出A", "Work抽出3" or "Work抽出5".
    QString CurrentTable;
    // The operator cancelled: the steps after the cancel were skipped, so the count and the
    // tables may be incomplete, and no key file was written.
    bool Cancelled = false;
    // Writing the key file: the records written to the key file, and whether the key file is what
    // the extraction says (false with KeyFileError when it could not be deleted or written).
    qint64 KeyRecords = 0;
    bool KeyFileOk = true;
    QString KeyFileError;
};

// Extracts the customers that satisfy the conditions into the work tables of the transaction
// database and, when it writes the key file, their numbers to the key file in ascending order.
//
// Writing deletes the key file first and writes it when the count is above 0 (none is left for
// 0); counting leaves the key file alone. Random sampling writes a random sample of sampleSize
// customers when there are more; otherwise every customer is written.
// The wait window shows each step, and the run yields to the event pump before and after each one.
// Database errors throw db::DatabaseError, except where a missing work table is dropped or the
// index of a joined table cannot be made.
ExtractionResult ExtractCustomers(ExtractionContext& context, ExtractionMode mode,
                                  const ConditionRecord& conditions, const QString& keyFilePath,
                                  Sampling sampling = Sampling::Every, qint64 sampleSize = 0);

} // namespace plw

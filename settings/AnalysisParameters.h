#pragma once

#include "app/StoredFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace plw {

class RecordWriter;

// The analysis parameters as stored in PLWAN40.PRM: 35 fields in their stored order. Dates are
// "YYYYMMDD", flags "1"/"0", options their number as text; array index i holds element i + 1
// (RThreshold[4] is rank 5, GroupMatrix[0] is cell 1).
struct AnalysisParameters {
    static constexpr int ListItemCapacity = 40;

    QByteArray ReservedHead = QByteArray(2, '\0'); // never set; written back exactly as read
    QString LastVisitFrom;
    QString LastVisitTo;
    QString LastVisitMonths;
    QString BaseDate;
    std::array<QString, 5> RThreshold;
    std::array<QString, 5> FThreshold;
    std::array<QString, 5> MThreshold;
    QString PaintGroup;
    std::array<QString, 125> GroupMatrix;
    QString OutParameters;
    QString OutGroupValues;
    QString LeftChartType;
    QString RightChartType;
    QString OutCustomerList;
    QString OutRCount;
    QString OutRAmount;
    QString OutFCount;
    QString OutFAmount;
    QString OutMCount;
    QString OutMAmount;
    QString ListOrder;
    QString ListGroupA;
    QString ListGroupB;
    QString ListGroupC;
    QString ListGroupD;
    QString ListGroupE;
    QString ListGroupX;
    QString WorkbookName;
    QString ListItemCount;
    std::array<QString, ListItemCapacity> ListItems;
    QString DetailPeriodOn;
    QString LastVisitFromDetail;
    QString DetailFrom;
    QString DetailTo;

    bool operator==(const AnalysisParameters&) const = default;
};

constexpr qsizetype ParameterRecordLength = 2560;

// A flag field: "1" is on, any other text off. A flag is stored as "1" or "0".
bool ParameterFlagOn(const QString& field);
QString ParameterFlagText(bool on);
// The option an option field selects, "1" to count as its number; 0 for any other text.
int ParameterOption(const QString& field, int count);
// The output items left out of the customer list: the first ListItemCount items, as stored.
QStringList LeftOutItems(const AnalysisParameters& parameters);

// How much of a stored record could be read back.
enum class StoredRecordState {
    Complete,  // every field lay within the bytes
    Truncated, // the bytes ended early: the missing fields read as empty
    Foreign,   // not a record of this kind: a length reaches past the record, or bytes that are
               // no CP932 text
};

// Appends the 35 fields to a writer for records of ParameterRecordLength bytes; a record that
// would not fit, or a text CP932 cannot hold, fails the writer.
void EncodeAnalysisParameters(const AnalysisParameters& parameters, RecordWriter& writer);
AnalysisParameters DecodeAnalysisParameters(const QByteArray& bytes, StoredRecordState* state);

// Reads record 1 of the parameter file into parameters. A file may end right after the last
// field; one that is missing, empty, unreadable, cut inside a field or holds no parameter record
// leaves parameters as they were, and says which.
StoredFileRead ReadParameterFile(const QString& systemPath, AnalysisParameters& parameters);
// Writes the parameters as record 1, atomically, keeping the file's other bytes. A record that
// does not fit is refused with the reason and the file is left as it was.
bool WriteParameterFile(const QString& systemPath, const AnalysisParameters& parameters,
                        QString* error);

} // namespace plw

#pragma once

#include "rfm/GroupHistory.h"
#include "settings/OutputScreenState.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace plw::db {
class Database;
}

namespace plw {

// Rows of the movement table: the group in the earlier run, A to E and X, then the customers
// the earlier run did not score ("新規"). Columns: the group now, A to E and X, then the
// customers of the earlier run not scored now ("対象外").
constexpr int MovementNew = 6;
constexpr int MovementGone = 6;

// Where the customers of one run stand against a kept run.
struct GroupMovement {
    KeptRun Earlier;
    QDate BaseDate;                                   // the run's own
    std::array<std::array<qint64, 7>, 7> Customers{}; // [row][column]
    // This run's amounts (the amounts it ranked by, in yen) per row and group now.
    std::array<std::array<qint64, 6>, 7> AmountsYen{};
    // Customers of the earlier run no longer in the customer master (counted as "対象外").
    qint64 Vanished = 0;
    // What differs between the two runs' settings, one sentence each.
    QStringList Differences;
};

// The kept run a choice names among the runs (newest first): the newest before baseDate for
// Previous, the one of the choice's base date, or none.
std::optional<KeptRun> ComparedRun(const std::vector<KeptRun>& runs, const ComparisonChoice& choice,
                                   const QDate& baseDate);

// A period's length as the operator reads it: whole months when it is made of them ("24ヵ月"),
// else months and days ("11ヵ月と15日") or days ("20日"); "" for a period without both ends.
QString PeriodLengthText(const QDate& from, const QDate& to);

// The sentences saying which of thresholds, group matrix, period length and extraction
// conditions differ between two runs.
QStringList RunDifferences(const KeptRun& earlier, const KeptRun& now);

// The movement of workTable's customers (the run just scored) against the kept run earlier:
// counts and amounts per earlier group and group now, from the group history and the work
// table. now describes the run, for the differences. False with the cause when the database
// fails or a slot holds a letter it may not.
bool ComputeMovement(db::Database& database, const KeptRun& earlier, const KeptRun& now,
                     const QString& workTable, GroupMovement* movement, QString* error);

} // namespace plw

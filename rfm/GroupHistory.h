#pragma once

#include "app/Currency.h"
#include "rfm/PLWAN4_hrhen.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace plw::db {
class Database;
}

namespace plw {

// The group history: the program's own two tables in the transaction database, beside its work
// tables and never among the suite's base tables. The run table holds one row per kept run; the
// group table one row per customer number with a text of 24 one-letter slots, slot k being
// character k: the customer's group in the run kept in slot k ("A" to "E", "X", "_" for a
// customer scored without a group), "." when the customer was not scored in that run. Nothing
// else is kept per customer. The slots are used as a ring: one run per base date, the oldest
// base date giving way when all are taken.
inline constexpr char16_t RunHistoryTable[] = u"PLWAN40_RunHistory";
inline constexpr char16_t GroupHistoryTable[] = u"PLWAN40_GroupHistory";
constexpr int HistorySlots = 24;
// A slot's letter for a customer the slot's run did not score, and for one it scored without a
// group.
constexpr char16_t NotInRun = u'.';
constexpr char16_t NoGroup = u'_';

// What the run table keeps of one run.
struct KeptRun {
    int Slot = 0; // 1 to HistorySlots
    QDateTime RunTime;
    QDate BaseDate;
    QDate PeriodFrom; // the last-visit period
    QDate PeriodTo;
    Thresholds R{};
    Thresholds F{};
    Thresholds M{};
    GroupMatrix Matrix{};
    // The extraction conditions as summary lines, the last-visit period's dates left out (the
    // period is kept above), and the detailed purchase period when it was on.
    QStringList Conditions;
    qint64 Extracted = 0;
    std::array<qint64, 125> CellCounts{};
    std::array<Currency, 125> CellAmounts{}; // units of 10,000 yen
    std::array<qint64, 6> GroupCounts{};     // A, B, C, D, E, X
    std::array<qint64, 6> GroupAmounts{};    // whole yen

    bool operator==(const KeptRun&) const = default;
};

// What reading the history found.
struct HistoryRead {
    enum class State {
        Empty,   // no history yet: neither table exists
        Read,    // Runs holds the kept runs
        Damaged, // the tables are there but do not hold a history; Cause says what is wrong
        Failed,  // the database refused to read them; Cause holds its error
    };
    State Outcome = State::Empty;
    std::vector<KeptRun> Runs; // newest base date first
    QString Cause;

    bool usable() const { return Outcome == State::Empty || Outcome == State::Read; }
};

// Reads the run table and checks both tables' layout and the run rows (slots 1 to 24 each used
// once, one run per base date, every field in its form). Writes nothing.
HistoryRead ReadHistory(db::Database& database);

// Creates the two tables, empty, in the database's first schema (the work schema on a server).
void CreateHistoryTables(db::Database& database);

// Checks the group table's rows: every customer number given once, every slot text 24 letters
// of the slot alphabet. A scan of the whole table, for the run that is about to use it. "" when
// sound, else what is wrong.
QString CheckGroupRows(db::Database& database);

// Keeps a damaged history under new names (the table name, "_", the time) and removes it from
// its place, so that a new history can start without anything of the old one being lost. The
// new names in keptAs; false with the database's error, the history then left as it was.
bool SetHistoryAside(db::Database& database, const QDateTime& now, QStringList* keptAs,
                     QString* error);

// The slot a run of baseDate takes among the kept runs: the slot of a kept run of the same base
// date (the newer run replaces it), else the lowest free slot, else the slot of the oldest base
// date. 0 when all slots are taken by later base dates: the run is the oldest and is not kept.
int SlotForRun(const std::vector<KeptRun>& runs, const QDate& baseDate);

// How keeping a run ended.
struct KeepResult {
    bool Kept = false;  // false with Error, or when the run is older than all kept runs
    int Slot = 0;       // the slot it took
    QDate Replaced;     // the base date of the run whose slot it took, if any
    qint64 Removed = 0; // customers no longer in the customer master, removed from the history
    QString Error;      // the database's error; nothing was kept
};

// Keeps a run in the history, in one transaction: the slot chosen by SlotForRun, emptied of the
// run that held it; the run's customers (the customer number and group of every row of
// workTable) in the slot, new customer numbers added; the customers no longer in the customer
// master and those left in no kept run removed; the run's row written. The tables are created
// on first use. runs: the kept runs as ReadHistory read them. On any failure nothing changes.
KeepResult KeepRun(db::Database& database, const std::vector<KeptRun>& runs, KeptRun run,
                   const QString& workTable);

} // namespace plw

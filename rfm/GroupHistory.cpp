#include "rfm/GroupHistory.h"

#include "db/Database.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace plw {

namespace {

const QString RunTable = QString::fromUtf16(RunHistoryTable);
const QString GroupTable = QString::fromUtf16(GroupHistoryTable);
const QString DateForm = QStringLiteral("yyyyMMdd");
const QString TimeForm = QStringLiteral("yyyyMMddHHmmss");
// The letters a slot may hold.
const QString SlotAlphabet = QStringLiteral("ABCDEX") + QChar(NoGroup) + QChar(NotInRun);

// The run table's columns, in their order.
const QStringList RunColumns = {
    QStringLiteral("HSlot"),        QStringLiteral("HRunTime"),     QStringLiteral("HBaseDate"),
    QStringLiteral("HPeriodFrom"),  QStringLiteral("HPeriodTo"),    QStringLiteral("HThresholds"),
    QStringLiteral("HMatrix"),      QStringLiteral("HConditions"),  QStringLiteral("HExtracted"),
    QStringLiteral("HCellCounts"),  QStringLiteral("HCellAmounts"), QStringLiteral("HGroupCounts"),
    QStringLiteral("HGroupAmounts")};
const QStringList GroupColumns = {QStringLiteral("HKaiBan"), QStringLiteral("HSlots")};

QString EmptySlots() {
    return QString(HistorySlots, QChar(NotInRun));
}

QString DateText(const QDate& date) {
    return date.isValid() ? date.toString(DateForm) : QString();
}

// A stored date: empty when none was given, nothing when the text is no date.
std::optional<QDate> DateFromText(const QString& text, bool emptyAllowed) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return emptyAllowed ? std::optional<QDate>(QDate()) : std::nullopt;
    const QDate date = QDate::fromString(trimmed, DateForm);
    if (!date.isValid() || trimmed.size() != 8)
        return std::nullopt;
    return date;
}

// Thresholds 1 to 5 of R, then F, then M, separated by tabs (which no threshold field takes).
QString ThresholdsText(const KeptRun& run) {
    QStringList texts;
    for (const Thresholds* dimension : {&run.R, &run.F, &run.M})
        for (const QString& text : *dimension)
            texts << text;
    return texts.join(u'\t');
}

QString MatrixText(const GroupMatrix& matrix) {
    QString text;
    for (const QString& letter : matrix)
        text += letter.isEmpty() ? QChar(NoGroup) : letter.at(0);
    return text;
}

template <size_t N> QString NumbersText(const std::array<qint64, N>& numbers) {
    QStringList texts;
    for (qint64 n : numbers)
        texts << QString::number(n);
    return texts.join(u',');
}

template <size_t N> QString AmountsText(const std::array<Currency, N>& amounts) {
    QStringList texts;
    for (Currency c : amounts)
        texts << QString::number(c.scaled());
    return texts.join(u',');
}

template <size_t N> bool ParseNumbers(const QString& text, std::array<qint64, N>& out) {
    const QStringList parts = text.split(u',');
    if (parts.size() != qsizetype(N))
        return false;
    for (size_t i = 0; i < N; ++i) {
        bool ok = false;
        out[i] = parts[qsizetype(i)].toLongLong(&ok);
        if (!ok)
            return false;
    }
    return true;
}

template <size_t N> bool ParseAmounts(const QString& text, std::array<Currency, N>& out) {
    std::array<qint64, N> scaled{};
    if (!ParseNumbers(text, scaled))
        return false;
    for (size_t i = 0; i < N; ++i)
        out[i] = Currency::fromScaled(scaled[i]);
    return true;
}

// The columns a query's recordset lacks of those named.
QStringList MissingColumns(const db::Recordset& rows, const QStringList& names) {
    QStringList missing;
    for (const QString& name : names)
        if (rows.fieldIndex(name) < 0)
            missing << name;
    return missing;
}

// One run row read back; "" when sound, else what is wrong with it.
QString ReadRun(const db::Recordset& row, KeptRun& run) {
    bool ok = false;
    run.Slot = row.text(u"HSlot").trimmed().toInt(&ok);
    if (!ok || run.Slot < 1 || run.Slot > HistorySlots)
        return QStringLiteral("枠番号 %1 が正しくありません").arg(row.text(u"HSlot"));
    const QString where = QStringLiteral("枠 %1 の").arg(run.Slot);
    run.RunTime = QDateTime::fromString(row.text(u"HRunTime").trimmed(), TimeForm);
    if (!run.RunTime.isValid())
        return where + QStringLiteral("実行日時が正しくありません");
    const std::optional<QDate> base = DateFromText(row.text(u"HBaseDate"), false);
    const std::optional<QDate> from = DateFromText(row.text(u"HPeriodFrom"), true);
    const std::optional<QDate> to = DateFromText(row.text(u"HPeriodTo"), true);
    if (!base || !from || !to)
        return where + QStringLiteral("基準日または期間が正しくありません");
    run.BaseDate = *base;
    run.PeriodFrom = *from;
    run.PeriodTo = *to;
    const QStringList thresholds = row.text(u"HThresholds").split(u'\t');
    if (thresholds.size() != 15)
        return where + QStringLiteral("しきい値が正しくありません");
    for (int i = 0; i < 5; ++i) {
        run.R[size_t(i)] = thresholds[i];
        run.F[size_t(i)] = thresholds[5 + i];
        run.M[size_t(i)] = thresholds[10 + i];
    }
    const QString matrix = row.text(u"HMatrix").trimmed();
    if (matrix.size() != 125)
        return where + QStringLiteral("グループの割り当てが正しくありません");
    for (int k = 0; k < 125; ++k) {
        const QChar letter = matrix.at(k);
        if (!SlotAlphabet.contains(letter) || letter == QChar(NotInRun))
            return where + QStringLiteral("グループの割り当てが正しくありません");
        run.Matrix[size_t(k)] = letter == QChar(NoGroup) ? QString() : QString(letter);
    }
    const QString conditions = row.text(u"HConditions");
    run.Conditions = conditions.isEmpty() ? QStringList() : conditions.split(u'\n');
    run.Extracted = row.integer(u"HExtracted");
    if (!ParseNumbers(row.text(u"HCellCounts"), run.CellCounts) ||
        !ParseAmounts(row.text(u"HCellAmounts"), run.CellAmounts) ||
        !ParseNumbers(row.text(u"HGroupCounts"), run.GroupCounts) ||
        !ParseNumbers(row.text(u"HGroupAmounts"), run.GroupAmounts))
        return where + QStringLiteral("集計値が正しくありません");
    return QString();
}

HistoryRead Damage(const QString& cause) {
    HistoryRead read;
    read.Outcome = HistoryRead::State::Damaged;
    read.Cause = cause;
    return read;
}

} // namespace

void CreateHistoryTables(db::Database& database) {
    database.execute(QStringLiteral("CREATE TABLE ") + RunTable +
                     QStringLiteral(" (HSlot SHORT NOT NULL CONSTRAINT ") + RunTable +
                     QStringLiteral("Key PRIMARY KEY, HRunTime CHAR(14), HBaseDate CHAR(8), "
                                    "HPeriodFrom CHAR(8), HPeriodTo CHAR(8), HThresholds MEMO, "
                                    "HMatrix CHAR(125), HConditions MEMO, HExtracted INTEGER, "
                                    "HCellCounts MEMO, HCellAmounts MEMO, HGroupCounts MEMO, "
                                    "HGroupAmounts MEMO)"));
    database.execute(QStringLiteral("CREATE TABLE ") + GroupTable +
                     QStringLiteral(" (HKaiBan CHAR(7) NOT NULL CONSTRAINT ") + GroupTable +
                     QStringLiteral("Key PRIMARY KEY, HSlots CHAR(24) NOT NULL)"));
}

namespace {

void WriteRunRow(db::Database& database, const KeptRun& run) {
    auto table = database.openTable(RunTable);
    table->addNew();
    const QVariant values[] = {run.Slot,
                               run.RunTime.toString(TimeForm),
                               DateText(run.BaseDate),
                               DateText(run.PeriodFrom),
                               DateText(run.PeriodTo),
                               ThresholdsText(run),
                               MatrixText(run.Matrix),
                               run.Conditions.join(u'\n'),
                               run.Extracted,
                               NumbersText(run.CellCounts),
                               AmountsText(run.CellAmounts),
                               NumbersText(run.GroupCounts),
                               NumbersText(run.GroupAmounts)};
    for (qsizetype i = 0; i < RunColumns.size(); ++i)
        table->setValue(RunColumns[i], values[i]);
    table->update();
}

// Fills slot k from the work table in one statement: a customer's group followed by "_" (so that
// a customer without a group gets "_"), then "." (so that a customer the run did not score
// gets "."), of which the first letter is the slot's. Only rows that change are rewritten: those
// whose slot held an earlier run and those of the run's customers, found by the work table's key
// (a correlated EXISTS: a server evaluates "IN (SELECT ...)" beside an OR by scanning the whole
// work table for every row once it is larger than its hash memory).
QString FillSlotStatement(int k, const QString& workTable) {
    return QStringLiteral("UPDATE %1 SET HSlots = MID$(HSlots, 1, %2) & MID$((SELECT %3.グループ & "
                          "'%4' FROM %3 WHERE %3.M1KaiBan = %1.HKaiBan) & '%5', 1, 1) & "
                          "MID$(HSlots, %6) WHERE MID$(HSlots, %7, 1) <> '%5' OR EXISTS (SELECT * "
                          "FROM %3 WHERE %3.M1KaiBan = %1.HKaiBan)")
        .arg(GroupTable)
        .arg(k - 1)
        .arg(workTable)
        .arg(QChar(NoGroup))
        .arg(QChar(NotInRun))
        .arg(k + 1)
        .arg(k);
}

} // namespace

HistoryRead ReadHistory(db::Database& database) {
    HistoryRead read;
    try {
        const bool runs = database.tableExists(RunTable);
        const bool groups = database.tableExists(GroupTable);
        if (!runs && !groups)
            return read;
        if (runs != groups)
            return Damage(
                QStringLiteral("履歴の表 %1 がありません").arg(runs ? GroupTable : RunTable));
        {
            auto layout = database.openRecordset(
                QStringLiteral("SELECT * FROM ") + GroupTable +
                QStringLiteral(" WHERE HKaiBan IS NULL AND HKaiBan IS NOT NULL"));
            if (const QStringList missing = MissingColumns(*layout, GroupColumns);
                !missing.isEmpty())
                return Damage(QStringLiteral("表 %1 に列 %2 がありません")
                                  .arg(GroupTable, missing.join(QStringLiteral("、"))));
        }
        auto rows = database.openRecordset(QStringLiteral("SELECT * FROM ") + RunTable);
        if (const QStringList missing = MissingColumns(*rows, RunColumns); !missing.isEmpty())
            return Damage(QStringLiteral("表 %1 に列 %2 がありません")
                              .arg(RunTable, missing.join(QStringLiteral("、"))));
        QSet<int> slots;
        QSet<QDate> dates;
        for (; !rows->eof(); rows->moveNext()) {
            KeptRun run;
            if (const QString problem = ReadRun(*rows, run); !problem.isEmpty())
                return Damage(QStringLiteral("表 %1: %2").arg(RunTable, problem));
            if (slots.contains(run.Slot) || dates.contains(run.BaseDate))
                return Damage(QStringLiteral("表 %1: 枠 %2 または基準日 %3 が重複しています")
                                  .arg(RunTable)
                                  .arg(run.Slot)
                                  .arg(run.BaseDate.toString(QStringLiteral("yyyy/MM/dd"))));
            slots.insert(run.Slot);
            dates.insert(run.BaseDate);
            read.Runs.push_back(std::move(run));
        }
    } catch (const db::DatabaseError& failure) {
        read.Runs.clear();
        read.Outcome = HistoryRead::State::Failed;
        read.Cause = failure.message();
        return read;
    }
    std::sort(read.Runs.begin(), read.Runs.end(),
              [](const KeptRun& a, const KeptRun& b) { return a.BaseDate > b.BaseDate; });
    read.Outcome = HistoryRead::State::Read;
    return read;
}

QString CheckGroupRows(db::Database& database) {
    // A slot text of another length, or holding a letter outside the slot alphabet.
    auto bad = database.openRecordset(
        QStringLiteral("SELECT COUNT(*) AS Bad FROM %1 WHERE HSlots IS NULL OR LEN(HSlots) <> %2 "
                       "OR HSlots LIKE '*[!ABCDEX%3%4]*'")
            .arg(GroupTable)
            .arg(HistorySlots)
            .arg(QChar(NoGroup))
            .arg(QChar(NotInRun)));
    const qint64 count = bad->eof() ? 0 : bad->integer(u"Bad");
    if (count == 0)
        return QString();
    return QStringLiteral("表 %1 の %2 件の行の枠が正しくありません").arg(GroupTable).arg(count);
}

bool SetHistoryAside(db::Database& database, const QDateTime& now, QStringList* keptAs,
                     QString* error) {
    const QString suffix = u'_' + now.toString(TimeForm);
    QStringList kept;
    try {
        db::Transaction transaction(database);
        for (const QString& table : {RunTable, GroupTable}) {
            if (!database.tableExists(table))
                continue;
            QString aside = table + suffix;
            for (int n = 2; database.tableExists(aside); ++n)
                aside = table + suffix + u'_' + QString::number(n);
            database.execute(QStringLiteral("SELECT * INTO %1 FROM %2").arg(aside, table));
            database.execute(QStringLiteral("DROP TABLE ") + table);
            kept << aside;
        }
        transaction.commit();
    } catch (const db::DatabaseError& failure) {
        if (error)
            *error = failure.message();
        return false;
    }
    if (keptAs)
        *keptAs = kept;
    return true;
}

int SlotForRun(const std::vector<KeptRun>& runs, const QDate& baseDate) {
    for (const KeptRun& run : runs)
        if (run.BaseDate == baseDate)
            return run.Slot;
    for (int k = 1; k <= HistorySlots; ++k)
        if (std::none_of(runs.begin(), runs.end(), [k](const KeptRun& r) { return r.Slot == k; }))
            return k;
    const auto oldest =
        std::min_element(runs.begin(), runs.end(), [](const KeptRun& a, const KeptRun& b) {
            return a.BaseDate < b.BaseDate;
        });
    return baseDate < oldest->BaseDate ? 0 : oldest->Slot;
}

KeepResult KeepRun(db::Database& database, const std::vector<KeptRun>& runs, KeptRun run,
                   const QString& workTable) {
    KeepResult result;
    result.Slot = SlotForRun(runs, run.BaseDate);
    if (result.Slot == 0)
        return result;
    for (const KeptRun& kept : runs)
        if (kept.Slot == result.Slot)
            result.Replaced = kept.BaseDate;
    run.Slot = result.Slot;
    try {
        db::Transaction transaction(database);
        if (!database.tableExists(RunTable))
            CreateHistoryTables(database);
        database.execute(
            QStringLiteral("DELETE * FROM %1 WHERE HSlot = %2").arg(RunTable).arg(result.Slot));
        database.execute(QStringLiteral("INSERT INTO %1 (HKaiBan, HSlots) SELECT M1KaiBan, '%3' "
                                        "FROM %2 WHERE NOT EXISTS (SELECT * FROM %1 WHERE "
                                        "%1.HKaiBan = %2.M1KaiBan)")
                             .arg(GroupTable, workTable, EmptySlots()));
        database.execute(FillSlotStatement(result.Slot, workTable));
        database.execute(QStringLiteral("DELETE * FROM %1 WHERE NOT EXISTS (SELECT * FROM "
                                        "M1_お客様マスタ WHERE M1_お客様マスタ.M1KaiBan = "
                                        "%1.HKaiBan)")
                             .arg(GroupTable));
        database.execute(
            QStringLiteral("DELETE * FROM %1 WHERE HSlots = '%2'").arg(GroupTable, EmptySlots()));
        WriteRunRow(database, run);
        transaction.commit();
    } catch (const db::DatabaseError& failure) {
        result.Error = failure.message();
        return result;
    }
    result.Kept = true;
    return result;
}

} // namespace plw

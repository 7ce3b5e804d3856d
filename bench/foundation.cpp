// Foundation benchmark: time and peak memory of writing a sample installation, of the work-table
// copy every analysis starts with (the yardstick), and of walking that copy with one update per
// row as the scoring does (once reading the whole customer record, once only three columns).
//
//   plwan40-bench-foundation [--customers N[,N...]] [--dir DIR]   (DIR/nN must not exist yet)
//
// Each phase runs in a child process of its own, so that each peak is the phase's own (the
// child's maximum resident set, which includes the Qt and SQLite libraries).

#include "bench/Phases.h"
#include "db/Database.h"
#include "db/M1CustMstM_T.h"
#include "tools/sample/CustomerGenerator.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

namespace {

using namespace plw;
using namespace plw::bench;

// "YYYYMMDD" as a date (invalid when it is not one), without the cost of a format parser.
QDate dateOf(const QString& text) {
    if (text.size() != 8)
        return {};
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return {};
        digits[i] = c - u'0';
    }
    return QDate(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3],
                 digits[4] * 10 + digits[5], digits[6] * 10 + digits[7]);
}

// Phase "walk": the copy gets the scoring's result columns, then every row is read into the
// customer record and updated once, all in one transaction, as the scoring does. With
// fullRecord false only the three scored columns are read: the difference is the record's cost.
QString runWalk(const QString& dir, bool fullRecord, QElapsedTimer& timer) {
    auto database = db::Database::open(TransactionDatabase(dir));
    if (database->openTable(QStringLiteral("WorkCopy"))->fieldIndex(u"RFM値") < 0)
        database->execute(QStringLiteral(
            "ALTER TABLE WorkCopy ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), 日数 CHAR(6) "));
    timer.restart(); // the walk alone
    const QDate base = sample::SampleReferenceDate;
    static const QString Groups[] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("X")};
    qint64 rows = 0;
    db::Transaction transaction(*database);
    {
        auto table = database->openTable(QStringLiteral("WorkCopy"));
        db::CustomerRecord customer;
        for (; !table->eof(); table->moveNext()) {
            table->edit();
            if (fullRecord) {
                db::ReadCustomerRecord(*table, customer);
            } else {
                customer.M1SakHby = table->text(u"M1SakHby");
                customer.M1SakRik = table->integer(u"M1SakRik");
                customer.M1SakRgk = table->integer(u"M1SakRgk");
            }
            const QDate last = dateOf(customer.M1SakHby);
            const qint64 days = last.isValid() ? last.daysTo(base) : 0;
            const int r = days <= 30 ? 5 : days <= 90 ? 4 : days <= 180 ? 3 : days <= 365 ? 2 : 1;
            const int f = int(std::clamp<qint64>(customer.M1SakRik / 4 + 1, 1, 5));
            const int m = int(std::clamp<qint64>(customer.M1SakRgk / 50000 + 1, 1, 5));
            table->setValue(u"RFM値", QStringLiteral("%1%2%3").arg(r).arg(f).arg(m));
            table->setValue(u"グループ", Groups[(r + f + m) % 6]);
            table->setValue(u"日数", QString::number(days));
            table->update();
            ++rows;
        }
    }
    transaction.commit();
    return QStringLiteral("%1 rows, one update each").arg(rows);
}

int childMain(const Arguments& arguments) {
    const QString& dir = arguments.Dir;
    return RunChildPhase(arguments,
                         {{QStringLiteral("walk"),
                           [&](QElapsedTimer& timer, double&) {
                               return runWalk(dir, true, timer);
                           }},
                          {QStringLiteral("walk-lite"), [&](QElapsedTimer& timer, double&) {
                               return runWalk(dir, false, timer);
                           }}});
}

int parentMain(const Arguments& arguments) {
    QTemporaryDir temporary;
    const QString root = RootFolder(arguments.Dir, temporary);
    if (root.isEmpty())
        return 1;
    PrintHeader();
    bool allMet = true;
    for (const qint64 n : arguments.Customers) {
        const QString folder = QStringLiteral("%1/n%2").arg(root).arg(n);
        if (QDir(folder).exists()) {
            PrintLine(stderr, folder + QStringLiteral(" exists; give an empty --dir"));
            return 1;
        }
        // The installation is always written afresh here: its writing is a phase with a goal.
        const PhaseResult sampleResult = RunPhase(QStringLiteral("sample"), folder, n);
        const PhaseResult copy = RunPhase(QStringLiteral("copy"), folder, n);
        const PhaseResult walk = RunPhase(QStringLiteral("walk"), folder, n);
        const PhaseResult walkLite = RunPhase(QStringLiteral("walk-lite"), folder, n);
        const bool sampleMet = sampleResult.ok && sampleResult.seconds < 90 * (n / 1e6) + 1 &&
                               sampleResult.peakMiB < 1024;
        const double ratio =
            copy.ok && walk.ok && copy.seconds > 0 ? walk.seconds / copy.seconds : 0;
        const bool walkMet = walk.ok && ratio <= 2.0;
        allMet = allMet && sampleMet && walkMet;
        PrintRow(n, QStringLiteral("sample installation"), sampleResult,
                 QStringLiteral("%1; goal < 90 s per million, < 1024 MiB: %2")
                     .arg(sampleResult.detail,
                          sampleMet ? QStringLiteral("met") : QStringLiteral("NOT met")));
        PrintRow(n, QStringLiteral("copy (yardstick)"), copy, copy.detail);
        PrintRow(n, QStringLiteral("walk + update"), walk,
                 QStringLiteral("%1; %2 x the copy, goal <= 2 x: %3")
                     .arg(walk.detail)
                     .arg(ratio, 0, 'f', 2)
                     .arg(walkMet ? QStringLiteral("met") : QStringLiteral("NOT met")));
        PrintRow(n, QStringLiteral("walk, 3 columns read"), walkLite,
                 QStringLiteral("the same without the full record read: %1 x the copy")
                     .arg(copy.ok && walkLite.ok && copy.seconds > 0
                              ? walkLite.seconds / copy.seconds
                              : 0,
                          0, 'f', 2));
    }
    return allMet ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Arguments arguments;
    if (!ParseArguments(QStringLiteral("plwan40-bench-foundation"), arguments))
        return 2;
    return arguments.Phase.isEmpty() ? parentMain(arguments) : childMain(arguments);
}

// Foundation benchmark: time and peak memory of writing a sample installation, of the work-table
// copy every analysis starts with (the yardstick), and of walking that copy with one update per
// row as the scoring does (once reading the whole customer record, once only three columns).
//
//   plwan40-bench-foundation [--customers N[,N...]] [--dir DIR]
//
// Each phase runs in a child process of its own, so that each peak is the phase's own (the
// child's maximum resident set, which includes the Qt and SQLite libraries).

#include "db/Database.h"
#include "db/M1CustMstM_T.h"
#include "tools/sample/CustomerGenerator.h"
#include "tools/sample/SampleInstallation.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

using namespace plw;

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    QString detail;
};

void printLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

double ownPeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

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

QString transactionDatabase(const QString& dir) {
    return dir + QStringLiteral("/PLW/WORK/PLW_TRN.MDB");
}

// Phase "sample": the installation with N customers and about ten history rows each.
QString runSample(const QString& dir, qint64 customers) {
    sample::SampleOptions options;
    options.folder = dir;
    options.customers = static_cast<int>(customers);
    options.historyRowsPerCustomer = 10;
    QString error;
    sample::SampleSummary summary;
    if (!sample::WriteSampleInstallation(options, &error, &summary))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 history rows").arg(summary.counts.historyRows);
}

// Phase "copy": the whole customer master into a new work table, as the extraction copies it.
QString runCopy(const QString& dir) {
    auto database = db::Database::open(transactionDatabase(dir));
    database->tryExecute(QStringLiteral("DROP TABLE WorkCopy"));
    database->execute(QStringLiteral("SELECT *  INTO WorkCopy FROM M1_お客様マスタ"));
    return QStringLiteral("\"SELECT *  INTO WorkCopy FROM M1_お客様マスタ\"");
}

// Phase "walk": the copy gets the scoring's result columns, then every row is read into the
// customer record and updated once, all in one transaction, as the scoring does. With
// fullRecord false only the three scored columns are read: the difference is the record's cost.
QString runWalk(const QString& dir, bool fullRecord, QElapsedTimer* timer) {
    auto database = db::Database::open(transactionDatabase(dir));
    if (database->openTable(QStringLiteral("WorkCopy"))->fieldIndex(u"RFM値") < 0)
        database->execute(QStringLiteral(
            "ALTER TABLE WorkCopy ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), 日数 CHAR(6) "));
    timer->restart(); // the walk alone
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
                customer.M1SakRik = static_cast<qint32>(table->integer(u"M1SakRik"));
                customer.M1SakRgk = static_cast<qint32>(table->integer(u"M1SakRgk"));
            }
            const QDate last = dateOf(customer.M1SakHby);
            const qint64 days = last.isValid() ? last.daysTo(base) : 0;
            const int r = days <= 30 ? 5 : days <= 90 ? 4 : days <= 180 ? 3 : days <= 365 ? 2 : 1;
            const int f = std::clamp(customer.M1SakRik / 4 + 1, 1, 5);
            const int m = std::clamp(customer.M1SakRgk / 50000 + 1, 1, 5);
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

// Runs one phase in this process and reports it on standard output for the parent.
int childMain(const QString& phase, const QString& dir, qint64 customers) {
    QElapsedTimer timer;
    timer.start();
    QString detail;
    try {
        if (phase == QLatin1String("sample"))
            detail = runSample(dir, customers);
        else if (phase == QLatin1String("copy"))
            detail = runCopy(dir);
        else if (phase == QLatin1String("walk"))
            detail = runWalk(dir, true, &timer);
        else if (phase == QLatin1String("walk-lite"))
            detail = runWalk(dir, false, &timer);
        else
            throw std::runtime_error("unknown phase");
    } catch (const db::DatabaseError& e) {
        printLine(stderr, e.message() + QStringLiteral(" ") + e.statement());
        return 1;
    } catch (const std::exception& e) {
        printLine(stderr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    printLine(stdout, QStringLiteral("RESULT\t%1\t%2\t%3")
                          .arg(seconds, 0, 'f', 3)
                          .arg(ownPeakMiB(), 0, 'f', 1)
                          .arg(detail));
    return 0;
}

PhaseResult runPhase(const QString& phase, const QString& dir, qint64 customers) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--phase"), phase, QStringLiteral("--dir"), dir,
                 QStringLiteral("--customers"), QString::number(customers)});
    PhaseResult result;
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return result;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 4 && parts[0] == QLatin1String("RESULT")) {
            result.ok = true;
            result.seconds = parts[1].toDouble();
            result.peakMiB = parts[2].toDouble();
            result.detail = parts[3];
        }
    }
    return result;
}

QString cell(const PhaseResult& r, int column) {
    if (!r.ok)
        return QStringLiteral("failed");
    return column == 0 ? QString::number(r.seconds, 'f', 1) : QString::number(r.peakMiB, 'f', 0);
}

int parentMain(const QList<qint64>& counts, QString dir) {
    QTemporaryDir temporary;
    if (dir.isEmpty()) {
        if (!temporary.isValid()) {
            printLine(stderr, QStringLiteral("no temporary folder"));
            return 1;
        }
        dir = temporary.path();
    }
    printLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                          .arg(QStringLiteral("customers"), 10)
                          .arg(QStringLiteral("phase"), -22)
                          .arg(QStringLiteral("wall s"), 8)
                          .arg(QStringLiteral("peak MiB"), 9)
                          .arg(QStringLiteral("goal / detail")));
    bool allMet = true;
    for (qint64 n : counts) {
        const QString folder = QStringLiteral("%1/n%2").arg(dir).arg(n);
        if (QDir(folder).exists()) {
            printLine(stderr, folder + QStringLiteral(" exists; give an empty --dir"));
            return 1;
        }
        const PhaseResult sampleResult = runPhase(QStringLiteral("sample"), folder, n);
        const PhaseResult copy = runPhase(QStringLiteral("copy"), folder, n);
        const PhaseResult walk = runPhase(QStringLiteral("walk"), folder, n);
        const PhaseResult walkLite = runPhase(QStringLiteral("walk-lite"), folder, n);
        const bool sampleMet = sampleResult.ok && sampleResult.seconds < 90 * (n / 1e6) + 1 &&
                               sampleResult.peakMiB < 1024;
        const double ratio =
            copy.ok && walk.ok && copy.seconds > 0 ? walk.seconds / copy.seconds : 0;
        const bool walkMet = walk.ok && ratio <= 2.0;
        allMet = allMet && sampleMet && walkMet;
        auto row = [&](const QString& name, const PhaseResult& r, const QString& note) {
            printLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                                  .arg(n, 10)
                                  .arg(name, -22)
                                  .arg(cell(r, 0), 8)
                                  .arg(cell(r, 1), 9)
                                  .arg(note));
        };
        row(QStringLiteral("sample installation"), sampleResult,
            QStringLiteral("%1; goal < 90 s per million, < 1024 MiB: %2")
                .arg(sampleResult.detail,
                     sampleMet ? QStringLiteral("met") : QStringLiteral("NOT met")));
        row(QStringLiteral("copy (yardstick)"), copy, copy.detail);
        row(QStringLiteral("walk + update"), walk,
            QStringLiteral("%1; %2 x the copy, goal <= 2 x: %3")
                .arg(walk.detail)
                .arg(ratio, 0, 'f', 2)
                .arg(walkMet ? QStringLiteral("met") : QStringLiteral("NOT met")));
        row(QStringLiteral("walk, 3 columns read"), walkLite,
            QStringLiteral("the same without the full record read: %1 x the copy")
                .arg(copy.ok && walkLite.ok && copy.seconds > 0 ? walkLite.seconds / copy.seconds
                                                                : 0,
                     0, 'f', 2));
    }
    return allMet ? 0 : 3;
}

int usage(const QString& problem) {
    printLine(stderr, QStringLiteral("plwan40-bench-foundation: ") + problem);
    printLine(stderr, QStringLiteral("usage: plwan40-bench-foundation [--customers N[,N...]] "
                                     "[--dir EMPTY-DIR]   (default 1000000 customers)"));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QList<qint64> counts{1'000'000};
    QString dir, phase;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size())
            return usage(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args[++i];
        if (arg == QLatin1String("--customers")) {
            counts.clear();
            for (const QString& part : value.split(u',')) {
                bool ok = false;
                const qint64 n = part.toLongLong(&ok);
                if (!ok || n < 1 || n > sample::MaxSampleCustomers)
                    return usage(QStringLiteral("bad customer count ") + part);
                counts << n;
            }
        } else if (arg == QLatin1String("--dir")) {
            dir = QDir(value).absolutePath();
        } else if (arg == QLatin1String("--phase")) {
            phase = value;
        } else {
            return usage(QStringLiteral("unknown option ") + arg);
        }
    }
    if (!phase.isEmpty())
        return childMain(phase, dir, counts.value(0));
    return parentMain(counts, dir);
}

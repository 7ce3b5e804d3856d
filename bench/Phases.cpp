#include "bench/Phases.h"

#include "db/Database.h"
#include "tools/sample/SampleInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <stdexcept>
#include <utility>

namespace plw::bench {

void PrintLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

double OwnPeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

bool ParseArguments(const QString& program, Arguments& arguments, CustomerCounts counts) {
    const QStringList args = QCoreApplication::arguments().mid(1);
    QStringList defaults;
    for (const qint64 n : std::as_const(arguments.Customers))
        defaults << QString::number(n);
    auto usage = [&](const QString& problem) {
        PrintLine(stderr, program + QStringLiteral(": ") + problem);
        PrintLine(stderr, QStringLiteral("usage: %1 [--customers %2] [--dir DIR]   "
                                         "(default %3 customers)")
                              .arg(program,
                                   counts == CustomerCounts::One ? QStringLiteral("N")
                                                                 : QStringLiteral("N[,N...]"),
                                   defaults.join(u',')));
        return false;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size())
            return usage(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args[++i];
        if (arg == QLatin1String("--customers")) {
            const QStringList parts = value.split(u',');
            if (counts == CustomerCounts::One && parts.size() > 1)
                return usage(QStringLiteral("one customer count only, not ") + value);
            arguments.Customers.clear();
            for (const QString& part : parts) {
                bool ok = false;
                const qint64 n = part.toLongLong(&ok);
                if (!ok || n < 1 || n > sample::MaxSampleCustomers)
                    return usage(QStringLiteral("bad customer count ") + part);
                arguments.Customers << n;
            }
        } else if (arg == QLatin1String("--dir")) {
            arguments.Dir = QDir(value).absolutePath();
        } else if (arg == QLatin1String("--phase")) {
            arguments.Phase = value;
        } else {
            return usage(QStringLiteral("unknown option ") + arg);
        }
    }
    return true;
}

QString RootFolder(const QString& dir, const QTemporaryDir& temporary) {
    if (!dir.isEmpty())
        return dir;
    if (temporary.isValid())
        return temporary.path();
    PrintLine(stderr, QStringLiteral("no temporary folder: ") + temporary.errorString());
    return {};
}

namespace {

// The "sample" phase.
QString writeSample(const QString& dir, qint64 customers) {
    sample::SampleOptions options;
    options.folder = dir;
    options.customers = static_cast<int>(customers);
    options.historyRowsPerCustomer = 10;
    QString error;
    sample::SampleSummary summary;
    if (!sample::WriteSampleInstallation(options, &error, &summary))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 customers, %2 history rows")
        .arg(summary.counts.customers)
        .arg(summary.counts.historyRows);
}

// The "copy" phase: a copy left by an earlier run is dropped before the timing starts.
QString runCopy(const QString& dir, QElapsedTimer& timer) {
    auto database = db::Database::open(TransactionDatabase(dir));
    database->tryExecute(QStringLiteral("DROP TABLE WorkCopy"));
    timer.restart();
    database->execute(QStringLiteral("SELECT *  INTO WorkCopy FROM M1_お客様マスタ"));
    return QStringLiteral("\"SELECT *  INTO WorkCopy FROM M1_お客様マスタ\"");
}

} // namespace

int RunChildPhase(const Arguments& arguments, const QHash<QString, PhaseFunction>& own) {
    const QString& dir = arguments.Dir;
    const QString& name = arguments.Phase;
    const PhaseFunction phase = [&](QElapsedTimer& timer, double& extra) {
        if (name == QLatin1String("sample"))
            return writeSample(dir, arguments.Customers.value(0));
        if (name == QLatin1String("copy"))
            return runCopy(dir, timer);
        const auto found = own.constFind(name);
        if (found == own.constEnd())
            throw std::runtime_error("unknown phase");
        return (*found)(timer, extra);
    };
    QElapsedTimer timer;
    timer.start();
    double extra = 0;
    QString detail;
    try {
        detail = phase(timer, extra);
    } catch (const db::DatabaseError& e) {
        PrintLine(stderr, e.message() + QStringLiteral(" ") + e.statement());
        return 1;
    } catch (const std::exception& e) {
        PrintLine(stderr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    PrintLine(stdout, QStringLiteral("RESULT\t%1\t%2\t%3\t%4")
                          .arg(seconds, 0, 'f', 3)
                          .arg(OwnPeakMiB(), 0, 'f', 1)
                          .arg(extra, 0, 'f', 3)
                          .arg(detail));
    return 0;
}

PhaseResult RunPhase(const QString& phase, const QString& dir, qint64 customers) {
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
        if (parts.size() == 5 && parts[0] == QLatin1String("RESULT")) {
            result.ok = true;
            result.seconds = parts[1].toDouble();
            result.peakMiB = parts[2].toDouble();
            result.extra = parts[3].toDouble();
            result.detail = parts[4];
        }
    }
    return result;
}

void PrintHeader() {
    PrintLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                          .arg(QStringLiteral("customers"), 10)
                          .arg(QStringLiteral("phase"), -24)
                          .arg(QStringLiteral("wall s"), 8)
                          .arg(QStringLiteral("peak MiB"), 9)
                          .arg(QStringLiteral("goal / detail")));
}

void PrintRow(qint64 customers, const QString& name, const PhaseResult& r, const QString& note) {
    const QString failed = QStringLiteral("failed");
    PrintLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                          .arg(customers, 10)
                          .arg(name, -24)
                          .arg(r.ok ? QString::number(r.seconds, 'f', 1) : failed, 8)
                          .arg(r.ok ? QString::number(r.peakMiB, 'f', 0) : failed, 9)
                          .arg(note));
}

bool EnsureSample(const QString& dir, qint64 customers) {
    if (QFile::exists(sample::SampleLocationFile(dir)))
        return true;
    const PhaseResult made = RunPhase(QStringLiteral("sample"), dir, customers);
    PrintRow(customers, QStringLiteral("sample installation"), made, made.detail);
    return made.ok;
}

QString WorkFolder(const QString& dir) {
    return dir + QStringLiteral("/PLW/WORK/");
}

QString TransactionDatabase(const QString& dir) {
    return WorkFolder(dir) + QStringLiteral("PLW_TRN.MDB");
}

} // namespace plw::bench

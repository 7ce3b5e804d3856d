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

double ChildrenPeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double CpuSeconds() {
    double seconds = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& time : {usage.ru_utime, usage.ru_stime})
            seconds += double(time.tv_sec) + double(time.tv_usec) / 1e6;
    }
    return seconds;
}

QString LoadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = file.readAll().split(' ');
    return QString::fromLatin1(fields.mid(0, 3).join(' '));
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
    PrintLine(stdout, QStringLiteral("RESULT\t%1\t%2\t%3\t%4\t%5")
                          .arg(seconds, 0, 'f', 3)
                          .arg(OwnPeakMiB(), 0, 'f', 1)
                          .arg(extra, 0, 'f', 3)
                          .arg(CpuSeconds(), 0, 'f', 3)
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
    const bool finished = child.waitForFinished(-1);
    result.load = LoadAverage().section(u' ', 0, 0).toDouble();
    if (!finished || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return result;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 6 && parts[0] == QLatin1String("RESULT")) {
            result.ok = true;
            result.seconds = parts[1].toDouble();
            result.peakMiB = parts[2].toDouble();
            result.extra = parts[3].toDouble();
            result.cpuSeconds = parts[4].toDouble();
            result.detail = parts[5];
        }
    }
    return result;
}

void PrintHeader() {
    PrintLine(stdout, QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                          .arg(QStringLiteral("customers"), 10)
                          .arg(QStringLiteral("phase"), -24)
                          .arg(QStringLiteral("wall s"), 8)
                          .arg(QStringLiteral("cpu s"), 7)
                          .arg(QStringLiteral("peak MiB"), 9)
                          .arg(QStringLiteral("load"), 5)
                          .arg(QStringLiteral("goal / detail")));
}

void PrintRow(qint64 customers, const QString& name, const PhaseResult& r, const QString& note) {
    const QString failed = QStringLiteral("failed");
    const auto known = [&](double value, int decimals) {
        return !r.ok ? failed : value < 0 ? QString() : QString::number(value, 'f', decimals);
    };
    PrintLine(stdout, QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                          .arg(customers, 10)
                          .arg(name, -24)
                          .arg(known(r.seconds, 1), 8)
                          .arg(known(r.cpuSeconds, 1), 7)
                          .arg(known(r.peakMiB, 0), 9)
                          .arg(r.load < 0 ? QString() : QString::number(r.load, 'f', 1), 5)
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

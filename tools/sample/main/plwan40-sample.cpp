// plwan40-sample DIR [--customers N] [--seed S] [--postgres CONNECTION]: writes a sample
// installation of the suite.

#include "tools/sample/SampleInstallation.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// Prints the usage, after the problem when there is one; the exit status: 2 for a problem.
int usage(const QString& problem) {
    if (!problem.isEmpty())
        printLine(stderr, QStringLiteral("plwan40-sample: ") + problem);
    printLine(problem.isEmpty() ? stdout : stderr,
              QStringLiteral(
                  "usage: plwan40-sample DIR [--customers N] [--seed S] [--history-rows H]\n"
                  "                      [--screen-side MIGI|HIDA] [--postgres CONNECTION]\n"
                  "Writes a sample installation into DIR: DIR/場所PLW.TWS names DIR/PLW/, the\n"
                  "system folder; DIR/PLW/WORK/ is the work folder. N customers (default 200),\n"
                  "about H point-history rows each (default 10), data fixed by the seed S\n"
                  "(default 1) and dated before the reference day 2026-11-30.\n"
                  "--postgres writes the databases into the PostgreSQL server that CONNECTION\n"
                  "names (a libpq connection string or \"service=NAME\", no password) by COPY,\n"
                  "in the schemas plwan40-to-postgres would choose, and DIR/PLW/PLWAN40PG.INI,\n"
                  "which points the program there."));
    return problem.isEmpty() ? 0 : 2;
}

bool number(const QString& text, qint64 low, qint64 high, qint64* value) {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    plw::sample::SampleOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](qint64 low, qint64 high, qint64* out) {
            return i + 1 < args.size() && number(args[++i], low, high, out);
        };
        qint64 v = 0;
        if (arg == QLatin1String("--customers")) {
            if (!value(0, plw::sample::MaxSampleCustomers, &v))
                return usage(QStringLiteral("--customers needs a count from 0 to %1")
                                 .arg(plw::sample::MaxSampleCustomers));
            options.customers = static_cast<int>(v);
        } else if (arg == QLatin1String("--seed")) {
            if (!value(0, 0xFFFFFFFFLL, &v))
                return usage(QStringLiteral("--seed needs a number from 0 to 4294967295"));
            options.seed = static_cast<quint32>(v);
        } else if (arg == QLatin1String("--history-rows")) {
            if (!value(1, 100, &v))
                return usage(QStringLiteral("--history-rows needs a number from 1 to 100"));
            options.historyRowsPerCustomer = static_cast<int>(v);
        } else if (arg == QLatin1String("--screen-side")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--screen-side needs a value"));
            options.screenSide = args[++i];
        } else if (arg == QLatin1String("--postgres")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--postgres needs a connection"));
            options.postgres = args[++i];
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return usage(QString());
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("unknown option ") + arg);
        } else if (options.folder.isEmpty()) {
            options.folder = arg;
        } else {
            return usage(QStringLiteral("only one folder may be given"));
        }
    }
    if (options.folder.isEmpty())
        return usage(QStringLiteral("no folder given"));

    if (options.customers >= 100000) {
        options.progress = [](qint64 done, qint64 total) {
            std::fprintf(stderr, "\r%lld / %lld", static_cast<long long>(done),
                         static_cast<long long>(total));
            if (done == total)
                std::fputc('\n', stderr);
        };
    }
    QString error;
    plw::sample::SampleSummary summary;
    if (!plw::sample::WriteSampleInstallation(options, &error, &summary)) {
        printLine(stderr, QStringLiteral("plwan40-sample: ") + error);
        return 1;
    }
    printLine(stdout, QStringLiteral("%1 customers, %2 point-history rows")
                          .arg(summary.counts.customers)
                          .arg(summary.counts.historyRows));
    printLine(stdout, QStringLiteral("location file: ") + summary.locationFile);
    return 0;
}

// plwan40-to-postgres --location FILE CONNECTION [--base-schema S] [--work-schema S]
// [--refresh]: puts an installation's databases on a PostgreSQL server.

#include "tools/topostgres/CopyInstallation.h"

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
        printLine(stderr, QStringLiteral("plwan40-to-postgres: ") + problem);
    printLine(
        problem.isEmpty() ? stdout : stderr,
        QStringLiteral(
            "usage: plwan40-to-postgres --location FILE CONNECTION [--base-schema S]\n"
            "                           [--work-schema S] [--refresh]\n"
            "Copies the installation's two SQLite databases (PLW_TRN.MDB, DATA/PLW_MST.MDB) to\n"
            "the PostgreSQL server that CONNECTION names (a libpq connection string or\n"
            "\"service=NAME\"; no password: use ~/.pgpass, the service file or PGPASSWORD):\n"
            "the base tables with their indexes into the base schema, rows by COPY, counts\n"
            "checked, and writes PLWAN40PG.INI beside the system description, so that the\n"
            "next run on FILE uses the server. Refuses a base schema that holds the tables.\n"
            "--refresh replaces the tables' rows from the files, one transaction per table,\n"
            "for a nightly job. Schemas default to plwan40_<system folder>_<hash> and that\n"
            "name + _work."));
    return problem.isEmpty() ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    plw::topostgres::CopyOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size())
                return false;
            *out = args[++i];
            return true;
        };
        if (arg == QLatin1String("--location")) {
            if (!value(&options.LocationFile))
                return usage(QStringLiteral("--location needs a file"));
        } else if (arg == QLatin1String("--base-schema")) {
            if (!value(&options.BaseSchema))
                return usage(QStringLiteral("--base-schema needs a name"));
        } else if (arg == QLatin1String("--work-schema")) {
            if (!value(&options.WorkSchema))
                return usage(QStringLiteral("--work-schema needs a name"));
        } else if (arg == QLatin1String("--refresh")) {
            options.Refresh = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return usage(QString());
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("unknown option ") + arg);
        } else if (options.Connection.isEmpty()) {
            options.Connection = arg;
        } else {
            return usage(QStringLiteral("only one connection may be given"));
        }
    }
    if (options.LocationFile.isEmpty())
        return usage(QStringLiteral("no --location given"));
    if (options.Connection.isEmpty())
        return usage(QStringLiteral("no connection given"));
    options.Progress = [](const QString& line) {
        printLine(stderr, line);
    };

    plw::topostgres::CopyResult result;
    QString error;
    if (!plw::topostgres::CopyInstallation(options, &result, &error)) {
        printLine(stderr, QStringLiteral("plwan40-to-postgres: ") + error);
        return 1;
    }
    for (const auto& [table, rows] : result.Tables)
        printLine(stdout, QStringLiteral("%1: %2 rows").arg(table).arg(rows));
    printLine(stdout, QStringLiteral("connection file: ") + result.ConnectionFile);
    return 0;
}

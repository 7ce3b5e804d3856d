#include "app/main/PLWAN40_Main.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/main/BatchRun.h"
#include "app/main/Session.h"
#include "app/main/StreamPrompter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace plw {

int RunProgram(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plwan40"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"));
    parser.addHelpOption();
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("Run without screens from the saved settings."));
    const QCommandLineOption location(
        QStringLiteral("location"),
        QStringLiteral("The location file to use instead of searching for one."),
        QStringLiteral("FILE"));
    const QCommandLineOption baseDate(
        QStringLiteral("base-date"),
        QStringLiteral("Batch: the base date instead of the saved one (YYYYMMDD or today)."),
        QStringLiteral("DATE"));
    const QCommandLineOption periodMonths(
        QStringLiteral("period-months"),
        QStringLiteral("Batch: the last-visit period from the first day of the month N months "
                       "before the base date's month through the base date."),
        QStringLiteral("N"));
    parser.addOptions({batch, location, baseDate, periodMonths});
    parser.process(application);

    StreamPrompter prompter(stderr);
    SystemClock clock;
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.ProgramFolder = QCoreApplication::applicationDirPath();
    session.Env.LocationFileOverride = parser.value(location);

    if (!parser.isSet(batch)) { // the entry point sends every other start to the desktop program
        session.Messages.show(QStringLiteral("plwan40: batch mode needs --batch."),
                              MessageIcon::Critical);
        return 2;
    }
    BatchOptions options;
    options.BaseDate = parser.value(baseDate);
    if (parser.isSet(periodMonths)) {
        bool number = false;
        options.PeriodMonths = parser.value(periodMonths).toInt(&number);
        if (!number) {
            session.Messages.show(QStringLiteral("--period-months には月数を指定してください"),
                                  MessageIcon::Critical);
            return 2;
        }
    }
    return RunBatch(session, options, stdout, stderr).status;
}

} // namespace plw

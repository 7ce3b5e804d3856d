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
    parser.addOption(batch);
    parser.addOption(location);
    parser.process(application);

    StreamPrompter prompter(stderr);
    SystemClock clock;
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.ProgramFolder = QCoreApplication::applicationDirPath();
    session.Env.LocationFileOverride = parser.value(location);

    if (!parser.isSet(batch)) {
        session.Messages.show(
            QStringLiteral("The desktop screens are not built yet; run with --batch."),
            MessageIcon::Critical);
        return 2;
    }
    return RunBatch(session, stdout).status;
}

} // namespace plw

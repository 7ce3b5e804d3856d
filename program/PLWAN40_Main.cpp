#include "program/PLWAN40_Main.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgramEnd.h"
#include "app/Prompter.h"
#include "app/QtJapanese.h"
#include "program/BatchRun.h"
#include "program/Session.h"
#include "program/StreamPrompter.h"

#include <QCoreApplication>

#include <cstdio>

namespace plw {

namespace {

constexpr int UnusableCommandLine = 2;

QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The end of a start whose command line cannot be used: the reason and where help is found.
ProgramEnd RefuseCommandLine(const QString& reason) {
    StreamPrompter prompter(stderr);
    static_cast<Prompter&>(prompter).show(
        reason + QStringLiteral("\r使い方は plwan40 --help で表示されます。"),
        MessageIcon::Critical);
    return ProgramEnd{UnusableCommandLine};
}

} // namespace

int Main(int argc, char* argv[], DesktopEntry desktop) {
    const ParsedCommandLine parsed = ParseCommandLine(Arguments(argc, argv));
    if (!parsed.Line)
        return RefuseCommandLine(parsed.Error).status;
    switch (parsed.Line->RunMode) {
    case CommandLine::Mode::Help:
        std::fputs(CommandLineHelp().toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Mode::Batch:
        return RunBatchProgram(argc, argv, *parsed.Line);
    case CommandLine::Mode::Desktop:
        break;
    }
    return desktop(argc, argv, *parsed.Line);
}

int RunBatchProgram(int argc, char* argv[], const CommandLine& line) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plwan40"));
    // Causes from Qt (file errors) in the messages' language; without the translations they stay
    // English, which is no reason to refuse a run.
    LoadJapanese(application, nullptr);

    StreamPrompter prompter(stderr);
    SystemClock clock;
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.ProgramFolder = QCoreApplication::applicationDirPath();
    session.Env.LocationFileOverride = line.LocationFile;

    BatchOptions options;
    options.BaseDate = line.BaseDate;
    options.PeriodMonths = line.PeriodMonths;
    options.SuggestThresholds = line.SuggestThresholds;
    options.CompareWith = line.CompareWith;
    options.MailingList = line.MailingList;
    return RunBatch(session, options, stdout, stderr).status;
}

} // namespace plw

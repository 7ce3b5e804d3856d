#include "program/ExitPaths.h"

#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/ReturnProgram.h"
#include "program/Session.h"
#include "rfm/AnalysisRun.h"

#include <QFile>

namespace plw {
namespace {

void yieldTimes(Session& session, int times) {
    for (int i = 0; i < times; ++i)
        session.Pump.yield();
}

// Steps shared by both exits: shut down, find the return program, unload the screens and
// delete the menu marker. Returns the return program.
QString leaveForMenu(Session& session) {
    ShutDown(session);
    const QString program = FindReturnProgram(session.Env, QString::fromUtf16(ProgramId));
    if (session.UnloadScreens)
        session.UnloadScreens();
    yieldTimes(session, 2);
    // A missing marker is no error: the program may have been started without the menu.
    QFile::remove(ToNativePath(session.Env.MenuMarkerPath));
    return program;
}

void startReturnProgram(Session& session, const QString& program) {
    session.Pump.yield();
    switch (StartReturnProgram(session.Env, program)) {
    case StartResult::Started:
        yieldTimes(session, 4);
        break;
    case StartResult::NotFound:
        session.Messages.show(QStringLiteral("ｴﾗｰ53:") + program + QStringLiteral("がありません"));
        break;
    case StartResult::Failed:
        break; // no return program configured, or it could not be run: nothing to report
    }
}

} // namespace

void ShutDown(Session& session) {
    if (session.SaveSettings)
        session.SaveSettings(session);
    db::CloseDatabases(session.Databases);
}

ProgramEnd ExitToMenu(Session& session) {
    startReturnProgram(session, leaveForMenu(session));
    return ProgramEnd{0};
}

MaybeEnd EndAfterRun(Session& session, const AnalysisResult& result) {
    switch (result.Outcome) {
    case AnalysisOutcome::Cancelled:
    case AnalysisOutcome::WorkbookAbandoned:
        return ExitToMenu(session);
    case AnalysisOutcome::WorkbookSaved: {
        const ProgramEnd end = ExitToMenu(session);
        // The operator goes on in the spreadsheet program, started on the saved file.
        if (session.OpenWorkbook)
            session.OpenWorkbook(result.WorkbookPath);
        return end;
    }
    case AnalysisOutcome::NotStarted:
    case AnalysisOutcome::LockHeld:
    case AnalysisOutcome::NobodyExtracted:
    case AnalysisOutcome::Scored:
    case AnalysisOutcome::Failed:
        break;
    }
    return std::nullopt;
}

} // namespace plw

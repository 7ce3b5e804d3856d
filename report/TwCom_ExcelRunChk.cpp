#include "report/TwCom_ExcelRunChk.h"

#include "app/EventPump.h"
#include "app/Prompter.h"
#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"

namespace plw {

namespace {

using Choice = RunningSpreadsheetDialog::Choice;

const QString NotInstalledMessage = QStringLiteral("Excelがインスツールされていない、または\r"
                                                   "Excelのバージョンを認識できません。\r"
                                                   "この処理は実行できません。");

qint16 CloseWith(RunningSpreadsheetDialog& dialog, qint16 result) {
    dialog.close();
    return result;
}

// Waits, round by round, for the workbook to be let go; the operator sees which file and may
// cancel. Nothing is closed by force.
qint16 AwaitQuit(ExcelRunCheckContext& c) {
    c.dialog.showWaiting(c.host.watchedFile());
    for (int round = 0; round < QuitWaitRounds; ++round) {
        c.pump.yield();
        if (c.dialog.waitCancelled())
            return CloseWith(c.dialog, ExcelAbandoned);
        c.sleeper.sleep(QuitWaitRoundMs);
        if (!c.host.QuitRunning())
            break;
    }
    if (c.host.QuitRunning()) {
        c.prompter.show(QStringLiteral("EXCELが終了できません"));
        return CloseWith(c.dialog, ExcelNotAvailable);
    }
    return CloseWith(c.dialog, ExcelQuitAutomatically);
}

} // namespace

qint16 ExcelRunCheck(ExcelRunCheckContext c) {
    if (!c.host.IsInstalled()) {
        c.prompter.show(NotInstalledMessage, MessageIcon::Critical);
        return ExcelNotAvailable;
    }
    if (!c.host.IsRunning())
        return ExcelNotRunning;

    Choice choice = c.dialog.choose(c.host.holder());
    if (choice == Choice::Abandon)
        return CloseWith(c.dialog, ExcelAbandoned);

    if (choice == Choice::Closed) {
        for (int round = 0; round < ClosedConfirmRounds; ++round) {
            if (!c.host.IsRunning())
                return CloseWith(c.dialog, ExcelClosedByOperator);
            c.prompter.show(QStringLiteral("Excel はまだ起動しています"));
            choice = c.dialog.choose(c.host.holder());
            if (choice == Choice::Abandon)
                return CloseWith(c.dialog, ExcelAbandoned);
            if (choice == Choice::AutoQuit)
                break;
        }
        // The operator kept saying "closed" while the workbook stayed open: nothing to go on.
        if (choice == Choice::Closed)
            return CloseWith(c.dialog, ExcelAbandoned);
    }
    return AwaitQuit(c);
}

} // namespace plw

#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/TwCom_ExcelRunChk.h"

#include "app/EventPump.h"
#include "report/SpreadsheetHost.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QList>
#include <gtest/gtest.h>

using namespace plw;
using Choice = RunningSpreadsheetDialog::Choice;

namespace {

const QString Workbook = QStringLiteral("/home/shop/分析.xls");
const QString StillRunning = QStringLiteral("Excel はまだ起動しています");
const QString CannotQuit = QStringLiteral("EXCELが終了できません");
const QString Holder = QStringLiteral("ロックファイル: /home/shop/.~lock.分析.xls#");
constexpr int Forever = -1;

// The workbook is open for the first openQueries questions about it (Forever: never let go).
class FakeHost final : public SpreadsheetHost {
public:
    bool installed = true;
    int openQueries = 0;

    bool IsInstalled() override { return installed; }
    bool IsRunning() override { return ask(); }
    bool QuitRunning() override { return ask(); }
    bool Open(const QString&, QString*) override { return false; }
    QString watchedFile() const override { return Workbook; }
    QString holder() const override { return Holder; }

private:
    bool ask() {
        if (openQueries == Forever)
            return true;
        if (openQueries == 0)
            return false;
        --openQueries;
        return true;
    }
};

// Answers from a script, repeating its last answer; the wait is cancelled on the cancelAt-th look.
class ScriptedDialog final : public RunningSpreadsheetDialog {
public:
    QList<Choice> script;
    int cancelAt = 0;
    int shown = 0;
    int closed = 0;
    QStringList waitedFor;
    QStringList holders; // shown with each choice

    Choice choose(const QString& holder) override {
        holders.append(holder);
        return script.at(qMin<qsizetype>(shown++, script.size() - 1));
    }
    void showWaiting(const QString& file) override { waitedFor.append(file); }
    bool waitCancelled() override { return ++mLooks == cancelAt; }
    void close() override { ++closed; }

private:
    int mLooks = 0;
};

class CountingSleeper final : public Sleeper {
public:
    qint64 total = 0;
    int calls = 0;
    void sleep(int milliseconds) override {
        total += milliseconds;
        ++calls;
    }
};

struct Case {
    const char* name;
    bool installed;
    int openQueries;
    QList<Choice> script;
    int cancelAt;
    qint16 result;
    QStringList messages;
    int dialogShown;
    int rounds; // half-second rounds waited
};

QStringList Repeat(const QString& text, int times) {
    QStringList list;
    for (int i = 0; i < times; ++i)
        list.append(text);
    return list;
}

} // namespace

TEST(ExcelRunCheck, EveryPathOfTheCheck) {
    const Case cases[] = {
        {"not running", true, 0, {}, 0, 0, {}, 0, 0},
        {"abandoned at once", true, 1, {Choice::Abandon}, 0, 1, {}, 1, 0},
        {"closed by the operator", true, 1, {Choice::Closed}, 0, 2, {}, 1, 0},
        {"closed on the second try", true, 2, {Choice::Closed}, 0, 2, {StillRunning}, 2, 0},
        {"still open, then abandoned",
         true,
         2,
         {Choice::Closed, Choice::Abandon},
         0,
         1,
         {StillRunning},
         2,
         0},
        {"still open, then automatic",
         true,
         3,
         {Choice::Closed, Choice::AutoQuit},
         0,
         3,
         {StillRunning},
         2,
         2},
        {"automatic, let go in the fourth round", true, 4, {Choice::AutoQuit}, 0, 3, {}, 1, 4},
        {"automatic, never let go",
         true,
         Forever,
         {Choice::AutoQuit},
         0,
         4,
         {CannotQuit},
         1,
         QuitWaitRounds},
        {"automatic, wait cancelled", true, Forever, {Choice::AutoQuit}, 3, 1, {}, 1, 2},
        {"said closed a thousand times while open",
         true,
         Forever,
         {Choice::Closed},
         0,
         1,
         Repeat(StillRunning, ClosedConfirmRounds),
         ClosedConfirmRounds + 1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host;
        host.installed = c.installed;
        host.openQueries = c.openQueries;
        ScriptedDialog dialog;
        dialog.script = c.script;
        dialog.cancelAt = c.cancelAt;
        test::ScriptedPrompter prompter;
        CountingEventPump pump;
        CountingSleeper sleeper;

        EXPECT_EQ(ExcelRunCheck({host, dialog, prompter, pump, sleeper}), c.result);
        EXPECT_EQ(prompter.texts(), c.messages);
        EXPECT_EQ(dialog.shown, c.dialogShown);
        // Every showing names who holds the workbook, so that a stale lock can be told.
        EXPECT_EQ(dialog.holders, Repeat(Holder, c.dialogShown));
        EXPECT_EQ(dialog.closed, c.dialogShown > 0 ? 1 : 0);
        EXPECT_EQ(sleeper.calls, c.rounds);
        EXPECT_EQ(sleeper.total, qint64(c.rounds) * QuitWaitRoundMs);
        // Every round yields first, so the window repaints and the cancel can be pressed.
        EXPECT_GE(pump.count(), c.rounds);
        const bool waited = c.rounds > 0 || c.cancelAt > 0;
        EXPECT_EQ(dialog.waitedFor, waited ? QStringList{Workbook} : QStringList{});
    }
}

TEST(ExcelRunCheck, NotInstalledSaysSoWithTheCriticalIconAndAsksNothing) {
    FakeHost host;
    host.installed = false;
    host.openQueries = Forever;
    ScriptedDialog dialog;
    test::ScriptedPrompter prompter;
    CountingEventPump pump;
    CountingSleeper sleeper;

    EXPECT_EQ(ExcelRunCheck({host, dialog, prompter, pump, sleeper}), 4);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages().at(0).text,
              u"Excelがインスツールされていない、または\rExcelのバージョンを認識できません。\r"
              u"この処理は実行できません。");
    EXPECT_EQ(prompter.messages().at(0).icon, MessageIcon::Critical);
    EXPECT_EQ(dialog.shown, 0);
}

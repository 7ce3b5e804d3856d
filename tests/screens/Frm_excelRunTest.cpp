#include "screens/Frm_excelRun.h"

#include "app/EventPump.h"
#include "tests/support/ScriptedPrompter.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace plw;
using plw::test::ScriptedPrompter;

namespace {

struct ProgressWindow {
    ScriptedPrompter prompter;
    CancelToken cancel;
    Frm_excelRun window{prompter, cancel};

    template <typename T> T* control(const QString& name) {
        T* found = window.findChild<T*>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }
    QString text(const QString& name) { return control<QLabel>(name)->text(); }
    QProgressBar* bar() { return control<QProgressBar>(QStringLiteral("proBAR")); }
};

TEST(Frm_excelRun, ShowsTheStepTheCountAndTheBarWhileTheCounterIsOn) {
    ProgressWindow w;
    ProgressSink& sink = w.window;
    sink.open();
    ASSERT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("経過表示"));
    EXPECT_EQ(w.control<QPushButton>(QStringLiteral("Command1"))->text(), QStringLiteral("中断"));
    for (const char* name : {"lblKey2", "lblKen2", "lblD1", "lblKen4", "lblKey3"})
        EXPECT_TRUE(w.text(QString::fromLatin1(name)).isEmpty()) << name;
    EXPECT_TRUE(w.control<QProgressBar>(QStringLiteral("proBAR2")));

    // The start of the workbook step: counter hidden, "準備中".
    sink.showCount(QString());
    sink.showPercent(0);
    sink.setCounterVisible(false);
    sink.showStep(QStringLiteral("準備中"));
    EXPECT_EQ(w.text(QStringLiteral("lblKey1")), QStringLiteral("準備中"));
    EXPECT_FALSE(w.control<QLabel>(QStringLiteral("lblKen1"))->isVisible());
    EXPECT_FALSE(w.bar()->isVisible());

    // The customer list: the counter appears and follows the reports.
    sink.setCounterVisible(true);
    CountingEventPump pump;
    ProgressCounter counter(sink, pump);
    counter.ReportProgress(1200, 35000, 1);
    EXPECT_TRUE(w.control<QLabel>(QStringLiteral("lblKen1"))->isVisible());
    EXPECT_TRUE(w.bar()->isVisible());
    EXPECT_EQ(w.text(QStringLiteral("lblKen1")), QStringLiteral("1,200/35,000"));
    EXPECT_EQ(w.bar()->value(), 3);
    counter.ReportProgress(35000, 35000, 1);
    EXPECT_EQ(w.bar()->value(), 100);

    // A later step's open() keeps the window as it is; close() only hides it.
    sink.open();
    EXPECT_EQ(w.text(QStringLiteral("lblKen1")), QStringLiteral("35,000/35,000"));
    sink.close();
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_TRUE(w.prompter.messages().isEmpty());
    EXPECT_FALSE(w.cancel.requested());
}

// "中断" and the close box both ask; only Yes sets the flag, and the window stays up either way.
TEST(Frm_excelRun, CancelAsksAndSetsTheFlagOnlyOnYes) {
    struct Case {
        const char* how;
        MessageAnswer answer;
        bool cancelled;
    };
    const Case cases[] = {
        {"button", MessageAnswer::No, false},
        {"button", MessageAnswer::Yes, true},
        {"close box", MessageAnswer::No, false},
        {"close box", MessageAnswer::Yes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.how) + (c.answer == MessageAnswer::Yes ? " Yes" : " No"));
        ProgressWindow w;
        w.window.open();
        w.prompter.answerNext(c.answer);
        if (std::string(c.how) == "button")
            QTest::mouseClick(w.control<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
        else
            static_cast<QWidget&>(w.window).close();
        ASSERT_EQ(w.prompter.messages().size(), 1);
        const ScriptedPrompter::Message& asked = w.prompter.messages().first();
        EXPECT_EQ(asked.text, QStringLiteral("処理を中断してもよろしいですか？"));
        EXPECT_EQ(asked.icon, MessageIcon::Question);
        EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
        EXPECT_EQ(w.cancel.requested(), c.cancelled);
        EXPECT_TRUE(w.window.isVisible());
    }
}

} // namespace

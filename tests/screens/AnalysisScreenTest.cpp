#include "screens/AnalysisScreen.h"
#include "screens/FieldRoutines.h"
#include "screens/ScreenButton.h"
#include "screens/TextField.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// A screen with one number field whose F12 button checks it, an F9 and an ESC button.
class CheckedScreen : public AnalysisScreen {
public:
    CheckedScreen(const Environment& environment, Prompter& prompter)
        : AnalysisScreen(environment, prompter) {
        field->setObjectName(QStringLiteral("txtNumber"));
        auto* layout = new QVBoxLayout(body());
        layout->addWidget(other);
        layout->addWidget(field);
        layout->addWidget(cmdF9);
        layout->addWidget(cmdF12);
        layout->addWidget(cmdEsc);
        setF12Button(cmdF12);
        setF9Button(cmdF9);
        setEscButton(cmdEsc);
        connect(cmdF12, &QPushButton::clicked, this, [this] {
            if (CheckDigitsOnly(field, this->prompter()))
                ++passed;
        });
        connect(cmdF9, &QPushButton::clicked, this, [this] { ++browsed; });
        connect(cmdEsc, &QPushButton::clicked, this, [this] { ++cancelled; });
    }

    TextField* other = new TextField(body(), 10);
    TextField* field = new TextField(body(), 10);
    QPushButton* cmdF9 = MakeButton(QStringLiteral("cmdF9"), QStringLiteral("F9:参照"), body());
    QPushButton* cmdF12 =
        MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12:次画面"), body());
    QPushButton* cmdEsc =
        MakeButton(QStringLiteral("cmdEsc"), QStringLiteral("ESC:メニューへ"), body());
    int passed = 0;
    int browsed = 0;
    int cancelled = 0;
};

Environment environment(const QString& output, int debug) {
    Environment e;
    e.PrinterDestination = output;
    e.DebugMode = debug;
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS"); // the default device
    return e;
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace

TEST(AnalysisScreen, F12RunsTheButtonsChecksExactlyAsAClick) {
    test::ScriptedPrompter prompter;
    CheckedScreen screen(environment(QStringLiteral("SCR"), 0), prompter);
    showActive(screen);

    screen.field->setText(QStringLiteral("12a"));
    screen.other->setFocus();
    QTest::mouseClick(screen.cmdF12, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), screen.field);
    ASSERT_EQ(prompter.texts().size(), 1);

    screen.other->setFocus();
    QTest::keyClick(screen.other, Qt::Key_F12);
    EXPECT_EQ(QApplication::focusWidget(), screen.field);
    EXPECT_EQ(prompter.texts(),
              QStringList(2, QStringLiteral("数字以外は指定できません(マイナスも指定できません)")));
    EXPECT_EQ(screen.passed, 0);

    screen.field->setText(QStringLiteral("12"));
    QTest::keyClick(screen.field, Qt::Key_F12);
    EXPECT_EQ(screen.passed, 1);
    EXPECT_EQ(prompter.texts().size(), 2);

    // A disabled button is not pressed by its key either.
    screen.cmdF12->setEnabled(false);
    QTest::keyClick(screen.field, Qt::Key_F12);
    EXPECT_EQ(screen.passed, 1);
}

TEST(AnalysisScreen, F9AndEscPressTheirButtons) {
    test::ScriptedPrompter prompter;
    CheckedScreen screen(environment(QStringLiteral("SCR"), 0), prompter);
    showActive(screen);
    screen.field->setFocus();
    QTest::keyClick(screen.field, Qt::Key_F9);
    EXPECT_EQ(screen.browsed, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(screen.cancelled, 1);
    EXPECT_EQ(screen.passed, 0);
}

TEST(AnalysisScreen, EnterOnAFocusedButtonPressesIt) {
    test::ScriptedPrompter prompter;
    CheckedScreen screen(environment(QStringLiteral("SCR"), 0), prompter);
    showActive(screen);
    screen.cmdF9->setFocus();
    QTest::keyClick(screen.cmdF9, Qt::Key_Return);
    QTest::keyClick(screen.cmdF9, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(screen.browsed, 2);
    screen.cmdF9->setEnabled(false);
    screen.cmdEsc->setFocus();
    QTest::keyClick(screen.cmdEsc, Qt::Key_Return);
    EXPECT_EQ(screen.cancelled, 1);
    EXPECT_EQ(screen.browsed, 2);
}

TEST(AnalysisScreen, EnterOnAFocusedButtonPressesItInADialogTooAndNeverItsDefault) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* field = new TextField(&dialog, 10);
    QPushButton* sort = MakeButton(QStringLiteral("cmdF1"), QStringLiteral("F1:名前順"), &dialog);
    QPushButton* load = MakeButton(QStringLiteral("cmdF6"), QStringLiteral("F6:読込"), &dialog);
    for (QWidget* w : std::initializer_list<QWidget*>{field, sort, load})
        layout->addWidget(w);
    load->setDefault(true);
    int sorted = 0;
    int loaded = 0;
    QObject::connect(sort, &QPushButton::clicked, [&sorted] { ++sorted; });
    QObject::connect(load, &QPushButton::clicked, [&loaded] { ++loaded; });
    showActive(dialog);

    sort->setFocus();
    QTest::keyClick(sort, Qt::Key_Return);
    QTest::keyClick(sort, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(sorted, 2);
    EXPECT_EQ(loaded, 0);
    // A held key presses once; with a modifier Enter presses nothing, not the default either.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(sort, &repeat);
    QTest::keyClick(sort, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(sorted, 2);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(AnalysisScreen, FrameShowsTitleAndPanelsAsTheInstallationSays) {
    test::ScriptedPrompter prompter;
    CheckedScreen screen(environment(QStringLiteral("PR1"), 1), prompter);
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("Twsystem Lumen v1 (PLWAN401)    DVR-BAS"));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
              QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblOUT"))->text(),
              QStringLiteral("ＰＲ１"));
    EXPECT_FALSE(screen.findChild<QFrame*>(QStringLiteral("pnlOUT"))->isHidden());
    EXPECT_FALSE(screen.findChild<QFrame*>(QStringLiteral("pnlDEBUG"))->isHidden());

    CheckedScreen plain(environment(QStringLiteral("LPT"), 0), prompter);
    EXPECT_TRUE(plain.findChild<QFrame*>(QStringLiteral("pnlOUT"))->isHidden());
    EXPECT_TRUE(plain.findChild<QFrame*>(QStringLiteral("pnlDEBUG"))->isHidden());
}

TEST(AnalysisScreen, BackgroundClickTogglesOnlyThePanelsThatApply) {
    test::ScriptedPrompter prompter;
    struct Case {
        QString output;
        int debug;
        bool outputShown;
        bool debugShown;
    };
    for (const Case& c :
         {Case{QStringLiteral("SCR"), 1, true, true}, Case{QStringLiteral("LPT"), 1, false, true},
          Case{QStringLiteral("SCR"), 0, true, false}}) {
        CheckedScreen screen(environment(c.output, c.debug), prompter);
        showActive(screen);
        auto* output = screen.findChild<QFrame*>(QStringLiteral("pnlOUT"));
        auto* debug = screen.findChild<QFrame*>(QStringLiteral("pnlDEBUG"));
        QTest::mouseClick(&screen, Qt::LeftButton, {}, QPoint(2, screen.height() - 2));
        EXPECT_TRUE(output->isHidden());
        EXPECT_TRUE(debug->isHidden());
        QTest::mouseClick(screen.body(), Qt::LeftButton, {}, QPoint(1, 1));
        EXPECT_EQ(!output->isHidden(), c.outputShown) << c.output.toStdString();
        EXPECT_EQ(!debug->isHidden(), c.debugShown) << c.debug;
        // A click on a control is no background click.
        QTest::mouseClick(screen.cmdF9, Qt::LeftButton);
        EXPECT_EQ(!output->isHidden(), c.outputShown);
    }
}

TEST(AnalysisScreen, OpensCentredOnTheDisplay) {
    test::ScriptedPrompter prompter;
    CheckedScreen screen(environment(QStringLiteral("SCR"), 0), prompter);
    screen.resize(400, 300);
    showActive(screen);
    const QRect display = screen.screen()->geometry();
    const QRect frame = screen.frameGeometry();
    EXPECT_NEAR(frame.x(), display.x() + (display.width() - frame.width()) / 2, 1);
    EXPECT_NEAR(frame.y(), display.y() + (display.height() - frame.height()) / 2, 1);
}

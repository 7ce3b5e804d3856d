#include "screens/FRM_PLWAN403.h"
#include "app/OutputItemList.h"
#include "tests/screens/ScriptedSaveDialog.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace plw;

namespace {

using test::ScriptedSaveDialog;

Environment environment() {
    Environment e;
    e.PrinterDestination = QStringLiteral("SCR");
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return e;
}

QStringList master() {
    return BuildOutputItemList({QStringLiteral("地区"), QStringLiteral("職業"),
                                QStringLiteral("趣味"), QStringLiteral("来店動機")});
}

QStringList entries(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList without(QStringList items, const QStringList& removed) {
    for (const QString& r : removed)
        items.removeAll(r);
    return items;
}

class OutputScreen : public ::testing::Test {
protected:
    void SetUp() override {
        state.List3 = {QStringLiteral("070:性別")};
        state.List2 = without(master(), state.List3);
        state.WorkbookName = QStringLiteral("/data/月次/RFM.xls");
        state.DialogFolder = QStringLiteral("/data/月次/");
        state.DialogFile = QStringLiteral("RFM.xls");
        screen = std::make_unique<FRM_PLWAN403>(environment(), prompter, state, master(), dialog);
        screen->show();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    }

    template <typename T> T* control(const QString& name) {
        T* widget = screen->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QListWidget* list(const char16_t* name) {
        return control<QListWidget>(QString::fromUtf16(name));
    }
    // Clicks the control; a tick box or option on its box, which is at its left.
    void click(const QString& name) {
        QWidget* widget = control<QWidget>(name);
        const bool box = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {},
                          box ? QPoint(8, widget->height() / 2) : widget->rect().center());
    }
    void select(QListWidget* l, const QString& text) {
        const auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        l->setCurrentItem(found.first());
    }
    void doubleClick(QListWidget* l, const QString& text) {
        const auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        l->scrollToItem(found.first());
        // A double click as the window system delivers it: press, release, then the second
        // press as a double click.
        const QPoint at = l->visualItemRect(found.first()).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    }
    bool ticked(const char16_t* name) {
        return control<QCheckBox>(QString::fromUtf16(name))->isChecked();
    }

    test::ScriptedPrompter prompter;
    ScriptedSaveDialog dialog;
    OutputScreenState state;
    std::unique_ptr<FRM_PLWAN403> screen;
};

TEST_F(OutputScreen, ShowsTheStateWithTheOutputListInMasterOrder) {
    state.OutRAmount = true;
    state.RightChartType = 4;
    state.ListOrder = 2;
    state.ListGroups = {false, true, false, false, false, true};
    // An item left out that the master no longer holds stays in List3, after the others.
    state.List3 = {QStringLiteral("190:メモ"), QStringLiteral("000:最終購買額"),
                   QStringLiteral("999:旧項目")};
    screen->loadState();
    EXPECT_EQ(entries(list(u"List3")), state.List3);
    EXPECT_EQ(entries(list(u"List2")), without(master(), state.List3));
    EXPECT_TRUE(ticked(u"chkP31"));
    EXPECT_FALSE(ticked(u"chkP10"));
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("optG34"))->isChecked());
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("optJR2"))->isChecked());
    for (const char* name : {"optG21", "optG22", "optG23"})
        EXPECT_FALSE(control<QRadioButton>(QString::fromLatin1(name))->isChecked()) << name;
    EXPECT_TRUE(ticked(u"chkGrp_B"));
    EXPECT_TRUE(ticked(u"chkGrp_X"));
    EXPECT_FALSE(ticked(u"chkGrp_A"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtOtFname"))->text(), state.WorkbookName);
}

TEST_F(OutputScreen, ButtonsMoveItemsAndOutputListKeepsMasterOrder) {
    QListWidget* list2 = list(u"List2");
    QListWidget* list3 = list(u"List3");

    // "不要" appends to List3 in the order of moving.
    select(list2, QStringLiteral("190:メモ"));
    click(QStringLiteral("cmdM2KSen"));
    select(list2, QStringLiteral("000:最終購買額"));
    click(QStringLiteral("cmdM2KSen"));
    const QStringList moved = {QStringLiteral("070:性別"), QStringLiteral("190:メモ"),
                               QStringLiteral("000:最終購買額")};
    EXPECT_EQ(entries(list3), moved);
    EXPECT_EQ(entries(list2), without(master(), moved));
    EXPECT_TRUE(ticked(u"chkP25"));

    // "全不要" then "出力" on one entry: it comes back at its master position.
    click(QStringLiteral("cmdAllSet"));
    EXPECT_EQ(entries(list2), QStringList());
    EXPECT_EQ(entries(list3), master());
    select(list3, QStringLiteral("150:住所２"));
    click(QStringLiteral("cmdK2MSen"));
    select(list3, QStringLiteral("010:現在(累計)ポイント"));
    click(QStringLiteral("cmdK2MSen"));
    EXPECT_EQ(entries(list2), QStringList({QStringLiteral("010:現在(累計)ポイント"),
                                           QStringLiteral("150:住所２")}));

    // "全出力" empties List3.
    click(QStringLiteral("cmdAllCLEAR"));
    EXPECT_EQ(entries(list2), master());
    EXPECT_EQ(entries(list3), QStringList());
    EXPECT_TRUE(prompter.texts().isEmpty());

    // F12 stores the lists.
    click(QStringLiteral("cmdF12"));
    EXPECT_EQ(state.List2, master());
    EXPECT_EQ(state.List3, QStringList());
}

TEST_F(OutputScreen, DoubleClicksMoveLikeTheButtons) {
    QListWidget* list2 = list(u"List2");
    QListWidget* list3 = list(u"List3");
    doubleClick(list2, QStringLiteral("300:趣味"));
    doubleClick(list2, QStringLiteral("020:生涯ポイント"));
    EXPECT_EQ(entries(list3), QStringList({QStringLiteral("070:性別"), QStringLiteral("300:趣味"),
                                           QStringLiteral("020:生涯ポイント")}));
    EXPECT_TRUE(ticked(u"chkP25"));

    doubleClick(list3, QStringLiteral("070:性別"));
    EXPECT_EQ(entries(list3),
              QStringList({QStringLiteral("300:趣味"), QStringLiteral("020:生涯ポイント")}));
    EXPECT_EQ(entries(list2), without(master(), entries(list3)));
    EXPECT_EQ(list2->item(6)->text(), QStringLiteral("070:性別")); // 020 is left out
}

TEST_F(OutputScreen, MoveWithNothingSelectedSaysSoAndChangesNothing) {
    for (const char* name : {"cmdM2KSen", "cmdK2MSen"}) {
        click(QString::fromLatin1(name));
        EXPECT_EQ(entries(list(u"List3")), QStringList({QStringLiteral("070:性別")})) << name;
        EXPECT_EQ(entries(list(u"List2")), state.List2) << name;
    }
    EXPECT_EQ(prompter.texts(), QStringList(2, QStringLiteral("選択されていません")));
    EXPECT_EQ(prompter.messages().first().icon, MessageIcon::Critical);
    EXPECT_FALSE(ticked(u"chkP25"));
}

TEST_F(OutputScreen, ChartOptionOrPictureSelectsTheOptionAndTicksGroupValues) {
    struct Case {
        const char* clicked;
        const char* selected;
    };
    for (const Case& c :
         {Case{"Image9", "optG36"}, Case{"Image8", "optG31"}, Case{"Image11", "optG34"},
          Case{"Image2", "optG22"}, Case{"optG23", "optG23"}, Case{"optG35", "optG35"}}) {
        control<QCheckBox>(QStringLiteral("chkP20"))->setChecked(false);
        click(QString::fromLatin1(c.clicked));
        EXPECT_TRUE(control<QRadioButton>(QString::fromLatin1(c.selected))->isChecked())
            << c.clicked;
        EXPECT_TRUE(ticked(u"chkP20")) << c.clicked;
    }
    // Each side keeps one selection of its own.
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("optG23"))->isChecked());
    EXPECT_FALSE(control<QRadioButton>(QStringLiteral("optG36"))->isChecked());
    // The order options tick nothing.
    control<QCheckBox>(QStringLiteral("chkP20"))->setChecked(false);
    click(QStringLiteral("optJR3"));
    EXPECT_FALSE(ticked(u"chkP20"));
}

TEST_F(OutputScreen, AllOnAndAllOffButtons) {
    const QStringList outputs = {
        QStringLiteral("chkP10"), QStringLiteral("chkP20"), QStringLiteral("chkP25"),
        QStringLiteral("chkP30"), QStringLiteral("chkP31"), QStringLiteral("chkP40"),
        QStringLiteral("chkP41"), QStringLiteral("chkP50"), QStringLiteral("chkP51")};
    const QStringList groups = {QStringLiteral("chkGrp_A"), QStringLiteral("chkGrp_B"),
                                QStringLiteral("chkGrp_C"), QStringLiteral("chkGrp_D"),
                                QStringLiteral("chkGrp_E"), QStringLiteral("chkGrp_X")};
    struct Case {
        const char* button;
        const QStringList& boxes;
        bool on;
    };
    for (const Case& c : {Case{"Command9", outputs, true}, Case{"Command2", groups, true},
                          Case{"Command8", outputs, false}, Case{"Command1", groups, false}}) {
        click(QString::fromLatin1(c.button));
        for (const QString& name : c.boxes)
            EXPECT_EQ(control<QCheckBox>(name)->isChecked(), c.on) << c.button;
    }
}

TEST_F(OutputScreen, F9FillsTheNameFromTheDialogAndRemembersIt) {
    auto* name = control<QLineEdit>(QStringLiteral("txtOtFname"));
    struct Case {
        QString answer;
        QString field;
        QString folder;
        QString file;
    };
    const Case cases[] = {
        // A name without ".xxx" at its end gets ".XLS".
        {QStringLiteral(" /home/shop/分析/十月 "), QStringLiteral("/home/shop/分析/十月.XLS"),
         QStringLiteral("/home/shop/分析/"), QStringLiteral("十月.XLS")},
        {QStringLiteral("/tmp/a.xls"), QStringLiteral("/tmp/a.xls"), QStringLiteral("/tmp/"),
         QStringLiteral("a.xls")},
        {QStringLiteral("/tmp/book.xlsx"), QStringLiteral("/tmp/book.xlsx.XLS"),
         QStringLiteral("/tmp/"), QStringLiteral("book.xlsx.XLS")},
        // Cancelled: nothing changes.
        {QString(), QStringLiteral("/tmp/book.xlsx.XLS"), QStringLiteral("/tmp/"),
         QStringLiteral("book.xlsx.XLS")},
    };
    QString folder = state.DialogFolder;
    QString file = state.DialogFile;
    for (const Case& c : cases) {
        dialog.answers = {c.answer};
        name->setFocus();
        QTest::keyClick(name, Qt::Key_F9);
        ASSERT_FALSE(dialog.asked.isEmpty());
        EXPECT_EQ(dialog.asked.last(),
                  QStringList({QStringLiteral("ファイル保存"), folder, file,
                               QStringLiteral("(*.XLS *.xls)"), QStringLiteral("XLS")}));
        EXPECT_EQ(name->text(), c.field);
        EXPECT_EQ(state.DialogFolder, c.folder);
        EXPECT_EQ(state.DialogFile, c.file);
        folder = state.DialogFolder;
        file = state.DialogFile;
    }
    EXPECT_EQ(dialog.asked.size(), 4);
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(OutputScreen, F12StoresTheStateAndCallsTheHandler) {
    OutputScreenState seen;
    int calls = 0;
    screen->setExecuteHandler([&] {
        ++calls;
        seen = state;
        state.WorkbookName = QStringLiteral("/home/shop/Documents/月次.xls");
        return AnalysisResult{};
    });
    click(QStringLiteral("Command9"));
    click(QStringLiteral("optG22"));
    click(QStringLiteral("Image10"));
    click(QStringLiteral("optJR3"));
    click(QStringLiteral("chkGrp_C"));
    click(QStringLiteral("cmdAllCLEAR"));
    auto* name = control<QLineEdit>(QStringLiteral("txtOtFname"));
    name->setText(QStringLiteral("月次"));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_F12);

    ASSERT_EQ(calls, 1);
    EXPECT_TRUE(seen.OutParameters && seen.OutGroupValues && seen.OutCustomerList &&
                seen.OutRCount && seen.OutRAmount && seen.OutFCount && seen.OutFAmount &&
                seen.OutMCount && seen.OutMAmount);
    EXPECT_EQ(seen.LeftChartType, 2);
    EXPECT_EQ(seen.RightChartType, 5);
    EXPECT_EQ(seen.ListOrder, 3);
    EXPECT_EQ(seen.ListGroups, (std::array<bool, 6>{false, false, true, false, false, false}));
    EXPECT_EQ(seen.List2, master());
    EXPECT_EQ(seen.List3, QStringList());
    EXPECT_EQ(seen.WorkbookName, QStringLiteral("月次"));
    // The name as the check completed it is shown.
    EXPECT_EQ(name->text(), QStringLiteral("/home/shop/Documents/月次.xls"));
}

TEST_F(OutputScreen, F12FocusesTheControlTheFailedCheckNames) {
    for (const char* focus : {"chkP10", "chkGrp_A", "txtOtFname", "cboHistory"}) {
        screen->setExecuteHandler([focus] {
            AnalysisResult result;
            result.Focus = QString::fromLatin1(focus);
            return result;
        });
        control<QWidget>(QStringLiteral("List2"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(focus));
    }
}

TEST_F(OutputScreen, EscAndCloseBoxStoreTheStateAndGoBack) {
    int back = 0;
    screen->setBackHandler([&] {
        ++back;
        EXPECT_TRUE(screen->isHidden());
    });
    click(QStringLiteral("chkP51"));
    QTest::keyClick(control<QWidget>(QStringLiteral("txtOtFname")), Qt::Key_Escape);
    EXPECT_EQ(back, 1);
    EXPECT_TRUE(state.OutMAmount);

    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
    click(QStringLiteral("chkP51"));
    screen->close();
    EXPECT_EQ(back, 2);
    EXPECT_FALSE(state.OutMAmount);
    EXPECT_TRUE(prompter.texts().isEmpty());
}

KeptRun Kept(const QDate& base, qint64 customers) {
    KeptRun run;
    run.BaseDate = base;
    run.RunTime = QDateTime(base.addDays(1), QTime(9, 0));
    run.GroupCounts[0] = customers;
    return run;
}

TEST_F(OutputScreen, TheComparisonListsTheKeptRunsAndShowsTheChoiceAsStored) {
    auto* history = control<QComboBox>(QStringLiteral("cboHistory"));
    const auto items = [history] {
        QStringList texts;
        for (int i = 0; i < history->count(); ++i)
            texts << history->itemText(i);
        return texts;
    };
    HistoryRead kept;
    kept.Outcome = HistoryRead::State::Read;
    kept.Runs = {Kept(QDate(2026, 11, 30), 1495), Kept(QDate(2026, 8, 30), 1368)};
    screen->setHistory(kept, QDate(2026, 11, 30));
    screen->loadState();
    EXPECT_EQ(items(), (QStringList{QStringLiteral("前回（基準日 2026/08/30）"),
                                    QStringLiteral("基準日 2026/11/30（2026/12/01 実行、1495人）"),
                                    QStringLiteral("基準日 2026/08/30（2026/08/31 実行、1368人）"),
                                    QStringLiteral("比較しない")}));
    EXPECT_EQ(history->currentIndex(), 0); // the default: the newest before the base date
    EXPECT_TRUE(history->toolTip().isEmpty());

    // Opening and closing changes nothing stored; a choice is stored as what it names.
    const OutputScreenState before = state;
    screen->storeState();
    EXPECT_EQ(state.CompareWith, before.CompareWith);
    history->setCurrentIndex(1);
    screen->storeState();
    EXPECT_EQ(state.CompareWith,
              (ComparisonChoice{ComparisonChoice::Kind::BaseDate, QDate(2026, 11, 30)}));
    history->setCurrentIndex(3);
    screen->storeState();
    EXPECT_EQ(state.CompareWith.Choice, ComparisonChoice::Kind::None);

    // A chosen base date the history no longer keeps stays shown as such, not replaced.
    state.CompareWith = {ComparisonChoice::Kind::BaseDate, QDate(2026, 5, 31)};
    HistoryRead damaged;
    damaged.Outcome = HistoryRead::State::Damaged;
    damaged.Cause = QStringLiteral("表 PLWAN40_RunHistory: 枠番号 30 が正しくありません");
    screen->setHistory(damaged, QDate(2026, 11, 30));
    screen->loadState();
    EXPECT_EQ(items(), (QStringList{QStringLiteral("前回（グループ履歴が壊れています）"),
                                    QStringLiteral("基準日 2026/05/31（履歴に残っていません）"),
                                    QStringLiteral("比較しない")}));
    EXPECT_EQ(history->currentIndex(), 1);
    EXPECT_TRUE(history->toolTip().endsWith(damaged.Cause));
    screen->storeState();
    EXPECT_EQ(state.CompareWith.BaseDate, QDate(2026, 5, 31));
}

TEST_F(OutputScreen, TheMailingListBindsItsGroupsKindAndFileAndBrowsesForACsv) {
    state.MailingList = true;
    state.MailingGroups = {true, false, false, false, false, true};
    state.MailingKind = MailingConsent::Mail;
    state.MailingFile = QStringLiteral("/home/shop/宛名.csv");
    screen->loadState();
    auto* box = control<QGroupBox>(QStringLiteral("chkMailList"));
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(ticked(u"chkMail_A"));
    EXPECT_TRUE(ticked(u"chkMail_X"));
    EXPECT_FALSE(ticked(u"chkMail_B"));
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("optMailMail"))->isChecked());
    auto* file = control<QLineEdit>(QStringLiteral("txtMailFname"));
    EXPECT_EQ(file->text(), state.MailingFile);

    dialog.answers = {QStringLiteral("/home/shop/十月ＤＭ")};
    click(QStringLiteral("cmdMailRef"));
    ASSERT_EQ(dialog.asked.size(), 1);
    EXPECT_EQ(dialog.asked.last(),
              QStringList({QStringLiteral("ファイル保存"), QStringLiteral("/home/shop/"),
                           QStringLiteral("宛名.csv"), QStringLiteral("(*.CSV *.csv)"),
                           QStringLiteral("CSV")}));
    EXPECT_EQ(file->text(), QStringLiteral("/home/shop/十月ＤＭ.csv"));
    click(QStringLiteral("optMailDM"));
    click(QStringLiteral("chkMail_B"));
    box->setChecked(false); // greyed out, its settings kept
    EXPECT_FALSE(control<QCheckBox>(QStringLiteral("chkMail_B"))->isEnabled());
    screen->storeState();
    EXPECT_FALSE(state.MailingList);
    EXPECT_EQ(state.MailingGroups, (std::array<bool, 6>{true, true, false, false, false, true}));
    EXPECT_EQ(state.MailingKind, MailingConsent::DirectMail);
    EXPECT_EQ(state.MailingFile, QStringLiteral("/home/shop/十月ＤＭ.csv"));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

} // namespace

#include "screens/Frm_excel2jyu.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace plw;
using Choice = RunningSpreadsheetDialog::Choice;

namespace {

// Runs choose() while `operate` works the modal dialog from the event loop. Should the
// operation leave the dialog open, a later timer rejects it so that the test fails, not hangs.
Choice ChooseWith(Frm_excel2jyu& dialog, std::function<void(QDialog&)> operate,
                  const QString& holder = QString()) {
    QTimer::singleShot(0, &dialog, [&dialog, operate] {
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        operate(dialog);
    });
    QPointer<Frm_excel2jyu> guarded(&dialog);
    QTimer::singleShot(3000, &dialog, [guarded] {
        if (guarded && guarded->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            guarded->done(QDialog::Rejected);
        }
    });
    return dialog.choose(holder);
}

template <typename T> T* Control(QWidget& dialog, const char* name) {
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}

// Clicks near the button's left edge: an option button answers on its circle and its text only.
void Click(QWidget& dialog, const char* name) {
    QAbstractButton* button = Control<QAbstractButton>(dialog, name);
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(qMin(button->width() / 2, 8), button->height() / 2));
}

TEST(Frm_excel2jyu, ShowsItsTextsAndOpensWithAutoQuitSelected) {
    Frm_excel2jyu dialog;
    QStringList texts;
    bool autoQuitSelected = false;
    const Choice choice = ChooseWith(dialog, [&](QDialog& d) {
        for (QLabel* label : d.findChildren<QLabel*>())
            if (label->isVisible())
                texts << label->text();
        autoQuitSelected = Control<QRadioButton>(d, "optAutoQuit")->isChecked();
        Click(d, "cmdF12");
    });
    EXPECT_EQ(choice, Choice::AutoQuit);
    EXPECT_TRUE(autoQuitSelected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ＥＸＣＥＬ２重起動"));
    EXPECT_EQ(texts, QStringList({QStringLiteral("Excelが起動しています。"),
                                  QStringLiteral("この処理はExcelが起動している場合は行えません。"),
                                  QStringLiteral("Excelを終了させてください。")}));
    EXPECT_EQ(Control<QAbstractButton>(dialog, "optAutoQuit")->text(),
              QStringLiteral("Excelを自動終了させて、処理を続行する。"));
    EXPECT_EQ(Control<QAbstractButton>(dialog, "optZokkou")->text(),
              QStringLiteral("Excelを終了したので、処理を続行する。"));
    EXPECT_EQ(Control<QAbstractButton>(dialog, "optTyudan")->text(),
              QStringLiteral("処理を中断する"));
    EXPECT_EQ(Control<QAbstractButton>(dialog, "cmdF12")->text(),
              QStringLiteral("選択した処理を行う"));
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("fraSentaku")), nullptr);

    // Who holds the workbook is shown under the messages, a line for each line.
    texts.clear();
    ChooseWith(
        dialog,
        [&](QDialog& d) {
            texts << Control<QLabel>(d, "lblHolder")->text();
            Click(d, "cmdF12");
        },
        QStringLiteral(
            "ロックファイル: /home/shop/.~lock.a.xls#\r利用者: shop　ホスト: office-pc"));
    EXPECT_EQ(texts,
              QStringList{QStringLiteral(
                  "ロックファイル: /home/shop/.~lock.a.xls#\n利用者: shop　ホスト: office-pc")});
}

// Each way of answering, on one dialog used by one running check after another: every check
// (ended by close()) starts from optAutoQuit, whatever was selected the time before.
TEST(Frm_excel2jyu, ReturnsTheSelectedChoiceEachTimeItIsShown) {
    struct Case {
        const char* name;
        std::function<void(QDialog&)> operate;
        Choice expected;
    };
    const Case cases[] = {
        {"optZokkou",
         [](QDialog& d) {
             Click(d, "optZokkou");
             Click(d, "cmdF12");
         },
         Choice::Closed},
        {"cmdF12 alone", [](QDialog& d) { Click(d, "cmdF12"); }, Choice::AutoQuit},
        {"optTyudan",
         [](QDialog& d) {
             Click(d, "optTyudan");
             Click(d, "cmdF12");
         },
         Choice::Abandon},
        {"optZokkou then F12 key",
         [](QDialog& d) {
             Click(d, "optZokkou");
             QTest::keyClick(&d, Qt::Key_F12);
         },
         Choice::Closed},
        {"optAutoQuit after another option",
         [](QDialog& d) {
             Click(d, "optTyudan");
             Click(d, "optAutoQuit");
             Click(d, "cmdF12");
         },
         Choice::AutoQuit},
        {"Esc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, Choice::Abandon},
        {"close box", [](QDialog& d) { d.close(); }, Choice::Abandon},
    };
    Frm_excel2jyu dialog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChooseWith(dialog, c.operate), c.expected);
        EXPECT_FALSE(dialog.isVisible());
        dialog.close();
    }
}

// Shown again within one check ("Excel はまだ起動しています"), the dialog keeps the choice.
TEST(Frm_excel2jyu, ShownAgainItKeepsTheOperatorsChoice) {
    Frm_excel2jyu dialog;
    ASSERT_EQ(ChooseWith(dialog,
                         [](QDialog& d) {
                             Click(d, "optZokkou");
                             Click(d, "cmdF12");
                         }),
              Choice::Closed);
    bool closedStillSelected = false;
    EXPECT_EQ(ChooseWith(dialog,
                         [&](QDialog& d) {
                             closedStillSelected =
                                 Control<QRadioButton>(d, "optZokkou")->isChecked();
                             Click(d, "cmdF12");
                         }),
              Choice::Closed);
    EXPECT_TRUE(closedStillSelected);
}

TEST(Frm_excel2jyu, ShowsTheAwaitedFileAndCancelsTheWait) {
    Frm_excel2jyu dialog;
    ASSERT_EQ(ChooseWith(dialog, [](QDialog& d) { Click(d, "cmdF12"); }), Choice::AutoQuit);

    const QString file = QStringLiteral("/home/shop/ドキュメント/RFM分析.xls");
    dialog.showWaiting(file);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Control<QLabel>(dialog, "lblWaitFile")->text(), file);
    EXPECT_FALSE(Control<QWidget>(dialog, "optAutoQuit")->isVisible());
    EXPECT_FALSE(dialog.waitCancelled());
    QApplication::processEvents();
    EXPECT_FALSE(dialog.waitCancelled());

    Click(dialog, "cmdWaitCancel");
    EXPECT_TRUE(dialog.waitCancelled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());

    // A new wait starts uncancelled; the close box and Esc cancel it and leave it shown.
    dialog.showWaiting(file);
    EXPECT_FALSE(dialog.waitCancelled());
    static_cast<QWidget&>(dialog).close();
    EXPECT_TRUE(dialog.waitCancelled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();

    dialog.showWaiting(file);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.waitCancelled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());

    // After a wait the dialog chooses as before.
    EXPECT_EQ(ChooseWith(dialog,
                         [](QDialog& d) {
                             Click(d, "optTyudan");
                             Click(d, "cmdF12");
                         }),
              Choice::Abandon);
}

} // namespace

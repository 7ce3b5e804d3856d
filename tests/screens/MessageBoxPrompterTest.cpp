#include "screens/MessageBoxPrompter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// Answers the message box that is about to open with the button of the given role, and keeps
// what it showed.
struct Answerer {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QSize size;

    void answer(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            size = box->size();
            box->button(button)->click();
        });
    }
};

TEST(MessageBoxPrompter, ShowsTheTextWithItsLineBreaksAndAnswersByTheButton) {
    MessageBoxPrompter prompter(QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"));
    Answerer answerer;
    answerer.answer(QMessageBox::No);
    EXPECT_EQ(prompter.show(QStringLiteral("処理を中断してもよろしいですか？\r続けます"),
                            MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(answerer.text, QStringLiteral("処理を中断してもよろしいですか？\n続けます"));
    EXPECT_EQ(answerer.title, QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"));
    EXPECT_EQ(answerer.icon, QMessageBox::Question);

    answerer.answer(QMessageBox::Ok);
    EXPECT_EQ(prompter.show(QStringLiteral("指定して下さい"), MessageIcon::Critical),
              MessageAnswer::Ok);
    EXPECT_EQ(answerer.icon, QMessageBox::Critical);
}

// A short message keeps its whole title in the title bar; a long one still fits a laptop's
// display with its frame (1366 x 720 above the task bar).
TEST(MessageBoxPrompter, IsWideEnoughForItsTitleAndFitsTheDisplay) {
    const QString title = QStringLiteral("ポイント顧客分析（ＲＦＭ分析）");
    MessageBoxPrompter prompter(title);
    Answerer answerer;
    answerer.answer(QMessageBox::Cancel);
    prompter.show(QStringLiteral("処理してもよろしいですか？"), MessageIcon::Question,
                  MessageButtons::OkCancel);
    QFont bold = QApplication::font("QMessageBox");
    bold.setBold(true);
    EXPECT_GE(answerer.size.width(), QFontMetrics(bold).horizontalAdvance(title) + 100);

    answerer.answer(QMessageBox::Ok);
    prompter.show(QStringLiteral("データベースの処理でエラーが発生しました。\r") +
                      QString(400, QChar(u'あ')),
                  MessageIcon::Critical);
    EXPECT_LE(answerer.size.width() + 8, 1366);
    EXPECT_LE(answerer.size.height() + 34, 720);
}

} // namespace

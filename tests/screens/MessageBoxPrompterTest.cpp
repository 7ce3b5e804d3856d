#include "screens/MessageBoxPrompter.h"

#include <QApplication>
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

    void answer(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
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

} // namespace

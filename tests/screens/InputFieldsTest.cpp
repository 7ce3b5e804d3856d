#include "screens/DateField.h"
#include "screens/FieldRoutines.h"
#include "screens/TextField.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// A shown, active window with a text field, a date field and a second text field, in tab order.
struct Fields : ::testing::Test {
    QWidget window;
    TextField* first = new TextField(&window, 8);
    DateField* date = new DateField(&window);
    TextField* last = new TextField(&window, 20);

    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(date);
        layout->addWidget(last);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

TEST_F(Fields, EnterAndDownMoveToTheNextFieldUpToThePreviousOne) {
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), date);
    QTest::keyClick(date, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), last);
    QTest::keyClick(last, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), date);
    QTest::keyClick(date, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), last);
}

TEST_F(Fields, DateFieldDeliversTypedDatesAndAllowsNone) {
    EXPECT_EQ(date->value(), QString());
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("20240315"));
    EXPECT_EQ(date->displayText(), QStringLiteral("2024年03月15日"));
    EXPECT_EQ(date->value(), QStringLiteral("20240315"));

    // Emptied, the field holds no date.
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Delete);
    EXPECT_EQ(date->value(), QString());
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), last);
    EXPECT_EQ(date->value(), QString());
}

TEST_F(Fields, DateFieldNeverTakesAnImpossibleDateNorReplacesIt) {
    test::ScriptedPrompter prompter;
    date->setPrompter(&prompter);
    ASSERT_TRUE(date->setValue(QStringLiteral("20250130")));
    EXPECT_FALSE(date->setValue(QStringLiteral("20230229")));
    EXPECT_FALSE(date->setValue(QStringLiteral("2024")));
    EXPECT_EQ(date->value(), QStringLiteral("20250130"));

    // Typed over the shown date, 31 February stays as typed and Enter is refused.
    date->setFocus();
    date->home(false);
    QTest::keyClicks(date, QStringLiteral("20250231"));
    EXPECT_EQ(date->displayText(), QStringLiteral("2025年02月31日"));
    EXPECT_TRUE(date->hasInvalidEntry());
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(date->displayText(), QStringLiteral("2025年02月31日"));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("正しい日付を入力してください")});

    // Leaving by Tab is refused too, without telling the same entry twice.
    QTest::keyClick(date, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(prompter.texts().size(), 1);
    date->setCursorPosition(8);
    QTest::keyClicks(date, QStringLiteral("30"));
    EXPECT_EQ(date->displayText(), QStringLiteral("2025年02月30日"));
    QTest::keyClick(date, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(prompter.texts().size(), 2);

    // A check refuses it with the message each time; a real date is taken and moves on.
    EXPECT_TRUE(date->refuseInvalidEntry());
    EXPECT_EQ(prompter.texts().size(), 3);
    date->home(false);
    QTest::keyClicks(date, QStringLiteral("20250228"));
    EXPECT_FALSE(date->refuseInvalidEntry());
    EXPECT_EQ(date->value(), QStringLiteral("20250228"));
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), last);
    EXPECT_EQ(prompter.texts().size(), 3);
}

TEST_F(Fields, F4OpensTheCalendarAndTheChosenDayBecomesTheValue) {
    ASSERT_TRUE(date->setValue(QStringLiteral("20240131")));
    date->setFocus();
    QTest::keyClick(date, Qt::Key_F4);
    QCalendarWidget* calendar = date->calendarPopup();
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 1, 31));

    calendar->setSelectedDate(QDate(2024, 2, 29));
    QWidget* view = calendar->focusProxy() ? calendar->focusProxy() : calendar;
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(date->calendarPopup());
    EXPECT_EQ(date->value(), QStringLiteral("20240229"));
    EXPECT_EQ(date->displayText(), QStringLiteral("2024年02月29日"));
}

TEST_F(Fields, AutoAdvanceMovesOnFromAFullFieldOfOddOrShortMaximumLength) {
    first->setAutoAdvance(true);
    last->setAutoAdvance(true);
    first->setFocus();
    QTest::keyClicks(first, QStringLiteral("1234567"));
    EXPECT_EQ(QApplication::focusWidget(), first);
    QTest::keyClicks(first, QStringLiteral("8"));
    EXPECT_EQ(QApplication::focusWidget(), date);

    // An even maximum length of 10 or more never advances.
    last->setFocus();
    QTest::keyClicks(last, QStringLiteral("12345678901234567890"));
    EXPECT_EQ(last->text().size(), 20);
    EXPECT_EQ(QApplication::focusWidget(), last);

    // An odd one does.
    last->clear();
    last->setMaxLength(11);
    QTest::keyClicks(last, QStringLiteral("12345678901"));
    EXPECT_NE(QApplication::focusWidget(), last);
}

TEST_F(Fields, KeysThatPutNoCharacterIntoAFullFieldDoNotAdvance) {
    first->setAutoAdvance(true);
    first->setText(QStringLiteral("12345678"));
    first->setFocus();
    first->end(false);
    QTest::keyClick(first, Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), first);
    QTest::keyClick(first, Qt::Key_Left);
    QTest::keyClick(first, Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), first);
    // Nor does any other key that puts no character into it.
    QTest::keyClick(first, Qt::Key_End);
    QTest::keyClick(first, Qt::Key_9);
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(first->text(), QStringLiteral("12345678"));
}

TEST_F(Fields, SetFocusSafeLeavesDisabledAndHiddenFieldsAlone) {
    first->setFocus();
    last->setEnabled(false);
    SetFocusSafe(last);
    EXPECT_EQ(QApplication::focusWidget(), first);
    last->setEnabled(true);
    last->hide();
    SetFocusSafe(last);
    EXPECT_EQ(QApplication::focusWidget(), first);
    SetFocusSafe(date);
    EXPECT_EQ(QApplication::focusWidget(), date);
}

TEST_F(Fields, FocusFirstInputTakesTheFirstUsableTaggedControlInTabOrder) {
    // Tab order: date, first, last; date and last tagged.
    QWidget::setTabOrder(date, first);
    date->setProperty("tag", QStringLiteral("1"));
    last->setProperty("tag", QStringLiteral("2"));
    first->setFocus();
    FocusFirstInput(&window);
    EXPECT_EQ(QApplication::focusWidget(), date);

    // A disabled tagged control is passed over.
    date->setEnabled(false);
    first->setFocus();
    FocusFirstInput(&window);
    EXPECT_EQ(QApplication::focusWidget(), last);
    // With none usable, the focus stays where it is (the untagged field).
    last->hide();
    first->setFocus();
    FocusFirstInput(&window);
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(Fields, CheckDigitsOnlyRefusesAnythingButDigitsAndFocusesTheField) {
    test::ScriptedPrompter prompter;
    last->setFocus();
    first->setText(QStringLiteral(" 123 "));
    EXPECT_TRUE(CheckDigitsOnly(first, prompter));
    first->setText(QStringLiteral("-12"));
    EXPECT_FALSE(CheckDigitsOnly(first, prompter));
    EXPECT_EQ(QApplication::focusWidget(), first);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("数字以外は指定できません(マイナスも指定できません)"));
    EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::Critical);

    first->setEnabled(false);
    EXPECT_TRUE(CheckDigitsOnly(first, prompter));
    EXPECT_EQ(prompter.messages().size(), 1);
}

TEST_F(Fields, SetDatePlusMonthsWritesTheTargetOrNamesTheMissingField) {
    test::ScriptedPrompter prompter;
    DateField target(&window);
    first->setText(QStringLiteral("1"));
    EXPECT_FALSE(SetDatePlusMonths(&target, date, first, prompter));
    EXPECT_EQ(QApplication::focusWidget(), date);

    ASSERT_TRUE(date->setValue(QStringLiteral("20230531")));
    first->setText(QStringLiteral("0"));
    last->setFocus();
    EXPECT_FALSE(SetDatePlusMonths(&target, date, first, prompter));
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("指定してください"),
                                             QStringLiteral("指定してください")}));
    EXPECT_EQ(target.value(), QString());

    first->setText(QStringLiteral("1"));
    EXPECT_TRUE(SetDatePlusMonths(&target, date, first, prompter));
    EXPECT_EQ(target.value(), QStringLiteral("20230630"));
    first->setText(QStringLiteral("9"));
    EXPECT_TRUE(SetDatePlusMonths(&target, date, first, prompter));
    EXPECT_EQ(target.value(), QStringLiteral("20240228"));
}

TEST_F(Fields, SetMonthDayUsesALeapYearAndIgnoresRejectedValues) {
    SetMonthDay(date, QStringLiteral("0229"));
    EXPECT_EQ(date->value(), QStringLiteral("19960229"));
    SetMonthDay(date, QStringLiteral("0230"));
    EXPECT_EQ(date->value(), QStringLiteral("19960229"));
    SetDateNumber(date, QStringLiteral("2024x101"));
    EXPECT_EQ(date->value(), QStringLiteral("19960229"));
    SetDateNumber(date, QStringLiteral("20241231"));
    EXPECT_EQ(date->value(), QStringLiteral("20241231"));
}

TEST_F(Fields, ADigitsOnlyFieldRefusesOtherCharactersAndNeverCutsWhatTheProgramSets) {
    test::ScriptedPrompter prompter;
    last->setDigitsOnly(5, prompter);
    last->setFocus();
    QTest::keyClicks(last, QStringLiteral("3O"));
    EXPECT_EQ(last->text(), QStringLiteral("3"));
    ASSERT_EQ(prompter.texts(),
              QStringList{QStringLiteral("数字（半角の0～9）だけを５桁まで入力できます")});

    // A sixth digit is one place too many: refused without a message.
    QTest::keyClicks(last, QStringLiteral("01234"));
    EXPECT_EQ(last->text(), QStringLiteral("30123"));
    EXPECT_EQ(prompter.texts().size(), 1);

    // A paste with anything but digits changes nothing and says why.
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    last->clear();
    last->paste();
    EXPECT_EQ(last->text(), QString());
    EXPECT_EQ(prompter.texts().size(), 2);
    QApplication::clipboard()->setText(QStringLiteral("99"));
    QTest::keyClick(last, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(last->text(), QStringLiteral("99"));

    // What the program sets is shown whole, for the checks to refuse.
    last->setText(QStringLiteral("123456"));
    EXPECT_EQ(last->text(), QStringLiteral("123456"));
}

#include "screens/DateField.h"

#include "app/Prompter.h"
#include "app/ScreenDates.h"
#include "screens/FieldRoutines.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace plw {

namespace {

// Digits where the mask "9999年99月99日" puts them in the displayed text.
constexpr int DigitPositions[] = {0, 1, 2, 3, 5, 6, 8, 9};
constexpr QChar Blank = u'_';

} // namespace

DateField::DateField(QWidget* parent)
    : TextField(parent), mCalendar(this, [this](const QDate& day) {
          setValue(day.toString(QStringLiteral("yyyyMMdd")));
      }) {
    setInputMask(QStringLiteral("9999年99月99日;_"));
    // While the operator types, only a finished entry (the day's last digit typed, or the field
    // emptied) is taken at once; the rest is taken when the entry is settled.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (cursorPosition() >= DigitPositions[7] + 1 || entry(nullptr) == Entry::Empty)
            takeEditedText();
    });
}

DateField::~DateField() = default;

QDate DateField::date() const {
    if (mValue.isEmpty())
        return {};
    return QDate::fromString(mValue, QStringLiteral("yyyyMMdd"));
}

bool DateField::hasInvalidEntry() const {
    return entry(nullptr) == Entry::Incomplete;
}

bool DateField::refuseInvalidEntry(bool toldOnce) {
    if (!hasInvalidEntry()) {
        takeEditedText();
        return false;
    }
    if (mPrompter && !(toldOnce && mReported == displayText())) {
        mReported = displayText();
        mPrompter->show(QStringLiteral("正しい日付を入力してください"), MessageIcon::Critical);
    }
    SetFocusSafe(this);
    return true;
}

bool DateField::setValue(const QString& value) {
    if (!value.isEmpty() && !IsDateNumber(value))
        return false;
    changeValue(value);
    showValue();
    return true;
}

void DateField::openCalendar() {
    mCalendar.open(date().isValid() ? date() : QDate::currentDate());
}

QCalendarWidget* DateField::calendarPopup() const {
    return mCalendar.shown();
}

bool DateField::hasNoEntry() const {
    return entry(nullptr) == Entry::Empty;
}

void DateField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        openCalendar();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        // The focus moves on only from a date or an empty field.
        if (refuseInvalidEntry()) {
            event->accept();
            return;
        }
    }
    TextField::keyPressEvent(event);
}

void DateField::focusOutEvent(QFocusEvent* event) {
    TextField::focusOutEvent(event);
    takeEditedText();
    // Leaving by Tab or a click: refused once the focus change is over, told only when this
    // entry was not told yet (a check that runs on the click may have told it). A popup, a
    // message box or another window taking the focus is no leaving.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::MouseFocusReason) &&
        hasInvalidEntry())
        QTimer::singleShot(0, this, [this] {
            if (!hasFocus() && !QApplication::activeModalWidget() && isVisible())
                refuseInvalidEntry(true);
        });
}

DateField::Entry DateField::entry(QString* value) const {
    const QString shown = displayText();
    QString digits;
    int blanks = 0;
    for (int position : DigitPositions) {
        const QChar c = position < shown.size() ? shown[position] : Blank;
        if (c == Blank || c == u' ')
            ++blanks;
        else
            digits += c;
    }
    if (blanks == 8)
        return Entry::Empty;
    if (blanks == 0 && IsDateNumber(digits)) {
        if (value)
            *value = digits;
        return Entry::Date;
    }
    return Entry::Incomplete;
}

void DateField::takeEditedText() {
    QString typed;
    switch (entry(&typed)) {
    case Entry::Date:
        changeValue(typed);
        break;
    case Entry::Empty:
        changeValue(QString());
        break;
    case Entry::Incomplete:
        break;
    }
}

void DateField::showValue() {
    if (mValue.isEmpty())
        setText(QString());
    else
        setText(mValue.left(4) + u'年' + mValue.mid(4, 2) + u'月' + mValue.mid(6, 2) + u'日');
}

void DateField::changeValue(const QString& value) {
    if (value == mValue)
        return;
    mValue = value;
    if (mValueChanged)
        mValueChanged(mValue);
}

} // namespace plw

#include "screens/MonthDayField.h"

#include <QKeyEvent>

#include <algorithm>
#include <iterator>

namespace plw {

namespace {

// Digits where the mask "99月99日" puts them in the displayed text.
constexpr int DigitPositions[] = {0, 1, 3, 4};

} // namespace

MonthDayField::MonthDayField(QWidget* parent)
    : TextField(parent), mCalendar(this, [this](const QDate& day) {
          setValue(day.toString(QStringLiteral("MMdd")));
      }) {
    setInputMask(QStringLiteral("99月99日;_"));
    connect(this, &QLineEdit::textEdited, this, [this] { takeEditedText(); });
}

MonthDayField::~MonthDayField() = default;

bool MonthDayField::IsMonthDay(const QString& mmdd) {
    // 1996 is a leap year, so February 29 is a day.
    return mmdd.size() == 4 &&
           QDate::fromString(QStringLiteral("1996") + mmdd, QStringLiteral("yyyyMMdd")).isValid();
}

bool MonthDayField::setValue(const QString& mmdd) {
    if (!mmdd.isEmpty() && !IsMonthDay(mmdd))
        return false;
    changeValue(mmdd);
    setText(mmdd.isEmpty() ? QString() : mmdd.left(2) + u'月' + mmdd.mid(2, 2) + u'日');
    return true;
}

void MonthDayField::openCalendar() {
    // This year's day, or today without one.
    const QDate today = QDate::currentDate();
    const QDate shown =
        QDate::fromString(QString::number(today.year()) + mValue, QStringLiteral("yyyyMMdd"));
    mCalendar.open(shown.isValid() ? shown : today);
}

QCalendarWidget* MonthDayField::calendarPopup() const {
    return mCalendar.shown();
}

bool MonthDayField::hasNoEntry() const {
    const QString shown = displayText();
    return std::none_of(std::begin(DigitPositions), std::end(DigitPositions),
                        [&shown](int p) { return p < shown.size() && shown[p].isDigit(); });
}

void MonthDayField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        openCalendar();
        return;
    }
    TextField::keyPressEvent(event);
}

void MonthDayField::takeEditedText() {
    const QString shown = displayText();
    QString digits;
    for (int position : DigitPositions)
        if (position < shown.size() && shown[position].isDigit())
            digits += shown[position];
    // A complete day is the value; anything else (also a part of one) is none.
    changeValue(IsMonthDay(digits) ? digits : QString());
}

void MonthDayField::changeValue(const QString& value) {
    if (value == mValue)
        return;
    mValue = value;
    if (mValueChanged)
        mValueChanged(mValue);
}

} // namespace plw

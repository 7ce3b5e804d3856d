#pragma once

#include "screens/CalendarPopup.h"
#include "screens/TextField.h"

#include <QDate>
#include <functional>

class QCalendarWidget;

namespace plw {

// A field for a day of the year without its year (a birthday): edits and shows "mm月dd日",
// delivers "MMDD" or "" (no day). F4 opens a calendar popup of the current year; choosing a day
// there sets month and day. "0229" is a day. An entry that is no day of the year stays visible as
// typed and the field has no value, so a check asking for the day refuses it.
class MonthDayField final : public TextField {
public:
    explicit MonthDayField(QWidget* parent = nullptr);
    ~MonthDayField() override;

    // "MMDD", or "" without a day.
    QString value() const { return mValue; }
    // Takes "" or a real "MMDD"; anything else is rejected: false, unchanged.
    bool setValue(const QString& mmdd);
    void setValueChangedHandler(std::function<void(const QString&)> handler) {
        mValueChanged = std::move(handler);
    }

    void openCalendar();
    QCalendarWidget* calendarPopup() const;

    // Whether "MMDD" names a day of the year (February 29 included).
    static bool IsMonthDay(const QString& mmdd);

protected:
    bool hasNoEntry() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeEditedText();
    void changeValue(const QString& value);

    QString mValue;
    CalendarPopup mCalendar;
    std::function<void(const QString&)> mValueChanged;
};

} // namespace plw

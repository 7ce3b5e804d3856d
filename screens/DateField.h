#pragma once

#include "screens/CalendarPopup.h"
#include "screens/TextField.h"

#include <QDate>
#include <functional>

class QCalendarWidget;

namespace plw {

class Prompter;

// The screens' date input field: edits and shows "yyyy年mm月dd日", delivers "YYYYMMDD" or "" (no
// date is allowed). F4 opens a calendar popup; choosing a day there (click or Enter) sets the
// date, Esc closes it unchanged. Enter, Down and Up move as in every text field. An incomplete
// or impossible entry is never a value, and never replaced either: it stays as typed, and
// leaving the field by the keyboard or a check (refuseInvalidEntry) tells the operator and puts
// the focus back, until the entry is a date or emptied.
class DateField : public TextField {
public:
    explicit DateField(QWidget* parent = nullptr);
    ~DateField() override;

    // "YYYYMMDD", or "" without a date.
    QString value() const { return mValue; }
    QDate date() const;
    // Takes "" (no date) or a real "YYYYMMDD" day; anything else is rejected: false, unchanged.
    bool setValue(const QString& value);
    // Called whenever the value changes (an entry settled or finished, the calendar, setValue).
    void setValueChangedHandler(std::function<void(const QString&)> handler) {
        mValueChanged = std::move(handler);
    }

    // Whether the text shown is neither a date nor empty.
    bool hasInvalidEntry() const;
    // The prompter that tells the operator about an invalid entry (the screen's).
    void setPrompter(Prompter* prompter) { mPrompter = prompter; }
    // With an invalid entry: tells the operator (with toldOnce, only when this entry was not told
    // yet), puts the focus back and returns true. Otherwise takes the entry (a date or nothing)
    // as the value and returns false.
    bool refuseInvalidEntry(bool toldOnce = false);

    // Opens the calendar below the field on the field's date (today without one).
    void openCalendar();
    // The open calendar popup, or nullptr.
    QCalendarWidget* calendarPopup() const;

protected:
    bool hasNoEntry() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // What the edited text says: a complete real date, no date at all, or neither.
    enum class Entry { Date, Empty, Incomplete };
    Entry entry(QString* value) const;
    void takeEditedText();
    void showValue();
    void changeValue(const QString& value);

    QString mValue;
    Prompter* mPrompter = nullptr;
    // The invalid entry the operator was last told about.
    QString mReported;
    CalendarPopup mCalendar;
    std::function<void(const QString&)> mValueChanged;
};

} // namespace plw

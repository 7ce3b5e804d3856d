#pragma once

#include <QDate>

#include <functional>
#include <memory>

class QCalendarWidget;
class QWidget;

namespace plw {

// The calendar a date field opens with F4: a window of its own (no parent, so that the screen's
// function keys stay out of it) just below the field. A click or Enter on a day closes it, hands
// the day to the field and gives the field the focus back.
class CalendarPopup {
public:
    CalendarPopup(QWidget* field, std::function<void(const QDate&)> chosen);
    ~CalendarPopup();

    // Shows the calendar on the month of shown, that day selected.
    void open(const QDate& shown);
    // The calendar while it is shown, else nothing.
    QCalendarWidget* shown() const;

private:
    QWidget* mField;
    std::function<void(const QDate&)> mChosen;
    std::unique_ptr<QCalendarWidget> mCalendar;
};

} // namespace plw

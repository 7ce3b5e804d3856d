#include "screens/CalendarPopup.h"

#include <QCalendarWidget>

namespace plw {

CalendarPopup::CalendarPopup(QWidget* field, std::function<void(const QDate&)> chosen)
    : mField(field), mChosen(std::move(chosen)) {}

CalendarPopup::~CalendarPopup() = default;

void CalendarPopup::open(const QDate& shown) {
    if (!mCalendar) {
        mCalendar = std::make_unique<QCalendarWidget>();
        mCalendar->setWindowFlags(Qt::Popup);
        mCalendar->setObjectName(QStringLiteral("calendarPopup"));
        const auto choose = [this](QDate day) {
            mCalendar->hide();
            mChosen(day);
            mField->setFocus(Qt::PopupFocusReason);
        };
        QObject::connect(mCalendar.get(), &QCalendarWidget::clicked, mField, choose);
        QObject::connect(mCalendar.get(), &QCalendarWidget::activated, mField, choose);
    }
    mCalendar->setSelectedDate(shown);
    mCalendar->setCurrentPage(shown.year(), shown.month());
    mCalendar->adjustSize();
    mCalendar->move(mField->mapToGlobal(QPoint(0, mField->height())));
    mCalendar->show();
    mCalendar->setFocus(Qt::PopupFocusReason);
}

QCalendarWidget* CalendarPopup::shown() const {
    return mCalendar && mCalendar->isVisible() ? mCalendar.get() : nullptr;
}

} // namespace plw

#pragma once

#include <QDate>
#include <QDateTime>

namespace plw {

// Today and now. Routines that depend on the date ask a Clock, so that tests can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime moment) : mMoment(std::move(moment)) {}
    QDateTime now() const override { return mMoment; }
    void set(QDateTime moment) { mMoment = std::move(moment); }

private:
    QDateTime mMoment;
};

} // namespace plw

#pragma once

#include <QString>
#include <QtGlobal>

namespace plw {

// A fixed-point amount with four decimals: a 64-bit integer scaled by 10,000, as the platform's
// currency type. Whenever a fraction becomes an integer it is rounded half to even.
class Currency {
public:
    static constexpr qint64 Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromScaled(qint64 scaled) {
        Currency c;
        c.mScaled = scaled;
        return c;
    }
    static constexpr Currency fromInteger(qint64 value) { return fromScaled(value * Scale); }

    constexpr qint64 scaled() const { return mScaled; }
    // The nearest whole number, a half to the even one.
    qint64 roundedToInteger() const;
    // The exact value as a double (for display and charts only).
    double toDouble() const { return static_cast<double>(mScaled) / Scale; }
    // Plain decimal text, without trailing zeros of the fraction ("12.5", "-3", "0").
    QString toString() const;

    friend constexpr bool operator==(Currency a, Currency b) = default;
    friend constexpr auto operator<=>(Currency a, Currency b) = default;
    constexpr Currency operator+(Currency o) const { return fromScaled(mScaled + o.mScaled); }
    constexpr Currency operator-(Currency o) const { return fromScaled(mScaled - o.mScaled); }
    constexpr Currency& operator+=(Currency o) {
        mScaled += o.mScaled;
        return *this;
    }
    constexpr Currency& operator-=(Currency o) {
        mScaled -= o.mScaled;
        return *this;
    }
    // Products and quotients keep four decimals, rounded half to even. A quotient by zero is 0,
    // and a result beyond the range stops at the largest or smallest value.
    Currency operator*(Currency o) const;
    Currency operator/(Currency o) const;

private:
    qint64 mScaled = 0;
};

} // namespace plw

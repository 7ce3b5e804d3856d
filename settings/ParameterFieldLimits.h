#pragma once

#include <QString>
#include <QStringList>

namespace plw {

struct ParameterScreenState;

// The parameter and threshold screens take thresholds and the month count as digits only.
inline constexpr int ThresholdDigits = 5;
inline constexpr int ThresholdMaximum = 99999;
inline constexpr int MonthCountDigits = 3;

// Whether the text holds nothing but the digits 0 to 9, at most `digits` of them (empty fits).
bool FitsDigitsField(const QString& text, int digits);

// The loaded values the screen's digit fields cannot hold as they are (too long, or not digits),
// one line each for the operator ("Ｒのランク５のしきい値「123456」"); empty when all fit. Field 1
// of each dimension repeats field 2 and is not listed.
QStringList ValuesThatDoNotFit(const ParameterScreenState& screen);

// The operator's message for those values: they are shown unchanged and must be corrected.
QString DoNotFitMessage(const QStringList& values);

} // namespace plw

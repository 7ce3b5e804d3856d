#include "settings/ParameterFieldLimits.h"

#include "app/CommonRoutines.h"
#include "settings/ParameterScreenState.h"

namespace plw {

bool FitsDigitsField(const QString& text, int digits) {
    if (text.size() > digits)
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QStringList ValuesThatDoNotFit(const ParameterScreenState& screen) {
    QStringList values;
    const std::pair<const char16_t*, const std::array<QString, 5>*> dimensions[] = {
        {u"Ｒ", &screen.RThreshold}, {u"Ｆ", &screen.FThreshold}, {u"Ｍ", &screen.MThreshold}};
    for (const auto& [letter, thresholds] : dimensions) {
        for (int rank = 5; rank >= 2; --rank) {
            const QString& value = (*thresholds)[static_cast<size_t>(rank - 1)];
            if (!FitsDigitsField(value, ThresholdDigits))
                values << QStringLiteral("%1のランク%2のしきい値「%3」")
                              .arg(QString::fromUtf16(letter), ToFullWidth(QString::number(rank)),
                                   value);
        }
    }
    if (!FitsDigitsField(screen.LastVisitMonths, MonthCountDigits))
        values << QStringLiteral("最終来店日の月数「%1」").arg(screen.LastVisitMonths);
    return values;
}

QString DoNotFitMessage(const QStringList& values) {
    return QStringLiteral("保存されている設定に、画面の欄に入らない値があります。\r") +
           values.join(u'\r') +
           QStringLiteral("\rそのまま表示していますので、正しい値（しきい値は%1桁まで、月数は%2桁"
                          "までの数字）に直してください。")
               .arg(ThresholdDigits)
               .arg(MonthCountDigits);
}

} // namespace plw

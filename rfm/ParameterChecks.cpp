#include "rfm/ParameterChecks.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "rfm/PLWAN4_hrhen.h"
#include "settings/ParameterFieldLimits.h"
#include "settings/ParameterScreenState.h"

namespace plw {

namespace {

const QString Required = QStringLiteral("省略できません");

bool IsEmptyDate(const QString& date) {
    const QString trimmed = TrimAll(date);
    return trimmed.isEmpty() || trimmed == u"0";
}

} // namespace

ParameterCheckFailure CheckParameterScreen(const ParameterScreenState& screen, const Clock& clock) {
    if (IsEmptyDate(screen.LastVisitFrom))
        return {Required, QStringLiteral("imdPinRai_F")};
    if (IsEmptyDate(screen.LastVisitTo))
        return {Required, QStringLiteral("imdPinRai_T")};
    if (QString range = CheckRange(screen.LastVisitFrom, screen.LastVisitTo); !range.isEmpty())
        return {range, QStringLiteral("imdPinRai_F")};
    if (IsEmptyDate(screen.BaseDate))
        return {Required, QStringLiteral("imdKijyun")};
    // "YYYYMMDD" texts compare like the dates they stand for.
    if (screen.BaseDate < screen.LastVisitTo)
        return {QStringLiteral("基準日は最終来店日以降としてください"),
                QStringLiteral("imdKijyun")};
    if (screen.BaseDate > clock.today().toString(QStringLiteral("yyyyMMdd")))
        return {QStringLiteral("基準日には、本日より後の日付は指定できません"),
                QStringLiteral("imdKijyun")};
    if (screen.DetailPeriodOn) {
        if (IsEmptyDate(screen.DetailFrom))
            return {Required, QStringLiteral("imdPinRai_2F")};
        if (IsEmptyDate(screen.DetailTo))
            return {Required, QStringLiteral("imdPinRai_2T")};
        if (QString range = CheckRange(screen.DetailFrom, screen.DetailTo); !range.isEmpty())
            return {range, QStringLiteral("imdPinRai_2F")};
    }
    return {};
}

ParameterCheckFailure CheckThresholds(const ParameterScreenState& screen) {
    struct Dimension {
        const std::array<QString, 5>& Values;
        QChar Letter;
        bool Falling; // R: the better rank has the smaller number of days
    };
    const Dimension dimensions[] = {{screen.RThreshold, u'R', true},
                                    {screen.FThreshold, u'F', false},
                                    {screen.MThreshold, u'M', false}};
    static const QString RankNames[] = {QString(),
                                        QString(),
                                        QString(),
                                        QStringLiteral("ランク３より"),
                                        QStringLiteral("ランク４より"),
                                        QStringLiteral("ランク５より")};
    // A threshold the fields could not hold, or one with other characters than digits, is not
    // taken for the number it starts with.
    for (const Dimension& d : dimensions) {
        for (int rank = 5; rank >= 2; --rank) {
            if (!FitsDigitsField(d.Values[static_cast<size_t>(rank - 1)], ThresholdDigits))
                return {QStringLiteral("しきい値は%1桁までの数字で指定してください")
                            .arg(ToFullWidth(QString::number(ThresholdDigits))),
                        QStringLiteral("txtPrm%1_%2").arg(d.Letter).arg(rank)};
        }
    }
    for (const Dimension& d : dimensions) {
        for (int rank = 3; rank <= 5; ++rank) {
            const Currency better = ThresholdValue(d.Values[static_cast<size_t>(rank - 1)]);
            const Currency worse = ThresholdValue(d.Values[static_cast<size_t>(rank - 2)]);
            const bool holds = d.Falling ? better < worse : better > worse;
            if (!holds)
                return {RankNames[rank] + u'\r' +
                            (d.Falling ? QStringLiteral("大きな値を設定してください")
                                       : QStringLiteral("小さな値を設定してください")),
                        QStringLiteral("txtPrm%1_%2").arg(d.Letter).arg(rank - 1)};
        }
    }
    return {};
}

ParameterCheckFailure CheckParameters(const ParameterScreenState& screen, const Clock& clock) {
    const ParameterCheckFailure failure = CheckParameterScreen(screen, clock);
    return failure.passed() ? CheckThresholds(screen) : failure;
}

} // namespace plw

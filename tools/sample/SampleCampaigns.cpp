#include "tools/sample/SampleCampaigns.h"

#include <QStringList>

namespace plw::sample {
namespace {

QString ymd(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString season(int month) {
    if (month <= 3)
        return QStringLiteral("春の新作のご案内");
    if (month <= 6)
        return QStringLiteral("初夏のセールのご案内");
    if (month <= 9)
        return QStringLiteral("夏の感謝祭のご案内");
    return QStringLiteral("歳末セールのご案内");
}

} // namespace

QList<Campaign> SampleCampaigns(CampaignKind kind) {
    QList<Campaign> campaigns;
    if (kind == CampaignKind::DirectMail) {
        // Forty quarterly mailings over ten years, the last ten days before the reference date:
        // the master browser lists them on three pages.
        for (int i = 0; i < 40; ++i) {
            Campaign c;
            c.number = QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'));
            c.plannedDate = QDate(2017, 2, 20).addMonths(3 * i);
            c.womenOnly = i % 4 == 2;
            c.memo = QStringLiteral("%1年 %2")
                         .arg(c.plannedDate.year())
                         .arg(season(c.plannedDate.month())) +
                     (c.womenOnly ? QStringLiteral("（女性会員限定）") : QString());
            campaigns.append(c);
        }
    } else {
        // Three years of monthly newsletters (three pages in the browser); every fourth one was
        // the PC edition with pictures.
        for (int i = 0; i < 36; ++i) {
            Campaign c;
            c.number = QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'));
            c.plannedDate = QDate(2023, 12, 10).addMonths(i);
            c.pcMailOnly = i % 4 == 3;
            c.memo = QStringLiteral("メールマガジン %1年%2月号")
                         .arg(c.plannedDate.year())
                         .arg(c.plannedDate.month()) +
                     (c.pcMailOnly ? QStringLiteral("（ＰＣ版・画像付き）") : QString());
            campaigns.append(c);
        }
    }
    return campaigns;
}

QDate CampaignVisitWindowStart(const Campaign& campaign) {
    return campaign.plannedDate.addMonths(-12);
}

ConditionRecord CampaignConditionRecord(CampaignKind kind, const Campaign& campaign) {
    using F = ConditionRecord;
    ConditionRecord record = ClearedConditionRecord();
    record[F::Marker] = ConditionMarker;
    record[F::PinRaiKind] = ConditionKind::KindAnd;
    record[F::PinRaiFrom] = ymd(CampaignVisitWindowStart(campaign));
    record[F::PinRaiTo] = ymd(campaign.plannedDate);
    if (kind == CampaignKind::DirectMail) {
        record[F::DmkOsrKind] = ConditionKind::KindAnd;
        if (campaign.womenOnly) {
            record[F::KihSeiKind] = ConditionKind::KindAnd;
            record[F::KihSeiValue] = QStringLiteral("2");
        }
    } else {
        record[F::EmlOsrKind] = ConditionKind::KindAnd;
        if (campaign.pcMailOnly) {
            record[F::EmlSbtKind] = ConditionKind::KindAnd;
            record[F::EmlSbtPc] = QStringLiteral("1");
        }
    }
    return record;
}

QString CampaignConditionFile(CampaignKind kind, const Campaign& campaign) {
    return kind == CampaignKind::DirectMail
               ? QStringLiteral("DMFR\\DM") + campaign.number + QStringLiteral(".SYS")
               : QStringLiteral("ELFR\\EM") + campaign.number + QStringLiteral(".SYS");
}

} // namespace plw::sample

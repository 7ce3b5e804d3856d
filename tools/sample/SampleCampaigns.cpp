#include "tools/sample/SampleCampaigns.h"

#include <QStringList>

namespace plw::sample {
namespace {

constexpr qsizetype ConditionRecordLength = 8192;
constexpr int ConditionFieldCount = 161;

// Field numbers of the condition record used here.
constexpr int MarkerField = 0;
constexpr int KindFields[] = {1,  4,  6,  10, 13, 15, 17, 20, 33, 36, 38, 41, 44,  47,
                              51, 54, 57, 59, 62, 64, 66, 69, 71, 75, 77, 98, 119, 140};
constexpr int SexKindField = 4, SexValueField = 5;
constexpr int LastVisitKindField = 47, LastVisitFromField = 48, LastVisitToField = 49;
constexpr int DirectMailConsentKindField = 62, DirectMailConsentValueField = 63;
constexpr int MailConsentKindField = 69, MailConsentValueField = 70;
constexpr int MailTypeKindField = 71, MailTypePcField = 72;
// Flag fields cleared to "0": birth months, mail types, the four classification levels.
constexpr std::pair<int, int> FlagRanges[] = {{21, 32},  {72, 74},   {78, 97},
                                              {99, 118}, {120, 139}, {141, 160}};

const QString KindAnd = QStringLiteral("3");

QString ymd(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// The cleared record: every kind "1", values empty, flags "0", sex and both consents "1".
QStringList clearedConditions() {
    QStringList fields(ConditionFieldCount);
    for (int k : KindFields)
        fields[k] = QStringLiteral("1");
    for (const auto& [first, last] : FlagRanges)
        for (int i = first; i <= last; ++i)
            fields[i] = QStringLiteral("0");
    fields[SexValueField] = QStringLiteral("1");
    fields[DirectMailConsentValueField] = QStringLiteral("1");
    fields[MailConsentValueField] = QStringLiteral("1");
    return fields;
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
        // Seventeen quarterly mailings, the last ten days before the reference date. Seventeen
        // rows fill the master browser's first page and start a second.
        for (int i = 0; i < 17; ++i) {
            Campaign c;
            c.number = QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'));
            c.plannedDate = QDate(2022, 11, 20).addMonths(3 * i);
            c.womenOnly = i % 4 == 2;
            c.memo = QStringLiteral("%1年 %2")
                         .arg(c.plannedDate.year())
                         .arg(season(c.plannedDate.month())) +
                     (c.womenOnly ? QStringLiteral("（女性会員限定）") : QString());
            campaigns.append(c);
        }
    } else {
        // Six monthly newsletters.
        for (int i = 0; i < 6; ++i) {
            Campaign c;
            c.number = QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'));
            c.plannedDate = QDate(2026, 6, 10).addMonths(i);
            c.pcMailOnly = i == 3;
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

RecordWriter CampaignConditionRecord(CampaignKind kind, const Campaign& campaign) {
    QStringList fields = clearedConditions();
    fields[MarkerField] = QStringLiteral("V10YUK");
    fields[LastVisitKindField] = KindAnd;
    fields[LastVisitFromField] = ymd(CampaignVisitWindowStart(campaign));
    fields[LastVisitToField] = ymd(campaign.plannedDate);
    if (kind == CampaignKind::DirectMail) {
        fields[DirectMailConsentKindField] = KindAnd;
        if (campaign.womenOnly) {
            fields[SexKindField] = KindAnd;
            fields[SexValueField] = QStringLiteral("2");
        }
    } else {
        fields[MailConsentKindField] = KindAnd;
        if (campaign.pcMailOnly) {
            fields[MailTypeKindField] = KindAnd;
            fields[MailTypePcField] = QStringLiteral("1");
        }
    }
    RecordWriter record(ConditionRecordLength);
    for (const QString& field : fields)
        record.text(field);
    return record;
}

QString CampaignConditionFile(CampaignKind kind, const Campaign& campaign) {
    return kind == CampaignKind::DirectMail
               ? QStringLiteral("DMFR\\DM") + campaign.number + QStringLiteral(".SYS")
               : QStringLiteral("ELFR\\EM") + campaign.number + QStringLiteral(".SYS");
}

} // namespace plw::sample

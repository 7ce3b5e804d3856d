#pragma once

#include "extract/ConditionRecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace plw::sample {

// The direct-mail and mail campaigns of the sample shop. A customer received a campaign when the
// campaign's conditions held on its date: consent "1" with an address, a visit in the twelve
// months before it, and the campaign's own restriction.
struct Campaign {
    QString number; // five digits, the key of its master row and the name of its condition file
    QDate plannedDate;
    QString memo;
    bool womenOnly = false;  // direct mail: only customers with sex "2"
    bool pcMailOnly = false; // mail: only customers whose mail type is "1"
};

enum class CampaignKind { DirectMail, Mail };

QList<Campaign> SampleCampaigns(CampaignKind kind);

// The first day of the visit window that a campaign's recipients must have visited in.
QDate CampaignVisitWindowStart(const Campaign& campaign);

// The campaign's condition record as the suite's direct-mail and mail programs save it: the
// cleared record with the consent condition set to "and" consent "1", the last-visit window and
// the campaign's restriction, marked "V10YUK".
ConditionRecord CampaignConditionRecord(CampaignKind kind, const Campaign& campaign);

// "DMFR\DM" + number + ".SYS" or "ELFR\EM" + number + ".SYS", relative to the system folder.
QString CampaignConditionFile(CampaignKind kind, const Campaign& campaign);

} // namespace plw::sample

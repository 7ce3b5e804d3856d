#pragma once

#include "extract/ConditionRecord.h"

#include <QString>

#include <optional>

namespace plw {

struct BrowseServices;
struct Environment;
struct ParameterScreenState;

// Where the parameter screen takes a campaign's conditions from: "ＤＭ設定から取得" (the
// direct-mail master and its "DM" + number + ".SYS") or "メール設定から取得" (the mail master
// and "EM" + number + ".SYS").
enum class CampaignSource { DirectMail, Mail };

// A campaign's conditions ready for the condition screen, and the mode caption it shows then
// ("ＤＭ" or "メール").
struct CampaignConditions {
    QString ModeCaption;
    ConditionRecord Record;
};

// After the parameter screen's check: the operator picks a campaign from its master, and its
// condition file is read, with the screen's last-visit range and month count put in as the
// "and" (kind "3") last-visit condition. Nothing when the pick was cancelled or the file is
// missing or damaged (reported with the file's path).
std::optional<CampaignConditions> TakeCampaignConditions(CampaignSource source,
                                                         const ParameterScreenState& screen,
                                                         const Environment& environment,
                                                         const BrowseServices& browse);

} // namespace plw

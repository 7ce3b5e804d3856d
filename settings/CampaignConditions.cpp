#include "settings/CampaignConditions.h"

#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "db/Sub_TBLBRSM4.h"
#include "db/Sub_TBLBRSM6.h"
#include "settings/ParameterMapping.h"

namespace plw {

std::optional<CampaignConditions> TakeCampaignConditions(CampaignSource source,
                                                         const ParameterScreenState& screen,
                                                         const Environment& environment,
                                                         const BrowseServices& browse) {
    const bool directMail = source == CampaignSource::DirectMail;
    const QString campaign = directMail ? QStringLiteral("ＤＭ") : QStringLiteral("メール");
    const BrowseCall call{QString(), directMail ? QStringLiteral("ＤＭ設定から取得")
                                                : QStringLiteral("メール設定から取得")};
    const std::optional<QString> key =
        directMail ? BrowseDmMaster(call, browse) : BrowseMailMaster(call, browse);
    if (!key)
        return std::nullopt;

    const QString path = directMail ? DirectMailConditionPath(environment, *key)
                                    : MailConditionPath(environment, *key);
    const auto fail = [&](const QString& what) {
        browse.Messages.show(campaign + QStringLiteral(" ") + *key +
                                 QStringLiteral(" の抽出条件ファイル") + what + QChar(u'\r') +
                                 ToNativePath(path) + QChar(u'\r') +
                                 QStringLiteral("抽出条件は変更していません。"),
                             MessageIcon::Critical);
        return std::nullopt;
    };
    if (!FileExists(path))
        return fail(QStringLiteral("がありません。"));
    CampaignConditions taken{campaign, {}};
    if (!ReadConditionFile(path, taken.Record))
        return fail(QStringLiteral("が壊れているため読み込めません。"));
    SetLastVisitCondition(screen, taken.Record);
    return taken;
}

} // namespace plw

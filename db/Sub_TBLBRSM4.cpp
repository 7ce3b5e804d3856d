#include "db/Sub_TBLBRSM4.h"

namespace plw {

const MasterTable& DirectMailMaster() {
    static const MasterTable table{QStringLiteral("M4_ＤＭマスタ"), QStringLiteral("M4DmmBan"),
                                   QStringLiteral("M4DmmBan"),      QStringLiteral("M4KihYot"),
                                   QStringLiteral("M4TyuYts"),      QStringLiteral("M4KihMem"),
                                   QStringLiteral("FRM_TBLBRSM4")};
    return table;
}

std::optional<QString> BrowseDmMaster(const BrowseCall& call, const BrowseServices& services) {
    return BrowseMaster(DirectMailMaster(), call, services);
}

} // namespace plw

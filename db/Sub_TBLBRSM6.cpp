#include "db/Sub_TBLBRSM6.h"

namespace plw {

const MasterTable& MailMaster() {
    // The query writes the key column "M6eMlBan"; column names are not case-sensitive.
    static const MasterTable table{QStringLiteral("M6_メールマスタ"), QStringLiteral("M6eMlBan"),
                                   QStringLiteral("M6EmlBan"),        QStringLiteral("M6KihYot"),
                                   QStringLiteral("M6TyuYts"),        QStringLiteral("M6KihMem"),
                                   QStringLiteral("FRM_TBLBRSM6")};
    return table;
}

std::optional<QString> BrowseMailMaster(const BrowseCall& call, const BrowseServices& services) {
    return BrowseMaster(MailMaster(), call, services);
}

} // namespace plw

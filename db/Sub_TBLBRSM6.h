#pragma once

#include "db/MasterBrowse.h"

namespace plw {

// The mail master "M6_メールマスタ" as its browser lists it (window FRM_TBLBRSM6).
const MasterTable& MailMaster();

// The mail browser: the chosen mail number, or nothing.
std::optional<QString> BrowseMailMaster(const BrowseCall& call, const BrowseServices& services);

} // namespace plw

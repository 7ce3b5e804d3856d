#pragma once

#include "db/MasterBrowse.h"

namespace plw {

// The direct-mail master "M4_ＤＭマスタ" as its browser lists it (window FRM_TBLBRSM4).
const MasterTable& DirectMailMaster();

// The direct-mail browser: the chosen direct-mail number, or nothing.
std::optional<QString> BrowseDmMaster(const BrowseCall& call, const BrowseServices& services);

} // namespace plw

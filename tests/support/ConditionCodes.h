#pragma once

#include "extract/ConditionModule.h"

#include <string_view>

namespace plw::test {

// The suite's codes of the condition module's modes and callers, by which the tests' tables
// name them.
inline ConditionModule::Mode ModeOf(std::string_view code) {
    using M = ConditionModule::Mode;
    return code == "JB"   ? M::Prepare
           : code == "CL" ? M::Clear
           : code == "GT" ? M::Get
           : code == "SR" ? M::Set
           : code == "YS" ? M::SetAndShow
                          : M::LoadAndShow;
}

inline ConditionCaller CallerOf(std::string_view id) {
    return id == "P1"   ? ConditionCaller::Analysis
           : id == "DM" ? ConditionCaller::DirectMail
           : id == "EL" ? ConditionCaller::Mail
                        : ConditionCaller::None;
}

} // namespace plw::test

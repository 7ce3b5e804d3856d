#pragma once

namespace plw {

// Who works with the condition module: this program's analysis (the suite's id "P1"), or the
// suite's direct-mail ("DM") and mail ("EL") programs, whose consent condition the module forces
// and whose extraction drops the customers without that consent. None before the first caller.
enum class ConditionCaller { None, Analysis, DirectMail, Mail };

} // namespace plw

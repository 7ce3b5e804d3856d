#pragma once

#include "extract/ConditionScreenState.h"

#include <QString>

namespace plw {

// The outcome of checking the condition screen: the first failing check's message, the tab
// that holds its condition and the control to focus; an empty message when all passed.
struct ConditionCheck {
    QString Message;
    int Tab = -1;
    QString Focus;

    bool ok() const { return Message.isEmpty(); }
};

// The checks of F1 and F12, in screen order, for every condition whose kind is not "1": ranges,
// digits only (in enabled boxes), required values, at least one month, mail type or list entry,
// and no mail type without a mail-consent condition. Stops at the first failure.
ConditionCheck ValidateConditionScreen(const ConditionScreenState& state);

} // namespace plw

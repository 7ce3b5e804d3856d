#pragma once

#include <QString>

namespace plw {

struct ConditionRecord;
struct ParameterScreenState;

// The conditions "前条件に戻す" brings back: the record PLWAN40.JKN holds (saved at the last exit
// or run), with the parameter screen's analysis period as its last-visit condition (kind "3"),
// the period the condition screen shows locked and the analysis extracts. A missing or empty
// file means no conditions saved yet: the cleared record with the period. A file that is there
// but cannot be read gives false and the reason in error, the record left as it was.
bool LoadPreviousConditions(const QString& savedConditionPath, const ParameterScreenState& screen,
                            ConditionRecord& record, QString* error);

} // namespace plw

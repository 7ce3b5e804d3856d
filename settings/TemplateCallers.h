#pragma once

#include "settings/TemplateAction.h"

#include <QString>

namespace plw {

class ConditionModule;
class Prompter;
struct ParameterScreenState;

// What the callers of the template dialog do with its result: Save writes the template at path,
// Load reads it back, Cancelled does nothing. A file that cannot be written or
// read is shown with its cause and changes nothing; each returns whether something was read or
// written.

// "T01" of the condition screen: the screen's conditions, and on reading the template's
// conditions on the screen with the caller's own ones kept (ConditionModule::LoadTemplate).
bool ConditionTemplate(TemplateAction action, const QString& path, ConditionModule& conditions,
                       Prompter& prompter);

// "F01" of the parameter screen: the group letters of the matrix.
bool GroupTemplate(TemplateAction action, const QString& path, ParameterScreenState& screen,
                   Prompter& prompter);

// "F02" of the parameter screen: the R, F and M thresholds.
bool ThresholdTemplate(TemplateAction action, const QString& path, ParameterScreenState& screen,
                       Prompter& prompter);

// Before a threshold template is saved: a file holds four characters per threshold and would
// cut a longer one. The message names the first threshold too long, "" when all fit.
QString ThresholdTemplateCheck(const ParameterScreenState& screen);

} // namespace plw

#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace plw {

class Prompter;

// Renders the condition screen's seven tabs over the sample shop's classifications with a few
// conditions set, the help window, and the template dialog with a filtered list, through
// save(window, name).
bool SaveConditionScreenshots(Prompter& prompter,
                              const std::function<bool(QWidget&, const QString&)>& save);

} // namespace plw

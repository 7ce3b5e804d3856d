#pragma once

namespace plw {

// How the template dialog was closed: cancelled, or a template chosen to load or to save under.
enum class TemplateAction { Cancelled, Load, Save };

} // namespace plw

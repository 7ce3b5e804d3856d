#pragma once

#include <QString>

namespace plw {

// The exit status of a desktop start that finds no display to show its screens on.
inline constexpr int NoDisplayStatus = 2;

// Whether the environment names a display (an X or Wayland display, or a Qt platform); without
// one the desktop program cannot show anything.
bool DisplayNamed();

// The operator's message when the desktop program has no display.
QString NoDisplayMessage();

// While the application object connects to the display: a connection that fails (a display
// named but not there, a platform that cannot start) ends the process with NoDisplayMessage and
// NoDisplayStatus instead of Qt's abort.
class ApplicationStartGuard {
public:
    ApplicationStartGuard();
    ~ApplicationStartGuard();
    // The application object exists: later fatal messages are Qt's own again.
    void started() const;

    ApplicationStartGuard(const ApplicationStartGuard&) = delete;
    ApplicationStartGuard& operator=(const ApplicationStartGuard&) = delete;
};

} // namespace plw

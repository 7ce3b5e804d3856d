#pragma once

#include "app/Environment.h"
#include "db/Sub_DataBaseFotDB.h"

#include <functional>

namespace plw {

class Clock;
class EventPump;
class Prompter;

// The program-wide state of one run: the installation, the open databases and the services the
// routines report through. Passed by reference; nothing of it is global.
struct Session {
    Session(Prompter& prompter, const Clock& clock, EventPump& pump)
        : Messages(prompter), Time(clock), Pump(pump) {}

    Environment Env;
    db::Databases Databases;

    Prompter& Messages;
    const Clock& Time;
    EventPump& Pump;

    // Saves the analysis parameters and conditions; ShutDown calls it on every exit path.
    std::function<void(Session&)> SaveSettings;
    // Unloads the screens before the return program starts (desktop only).
    std::function<void()> UnloadScreens;
};

} // namespace plw

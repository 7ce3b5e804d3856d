#pragma once

#include "app/MF0SysCmPLW.h"
#include "app/ProgramEnd.h"

namespace plw {

struct Session;

// The start-up steps both the desktop and batch mode run: the system description, the
// databases, the classifications, the condition module's preparation and the output item list.
// A failing step has shown its message; the program then ends with the returned status.
MaybeEnd PrepareSession(Session& session, MenuCheck menuCheck);

// Loads PLWAN40.PRM and PLWAN40.JKN into the screens' states and the saved conditions.
void LoadSessionParameters(Session& session);

// Saves the screens' states to PLWAN40.PRM and the saved conditions to PLWAN40.JKN, showing a
// file that could not be written; the session's SaveSettings of the desktop program.
void SaveSessionParameters(Session& session);

} // namespace plw

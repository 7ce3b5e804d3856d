#pragma once

#include "app/ProgramEnd.h"

namespace plw {

struct AnalysisResult;
struct Session;

inline constexpr char16_t ProgramId[] = u"PLWAN40";

// Saves the settings, closes the databases.
void ShutDown(Session& session);

// The operator's exit: shuts down, deletes the menu marker, starts the return program and ends
// the program (the returned outcome unwinds to the entry point).
ProgramEnd ExitToMenu(Session& session);

// Where an analysis run leaves the program: a cancelled scoring and a saved workbook end it
// through ExitToMenu; every other outcome returns to the screens.
MaybeEnd EndAfterRun(Session& session, const AnalysisResult& result);

} // namespace plw

#pragma once

#include "app/MF0SysCmPLW.h"
#include "app/ProgramEnd.h"
#include "settings/ParameterLoader.h"

namespace plw {

struct Session;

// The start-up steps both the desktop and batch mode run: the system description, the
// databases, the classifications, the condition module's preparation and the output item list.
// A failing step has shown its message; the program then ends with the returned status.
MaybeEnd PrepareSession(Session& session, MenuCheck menuCheck);

// Loads PLWAN40.PRM and PLWAN40.JKN into the screens' states and the saved conditions, and says
// what it found in each.
ParameterLoad LoadSessionParameters(Session& session);

// The desktop's answer to what loading found: a missing or empty file is a first start; a
// damaged one is kept aside and the operator told that the screens start from the defaults (or
// without saved conditions).
void ReportDamagedSettings(Session& session, const ParameterLoad& load);

// Batch mode's answer: why the settings cannot be used for an unattended run, naming the file
// ("" when they can). The parameter file must be there and readable; saved conditions may be
// missing (none yet) but not damaged.
QString UnusableSettings(const Session& session, const ParameterLoad& load);

// The operator's text for a classification file that is none, naming the file and its faults;
// "" for a sound (or missing) file. The caller adds what follows from it.
QString DamagedClassificationsText(const Session& session);

// The operator's text for matrix cells of PLWAN40.PRM holding no group letter: the file is
// damaged, each such cell named with its RFM value and what it holds; they count as X. "" when
// there is none.
QString DamagedMatrixText(const Session& session);

// Saves the screens' states to PLWAN40.PRM and the saved conditions to PLWAN40.JKN, showing a
// file that could not be written; the session's SaveSettings of the desktop program.
void SaveSessionParameters(Session& session);

} // namespace plw

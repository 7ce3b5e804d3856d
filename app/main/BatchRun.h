#pragma once

#include "app/ProgramEnd.h"

#include <cstdio>

namespace plw {

struct Session;

// Batch mode: starts without screens and without the menu check, and reports what it found.
// Until the analysis is built, the batch job is the start-up itself: it finds the installation,
// opens both databases, prints the folders and the number of customers and history rows to out,
// and ends with status 0.
ProgramEnd RunBatch(Session& session, std::FILE* out);

} // namespace plw

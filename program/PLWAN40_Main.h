#pragma once

#include "program/CommandLine.h"

namespace plw {

// The desktop program's entry, given by the executable that links the screens: runs the
// program on the parsed command line and returns its exit status.
using DesktopEntry = int (*)(int argc, char* argv[], const CommandLine& line);

// The program's entry: reads the command line first (no display is needed for that), then
// prints the help, runs one batch analysis or starts the desktop program. A command line that
// cannot be used ends the program with status 2 and says why on standard error.
int Main(int argc, char* argv[], DesktopEntry desktop);

// Batch mode on a parsed command line: the batch analysis, its outcome as the exit status.
int RunBatchProgram(int argc, char* argv[], const CommandLine& line);

} // namespace plw

#pragma once

namespace plw {

// Batch mode's entry (the program's main sends a start with --batch here, every other start to
// the desktop program): parses the command line, runs the batch analysis and turns the
// program-end outcome into the process's exit status.
int RunProgram(int argc, char* argv[]);

} // namespace plw

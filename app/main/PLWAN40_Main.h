#pragma once

namespace plw {

// The program's entry: parses the command line, starts the desktop program or the batch run,
// and turns the program-end outcome into the process's exit status.
int RunProgram(int argc, char* argv[]);

} // namespace plw

#include "app/main/PLWAN40_Main.h"

namespace plw {

int RunProgram(int, char*[]) { return 0; }

} // namespace plw

#include "app/main/PLWAN40_Main.h"
#include "screens/DesktopProgram.h"

#include <cstring>

int main(int argc, char* argv[]) {
    // --batch runs one analysis without screens; anything else is the desktop program.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--batch") == 0)
            return plw::RunProgram(argc, argv);
    return plw::RunDesktop(argc, argv);
}

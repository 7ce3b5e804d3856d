#include "program/PLWAN40_Main.h"
#include "program/DesktopProgram.h"

int main(int argc, char* argv[]) {
    return plw::Main(argc, argv, plw::RunDesktop);
}

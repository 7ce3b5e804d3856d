#include "app/main/PLWAN40_Main.h"
#include "screens/DesktopProgram.h"

int main(int argc, char* argv[]) {
    return plw::Main(argc, argv, plw::RunDesktop);
}

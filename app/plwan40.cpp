#include "app/main/PLWAN40_Main.h"

int main(int argc, char* argv[]) { return plw::RunProgram(argc, argv); }

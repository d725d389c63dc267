
#include "gui/app/program.h"

int main(int argc, char* argv[]) { return parvion::gui::runProgram(argc, argv); }

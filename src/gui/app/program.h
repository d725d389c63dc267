#pragma once

namespace parvion::gui {

// The program entry: application object, windows, event loop. Returns the
// process exit code.
int runProgram(int argc, char* argv[]);

}  // namespace parvion::gui

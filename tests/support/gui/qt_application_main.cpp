// The application object of every window test program (and of the
// end-to-end tests, whose Qt serial line waits in local event loops and
// whose second start of the program hands its file to a window of the test
// process), compiled into each of them by tests/CMakeLists.txt.

#include <cerrno>

#include "support/qt_application.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kQtApplication = ::testing::AddGlobalTestEnvironment(
    new parvion::test::QtApplication(program_invocation_short_name));

}  // namespace

// The application object of this test program: the Qt serial line waits in
// local event loops, and a second start of the program hands its file to a
// window of this process.

#include "support/qt_application.h"

namespace {

char kName[] = "test_e2e";
[[maybe_unused]] ::testing::Environment* const kApp =
    ::testing::AddGlobalTestEnvironment(new parvion::test::QtApplication(kName));

}  // namespace

// The application object the window tests of this program need.

#include "support/qt_application.h"

namespace {

char kName[] = "test_gui_history";
[[maybe_unused]] ::testing::Environment* const kApp =
    ::testing::AddGlobalTestEnvironment(new parvion::test::QtApplication(kName));

}  // namespace

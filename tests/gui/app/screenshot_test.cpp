// Saves a picture of the main window online when PARVION_SCREENSHOT names a
// PNG file (the README's picture is taken this way under Xvfb); otherwise
// only checks that the window can be drawn.

#include <gtest/gtest.h>

#include <QPixmap>
#include <cstdlib>

#include "window_harness.h"

namespace parvion::test {
namespace {

TEST(Screenshot, MainWindowOnline) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    QCoreApplication::processEvents();
    const QPixmap picture = h.window->grab();
    EXPECT_EQ(picture.width(), h.window->width());
    if (const char* file = std::getenv("PARVION_SCREENSHOT")) {
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(file), "PNG"));
    }
}

}  // namespace
}  // namespace parvion::test

// The print preview's rules: zoom steps, the page line,
// and the size the window opens in on screens large and small.

#include "core/views/preview_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "core/app/texts.h"
#include "core/model/session.h"

namespace parvion::views {
namespace {

TEST(PreviewRules, ZoomStepsUpAndDownAndStopsAtTheEnds) {
    struct Case {
        int from;
        int direction;
        int to;
    };
    const Case cases[] = {
        {100, 1, 125}, {100, -1, 75}, {200, 1, 300},  {300, 1, 300}, {75, -1, 50},
        {50, -1, 50},  {110, 1, 125}, {110, -1, 100}, {100, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " " + std::to_string(c.direction));
        EXPECT_EQ(NextPreviewZoom(c.from, c.direction), c.to);
    }
}

TEST(PreviewRules, ThePageLine) {
    const Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    EXPECT_EQ(PreviewPageLine([&](std::uint16_t n) { return library.LoadText(n); }, 1, 3),
              "Seite 2 von 3");
}

TEST(PreviewRules, TheWindowOpensToReadAPageOnTheScreenItIsOn) {
    struct Case {
        const char* what;
        int screenW, screenH;
        PreviewWindowSize expected;
    };
    // An A4 page at 96 dpi (794 × 1123) with 40 × 80 pixels of frame, bar
    // and scroll bar.
    const Case cases[] = {
        {"1280 × 1024: the page's width, nine tenths of the height", 1280, 1024, {834, 921}},
        {"1920 × 1200: as tall as the page needs", 1920, 1440, {834, 1203}},
        {"800 × 600: the whole screen", 800, 600, {800, 540}},
        {"640 × 400: never larger than the screen", 640, 400, {640, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PreviewWindowSize s = PreviewWindowFor(c.screenW, c.screenH, 794, 1123, 40, 80);
        EXPECT_EQ(std::pair(s.width, s.height), std::pair(c.expected.width, c.expected.height));
    }
}

}  // namespace
}  // namespace parvion::views

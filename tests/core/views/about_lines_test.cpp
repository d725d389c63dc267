// The about box text.

#include <gtest/gtest.h>

#include "core/views/about_lines.h"

namespace parvion::views {
namespace {

std::string text(std::uint16_t n) {
    return "T" + std::to_string(n);
}

TEST(AboutLines, OfflineHoldsVersionAndClosingTexts) {
    const auto lines = BuildAboutLines(text, std::nullopt);
    const std::vector<std::string> expected = {"T32 V02.45", "T33", "", "T41", "T42", "T43"};
    EXPECT_EQ(lines, expected);
}

TEST(AboutLines, OnlineNamesLevelProgramAndSerial) {
    AboutDeviceInfo info;
    info.ausbaustufe = 0x3C;
    info.programText = std::string("AB 12\x01", 6);
    info.serialNo = "4711";
    const auto lines = BuildAboutLines(text, info);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "T37 AB12");
    EXPECT_EQ(lines[4], "T40 4711");
    EXPECT_EQ(ExpansionLevelText(0xC0), 38);
    EXPECT_EQ(ExpansionLevelText(0x00), 39);
    EXPECT_EQ(ExpansionLevelText(0xFE), 36);
    EXPECT_EQ(VisibleProgramText("\xE4x y"), "\xE4xy");
}

// The device sends Windows-1252 bytes; the memo shows them as the
// characters they stand for, never as invalid UTF-8.
TEST(AboutLines, DeviceBytesAboveAsciiAreShownAsWindows1252) {
    AboutDeviceInfo info;
    info.ausbaustufe = 0x00;
    info.programText = "Z\xE4hler \x80\x96";
    info.serialNo = "N\xBA 7";
    const auto lines = BuildAboutLines(text, info);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], "T39 Z\u00E4hler\u20AC\u2013");
    EXPECT_EQ(lines[4], "T40 N\u00BA 7");
}

}  // namespace
}  // namespace parvion::views

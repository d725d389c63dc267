// The about box text and the file names of the parameter menu.

#include <gtest/gtest.h>

#include "core/views/about_lines.h"
#include "core/views/file_names.h"

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

TEST(FileNames, ExtensionIsForced) {
    EXPECT_EQ(ForceExtension("/a/b/set.txt", ".PGA"), "/a/b/set.PGA");
    EXPECT_EQ(ForceExtension("/a/b/set", ".PEG"), "/a/b/set.PEG");
    EXPECT_EQ(ForceExtension("/a/b.d/set", ".PGA"), "/a/b.d/set.PGA");
    EXPECT_EQ(ForceExtension("set.pga", ".PGA"), "set.PGA");
}

TEST(FileNames, LongNamesAreShortened) {
    EXPECT_EQ(ShortenFileName("/home/user/set.PGA"), "/home/user/set.PGA");
    const std::string exactly40(40, 'x');
    EXPECT_EQ(ShortenFileName(exactly40), exactly40);
    EXPECT_EQ(ShortenFileName("/home/someone/Documents/parvion2/plants/north/set.PGA"),
              "/home/ ... /plants/north/set.PGA");
    // No separator in either window: three characters and the last 22.
    const std::string flat(60, 'a');
    EXPECT_EQ(ShortenFileName(flat), "aaa ... " + std::string(22, 'a'));
}

}  // namespace
}  // namespace parvion::views

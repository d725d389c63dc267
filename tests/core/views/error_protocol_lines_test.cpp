// Lines of the error-protocol page: ring order, entry texts, the groups of
// an absent circuit 2 and the names of one-circuit systems.

#include "core/views/error_protocol_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "core/model/value_format.h"
#include "support/temp_dir.h"

namespace parvion::views {
namespace {

DeviceDateTime At(int day, int hour) {
    return {2024, 3, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour), 5, 6};
}

std::string Texts(std::uint16_t n) {
    if (n == 17440) return "(active)";
    if (n == 17441) return "(open)";
    if (n == 17442) return "-->";
    return {};
}

// Group names "G<number>" padded as the library pads them.
bool Names(std::uint16_t first, std::uint8_t width, TextBlock& t) {
    for (std::size_t i = 0; i < 16; ++i) {
        t[i] = "G" + std::to_string(first + i);
        if (t[i].size() < width) t[i].append(width - t[i].size(), ' ');
    }
    return true;
}

TEST(ErrorProtocolOrder, StartsAtAnActiveRingPositionElseTheSlotBefore) {
    ErrorProtocolRec p;
    p.RingPos[0] = 3;
    p.Entry[0][3].Active = 1;
    using Order = std::array<std::size_t, 8>;
    EXPECT_EQ(ErrorEntryOrder(p, 0), (Order{3, 2, 1, 0, 7, 6, 5, 4}));
    p.Entry[0][3].Active = 0;
    EXPECT_EQ(ErrorEntryOrder(p, 0), (Order{2, 1, 0, 7, 6, 5, 4, 3}));
    // Position 0 not active: the ring continues at slot 7; a ring position
    // beyond 7 names a slot modulo 8.
    p.RingPos[1] = 8;
    EXPECT_EQ(ErrorEntryOrder(p, 1), (Order{7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST(ErrorProtocolEntry, ActiveEndedAndEmptyEntries) {
    ErrorEntry e;
    e.Start = At(1, 10);
    e.End = At(1, 12);
    const std::string start = FormatDeviceDateTime(e.Start);
    const std::string end = FormatDeviceDateTime(e.End);

    e.Active = 1;
    EXPECT_EQ(ErrorEntryLine(e, "A", "B", "C"), start + std::string(24, ' ') + "A");
    e.Active = 0;
    EXPECT_EQ(ErrorEntryLine(e, "A", "B", "C"), start + "C" + end + "B");
    e.Second = 1;
    EXPECT_EQ(ErrorEntryLine(e, "A", "B", "C"), start + "C" + end + std::string(12, ' '));
    ErrorEntry none;
    none.End = At(2, 1);  // an end without a start day gives nothing
    EXPECT_EQ(ErrorEntryLine(none, "A", "B", "C"), "");
}

TEST(ErrorProtocolLines, EveryGroupHasItsNameItsEntriesAndAnEmptyLine) {
    ErrorProtocolRec p;
    p.RingPos[2] = 1;
    p.Entry[2][1].Start = At(5, 8);
    p.Entry[2][1].End = At(5, 9);
    p.Entry[2][0].Start = At(4, 8);
    p.Entry[2][0].Active = 1;
    SystemRec sys;
    const auto lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    ASSERT_EQ(lines.size(), 16u * 2 + 2);
    EXPECT_EQ(lines[0], "G17408" + std::string(22, ' '));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[4], "G17410" + std::string(22, ' '));
    // Slot 1 is not active, so the list starts at slot 0 and ends with slot 1.
    EXPECT_EQ(lines[6],
              FormatDeviceDateTime(At(5, 8)) + "-->" + FormatDeviceDateTime(At(5, 9)) + "(open)");
    EXPECT_EQ(lines[5], FormatDeviceDateTime(At(4, 8)) + std::string(24, ' ') + "(active)");
    EXPECT_EQ(lines[7], "");
}

TEST(ErrorProtocolLines, WithoutCircuit2ElevenGroupsAndOneCircuitSystemsUseTheirNames) {
    ErrorProtocolRec p;
    SystemRec sys;
    sys.Ausbaustufe = ausbaustufe::BasicA2;
    auto lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    std::vector<std::string> names;
    for (const auto& l : lines) {
        if (!l.empty()) names.push_back(l.substr(0, 6));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"G17408", "G17409", "G17410", "G17411", "G17416", "G17417",
                                        "G17418", "G17420", "G17421", "G17422", "G17423"}));
    sys.Ausbaustufe = 0;
    sys.Kind = 2;
    lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    EXPECT_EQ(lines.front().substr(0, 6), "G17424");
}

TEST(ErrorProtocolFile, ReplacesTheWholeFileOrLeavesItAsItWas) {
    parvion::test::TempDir dir;
    const auto file = dir / "ErrorListe.txt";
    const auto count = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.path()),
                             std::filesystem::directory_iterator());
    };
    parvion::test::writeFileBytes(file, "an older and much longer list\r\nof lines\r\n");
    std::string error;
    ASSERT_TRUE(SaveErrorProtocolFile(file, {"G1", "", "01.02.2024 03:04:05 -->"}, &error))
        << error;
    EXPECT_EQ(parvion::test::readFileBytes(file), "G1\r\n\r\n01.02.2024 03:04:05 -->\r\n");
    EXPECT_EQ(count(), 1);

    // A folder that does not exist: nothing is created, the reason names the file.
    const auto missing = dir / "missing" / "e.txt";
    EXPECT_FALSE(SaveErrorProtocolFile(missing, {"x"}, &error));
    EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // A name taken by a folder cannot be replaced: the folder and its
    // contents stay, and no half-written file is left beside it.
    const auto taken = dir / "taken";
    std::filesystem::create_directory(taken);
    parvion::test::writeFileBytes(taken / "inside", "kept");
    EXPECT_FALSE(SaveErrorProtocolFile(taken, {"x"}, &error));
    EXPECT_EQ(parvion::test::readFileBytes(taken / "inside"), "kept");
    EXPECT_EQ(count(), 2);
    EXPECT_FALSE(SaveErrorProtocolFile({}, {"x"}));
}

}  // namespace
}  // namespace parvion::views

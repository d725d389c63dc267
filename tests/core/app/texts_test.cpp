// The string libraries: lookup over real files, and the four shipped
// libraries checked against the list of numbers the program uses.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "core/app/text_numbers.h"
#include "core/app/texts.h"
#include "core/model/session.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using test::TempDir;
using test::writeFileBytes;

// A session for the German gas library unless told otherwise.
Session makeSession(int medium = 0, int sprache = 0) {
    Session s;
    s.Medium = medium;
    s.Sprache = sprache;
    return s;
}

class TextLookup : public ::testing::Test {
  protected:
    void write(const std::string& name, const std::string& content) {
        writeFileBytes(dir / name, content);
    }
    // The texts of the numbers, "GAS2|Hauptfenster|".
    std::string texts(std::initializer_list<std::uint16_t> numbers) {
        std::string all;
        for (const std::uint16_t n : numbers) all += (all.empty() ? "" : "|") + lib.LoadText(n);
        return all;
    }
    // The block's sixteen texts up to the last one not empty, "a  |   |c  ";
    // "false" in front when the block did not load.
    std::string block(std::uint16_t first, std::uint8_t width) {
        std::array<std::string, 16> t;
        t.fill("stale");
        std::string all = lib.LoadTextBlock(first, width, t) ? "" : "false:";
        for (std::size_t i = 0; i < t.size(); ++i) all += (i == 0 ? "" : "|") + t[i];
        return all.erase(all.find_last_not_of('|') + 1);
    }
    TempDir dir;
    Session session = makeSession();
    TextLibrary lib{dir.path(), session};
};
struct Shipped {
    const char* name;
    int medium;
    int sprache;
    const char* signature;
};
constexpr Shipped kShipped[] = {{"Gasger.txt", 0, 0, "GAS2"},
                                {"Gaseng.txt", 0, 1, "GAS2"},
                                {"Steamger.txt", 1, 0, "ENERGY2"},
                                {"Steameng.txt", 1, 1, "ENERGY2"}};

TEST(LibraryNames, ByMediumAndLanguage) {
    for (const Shipped& s : kShipped) EXPECT_EQ(LibraryFileName(s.medium, s.sprache), s.name);
    for (const auto& [medium, sprache] : {std::pair{-1, 0}, {0, 2}, {1, -1}, {2, 0}}) {
        EXPECT_EQ(LibraryFileName(medium, sprache), "") << medium << "/" << sprache;
    }
}

TEST_F(TextLookup, TextsAndBlocksOfAFile) {
    std::string nine;  // 1024..1032, then a gap
    for (int n = 1024; n <= 1032; ++n) nine += std::to_string(n) + "=T" + std::to_string(n) + "\n";
    const std::string a250(250, 'a');
    // The block from `first` at `width`; the texts of `numbers` where given.
    const struct {
        std::string file;
        std::uint16_t first;
        std::uint8_t width;
        std::string block;
        std::initializer_list<std::uint16_t> numbers = {};
        std::string texts = {};
    } cases[] = {
        // Trimmed, control characters too; only the first "=" separates.
        {"0=GAS2\n1=  Hauptfenster \t\n2=\x01Steuer\x1F\n3=A=B\n",
         0,
         1,
         "GAS2|Hauptfenster|Steuer|A=B",
         {0, 1, 2, 3, 4},
         "GAS2|Hauptfenster|Steuer|A=B|"},
        // Padded to the width, never cut.
        {"1024=abc\n1025=" + std::string(25, 'x') + "\n", 1024, 18,
         "abc" + std::string(15, ' ') + "|" + std::string(25, 'x')},
        {nine + "1034=after the gap\n", 1024, 1,
         "T1024|T1025|T1026|T1027|T1028|T1029|T1030|T1031|T1032"},
        // An empty text ends a block, blanks only do not.
        {"100=a\n101=   \n102=c\n103=\n104=e\n", 100, 3, "a  |   |c  "},
        {"100=a\n101=   \n102=c\n103=\n104=e\n", 103, 3, "false:"},
        {"65534=y\n65535=z\n", 65534, 1, "y|z"},
        // "65536" does not wrap around to 0.
        {"# comment line\nno equals sign here\n65536=out of range\n-1=negative\n"
         " 5=leading blank\nx7=not a number\n=no number\n8=eight\n8=second eight\n\n"
         "#9=commented out\n00010=leading zeros\n",
         8,
         1,
         "eight",
         {8, 5, 9, 10, 0},
         "eight|||leading zeros|"},
        {"\xEF\xBB\xBF"
         "0=GAS2\r\n1=eins\r\n2=zwei\r\n",
         1,
         6,
         "eins  |zwei  ",
         {0},
         "GAS2"},
        // "Größe" is 5 characters in 7 bytes, "°C" 2 in 3; 255 characters are
        // cut to 254, never inside a character.
        {"1=  Größe \n2=°C\n3=" + a250 + "äöüßé\n",
         1,
         8,
         "Größe   |°C      |" + a250 + "äöüß",
         {1},
         "Größe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        write("Gasger.txt", c.file);
        EXPECT_EQ(texts(c.numbers), c.texts);
        EXPECT_EQ(block(c.first, c.width), c.block);
    }
    EXPECT_EQ(Utf8Length(a250 + "äöüß"), 254u);
}

// A library that is gone: ReplacedFileIsSeenAtOnce.
TEST_F(TextLookup, UnreadableLibraryGivesEmptyTextsAndFalse) {
    std::filesystem::create_directory(dir / "Gasger.txt");  // a folder, not a file
    EXPECT_EQ(texts({0}), "");
    EXPECT_EQ(block(0, 1), "false:");
    EXPECT_FALSE(lib.checkLibrary());
}

TEST(ParseLibrary, LinesThatDoNotParseAreNamed) {
    const auto parsed =
        ParseLibrary("no equals\n65536=x\n-1=x\n 5=x\n8=a\n8=b\n# c\n\n" + std::string(300, '#'));
    using K = LibraryLineIssue::Kind;
    std::vector<std::pair<K, std::size_t>> issues;
    for (const auto& i : parsed.issues) issues.emplace_back(i.kind, i.line);
    EXPECT_EQ(issues, (std::vector<std::pair<K, std::size_t>>{{K::NoEquals, 1},
                                                              {K::BadNumber, 2},
                                                              {K::BadNumber, 3},
                                                              {K::BadNumber, 4},
                                                              {K::Duplicate, 6}}));
}

// The library is chosen anew at every call, and none for an unknown device
// or language.
TEST_F(TextLookup, FollowsSessionAtEveryCall) {
    write("Gasger.txt", "0=GAS2\n1=Gas deutsch\n");
    write("Gaseng.txt", "0=GAS2\n1=Gas English\n");
    write("Steameng.txt", "0=ENERGY2\n1=Energy English\n");
    EXPECT_EQ(lib.LoadText(1), "Gas deutsch");
    session.Sprache = 1;
    EXPECT_EQ(lib.LoadText(1), "Gas English");
    session.Medium = 1;
    EXPECT_EQ(lib.LoadText(1), "Energy English");
    session.Medium = -1;
    EXPECT_EQ(lib.LoadText(0), "");
    EXPECT_TRUE(lib.libraryPath().empty());
    session.Medium = 0;
    session.Sprache = 2;
    EXPECT_FALSE(lib.checkLibrary());
}

TEST_F(TextLookup, SignatureCheckDoesNotCompareWithMedium) {
    session.Medium = 1;
    // "  GAS2  ": trimmed before the comparison.
    for (const auto& [file, fits] : {std::pair{"0=GAS2\n", true},
                                     {"0=ENERGY2\n", true},
                                     {"0=GAS3\n", false},
                                     {"0=  GAS2  \n", true}}) {
        write("Steamger.txt", file);
        EXPECT_EQ(lib.checkLibrary(), fits) << file;
    }
}

TEST_F(TextLookup, ReplacedFileIsSeenAtOnce) {
    write("Gasger.txt", "0=GAS2\n1=first\n");
    EXPECT_EQ(lib.LoadText(1), "first");
    // Same size, rewritten at once: the stamp may not have moved.
    write("Gasger.txt", "0=GAS2\n1=other\n");
    EXPECT_EQ(lib.LoadText(1), "other");
    // Replaced by a new file under the same name.
    writeFileBytes(dir / "new.txt", "0=GAS2\n1=renamed in\n");
    std::filesystem::rename(dir / "new.txt", dir / "Gasger.txt");
    EXPECT_EQ(lib.LoadText(1), "renamed in");
    std::filesystem::remove(dir / "Gasger.txt");
    EXPECT_EQ(lib.LoadText(1), "");
    EXPECT_FALSE(lib.checkLibrary());
}

TEST(TextFolder, ProgramFolderFirstThenInstalledShareFolder) {
    TempDir root;
    const auto bin = root / "bin";
    const auto share = root / "share" / "parvion2";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(share);
    EXPECT_EQ(FindTextFolder(bin), bin);  // nothing anywhere: the program's folder
    writeFileBytes(share / "Gaseng.txt", "0=GAS2\n");
    EXPECT_EQ(FindTextFolder(bin), share);
    writeFileBytes(bin / "Steamger.txt", "0=ENERGY2\n");
    EXPECT_EQ(FindTextFolder(bin), bin);
}

// ---- the shipped libraries ------------------------------------------------

std::filesystem::path shippedFolder() {
    return FindTextFolder(PARVION_BIN_DIR);
}

ParsedLibrary parseShipped(const char* name) {
    const auto path = shippedFolder() / name;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    return ParseLibrary(test::readFileBytes(path));
}

TEST(ShippedLibraries, EveryLineParsesAndTheSignatureFits) {
    for (const auto& s : kShipped) {
        const auto parsed = parseShipped(s.name);
        for (const auto& issue : parsed.issues) {
            ADD_FAILURE() << s.name << " line " << issue.line << " (kind "
                          << static_cast<int>(issue.kind) << "): " << issue.text;
        }
        EXPECT_GT(parsed.texts.size(), 400u) << s.name;
        Session session = makeSession(s.medium, s.sprache);
        TextLibrary lib(shippedFolder(), session);
        EXPECT_EQ(lib.LoadText(0), s.signature) << s.name;
        EXPECT_TRUE(lib.checkLibrary()) << s.name;
    }
}

TEST(ShippedLibraries, HoldEveryUsedNumberAndNoOther) {
    for (const auto& s : kShipped) {
        const auto lib = parseShipped(s.name);
        std::set<std::uint16_t> expected;
        for (const auto& range : UsedTextNumbers()) {
            if (!RangeApplies(range, s.medium)) continue;
            for (std::uint32_t n = range.first; n <= range.last; ++n) {
                const auto number = static_cast<std::uint16_t>(n);
                expected.insert(number);
                const auto it = lib.texts.find(number);
                if (it == lib.texts.end() || TrimText(it->second).empty()) {
                    ADD_FAILURE() << s.name << ": text " << n << " (" << range.area
                                  << ") is missing";
                    continue;
                }
                if (range.maxChars != 0 && Utf8Length(TrimText(it->second)) > range.maxChars) {
                    ADD_FAILURE() << s.name << ": text " << n << " (" << range.area << ") has "
                                  << Utf8Length(TrimText(it->second)) << " characters, at most "
                                  << int{range.maxChars} << " fit: " << it->second;
                }
            }
            if (range.endsList && range.last < 65535) {
                const auto after = static_cast<std::uint16_t>(range.last + 1);
                EXPECT_EQ(lib.texts.count(after), 0u)
                    << s.name << ": text " << after << " would add a choice to " << range.area;
            }
        }
        for (const auto& [number, text] : lib.texts) {
            EXPECT_TRUE(expected.count(number))
                << s.name << ": text " << number << " is not used by the program: " << text;
        }
    }
}

TEST(UsedNumbers, RangesAreWellFormedAndDoNotOverlapWithinAVariant) {
    for (int medium = 0; medium <= 1; ++medium) {
        std::map<std::uint16_t, std::string_view> seen;
        for (const auto& r : UsedTextNumbers()) {
            EXPECT_LE(r.first, r.last) << r.area;
            EXPECT_FALSE(r.area.empty());
            if (!RangeApplies(r, medium)) continue;
            for (std::uint32_t n = r.first; n <= r.last; ++n) {
                const auto [it, fresh] = seen.emplace(static_cast<std::uint16_t>(n), r.area);
                EXPECT_TRUE(fresh)
                    << "text " << n << " listed twice: " << it->second << " / " << r.area;
            }
        }
    }
}

}  // namespace
}  // namespace parvion

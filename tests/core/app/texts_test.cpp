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

TEST_F(TextLookup, SingleTextsAreTrimmed) {
    write("Gasger.txt", "0=GAS2\n1=  Hauptfenster \t\n2=\x01Steuer\x1F\n3=A=B\n");
    EXPECT_EQ(lib.LoadText(0), "GAS2");
    EXPECT_EQ(lib.LoadText(1), "Hauptfenster");
    EXPECT_EQ(lib.LoadText(2), "Steuer");
    EXPECT_EQ(lib.LoadText(3), "A=B");  // only the first "=" separates
    EXPECT_EQ(lib.LoadText(4), "");
}

TEST_F(TextLookup, BlockPadsToWidthAndNeverCuts) {
    write("Gasger.txt", "1024=abc\n1025=" + std::string(25, 'x') + "\n");
    std::array<std::string, 16> t;
    ASSERT_TRUE(lib.LoadTextBlock(1024, 18, t));
    EXPECT_EQ(t[0], "abc" + std::string(15, ' '));
    EXPECT_EQ(t[1], std::string(25, 'x'));
    for (std::size_t i = 2; i < 16; ++i) EXPECT_EQ(t[i], "") << i;
}

TEST_F(TextLookup, BlockStopsAtFirstMissingNumber) {
    std::string content;
    for (int n = 1024; n <= 1032; ++n)
        content += std::to_string(n) + "=T" + std::to_string(n) + "\n";
    content += "1034=after the gap\n";
    write("Gasger.txt", content);
    std::array<std::string, 16> t;
    t.fill("stale");
    ASSERT_TRUE(lib.LoadTextBlock(1024, 1, t));
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(t[static_cast<std::size_t>(i)], "T" + std::to_string(1024 + i));
    for (std::size_t i = 9; i < 16; ++i) EXPECT_EQ(t[i], "") << i;
}

TEST_F(TextLookup, EmptyTextEndsBlockButBlankTextDoesNot) {
    write("Gasger.txt", "100=a\n101=   \n102=c\n103=\n104=e\n");
    std::array<std::string, 16> t;
    ASSERT_TRUE(lib.LoadTextBlock(100, 3, t));
    EXPECT_EQ(t[0], "a  ");
    EXPECT_EQ(t[1], "   ");  // blanks only: loaded, trimmed to nothing, padded
    EXPECT_EQ(t[2], "c  ");
    EXPECT_EQ(t[3], "");
    EXPECT_EQ(t[4], "");
    EXPECT_FALSE(lib.LoadTextBlock(103, 3, t));
}

TEST_F(TextLookup, BlockAtTheTopOfTheNumberRange) {
    write("Gasger.txt", "65534=y\n65535=z\n");
    std::array<std::string, 16> t;
    ASSERT_TRUE(lib.LoadTextBlock(65534, 1, t));
    EXPECT_EQ(t[0], "y");
    EXPECT_EQ(t[1], "z");
    EXPECT_EQ(t[2], "");
}

TEST_F(TextLookup, MissingLibraryGivesEmptyTextsAndFalse) {
    std::array<std::string, 16> t;
    t.fill("old caption");
    EXPECT_EQ(lib.LoadText(0), "");
    EXPECT_FALSE(lib.LoadTextBlock(0, 10, t));
    for (const auto& s : t) EXPECT_EQ(s, "");
    EXPECT_FALSE(lib.checkLibrary());
}

TEST_F(TextLookup, NoLibraryForUnknownDeviceOrLanguage) {
    for (const char* name : {"Gasger.txt", "Gaseng.txt", "Steamger.txt", "Steameng.txt"}) {
        write(name, "0=GAS2\n");
    }
    session.Medium = -1;
    EXPECT_EQ(lib.LoadText(0), "");
    EXPECT_TRUE(lib.libraryPath().empty());
    session.Medium = 0;
    session.Sprache = 2;
    EXPECT_FALSE(lib.checkLibrary());
}

TEST_F(TextLookup, FollowsSessionAtEveryCall) {
    write("Gasger.txt", "0=GAS2\n1=Gas deutsch\n");
    write("Gaseng.txt", "0=GAS2\n1=Gas English\n");
    write("Steameng.txt", "0=ENERGY2\n1=Energy English\n");
    EXPECT_EQ(lib.LoadText(1), "Gas deutsch");
    session.Sprache = 1;
    EXPECT_EQ(lib.LoadText(1), "Gas English");
    session.Medium = 1;
    EXPECT_EQ(lib.LoadText(1), "Energy English");
    session.Sprache = 0;  // no Steamger.txt in this folder
    EXPECT_EQ(lib.LoadText(1), "");
}

TEST_F(TextLookup, SignatureCheckDoesNotCompareWithMedium) {
    write("Steamger.txt", "0=GAS2\n");
    session.Medium = 1;
    EXPECT_TRUE(lib.checkLibrary());
    write("Steamger.txt", "0=ENERGY2\n");
    EXPECT_TRUE(lib.checkLibrary());
    write("Steamger.txt", "0=GAS3\n");
    EXPECT_FALSE(lib.checkLibrary());
    write("Steamger.txt", "0=  GAS2  \n");  // trimmed before the comparison
    EXPECT_TRUE(lib.checkLibrary());
}

TEST_F(TextLookup, MalformedLinesAreIgnored) {
    write("Gasger.txt",
          "# comment line\n"
          "no equals sign here\n"
          "65536=out of range\n"
          "-1=negative\n"
          " 5=leading blank\n"
          "x7=not a number\n"
          "=no number\n"
          "8=eight\n"
          "8=second eight\n"
          "\n"
          "#9=commented out\n"
          "00010=leading zeros\n");
    EXPECT_EQ(lib.LoadText(8), "eight");
    EXPECT_EQ(lib.LoadText(5), "");
    EXPECT_EQ(lib.LoadText(9), "");
    EXPECT_EQ(lib.LoadText(10), "leading zeros");
    EXPECT_EQ(lib.LoadText(0), "");  // "65536" does not wrap around to 0

    const auto parsed =
        ParseLibrary("no equals\n65536=x\n-1=x\n 5=x\n8=a\n8=b\n# c\n\n" + std::string(300, '#'));
    ASSERT_EQ(parsed.issues.size(), 5u);
    EXPECT_EQ(parsed.issues[0].kind, LibraryLineIssue::Kind::NoEquals);
    EXPECT_EQ(parsed.issues[0].line, 1u);
    EXPECT_EQ(parsed.issues[1].kind, LibraryLineIssue::Kind::BadNumber);
    EXPECT_EQ(parsed.issues[2].kind, LibraryLineIssue::Kind::BadNumber);
    EXPECT_EQ(parsed.issues[3].kind, LibraryLineIssue::Kind::BadNumber);
    EXPECT_EQ(parsed.issues[4].kind, LibraryLineIssue::Kind::Duplicate);
    EXPECT_EQ(parsed.issues[4].line, 6u);
}

TEST_F(TextLookup, CrlfFilesAndByteOrderMark) {
    write("Gasger.txt",
          "\xEF\xBB\xBF"
          "0=GAS2\r\n1=eins\r\n2=zwei\r\n");
    EXPECT_EQ(lib.LoadText(0), "GAS2");
    std::array<std::string, 16> t;
    ASSERT_TRUE(lib.LoadTextBlock(1, 6, t));
    EXPECT_EQ(t[0], "eins  ");
    EXPECT_EQ(t[1], "zwei  ");
}

TEST_F(TextLookup, NonAsciiTrimmingPaddingAndCutInCharacters) {
    // "Größe" is 5 characters in 7 bytes; "°C" 2 characters in 3 bytes.
    write("Gasger.txt", "1=  Größe \n2=°C\n3=" + std::string(250, 'a') + "äöüßé\n");
    EXPECT_EQ(lib.LoadText(1), "Größe");
    std::array<std::string, 16> t;
    ASSERT_TRUE(lib.LoadTextBlock(1, 8, t));
    EXPECT_EQ(t[0], "Größe   ");
    EXPECT_EQ(t[1], "°C      ");
    // 255 characters: cut to 254, never inside a character.
    EXPECT_EQ(t[2], std::string(250, 'a') + "äöüß");
    EXPECT_EQ(Utf8Length(t[2]), 254u);
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

TEST_F(TextLookup, UnreadableLibraryCountsAsMissing) {
    std::filesystem::create_directory(dir / "Gasger.txt");  // a folder, not a file
    EXPECT_EQ(lib.LoadText(0), "");
    std::array<std::string, 16> t;
    EXPECT_FALSE(lib.LoadTextBlock(0, 1, t));
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

TEST(ShippedLibraries, EveryLineParses) {
    for (const auto& s : kShipped) {
        const auto lib = parseShipped(s.name);
        for (const auto& issue : lib.issues) {
            ADD_FAILURE() << s.name << " line " << issue.line << " (kind "
                          << static_cast<int>(issue.kind) << "): " << issue.text;
        }
        EXPECT_GT(lib.texts.size(), 400u) << s.name;
    }
}

TEST(ShippedLibraries, SignatureAndCheck) {
    for (const auto& s : kShipped) {
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

TEST(ShippedLibraries, LanguagesHoldTheSameNumbersAndVariantsDifferOnlyWhereListed) {
    std::map<std::string, std::set<std::uint16_t>> numbers;
    for (const auto& s : kShipped) {
        for (const auto& [n, text] : parseShipped(s.name).texts) numbers[s.name].insert(n);
    }
    EXPECT_EQ(numbers["Gasger.txt"], numbers["Gaseng.txt"]);
    EXPECT_EQ(numbers["Steamger.txt"], numbers["Steameng.txt"]);

    auto inBoth = [](std::uint16_t n) {
        for (const auto& r : UsedTextNumbers()) {
            if (r.variant == TextVariant::Both && n >= r.first && n <= r.last) return true;
        }
        return false;
    };
    for (auto n : numbers["Gasger.txt"]) {
        if (!numbers["Steamger.txt"].count(n)) {
            EXPECT_FALSE(inBoth(n)) << "text " << n << " is listed for both variants";
        }
    }
    for (auto n : numbers["Steamger.txt"]) {
        if (!numbers["Gasger.txt"].count(n)) {
            EXPECT_FALSE(inBoth(n)) << "text " << n << " is listed for both variants";
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

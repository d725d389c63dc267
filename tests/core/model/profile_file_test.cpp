#include "core/model/profile_file.h"
#include "core/model/windows1252.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>

#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace parvion {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

// A profile file read from the given bytes.
ProfileFile Written(const fs::path& file, const std::string& bytes) {
    writeFileBytes(file, bytes);
    return ProfileFile(file);
}

// Files in the folder other than the given one (leftover temporary files).
int otherFiles(const fs::path& folder, const std::string& keep) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename() != keep) ++n;
    }
    return n;
}

TEST(ProfileFileRead, NamesFoldCaseValuesTrimAndQuotesDrop) {
    TempDir dir;
    ProfileFile f = Written(dir / "a.ini",
                            "  [ Einstellungen ]  \r\n"
                            "  BaudRate  =   5   \r\n"
                            "Name=\"  quoted  \"\r\n"
                            "Single='x'\r\n"
                            "Half=\"open\r\n"
                            "Empty=\r\n"
                            "Inner=a = b\r\n"
                            "Last=end \x1a");
    ASSERT_TRUE(f.loaded());
    // The DOS end-of-file byte of old editors is trimmed like a blank.
    const std::tuple<const char*, const char*, const char*> reads[] = {
        {"einstellungen", "baudrate", "5"},      {"EINSTELLUNGEN", " BAUDRATE ", "5"},
        {"Einstellungen", "Name", "  quoted  "}, {"Einstellungen", "Single", "x"},
        {"Einstellungen", "Half", "\"open"},     {"Einstellungen", "Empty", ""},
        {"Einstellungen", "Inner", "a = b"},     {"Einstellungen", "Last", "end"},
        {"Einstellungen", "Missing", "def"},     {"Missing", "Baudrate", "def"}};
    for (const auto& [section, key, value] : reads) {
        EXPECT_EQ(f.readString(section, key, "def"), value) << section << " " << key;
    }
    EXPECT_TRUE(f.hasKey("einstellungen", "EMPTY"));
    EXPECT_FALSE(f.hasKey("einstellungen", "Missing"));
    EXPECT_TRUE(f.hasSection("EinStellungen"));
    EXPECT_FALSE(f.modified());
}

TEST(ProfileFileRead, GarbageCommentsAndKeysOutsideSectionsAreIgnored) {
    TempDir dir;
    ProfileFile f = Written(dir / "g.ini", std::string("Loose=1\r\n"
                                                       "[A\r\n"
                                                       "no equals sign here\r\n"
                                                       "[S]\r\n"
                                                       "; Key=comment\r\n"
                                                       "  # Other=comment\r\n"
                                                       "=no key\r\n"
                                                       "\x01\x02\xff\xfe garbage\r\n"
                                                       "just text\r\n"
                                                       "Key=1\r\n"
                                                       "[]\r\n"
                                                       "Nameless=2\r\n"));
    ASSERT_TRUE(f.loaded());
    EXPECT_FALSE(f.hasSection("A"));
    EXPECT_FALSE(f.hasKey("", "Loose"));
    for (const char* key : {"Key=comment", "; Key", "Other", "no equals sign here"}) {
        EXPECT_FALSE(f.hasKey("S", key)) << key;
    }
    EXPECT_EQ(f.readString("S", "Key", "x"), "1");
    EXPECT_EQ(f.keys("S"), std::vector<std::string>{"Key"});
    EXPECT_EQ(f.readString("", "Nameless", "x"), "2");
    // Nothing was changed, so the bytes written are the bytes read.
    EXPECT_EQ(f.toBytes(), readFileBytes(dir / "g.ini"));
}

TEST(ProfileFileRead, FirstOfDuplicatedKeysAndSectionsWins) {
    TempDir dir;
    ProfileFile f =
        Written(dir / "d.ini",
                "[S]\r\nK=first\r\nk=second\r\n[T]\r\nX=1\r\n[s]\r\nK=third\r\nOnly=late\r\n");
    EXPECT_EQ(f.readString("S", "K", ""), "first");
    // Keys of a later duplicate of a section are not seen.
    EXPECT_FALSE(f.hasKey("S", "Only"));
    EXPECT_EQ(f.keys("S"), std::vector<std::string>{"K"});
    EXPECT_EQ(f.sections(), (std::vector<std::string>{"S", "T"}));
    // Which of them a change goes to: the table of changes below.
}

TEST(ProfileFileRead, ReadIntFollowsTheWindowsRule) {
    TempDir dir;
    ProfileFile f = Written(dir / "i.ini",
                            "[N]\nPlain=42\nLeading=12abc\nWord=abc\nEmpty=\nNeg= -7 \nPlus=+5\n"
                            "Huge=99999999999999999999\nTiny=-99999999999999999999\n"
                            "Quoted=\"8\"\nSignOnly=-\n");
    const std::pair<const char*, int> reads[] = {
        {"Plain", 42},     {"Leading", 12}, {"Word", 0},    {"Empty", -1},
        {"Missing", -1},   {"Neg", -7},     {"Plus", 5},    {"Huge", INT_MAX},
        {"Tiny", INT_MIN}, {"Quoted", 8},   {"SignOnly", 0}};
    for (const auto& [key, value] : reads) EXPECT_EQ(f.readInt("N", key, -1), value) << key;
}

TEST(ProfileFileWrite, SameValueIsNoChangeAndLineBreaksStayOnOneLine) {
    TempDir dir;
    ProfileFile f = Written(dir / "s.ini", "[A]\r\nK=1\r\n");
    f.writeString("a", "k", "1");
    EXPECT_FALSE(f.modified());
    f.writeString("A", "Text", "two\r\nlines\n[B]");
    EXPECT_EQ(f.readString("A", "Text", ""), "two  lines [B]");
    EXPECT_FALSE(f.hasSection("B"));
    EXPECT_EQ(f.toBytes(), "[A]\r\nK=1\r\nText=two  lines [B]\r\n");
}

// After any series of changes, every lookup answers as the written file
// answers when it is read again, and the file is the expected one.
TEST(ProfileFileWrite, LookupsAfterChangesAgreeWithTheFileReadAgain) {
    struct Op {
        bool erase;
        std::string section, key, value;
    };
    struct Case {
        const char* what;
        std::string before;
        std::vector<Op> ops;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"comments, blank lines and unknown sections stay; a key keeps its spelling, its "
         "value loses the blanks and the text after it; new keys and sections at the ends",
         "; settings written by hand\r\n[Einstellungen]\r\n"
         "  Baudrate = 3   ; trailing text is part of the value\r\n# keep me\r\nOnline=0\r\n"
         "\r\n[Unknown]\r\nWhatever=yes\r\n\r\n[System]\r\nSprache=0\r\n",
         {{false, "EINSTELLUNGEN", "baudrate", "7"},
          {false, "Einstellungen", "Neu", "1"},
          {false, "System", "Medium", "1"},
          {false, "Debug", "RS232", "0"}},
         "; settings written by hand\r\n[Einstellungen]\r\nBaudrate=7\r\n# keep me\r\n"
         "Online=0\r\nNeu=1\r\n\r\n[Unknown]\r\nWhatever=yes\r\n\r\n[System]\r\n"
         "Sprache=0\r\nMedium=1\r\n\r\n[Debug]\r\nRS232=0\r\n"},
        {"an empty file: sections in the order first written, a blank line between them",
         "",
         {{false, "A", "X", "1"},
          {false, "B", "Y", "2"},
          {false, "A", "Z", "3"},
          {false, "C", "W", "4"},
          {true, "b", "", ""}},
         "[A]\r\nX=1\r\nZ=3\r\n\r\n[C]\r\nW=4\r\n"},
        {"keys appended before the blank lines that end a section, then updated",
         "[A]\r\nK=1\r\n\r\n \r\n[B]\r\nX=0\r\n",
         {{false, "A", "N1", "a"},
          {false, "A", "N2", "b"},
          {false, "a", "n1", "c"},
          {false, "A", "K", "d"}},
         "[A]\r\nK=d\r\nN1=c\r\nN2=b\r\n\r\n \r\n[B]\r\nX=0\r\n"},
        {"a section erased before others: the later ones are still found",
         "[A]\r\nX=1\r\n[B]\r\nY=2\r\n[C]\r\nZ=3\r\n[b]\r\nY=4\r\n",
         {{true, "b", "", ""},
          {false, "C", "Z", "5"},
          {false, "C", "W", "6"},
          {false, "B", "Y", "7"}},
         "[A]\r\nX=1\r\n[C]\r\nZ=5\r\nW=6\r\n\r\n[B]\r\nY=7\r\n"},
        {"the first of duplicated keys and sections is the one changed",
         "[S]\r\nk=1\r\nK=2\r\n[s]\r\nK=3\r\n",
         {{false, "s", "K", "9"}, {false, "S", "New", "1"}, {false, "S", "NEW", "2"}},
         "[S]\r\nk=9\r\nK=2\r\nNew=2\r\n[s]\r\nK=3\r\n"},
        {"names that read back as another key or as a comment",
         "[A]\r\nx=0\r\n",
         {{false, "A", "x=y", "1"},
          {false, "A", "q=r", "2"},
          {false, "A", "q=r", "3"},
          {false, "A", ";c", "4"},
          {false, "A", ";c", "5"}},
         "[A]\r\nx=0\r\nx=y=1\r\nq=r=2\r\nq=r=3\r\n;c=4\r\n;c=5\r\n"},
        {"a bare line of the key takes the value; one after a key= line stays",
         "[A]\r\nZeile 1\r\nx=0\r\nx\r\n;c\r\n",
         {{false, "A", "zeile 1", "a"}, {false, "A", "Zeile 1", "b"}, {false, "A", "X", "1"}},
         "[A]\r\nzeile 1=b\r\nx=1\r\nx\r\n;c\r\n"},
        {"new sections after lines without a section and after each other",
         "; only a comment\r\nloose=1\r\n",
         {{false, "A", "X", "1"},
          {false, "B", "Y", "2"},
          {false, "A", "Z", "3"},
          {true, "A", "", ""},
          {false, "A", "X", "4"}},
         "; only a comment\r\nloose=1\r\n\r\n[B]\r\nY=2\r\n\r\n[A]\r\nX=4\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ProfileFile f = Written(dir / "f.ini", c.before);
        for (const Op& op : c.ops) {
            if (op.erase) {
                f.eraseSection(op.section);
            } else {
                f.writeString(op.section, op.key, op.value);
            }
        }
        EXPECT_TRUE(f.modified()) << c.what;
        ASSERT_TRUE(f.save()) << c.what;
        EXPECT_FALSE(f.modified()) << c.what;
        EXPECT_EQ(readFileBytes(dir / "f.ini"), c.after) << c.what;
        EXPECT_EQ(otherFiles(dir.path(), "f.ini"), 0) << c.what;
        const ProfileFile again(dir / "f.ini");
        EXPECT_EQ(f.sections(), again.sections()) << c.what;
        std::vector<std::string> names = again.sections();
        names.insert(names.end(), {"a", "b", "C", "s", "Missing"});
        for (const std::string& section : names) {
            EXPECT_EQ(f.hasSection(section), again.hasSection(section)) << c.what;
            EXPECT_EQ(f.keys(section), again.keys(section)) << c.what << " [" << section << "]";
            std::vector<std::string> keys = again.keys(section);
            keys.insert(keys.end(), {"k", "N1", "X", "Y", "x=y", ";c", "Missing"});
            for (const std::string& key : keys) {
                EXPECT_EQ(f.readString(section, key, "none"),
                          again.readString(section, key, "none"))
                    << c.what << " [" << section << "] " << key;
                EXPECT_EQ(f.hasKey(section, key), again.hasKey(section, key)) << c.what;
            }
        }
    }
}

TEST(ProfileFileEncoding, CodePageOnDiskUtf8InMemory) {
    TempDir dir;
    // "Anschluß" with ß as the single byte 0xDF, LF line ends, euro sign 0x80.
    ProfileFile f = Written(dir / "c.ini", "[Einstellungen]\nAnschlu\xDF=7\nPreis=5 \x80\n");
    EXPECT_EQ(f.readString("Einstellungen", "Anschluß", "x"), "7");
    EXPECT_EQ(f.readString("Einstellungen", "Preis", "x"), "5 €");
    f.writeString("Einstellungen", "Anschluß", "2");
    f.writeString("Einstellungen", "Größe", "Straße 日本");
    ASSERT_TRUE(f.save());
    // Written back in CRLF and Windows-1252; the Japanese characters cannot
    // be held and become "?".
    EXPECT_EQ(readFileBytes(dir / "c.ini"),
              "[Einstellungen]\r\nAnschlu\xDF=2\r\nPreis=5 \x80\r\nGr\xF6\xDF"
              "e=Stra\xDF"
              "e ??\r\n");
}

TEST(ProfileFileEncoding, Utf8FilesAreReadAsUtf8) {
    TempDir dir;
    ProfileFile bom = Written(dir / "bom.ini", "\xEF\xBB\xBF[Einstellungen]\r\nAnschluß=4\r\n");
    EXPECT_EQ(bom.readString("Einstellungen", "Anschluß", "x"), "4");
    // Saved without the mark, in Windows-1252.
    bom.writeString("Einstellungen", "Online", "1");
    ASSERT_TRUE(bom.save());
    EXPECT_EQ(readFileBytes(dir / "bom.ini"), "[Einstellungen]\r\nAnschlu\xDF=4\r\nOnline=1\r\n");

    // Edited on Linux: UTF-8 without a mark.
    writeFileBytes(dir / "plain.ini", "[Einstellungen]\nAnschluß=5\n");
    EXPECT_EQ(ProfileFile(dir / "plain.ini").readString("Einstellungen", "Anschluß", "x"), "5");
}

TEST(ProfileFileEncoding, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xDF"), "€\xC2\x81Ÿß");
    // Invalid UTF-8 and characters outside the code page become "?".
    EXPECT_EQ(Utf8ToCp1252("a\xC3(b\xE2\x82"), "a?(b??");
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");  // an encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("Ω\xC2\x80"), "??");      // U+0080 is not the euro sign
    // The highest leads of three and four bytes: U+FB01 and U+10FFFF.
    EXPECT_EQ(Utf8ToCp1252("\xEF\xAC\x81\xF4\x8F\xBF\xBF"), "??");
}

TEST(ProfileFileSave, FailureLeavesTheOldFileUntouched) {
    TempDir dir;
    const std::string before = "[A]\r\nK=old\r\n";
    writeFileBytes(dir / "r.ini", before);
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const auto exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(dir.path(), readOnly | exec);
    fs::permissions(dir / "r.ini", readOnly);
    // Read-only for the user who runs the save: no temporary file can be
    // created and the old file stays.
    const int rc = test::runUnprivileged([&] {
        ProfileFile f(dir / "r.ini");
        if (!f.loaded() || f.readString("A", "K", "") != "old") return 1;
        f.writeString("A", "K", "new");
        std::string error;
        int err = 0;
        if (f.save(&error, &err)) return 2;
        if (error.find("Permission denied") == std::string::npos || err != EACCES) return 3;
        return 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readFileBytes(dir / "r.ini"), before);
    EXPECT_EQ(otherFiles(dir.path(), "r.ini"), 0);

    // In a folder it may write, the file's own bits still keep it: root too,
    // whom access() lets write everything.
    fs::permissions(dir.path(), fs::perms::all);
    ProfileFile f(dir / "r.ini");
    f.writeString("A", "K", "new");
    int err = 0;
    EXPECT_FALSE(f.save(nullptr, &err));
    EXPECT_EQ(err, EACCES);
    EXPECT_EQ(readFileBytes(dir / "r.ini"), before);
    EXPECT_EQ(otherFiles(dir.path(), "r.ini"), 0);

    // A folder that does not exist.
    ProfileFile missing(dir / "no" / "such" / "x.ini");
    EXPECT_TRUE(missing.loaded());
    missing.writeString("A", "K", "1");
    std::string error;
    EXPECT_FALSE(missing.save(&error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(ProfileFileSave, WriteFailingHalfwayLeavesTheOldFileUntouched) {
    TempDir dir;
    const std::string before = "[A]\r\nK=old\r\n";
    ProfileFile f = Written(dir / "w.ini", before);
    f.writeString("A", "Long", std::string(4096, 'x'));
    // A file size limit makes write() fail part-way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    int err = 0;
    const bool saved = f.save(&error, &err);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(err, EFBIG) << error;
    EXPECT_TRUE(f.modified());
    EXPECT_EQ(readFileBytes(dir / "w.ini"), before);
    EXPECT_EQ(otherFiles(dir.path(), "w.ini"), 0);
}

TEST(ProfileFileSave, UnreadableFileIsReportedAndNeverReplaced) {
    TempDir dir;
    fs::create_directory(dir / "folder.ini");
    ProfileFile f(dir / "folder.ini");
    EXPECT_FALSE(f.loaded());
    EXPECT_NE(f.loadError().find("folder.ini"), std::string::npos);
    f.writeString("A", "K", "1");
    std::string error;
    EXPECT_FALSE(f.save(&error));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));

    const std::string secret = "[A]\r\nK=keep\r\n";
    writeFileBytes(dir / "secret.ini", secret);
    fs::permissions(dir.path(),
                    fs::perms::others_read | fs::perms::others_exec | fs::perms::others_write,
                    fs::perm_options::add);
    fs::permissions(dir / "secret.ini", fs::perms::none);
    const int rc = test::runUnprivileged([&] {
        ProfileFile p(dir / "secret.ini");
        if (p.loaded() || p.loadError().find("Permission denied") == std::string::npos) return 1;
        p.writeString("A", "K", "lost");
        return p.save() ? 2 : 0;
    });
    EXPECT_EQ(rc, 0);
    fs::permissions(dir / "secret.ini", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readFileBytes(dir / "secret.ini"), secret);
}

TEST(ProfileFileSave, KeepsModeAndWritesThroughSymbolicLinks) {
    TempDir dir;
    writeFileBytes(dir / "real.ini", "[A]\r\nK=1\r\n");
    fs::permissions(dir / "real.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(dir / "real.ini", dir / "link.ini");
    ProfileFile f(dir / "link.ini");
    f.writeString("A", "K", "2");
    ASSERT_TRUE(f.save());
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFileBytes(dir / "real.ini"), "[A]\r\nK=2\r\n");
    EXPECT_EQ(fs::status(dir / "real.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace parvion

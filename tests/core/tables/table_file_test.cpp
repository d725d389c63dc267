// The table files over hand-made Windows-1252 CRLF fixtures and real files
// in a temporary folder.
#include "core/tables/table_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace parvion::tables {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::writeFileBytes;

fs::path Fixture(const char* name) {
    return fs::path(PARVION_FIXTURES_DIR) / "tables" / name;
}

TEST(PropertyFile, ReadsTheCellsAsWritten) {
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(Fixture("erdgas.KTB"), g).ok());
    EXPECT_EQ(g.at(0, 0), "T[K] \\ p[kpa]");
    EXPECT_EQ(g.at(0, 1), "253");
    EXPECT_EQ(g.at(0, 18), "338");
    EXPECT_EQ(g.at(1, 0), "100");
    EXPECT_EQ(g.at(14, 0), "6600");
    EXPECT_EQ(g.at(1, 1), "0.99000");  // the text as it stands, not reformatted
    EXPECT_EQ(g.at(14, 18), "0.991713");
    EXPECT_TRUE(g.missing.empty());
}

TEST(PropertyFile, WithoutValuesIsATableOfZerosWithItsAxes) {
    PropertyGrid g;
    for (auto& row : g.cells) row.fill("7");
    ASSERT_TRUE(LoadPropertyFile(Fixture("axes_only.DTB"), g).ok());
    EXPECT_EQ(g.at(0, 18), "543");
    EXPECT_EQ(g.at(14, 0), "14000");
    for (int r = 1; r < 19; ++r) {
        for (int c = 1; c < 15; ++c) ASSERT_EQ(g.at(c, r), "0") << c << "," << r;
    }
    // Every value is missing, and named by its key.
    const std::vector<std::string> keys = MissingKeys(g);
    ASSERT_EQ(keys.size(), 18u * 14u);
    EXPECT_EQ(keys.front(), "[Werte] 0 - 0");
    EXPECT_EQ(keys.back(), "[Werte] 17 - 13");
}

TEST(PropertyFile, HandEditedCellsAreTakenUnchecked) {
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(Fixture("hand_edited.ETB"), g).ok());
    EXPECT_EQ(g.at(0, 2), "28x3");
    EXPECT_EQ(g.at(0, 3), "");   // present but empty
    EXPECT_EQ(g.at(0, 4), "0");  // missing, and listed
    EXPECT_EQ(MissingKeys(g).front(), "[Temperatur] 3");
    EXPECT_EQ(g.missing.front(), (Cell{0, 4}));
    // A value written into it takes it off the list.
    g.set(0, 4, "300");
    EXPECT_EQ(MissingKeys(g).front(), "[Temperatur] 4");
    EXPECT_EQ(g.at(2, 0), "-5");
    EXPECT_EQ(g.at(1, 1), "2675,5");
    EXPECT_EQ(g.at(2, 1), "abc");
}

TEST(PropertyFile, SavedBytesOrderAndRoundTrip) {
    test::TempDir dir;
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(Fixture("erdgas.KTB"), g).ok());
    g.at(3, 3) = "Größe";  // text survives as Windows-1252
    const fs::path file = dir / "copy.KTB";
    ASSERT_TRUE(SavePropertyFile(file, g).ok());
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes.rfind("[Temperatur]\r\n0=253\r\n1=258\r\n", 0), 0u);
    const std::size_t druck = bytes.find("[Druck]\r\n0=100\r\n");
    const std::size_t werte = bytes.find("[Werte]\r\n0 - 0=0.99000\r\n0 - 1=0.99001\r\n");
    ASSERT_NE(druck, std::string::npos);
    ASSERT_NE(werte, std::string::npos);
    EXPECT_LT(druck, werte);
    EXPECT_NE(bytes.find("\r\n0 - 13=0.990013\r\n1 - 0=0.99010\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("2 - 2=Gr\xF6\xDF"
                         "e\r\n"),
              std::string::npos);
    EXPECT_TRUE(bytes.ends_with("17 - 13=0.991713\r\n"));

    PropertyGrid back;
    ASSERT_TRUE(LoadPropertyFile(file, back).ok());
    EXPECT_EQ(back, g);

    // Saving again over the file replaces the table, nothing doubles.
    g.at(1, 1) = "1";
    ASSERT_TRUE(SavePropertyFile(file, g).ok());
    const std::string again = readFileBytes(file);
    EXPECT_EQ(again.size(), bytes.size() - 6);
    EXPECT_EQ(again.find("[Werte]"), again.rfind("[Werte]"));
}

TEST(SaturationFile, TenRowsLeaveTheRestEmpty) {
    SaturationGrid g;
    for (int r = 1; r < 33; ++r) g.at(0, r) = "9";
    ASSERT_TRUE(LoadSaturationFile(Fixture("ten_rows.STB"), g).ok());
    EXPECT_EQ(g.at(0, 0), "T[K]");
    EXPECT_EQ(g.at(0, 1), "283");
    EXPECT_EQ(g.at(1, 10), "1000.5");
    EXPECT_EQ(g.at(2, 10), "10,25");
    EXPECT_EQ(g.at(3, 10), "2600");
    for (int r = 11; r < 33; ++r) {
        for (int c = 0; c < 4; ++c) ASSERT_EQ(g.at(c, r), "") << c << "," << r;
    }
    const std::vector<std::string> keys = MissingKeys(g);
    ASSERT_EQ(keys.size(), 22u * 4u);
    EXPECT_EQ(keys.front(), "[Row_11] T");
    EXPECT_EQ(keys.back(), "[Row_32] h");
}

TEST(SaturationFile, SavedSectionsAndKeysInOrder) {
    test::TempDir dir;
    SaturationGrid g;
    ASSERT_TRUE(LoadSaturationFile(Fixture("ten_rows.STB"), g).ok());
    const fs::path file = dir / "s.STB";
    ASSERT_TRUE(SaveSaturationFile(file, g).ok());
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes.rfind("[Row_01]\r\nT=283\r\np=100.5\r\nrho=1,25\r\nh=2510\r\n", 0), 0u);
    EXPECT_NE(bytes.find("[Row_09]\r\n"), std::string::npos);
    EXPECT_TRUE(bytes.ends_with("[Row_32]\r\nT=\r\np=\r\nrho=\r\nh=\r\n"));
    // The saved file holds every key: nothing is missing when it comes back.
    SaturationGrid back;
    ASSERT_TRUE(LoadSaturationFile(file, back).ok());
    EXPECT_EQ(back.cells, g.cells);
    EXPECT_TRUE(back.missing.empty());
}

TEST(TableFiles, FilesThatAreNoTablesLeaveTheGridAlone) {
    test::TempDir dir;
    writeFileBytes(dir / "empty.KTB", "");
    writeFileBytes(dir / "binary.STB", std::string("\x00\x01\xFF\x7F garbage\r\n", 13));
    fs::create_directory(dir / "folder.KTB");
    struct Case {
        fs::path file;
        FileStatus status;
    };
    const Case property[] = {
        {Fixture("parameters.KTB"), FileStatus::NotATableFile},
        {dir / "empty.KTB", FileStatus::NotATableFile},
        {dir / "missing.KTB", FileStatus::Unreadable},
        {dir / "folder.KTB", FileStatus::Unreadable},
        {Fixture("ten_rows.STB"), FileStatus::NotATableFile},
    };
    for (const Case& c : property) {
        PropertyGrid g;
        g.at(1, 1) = "42";
        const PropertyGrid before = g;
        const FileResult r = LoadPropertyFile(c.file, g);
        EXPECT_EQ(r.status, c.status) << c.file;
        if (c.status == FileStatus::Unreadable) {
            EXPECT_FALSE(r.reason.empty());
        }
        EXPECT_EQ(g, before) << c.file;
    }
    const Case saturation[] = {
        {dir / "binary.STB", FileStatus::NotATableFile},
        {Fixture("erdgas.KTB"), FileStatus::NotATableFile},
        {dir / "missing.STB", FileStatus::Unreadable},
    };
    for (const Case& c : saturation) {
        SaturationGrid g;
        g.at(1, 1) = "42";
        const SaturationGrid before = g;
        EXPECT_EQ(LoadSaturationFile(c.file, g).status, c.status) << c.file;
        EXPECT_EQ(g, before) << c.file;
    }
}

TEST(TableFiles, ASaveIntoAMissingFolderFails) {
    test::TempDir dir;
    PropertyGrid g;
    ClearPropertyGrid(g);
    const FileResult r = SavePropertyFile(dir / "no" / "such" / "folder.KTB", g);
    EXPECT_EQ(r.status, FileStatus::NotWritten);
    EXPECT_FALSE(r.reason.empty());
}

}  // namespace
}  // namespace parvion::tables

// Parameter files written and read back, the fields of an image as its
// file holds them, and the differences between two images.

#include "core/model/parameter_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "core/model/defaults.h"
#include "core/model/parameter_diff.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

namespace fs = std::filesystem;
using test::FixturePath;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

ParameterImage Reset(int medium, std::uint8_t ausbaustufe = ausbaustufe::HighEnd) {
    ParameterImage image;
    image.System.Ausbaustufe = ausbaustufe;
    ResetParameters(image, medium);
    return image;
}

// An image in which every stored field differs from its default, with
// values that exercise the number format (negative, tiny, huge, floats
// that need more than seven digits).
ParameterImage FullImage(int medium) {
    ParameterImage img = Reset(medium);
    std::uint32_t seed = 7u + static_cast<std::uint32_t>(medium);
    auto byte = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    auto real = [&] {
        seed = seed * 1103515245u + 12345u;
        const float mantissa = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        return std::ldexp(mantissa, static_cast<int>(seed % 40) - 20);
    };
    for (std::size_t c = 0; c < 2; ++c) {
        img.T_User[c] = {byte(), byte(), byte(), byte(), real(), real(),
                         real(), real(), real(), real(), real()};
        img.P_User[c] = {byte(), byte(), byte(), byte(), real(), real(),
                         real(), real(), real(), real(), real()};
        img.Flow_User[c] = {byte(), byte(), static_cast<std::uint16_t>(40000 + c),
                            real(), real(), real(),
                            real(), real(), real(),
                            real()};
        img.Des_User[c] = {real(), real(), real(), real(), real(), real(), real(), real()};
        img.Med_User[c] = {byte(), byte(), byte(), byte(), real(), real(),
                           real(), real(), real(), real(), real()};
        img.Bez_User[c] = {real(), real(), real(), real()};
        img.Imp_User[c] = {byte(), byte(), byte(), byte(), real()};
        img.Alm_User[c] = {byte(), byte(), byte(), byte(), real(), real(), real()};
        for (float& f : img.FlowKorr[c].Stelle) f = 0.25f + static_cast<float>(byte()) / 27.0f;
    }
    if (medium == medium::Gas) img.EG_User = {real(), real(), real(), real()};
    for (auto& out : img.Aus_User) out = {byte(), byte(), byte(), byte(), real(), real(), real()};
    img.Dis_User = {byte(), 1, byte(), byte()};
    // Choices that exist for the variant, so that the row copy agrees.
    const std::uint8_t choices[8] = {1, 4, 2, 5, 11, 2, 3, 8};
    for (std::uint8_t q = 0; q < 8; ++q) {
        ApplyUnitRow(img.UserEinheiten[q], *FindUnitRow(medium, q, choices[q]));
    }
    img.Trend_User = {byte(), byte(), byte(), byte()};
    img.Grenzwerte = {1.5f, 1.25f, 0.125f, 0.25f};
    img.System.Anzahl = 3;
    img.System.Kind = static_cast<std::uint8_t>(img.System.KindMask);
    img.System.Lang = 1;
    img.System.Dummy3 = byte();
    img.System.Dummy4 = -123456789;
    img.System.Faktor = real();
    img.System.Dummy6 = real();
    for (float& v : img.Vorgaben) v = real();
    img.Vorgaben[6] = std::numeric_limits<float>::max();
    img.Vorgaben[7] = std::numeric_limits<float>::denorm_min();
    img.Display = {1, 2, 3, 4};
    img.Bemerkung = {"Zähler Süd, Maß 3 °C – geprüft", "", "second = line ; with [brackets]"};
    return img;
}

// Every stored field differs from its default before the reset, so that
// every default must really be written.
TEST(ResetParameters, EveryRecordGetsItsDefault) {
    for (int medium : {medium::Gas, medium::Energy}) {
        ParameterImage image = FullImage(medium);
        ResetParameters(image, medium);
        EXPECT_EQ(image, Reset(medium)) << medium;
        EXPECT_TRUE(image.Bemerkung.empty());
    }
}

TEST(ParameterFileRoundTrip, FullSetsOfBothVariantsReadBackIdentically) {
    for (int medium : {medium::Gas, medium::Energy}) {
        SCOPED_TRACE(medium);
        TempDir dir;
        const ParameterImage original = FullImage(medium);
        const fs::path file = dir / (medium == medium::Gas ? "set.PGA" : "set.PEG");
        ASSERT_TRUE(SaveParameterFile(file, original, medium).ok());

        ParameterImage loaded = Reset(medium);
        ASSERT_TRUE(LoadParameterFile(file, loaded, medium).ok());
        EXPECT_EQ(loaded, original);

        // Saving the loaded set over the file changes no byte.
        const std::string first = readFileBytes(file);
        ASSERT_TRUE(SaveParameterFile(file, loaded, medium).ok());
        EXPECT_EQ(readFileBytes(file), first);
    }
}

TEST(ParameterFileRoundTrip, HandMadeWindowsFilesLoadAndRewriteByteForByte) {
    // The fixtures are Windows-1252 with CRLF, laid out as the Windows
    // program wrote them; loading and saving over a copy keeps every byte.
    for (const auto& [name, medium] :
         {std::pair{"gas_full.PGA", medium::Gas}, std::pair{"energy_full.PEG", medium::Energy}}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string bytes = readFileBytes(FixturePath("params", name));
        ASSERT_FALSE(bytes.empty());
        writeFileBytes(dir / name, bytes);
        ParameterImage image = Reset(medium);
        ASSERT_TRUE(LoadParameterFile(dir / name, image, medium).ok());
        ASSERT_TRUE(SaveParameterFile(dir / name, image, medium).ok());
        EXPECT_EQ(readFileBytes(dir / name), bytes);
    }
}

// The values a hand-edited file gives (commas, byte wrap, clamps, reader
// defaults for missing keys, "@" ending the remarks) are pinned by
// parameter_golden_test.cpp ("edited.PGA@0.load"); here the keys it lacks.
TEST(ParameterFileLoad, HandEditedFileNamesTheKeysItLacks) {
    ParameterImage img = Reset(medium::Gas);
    const ParameterFileResult r =
        LoadParameterFile(FixturePath("params", "edited.PGA"), img, medium::Gas);
    ASSERT_TRUE(r.ok());
    // The keys the file lacks are named, in file order; present ones not.
    const auto& missing = r.missingKeys;
    const auto has = [&](const char* k) {
        return std::find(missing.begin(), missing.end(), k) != missing.end();
    };
    EXPECT_TRUE(has("P_User1 Hyd") && has("Flow_User0 MaxFreq") && has("Grenzwerte U_Min"));
    EXPECT_FALSE(has("T_User0 Max") || has("Grenzwerte U_Max"));
    EXPECT_EQ(ListMissingKeys({"a", "b", "c"}, 2), "a, b, \u2026 (+1)");
}

// The loads of the fixture files (every value, each expansion level, the
// old ".par" file) are pinned by parameter_golden_test.cpp.
TEST(ParameterFileLoad, ConversionTablesOfOldCodes) {
    // Every old alarm and output code through a minimal ".par" file.
    const int alarm[10] = {0, 1, 2, 4, 9, 10, 12, 17, 18, 20};
    const int outParam[10] = {1, 9, 2, 10, 4, 12, 5, 13, 3, 11};
    const int outKonstant[7] = {36, 40, 80, 120, 160, 200, 220};
    TempDir dir;
    for (int code = 0; code <= 17; ++code) {
        SCOPED_TRACE(code);
        const std::string text =
            "[Medium]\r\nIdent=STEAM\r\n[Alm_User1]\r\nParam=" + std::to_string(code) +
            "\r\n[Aus_User0]\r\nKonstant=5\r\nParam=" + std::to_string(code) + "\r\n";
        writeFileBytes(dir / "old.par", text);
        ParameterImage img = Reset(medium::Energy);
        ASSERT_TRUE(LoadParameterFile(dir / "old.par", img, medium::Energy).ok());
        EXPECT_EQ(img.Alm_User[1].Param, code <= 9 ? alarm[code] : code);
        if (code <= 9) {
            EXPECT_EQ(img.Aus_User[0].Param, outParam[code]);
            EXPECT_EQ(img.Aus_User[0].Konstant, 40);
        } else {
            EXPECT_EQ(img.Aus_User[0].Param, 0);
            EXPECT_EQ(img.Aus_User[0].Konstant, code <= 16 ? outKonstant[code - 10] : 5);
        }
        EXPECT_EQ(img.Display.Enable3, 40);
    }
}

TEST(ParameterFileLoad, WrongVariantIsRefusedAndTouchesNothing) {
    TempDir dir;
    const ParameterImage reset = Reset(medium::Energy);
    ParameterImage img = reset;
    auto result = LoadParameterFile(FixturePath("params", "gas_full.PGA"), img, medium::Energy);
    EXPECT_EQ(result.status, ParameterFileStatus::WrongVariant);
    EXPECT_EQ(img, reset);
    EXPECT_EQ(LoadParameterFile(FixturePath("params", "old_gas.PAR"), img, medium::Energy).status,
              ParameterFileStatus::WrongVariant);
    EXPECT_EQ(img, reset);
    // The identifier compares exactly; a file without one is refused by both.
    for (const char* text :
         {"[Medium]\r\nIdent=steam\r\n", "[T_User0]\r\nKind=1\r\n", "[Medium]\r\nIdent=\r\n"}) {
        writeFileBytes(dir / "x.PEG", text);
        EXPECT_EQ(LoadParameterFile(dir / "x.PEG", img, medium::Energy).status,
                  ParameterFileStatus::WrongVariant)
            << text;
        EXPECT_EQ(LoadParameterFile(dir / "x.PEG", img, medium::Unknown).status,
                  ParameterFileStatus::WrongVariant);
    }
    EXPECT_EQ(img, reset);
}

TEST(ParameterFileLoad, NotANumberStopsWithTheKeyAndTheImageUntouched) {
    const ParameterImage reset = Reset(medium::Gas);
    ParameterImage img = reset;
    // Status, key, value and the untouched image are pinned by
    // parameter_golden_test.cpp ("not_a_number.PGA@0.load").
    const auto result =
        LoadParameterFile(FixturePath("params", "not_a_number.PGA"), img, medium::Gas);
    EXPECT_EQ(result.detail("x"), " [Des_User1] DesQN");

    TempDir dir;
    // Special values: fine in a float field, not a number in an integer one;
    // an empty value is not a number either.
    writeFileBytes(dir / "nan.PGA",
                   "[Medium]\r\nIdent=GAS\r\n[Vorgaben]\r\nVorgabe1=NAN\r\n"
                   "Vorgabe2=-INF\r\n");
    ASSERT_TRUE(LoadParameterFile(dir / "nan.PGA", img, medium::Gas).ok());
    EXPECT_TRUE(std::isnan(img.Vorgaben[0]));
    EXPECT_EQ(img.Vorgaben[1], -std::numeric_limits<float>::infinity());
    for (const char* line : {"[Trend_User]\r\nTime=INF\r\n", "[Trend_User]\r\nTime=\r\n"}) {
        writeFileBytes(dir / "bad.PGA", std::string("[Medium]\r\nIdent=GAS\r\n") + line);
        img = reset;
        const auto r = LoadParameterFile(dir / "bad.PGA", img, medium::Gas);
        EXPECT_EQ(r.status, ParameterFileStatus::NotANumber) << line;
        EXPECT_EQ(std::tie(r.section, r.key), std::tuple("Trend_User", "Time"));
        EXPECT_EQ(img, reset);
    }
}

TEST(ParameterFileSave, UpdatesAnExistingFileInPlace) {
    TempDir dir;
    const fs::path file = dir / "old.PGA";
    writeFileBytes(file,
                   "; notes kept\r\n[Extra]\r\nfoo=bar\r\n[T_User0]\r\nMax=7\r\nCustom=1\r\n"
                   "[Bemerkung]\r\nZeile 1=a\r\nZeile 2=b\r\nZeile 3=c\r\n");
    ParameterImage img = Reset(medium::Gas);
    img.T_User[0].Max = 12.5f;
    img.Bemerkung = {"nur eine"};
    ASSERT_TRUE(SaveParameterFile(file, img, medium::Gas).ok());
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Extra", "foo", ""), "bar");
    EXPECT_EQ(saved.readString("T_User0", "Custom", ""), "1");
    EXPECT_EQ(saved.readString("T_User0", "Max", ""), "12.5");
    EXPECT_EQ(saved.keys("Bemerkung"), std::vector<std::string>{"Zeile 1"});
    EXPECT_EQ(readFileBytes(file).rfind("; notes kept\r\n[Extra]\r\nfoo=bar\r\n", 0), 0u);

    // An empty remark list leaves no remark section.
    img.Bemerkung.clear();
    ASSERT_TRUE(SaveParameterFile(file, img, medium::Gas).ok());
    EXPECT_FALSE(ProfileFile(file).hasSection("Bemerkung"));
}

TEST(ParameterFileSave, NoRemarkLineIsSavedAsTheEndMarker) {
    TempDir dir;
    // A file that holds "@" ends the remarks there when it is read.
    writeFileBytes(dir / "hand.PGA",
                   "[Medium]\r\nIdent=GAS\r\n[Bemerkung]\r\nZeile 1=a\r\nZeile 2= @ \r\n"
                   "Zeile 3=b\r\n");
    ParameterImage loaded = Reset(medium::Gas);
    ASSERT_TRUE(LoadParameterFile(dir / "hand.PGA", loaded, medium::Gas).ok());
    EXPECT_EQ(loaded.Bemerkung, std::vector<std::string>{"a"});

    // Lines that would read back as "@" are saved as "(@)", which reads back
    // as itself, and the lines after them stay.
    ParameterImage img = Reset(medium::Gas);
    img.Bemerkung = {"a", "@", " @ ", "\"@\"", "'@'", "b", "@@", "\"@", ""};
    ASSERT_TRUE(SaveParameterFile(dir / "r.PGA", img, medium::Gas).ok());
    EXPECT_NE(readFileBytes(dir / "r.PGA").find("Zeile 2=(@)\r\nZeile 3=(@)\r\n"),
              std::string::npos);
    const std::vector<std::string> stored = {"a", "(@)", "(@)", "(@)", "(@)", "b", "@@", "\"@", ""};
    for (int round = 0; round < 2; ++round) {
        loaded = Reset(medium::Gas);
        ASSERT_TRUE(LoadParameterFile(dir / "r.PGA", loaded, medium::Gas).ok());
        EXPECT_EQ(loaded.Bemerkung, stored) << round;
        ASSERT_TRUE(SaveParameterFile(dir / "r.PGA", loaded, medium::Gas).ok());
    }
}

TEST(ParameterFileLoad, TensOfThousandsOfRemarkLinesLoadAndSaveBackIdentically) {
    // A hand-made file of nothing but the variant and the remark lines, with
    // names in other spellings and the lines out of order; then the file
    // the program writes for it, which saves back byte for byte.
    constexpr int kLines = 40000;
    TempDir dir;
    const fs::path file = dir / "many.PGA";
    std::string text = "[Medium]\r\nIdent=GAS\r\n[bemerkung]\r\n";
    for (int i = kLines; i >= 1; --i) {
        text += (i % 3 == 0 ? "ZEILE " : "Zeile ") + std::to_string(i) + " = Zeile " +
                std::to_string(i) +
                (i % 1000 == 0 ? " Ma\xDF \xB0"
                                 "C"
                               : "") +
                "\r\n";
    }
    writeFileBytes(file, text);
    ParameterImage img = Reset(medium::Gas);
    ASSERT_TRUE(LoadParameterFile(file, img, medium::Gas).ok());
    ASSERT_EQ(img.Bemerkung.size(), static_cast<std::size_t>(kLines));
    for (int i = 1; i <= kLines; ++i) {
        const std::string want = "Zeile " + std::to_string(i) + (i % 1000 == 0 ? " Maß °C" : "");
        ASSERT_EQ(img.Bemerkung[static_cast<std::size_t>(i - 1)], want) << i;
    }

    ASSERT_TRUE(SaveParameterFile(file, img, medium::Gas).ok());
    const std::string saved = readFileBytes(file);
    ParameterImage again = Reset(medium::Gas);
    ASSERT_TRUE(LoadParameterFile(file, again, medium::Gas).ok());
    EXPECT_TRUE(again == img);
    ASSERT_TRUE(SaveParameterFile(file, again, medium::Gas).ok());
    EXPECT_EQ(readFileBytes(file), saved);
    // The remark section is the lines in order, once each.
    EXPECT_NE(saved.find("[Bemerkung]\r\nZeile 1=Zeile 1\r\nZeile 2=Zeile 2\r\n"),
              std::string::npos);
    EXPECT_EQ(ProfileFile(file).keys("Bemerkung").size(), static_cast<std::size_t>(kLines));
}

// Neither a load nor a save leaves anything changed when the file cannot
// serve.
TEST(ParameterFileErrors, UnreadableOrUnwritableFilesAreFileErrorsAndChangeNothing) {
    TempDir dir;
    ParameterImage img = Reset(medium::Gas);
    const ParameterImage reset = img;
    auto missing = LoadParameterFile(dir / "missing.PGA", img, medium::Gas);
    EXPECT_EQ(missing.status, ParameterFileStatus::FileError);
    EXPECT_FALSE(missing.reason.empty());
    EXPECT_EQ(missing.detail("missing.PGA"), " missing.PGA: " + missing.reason);
    fs::create_directory(dir / "folder.PGA");
    EXPECT_EQ(LoadParameterFile(dir / "folder.PGA", img, medium::Gas).status,
              ParameterFileStatus::FileError);
    EXPECT_EQ(img, reset);

    EXPECT_EQ(SaveParameterFile(dir / "u.PGA", img, medium::Unknown).status,
              ParameterFileStatus::WrongVariant);
    EXPECT_FALSE(fs::exists(dir / "u.PGA"));
    const auto noFolder = SaveParameterFile(dir / "no" / "such.PGA", img, medium::Gas);
    EXPECT_EQ(noFolder.status, ParameterFileStatus::FileError);
    EXPECT_FALSE(noFolder.reason.empty());
    EXPECT_EQ(SaveParameterFile(dir / "folder.PGA", img, medium::Gas).status,
              ParameterFileStatus::FileError);
    EXPECT_TRUE(fs::is_directory(dir / "folder.PGA"));
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename(), "folder.PGA");  // no temporary left behind
    }
}

TEST(ParameterFileNames, ParDetectionExtensionsAndFilters) {
    for (const char* name : {"a/b/OLD.PAR", "old.par", "old.Par"}) EXPECT_TRUE(IsParFile(name));
    for (const char* name : {"old.PGA", "PAR", "old.PARX"}) EXPECT_FALSE(IsParFile(name)) << name;
    EXPECT_EQ(WithParameterExtension("dir/x.par", medium::Gas), fs::path("dir/x.PGA"));
    EXPECT_EQ(WithParameterExtension("x", medium::Energy), fs::path("x.PEG"));
    EXPECT_EQ(WithParameterExtension("x.y.txt", medium::Energy), fs::path("x.y.PEG"));
    EXPECT_EQ(ParameterFileExtension(medium::Gas), "PGA");
    EXPECT_EQ(SaveDialogFilters(medium::Energy),
              (std::vector<FileFilter>{{"Energy Parameter (*.PEG)", "*.PEG"}}));
    EXPECT_EQ(OpenDialogFilters(medium::Gas),
              (std::vector<FileFilter>{{"Gas Parameter (*.PGA)", "*.PGA"},
                                       {"Parameter (*.PAR)", "*.PAR"}}));
}

TEST(ParameterFileNames, ShortenedFileName) {
    const std::string exactly40 = "C:\\Daten\\Anlagen\\Nord\\Station_4\\abcd.PGA";
    ASSERT_EQ(exactly40.size(), 40u);
    EXPECT_EQ(ShortenFileName(exactly40), exactly40);
    EXPECT_EQ(ShortenFileName("C:\\Daten\\Anlagen\\Nord\\Station_4\\Messung\\Kreis1.PGA"),
              "C:\\Daten\\ ... \\Messung\\Kreis1.PGA");
    EXPECT_EQ(ShortenFileName("/home/user/projects/plants/north/station-4/config.PGA"),
              "/home/ ... /station-4/config.PGA");
    // No separator where one is looked for: three head characters and the
    // last 22 characters.
    EXPECT_EQ(ShortenFileName("abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH.PGA"),
              "abc ... 0123456789ABCDEFGH.PGA");
    // Characters, not bytes, are counted.
    const std::string umlauts = "/home/jürgen/Prüfstände/Übergabe/Zähler_Süd_Nord.PGA";
    EXPECT_EQ(ShortenFileName(umlauts), "/home/ ... /Zähler_Süd_Nord.PGA");
}

// The fields listed for an image (ListParameterFields) and the file saved
// from it are pinned for random images of both variants by
// parameter_golden_test.cpp (".fields", ".file"); that a load keeps the
// natural-gas set of an energy image by its "empty.PEG.load".
// The fields present at each expansion level are pinned by
// parameter_golden_test.cpp (".present" of the fixture files at levels 0xC0,
// 0x3C and 0xFE).

TEST(ParameterDiff, ListsChangedFieldsByTheLeftImagesLevel) {
    const ParameterImage a = Reset(medium::Gas);
    ParameterImage b = a;
    EXPECT_TRUE(DiffParameterImages(a, b, medium::Gas, true).empty());

    b.T_User[0].Min = -40.5f;
    b.EG_User.Ho = 11.5f;
    b.Bemerkung = {"other"};  // remarks are not compared
    b.Betrieb.Bytes[0] = 3;   // nor is the operating block
    auto d = DiffParameterImages(a, b, medium::Gas, true);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], (ParameterDifference{"T_User0", "Min", "0", "-40.5"}));
    EXPECT_EQ(d[1].section, "EG_User");
    EXPECT_EQ(d[1].right, "11.5");

    // A field of circuit 2 counts only when the left image has circuit 2.
    b = a;
    b.T_User[1].Max = 1;
    b.System.Ausbaustufe = ausbaustufe::BasicA2;
    EXPECT_EQ(DiffParameterImages(a, b, medium::Gas, true).size(), 1u);
    ParameterImage basic = a;
    basic.System.Ausbaustufe = ausbaustufe::BasicA2;
    b.System.Ausbaustufe = 0;
    EXPECT_TRUE(DiffParameterImages(basic, b, medium::Gas, true).empty());
    EXPECT_EQ(DiffParameterImages(basic, b, medium::Gas, false).size(), 1u);
}

}  // namespace
}  // namespace parvion

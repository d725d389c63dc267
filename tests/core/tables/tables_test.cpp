// The table editors: the file filters in the session's language, what the
// editors say about a cell (its name in the value dialog, the ascending axes
// with the message naming the neighbours), the grids (conversions to and
// from the transfer buffers, the value dialog for a cell, sequential entry,
// pasting), the table files over hand-made Windows-1252 CRLF fixtures and
// real files in a temporary folder, and transmitting and receiving grids
// against the in-process simulator, checked in the simulator's memory.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <tuple>

#include "core/app/texts.h"
#include "core/link/data_commands.h"
#include "core/link/encoding.h"
#include "core/link/transport.h"
#include "core/model/session.h"
#include "core/tables/table_cells.h"
#include "core/tables/table_file.h"
#include "core/tables/table_grid.h"
#include "core/tables/table_kind.h"
#include "core/tables/table_transfer.h"
#include "sim/lib/device.h"
#include "sim/lib/memory_map.h"
#include "sim/lib/sim_line.h"
#include "support/recording_ui.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"

namespace parvion::tables {
namespace {

namespace fs = std::filesystem;
using test::FixturePath;
using test::readFileBytes;
using test::writeFileBytes;

struct Library {
    Library(int medium, int sprache) { session.Medium = medium, session.Sprache = sprache; }
    views::TextLoader text() const {
        return [this](std::uint16_t n) { return library.LoadText(n); };
    }
    Session session;
    TextLibrary library{PARVION_BIN_DIR, session};
};

TEST(KindFilters, NameFromTheSessionsLibraryPatternOfTheKind) {
    const std::tuple<int, int, TableKind, const char*> cases[] = {
        {0, 0, TableKind::Compressibility, "Kompr. Tabellen (*.KTB)"},
        {1, 1, TableKind::Density, "Density tables (*.DTB)"},
        {1, 0, TableKind::Enthalpy, "Enthalpie Tabellen (*.ETB)"},
        {1, 1, TableKind::Saturation, "Saturation tables (*.STB)"},
    };
    for (const auto& [medium, sprache, kind, filter] : cases) {
        SCOPED_TRACE(filter);
        EXPECT_EQ(KindFilter(kind, Library(medium, sprache).text()), filter);
    }
}

// Temperatures 273, 300, 0 (not in use), 350 in rows 1..4; pressures 100,
// 500 in columns 1, 2.
PropertyGrid Grid() {
    PropertyGrid g;
    ClearPropertyGrid(g);
    g.at(0, 1) = "273";
    g.at(0, 2) = "300";
    g.at(0, 4) = "350";
    g.at(1, 0) = "100";
    g.at(2, 0) = "500";
    return g;
}

TEST(TableCells, APropertyCellIsNamedByItsTemperatureAndPressure) {
    const struct {
        int medium, sprache;
        TableKind kind;
        int col, row;
        const char* expected;
    } cases[] = {
        {1, 0, TableKind::Density, 2, 2, "Dichte (kg/m³) bei 300 K und 500 kPa"},
        {1, 1, TableKind::Enthalpy, 1, 4, "Enthalpy (kJ/kg) at 350 K and 100 kPa"},
        {0, 0, TableKind::Compressibility, 1, 1, "Kompressibilitätszahl bei 273 K und 100 kPa"},
        {0, 1, TableKind::Compressibility, 3, 1, "Compressibility factor at 273 K"},
        {0, 0, TableKind::Compressibility, 3, 3, "Kompressibilitätszahl, Zeile 3, Spalte 3"},
        {0, 0, TableKind::Compressibility, 0, 3, "Temperatur, Zeile 3"},
        {1, 1, TableKind::Density, 7, 0, "Pressure, column 7"},
        {0, 0, TableKind::Compressibility, 0, 0, ""},
    };
    const PropertyGrid g = Grid();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const Library lib(c.medium, c.sprache);
        EXPECT_EQ(PropertyCellName(lib.text(), g, c.kind, c.col, c.row), c.expected);
    }
}

TEST(TableCells, ASaturationCellIsNamedByItsPointsTemperature) {
    SaturationGrid g;
    g.at(0, 5) = "373.15";
    const std::tuple<int, int, int, const char*> cases[] = {
        {0, 1, 5, "Sättigungsdruck bei 373.15 K"},
        {0, 0, 5, "Temperatur — Punkt 5"},
        {1, 1, 6, "Saturation pressure — point 6"},
        // Outside the grid: no name, whatever the other coordinate.
        {0, 1, 0, ""},
        {0, 1, SaturationGrid::kRows, ""},
        {0, -1, 5, ""},
        {0, SaturationGrid::kCols, 5, ""},
    };
    for (const auto& [sprache, col, row, expected] : cases) {
        SCOPED_TRACE(expected);
        const Library lib(1, sprache);
        EXPECT_EQ(SaturationCellName(lib.text(), g, col, row), expected);
    }
}

TEST(TableCells, AxesAscendAndAValueOutOfOrderNamesItsNeighbours) {
    struct Case {
        int col, row;
        float value;
        const char* message;  // "" when the value fits
    };
    const Case cases[] = {
        {0, 3, 320.0F, ""},  // between 300 and 350 (row 3 not in use yet)
        {0, 3, 0.0F, ""},    // 0: a point not in use
        {0, 1, 250.4F, ""},
        {0, 3, 300.0F,
         "Die Temperaturachse muss aufsteigen: 300 K muss zwischen 300 K (Zeile 2) und 350 K "
         "(Zeile 4) liegen."},
        {0, 1, 320.0F,
         "Die Temperaturachse muss aufsteigen: 320 K muss unter 300 K (Zeile 2) liegen."},
        {0, 5, 349.6F,
         "Die Temperaturachse muss aufsteigen: 350 K muss über 350 K (Zeile 4) liegen."},
        {2, 0, 90.0F,
         "Die Druckachse muss aufsteigen: 90 kPa muss über 100 kPa (Spalte 1) liegen."},
        {2, 2, 1.0F, ""},  // a value cell: no axis
    };
    const PropertyGrid g = Grid();
    const Library lib(0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row) + " " +
                     std::to_string(c.value));
        const std::optional<AxisOrderFault> fault = CheckAxisOrder(g, c.col, c.row, c.value);
        EXPECT_EQ(fault ? AxisOrderMessage(lib.text(), *fault) : std::string(), c.message);
    }
}

TEST(TableCells, AGridWhoseAxisFallsIsFoundAtThePointThatFalls) {
    struct Case {
        const char* what;
        std::function<void(PropertyGrid&)> change;
        const char* message;  // "" when both axes ascend
    };
    const Case cases[] = {
        {"ascending with a gap", [](PropertyGrid&) {}, ""},
        {"a temperature falls", [](PropertyGrid& g) { g.at(0, 5) = "340"; },
         "Die Temperaturachse muss aufsteigen: 340 K muss über 350 K (Zeile 4) liegen."},
        {"two pressures alike", [](PropertyGrid& g) { g.at(3, 0) = "500"; },
         "Die Druckachse muss aufsteigen: 500 kPa muss über 500 kPa (Spalte 2) liegen."},
    };
    const Library lib(0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PropertyGrid g = Grid();
        c.change(g);
        const std::optional<AxisOrderFault> fault = FirstAxisOrderFault(g);
        EXPECT_EQ(fault ? AxisOrderMessage(lib.text(), *fault) : std::string(), c.message);
    }
}

// The largest value of each kind: DialogSettingsByCell.
TEST(TableKinds, ByVariantAndSelector) {
    const struct {
        int medium, selector;
        TableKind kind;
        std::string_view ext;
        int deviceTable;
    } cases[] = {
        {0, 1, TableKind::Compressibility, "KTB", 1},
        {1, 0, TableKind::Density, "DTB", 0},
        {1, 1, TableKind::Enthalpy, "ETB", 1},
    };
    for (const auto& c : cases) {
        const TableKindInfo& k = KindInfo(PropertyTableKind(c.medium, c.selector));
        EXPECT_EQ(std::tuple(k.kind, k.extension, k.deviceTable),
                  std::tuple(c.kind, c.ext, c.deviceTable))
            << c.medium << "/" << c.selector;
    }
}

TEST(TableKinds, ExtensionsOfFileNames) {
    EXPECT_TRUE(HasKindExtension("/a/b/station.KTB", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension("/a/b/station.ktb", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension("/a/b/station.DTB", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension(".STB", TableKind::Saturation));  // no name before it
    EXPECT_EQ(KindFromExtension(".stb"), TableKind::Saturation);
    EXPECT_EQ(KindFromExtension("ETB"), TableKind::Enthalpy);
    EXPECT_EQ(KindFromExtension(".PGA"), std::nullopt);
    EXPECT_TRUE(KindFitsMedium(TableKind::Compressibility, 0));
    EXPECT_FALSE(KindFitsMedium(TableKind::Density, 0));
}

PropertyTableBuffer Sample() {
    PropertyTableBuffer b;
    for (std::size_t c = 0; c < 14; ++c) b.PressureAxis[c] = static_cast<std::uint16_t>(65000 - c);
    for (std::size_t r = 0; r < 18; ++r) b.TemperatureAxis[r] = static_cast<std::uint16_t>(250 + r);
    for (std::size_t r = 0; r < 18; ++r) {
        for (std::size_t c = 0; c < 14; ++c)
            b.Values[r][c] = 0.9F + static_cast<float>(r * 14 + c) / 1024.0F;
    }
    b.Values[3][4] = 1.2345678e-7F;
    b.Values[17][13] = 4999.999F;
    return b;
}

TEST(PropertyGridConversion, BufferSurvivesTheGridToSevenDigits) {
    const PropertyTableBuffer b = Sample();
    PropertyGrid g;
    FillPropertyGrid(b, g);
    EXPECT_EQ(
        (std::vector{g.at(0, 0), g.at(0, 1), g.at(1, 0), g.at(5, 4), g.at(14, 18)}),
        (std::vector<std::string>{"T[K] \\ p[kpa]", "250", "65000", "1.234568E-7", "4999.999"}));
    PropertyTableBuffer back;
    ASSERT_FALSE(PropertyGridToBuffer(g, back));
    EXPECT_EQ(back.PressureAxis, b.PressureAxis);
    EXPECT_EQ(back.TemperatureAxis, b.TemperatureAxis);
    for (std::size_t r = 0; r < 18; ++r) {
        for (std::size_t c = 0; c < 14; ++c) {
            EXPECT_NEAR(back.Values[r][c], b.Values[r][c], std::fabs(b.Values[r][c]) * 1e-6F);
        }
    }
}

TEST(PropertyGridConversion, CellsThatAreNotClean) {
    struct Case {
        int col, row;
        std::string text;
        bool stops;
        double expect;  // axis word or value when it does not stop
    };
    const Case cases[] = {
        {0, 1, "", false, 0},
        {0, 2, "28x3", false, 28},
        {0, 3, "abc", false, 0},
        // Beyond the axis word: kept at its ends, never wrapped.
        {1, 0, "-1", false, 0},
        {2, 0, "70000", false, 65535},
        {1, 1, "", false, 0},
        {1, 1, "2675,5", false, 2675.5},
        {1, 1, "abc", true, 0},
        // A number beyond the device's floats (which numbers: ReadDeviceFloat's table).
        {4, 7, "1e300", true, 0},
    };
    for (const Case& c : cases) {
        PropertyGrid g;
        ClearPropertyGrid(g);
        g.at(c.col, c.row) = c.text;
        PropertyTableBuffer b = Sample();
        const PropertyTableBuffer before = b;
        const std::optional<BadCell> bad = PropertyGridToBuffer(g, b);
        ASSERT_EQ(bad.has_value(), c.stops) << c.text;
        if (c.stops) {
            EXPECT_EQ(
                std::tuple(bad->col, bad->row, bad->text, bad->key, bad->number),
                std::tuple(c.col, c.row, c.text, PropertyCellKey({c.col, c.row}), c.text != "abc"));
            EXPECT_EQ(b, before) << "a stopped conversion must leave the buffer alone";
            continue;
        }
        double got = 0;
        if (c.col == 0)
            got = b.TemperatureAxis[static_cast<std::size_t>(c.row - 1)];
        else if (c.row == 0)
            got = b.PressureAxis[static_cast<std::size_t>(c.col - 1)];
        else
            got = static_cast<double>(
                b.Values[static_cast<std::size_t>(c.row - 1)][static_cast<std::size_t>(c.col - 1)]);
        EXPECT_EQ(got, static_cast<double>(static_cast<float>(c.expect))) << c.text;
    }
    EXPECT_EQ(PropertyCellKey({5, 4}), "[Werte] 3 - 4");
    EXPECT_EQ(PropertyCellKey({0, 1}), "[Temperatur] 0");
    EXPECT_EQ(PropertyCellKey({14, 0}), "[Druck] 13");
}

TEST(SaturationGridConversion, EmptyAndBrokenCellsGiveZero) {
    SaturationGrid g;
    g.at(0, 1) = "373.15";
    g.at(1, 1) = "101,325";
    g.at(2, 1) = "958.4x";
    g.at(3, 1) = "";
    g.at(0, 32) = "1E3";
    SaturationTableBuffer b;
    b.Rows[5].h = 7;
    EXPECT_FALSE(SaturationGridToBuffer(g, b));
    EXPECT_EQ(b.Rows[0], (SaturationRow{373.15F, 101.325F, 0, 0}));
    EXPECT_EQ(b.Rows[5].h, 0) << "rows without text are sent as zeros";
    EXPECT_EQ(b.Rows[31].T, 1000.0F);

    b.Rows[0].h = 2675.4678F;  // shown to seven digits, as every column
    FillSaturationGrid(b, g);
    EXPECT_EQ((std::vector{g.at(0, 0), g.at(2, 0), g.at(1, 1), g.at(2, 1), g.at(3, 1)}),
              (std::vector<std::string>{"T[K]", "rho[kg/m³]", "101.325", "0", "2675.468"}));
}

// How the value dialog is set up for a cell.
auto DialogSetup(const CellEntry& e) {
    return std::tuple(e.integerMode, e.precision, e.quantity, e.min, e.max, e.value);
}

TEST(PropertyCellEntry, DialogSettingsByCell) {
    PropertyGrid g;
    ClearPropertyGrid(g);
    g.at(0, 1) = "";
    g.at(0, 2) = "273";
    g.at(0, 3) = "";
    g.at(1, 0) = "100";
    g.at(2, 0) = "250";
    g.at(4, 7) = "0.95";
    g.at(5, 7) = "";
    const struct {
        TableKind kind;
        int col, row;
        bool integer;
        std::uint8_t quantity;
        float min, max, value;
    } cases[] = {
        // The first temperature, empty: 0 offered, 0 as minimum.
        {TableKind::Compressibility, 0, 1, true, 13, 0, 1000, 0},
        // An empty temperature offers the one above; the order of the axis
        // is checked after the dialog (CheckAxisOrder), not by its minimum.
        {TableKind::Compressibility, 0, 3, true, 13, 0, 1000, 273},
        {TableKind::Density, 2, 0, true, 1, 0, 65000, 250},
        {TableKind::Compressibility, 4, 7, false, 255, 0, 10, 0.95F},
        {TableKind::Density, 5, 7, false, 255, 0, 1500, 0},
        {TableKind::Enthalpy, 5, 7, false, 255, 0, 5000, 0},
    };
    for (const auto& c : cases) {
        const PropertyEntry e = PropertyCellEntry(g, c.kind, c.col, c.row);
        ASSERT_TRUE(e.entry) << c.col << "," << c.row;
        EXPECT_EQ(DialogSetup(*e.entry),
                  std::tuple(c.integer, 7, c.quantity, c.min, c.max, c.value))
            << c.col << "," << c.row;
    }
    EXPECT_FALSE(PropertyCellEntry(g, TableKind::Density, 0, 0).entry);
    g.at(3, 3) = "zwölf";
    const PropertyEntry bad = PropertyCellEntry(g, TableKind::Density, 3, 3);
    EXPECT_FALSE(bad.entry);
    ASSERT_TRUE(bad.bad);
    EXPECT_EQ(bad.bad->text, "zwölf");
}

TEST(PropertyCellEntry, AxisResultsAreWholeSixteenBitNumbers) {
    EXPECT_EQ(AxisCellText(272.5F), "273");
    EXPECT_EQ(AxisCellText(65535.4F), "65535");
    EXPECT_EQ(AxisCellText(65536.0F), "65535");
    EXPECT_EQ(AxisCellText(-3.0F), "0");
    EXPECT_EQ(AxisCellText(std::numeric_limits<float>::quiet_NaN()), "0");
    EXPECT_EQ(ValueCellText(0.123456789F), "0.1234568");
}

TEST(SequentialEntry, WalksDownEachColumnAndWrapsToTheFirstCell) {
    const std::pair<Cell, Cell> steps[] = {
        {{1, 1}, {1, 2}}, {{1, 18}, {2, 1}}, {{7, 17}, {7, 18}}, {{14, 18}, {1, 1}}};
    for (const auto& [from, to] : steps) EXPECT_EQ(NextValueCell(from), to);
}

TEST(SaturationCellEntry, MinimumIsTheRowAbove) {
    SaturationGrid g;
    g.at(0, 1) = "300";
    g.at(1, 1) = "50";
    g.at(0, 4) = "400";
    g.at(1, 4) = "";       // row 5's pressure: the empty cell above counts as 0
    g.at(2, 4) = "12.5a";  // not completely a number: 0
    g.at(2, 5) = "900";
    g.at(3, 4) = "2700";
    const struct {
        int col, row;
        std::uint8_t quantity;
        float min, max, value;
    } cases[] = {
        {0, 1, 13, 0, 1270, 300}, {1, 2, 1, 50, 65000, 0},  {1, 5, 1, 0, 65000, 0},
        {2, 5, 2, 0, 3500, 900},  {3, 5, 255, 0, 10000, 0}, {0, 5, 13, 400, 1270, 0},
    };
    for (const auto& c : cases) {
        const std::optional<CellEntry> e = SaturationCellEntry(g, c.col, c.row);
        ASSERT_TRUE(e);
        EXPECT_EQ(DialogSetup(*e), std::tuple(false, 7, c.quantity, c.min, c.max, c.value))
            << c.col << "," << c.row;
    }
    EXPECT_FALSE(SaturationCellEntry(g, 0, 0));
    EXPECT_FALSE(SaturationCellEntry(g, 0, 33));
}

TEST(Paste, PropertyCells) {
    const std::tuple<std::string, int, int, std::string> cases[] = {
        {"-5", 0, 3, "0"},          {"1500,7", 0, 3, "1200"},   {"70000", 4, 0, "65000"},
        {"1,5", 4, 4, "1.5"},       {"272.5", 0, 1, "273"},     {"12abc", 2, 0, "12"},
        {"abc", 0, 5, "0"},         {"  3,25e2x", 6, 6, "325"}, {"1,2,3", 6, 6, "1.2"},
        {"-0,001", 9, 9, "-0.001"}, {"1e999", 0, 1, "1200"},    {"", 3, 3, "0"},
    };
    for (const auto& [clip, col, row, cell] : cases) {
        EXPECT_EQ(PastePropertyCell(clip, col, row), cell) << clip;
    }
    EXPECT_EQ(PasteSaturationCell("958,35"), "958.35");
    EXPECT_EQ(PasteSaturationCell("x"), "0");
}

TEST(PropertyFile, WithoutValuesIsATableOfZerosWithItsAxes) {
    PropertyGrid g;
    for (auto& row : g.cells) row.fill("7");
    ASSERT_TRUE(LoadPropertyFile(FixturePath("tables", "axes_only.DTB"), g).ok());
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
    ASSERT_TRUE(LoadPropertyFile(FixturePath("tables", "hand_edited.ETB"), g).ok());
    // Row 3's temperature is present but empty, row 4's missing (and listed).
    EXPECT_EQ((std::vector{g.at(0, 2), g.at(0, 3), g.at(0, 4), g.at(2, 0), g.at(1, 1), g.at(2, 1)}),
              (std::vector<std::string>{"28x3", "", "0", "-5", "2675,5", "abc"}));
    EXPECT_EQ(MissingKeys(g).front(), "[Temperatur] 3");
    EXPECT_EQ(g.missing.front(), (Cell{0, 4}));
    // A value written into it takes it off the list.
    g.set(0, 4, "300");
    EXPECT_EQ(MissingKeys(g).front(), "[Temperatur] 4");
}

TEST(PropertyFile, SavedBytesOrderAndRoundTrip) {
    test::TempDir dir;
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(FixturePath("tables", "erdgas.KTB"), g).ok());
    EXPECT_EQ(g.at(0, 0), "T[K] \\ p[kpa]");
    EXPECT_EQ(g.at(1, 1), "0.99000");  // the text as it stands, not reformatted
    EXPECT_TRUE(g.missing.empty());
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

TEST(SaturationFile, TenRowsLeaveTheRestEmptyAndAreSavedWhole) {
    test::TempDir dir;
    SaturationGrid g;
    for (int r = 1; r < 33; ++r) g.at(0, r) = "9";
    ASSERT_TRUE(LoadSaturationFile(FixturePath("tables", "ten_rows.STB"), g).ok());
    EXPECT_EQ(g.at(0, 0), "T[K]");
    EXPECT_EQ(g.at(2, 10), "10,25");
    const std::vector<std::string> keys = MissingKeys(g);
    ASSERT_EQ(keys.size(), 22u * 4u);
    EXPECT_EQ(keys.back(), "[Row_32] h");
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
        {FixturePath("tables", "parameters.KTB"), FileStatus::NotATableFile},
        {dir / "empty.KTB", FileStatus::NotATableFile},
        {dir / "missing.KTB", FileStatus::Unreadable},
        {dir / "folder.KTB", FileStatus::Unreadable},
        {FixturePath("tables", "ten_rows.STB"), FileStatus::NotATableFile},
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
        {FixturePath("tables", "erdgas.KTB"), FileStatus::NotATableFile},
        {dir / "missing.STB", FileStatus::Unreadable},
    };
    for (const Case& c : saturation) {
        SaturationGrid g;
        g.at(1, 1) = "42";
        const SaturationGrid before = g;
        EXPECT_EQ(LoadSaturationFile(c.file, g).status, c.status) << c.file;
        EXPECT_EQ(g, before) << c.file;
    }
    // Nor can a table be saved into a folder that is missing.
    const FileResult r = SavePropertyFile(dir / "no" / "such" / "folder.KTB", PropertyGrid());
    EXPECT_EQ(r.status, FileStatus::NotWritten);
    EXPECT_FALSE(r.reason.empty());
}

class TableTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        session.Online = true;
        ASSERT_TRUE(link.OpenComPort(1, 7));
    }
    std::uint16_t word(std::uint16_t address) const {
        return wire::GetWord(device.peek(address, 2), 0);
    }
    float real(std::uint16_t address) const { return wire::GetFloat(device.peek(address, 4), 0); }

    sim::Device device{test::SimDevice(1)};
    sim::SimLine line{device};
    test::RecordingUi ui;
    Session session;
    test::TempDir dir;
    Link link{line, ui, session, dir.path()};
    DeviceState state;
};

TEST_F(TableTransfer, PropertyFileReachesTheDeviceMemory) {
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(FixturePath("tables", "erdgas.KTB"), g).ok());
    for (int table : {0, 1}) {
        const TransmitResult r = TransmitPropertyGrid(link, table, g, state.PropertyTable, {});
        ASSERT_EQ(r.status, TransmitStatus::Sent);
        const sim::addr::PropertyTableAddresses& a = sim::addr::PropertyTable[table];
        // The first and last pressure, the last temperature, the first and last value.
        EXPECT_EQ(std::tuple(word(a.columns), word(static_cast<std::uint16_t>(a.columns + 13 * 2)),
                             word(static_cast<std::uint16_t>(a.rows + 17 * 2)), real(a.values),
                             real(static_cast<std::uint16_t>(a.values + 17 * 56 + 13 * 4))),
                  std::tuple(100, 6600, 338, 0.99F, 0.991713F));
    }
    // Reading back gives the grid in the device's own format.
    PropertyGrid read;
    ASSERT_TRUE(ReceivePropertyGrid(link, 1, state.PropertyTable, read));
    EXPECT_EQ(read.at(1, 1), "0.99");
    EXPECT_EQ(read.at(0, 18), "338");
}

TEST_F(TableTransfer, CellsTheDeviceCannotTakeSendNothing) {
    const auto tables = [&] {
        return std::pair{device.peek(sim::addr::PropertyTable[1].columns, 1072),
                         device.peek(sim::addr::SaturationTable, 512)};
    };
    const auto before = tables();
    const std::uint64_t frames = device.framesServed();

    PropertyGrid hand;
    ASSERT_TRUE(LoadPropertyFile(FixturePath("tables", "hand_edited.ETB"), hand).ok());
    TransmitResult r = TransmitPropertyGrid(link, 1, hand, state.PropertyTable, {});
    ASSERT_EQ(r.status, TransmitStatus::BadCell);
    EXPECT_EQ(r.bad->text, "abc");
    EXPECT_EQ(r.bad->key, "[Werte] 0 - 1");

    // Files of both kinds, each with a value a device float cannot hold
    // (which values: ReadDeviceFloat's table).
    writeFileBytes(dir / "t.DTB", "[Werte]\r\n2 - 3=-INF\r\n");
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(dir / "t.DTB", g).ok());
    r = TransmitPropertyGrid(link, 0, g, state.PropertyTable, {});
    ASSERT_EQ(r.status, TransmitStatus::BadCell);
    EXPECT_EQ(r.bad->key, "[Werte] 2 - 3");
    writeFileBytes(dir / "t.STB", "[Row_07]\r\nT=400\r\nh=1e300\r\n");
    SaturationGrid sat;
    ASSERT_TRUE(LoadSaturationFile(dir / "t.STB", sat).ok());
    r = TransmitSaturationGrid(link, sat, state.SaturationTable, {});
    ASSERT_EQ(r.status, TransmitStatus::BadCell);
    EXPECT_EQ(r.bad->key, "[Row_07] h");
    // An axis that falls (a file edited by hand): refused, naming the point.
    PropertyGrid falling;
    ClearPropertyGrid(falling);
    falling.at(1, 0) = "200";
    falling.at(2, 0) = "150";
    r = TransmitPropertyGrid(link, 1, falling, state.PropertyTable, {});
    ASSERT_EQ(r.status, TransmitStatus::AxisOrder);
    EXPECT_EQ(std::tuple(r.axis->temperature, r.axis->index, r.axis->value),
              std::tuple(false, 2, std::uint16_t{150}));
    EXPECT_EQ(device.framesServed(), frames);
    EXPECT_EQ(tables(), before);
}

TEST_F(TableTransfer, FailuresAreReportedAndLeaveTheGrid) {
    PropertyGrid g;
    ClearPropertyGrid(g);
    device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts);
    EXPECT_EQ(TransmitPropertyGrid(link, 0, g, state.PropertyTable, {}).status,
              TransmitStatus::Failed);
    EXPECT_EQ(TransmitPropertyGrid(link, 2, g, state.PropertyTable, {}).status,
              TransmitStatus::Failed);
    g.at(1, 1) = "5";
    const PropertyGrid before = g;
    EXPECT_FALSE(ReceivePropertyGrid(link, 2, state.PropertyTable, g));
    EXPECT_EQ(g, before);
}

TEST_F(TableTransfer, TenRowSaturationFileSendsZerosBelow) {
    // Fill the device's table first, so that the zeros are seen to arrive.
    SaturationTableBuffer full;
    for (auto& row : full.Rows) row = {1, 2, 3, 4};
    ASSERT_TRUE(WriteSaturationTable(link, full));

    SaturationGrid g;
    ASSERT_TRUE(LoadSaturationFile(FixturePath("tables", "ten_rows.STB"), g).ok());
    // Rows 11..32 are missing: not sent unasked, nor after a No.
    const std::uint64_t frames = device.framesServed();
    std::vector<std::string> asked;
    const auto answer = [&](bool yes) {
        return [&asked, yes](const std::vector<std::string>& keys) {
            asked = keys;
            return yes;
        };
    };
    EXPECT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, {}).status,
              TransmitStatus::Declined);
    EXPECT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, answer(false)).status,
              TransmitStatus::Declined);
    EXPECT_EQ(device.framesServed(), frames);
    ASSERT_EQ(asked.size(), 88u);
    EXPECT_EQ(asked.front(), "[Row_11] T");
    ASSERT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, answer(true)).status,
              TransmitStatus::Sent);
    const std::uint16_t base = sim::addr::SaturationTable;
    EXPECT_EQ(real(base), 283.0F);
    EXPECT_EQ(real(base + 9 * 16 + 4), 1000.5F);
    EXPECT_EQ(real(base + 9 * 16 + 8), 10.25F);
    for (std::uint16_t row = 10; row < 32; ++row) {
        for (std::uint16_t k = 0; k < 4; ++k) {
            ASSERT_EQ(real(static_cast<std::uint16_t>(base + row * 16 + k * 4)), 0.0F) << row;
        }
    }
    SaturationGrid read;
    read.at(0, 20) = "stale";
    ASSERT_TRUE(ReceiveSaturationGrid(link, state.SaturationTable, read));
    EXPECT_EQ(read.at(1, 10), "1000.5");
    EXPECT_EQ(read.at(0, 20), "0");

    // A failed read leaves an empty grid.
    device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts);
    EXPECT_FALSE(ReceiveSaturationGrid(link, state.SaturationTable, read));
    EXPECT_EQ(read, SaturationGrid());
}

}  // namespace
}  // namespace parvion::tables

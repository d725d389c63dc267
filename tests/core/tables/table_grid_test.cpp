// The table grids: conversions to and from the transfer buffers, the value
// dialog for a cell, sequential entry and pasting.
#include "core/tables/table_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace parvion::tables {
namespace {

TEST(TableKinds, ByVariantAndSelector) {
    struct Case {
        int medium, selector;
        TableKind kind;
        std::string_view ext;
        float max;
        int deviceTable;
    };
    const Case cases[] = {
        {0, 1, TableKind::Compressibility, "KTB", 10.0F, 1},
        {0, 0, TableKind::Compressibility, "KTB", 10.0F, 1},
        {1, 0, TableKind::Density, "DTB", 1500.0F, 0},
        {1, 1, TableKind::Enthalpy, "ETB", 5000.0F, 1},
        {1, 7, TableKind::Enthalpy, "ETB", 5000.0F, 1},
    };
    for (const Case& c : cases) {
        const TableKindInfo& k = KindInfo(PropertyTableKind(c.medium, c.selector));
        EXPECT_EQ(k.kind, c.kind) << c.medium << "/" << c.selector;
        EXPECT_EQ(k.extension, c.ext);
        EXPECT_EQ(k.valueMax, c.max);
        EXPECT_EQ(k.deviceTable, c.deviceTable);
    }
}

TEST(TableKinds, ExtensionsOfFileNames) {
    EXPECT_TRUE(HasKindExtension("/a/b/station.KTB", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension("/a/b/station.ktb", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension("/a/b/station.DTB", TableKind::Compressibility));
    EXPECT_FALSE(HasKindExtension("", TableKind::Saturation));
    EXPECT_FALSE(HasKindExtension("STB", TableKind::Saturation));
    EXPECT_EQ(KindFromExtension(".stb"), TableKind::Saturation);
    EXPECT_EQ(KindFromExtension("ETB"), TableKind::Enthalpy);
    EXPECT_EQ(KindFromExtension(".PGA"), std::nullopt);
    EXPECT_TRUE(KindFitsMedium(TableKind::Compressibility, 0));
    EXPECT_FALSE(KindFitsMedium(TableKind::Saturation, 0));
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
    EXPECT_EQ(g.at(0, 0), "T[K] \\ p[kpa]");
    EXPECT_EQ(g.at(0, 1), "250");
    EXPECT_EQ(g.at(1, 0), "65000");
    EXPECT_EQ(g.at(5, 4), "1.234568E-7");
    EXPECT_EQ(g.at(14, 18), "4999.999");
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
        // Not a value a device can compute with, or beyond its floats.
        {2, 2, "NAN", true, 0},
        {2, 3, "-inf", true, 0},
        {2, 3, "INF", true, 0},
        {4, 7, "1e300", true, 0},
        {4, 7, "-1e300", true, 0},
        {4, 7, "-3.4028235e38", false, -3.4028235e38},
        {3, 5, "1.5x", true, 0},
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
            EXPECT_EQ(bad->col, c.col);
            EXPECT_EQ(bad->row, c.row);
            EXPECT_EQ(bad->text, c.text);
            EXPECT_EQ(bad->key, PropertyCellKey({c.col, c.row}));
            EXPECT_EQ(bad->number, c.text != "abc" && c.text != "1.5x") << c.text;
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

    FillSaturationGrid(b, g);
    EXPECT_EQ(g.at(0, 0), "T[K]");
    EXPECT_EQ(g.at(2, 0), "rho[kg/m³]");
    EXPECT_EQ(g.at(1, 1), "101.325");
    EXPECT_EQ(g.at(2, 1), "0");
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
    struct Case {
        TableKind kind;
        int col, row;
        bool integer;
        std::uint8_t quantity;
        float min, max, value;
    };
    const Case cases[] = {
        // The first temperature, empty: 0 offered, 0 as minimum.
        {TableKind::Compressibility, 0, 1, true, 13, 0, 1000, 0},
        // An empty temperature offers the one above; the order of the axis
        // is checked after the dialog (CheckAxisOrder), not by its minimum.
        {TableKind::Compressibility, 0, 3, true, 13, 0, 1000, 273},
        {TableKind::Density, 2, 0, true, 1, 0, 65000, 250},
        {TableKind::Density, 1, 0, true, 1, 0, 65000, 100},
        {TableKind::Compressibility, 4, 7, false, 255, 0, 10, 0.95F},
        {TableKind::Density, 5, 7, false, 255, 0, 1500, 0},
        {TableKind::Enthalpy, 5, 7, false, 255, 0, 5000, 0},
    };
    for (const Case& c : cases) {
        const PropertyEntry e = PropertyCellEntry(g, c.kind, c.col, c.row);
        ASSERT_TRUE(e.entry) << c.col << "," << c.row;
        EXPECT_EQ(e.entry->integerMode, c.integer);
        EXPECT_EQ(e.entry->quantity, c.quantity);
        EXPECT_EQ(e.entry->min, c.min) << c.col << "," << c.row;
        EXPECT_EQ(e.entry->max, c.max);
        EXPECT_EQ(e.entry->value, c.value) << c.col << "," << c.row;
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
    // 252 steps visit every value cell once and come back.
    Cell c{1, 1};
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 252; ++i) {
        seen.insert({c.col, c.row});
        c = NextValueCell(c);
    }
    EXPECT_EQ(seen.size(), 252u);
    EXPECT_EQ(c, (Cell{1, 1}));
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
    struct Case {
        int col, row;
        std::uint8_t quantity;
        float min, max, value;
    };
    const Case cases[] = {
        {0, 1, 13, 0, 1270, 300}, {1, 2, 1, 50, 65000, 0},  {1, 5, 1, 0, 65000, 0},
        {2, 5, 2, 0, 3500, 900},  {3, 5, 255, 0, 10000, 0}, {0, 5, 13, 400, 1270, 0},
    };
    for (const Case& c : cases) {
        const std::optional<CellEntry> e = SaturationCellEntry(g, c.col, c.row);
        ASSERT_TRUE(e);
        EXPECT_FALSE(e->integerMode);
        EXPECT_EQ(e->precision, 7);
        EXPECT_EQ(e->quantity, c.quantity) << c.col << "," << c.row;
        EXPECT_EQ(e->min, c.min) << c.col << "," << c.row;
        EXPECT_EQ(e->max, c.max);
        EXPECT_EQ(e->value, c.value) << c.col << "," << c.row;
    }
    EXPECT_FALSE(SaturationCellEntry(g, 0, 0));
    EXPECT_FALSE(SaturationCellEntry(g, 0, 33));
}

TEST(Paste, PropertyCells) {
    struct Case {
        std::string clip;
        int col, row;
        std::string cell;
    };
    const Case cases[] = {
        {"-5", 0, 3, "0"},          {"1500,7", 0, 3, "1200"},   {"70000", 4, 0, "65000"},
        {"1,5", 4, 4, "1.5"},       {"272.5", 0, 1, "273"},     {"12abc", 2, 0, "12"},
        {"abc", 0, 5, "0"},         {"  3,25e2x", 6, 6, "325"}, {"1,2,3", 6, 6, "1.2"},
        {"-0,001", 9, 9, "-0.001"}, {"1e999", 0, 1, "1200"},    {"", 3, 3, "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PastePropertyCell(c.clip, c.col, c.row), c.cell) << c.clip;
    }
    EXPECT_EQ(PasteSaturationCell("958,35"), "958.35");
    EXPECT_EQ(PasteSaturationCell("x"), "0");
}

}  // namespace
}  // namespace parvion::tables

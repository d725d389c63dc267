// The defaults of a new parameter set, the unit table, and the numbers as
// the program shows, writes and reads them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <tuple>

#include "core/model/defaults.h"
#include "core/model/units.h"
#include "core/model/value_format.h"

namespace parvion {
namespace {

// The default set of each variant is pinned byte for byte by
// parameter_golden_test.cpp ("defaults_gas.blocks", "defaults_energy.blocks");
// that a reset writes every record over what the image held:
// ResetParameters.EveryRecordGetsItsDefault in parameter_file_test.cpp.
TEST(ResetParameters, KeepsExpansionLevelOperatingBlockAndOnlineMask) {
    ParameterImage image;
    image.System.Ausbaustufe = ausbaustufe::BasicA1;
    image.System.KindMask = 0x07;
    image.Betrieb.Bytes = {5, 1, 2, 3};
    ResetParameters(image, medium::Energy, /*online=*/true);
    EXPECT_EQ(std::tuple(image.System.Ausbaustufe, image.System.KindMask, image.Betrieb.Bytes),
              std::tuple(ausbaustufe::BasicA1, 0x07, std::array<std::uint8_t, 4>{5, 1, 2, 3}));
    ResetParameters(image, medium::Energy, /*online=*/false);
    EXPECT_EQ(image.System.KindMask, 5);
}

// Characters of a UTF-8 text.
std::size_t CodePoints(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

TEST(UnitTable, RowsAreWellFormed) {
    ASSERT_EQ(UnitTable.size(), 71u);
    std::set<std::tuple<int, int, int>> seen;
    for (std::size_t i = 0; i < UnitTable.size(); ++i) {
        const UnitRow& row = UnitTable[i];
        SCOPED_TRACE(i);
        EXPECT_TRUE(row.System == 0 || row.System == 1 || row.System == kAnySystem);
        EXPECT_LT(row.Quantity, kQuantityCount);
        EXPECT_EQ(row.DeviceText.size(), 5u);
        EXPECT_NE(row.DeviceText.back(), ' ');
        EXPECT_TRUE(row.Code == '2' || row.Code == '4');
        EXPECT_EQ(CodePoints(row.DisplayText), 8u);
        EXPECT_EQ(row.DisplayText.front(), ' ');
        EXPECT_NE(row.DisplayText[1], ' ');
        EXPECT_GT(row.Factor, 0.0f);
        // No row hides behind an earlier one of the same variant.
        for (int system : {0, 1}) {
            if (row.System != kAnySystem && row.System != system) continue;
            EXPECT_TRUE(seen.insert({system, row.Quantity, row.Choice}).second);
        }
    }
    // Rows are grouped by quantity in ascending order.
    for (std::size_t i = 1; i < UnitTable.size(); ++i)
        EXPECT_LE(UnitTable[i - 1].Quantity, UnitTable[i].Quantity);
}

// Rows found by what they mean (variant, quantity, choice), not by place;
// a choice the variant does not have finds none. The rows of choice 0 go
// into the default set, which parameter_golden_test.cpp pins.
TEST(UnitTable, SampleRowsAndChoicesWithoutARow) {
    // Variant, quantity and choice; the device text (nullptr: no row), the
    // display text, factor and offset.
    using Row =
        std::tuple<int, std::uint8_t, std::uint8_t, const char*, std::string_view, float, float>;
    const Row rows[] = {
        {medium::Gas, 0, 1, "   \337F", " \302\260F     ", 1.8f, 32.0f},
        {medium::Energy, 0, 2, "    K", " K      ", 1.0f, 273.15f},
        {medium::Gas, 4, 11, " lb/s", " lb/s   ", 0.00061239436f, 0.0f},
        {medium::Gas, 4, 12, nullptr, "", 0, 0},
        {medium::Gas, 5, 1, "    l", " Nl     ", 1000.0f, 0.0f},
        {medium::Gas, 5, 3, nullptr, "", 0, 0},
        {medium::Energy, 5, 8, "  Btu", " Btu    ", 3412.128f, 0.0f},
    };
    for (const auto& [med, quantity, choice, device, display, factor, offset] : rows) {
        SCOPED_TRACE(testing::Message() << med << "/" << int{quantity} << "/" << int{choice});
        const UnitRow* row = FindUnitRow(med, quantity, choice);
        if (device == nullptr) {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(std::tuple(row->Quantity, row->Choice, row->DeviceText, row->DisplayText,
                             row->Factor, row->Offset),
                  std::tuple(quantity, choice, std::string_view(device), display, factor, offset));
    }
}

TEST(BaseUnits, VariantRowsForFlowAndTotal) {
    for (std::size_t q = 0; q < kQuantityCount; ++q) {
        SCOPED_TRACE(q);
        // Choice, device text, factor and offset: the default sets, which
        // parameter_golden_test.cpp pins.
        EXPECT_EQ(GasBaseUnits[q].System, 0);
        EXPECT_EQ(EnergyBaseUnits[q].System, 0);
        if (q != 3 && q != 5) {
            EXPECT_EQ(GasBaseUnits[q].DisplayText, EnergyBaseUnits[q].DisplayText);
        }
    }
    EXPECT_EQ(std::tuple(GasBaseUnits[3].DisplayText, GasBaseUnits[5].DisplayText),
              std::tuple(" Nm³/h  ", " Nm³    "));
    EXPECT_EQ(std::tuple(EnergyBaseUnits[3].DisplayText, EnergyBaseUnits[5].DisplayText),
              std::tuple(" kW     ", " kWh    "));
    EXPECT_EQ(&BaseUnits(medium::Unknown), &EnergyBaseUnits);
}

TEST(SelectUnitRow, UserUnitsApplyOnlyWhenOnAndInScope) {
    ParameterImage image;
    ResetParameters(image, medium::Energy);
    image.UserEinheiten[1].Kind = 1;   // bar
    image.UserEinheiten[10].Kind = 1;  // no such row
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 1), &EnergyBaseUnits[1]);

    image.Dis_User.Einheiten = 1;
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 1), FindUnitRow(medium::Energy, 1, 1));
    // Quantities from 8 on keep the base unit on the pages, but the value
    // input dialog follows the choice for all 16.
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 10), &EnergyBaseUnits[10]);
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 10, UnitScope::InputDialog), nullptr);
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, kNoQuantity), nullptr);
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 16, UnitScope::InputDialog), nullptr);

    // A choice of the other variant matches no row.
    image.UserEinheiten[3].Kind = 7;
    EXPECT_EQ(SelectUnitRow(image, medium::Gas, 3)->DisplayText, " SCF/min");
    EXPECT_EQ(SelectUnitRow(image, medium::Energy, 3), nullptr);
    EXPECT_EQ(UnitText(image, medium::Energy, 3, false), "");
}

TEST(UnitText, BlanksAndTrimming) {
    ParameterImage image;
    ResetParameters(image, medium::Gas);
    EXPECT_EQ(UnitText(image, medium::Gas, kNoQuantity, false), "        ");
    EXPECT_EQ(UnitText(image, medium::Gas, kNoQuantity, true), "");
    EXPECT_EQ(UnitText(image, medium::Gas, 0, false), " °C     ");
    EXPECT_EQ(UnitText(image, medium::Gas, 0, true), " °C");
    EXPECT_EQ(UnitText(image, medium::Gas, 7, true), " m³/h");
}

// Fahrenheit both ways, and its limits: InputUnits.FahrenheitWithUserUnitsOnly.
TEST(UnitConversion, BothDirections) {
    EXPECT_FLOAT_EQ(FromDisplayUnit(FindUnitRow(medium::Energy, 1, 1), 2.5f), 250.0f);  // bar
    EXPECT_EQ(ToDisplayUnit(nullptr, 7.0f), 7.0f);
    EXPECT_EQ(FromDisplayUnit(nullptr, 7.0f), 7.0f);
}

// Fixed notation without trailing zeros; scientific once the rounded value
// has more digits before the point than the precision, or below 0.00001
// (0.00001 itself is fixed, also as the float just below it); halves round
// away from zero, an exact tie too, and a carry can add a digit and move into
// the exponent. Zero, "E-6" and the seven digits a file takes:
// FormatFileFloat below, which shares the format; not-a-number and
// infinities: FormatValueTest.NonFiniteValues.
TEST(FormatGeneral, FixedScientificAndRounding) {
    const auto f = [](float v) { return static_cast<double>(v); };
    const std::tuple<double, int, const char*> cases[] = {
        {1.3125, 7, "1.3125"},          {f(-273.15f), 5, "-273.15"},
        {1234567.0, 7, "1234567"},      {f(0.016666668f), 7, "0.01666667"},
        {12345678.0, 7, "1.234568E7"},  {123456.0, 5, "1.2346E5"},
        {0.0000099, 7, "9.9E-6"},       {0.00001, 7, "0.00001"},
        {f(0.00001f), 7, "0.00001"},    {0.000012345, 7, "0.000012345"},
        {1234567.5, 7, "1234568"},      {1234568.5, 7, "1234569"},
        {-1234568.5, 7, "-1234569"},    {1.03125, 5, "1.0313"},
        {9999999.6, 7, "1E7"},          {0.99999996, 7, "1"},
        {0.0000099999999, 7, "0.00001"}};
    for (const auto& [value, precision, text] : cases) {
        EXPECT_EQ(FormatGeneral(value, precision), text) << text;
    }
}

TEST(FormatFileFloat, SevenDigitsUnlessMoreAreNeededToReadBack) {
    // The float after 0.1 needs eight digits; 8 digits before the point
    // switch to scientific notation as with seven.
    const std::pair<float, const char*> cases[] = {{0.24f, "0.24"},
                                                   {1e-6f, "1E-6"},
                                                   {0.0f, "0"},
                                                   {16.666666f, "16.666666"},
                                                   {std::nextafter(0.1f, 1.0f), "0.10000001"},
                                                   {12345679.0f, "1.2345679E7"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatFileFloat(value), text) << text;
}

TEST(FormatFileFloat, EveryFiniteFloatReadsBackExactly) {
    std::uint32_t bits = 12345;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 1664525u + 1013904223u;  // a fixed pseudo-random walk over all floats
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) continue;
        const std::string text = FormatFileFloat(f);
        const auto back = ReadNumber(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(ToSingle(*back), f) << text;
    }
}

TEST(ReadNumber, CommaRuleAndSyntax) {
    const std::pair<const char*, double> good[] = {
        {" -2,25 ", -2.25}, {"+3", 3.0}, {"1.234568E10", 1.234568e10},
        {"2e+3", 2000.0},   {".5", 0.5}, {"5.", 5.0}};
    for (const auto& [text, value] : good) EXPECT_EQ(ReadNumber(text), value) << text;
    // Only the first comma is replaced.
    EXPECT_FALSE(ReadNumber("1,5,0"));
    EXPECT_FALSE(ReadNumber("1.5,0"));
    for (const char* bad : {"", " ", "-", ".", "E5", "1e", "1e+", "abc", "1.5x", "0x10", "1 2",
                            "--1", "1..2", "NANA", "-NAN"})
        EXPECT_FALSE(ReadNumber(bad)) << '"' << bad << '"';
}

TEST(ReadNumber, SpecialAndOutOfRangeValues) {
    EXPECT_TRUE(std::isnan(*ReadNumber("NAN")));
    EXPECT_TRUE(std::isnan(*ReadNumber("nan")));
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<const char*, double> cases[] = {{"INF", inf},    {"-INF", -inf},
                                                    {"1e400", inf},  {"-123.4e400", -inf},
                                                    {"1e-400", 0.0}, {"0e999999999", 0.0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadNumber(text), value) << text;
}

TEST(ReadNumber, IntegerFieldsTruncateAndWrap) {
    auto asByte = [](const char* text) {
        return static_cast<std::uint8_t>(*TruncateToBits(*ReadNumber(text)));
    };
    // 300, 2.9 and -1 in byte fields: the load of "edited.PGA" that
    // parameter_golden_test.cpp pins; an infinity: NotANumberStopsWithTheKey....
    EXPECT_EQ(asByte("-2.9"), 254);
    EXPECT_EQ(asByte("1e30"), static_cast<std::uint8_t>(std::fmod(1e30, 256.0)));
    EXPECT_EQ(static_cast<std::int32_t>(*TruncateToBits(-5.0)), -5);
    EXPECT_EQ(static_cast<std::uint16_t>(*TruncateToBits(70000.0)), 70000 - 65536);
    EXPECT_FALSE(TruncateToBits(std::numeric_limits<double>::quiet_NaN()));
}

TEST(ToSingle, OverflowBecomesInfinityAndIsNoDeviceValue) {
    EXPECT_EQ(ToSingle(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ToSingle(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(ToSingle(3.4028235e38), std::numeric_limits<float>::max());
    EXPECT_EQ(ToSingle(0.1), 0.1f);

    for (const char* text : {"NAN", "-INF", "INF", "-1e300", "1e300", "3.5e38", "1e400", "x"}) {
        EXPECT_FALSE(ReadDeviceFloat(text)) << text;
    }
    EXPECT_EQ(ReadDeviceFloat("-3,4028235e38"), -std::numeric_limits<float>::max());
    EXPECT_EQ(ReadDeviceFloat("1e-46"), 0.0f);
    EXPECT_EQ(DeviceFloat(0.1), 0.1f);
}

class FormatValueTest : public ::testing::Test {
  protected:
    FormatValueTest() { ResetParameters(image, medium::Gas); }
    std::string plain(float v) {
        return FormatValue(image, medium::Gas, kNoQuantity, true, false, v);
    }
    ParameterImage image;
};

// Scaling stops above 0.001; the float nearest to 0.001 lies above it and
// is not scaled.
TEST_F(FormatValueTest, EngineeringScaling) {
    const std::pair<float, const char*> cases[] = {
        {0.0f, "   0.0000   "},         {1.23456f, "   1.2346   "}, {0.0005f, "   0.5000E-3"},
        {-0.0005f, "  -0.5000E-3"},     {1000.0f, "   1.0000E+3"},  {-999.9999f, "-999.9999   "},
        {123456789.0f, " 123.4568E+6"}, {2e-9f, "   0.0020E-6"},    {0.001f, "   0.0010   "},
        {-0.0f, "   0.0000   "},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(plain(value), text) << value;
}

TEST_F(FormatValueTest, NonFiniteValues) {
    EXPECT_EQ(plain(std::numeric_limits<float>::quiet_NaN()), "NAN");
    EXPECT_EQ(plain(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(plain(-std::numeric_limits<float>::infinity()), "-INF");
    // A conversion that overflows the single range.
    image.Dis_User.Einheiten = 1;
    image.UserEinheiten[quantity::Density].Kind = 2;  // g/m3, factor 1000
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Density, true, true, 3e38f), "INF");
}

// Base units with scaling:
// CircuitLines.ValuesInBaseUnitsStartInOneColumnAndTheOperatingTimeAfter51Characters.
TEST_F(FormatValueTest, UserUnitConversionAndUnitText) {
    image.Dis_User.Einheiten = 1;
    image.UserEinheiten[quantity::Temperature].Kind = 1;  // degrees Fahrenheit
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, true, true, 12345.6f),
              "  22.2541E+3 °F");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, true, false, 12345.6f),
              "  22.2541E+3 °F     ");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, false, true, 100.0f),
              " 212.0000   ");
}

// Quantities from 8 on in their base units, user units or not:
// SelectUnitRow.UserUnitsApplyOnlyWhenOnAndInScope.

TEST_F(FormatValueTest, UnmatchedUserUnitLeavesValueWithoutUnit) {
    image.Dis_User.Einheiten = 1;
    image.UserEinheiten[quantity::Flow].Kind = 8;  // SCF/s exists for gas only
    EXPECT_EQ(FormatValue(image, medium::Energy, quantity::Flow, true, true, 5.0f), "   5.0000   ");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Flow, true, true, 1000.0f),
              "  10.5678    SCF/s");
}

TEST(FormatDeviceDateTime, PaddingAndInvalidDates) {
    EXPECT_EQ(FormatDeviceDateTime({5, 1, 1, 0, 0, 0}), "01.01.5 00:00:00");
    EXPECT_EQ(FormatDeviceDateTime({2024, 12, 31, 23, 59, 58}), "31.12.2024 23:59:58");
    for (const DeviceDateTime bad : {DeviceDateTime{2024, 13, 1, 0, 0, 0},
                                     {2024, 0, 1, 0, 0, 0},
                                     {2024, 1, 0, 0, 0, 0},
                                     {2024, 1, 32, 0, 0, 0}}) {
        EXPECT_EQ(FormatDeviceDateTime(bad), "??.??.???? ??:??:??") << bad.month << "/" << bad.day;
    }
}

}  // namespace
}  // namespace parvion

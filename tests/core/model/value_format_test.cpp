#include "core/model/value_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/model/defaults.h"
#include "core/model/units.h"

namespace parvion {
namespace {

TEST(FormatGeneral, FixedNotationDropsTrailingZeros) {
    EXPECT_EQ(FormatGeneral(0.0, 7), "0");
    EXPECT_EQ(FormatGeneral(100.0, 7), "100");
    EXPECT_EQ(FormatGeneral(static_cast<double>(1.3125f), 7), "1.3125");
    EXPECT_EQ(FormatGeneral(static_cast<double>(0.24f), 7), "0.24");
    EXPECT_EQ(FormatGeneral(-2.5, 7), "-2.5");
    EXPECT_EQ(FormatGeneral(static_cast<double>(-273.15f), 5), "-273.15");
    EXPECT_EQ(FormatGeneral(1234567.0, 7), "1234567");
    EXPECT_EQ(FormatGeneral(static_cast<double>(0.016666668f), 7), "0.01666667");
}

TEST(FormatGeneral, ScientificForLargeAndTinyMagnitudes) {
    EXPECT_EQ(FormatGeneral(1e-6, 7), "1E-6");
    EXPECT_EQ(FormatGeneral(12345678.0, 7), "1.234568E7");
    EXPECT_EQ(FormatGeneral(-12345678.0, 7), "-1.234568E7");
    EXPECT_EQ(FormatGeneral(123456.0, 5), "1.2346E5");
    EXPECT_EQ(FormatGeneral(0.0000099, 7), "9.9E-6");
    // 0.00001 itself is fixed, also as the float just below it.
    EXPECT_EQ(FormatGeneral(0.00001, 7), "0.00001");
    EXPECT_EQ(FormatGeneral(static_cast<double>(0.00001f), 7), "0.00001");
    EXPECT_EQ(FormatGeneral(0.000012345, 7), "0.000012345");
}

TEST(FormatGeneral, RoundsHalfAwayFromZeroAndCarriesIntoExponent) {
    EXPECT_EQ(FormatGeneral(1234567.5, 7), "1234568");
    EXPECT_EQ(FormatGeneral(1234568.5, 7), "1234569");  // exact tie, not to even
    EXPECT_EQ(FormatGeneral(-1234568.5, 7), "-1234569");
    EXPECT_EQ(FormatGeneral(1.03125, 5), "1.0313");
    EXPECT_EQ(FormatGeneral(9999999.6, 7), "1E7");  // rounding makes 8 digits
    EXPECT_EQ(FormatGeneral(99999.5, 5), "1E5");
    EXPECT_EQ(FormatGeneral(0.99999996, 7), "1");
    EXPECT_EQ(FormatGeneral(0.0000099999999, 7), "0.00001");
}

TEST(FormatGeneral, NonFiniteValues) {
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), 7), "NAN");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity(), 7), "INF");
    EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), 7), "-INF");
}

TEST(FormatGeneral, EveryFloatTextReadsBackToTheSameFloat) {
    // Seven digits are not always enough for a float, but the text must at
    // least read back to a float within one step of the original.
    const float samples[] = {1.0f,      0.1f,        123.456f, 1e-20f,  3.4028235e38f,
                             1.17e-38f, 0.33333334f, 65535.0f, 2.5e-6f, -7.125f};
    for (float f : samples) {
        const auto back = ReadNumber(FormatGeneral(static_cast<double>(f), 7));
        ASSERT_TRUE(back.has_value()) << f;
        const float g = ToSingle(*back);
        EXPECT_LE(std::fabs(g - f), std::fabs(f) * 1e-6f) << f;
    }
}

TEST(FormatFileFloat, SevenDigitsUnlessMoreAreNeededToReadBack) {
    EXPECT_EQ(FormatFileFloat(0.24f), "0.24");
    EXPECT_EQ(FormatFileFloat(1e-6f), "1E-6");
    EXPECT_EQ(FormatFileFloat(0.0f), "0");
    EXPECT_EQ(FormatFileFloat(16.666666f), "16.666666");
    // The float after 0.1 needs eight digits; 8 digits before the point
    // switch to scientific notation as with seven.
    EXPECT_EQ(FormatFileFloat(std::nextafter(0.1f, 1.0f)), "0.10000001");
    EXPECT_EQ(FormatFileFloat(12345679.0f), "1.2345679E7");
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
    EXPECT_EQ(ReadNumber("1,5"), 1.5);
    EXPECT_EQ(ReadNumber(" -2,25 "), -2.25);
    EXPECT_EQ(ReadNumber("+3"), 3.0);
    EXPECT_EQ(ReadNumber("1E-6"), 1e-6);
    EXPECT_EQ(ReadNumber("1.234568E10"), 1.234568e10);
    EXPECT_EQ(ReadNumber("2e+3"), 2000.0);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("5."), 5.0);
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
    EXPECT_EQ(ReadNumber("INF"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber("-INF"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber("-123.4e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber("1e-400"), 0.0);
    EXPECT_EQ(ReadNumber("0.0001e-400"), 0.0);
    EXPECT_EQ(ReadNumber("0e999999999"), 0.0);
}

TEST(ReadNumber, IntegerFieldsTruncateAndWrap) {
    auto asByte = [](const char* text) {
        return static_cast<std::uint8_t>(*TruncateToBits(*ReadNumber(text)));
    };
    EXPECT_EQ(asByte("300"), 44);
    EXPECT_EQ(asByte("2.9"), 2);
    EXPECT_EQ(asByte("-1"), 255);
    EXPECT_EQ(asByte("-2.9"), 254);
    EXPECT_EQ(asByte("1e30"), static_cast<std::uint8_t>(std::fmod(1e30, 256.0)));
    EXPECT_EQ(static_cast<std::int32_t>(*TruncateToBits(-5.0)), -5);
    EXPECT_EQ(static_cast<std::uint16_t>(*TruncateToBits(70000.0)), 70000 - 65536);
    EXPECT_FALSE(TruncateToBits(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(TruncateToBits(std::numeric_limits<double>::infinity()));
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

TEST_F(FormatValueTest, UserUnitConversionAndUnitText) {
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, true, true, 12345.6f),
              "  12.3456E+3 \xC2\xB0"
              "C");
    image.Dis_User.Einheiten = 1;
    image.UserEinheiten[quantity::Temperature].Kind = 1;  // degrees Fahrenheit
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, true, true, 12345.6f),
              "  22.2541E+3 \xC2\xB0"
              "F");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, true, false, 12345.6f),
              "  22.2541E+3 \xC2\xB0"
              "F     ");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Temperature, false, true, 100.0f),
              " 212.0000   ");
}

TEST_F(FormatValueTest, BaseUnitsFromQuantityEightOn) {
    image.Dis_User.Einheiten = 1;
    for (auto& unit : image.UserEinheiten) unit.Kind = 1;
    // Calorific value is shown in Wh/m3 with factor 1000, user units or not.
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::CalorificValue, true, true, 2.5f),
              "   2.5000E+3 Wh/m\xC2\xB3");
    EXPECT_EQ(FormatValue(image, medium::Gas, quantity::Frequency, true, true, 50.0f),
              "  50.0000    Hz");
}

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
    EXPECT_EQ(FormatDeviceDateTime({2024, 13, 1, 0, 0, 0}), "??.??.???? ??:??:??");
    EXPECT_EQ(FormatDeviceDateTime({2024, 0, 1, 0, 0, 0}), "??.??.???? ??:??:??");
    EXPECT_EQ(FormatDeviceDateTime({2024, 1, 0, 0, 0, 0}), "??.??.???? ??:??:??");
    EXPECT_EQ(FormatDeviceDateTime({2024, 1, 32, 0, 0, 0}), "??.??.???? ??:??:??");
}

}  // namespace
}  // namespace parvion

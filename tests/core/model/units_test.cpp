#include "core/model/units.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "core/model/defaults.h"
#include "core/model/value_format.h"

namespace parvion {
namespace {

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

// Rows found by what they mean (variant, quantity, choice), not by place.
TEST(UnitTable, SampleRows) {
    struct Row {
        int medium;
        std::uint8_t quantity, choice;
        std::string_view device, display;
        float factor, offset;
    };
    const Row rows[] = {
        {medium::Gas, 0, 1, "   \337F", " \302\260F     ", 1.8f, 32.0f},
        {medium::Energy, 0, 2, "    K", " K      ", 1.0f, 273.15f},
        {medium::Gas, 2, 0, "kg/m3", " kg/m\xC2\xB3  ", 1.0f, 0.0f},
        {medium::Gas, 3, 1, "Nm3/M", " Nm\xC2\xB3/min", 0.016666668f, 0.0f},
        {medium::Energy, 3, 5, "kcl/h", " kcal/h ", 859.8452f, 0.0f},
        {medium::Gas, 4, 8, "  t/s", " t/s    ", 0.0000002777778f, 0.0f},
        {medium::Gas, 5, 1, "    l", " Nl     ", 1000.0f, 0.0f},
        {medium::Energy, 5, 6, "  cal", " cal    ", 859845.25f, 0.0f},
        {medium::Gas, 15, 0, "   mA", " mA     ", 1.0f, 0.0f},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.medium << "/" << int{r.quantity} << "/" << int{r.choice});
        const UnitRow* row = FindUnitRow(r.medium, r.quantity, r.choice);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->DeviceText, r.device);
        EXPECT_EQ(row->DisplayText, r.display);
        EXPECT_EQ(row->Factor, r.factor);
        EXPECT_EQ(row->Offset, r.offset);
    }
    EXPECT_EQ(FindUnitRow(medium::Gas, 2, 0)->Code, '4');
}

TEST(BaseUnits, VariantRowsForFlowAndTotal) {
    for (std::size_t q = 0; q < kQuantityCount; ++q) {
        SCOPED_TRACE(q);
        for (const auto* table : {&GasBaseUnits, &EnergyBaseUnits}) {
            const UnitRow& row = (*table)[q];
            EXPECT_EQ(row.System, 0);
            EXPECT_EQ(row.Quantity, q);
            EXPECT_EQ(row.Choice, 0);
            EXPECT_EQ(row.Factor, q == 10 || q == 12 ? 1000.0f : 1.0f);
            EXPECT_EQ(row.Offset, 0.0f);
        }
        if (q != 3 && q != 5) {
            EXPECT_EQ(GasBaseUnits[q].DisplayText, EnergyBaseUnits[q].DisplayText);
        }
    }
    EXPECT_EQ(GasBaseUnits[3].DisplayText, " Nm\xC2\xB3/h  ");
    EXPECT_EQ(EnergyBaseUnits[3].DisplayText, " kW     ");
    EXPECT_EQ(GasBaseUnits[5].DisplayText, " Nm\xC2\xB3    ");
    EXPECT_EQ(EnergyBaseUnits[5].DisplayText, " kWh    ");
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
    EXPECT_EQ(UnitText(image, medium::Gas, 0, false),
              " \xC2\xB0"
              "C     ");
    EXPECT_EQ(UnitText(image, medium::Gas, 0, true),
              " \xC2\xB0"
              "C");
    EXPECT_EQ(UnitText(image, medium::Gas, 7, true), " m\xC2\xB3/h");
}

TEST(UnitConversion, BothDirections) {
    const UnitRow* fahrenheit = FindUnitRow(medium::Gas, 0, 1);
    ASSERT_NE(fahrenheit, nullptr);
    EXPECT_FLOAT_EQ(ToDisplayUnit(fahrenheit, 100.0f), 212.0f);
    EXPECT_FLOAT_EQ(FromDisplayUnit(fahrenheit, 32.0f), 0.0f);
    EXPECT_FLOAT_EQ(ToDisplayUnit(fahrenheit, -273.15f), -459.67f);
    // The value dialog's caption for the temperature limits in Fahrenheit.
    EXPECT_EQ(FormatGeneral(static_cast<double>(ToDisplayUnit(fahrenheit, -273.15f)), 5) + " .. " +
                  FormatGeneral(static_cast<double>(ToDisplayUnit(fahrenheit, 1500.0f)), 5),
              "-459.67 .. 2732");
    const UnitRow* bar = FindUnitRow(medium::Energy, 1, 1);
    EXPECT_FLOAT_EQ(FromDisplayUnit(bar, 2.5f), 250.0f);
    EXPECT_EQ(ToDisplayUnit(nullptr, 7.0f), 7.0f);
    EXPECT_EQ(FromDisplayUnit(nullptr, 7.0f), 7.0f);
}

TEST(FindUnitRow, TheRowOfTheVariantOrNone) {
    const std::tuple<int, std::uint8_t, std::uint8_t, const char*> cases[] = {
        {medium::Gas, 3, 0, "Nm3/h"},    {medium::Energy, 3, 0, "   kW"},
        {medium::Energy, 5, 8, "  Btu"}, {medium::Gas, 5, 3, nullptr},
        {medium::Gas, 4, 11, " lb/s"},   {medium::Gas, 4, 12, nullptr},
    };
    for (const auto& [m, q, choice, text] : cases) {
        const UnitRow* row = FindUnitRow(m, q, choice);
        EXPECT_EQ(row ? row->DeviceText : std::string_view("none"), text ? text : "none")
            << m << "/" << int{q} << "/" << int{choice};
        if (row) {
            EXPECT_EQ(std::pair(row->Quantity, row->Choice), std::pair(q, choice));
        }
    }
}

}  // namespace
}  // namespace parvion

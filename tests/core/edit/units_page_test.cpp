// The units page: the radio items each variant offers, their columns, and a
// unit chosen offline.

#include <gtest/gtest.h>

#include "core/edit/circuit_page.h"
#include "core/edit/units_page.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;

TEST(UnitsPage, EachVariantListsItsOwnUnits) {
    struct Case {
        int medium;
        std::uint8_t quantity;
        std::size_t count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {medium::Gas, 3, 9, "Nm³/h", "SCF/s"},   // standard volume flow
        {medium::Energy, 3, 6, "kW", "kcal/h"},  // power
        {medium::Gas, 0, 3, "°C", "K"},         {medium::Energy, 1, 5, "kPa", "mWS"},
        {medium::Gas, 4, 12, "kg/h", "lb/s"},   {medium::Gas, 5, 3, "Nm³", "SCF"},
        {medium::Energy, 5, 9, "kWh", "Btu"},   {medium::Gas, 7, 9, "m³/h", "CF/s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.medium) + "/" + std::to_string(c.quantity));
        const std::vector<std::string> items = UnitChoices(c.medium, c.quantity);
        ASSERT_EQ(items.size(), c.count);
        EXPECT_EQ(items.front(), c.first);  // without the blanks around the unit
        EXPECT_EQ(items.back(), c.last);
    }
    for (const auto& [count, columns] :
         std::vector<std::pair<std::size_t, int>>{{12, 3}, {4, 1}, {5, 2}, {9, 3}}) {
        EXPECT_EQ(UnitColumns(count), columns) << count;
    }
}

TEST(UnitsPage, AUnitChosenOfflineShowsAtOnceAndSendsNothing) {
    EditRig rig;
    rig.goOffline();
    const auto served = rig.device.framesServed();
    ParameterImage& im = rig.image;
    test::SetFields(im, "Dis_User Einheiten=1 T_User0 Kind=1 Eq=0 Min=100 Max=200");

    ASSERT_TRUE(SelectUnit(*rig.link, im, 0, 1));  // °F
    EXPECT_EQ(im.UserEinheiten[0].Kind, 1);
    EXPECT_EQ(im.UserEinheiten[0].Factor, 1.8f);
    EXPECT_EQ(im.UserEinheiten[0].Offset, 32.0f);
    const auto lines =
        GroupListTexts(im, medium::Gas, 0, CircuitGroup::Temperature, rig.blocks, rig.format);
    EXPECT_EQ(lines.at(0), "Value at 4 mA      212.0000    °F");

    // A unit the variant does not have: nothing changes.
    const ParameterImage before = im;
    EXPECT_FALSE(SelectUnit(*rig.link, im, 0, 3));
    EXPECT_FALSE(SelectUnit(*rig.link, im, 3, 6 + 9));
    EXPECT_FALSE(SelectUnit(*rig.link, im, kUnitPageQuantities, 0));
    EXPECT_FALSE(SelectUnit(*rig.link, im, 1, -1));
    EXPECT_EQ(im, before);

    // Off keeps the unit selections.
    SwitchUserUnits(*rig.link, im, false);
    EXPECT_EQ(test::FieldValues(im, "Dis_User Einheiten=0 UserEinheiten0 Kind=1"),
              "Dis_User Einheiten=0 UserEinheiten0 Kind=1");
    EXPECT_FALSE(FillUnitsPage(*rig.link, im, true));
    EXPECT_EQ(rig.device.framesServed(), served);
}

}  // namespace
}  // namespace parvion::edit

#include "core/model/defaults.h"

#include <gtest/gtest.h>

#include "core/model/units.h"

namespace parvion {
namespace {

TEST(ResetParameters, VariantUnitsAndMasks) {
    ParameterImage gas;
    ResetParameters(gas, medium::Gas);
    ParameterImage energy;
    ResetParameters(energy, medium::Energy);

    EXPECT_EQ(energy.UserEinheiten[3].Text, "   kW");
    EXPECT_EQ(energy.UserEinheiten[5].Text, "  kWh");
    EXPECT_EQ(gas.UserEinheiten[3].Text, "Nm3/h");
    EXPECT_EQ(gas.UserEinheiten[5].Text, "  Nm3");
    EXPECT_EQ(gas.UserEinheiten[0].Text,
              "   \xDF"
              "C");
    EXPECT_EQ(gas.UserEinheiten[2].Code, '4');
    EXPECT_EQ(gas.UserEinheiten[10].Factor, 1000.0f);
    for (const auto& unit : energy.UserEinheiten) EXPECT_EQ(unit.Kind, 0);

    EXPECT_EQ(gas.System.KindMask, 1);
    EXPECT_EQ(energy.System.KindMask, 5);
    EXPECT_EQ(gas.Display, (DisplayRec{127, 127, 0, 0}));
    EXPECT_EQ(energy.Display, (DisplayRec{127, 127, 40, 0}));
    // The natural-gas set is there for both variants.
    EXPECT_EQ(energy.EG_User, (EG_UserRec{10.0f, 10.0f, 5.0f, 1.0f}));
}

TEST(ResetParameters, EveryRecordGetsItsDefault) {
    ParameterImage image;
    // Fill with junk first so that every default must really be written.
    for (auto& t : image.T_User) t.Max = 5;
    image.Des_User[1].DesQN = 3;
    image.Imp_User[0].Compare = 9;
    image.Alm_User[1].Param = 4;
    image.Dis_User.Einheiten = 1;
    image.Vorgaben[7] = 8;
    image.System.Kind = 3;
    image.System.Dummy4 = -7;
    image.Med_User[0].Ready = 1;
    image.Bemerkung = {"old", "remarks"};
    ResetParameters(image, medium::Gas);

    for (std::size_t c = 0; c < 2; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(image.T_User[c], T_UserRec{});
        EXPECT_EQ(image.P_User[c].Hyd, 100.0f);
        EXPECT_EQ(image.P_User[c].Konst, 100.0f);
        EXPECT_EQ(image.P_User[c].Max, 0.0f);
        EXPECT_EQ(image.Flow_User[c].MaxFreq, 9999);
        EXPECT_EQ(image.Flow_User[c].Exp_zahl, 1.0f);
        EXPECT_EQ(image.Bez_User[c], (Bez_UserRec{0, 0, 0, 1.0f}));
        EXPECT_EQ(image.Des_User[c], Des_UserRec{});
        EXPECT_EQ(image.Med_User[c].Dummy2, '0');
        EXPECT_EQ(image.Med_User[c].Ready, 0);
        EXPECT_EQ(image.Imp_User[c], Imp_UserRec{});
        EXPECT_EQ(image.Alm_User[c], Alm_UserRec{});
        for (float f : image.FlowKorr[c].Stelle) EXPECT_EQ(f, 1.0f);
    }
    const std::uint8_t params[4] = {1, 4, 9, 12};
    const float maxima[4] = {1000.0f, 100000.0f, 1000.0f, 100000.0f};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(image.Aus_User[i], (Aus_UserRec{0, 0, 40, params[i], 0.0f, maxima[i], 2.5f}));
    }
    EXPECT_EQ(image.Dis_User, Dis_UserRec{});
    EXPECT_EQ(image.Trend_User, (Trend_UserRec{0, 0, 0, 60}));
    EXPECT_EQ(image.Grenzwerte, (GrenzwerteRec{1.4125f, 1.375f, 0.24f, 0.225f}));
    EXPECT_EQ(image.System.Kind, 0);
    EXPECT_EQ(image.System.Dummy4, 0);
    EXPECT_EQ(image.System.Faktor, 1.0f);
    for (float v : image.Vorgaben) EXPECT_EQ(v, 0.0f);
    EXPECT_TRUE(image.Bemerkung.empty());
}

TEST(ResetParameters, KeepsExpansionLevelOperatingBlockAndOnlineMask) {
    ParameterImage image;
    image.System.Ausbaustufe = ausbaustufe::BasicA1;
    image.System.KindMask = 0x07;
    image.Betrieb.Bytes = {5, 1, 2, 3};
    ResetParameters(image, medium::Energy, /*online=*/true);
    EXPECT_EQ(image.System.Ausbaustufe, ausbaustufe::BasicA1);
    EXPECT_EQ(image.System.KindMask, 0x07);
    EXPECT_EQ(image.Betrieb.Bytes, (std::array<std::uint8_t, 4>{5, 1, 2, 3}));
    ResetParameters(image, medium::Energy, /*online=*/false);
    EXPECT_EQ(image.System.KindMask, 5);
}

}  // namespace
}  // namespace parvion

#include "core/model/defaults.h"

#include "core/model/units.h"
#include "core/model/variant.h"

namespace parvion {

void ResetParameters(ParameterImage& image, int medium, bool online) {
    const Variant& variant = VariantOf(medium);
    // The defaults are no device's records.
    image.marks.forgetAll();

    for (std::size_t c = 0; c < 2; ++c) {
        image.T_User[c] = T_UserRec{};

        image.P_User[c] = P_UserRec{};
        image.P_User[c].Hyd = 100.0f;
        image.P_User[c].Konst = 100.0f;

        image.Flow_User[c] = Flow_UserRec{};
        image.Flow_User[c].MaxFreq = 9999;
        image.Flow_User[c].Exp_zahl = 1.0f;

        image.Bez_User[c] = Bez_UserRec{};
        image.Bez_User[c].Faktor = 1.0f;

        image.Des_User[c] = Des_UserRec{};

        image.Med_User[c] = Med_UserRec{};
        image.Med_User[c].Dummy2 = '0';  // SGERG-88 status: no fault
    }

    image.EG_User = EG_UserRec{10.0f, 10.0f, 5.0f, 1.0f};  // whatever the variant

    for (std::size_t c = 0; c < 2; ++c) {
        image.Imp_User[c] = Imp_UserRec{};
        image.Alm_User[c] = Alm_UserRec{};
    }

    constexpr std::uint8_t kParams[4] = {1, 4, 9, 12};
    constexpr float kMax[4] = {1000.0f, 100000.0f, 1000.0f, 100000.0f};
    for (std::size_t i = 0; i < 4; ++i) {
        Aus_UserRec& out = image.Aus_User[i];
        out = Aus_UserRec{};
        out.Konstant = 40;
        out.Param = kParams[i];
        out.Min = 0;
        out.Max = kMax[i];
        out.Err = 2.5f;
    }

    image.Dis_User = Dis_UserRec{};  // user units off

    const auto& base = BaseUnits(medium);
    for (std::size_t q = 0; q < kQuantityCount; ++q) ApplyUnitRow(image.UserEinheiten[q], base[q]);

    image.Trend_User = Trend_UserRec{};
    image.Trend_User.Time = 60;

    for (FlowKorrRec& korr : image.FlowKorr) korr.Stelle.fill(1.0f);

    image.Grenzwerte = GrenzwerteRec{1.4125f, 1.375f, 0.24f, 0.225f};

    SystemRec& sys = image.System;
    sys.Anzahl = 0;
    sys.Kind = 0;
    sys.Lang = 0;
    sys.Dummy3 = 0;
    sys.Dummy4 = 0;
    sys.Faktor = 1.0f;
    sys.Dummy6 = 0;
    if (!online) sys.KindMask = variant.kindMask;

    image.Vorgaben.fill(0.0f);

    image.Display = DisplayRec{127, 127, variant.displayBox, 0};

    image.Bemerkung.clear();
}

}  // namespace parvion

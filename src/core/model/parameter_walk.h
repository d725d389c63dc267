#pragma once
// The layout of a parameter file as one walk over a parameter image. Used by
// the parameter file reader and writer and by the field list of
// parameter_diff.h; not part of the public interface.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/model/parameter_image.h"
#include "core/model/units.h"

namespace parvion::parameter_walk {

inline std::string Indexed(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index);
}

// Accepted range of a float field and the value that replaces one outside it.
struct Range {
    float lo;
    float hi;
    float fallback;
};

// The sections from T_User to Vorgaben/Display, in writing order: the one
// table of sections, keys, formats, reader defaults, availability rules and
// clamps. Saving, loading and listing the fields of an image all walk it, so
// they cannot drift apart. Image is ParameterImage or const ParameterImage.
//
// A visitor V provides:
//   section(name)                      the section the next keys belong to;
//   include(available) -> bool         whether to visit a record whose
//                                      presence depends on the expansion level;
//   integer(key, field, def[, available])
//   real(key, field, def[, range])     one key with its reader default.
template <class V, class Image>
void VisitRecords(V& v, Image& img, int medium) {
    const bool c2 = img.circuit2Present();
    const bool energy = medium != medium::Gas;

    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.T_User[n];
        v.section(Indexed("T_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Eq", r.Eq, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Dummy4", r.Dummy4, "0");
        v.real("Diff", r.Diff, "0");
        v.real("Toff", r.Toff, "0");
        v.real("Konst", r.Konst, "0");
        v.real("Dummy3", r.Dummy3, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.P_User[n];
        v.section(Indexed("P_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Eq", r.Eq, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Hyd", r.Hyd, "100.0");
        v.real("Err", r.Err, "0");
        v.real("Konst", r.Konst, "100.0");
        v.real("Dummy3", r.Dummy3, "0");
        v.real("Dummy4", r.Dummy4, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Flow_User[n];
        v.section(Indexed("Flow_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Eq", r.Eq, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("MaxFreq", r.MaxFreq, "9999");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("KFak", r.KFak, "0");
        v.real("TKK", r.TKK, "0");
        v.real("BTemp", r.BTemp, "0");
        v.real("Schleich", r.Schleich, "0");
        v.real("Exp_zahl", r.Exp_zahl, "1.0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Des_User[n];
        v.section(Indexed("Des_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.real("DesQN", r.DesQN, "0");
        v.real("DesT", r.DesT, "0");
        v.real("Desp", r.Desp, "0");
        v.real("Desdp", r.Desdp, "0");
        v.real("DesRho", r.DesRho, "0");
        v.real("Desdp2", r.Desdp2, "0");
        v.real("Desdp3", r.Desdp3, "0");
        v.real("Desdp4", r.Desdp4, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Med_User[n];
        v.section(Indexed("Med_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Ready", r.Ready, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Rho", r.Rho, "0");
        v.real("RN", r.RN, "0");
        v.real("BT", r.BT, "0");
        v.real("Bp", r.Bp, "0");
        v.real("BRho", r.BRho, "0");
        v.real("WKapa", r.WKapa, "0");
        v.real("Satt_Tol", r.Satt_Tol, "0");
    }
    if (!energy) {
        auto& r = img.EG_User;
        v.section("EG_User");
        v.real("Ho", r.Ho, "10.0");
        v.real("CO2", r.CO2, "10.0");
        v.real("H2", r.H2, "5.0");
        v.real("Rho", r.Rho, "1.0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Bez_User[n];
        v.section(Indexed("Bez_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.real("T0", r.T0, "0");
        v.real("p0", r.p0, "0");
        v.real("h0", r.h0, "0");
        v.real("Faktor", r.Faktor, "1");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Imp_User[n];
        v.section(Indexed("Imp_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Dummy3", r.Dummy3, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Compare", r.Compare, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {  // both relays, whatever the expansion level
        auto& r = img.Alm_User[n];
        v.section(Indexed("Alm_User", n));
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Param", r.Param, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Dummy3", r.Dummy3, "0");
    }
    for (std::size_t n = 0; n < 4; ++n) {
        auto& r = img.Aus_User[n];
        v.section(Indexed("Aus_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Konstant", r.Konstant, "0");
        v.integer("Param", r.Param, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Err", r.Err, "0");
    }
    {
        auto& r = img.Dis_User;
        v.section("Dis_User");
        v.integer("Kind", r.Kind, "0", c2);
        v.integer("Einheiten", r.Einheiten, "0");
        v.integer("First", r.First, "0");
        v.integer("CalcError", r.CalcError, "0");
    }
    for (std::size_t n = 0; n < kQuantityCount; ++n) {
        v.section(Indexed("UserEinheiten", n));
        v.integer("Kind", img.UserEinheiten[n].Kind, "0");
    }
    {
        auto& r = img.Trend_User;
        v.section("Trend_User");
        if (v.include(img.trendPresent())) {
            v.integer("Dummy1", r.Dummy1, "0");
            v.integer("Dummy2", r.Dummy2, "0");
            v.integer("Param", r.Param, "0");
            v.integer("Time", r.Time, "60");
        }
    }
    for (std::size_t n = 0; n < 2; ++n) {
        v.section(Indexed("FlowKorr_", n + 1));
        if (!v.include(n == 0 || c2)) continue;
        for (std::size_t i = 0; i < 8; ++i) {
            v.real(Indexed("Stelle", i), img.FlowKorr[n].Stelle[i], "1", Range{0.25f, 10.0f, 1.0f});
        }
    }
    {
        auto& r = img.Grenzwerte;
        v.section("Grenzwerte");
        v.real("U_Max", r.U_Max, "1.31250", Range{1.25f, 1.5f, 1.3125f});
        v.real("U_Min", r.U_Min, "1.28125", Range{1.25f, 1.5f, 1.28125f});
        v.real("L_Max", r.L_Max, "0.24000", Range{0.125f, 0.25f, 0.24f});
        v.real("L_Min", r.L_Min, "0.22500", Range{0.125f, 0.25f, 0.225f});
    }
    {
        auto& r = img.System;
        v.section("System");
        v.integer("Anzahl", r.Anzahl, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Lang", r.Lang, "0");
        v.integer("Dummy3", r.Dummy3, "0");
        v.integer("Dummy4", r.Dummy4, "0");
        v.real("Faktor", r.Faktor, "1");
        v.real("Dummy6", r.Dummy6, "0");
    }
    v.section("Vorgaben");
    for (std::size_t i = 0; i < img.Vorgaben.size(); ++i) {
        v.real(Indexed("Vorgabe", i + 1), img.Vorgaben[i], "0");
    }
    {
        auto& r = img.Display;
        v.section("Display");
        v.integer("Enable1", r.Enable1, "127");
        v.integer("Enable2", r.Enable2, "127");
        v.integer("Enable3", r.Enable3, energy ? "40" : "0");
        v.integer("Enable4", r.Enable4, "0");
    }
}

}  // namespace parvion::parameter_walk

#include "core/model/parameter_diff.h"

#include <cstddef>
#include <string_view>
#include <type_traits>

#include "core/model/units.h"
#include "core/model/value_format.h"

namespace parvion {

namespace {

std::string Indexed(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index);
}

// Collects the fields of one image; `skip` leaves a whole section or field
// out (the availability rules).
class Collector {
  public:
    explicit Collector(std::vector<ParameterField>& out) : out_(out) {}

    void section(std::string name) { section_ = std::move(name); }
    template <class T>
    void integer(std::string_view key, const T& field, bool present = true) {
        static_assert(std::is_integral_v<T>);
        if (!present) return;
        out_.push_back({section_, std::string(key), std::to_string(static_cast<long long>(field))});
    }
    void real(std::string_view key, float field, bool present = true) {
        if (!present) return;
        out_.push_back({section_, std::string(key), FormatFileFloat(field)});
    }

  private:
    std::vector<ParameterField>& out_;
    std::string section_;
};

}  // namespace

std::vector<ParameterField> ListParameterFields(const ParameterImage& img, int medium,
                                                bool presentOnly) {
    std::vector<ParameterField> out;
    Collector v(out);
    const bool c2 = !presentOnly || img.circuit2Present();
    const bool trend = !presentOnly || img.trendPresent();
    const bool gas = medium == medium::Gas;

    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.T_User[n];
        v.section(Indexed("T_User", n));
        v.integer("Dummy1", r.Dummy1, on);
        v.integer("Dummy2", r.Dummy2, on);
        v.integer("Kind", r.Kind, on);
        v.integer("Eq", r.Eq, on);
        v.real("Min", r.Min, on);
        v.real("Max", r.Max, on);
        v.real("Dummy4", r.Dummy4, on);
        v.real("Diff", r.Diff, on);
        v.real("Toff", r.Toff, on);
        v.real("Konst", r.Konst, on);
        v.real("Dummy3", r.Dummy3, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.P_User[n];
        v.section(Indexed("P_User", n));
        v.integer("Dummy1", r.Dummy1, on);
        v.integer("Dummy2", r.Dummy2, on);
        v.integer("Kind", r.Kind, on);
        v.integer("Eq", r.Eq, on);
        v.real("Min", r.Min, on);
        v.real("Max", r.Max, on);
        v.real("Hyd", r.Hyd, on);
        v.real("Err", r.Err, on);
        v.real("Konst", r.Konst, on);
        v.real("Dummy3", r.Dummy3, on);
        v.real("Dummy4", r.Dummy4, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Flow_User[n];
        v.section(Indexed("Flow_User", n));
        v.integer("Eq", r.Eq, on);
        v.integer("Kind", r.Kind, on);
        v.integer("MaxFreq", r.MaxFreq, on);
        v.real("Min", r.Min, on);
        v.real("Max", r.Max, on);
        v.real("KFak", r.KFak, on);
        v.real("TKK", r.TKK, on);
        v.real("BTemp", r.BTemp, on);
        v.real("Schleich", r.Schleich, on);
        v.real("Exp_zahl", r.Exp_zahl, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Des_User[n];
        v.section(Indexed("Des_User", n));
        v.real("DesQN", r.DesQN, on);
        v.real("DesT", r.DesT, on);
        v.real("Desp", r.Desp, on);
        v.real("Desdp", r.Desdp, on);
        v.real("DesRho", r.DesRho, on);
        v.real("Desdp2", r.Desdp2, on);
        v.real("Desdp3", r.Desdp3, on);
        v.real("Desdp4", r.Desdp4, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Med_User[n];
        v.section(Indexed("Med_User", n));
        v.integer("Dummy1", r.Dummy1, on);
        v.integer("Dummy2", r.Dummy2, on);
        v.integer("Ready", r.Ready, on);
        v.integer("Kind", r.Kind, on);
        v.real("Rho", r.Rho, on);
        v.real("RN", r.RN, on);
        v.real("BT", r.BT, on);
        v.real("Bp", r.Bp, on);
        v.real("BRho", r.BRho, on);
        v.real("WKapa", r.WKapa, on);
        v.real("Satt_Tol", r.Satt_Tol, on);
    }
    if (gas) {
        v.section("EG_User");
        v.real("Ho", img.EG_User.Ho);
        v.real("CO2", img.EG_User.CO2);
        v.real("H2", img.EG_User.H2);
        v.real("Rho", img.EG_User.Rho);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Bez_User[n];
        v.section(Indexed("Bez_User", n));
        v.real("T0", r.T0, on);
        v.real("p0", r.p0, on);
        v.real("h0", r.h0, on);
        v.real("Faktor", r.Faktor, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Imp_User[n];
        v.section(Indexed("Imp_User", n));
        v.integer("Dummy1", r.Dummy1, on);
        v.integer("Dummy2", r.Dummy2, on);
        v.integer("Dummy3", r.Dummy3, on);
        v.integer("Kind", r.Kind, on);
        v.real("Compare", r.Compare, on);
    }
    for (std::size_t n = 0; n < 2; ++n) {  // both relays, whatever the expansion level
        const auto& r = img.Alm_User[n];
        v.section(Indexed("Alm_User", n));
        v.integer("Dummy1", r.Dummy1);
        v.integer("Dummy2", r.Dummy2);
        v.integer("Param", r.Param);
        v.integer("Kind", r.Kind);
        v.real("Min", r.Min);
        v.real("Max", r.Max);
        v.real("Dummy3", r.Dummy3);
    }
    for (std::size_t n = 0; n < 4; ++n) {
        const bool on = n == 0 || c2;
        const auto& r = img.Aus_User[n];
        v.section(Indexed("Aus_User", n));
        v.integer("Dummy1", r.Dummy1, on);
        v.integer("Dummy2", r.Dummy2, on);
        v.integer("Konstant", r.Konstant, on);
        v.integer("Param", r.Param, on);
        v.real("Min", r.Min, on);
        v.real("Max", r.Max, on);
        v.real("Err", r.Err, on);
    }
    v.section("Dis_User");
    v.integer("Kind", img.Dis_User.Kind, c2);
    v.integer("Einheiten", img.Dis_User.Einheiten);
    v.integer("First", img.Dis_User.First);
    v.integer("CalcError", img.Dis_User.CalcError);
    for (std::size_t n = 0; n < kQuantityCount; ++n) {
        v.section(Indexed("UserEinheiten", n));
        v.integer("Kind", img.UserEinheiten[n].Kind);
    }
    v.section("Trend_User");
    v.integer("Dummy1", img.Trend_User.Dummy1, trend);
    v.integer("Dummy2", img.Trend_User.Dummy2, trend);
    v.integer("Param", img.Trend_User.Param, trend);
    v.integer("Time", img.Trend_User.Time, trend);
    for (std::size_t n = 0; n < 2; ++n) {
        const bool on = n == 0 || c2;
        v.section(Indexed("FlowKorr_", n + 1));
        for (std::size_t i = 0; i < 8; ++i)
            v.real(Indexed("Stelle", i), img.FlowKorr[n].Stelle[i], on);
    }
    v.section("Grenzwerte");
    v.real("U_Max", img.Grenzwerte.U_Max);
    v.real("U_Min", img.Grenzwerte.U_Min);
    v.real("L_Max", img.Grenzwerte.L_Max);
    v.real("L_Min", img.Grenzwerte.L_Min);
    v.section("System");
    v.integer("Anzahl", img.System.Anzahl);
    v.integer("Kind", img.System.Kind);
    v.integer("Lang", img.System.Lang);
    v.integer("Dummy3", img.System.Dummy3);
    v.integer("Dummy4", img.System.Dummy4);
    v.real("Faktor", img.System.Faktor);
    v.real("Dummy6", img.System.Dummy6);
    v.section("Vorgaben");
    for (std::size_t i = 0; i < img.Vorgaben.size(); ++i) {
        v.real(Indexed("Vorgabe", i + 1), img.Vorgaben[i]);
    }
    v.section("Display");
    v.integer("Enable1", img.Display.Enable1);
    v.integer("Enable2", img.Display.Enable2);
    v.integer("Enable3", img.Display.Enable3);
    v.integer("Enable4", img.Display.Enable4);
    return out;
}

std::vector<ParameterDifference> DiffParameterImages(const ParameterImage& left,
                                                     const ParameterImage& right, int medium,
                                                     bool presentOnly) {
    // The right image is listed with the left one's expansion level, so that
    // both lists hold the same fields in the same order.
    ParameterImage rightAsLeft = right;
    rightAsLeft.System.Ausbaustufe = left.System.Ausbaustufe;
    const auto a = ListParameterFields(left, medium, presentOnly);
    const auto b = ListParameterFields(rightAsLeft, medium, presentOnly);
    std::vector<ParameterDifference> out;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].value != b[i].value)
            out.push_back({a[i].section, a[i].key, a[i].value, b[i].value});
    }
    return out;
}

}  // namespace parvion

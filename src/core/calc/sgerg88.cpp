#include "core/calc/sgerg88.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace parvion {

std::uint16_t SgergStatusExplanation(char status) {
    switch (status) {
        case sgerg_status::kValid:
            return 0;
        case sgerg_status::kRelativeDensityTooLow:
            return 22816;
        case sgerg_status::kNitrogenOutOfRange:
            return 22817;
        case sgerg_status::kNitrogenPlusCarbonDioxideTooHigh:
            return 22818;
        case sgerg_status::kStandardDensityTooLow:
            return 22819;
        default:
            return 22820;
    }
}
namespace {

// ---- Constants -------------------------------------------------------------

constexpr double kAirDensity = 1.292923;       // kg/m³ at 273.15 K, 1.01325 bar
constexpr double kIdealMolarVolume = 22.4141;  // m³/kmol
constexpr double kGasConstant = 0.0831451;     // bar·m³/(kmol·K)
constexpr double kStandardTemperature = 273.15;
constexpr double kStandardPressure = 1.01325;
constexpr double kCalorificH2 = 285.83;  // kJ/mol
constexpr double kCalorificCO = 282.98;  // kJ/mol
constexpr double kMolarMassN2 = 28.0135;
constexpr double kMolarMassCO2 = 44.010;
constexpr double kMolarMassH2 = 2.0159;
constexpr double kMolarMassCO = 28.010;
constexpr double kCOPerH2 = 0.0964;
constexpr double kStartH = 1000.0;  // kJ/mol
constexpr double kStartB = -0.065;  // m³/kmol

// ---- Coefficients ----------------------------------------------------------

using Quadratic = std::array<double, 3>;      // a0 + a1 T + a2 T²
using HQuadratic = std::array<Quadratic, 3>;  // index = power of H

constexpr HQuadratic kB11 = {{
    {-0.425468, 0.286500E-2, -0.462073E-5},
    {0.877118E-3, -0.556281E-5, 0.881510E-8},
    {-0.824747E-6, 0.431436E-8, -0.608319E-11},
}};
constexpr Quadratic kB22 = {-0.144600, 0.740910E-3, -0.911950E-6};
constexpr Quadratic kB33 = {-0.868340, 0.403760E-2, -0.516570E-5};
constexpr Quadratic kB44 = {-0.110596E-2, 0.813385E-4, -0.987220E-7};
constexpr Quadratic kB55 = {-0.130820, 0.602540E-3, -0.644300E-6};
constexpr Quadratic kB14 = {-0.521280E-1, 0.271570E-3, -0.250000E-6};
constexpr Quadratic kB15 = {-0.687290E-1, -0.239381E-5, 0.518195E-6};
constexpr Quadratic kB23 = {-0.339693, 0.161176E-2, -0.204429E-5};
constexpr double kB24 = 0.012;

constexpr HQuadratic kC111 = {{
    {-0.302488, 0.195861E-2, -0.316302E-5},
    {0.646422E-3, -0.422876E-5, 0.688157E-8},
    {-0.332805E-6, 0.223160E-8, -0.367713E-11},
}};
constexpr Quadratic kC222 = {0.784980E-2, -0.398950E-4, 0.611870E-7};
constexpr Quadratic kC333 = {0.205130E-2, 0.348880E-4, -0.837030E-7};
constexpr Quadratic kC444 = {0.104711E-2, -0.364887E-5, 0.467095E-8};
constexpr Quadratic kC115 = {0.736748E-2, -0.276578E-4, 0.343051E-7};
constexpr Quadratic kC223 = {0.552066E-2, -0.168609E-4, 0.157169E-7};
constexpr Quadratic kC233 = {0.358783E-2, 0.806674E-5, -0.325798E-7};

double Eval(const Quadratic& a, double t) {
    return a[0] + (a[1] + a[2] * t) * t;
}

double Eval(const HQuadratic& a, double h, double t) {
    return Eval(a[0], t) + (Eval(a[1], t) + Eval(a[2], t) * h) * h;
}

// ---- Characterisation of the gas -------------------------------------------

// Loop tolerances.
constexpr double kDensityTolerance = 1E-6;    // |ρn − ρn(H)|, kg/m³
constexpr double kCalorificTolerance = 1E-4;  // |Hs − Hc|, MJ/m³
constexpr double kPressureTolerance = 1E-5;   // |p' − p|, bar

// The fractions and standard density that follow from a trial H.
struct Trial {
    double f = 0.0;  // standard density, kg/m³
    double xCH = 0.0;
    double xN2 = 0.0;
};

struct Mixture {
    double xH2;
    double xCO2;
    double xCO;
    double hs;  // MJ/m³
};

Trial TrialAt(const Mixture& m, double h, double rhoMolarN) {
    Trial r;
    const double hydrogenHeat = kCalorificH2 * m.xH2 + kCalorificCO * m.xCO;
    r.xCH = m.hs / (h * rhoMolarN) - hydrogenHeat / h;
    r.xN2 = 1.0 - r.xCH - m.xCO2 - m.xH2 - m.xCO;
    const double molarMassCH = 0.021062199 * h - 2.709328;
    r.f = (r.xCH * molarMassCH + kMolarMassN2 * r.xN2 + kMolarMassCO2 * m.xCO2) * rhoMolarN +
          (kMolarMassH2 * m.xH2 + kMolarMassCO * m.xCO) * rhoMolarN;
    return r;
}

// The "standard density too low" test, written so that a NaN fails it.
bool StandardDensityTooLow(const Mixture& m, const Trial& t) {
    const double limit = 0.711 + 0.517 * t.xN2 + 1.255 * m.xCO2 - 0.581 * m.xH2;
    return !(t.f > limit);
}

// Solves for the equivalent hydrocarbon (H, fractions, standard molar density)
// and then Z at (tK, pBar). One counter n counts the secant steps of every
// pass; both loops stop once it exceeds the limit.
SgergZ Evaluate(double xH2, double xCO2, double d, double hsMJ, double tK, double pBar) {
    SgergZ out;
    const Mixture m{xH2, xCO2, kCOPerH2 * xH2, hsMJ};
    const double rhoN = kAirDensity * d;
    double h = kStartH;
    double rhoMolarN = 1.0 / (kIdealMolarVolume + kStartB);
    int n = 0;
    bool stalled = false;
    bool characterised = false;
    Trial trial;

    // A pass that takes no secant step does not advance n; the pass count
    // keeps such passes finite too.
    for (int pass = 0; pass <= kSgergIterationLimit; ++pass) {
        bool densityMet = false;
        for (;;) {
            trial = TrialAt(m, h, rhoMolarN);
            if (std::fabs(rhoN - trial.f) <= kDensityTolerance) {
                densityMet = true;
                break;
            }
            const double slope = TrialAt(m, h + 1.0, rhoMolarN).f - trial.f;
            const double next = h + (rhoN - trial.f) / slope;
            if (!std::isfinite(next) || next == 0.0) {
                // Flat or broken density curve (no calorific value, an
                // infinite target): no H explains the gas. The fractions
                // become NaN, which every validity test rejects.
                stalled = true;
                trial = Trial{std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::quiet_NaN()};
                break;
            }
            h = next;
            ++n;
            if (n > kSgergIterationLimit) break;
        }
        if (StandardDensityTooLow(m, trial)) out.standardDensityTooLow = true;

        const double b0 =
            SGERG_B(h, kStandardTemperature, m.xCO, m.xH2, m.xCO2, trial.xN2, trial.xCH);
        rhoMolarN = 1.0 / (kIdealMolarVolume + b0);
        const double hc =
            trial.xCH * h * rhoMolarN + (kCalorificH2 * m.xH2 + kCalorificCO * m.xCO) * rhoMolarN;
        const bool calorificMet = std::fabs(hsMJ - hc) <= kCalorificTolerance;
        characterised = densityMet && calorificMet;
        if (calorificMet || stalled || n > kSgergIterationLimit || !std::isfinite(hc)) break;
    }

    out.h = h;
    out.xCH = trial.xCH;
    out.xN2 = trial.xN2;
    out.xCO = m.xCO;
    out.rhoN = trial.f;
    out.rhoMolarN = rhoMolarN;
    out.iterations = n;
    out.b = SGERG_B(h, tK, m.xCO, m.xH2, m.xCO2, trial.xN2, trial.xCH);
    out.c = SGERG_C(h, tK, m.xCO, m.xH2, m.xCO2, trial.xN2, trial.xCH);

    const SgergSolve solve = SGERG_SolveZ(out.c, out.b, tK, pBar);
    out.z = solve.z;
    out.solveIterations = solve.iterations;
    out.converged = characterised && solve.converged;
    return out;
}

constexpr double Cube(double x) {
    return x * x * x;
}

}  // namespace

// ---- Virial coefficients ---------------------------------------------------

double SGERG_B(double h, double tK, double xCO, double xH2, double xCO2, double xN2, double xCH) {
    const double b11 = Eval(kB11, h, tK);
    const double b22 = Eval(kB22, tK);
    const double b33 = Eval(kB33, tK);
    const double b44 = Eval(kB44, tK);
    const double b55 = Eval(kB55, tK);
    const double b12 = (0.72 + 1.875E-5 * (320.0 - tK) * (320.0 - tK)) * (b11 + b22) / 2.0;
    // Both pure terms are negative wherever the method applies; where they are
    // not, the cross term is dropped instead of turning into NaN.
    const double product13 = b11 * b33;
    const double b13 = product13 >= 0.0 ? -0.865 * std::sqrt(product13) : 0.0;
    const double b14 = Eval(kB14, tK);
    const double b15 = Eval(kB15, tK);
    const double b23 = Eval(kB23, tK);
    const double x1 = xCH, x2 = xN2, x3 = xCO2, x4 = xH2, x5 = xCO;
    return x1 * x1 * b11 + x2 * x2 * b22 + x3 * x3 * b33 + x4 * x4 * b44 + x5 * x5 * b55 +
           2.0 * (x1 * x2 * b12 + x1 * x3 * b13 + x1 * x4 * b14 + x1 * x5 * b15 + x2 * x3 * b23 +
                  x2 * x4 * kB24);
}

double SGERG_C(double h, double tK, double xCO, double xH2, double xCO2, double xN2, double xCH) {
    const double c111 = Eval(kC111, h, tK);
    const double c222 = Eval(kC222, tK);
    const double c333 = Eval(kC333, tK);
    const double c444 = Eval(kC444, tK);
    const double c115 = Eval(kC115, tK);
    const double c223 = Eval(kC223, tK);
    const double c233 = Eval(kC233, tK);
    // C111 turns negative for light equivalent hydrocarbons at low
    // temperature: std::cbrt keeps the sign where pow(x, 1/3) gives NaN.
    const double nitrogenFactor = 0.92 + 0.0013 * (tK - 270.0);
    const double c112 = nitrogenFactor * std::cbrt(c111 * c111 * c222);
    const double c122 = nitrogenFactor * std::cbrt(c111 * c222 * c222);
    const double c113 = 0.92 * std::cbrt(c111 * c111 * c333);
    const double c133 = 0.92 * std::cbrt(c111 * c333 * c333);
    const double c123 = 1.10 * std::cbrt(c111 * c222 * c333);
    const double c114 = 1.2 * std::cbrt(c111 * c111 * c444);
    const double x1 = xCH, x2 = xN2, x3 = xCO2, x4 = xH2, x5 = xCO;
    return Cube(x1) * c111 + Cube(x2) * c222 + Cube(x3) * c333 + Cube(x4) * c444 +
           3.0 * x1 * x1 * (x2 * c112 + x3 * c113 + x4 * c114 + x5 * c115) +
           3.0 * x1 * (x2 * x2 * c122 + x3 * x3 * c133) + 6.0 * x1 * x2 * x3 * c123 +
           3.0 * x2 * x2 * x3 * c223 + 3.0 * x2 * x3 * x3 * c233;
}

// ---- Equation of state -----------------------------------------------------

// Successive substitution on the molar volume V of Z = 1 + B/V + C/V².
SgergSolve SGERG_SolveZ(double c, double b, double tK, double pBar) {
    if (pBar == 0.0) return SgergSolve{1.0, 0, true};
    if (!(pBar > 0.0) || !std::isfinite(pBar)) {
        return SgergSolve{std::numeric_limits<double>::quiet_NaN(), 0, false};
    }
    const double rt = kGasConstant * tK;
    const double v0 = rt / pBar;
    double v = v0 + b;
    SgergSolve r;
    double pCalc = 0.0;
    do {
        v = (1.0 + b / v + c / (v * v)) * v0;
        r.z = 1.0 + b / v + c / (v * v);
        pCalc = rt * r.z / v;
        ++r.iterations;
    } while (std::fabs(pCalc - pBar) >= kPressureTolerance && r.iterations <= kSgergIterationLimit);
    r.converged = std::fabs(pCalc - pBar) < kPressureTolerance;
    return r;
}

SgergZ SGERG_Z(double xH2, double xCO2, double d, double hsMJ, double tC, double pBar) {
    return Evaluate(xH2, xCO2, d, hsMJ, kStandardTemperature + tC, pBar);
}

bool SgergInMethodRange(double tC, double pBar) {
    const double tK = kStandardTemperature + tC;
    return pBar >= 0.0 && pBar <= kSgergMaxPressureBar && tK >= kSgergMinTemperatureK &&
           tK <= kSgergMaxTemperatureK;
}

// ---- The device's check ----------------------------------------------------

SgergResult SGERG_KFactor(double h2, double co2, double rhoN, double hsKWh, double tC,
                          double pBar) {
    SgergResult r;
    const auto fail = [&r](char status) {
        if (r.status == sgerg_status::kValid) r.status = status;
    };
    const double xH2 = h2 / 100.0;
    const double xCO2 = co2 / 100.0;
    const double d = rhoN / kAirDensity;

    // Each test is written so that a NaN fails it.
    if (!(d > 0.55 + 0.97 * xCO2 - 0.45 * xH2)) fail(sgerg_status::kRelativeDensityTooLow);

    const double hsMJ = 3.6 * hsKWh;
    const SgergZ base = SGERG_Z(xH2, xCO2, d, hsMJ, 0.0, kStandardPressure);
    if (base.standardDensityTooLow) fail(sgerg_status::kStandardDensityTooLow);
    r.xN2 = base.xN2;
    if (!(r.xN2 >= -0.01 && r.xN2 <= 0.5)) fail(sgerg_status::kNitrogenOutOfRange);
    if (!(r.xN2 + xCO2 <= 0.5)) fail(sgerg_status::kNitrogenPlusCarbonDioxideTooHigh);

    const double hsCorrected = hsMJ + 0.013 * (0.95 - r.xN2 - xCO2 - xH2);
    const SgergZ atStandard = SGERG_Z(xH2, xCO2, d, hsCorrected, 0.0, kStandardPressure);
    const SgergZ atOperating = SGERG_Z(xH2, xCO2, d, hsCorrected, tC, pBar);
    if (atStandard.standardDensityTooLow || atOperating.standardDensityTooLow) {
        fail(sgerg_status::kStandardDensityTooLow);
    }

    r.zn = atStandard.z;
    r.z = atOperating.z;
    r.k = r.zn == 0.0 ? 0.0 : r.z / r.zn;
    r.density = r.k == 0.0 ? 0.0
                           : rhoN * pBar * kStandardTemperature /
                                 ((kStandardTemperature + tC) * kStandardPressure * r.k);
    r.iterations = std::max({base.iterations, atStandard.iterations, atOperating.iterations});
    r.converged = base.converged && atStandard.converged && atOperating.converged;
    return r;
}

double SGERG_Density(double h2, double co2, double rhoN, double hsKWh, double tC, double pBar) {
    return SGERG_KFactor(h2, co2, rhoN, hsKWh, tC, pBar).density;
}

char SGERG_Check(double h2, double co2, double rhoN, double hsKWh) {
    // Pressures in hundredths of a bar, temperatures in whole kelvin; the
    // device converts the latter to °C by subtracting 273.
    static constexpr std::array<int, 14> kPressures = {100,  320,  650,  1100, 1650, 2300, 3050,
                                                       3850, 4700, 5650, 6700, 7900, 9600, 12000};
    static constexpr std::array<int, 18> kTemperatures = {
        263, 267, 271, 275, 279, 283, 287, 291, 295, 299, 303, 307, 311, 315, 320, 325, 330, 335};
    char status = sgerg_status::kValid;
    for (const int p : kPressures) {
        for (const int t : kTemperatures) {
            const SgergResult r = SGERG_KFactor(h2, co2, rhoN, hsKWh, static_cast<double>(t - 273),
                                                static_cast<double>(p) / 100.0);
            if (status == sgerg_status::kValid) status = r.status;
        }
    }
    return status;
}

char SGERG_Check(const EG_UserRec& gas) {
    return SGERG_Check(static_cast<double>(gas.H2), static_cast<double>(gas.CO2),
                       static_cast<double>(gas.Rho), static_cast<double>(gas.Ho));
}

// ---- The published method --------------------------------------------------

SgergPublishedResult SGERG_Published(double xH2, double xCO2, double d, double hsMJ, double tK,
                                     double pBar) {
    const SgergZ standard = Evaluate(xH2, xCO2, d, hsMJ, kStandardTemperature, kStandardPressure);
    const SgergZ operating = Evaluate(xH2, xCO2, d, hsMJ, tK, pBar);
    SgergPublishedResult r;
    r.z = operating.z;
    r.zn = standard.z;
    r.h = operating.h;
    r.xN2 = operating.xN2;
    r.xCH = operating.xCH;
    // ρ = p M / (Z R T) with the molar mass from ρn: M = ρn Zn R Tn / pn.
    r.density =
        kAirDensity * d * (pBar / kStandardPressure) * (kStandardTemperature / tK) * (r.zn / r.z);
    r.iterations = operating.iterations;
    r.converged = standard.converged && operating.converged;
    return r;
}

}  // namespace parvion

#pragma once
// SGERG-88: compression factor of natural gas from the simplified GERG virial
// equation (GERG Technical Monograph 5, ISO 12213-3), input variant
// "superior calorific value, relative density, CO2, H2".
//
// Two ways in:
//  - the device's plausibility check (SGERG_Check, SGERG_KFactor,
//    SGERG_Density): inputs as the gas page holds them (mol %, kg/m³, kWh/m³,
//    °C, bar), a one-character status, and a calorific value corrected by
//    0.013 × (0.95 − x(N2) − x(CO2) − x(H2)) MJ/m³ before Zn and Z;
//  - the published method (SGERG_Published): Hs used as given, T in K, the
//    method's own loop tolerances; it reproduces the published example values.
//
// Every function is a pure function of its arguments (no module state), so it
// may be called from any thread.

#include <cstdint>

#include "core/model/parameter_image.h"

namespace parvion {

// Status characters of the check, stored in Med_User.Dummy2 of both circuits.
namespace sgerg_status {
inline constexpr char kValid = '0';
// d <= 0.55 + 0.97 x(CO2) - 0.45 x(H2)
inline constexpr char kRelativeDensityTooLow = '2';
// x(N2) < -0.01 or x(N2) > 0.5
inline constexpr char kNitrogenOutOfRange = '3';
// x(N2) + x(CO2) > 0.5
inline constexpr char kNitrogenPlusCarbonDioxideTooHigh = '4';
// 0.711 + 0.517 x(N2) + 1.255 x(CO2) - 0.581 x(H2) >= computed standard density
inline constexpr char kStandardDensityTooLow = '5';
}  // namespace sgerg_status

// What a status means and what to check, as a text of the string libraries:
// the device shows it as "A4x" (x the status character); 0 for kValid.
std::uint16_t SgergStatusExplanation(char status);

// Both equation-of-state loops stop after this many steps of their counter
// (they run while the counter is <= the limit).
inline constexpr int kSgergIterationLimit = 150;

// The range of operating points the method is published for: absolute
// pressure up to 120 bar, temperature 263 K to 338 K (-10.15 °C to 64.85 °C).
// Outside it the equation still gives numbers, but they are extrapolated.
inline constexpr double kSgergMaxPressureBar = 120.0;
inline constexpr double kSgergMinTemperatureK = 263.0;
inline constexpr double kSgergMaxTemperatureK = 338.0;
// True when (t °C, p bar absolute) lies within that range.
bool SgergInMethodRange(double tC, double pBar);

// Outcome of the successive substitution on the molar volume.
struct SgergSolve {
    double z = 1.0;
    int iterations = 0;
    bool converged = false;
};

// One evaluation of the equivalent-hydrocarbon characterisation and of Z.
struct SgergZ {
    double z = 0.0;          // compression factor at (t, p)
    double h = 0.0;          // molar calorific value of the equivalent hydrocarbon, kJ/mol
    double xCH = 0.0;        // equivalent-hydrocarbon fraction
    double xN2 = 0.0;        // derived nitrogen fraction
    double xCO = 0.0;        // carbon monoxide fraction (0.0964 x(H2))
    double rhoN = 0.0;       // standard density computed in the last step, kg/m³
    double rhoMolarN = 0.0;  // standard molar density 1 / (22.4141 + B(273.15 K)), kmol/m³
    double b = 0.0;          // mixture B at (t, p), m³/kmol
    double c = 0.0;          // mixture C at (t, p), m⁶/kmol²
    // The counter shared by the density loop and the calorific-value loop:
    // the number of secant steps on H over all passes.
    int iterations = 0;
    int solveIterations = 0;  // steps of the molar-volume substitution
    bool converged = false;   // both the characterisation and Z met their tolerances
    // The "standard density too low" test failed in at least one pass.
    bool standardDensityTooLow = false;
};

// Result of the device's check at one operating point.
struct SgergResult {
    char status = sgerg_status::kValid;
    double k = 0.0;          // Z / Zn (0 when Zn is 0)
    double z = 0.0;          // at (t, p), corrected calorific value
    double zn = 0.0;         // at 0 °C, 1.01325 bar, corrected calorific value
    double density = 0.0;    // operating density, kg/m³ (0 when K is 0)
    double xN2 = 0.0;        // nitrogen fraction derived from the uncorrected calorific value
    int iterations = 0;      // largest shared counter of the three evaluations
    bool converged = false;  // all three evaluations converged
};

// Result of the published method at one operating point.
struct SgergPublishedResult {
    double z = 0.0;   // at (T, p)
    double zn = 0.0;  // at 273.15 K, 1.01325 bar
    double h = 0.0;   // kJ/mol
    double xN2 = 0.0;
    double xCH = 0.0;
    double density = 0.0;  // operating density, kg/m³
    int iterations = 0;
    bool converged = false;
};

// Mixture second virial coefficient B (m³/kmol) at T (K) for an equivalent
// hydrocarbon of molar calorific value h (kJ/mol).
double SGERG_B(double h, double tK, double xCO, double xH2, double xCO2, double xN2, double xCH);

// Mixture third virial coefficient C (m⁶/kmol²); cube roots of negative
// products are taken as real cube roots.
double SGERG_C(double h, double tK, double xCO, double xH2, double xCO2, double xN2, double xCH);

// Z from the virial equation Z = 1 + B/V + C/V² at T (K), p (bar absolute).
// At p = 0 the gas is ideal (Z = 1); a negative or non-finite p gives NaN.
SgergSolve SGERG_SolveZ(double c, double b, double tK, double pBar);

// Z at (t °C, p bar) for mole fractions x(H2), x(CO2), relative density d and
// superior calorific value hs (MJ/m³), with the device's loop tolerances.
SgergZ SGERG_Z(double xH2, double xCO2, double d, double hsMJ, double tC, double pBar);

// K = Z(p, t) / Zn with the validity tests; h2 and co2 in mol %, rhoN in kg/m³
// (0 °C, 1.01325 bar), hs in kWh/m³, t in °C, p in bar absolute. Also fills the
// operating density.
SgergResult SGERG_KFactor(double h2, double co2, double rhoN, double hsKWh, double tC, double pBar);

// Operating density ρn · p · 273.15 / ((273.15 + t) · 1.01325 · K), kg/m³;
// 0 when K is 0.
double SGERG_Density(double h2, double co2, double rhoN, double hsKWh, double tC, double pBar);

// The plausibility check of an input set over the device's grid of 14
// pressures and 18 temperatures: the status character.
char SGERG_Check(double h2, double co2, double rhoN, double hsKWh);

// The same for the input set of the parameter image (floats widened).
char SGERG_Check(const EG_UserRec& gas);

// The published method: Hs as given (MJ/m³), T in K, p in bar absolute,
// mole fractions; the same loops and tolerances as SGERG_Z.
SgergPublishedResult SGERG_Published(double xH2, double xCO2, double d, double hsMJ, double tK,
                                     double pBar);

}  // namespace parvion

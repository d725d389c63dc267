#include "core/calc/sgerg88.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>
#include <utility>

namespace parvion {
namespace {

constexpr double kAirDensity = 1.292923;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

long FifthDecimal(double z) {
    return std::lround(z * 1E5);
}

// ---- Published method against the published examples ------------------------

struct ExampleGas {
    int number;
    double xCO2;
    double xH2;
    double d;
    double hs;  // MJ/m³
};

constexpr std::array<ExampleGas, 4> kExampleGases = {{
    {1, 0.006, 0.0, 0.581, 40.66},
    {2, 0.005, 0.0, 0.609, 40.62},
    {3, 0.015, 0.0, 0.650, 43.53},
    {5, 0.076, 0.0, 0.686, 36.64},
}};
constexpr std::array<double, 5> kExampleTemperatures = {270.0, 280.0, 290.0, 310.0, 330.0};
// [pressure 60 / 120 bar][gas][temperature]
constexpr double kExampleZ[2][4][5] = {
    {
        {0.84084, 0.86202, 0.88007, 0.90881, 0.92996},
        {0.83397, 0.85615, 0.87500, 0.90491, 0.92690},
        {0.79415, 0.82210, 0.84553, 0.88223, 0.90893},
        {0.82664, 0.85017, 0.87003, 0.90124, 0.92394},
    },
    {
        {0.72146, 0.75969, 0.79257, 0.84492, 0.88322},
        {0.71140, 0.75079, 0.78472, 0.83877, 0.87832},
        {0.64322, 0.69062, 0.73196, 0.79778, 0.84554},
        {0.69557, 0.73828, 0.77463, 0.83166, 0.87269},
    },
};

TEST(SgergPublished, ReproducesEveryExampleToFiveDecimals) {
    constexpr std::array<double, 2> pressures = {60.0, 120.0};
    for (std::size_t ip = 0; ip < pressures.size(); ++ip) {
        for (std::size_t ig = 0; ig < kExampleGases.size(); ++ig) {
            const ExampleGas& g = kExampleGases[ig];
            for (std::size_t it = 0; it < kExampleTemperatures.size(); ++it) {
                const SgergPublishedResult r = SGERG_Published(
                    g.xH2, g.xCO2, g.d, g.hs, kExampleTemperatures[it], pressures[ip]);
                EXPECT_TRUE(r.converged);
                EXPECT_EQ(FifthDecimal(r.z), FifthDecimal(kExampleZ[ip][ig][it]))
                    << "gas " << g.number << ", " << pressures[ip] << " bar, "
                    << kExampleTemperatures[it] << " K: Z = " << r.z;
            }
        }
    }
}

TEST(SgergPublished, IntermediateValuesOfGas1) {
    const SgergPublishedResult r = SGERG_Published(0.0, 0.006, 0.581, 40.66, 270.0, 60.0);
    // The loops stop at their tolerances (1E-6 kg/m³, 1E-4 MJ/m³), which leaves
    // H uncertain by about 1E-3 kJ/mol; Z hardly depends on it.
    EXPECT_NEAR(r.h, 916.8077645889, 1E-3);
    EXPECT_NEAR(r.xN2, 2.510320817051E-3, 5E-8);
    EXPECT_NEAR(r.zn, 0.997416552830, 1E-8);
    EXPECT_NEAR(r.z, 0.840842312269, 1E-7);
    // Operating density from ρn, Zn and Z.
    const double expected = 0.581 * kAirDensity * (60.0 / 1.01325) * (273.15 / 270.0) * r.zn / r.z;
    EXPECT_NEAR(r.density, expected, 1E-9);
}

TEST(SgergPublished, DeviceVariantDoesNotReproduceTheExamples) {
    // The corrected calorific value moves Z in the fourth decimal: the reason
    // the published method is offered beside the device's check.
    const ExampleGas& g = kExampleGases[0];
    const SgergResult tool =
        SGERG_KFactor(100.0 * g.xH2, 100.0 * g.xCO2, g.d * kAirDensity, g.hs / 3.6, -3.15, 60.0);
    EXPECT_EQ(tool.status, sgerg_status::kValid);
    EXPECT_NE(FifthDecimal(tool.z), FifthDecimal(kExampleZ[0][0][0]));
    EXPECT_NEAR(tool.z, kExampleZ[0][0][0], 2E-4);
}

// ---- The device's check ------------------------------------------------------

TEST(SgergCheck, StatusesOfTheReferenceAndNonFiniteInputSets) {
    struct Case {
        double h2, co2, rhoN, hs;  // mol %, mol %, kg/m³, kWh/m³
        char status;
        double xN2;  // expected derived nitrogen fraction; NaN: a non-finite input
    };
    // Non-finite inputs never pass, and the iteration ends.
    const std::array<Case, 12> cases = {{
        {0.0, 1.0, 0.80, 11.0, sgerg_status::kValid, 0.048},
        {0.0, 0.0, 0.71, 6.0, sgerg_status::kRelativeDensityTooLow, 0.274},
        {0.0, 0.0, 0.75, 12.0, sgerg_status::kNitrogenOutOfRange, -0.028},
        {0.0, 5.0, 1.10, 6.0, sgerg_status::kNitrogenPlusCarbonDioxideTooHigh, 0.482},
        {0.0, 0.0, 0.75, 6.0, sgerg_status::kStandardDensityTooLow, 0.303},
        {0.0, 1.0, kNaN, 11.0, sgerg_status::kRelativeDensityTooLow, kNaN},
        {0.0, kNaN, 0.80, 11.0, sgerg_status::kRelativeDensityTooLow, kNaN},
        {kNaN, 1.0, 0.80, 11.0, sgerg_status::kRelativeDensityTooLow, kNaN},
        {0.0, 1.0, kInf, 11.0, sgerg_status::kStandardDensityTooLow, kNaN},
        {0.0, 1.0, 0.80, kNaN, sgerg_status::kStandardDensityTooLow, kNaN},
        {0.0, 1.0, 0.80, kInf, sgerg_status::kStandardDensityTooLow, kNaN},
        {0.0, 1.0, 0.80, -kInf, sgerg_status::kStandardDensityTooLow, kNaN},
    }};
    std::set<std::uint16_t> explanations;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h2 << ", " << c.co2 << ", " << c.rhoN << ", " << c.hs);
        const SgergResult r = SGERG_KFactor(c.h2, c.co2, c.rhoN, c.hs, 20.0, 50.0);
        EXPECT_EQ(r.status, c.status);
        if (std::isnan(c.xN2)) {
            EXPECT_LE(r.iterations, kSgergIterationLimit + 1);
            continue;
        }
        EXPECT_EQ(SGERG_Check(c.h2, c.co2, c.rhoN, c.hs), c.status);
        // The status does not depend on the point of the calculation.
        for (const auto& [t, p] : {std::pair{-10.0, 1.0}, {62.0, 120.0}, {20.0, 30.5}}) {
            EXPECT_EQ(SGERG_KFactor(c.h2, c.co2, c.rhoN, c.hs, t, p).status, c.status) << t;
        }
        EXPECT_NEAR(r.xN2, c.xN2, 1E-3);
        EXPECT_TRUE(r.converged);
        explanations.insert(SgergStatusExplanation(c.status));
    }
    // Each failing status has an explanation of its own; a status no check
    // gives (a device's own code) the general one, 22820.
    EXPECT_EQ(explanations, (std::set<std::uint16_t>{0, 22816, 22817, 22818, 22819}));
    EXPECT_EQ(SgergStatusExplanation('9'), 22820);
}

TEST(SgergCheck, TypicalGasKFactorAndDensityAndWhatHydrogenChanges) {
    const SgergResult r = SGERG_KFactor(0.0, 1.0, 0.80, 11.0, 20.0, 50.0);
    EXPECT_NEAR(r.k, 0.904, 5E-4);
    EXPECT_NEAR(r.k, r.z / r.zn, 1E-12);
    EXPECT_NEAR(r.zn, 0.9977, 5E-4);  // natural gas at standard conditions
    const double density = 0.80 * 50.0 * 273.15 / (293.15 * 1.01325 * r.k);
    EXPECT_NEAR(r.density, density, 1E-9);
    EXPECT_DOUBLE_EQ(SGERG_Density(0.0, 1.0, 0.80, 11.0, 20.0, 50.0), r.density);
    EXPECT_GT(r.iterations, 0);

    // 5 % H2 brings 0.482 % CO; both lower the density the hydrocarbon must
    // explain, so x(N2) falls and Z rises compared with the same gas without.
    const SgergResult with = SGERG_KFactor(5.0, 1.0, 0.80, 11.0, 20.0, 50.0);
    EXPECT_EQ(with.status, sgerg_status::kValid);
    EXPECT_TRUE(with.converged);
    EXPECT_NE(with.xN2, r.xN2);
    EXPECT_GT(with.k, r.k);
    EXPECT_NEAR(SGERG_Z(0.05, 0.01, 0.8 / kAirDensity, 39.6, 20.0, 50.0).xCO, 0.00482, 1E-12);
}

TEST(SgergCheck, FirstFailingTestWins) {
    // d = 0.549 fails "2"; its standard density also fails "5".
    const SgergZ low = SGERG_Z(0.0, 0.0, 0.71 / kAirDensity, 6.0 * 3.6, 0.0, 1.01325);
    ASSERT_TRUE(low.standardDensityTooLow);
    EXPECT_EQ(SGERG_Check(0.0, 0.0, 0.71, 6.0), sgerg_status::kRelativeDensityTooLow);

    // x(N2) ≈ 0.71 fails "3" and "4", but "5" is tested first, inside the
    // first evaluation.
    const SgergZ lean = SGERG_Z(0.0, 0.0, 1.0 / kAirDensity, 2.0 * 3.6, 0.0, 1.01325);
    ASSERT_TRUE(lean.standardDensityTooLow);
    ASSERT_GT(lean.xN2, 0.5);
    EXPECT_EQ(SGERG_Check(0.0, 0.0, 1.0, 2.0), sgerg_status::kStandardDensityTooLow);

    // x(N2) ≈ 0.60 without "5" fails both "3" and "4"; "3" comes first.
    const SgergResult nitrogen = SGERG_KFactor(0.0, 0.0, 1.16, 6.0, 0.0, 10.0);
    ASSERT_GT(nitrogen.xN2, 0.5);
    ASSERT_FALSE(
        SGERG_Z(0.0, 0.0, 1.16 / kAirDensity, 6.0 * 3.6, 0.0, 1.01325).standardDensityTooLow);
    EXPECT_EQ(nitrogen.status, sgerg_status::kNitrogenOutOfRange);
}

TEST(SgergCheck, ParameterImageRecordInItsFieldOrder) {
    // The record holds Ho, CO2, H2, Rho; the check takes H2, CO2, ρn, Hs. The
    // last is the default parameter set (10 kWh/m³, 10 % CO2, 5 % H2, 1.0 kg/m³).
    const std::pair<EG_UserRec, char> cases[] = {
        {{6.0f, 5.0f, 0.0f, 1.10f}, sgerg_status::kNitrogenPlusCarbonDioxideTooHigh},
        {{11.0f, 1.0f, 0.0f, 0.80f}, sgerg_status::kValid},
        {{10.0f, 10.0f, 5.0f, 1.0f}, sgerg_status::kValid},
    };
    for (const auto& [gas, status] : cases) EXPECT_EQ(SGERG_Check(gas), status) << gas.Ho;
}

TEST(SgergCheck, MethodRangeAndPointsWithoutFigures) {
    // 263 K to 338 K (-10.15 to 64.85 degrees Celsius), 0 to 120 bar.
    const std::tuple<double, double, bool> range[] = {
        {20, 50, true},    {64.85, 120, true}, {-10.15, 0, true}, {20, 120.5, false},
        {64.9, 50, false}, {-10.2, 50, false}, {20, -0.1, false},
    };
    for (const auto& [tC, pBar, in] : range) {
        EXPECT_EQ(SgergInMethodRange(tC, pBar), in) << tC << " C, " << pBar << " bar";
    }
    // Figures outside the range are the method's all the same, where it
    // converges; each of its loops can fail to.
    const std::tuple<double, double, bool> points[] = {
        {65, 50, true}, {10, 10000, false}, {10, 1e200, false}, {-273, 50, false}};
    for (const auto& [tC, pBar, converged] : points) {
        const SgergResult r = SGERG_KFactor(0, 0.6, 0.75, 11.3, tC, pBar);
        EXPECT_EQ(r.status, sgerg_status::kValid);
        EXPECT_EQ(r.converged, converged) << tC << " C, " << pBar << " bar";
    }
}

// ---- Bad input ---------------------------------------------------------------

TEST(SgergCheck, ZeroCalorificValueStopsAtOnce) {
    // Without calorific value the density no longer depends on H: the
    // difference quotient is 0 and a step would divide by it. No H explains
    // the gas, so there are no fractions, and the check rejects the set.
    const SgergZ z = SGERG_Z(0.0, 0.0, 0.8 / kAirDensity, 0.0, 0.0, 1.01325);
    EXPECT_EQ(
        std::tuple(z.iterations, z.converged, z.h, std::isnan(z.xN2), z.standardDensityTooLow),
        std::tuple(0, false, 1000.0, true, true));
    EXPECT_EQ(SGERG_Check(0.0, 0.0, 0.8, 0.0), sgerg_status::kStandardDensityTooLow);
}

// ---- Iteration ---------------------------------------------------------------

TEST(SgergIteration, CounterIsSharedByBothLoops) {
    // Gas 1: three secant steps in the first pass, one after B has been
    // updated; the counter keeps counting across passes.
    const SgergZ z = SGERG_Z(0.0, 0.006, 0.581, 40.66, -3.15, 60.0);
    EXPECT_TRUE(z.converged);
    EXPECT_EQ(z.iterations, 4);
    EXPECT_GT(z.solveIterations, 1);
}

TEST(SgergIteration, SecantStopsAtTheLimit) {
    // An absurd calorific value (1077.5 MJ/m³): the passes never settle, and
    // the shared counter ends them once it passes the limit.
    const SgergZ z = SGERG_Z(0.0, 0.01, 0.8, 1077.5, 20.0, 50.0);
    EXPECT_EQ(z.iterations, kSgergIterationLimit + 1);
    EXPECT_FALSE(z.converged);
    EXPECT_NE(SGERG_Check(0.0, 1.0, 0.8 * kAirDensity, 1077.5 / 3.6), sgerg_status::kValid);
}

TEST(SgergIteration, SolveZStopsAtTheLimit) {
    // A second virial coefficient larger than the molar volume: the
    // substitution does not settle and ends after the limit.
    const SgergSolve s = SGERG_SolveZ(0.0, -30.0, 273.15, 120.0);
    EXPECT_FALSE(s.converged);
    EXPECT_EQ(s.iterations, kSgergIterationLimit + 1);
}

TEST(SgergIteration, SolveZAtLowAndZeroPressure) {
    // At low pressure Z ≈ 1 + B p / (R T).
    const double b = -0.05, c = 0.003, t = 273.15, p = 1.01325;
    const SgergSolve s = SGERG_SolveZ(c, b, t, p);
    EXPECT_TRUE(s.converged);
    EXPECT_NEAR(s.z, 1.0 + b * p / (0.0831451 * t), 1E-5);
    EXPECT_DOUBLE_EQ(SGERG_SolveZ(c, b, t, 0.0).z, 1.0);
    for (const double bad : {-1.0, kNaN})
        EXPECT_TRUE(std::isnan(SGERG_SolveZ(c, b, t, bad).z)) << bad;
}

// ---- Virial coefficients -----------------------------------------------------

TEST(SgergVirial, PureComponentsAgreeWithMeasuredValues) {
    // Measured virial coefficients near 273.15 K (m³/kmol, m⁶/kmol²); the
    // correlation should be within a few per cent.
    constexpr double t = 273.15;
    constexpr double methaneH = 890.63;  // kJ/mol
    struct Pure {
        const char* name;
        double b, c;  // measured
        double fit_b, fit_c;
    };
    const std::array<Pure, 5> pure = {{
        {"CH4", -0.0535, 0.00265, SGERG_B(methaneH, t, 0, 0, 0, 0, 1),
         SGERG_C(methaneH, t, 0, 0, 0, 0, 1)},
        {"N2", -0.0103, 0.00150, SGERG_B(0, t, 0, 0, 0, 1, 0), SGERG_C(0, t, 0, 0, 0, 1, 0)},
        {"CO2", -0.1497, 0.00540, SGERG_B(0, t, 0, 0, 1, 0, 0), SGERG_C(0, t, 0, 0, 1, 0, 0)},
        {"H2", 0.0137, 0.00040, SGERG_B(0, t, 0, 1, 0, 0, 0), SGERG_C(0, t, 0, 1, 0, 0, 0)},
        {"CO", -0.0140, 0.0, SGERG_B(0, t, 1, 0, 0, 0, 0), SGERG_C(0, t, 1, 0, 0, 0, 0)},
    }};
    for (const Pure& p : pure) {
        SCOPED_TRACE(p.name);
        EXPECT_NEAR(p.fit_b, p.b, 0.03 * std::fabs(p.b));
        EXPECT_NEAR(p.fit_c, p.c, 0.05 * std::fabs(p.c));  // CO: no pure term at all
    }
}

TEST(SgergVirial, LightHydrocarbonGivesFiniteCoefficients) {
    // Below about 650 kJ/mol at low temperature C(CH) is negative and so are
    // the products under the cube roots of the cross terms.
    constexpr double h = 500.0, t = 263.15;
    ASSERT_LT(SGERG_C(h, t, 0, 0, 0, 0, 1), 0.0);
    const double c = SGERG_C(h, t, 0.005, 0.05, 0.1, 0.1, 0.745);
    EXPECT_TRUE(std::isfinite(c));
    // Recover the two CH-N2 cross terms from two binary mixtures:
    // C(a, b) - a³C111 - b³C222 = 3a²b C112 + 3ab² C122.
    const double c111 = SGERG_C(h, t, 0, 0, 0, 0, 1);
    const double c222 = SGERG_C(h, t, 0, 0, 0, 1, 0);
    const auto excess = [&](double a, double b) {
        return SGERG_C(h, t, 0, 0, 0, b, a) - a * a * a * c111 - b * b * b * c222;
    };
    const double sum = excess(0.5, 0.5) / 0.375;  // C112 + C122
    const double c112 = (excess(0.8, 0.2) - 0.096 * sum) / 0.288;
    const double c122 = sum - c112;
    const double factor = 0.92 + 0.0013 * (t - 270.0);
    // C111² C222 > 0 but C111 C222² < 0: the real cube root is negative.
    EXPECT_NEAR(c112, factor * std::cbrt(c111 * c111 * c222), 1E-10);
    EXPECT_NEAR(c122, -factor * std::cbrt(-c111 * c222 * c222), 1E-10);
    EXPECT_LT(c122, 0.0);

    // Below about 420 kJ/mol B(CH) turns positive; B(CH,CO2) is a square
    // root of B(CH)·B(CO2).
    ASSERT_GT(SGERG_B(300.0, 273.15, 0, 0, 0, 0, 1), 0.0);
    EXPECT_TRUE(std::isfinite(SGERG_B(300.0, 273.15, 0, 0, 0.1, 0.05, 0.85)));
}

}  // namespace
}  // namespace parvion

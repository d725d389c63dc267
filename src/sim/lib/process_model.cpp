#include "sim/lib/process_model.h"

#include <cmath>
#include <numbers>

namespace parvion::sim {

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kNormalPressure = 101.325;  // kPa
constexpr double kNormalTemperature = 273.15;
constexpr double kGasNormalDensity = 0.81;  // kg/m³, natural gas H
}  // namespace

ProcessModel::ProcessModel(MediumKind kind, double baseT, double baseP, double baseQ,
                           std::uint32_t seed)
    : kind_(kind), baseT_(baseT), baseP_(baseP), baseQ_(baseQ) {
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (double& p : phase_) {
        x = x * 1664525u + 1013904223u;
        p = kTwoPi * static_cast<double>(x >> 8) / static_cast<double>(1u << 24);
    }
}

ProcessSample ProcessModel::at(double t, double jitter) const {
    const double day = std::sin(kTwoPi * t / 86400.0 + phase_[0]);
    const double shortT = std::sin(kTwoPi * t / 1800.0 + phase_[1]);
    const double shortP = std::sin(kTwoPi * t / 1020.0 + phase_[2]);
    const double shortQ = std::sin(kTwoPi * t / 300.0 + phase_[3]);

    ProcessSample s;
    s.temperature = baseT_ + 3.0 * day + 0.5 * shortT + 0.05 * jitter;
    s.pressure = baseP_ * (1.0 + 0.02 * day + 0.01 * shortP + 0.001 * jitter);
    s.volumeFlow = baseQ_ * (1.0 + 0.15 * day + 0.05 * shortQ + 0.005 * jitter);
    if (s.volumeFlow < 0) s.volumeFlow = 0;
    const double tk = s.temperature + kNormalTemperature;

    switch (kind_) {
        case MediumKind::NaturalGas:
            s.compressibility = 1.0 - 0.00022 * s.pressure / 100.0 * (293.15 / tk);
            s.density = kGasNormalDensity * (s.pressure / kNormalPressure) *
                        (kNormalTemperature / tk) / s.compressibility;
            s.massFlow = s.volumeFlow * s.density;
            s.mainFlow = s.massFlow / kGasNormalDensity;
            break;
        case MediumKind::Steam:
            s.compressibility = 0.96;
            s.density = s.pressure * 1000.0 / (461.5 * tk) / s.compressibility;
            s.massFlow = s.volumeFlow * s.density;
            s.mainFlow = s.massFlow * 2300.0 / 3600.0;  // kW, steam to condensate
            break;
        case MediumKind::HotWater:
            s.compressibility = 1.0;
            s.density = 1000.0 - 0.0036 * (s.temperature - 4.0) * (s.temperature - 4.0);
            s.massFlow = s.volumeFlow * s.density;
            s.temperature2 = s.temperature - 28.0 - 2.0 * shortQ;
            s.mainFlow = s.massFlow * 4.19 * (s.temperature - s.temperature2) / 3600.0;
            break;
    }
    // An orifice: the differential pressure grows with the square of the flow.
    const double relative = s.volumeFlow / baseQ_;
    s.diffPressure = 25.0 * relative * relative;
    return s;
}

}  // namespace parvion::sim

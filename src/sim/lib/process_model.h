#pragma once
// The physical process behind one circuit of the simulated device: smooth
// daily and short-period swings of temperature, pressure and flow, with the
// derived density, mass flow and standard volume flow (gas) or power (energy).

#include <cstdint>

namespace parvion::sim {

enum class MediumKind { NaturalGas, Steam, HotWater };

struct ProcessSample {
    double temperature = 0;   // °C
    double pressure = 0;      // kPa, absolute
    double density = 0;       // kg/m³
    double volumeFlow = 0;    // operating volume flow, m³/h
    double massFlow = 0;      // kg/h
    double mainFlow = 0;      // standard volume flow Nm³/h (gas) or power kW (energy)
    double diffPressure = 0;  // kPa across the flow element
    double temperature2 = 0;  // return temperature, °C (hot water)
    double compressibility = 1;
};

class ProcessModel {
  public:
    ProcessModel() = default;
    ProcessModel(MediumKind kind, double baseT, double baseP, double baseQ, std::uint32_t seed);
    // The state at a device wall time (seconds); jitter in -1..1 scales a
    // small measurement noise.
    ProcessSample at(double wallSeconds, double jitter = 0) const;
    MediumKind kind() const { return kind_; }

  private:
    MediumKind kind_ = MediumKind::NaturalGas;
    double baseT_ = 10, baseP_ = 400, baseQ_ = 500;
    double phase_[4] = {};
};

}  // namespace parvion::sim

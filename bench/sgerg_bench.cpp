// Time of the SGERG-88 plausibility check (252 grid points, three
// evaluations each) and of single evaluations, in ns per call.

#include <chrono>
#include <cstdio>

#include "core/calc/sgerg88.h"

namespace {

volatile double g_sink = 0.0;
volatile char g_statusSink = '0';

template <typename Fn>
double NanosecondsPerCall(int calls, Fn&& fn) {
    fn();  // warm up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) fn();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(stop - start).count() / calls;
}

}  // namespace

int main() {
    using namespace parvion;
    // Vary one input slightly per call so nothing can be hoisted.
    int i = 0;
    const auto step = [&i] { return 1E-6 * static_cast<double>(++i % 7); };

    const double check = NanosecondsPerCall(
        2000, [&] { g_statusSink = SGERG_Check(0.0, 1.0, 0.80 + step(), 11.0); });
    const double checkHydrogen = NanosecondsPerCall(
        2000, [&] { g_statusSink = SGERG_Check(5.0, 10.0, 1.0 + step(), 10.0); });
    const double kFactor = NanosecondsPerCall(
        200000, [&] { g_sink = SGERG_KFactor(0.0, 1.0, 0.80 + step(), 11.0, 20.0, 50.0).k; });
    const double published = NanosecondsPerCall(200000, [&] {
        g_sink = SGERG_Published(0.0, 0.006, 0.581 + step(), 40.66, 270.0, 60.0).z;
    });

    std::printf("SGERG_Check (0 %% H2, 1 %% CO2, 0.80 kg/m3, 11 kWh/m3): %.0f ns per call\n",
                check);
    std::printf("SGERG_Check (5 %% H2, 10 %% CO2, 1.00 kg/m3, 10 kWh/m3): %.0f ns per call\n",
                checkHydrogen);
    std::printf("SGERG_KFactor (one point, three evaluations): %.0f ns per call\n", kFactor);
    std::printf("SGERG_Published (Z and Zn): %.0f ns per call\n", published);
    return 0;
}

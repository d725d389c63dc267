// What the simulated device holds when it is switched on: a configured
// parameter set, tables, and a history of errors, integrator records and
// trend values that ends at the present time. Also the live process.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/lib/device.h"
#include "sim/lib/device_time.h"
#include "sim/lib/memory_map.h"

namespace parvion::sim {

namespace {

struct UnitRow {
    const char* text;  // device text without its leading blanks
    std::uint8_t code;
    float factor;
};

// Base unit of each quantity 0..15 (the device's own units); 3 and 5 differ
// by variant.
constexpr UnitRow kBaseUnits[16] = {
    {"\xDF"
     "C",
     '2', 1.0f},
    {"kPa", '2', 1.0f},
    {"kg/m3", '4', 1.0f},
    {"Nm3/h", '2', 1.0f},
    {"kg/h", '2', 1.0f},
    {"Nm3", '2', 1.0f},
    {"kg", '2', 1.0f},
    {"m3/h", '2', 1.0f},
    {"Imp/l", '2', 1.0f},
    {"1/K", '2', 1.0f},
    {"Wh/m3", '2', 1000.0f},
    {"mol%", '2', 1.0f},
    {"J/kgK", '2', 1000.0f},
    {"K", '2', 1.0f},
    {"Hz", '2', 1.0f},
    {"mA", '2', 1.0f},
};

std::uint8_t u8(int v) {
    return static_cast<std::uint8_t>(v);
}

// Six time bytes as the protocols keep them: two-digit year, month, day,
// hour, minute, second (binary).
void timeBytes(std::uint8_t* out, std::int64_t seconds) {
    const DeviceDateTime t = fromEpochSeconds(seconds);
    out[0] = u8(t.year % 100);
    out[1] = u8(t.month);
    out[2] = u8(t.day);
    out[3] = u8(t.hour);
    out[4] = u8(t.minute);
    out[5] = u8(t.second);
}

}  // namespace

double Device::wallSeconds() const {
    return static_cast<double>(clockBase_) + simSeconds() - clockSetAt_;
}

void Device::fillContents() {
    const bool gas = options_.medium == 0;
    const bool circuit2 = (options_.ausbaustufe & addr::LevelNoCircuit2) == 0;
    if (gas) {
        circuits_[0].model =
            ProcessModel(MediumKind::NaturalGas, 12.0, 450.0, 850.0, options_.seed);
        circuits_[1].model =
            ProcessModel(MediumKind::NaturalGas, 8.0, 300.0, 420.0, options_.seed + 7);
    } else {
        circuits_[0].model = ProcessModel(MediumKind::Steam, 180.0, 800.0, 1200.0, options_.seed);
        circuits_[1].model =
            ProcessModel(MediumKind::HotWater, 90.0, 600.0, 35.0, options_.seed + 7);
    }
    circuits_[1].present = circuit2;
    std::uniform_real_distribution<double> start(1.0e5, 9.0e6);
    for (Circuit& c : circuits_) {
        c.totalMain = std::floor(start(rng_));
        c.totalMass = std::floor(c.totalMain * (gas ? 0.81 : 0.45));
        c.operatingTime = std::floor(start(rng_) * 2);
    }
    if (!circuit2) circuits_[1].totalMain = circuits_[1].totalMass = circuits_[1].operatingTime = 0;

    fillParameters();
    fillTables();
    const std::int64_t now = clockBase_;
    fillErrorProtocol(now);
    fillIntegrators(now);
    fillTrendMemory(now);
    lastUpdate_ = simSeconds();
}

void Device::fillParameters() {
    const bool gas = options_.medium == 0;
    const bool circuit2 = (options_.ausbaustufe & addr::LevelNoCircuit2) == 0;

    for (std::uint16_t i = 0; i < 2; ++i) {
        const auto t = static_cast<std::uint16_t>(addr::T_User + 32 * i);
        put8(t + 2, 1);  // Kind
        putFloatAt(t + 4, gas ? -20.0f : 0.0f);
        putFloatAt(t + 8, gas ? 60.0f : 300.0f);
        putFloatAt(t + 24, 15.0f);

        const auto p = static_cast<std::uint16_t>(addr::P_User + 32 * i);
        put8(p + 2, 1);
        putFloatAt(p + 4, 100.0f);  // Hyd
        putFloatAt(p + 12, gas ? 1000.0f : 1600.0f);
        putFloatAt(p + 20, 100.0f);  // Konst

        const auto f = static_cast<std::uint16_t>(addr::Flow_User + 32 * i);
        put8(f + 1, i == 0 ? 4 : 1);  // Kind: pulse input on circuit 1, orifice on circuit 2
        putWordAt(f + 2, 9999);
        putFloatAt(f + 8, gas ? 2000.0f : (i == 0 ? 2500.0f : 80.0f));
        putFloatAt(f + 12, 1.0f);   // KFak
        putFloatAt(f + 20, 20.0f);  // BTemp
        putFloatAt(f + 24, 1.0f);   // Schleich
        putFloatAt(f + 28, 1.0f);   // Exp_zahl

        const auto d = static_cast<std::uint16_t>(addr::Des_User + 32 * i);
        putFloatAt(d + 0, gas ? 1000.0f : 2000.0f);
        putFloatAt(d + 4, gas ? 10.0f : 180.0f);
        putFloatAt(d + 8, gas ? 400.0f : 800.0f);
        putFloatAt(d + 12, 25.0f);
        putFloatAt(d + 16, gas ? 4.0f : 3.9f);

        const auto m = static_cast<std::uint16_t>(addr::Med_User + 32 * i);
        put8(m + 1, '0');
        put8(m + 2, 1);  // Ready
        put8(m + 3, gas ? 2 : (i == 0 ? 1 : 0));
        putFloatAt(m + 4, gas ? 0.81f : 965.0f);
        putFloatAt(m + 8, gas ? 0.81f : 0.0f);
        putFloatAt(m + 24, 4.19f);
        putFloatAt(m + 28, 2.0f);

        const auto b = static_cast<std::uint16_t>(addr::Bez_User + 16 * i);
        putFloatAt(b + 4, 101.325f);
        putFloatAt(b + 12, 1.0f);

        const auto imp = static_cast<std::uint16_t>(addr::Imp_User + 8 * i);
        put8(imp + 3, 1);
        putFloatAt(imp + 4, 10.0f);

        const auto alm = static_cast<std::uint16_t>(addr::Alm_User + 16 * i);
        put8(alm + 2, 1);
        put8(alm + 3, 1);
        putFloatAt(alm + 8, gas ? 900.0f : 1500.0f);

        const auto k = static_cast<std::uint16_t>(addr::FlowKorr + 32 * i);
        for (unsigned s = 0; s < 8; ++s) putFloatAt(k + 4 * s, 1.0f);
    }

    static constexpr int kAusParam[4] = {1, 4, 9, 12};
    static constexpr float kAusMax[4] = {1000.0f, 100000.0f, 1000.0f, 100000.0f};
    for (std::uint16_t k = 0; k < 4; ++k) {
        const auto a = static_cast<std::uint16_t>(addr::Aus_User + 16 * k);
        put8(a + 2, 40);
        put8(a + 3, u8(kAusParam[k]));
        putFloatAt(a + 8, kAusMax[k]);
        putFloatAt(a + 12, 2.5f);
    }

    putFloatAt(addr::EG_User + 0, 11.2f);
    putFloatAt(addr::EG_User + 4, 1.2f);
    putFloatAt(addr::EG_User + 8, 0.0f);
    putFloatAt(addr::EG_User + 12, 0.81f);

    putFloatAt(addr::Grenzwerte + 0, 1.4125f);
    putFloatAt(addr::Grenzwerte + 4, 1.375f);
    putFloatAt(addr::Grenzwerte + 8, 0.24f);
    putFloatAt(addr::Grenzwerte + 12, 0.225f);

    const std::uint8_t mask = options_.kindMask;
    put8(addr::System + 0, options_.ausbaustufe);
    put8(addr::System + 1, circuit2 ? 2 : 1);
    put8(addr::System + 2, mask);
    put8(addr::System + 3, u8(circuit2 ? (mask & 0x04) : (mask & 0x01)));
    putFloatAt(addr::System + 8, 1.0f);

    putText(addr::Ident, options_.ident, 8);

    // Access record: three flag bytes, the protection flag, the password
    // padded with "-" to 8 characters as the program pads what is typed.
    put8(addr::Access + 3, options_.password.empty() ? 0 : 1);
    std::string pw = options_.password.substr(0, 8);
    pw.resize(8, '-');
    putText(addr::Access + 4, pw, 8);

    // Byte 0 is the baud rate; the others are the device's own operating
    // settings, which a program that changes the rate must carry unchanged.
    put8(addr::Betrieb, u8(baudIndex_));
    put8(addr::Betrieb + 1, 0x01);
    put8(addr::Betrieb + 2, 0x5A);
    put8(addr::Betrieb + 3, 0x03);

    put8(addr::Trend_User + 2, 0);
    put8(addr::Trend_User + 3, 15);

    for (std::uint16_t q = 0; q < 16; ++q) {
        const auto u = static_cast<std::uint16_t>(addr::UserEinheiten + 16 * q);
        std::string text = kBaseUnits[q].text;
        if (!gas && q == 3) text = "kW";
        if (!gas && q == 5) text = "kWh";
        put8(u + 0, 0);
        put8(u + 1, u8(static_cast<int>(text.size())));
        put8(u + 2, kBaseUnits[q].code);
        putText(u + 3, std::string(5 - text.size(), ' ') + text, 5);
        putFloatAt(u + 8, kBaseUnits[q].factor);
        putFloatAt(u + 12, 0.0f);
    }

    put8(addr::Display + 0, 127);
    put8(addr::Display + 1, 127);
    put8(addr::Display + 2, gas ? 0 : 40);

    char serial[17];
    std::snprintf(serial, sizeof serial, "%s-%07u", gas ? "PVG2" : "PVE2",
                  static_cast<unsigned>(options_.seed * 7919u % 10000000u));
    putText(addr::SerialNo, serial, 16);

    char program[17];
    std::snprintf(program, sizeof program, "%s V2.07", gas ? "PV-GAS2" : "PV-ENG2");
    for (std::size_t i = 0; i < 16; ++i) {
        const std::size_t n = std::char_traits<char>::length(program);
        program_[addr::ProgramText + i] = i < n ? static_cast<std::uint8_t>(program[i]) : 0;
    }
}

void Device::fillTables() {
    const bool gas = options_.medium == 0;

    // Saturation line of water: T (K), p (kPa), saturated steam density, enthalpy.
    for (std::uint16_t r = 0; r < 32; ++r) {
        const double tc = 100.0 + 7.0 * r;
        const double tk = tc + 273.15;
        // Antoine-like fit, good enough for a plausible table.
        const double p = 101.325 * std::exp(13.1 - 4890.0 / tk);
        const double rho = p * 1000.0 / (461.5 * tk) / (1.0 - 0.0009 * (tc - 100.0));
        const double h = 2676.0 + 1.2 * (tc - 100.0) - 0.006 * (tc - 100.0) * (tc - 100.0);
        const auto a = static_cast<std::uint16_t>(addr::SaturationTable + 16 * r);
        putFloatAt(a, static_cast<float>(tk));
        putFloatAt(a + 4, static_cast<float>(p));
        putFloatAt(a + 8, static_cast<float>(rho));
        putFloatAt(a + 12, static_cast<float>(h));
    }

    for (int table = 0; table < 2; ++table) {
        const addr::PropertyTableAddresses& t = addr::PropertyTable[table];
        for (std::uint16_t c = 0; c < addr::PropertyColumns; ++c) {
            putWordAt(static_cast<std::uint16_t>(t.columns + 2 * c),
                      static_cast<std::uint16_t>(gas ? 100 + 500 * c : 100 + 400 * c));
        }
        for (std::uint16_t r = 0; r < addr::PropertyRows; ++r) {
            putWordAt(static_cast<std::uint16_t>(t.rows + 2 * r),
                      static_cast<std::uint16_t>(gas ? 253 + 5 * r : 373 + 20 * r));
        }
        for (std::uint16_t r = 0; r < addr::PropertyRows; ++r) {
            const double tk = gas ? 253 + 5 * r : 373 + 20 * r;
            for (std::uint16_t c = 0; c < addr::PropertyColumns; ++c) {
                const double p = gas ? 100 + 500 * c : 100 + 400 * c;
                double v;
                if (gas) {
                    v = 1.0 - 0.00022 * p / 100.0 * (293.15 / tk);  // compressibility
                } else if (table == 0) {
                    v = p * 1000.0 / (461.5 * tk);  // density of steam
                } else {
                    v = 2500.0 + 1.9 * (tk - 273.15) - 0.02 * p / 10.0;  // enthalpy
                }
                putFloatAt(static_cast<std::uint16_t>(t.values + 56 * r + 4 * c),
                           static_cast<float>(v));
            }
        }
    }
}

void Device::fillErrorProtocol(std::int64_t now) {
    const bool circuit2 = (options_.ausbaustufe & addr::LevelNoCircuit2) == 0;
    std::uniform_int_distribution<int> events(0, 11);
    std::uniform_int_distribution<int> gapMinutes(60, 60 * 60);
    std::uniform_int_distribution<int> duration(30, 4 * 3600);
    const int activeGroup = static_cast<int>(options_.seed % 4);
    std::uint8_t stateBits = 0;
    int activeCount = 0;

    for (int g = 0; g < addr::ErrorGroups; ++g) {
        const auto page = static_cast<std::uint16_t>(addr::ErrorPages + addr::ErrorPageSize * g);
        const bool circuit2Group = g == 4 || g == 5 || g == 6 || g == 7 || g == 11;
        int n = events(rng_);
        if (circuit2Group && !circuit2) n = 0;
        const bool active = g == activeGroup;

        // Events from the oldest on, written into the ring in order.
        std::vector<std::int64_t> starts;
        std::int64_t t = now - (active ? 1800 : 0);
        for (int k = 0; k < n; ++k) {
            t -= std::int64_t{gapMinutes(rng_)} * 60;
            starts.push_back(t);
        }
        std::reverse(starts.begin(), starts.end());
        int slot = 0;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            std::uint8_t entry[16] = {};
            entry[1] = u8((k % 3) == 0 ? 1 : 0);  // second flag: acknowledged
            timeBytes(entry + 4, starts[k]);
            timeBytes(entry + 10, starts[k] + duration(rng_));
            slot = static_cast<int>(k % addr::ErrorEntries);
            for (int b = 0; b < 16; ++b) {
                put8(static_cast<std::uint16_t>(page + 16 * slot + b), entry[b]);
            }
        }
        int ring = n % addr::ErrorEntries;
        if (active) {
            std::uint8_t entry[16] = {};
            entry[0] = 1;
            timeBytes(entry + 4, now - 1200);
            for (int b = 0; b < 16; ++b) {
                put8(static_cast<std::uint16_t>(page + 16 * ring + b), entry[b]);
            }
            if (g < 8) stateBits = u8(stateBits | (1 << g));
            ++activeCount;
        }
        put8(static_cast<std::uint16_t>(addr::ErrorState + 16 + g), u8(ring));
    }
    put8(addr::ErrorState + addr::ErrorStateBits, stateBits);
    put8(addr::ErrorState + addr::ErrorStateCount, u8(activeCount));
}

void Device::fillIntegrators(std::int64_t now) {
    const std::int64_t midnight = now - now % 86400;
    for (int c = 0; c < 2; ++c) {
        // Circuit 1 has wrapped its ring; circuit 2 has five daily records.
        const int records = c == 0 ? 11 : (circuits_[1].present ? 5 : 0);
        for (int k = 0; k < records; ++k) {
            const int slot = k % addr::IntegratorSlots;
            const std::int64_t dayStart = midnight - std::int64_t{records - k} * 86400;
            const ProcessSample s = circuits_[c].model.at(static_cast<double>(dayStart) + 43200);
            std::uint8_t rec[32] = {};
            timeBytes(rec, dayStart);
            timeBytes(rec + 6, dayStart + 86400);
            const auto a = static_cast<std::uint16_t>(
                addr::Integrators + addr::IntegratorCircuitStride * c + 32 * slot);
            for (int b = 0; b < 12; ++b) put8(static_cast<std::uint16_t>(a + b), rec[b]);
            for (int b = 12; b < 32; ++b) put8(static_cast<std::uint16_t>(a + b), 0);
            putFloatAt(static_cast<std::uint16_t>(a + 12), static_cast<float>(s.mainFlow * 24.0));
            putFloatAt(static_cast<std::uint16_t>(a + 16), static_cast<float>(s.massFlow * 24.0));
            putLongAt(static_cast<std::uint16_t>(a + 20), 86400u);
        }
        put8(static_cast<std::uint16_t>(addr::IntegratorRing + c),
             u8(records % addr::IntegratorSlots));
    }
}

void Device::fillTrendMemory(std::int64_t now) {
    const bool circuit2 = (options_.ausbaustufe & addr::LevelNoCircuit2) == 0;
    const bool trend = (options_.ausbaustufe & addr::LevelNoTrend) == 0;
    // Erased memory everywhere first.
    for (unsigned a = addr::TrendBlocks;
         a < addr::TrendBlocks + addr::TrendBlockSize * unsigned{addr::TrendBlockCount}; ++a) {
        mem_[a] = 0xFF;
    }
    for (unsigned a = 0; a < addr::TrendDirectorySize; ++a) mem_[a] = 0;
    if (!trend) return;

    constexpr int kUsed = 40;  // blocks 0..39 written, 40..43 still erased
    std::int64_t chainEnd[2] = {now - now % 60, now - now % 60};
    bool newest[2] = {true, true};
    std::uniform_int_distribution<int> partial(20, 50);
    std::normal_distribution<double> noise(0.0, 0.4);

    for (int b = kUsed - 1; b >= 0; --b) {
        const int circuit = circuit2 ? b % 2 : 0;
        const int pair = circuit2 ? b / 2 : b;
        int interval = 15;
        if (pair == 6) interval = 100;  // one block of per-second values
        if (pair == 4) interval = 60;
        if (pair == 2) interval = 5;
        const int count = newest[circuit] ? partial(rng_) : addr::TrendValuesPerBlock;
        newest[circuit] = false;

        std::int64_t start;
        if (interval == 100) {
            start = chainEnd[circuit] - count;
            chainEnd[circuit] = start - start % 60;
        } else {
            const std::int64_t step = std::int64_t{interval} * 60;
            const std::int64_t end = chainEnd[circuit] - chainEnd[circuit] % step;
            start = end - step * count;
            chainEnd[circuit] = start;
        }

        const auto base = static_cast<std::uint16_t>(addr::TrendBlocks + addr::TrendBlockSize * b);
        std::uint8_t head[6];
        timeBytes(head, start);
        put8(base + 0, u8(circuit));
        put8(base + 1, u8(interval));
        for (int i = 0; i < 5; ++i) put8(static_cast<std::uint16_t>(base + 2 + i), head[i]);
        put8(base + 7, u8(count));
        for (int j = 0; j < addr::TrendValuesPerBlock; ++j) {
            const auto off = static_cast<std::uint16_t>(j);
            if (j >= count) {
                putWordAt(static_cast<std::uint16_t>(base + addr::TrendSeries1 + 2 * off), 0);
                putWordAt(static_cast<std::uint16_t>(base + addr::TrendSeries2 + 2 * off), 0);
                putFloatAt(static_cast<std::uint16_t>(base + addr::TrendSeries3 + 4 * off), 0);
                putFloatAt(static_cast<std::uint16_t>(base + addr::TrendSeries4 + 4 * off), 0);
                continue;
            }
            const std::int64_t at =
                interval == 100 ? start + j : start + std::int64_t{interval} * 60 * (j + 1);
            const ProcessSample s =
                circuits_[circuit].model.at(static_cast<double>(at), noise(rng_));
            const long tWord = std::lround(s.temperature * 10.0 + 2731.0);
            const long pWord = std::lround(s.pressure);
            putWordAt(static_cast<std::uint16_t>(base + addr::TrendSeries1 + 2 * off),
                      static_cast<std::uint16_t>(std::clamp(tWord, 0L, 65535L)));
            putWordAt(static_cast<std::uint16_t>(base + addr::TrendSeries2 + 2 * off),
                      static_cast<std::uint16_t>(std::clamp(pWord, 0L, 65535L)));
            putFloatAt(static_cast<std::uint16_t>(base + addr::TrendSeries3 + 4 * off),
                       static_cast<float>(s.mainFlow));
            putFloatAt(static_cast<std::uint16_t>(base + addr::TrendSeries4 + 4 * off),
                       static_cast<float>(s.massFlow));
        }
    }

    // Directory: state 1 (recording), the newest block, then figures the
    // program does not interpret: full scales of the recorded quantities,
    // five reserved floats, and the number of blocks in use.
    put8(addr::TrendDirectory + 0, 1);
    put8(addr::TrendDirectory + 1, u8(kUsed - 1));
    putFloatAt(addr::TrendDirectory + 2, 500.0f);
    putFloatAt(addr::TrendDirectory + 6, 1600.0f);
    putFloatAt(addr::TrendDirectory + 10, 10000.0f);
    for (unsigned k = 0; k < 5; ++k) putFloatAt(addr::TrendDirectory + 14 + 4 * k, 0.0f);
    putWordAt(addr::TrendDirectory + 34, kUsed);
}

void Device::updateProcess(double dt) const {
    const bool gas = options_.medium == 0;
    std::uniform_real_distribution<double> jitter(-1.0, 1.0);
    const double wall = wallSeconds();
    float sources[2][8] = {};

    for (std::uint16_t i = 0; i < 2; ++i) {
        Circuit& c = circuits_[i];
        const auto base =
            static_cast<std::uint16_t>(addr::OperatingValues + addr::OperatingValuesStride * i);
        if (!c.present) {
            for (std::uint16_t k = 0; k < addr::OperatingValuesStride; ++k) put8(base + k, 0);
            continue;
        }
        const ProcessSample s = c.model.at(wall, jitter(rng_));
        c.totalMain += s.mainFlow * dt / 3600.0;
        c.totalMass += s.massFlow * dt / 3600.0;
        c.operatingTime += dt;

        // Totals go out in two parts that the program adds: whole tens of
        // thousands and the rest, so that the rest keeps its decimals.
        const double mainHigh = std::floor(c.totalMain / 1.0e4) * 1.0e4;
        const double massHigh = std::floor(c.totalMass / 1.0e4) * 1.0e4;

        putFloatAt(base + 0, static_cast<float>(0.6025 + 0.0004 * s.diffPressure / 25.0));
        putFloatAt(base + 4, static_cast<float>(s.compressibility));
        putFloatAt(base + 8, static_cast<float>(gas ? 1.0 / s.compressibility : 0.0));
        putFloatAt(base + 12, static_cast<float>(s.density));
        putFloatAt(base + 16, static_cast<float>(s.density));
        putFloatAt(base + 20, static_cast<float>(s.pressure));
        putFloatAt(base + 24, static_cast<float>(s.temperature + 273.15));
        putFloatAt(base + 28, static_cast<float>(s.diffPressure));
        putFloatAt(base + 32, static_cast<float>(s.volumeFlow));
        putFloatAt(base + 36, static_cast<float>(s.massFlow));
        putFloatAt(base + 40, static_cast<float>(massHigh));
        putFloatAt(base + 44, static_cast<float>(c.totalMass - massHigh));
        putFloatAt(base + 48, static_cast<float>(s.mainFlow));
        putFloatAt(base + 52, static_cast<float>(mainHigh));
        putFloatAt(base + 56, static_cast<float>(c.totalMain - mainHigh));
        putLongAt(base + 60, static_cast<std::uint32_t>(c.operatingTime));
        putFloatAt(base + 64, static_cast<float>(s.temperature2));
        putFloatAt(base + 68, static_cast<float>(s.volumeFlow / 3.6));  // pulse frequency, Hz
        putFloatAt(base + 72, 0.0f);
        putFloatAt(base + 76, 0.0f);

        const double values[8] = {s.temperature, s.pressure,   s.density,      s.mainFlow,
                                  s.massFlow,    s.volumeFlow, s.diffPressure, s.temperature2};
        for (int k = 0; k < 8; ++k) sources[i][k] = static_cast<float>(values[k]);
    }

    // Output currents: 4..20 mA over the output's range; the source code
    // picks circuit (codes from 16 on: circuit 2) and quantity (code mod 8).
    for (std::uint16_t k = 0; k < 4; ++k) {
        const auto a = static_cast<std::uint16_t>(addr::Aus_User + 16 * k);
        const int code = get8(a + 3);
        const float lo = getFloatAt(a + 4);
        const float hi = getFloatAt(a + 8);
        const float v = sources[code >= 16 ? 1 : 0][code % 8];
        float current = 4.0f;
        if (hi > lo) current = 4.0f + 16.0f * (v - lo) / (hi - lo);
        current = std::clamp(current, 3.8f, 20.5f);
        putFloatAt(static_cast<std::uint16_t>(addr::OutputCurrents + 4 * k), current);
    }
}

}  // namespace parvion::sim

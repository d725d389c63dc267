#pragma once
// Trend blocks and stores the trend tests build: one block with a plain
// process, and a full ring.

#include <cmath>
#include <cstdint>

#include "core/model/device_records.h"

namespace parvion::test {

inline TrendBlock TrendBlockAt(int circuit, int interval, int y, int mo, int d, int h, int mi,
                               int count) {
    const auto u8 = [](int v) { return static_cast<std::uint8_t>(v); };
    TrendBlock b;
    b.Valid = true;
    b.Header = {u8(circuit), u8(interval), static_cast<std::uint16_t>(y), u8(mo), u8(d), u8(h),
                u8(mi),      u8(count)};
    for (std::size_t j = 0; j < TrendBlock::kValues; ++j) {
        b.Series[0][j] = 2931;  // 20 °C
        b.Series[1][j] = static_cast<float>(100 + j);
        b.Series[2][j] = 1.5f;
        b.Series[3][j] = static_cast<float>(j);
    }
    return b;
}

// Every block of the ring full: 44 hours of minute values of one circuit
// (or both, alternating), a process that moves, the ring wrapped at block 10.
inline TrendStore FullTrendStore(bool bothCircuits = false) {
    TrendStore store;
    store.Directory.State = 2;
    store.Directory.Newest = 10;
    for (std::size_t i = 0; i < TrendStore::kBlocks; ++i) {
        // Block 11 is the oldest hour, block 10 the newest.
        const int age = static_cast<int>((i + TrendStore::kBlocks - 11) % TrendStore::kBlocks);
        const int circuit = bothCircuits ? static_cast<int>(i % 2) : 0;
        TrendBlock b =
            TrendBlockAt(circuit, 1, 2024, 5, 16 + (6 + age) / 24, (6 + age) % 24, 0, 60);
        for (std::size_t j = 0; j < TrendBlock::kValues; ++j) {
            const double t = (age * 60.0 + static_cast<double>(j)) / 60.0;
            b.Series[0][j] =
                static_cast<float>(2731 + std::lround(10 * (18 + 6 * std::sin(t / 4))));
            b.Series[1][j] = static_cast<float>(1000 + std::lround(40 * std::cos(t / 3)));
            b.Series[2][j] =
                static_cast<float>(1250 + 300 * std::sin(t / 2) + static_cast<double>(j % 7) * 3);
            b.Series[3][j] = static_cast<float>(950 + 200 * std::sin(t / 2 + 0.5));
        }
        store.Block[i] = b;
    }
    return store;
}

}  // namespace parvion::test

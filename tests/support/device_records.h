#pragma once
// A parameter record as the simulated device holds it in its memory, read
// and put by the record's place: what a test checks after the program wrote,
// or sets up before it reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "core/link/parameter_blocks.h"
#include "sim/lib/device.h"

namespace parvion::test {

template <class Rec>
Rec deviceRecord(const sim::Device& device, block::Place place) {
    Rec r{};
    EXPECT_TRUE(codec::Decode(device.peek(place.address, place.count), r));
    return r;
}

// The memory that does not run with time: the identity, the parameter
// blocks and the tables (the integrator ring, the clock and the live values
// left out).
inline std::vector<std::uint8_t> StableMemory(const sim::Device& d) {
    std::vector<std::uint8_t> m = d.peek(0x8000, 0x176);  // up to the integrator ring
    for (const auto& [at, n] : {std::pair{0x8178, 0x188}, std::pair{0x9000, 0x1000}}) {
        const auto area = d.peek(static_cast<std::uint16_t>(at), static_cast<std::size_t>(n));
        m.insert(m.end(), area.begin(), area.end());
    }
    return m;
}

template <class Rec>
void putRecord(sim::Device& device, block::Place place, const Rec& r) {
    device.poke(place.address, codec::Encode(r));
}

}  // namespace parvion::test

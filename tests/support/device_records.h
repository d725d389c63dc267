#pragma once
// A parameter record as the simulated device holds it in its memory, read
// and put by the record's place: what a test checks after the program wrote,
// or sets up before it reads.

#include <gtest/gtest.h>

#include "core/link/parameter_blocks.h"
#include "sim/lib/device.h"

namespace parvion::test {

template <class Rec>
Rec deviceRecord(const sim::Device& device, block::Place place) {
    Rec r{};
    EXPECT_TRUE(codec::Decode(device.peek(place.address, place.count), r));
    return r;
}

template <class Rec>
void putRecord(sim::Device& device, block::Place place, const Rec& r) {
    device.poke(place.address, codec::Encode(r));
}

}  // namespace parvion::test

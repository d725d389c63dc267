#pragma once
// The simulated device served on a real pseudo-terminal, for tests whose
// code under test opens the port by its path (the connection doctor, the
// settings dialog).

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"

namespace parvion::test {

// The simulated device's defaults, listening at another baud rate.
inline sim::DeviceOptions AtBaud(int baudIndex) {
    sim::DeviceOptions o;
    o.baudIndex = baudIndex;
    return o;
}

// The simulated device's defaults but for the variant (1: energy) and the
// expansion level.
inline sim::DeviceOptions SimDevice(int medium, std::uint8_t ausbaustufe = 0) {
    sim::DeviceOptions o;
    o.medium = medium;
    o.ausbaustufe = ausbaustufe;
    return o;
}

struct SimPty {
    explicit SimPty(sim::DeviceOptions options = {}) : device(options) {
        std::string error;
        started = server.start(&error);
        EXPECT_TRUE(started) << error;
    }
    const std::string& path() const { return server.slavePath(); }

    sim::Device device;
    sim::PtyServer server{device};
    bool started = false;
};

}  // namespace parvion::test

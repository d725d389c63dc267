#pragma once
// The simulated device served on a real pseudo-terminal, for tests whose
// code under test opens the port by its path (the connection doctor, the
// settings dialog).

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

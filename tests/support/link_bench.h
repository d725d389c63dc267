#pragma once
// The in-process device simulator behind a Link, as the core link tests drive
// it: the link is made on the simulated line and left closed; open() puts a
// new one on a line (a decorator around the simulated one, say) and opens it
// as "sim:1" at the device's baud rate.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion::test {

struct LinkBench {
    explicit LinkBench(sim::DeviceOptions options = {}) : device(options) {}

    void open(SerialLine& through) {
        link = std::make_unique<Link>(through, ui, session, dir.path());
        link->setPortResolver([](int n) { return "sim:" + std::to_string(n); });
        session.Baudrate = device.baudIndex();
        EXPECT_TRUE(link->OpenComPort(1, device.baudIndex()));
    }
    void open() { open(line); }

    std::vector<std::uint8_t> peek(block::Place p) const { return device.peek(p.address, p.count); }
    void fill(block::Place p, std::uint8_t v) {
        device.poke(p.address, std::vector<std::uint8_t>(p.count, v));
    }

    TempDir dir;
    sim::Device device;
    sim::SimLine line{device};
    RecordingUi ui;
    Session session;
    std::unique_ptr<Link> link = std::make_unique<Link>(line, ui, session, dir.path());
};

}  // namespace parvion::test

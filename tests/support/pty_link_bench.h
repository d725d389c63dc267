#pragma once
// The simulated device served on a real pseudo-terminal, and a Link to it
// over a line of type L: the port resolves to the pseudo-terminal, open
// failures go to the error log in the scratch folder, and waits are real.

#include <chrono>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "core/app/error_log.h"
#include "core/link/port_line.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion::test {

template <class L, class Ui = RecordingUi>
struct PtyLinkBench {
    explicit PtyLinkBench(sim::DeviceOptions options = {}) : device(options) {
        std::string error;
        started = server.start(&error);
        EXPECT_TRUE(started) << error;
        session.Baudrate = options.baudIndex;
        link.setPortResolver([this](int) { return server.slavePath(); });
        link.setErrorLog(ErrorLogIn(dir.path()));
        ui.realWaits = true;
    }
    bool open() { return link.OpenComPort(1, session.Baudrate); }

    TempDir dir;
    sim::Device device;
    sim::PtyServer server{device};
    bool started = false;
    L line;
    Ui ui;
    Session session;
    Link link{line, ui, session, dir.path()};
};

// The line the program opens a port with: the termios line for device
// paths, the socket line for network port names. The termios line is a
// base before the port line, so that it is built before the port line binds
// it and outlives it.
struct TermiosLineHolder {
    TermiosLine termios;
};
struct TermiosPortLine : TermiosLineHolder, PortLine {
    TermiosPortLine() : PortLine(termios) {}
};

// Runs fn on another thread and tells whether it ended within the limit, so
// that a hang fails the test instead of blocking it.
template <typename Fn>
bool EndsWithin(std::chrono::seconds limit, Fn fn) {
    auto done = std::async(std::launch::async, fn);
    return done.wait_for(limit) == std::future_status::ready;
}

}  // namespace parvion::test

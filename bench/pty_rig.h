#pragma once
// What the link benchmarks share: the simulated device served over a real
// pseudo-terminal with baud-rate pacing, the termios line and the transport
// on the program side, and the figures of one operation: its time, the bytes
// it moved and the waits it prescribes. The ratio of the time to the wire
// time (10 bits per byte at the baud rate, both directions) plus those waits
// is the figure to quote; 1.0 is the physical limit.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/session.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/parameter_image.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"

namespace parvion::bench {

using Steady = std::chrono::steady_clock;

struct Figure {
    double seconds = 0;
    std::uint64_t bytes = 0;
    double waitsMs = 0;
    bool ok = true;
};

// Counts the waits an operation prescribes and spends them for real.
class BenchUi : public UiHooks {
  public:
    void waitMs(int ms) override {
        waitedMs += ms;
        UiHooks::waitMs(ms);
    }
    double waitedMs = 0;
};

struct PtyRig {
    // The program side talks through `programLine` (the termios line when
    // none is given), so that the same figures can be taken over the line
    // the window program uses.
    // `front` gives the port the program opens for the pseudo-terminal's
    // path (a serial device server in front of it); none: the path itself.
    PtyRig(sim::DeviceOptions options, const std::filesystem::path& logFolder,
           std::unique_ptr<SerialLine> programLine = nullptr,
           const std::function<std::string(const std::string&)>& front = nullptr)
        : device(options),
          server(device, true),
          ownLine(programLine ? std::move(programLine) : std::make_unique<TermiosLine>()),
          line(*ownLine) {
        std::string error;
        if (!server.start(&error)) {
            std::fprintf(stderr, "cannot start the pseudo-terminal: %s\n", error.c_str());
            std::exit(1);
        }
        link = std::make_unique<Link>(line, ui, session, logFolder);
        const std::string path = front ? front(server.slavePath()) : server.slavePath();
        link->setPortResolver([path](int) { return path; });
        session.Online = true;
        session.Baudrate = options.baudIndex;
        session.Medium = options.medium == 0 ? medium::Gas : medium::Energy;
        if (!link->OpenComPort(1, options.baudIndex)) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            std::exit(1);
        }
    }
    ~PtyRig() {
        line.close();
        server.stop();
    }
    PtyRig(const PtyRig&) = delete;
    PtyRig& operator=(const PtyRig&) = delete;

    int baud() const { return kBaudRates[device.options().baudIndex]; }

    // Runs one operation and takes its figures; it failed when it says so
    // or when any of its transactions failed.
    Figure measure(const std::function<bool()>& operation) {
        const auto bytesBefore = server.bytesReceived() + server.bytesSent();
        const int failedBefore = link->failedTransactions();
        ui.waitedMs = 0;
        const auto start = Steady::now();
        Figure f;
        f.ok = operation();
        f.seconds = std::chrono::duration<double>(Steady::now() - start).count();
        f.bytes = server.bytesReceived() + server.bytesSent() - bytesBefore;
        f.waitsMs = ui.waitedMs;
        f.ok = f.ok && link->failedTransactions() == failedBefore;
        return f;
    }

    sim::Device device;
    sim::PtyServer server;
    std::unique_ptr<SerialLine> ownLine;
    SerialLine& line;
    BenchUi ui;
    Session session;
    std::unique_ptr<Link> link;
    ParameterImage image;
};

// The median run of an operation against its wire time and prescribed waits.
struct Summary {
    double median = 0;  // seconds
    double wire = 0;    // seconds
    double waitsMs = 0;
    std::uint64_t bytes = 0;
    double ratio = 0;
    bool ok = true;
};

inline Summary Summarise(const std::vector<Figure>& runs, int baud) {
    Summary s;
    std::vector<double> times;
    for (const Figure& r : runs) {
        times.push_back(r.seconds);
        s.ok = s.ok && r.ok;
    }
    std::sort(times.begin(), times.end());
    s.median = times[times.size() / 2];
    const Figure& f = runs.front();
    s.bytes = f.bytes;
    s.waitsMs = f.waitsMs;
    s.wire = static_cast<double>(f.bytes) * 10.0 / baud;
    s.ratio = s.median / (s.wire + f.waitsMs / 1000.0);
    return s;
}

// A folder for the trace files of one run, removed at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace parvion::bench

#pragma once
// Serves a simulated device on a pseudo-terminal, as if it hung on a serial
// cable: a program opens slavePath() like a serial port. The server thread
// reads requests from the master side and sends the device's replies.
//
// With pacing on, timings are those of a real line at the device's current
// baud rate (10 bits per byte): a request counts as arrived only after its
// own wire time, and the reply's bytes become readable one by one at the
// same rate. A client whose line is set to another baud rate than the
// device's reaches a silent device. stop() closes the master side: for the
// client this is a pulled cable (reads fail, the port reports errors); so is
// a DropLine fault.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "sim/lib/device.h"

namespace parvion::sim {

class PtyServer {
  public:
    explicit PtyServer(Device& device, bool pacing = true);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens the pseudo-terminal and starts serving. False with a reason when
    // the terminal cannot be made.
    bool start(std::string* error);
    // The path a client opens, e.g. /dev/pts/7 (empty before start).
    const std::string& slavePath() const { return slavePath_; }
    // Closes the master side and ends the server thread; safe to call twice
    // and in the middle of a transfer.
    void stop();
    bool running() const { return running_.load(); }

    // Extra time the device takes before it starts a reply (default none).
    // Set before start().
    void setProcessingDelay(std::chrono::microseconds delay) { processingDelay_ = delay; }
    // Whether a client at another baud rate is ignored (default on). Set
    // before start().
    void setBaudCheck(bool on) { baudCheck_ = on; }

    std::uint64_t bytesReceived() const { return bytesIn_.load(); }
    std::uint64_t bytesSent() const { return bytesOut_.load(); }
    // Request bytes ignored because the client's baud rate did not match.
    std::uint64_t bytesIgnored() const { return bytesIgnored_.load(); }

  private:
    void run();
    void closeFds();
    int clientBaud() const;

    Device& device_;
    bool pacing_;
    bool baudCheck_ = true;
    std::chrono::microseconds processingDelay_{0};
    int master_ = -1;
    int slave_ = -1;  // held open so the master never sees a hang-up between clients
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<std::uint64_t> bytesIn_{0};
    std::atomic<std::uint64_t> bytesOut_{0};
    std::atomic<std::uint64_t> bytesIgnored_{0};
};

}  // namespace parvion::sim

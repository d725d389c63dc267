#pragma once
// Serves a simulated device on a TCP socket, as a serial device server with
// the device behind it would: raw bytes, or Telnet with the COM-PORT-OPTION
// of RFC 2217, whose baud-rate setting the server follows. The server's port
// runs at the device's rate when serving started; every connection starts
// there, and an RFC 2217 client may set another. While that rate differs
// from the device's (a raw server after the device switched, a client at
// the wrong rate) the device is silent, as over a cable.
// One client at a time: a second connection is closed at once, as ser2net
// refuses a second user. Replies are paced at the device's baud rate as on
// the pseudo-terminal; a DropLine fault closes the connection and ends the
// serving, like a pulled cable.
//
// This is the only place of the project that listens on a socket: bound to
// the loopback address unless the caller names another.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "sim/lib/device.h"

namespace parvion::sim {

class TcpServer {
  public:
    TcpServer(Device& device, bool rfc2217, bool pacing = true);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Listens on host:port (port 0: a free one) and starts serving. False
    // with a reason when the address cannot be bound.
    bool start(const std::string& host, std::uint16_t port, std::string* error);
    // The port listened on (after start).
    std::uint16_t port() const { return port_; }
    // "rfc2217://127.0.0.1:4001" or "tcp://…": the name a client opens.
    const std::string& portName() const { return portName_; }
    void stop();
    bool running() const { return running_.load(); }

    // Extra time the device takes before it starts a reply. Set before start().
    void setProcessingDelay(std::chrono::microseconds delay) { processingDelay_ = delay; }

    // The rate of the server's port: the one the RFC 2217 client set last,
    // else the device's when serving started.
    int clientBaud() const { return clientBaud_.load(); }
    std::uint64_t clientsServed() const { return clientsServed_.load(); }
    std::uint64_t clientsRefused() const { return clientsRefused_.load(); }
    // Request bytes ignored because the client's baud rate did not match.
    std::uint64_t bytesIgnored() const { return bytesIgnored_.load(); }

  private:
    void run();
    void closeFds();

    Device& device_;
    bool rfc2217_;
    bool pacing_;
    std::chrono::microseconds processingDelay_{0};
    int listen_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::uint16_t port_ = 0;
    std::string portName_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    int serverBaud_ = 0;
    std::atomic<int> clientBaud_{0};
    std::atomic<std::uint64_t> clientsServed_{0};
    std::atomic<std::uint64_t> clientsRefused_{0};
    std::atomic<std::uint64_t> bytesIgnored_{0};
};

}  // namespace parvion::sim

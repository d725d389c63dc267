#pragma once
// The line a program talks through: at every open it picks, by the port
// name, the local serial line (a device path) or the socket line (a
// network port, rfc2217:// or tcp://), and passes every call on to it. The
// command-line program puts it over the termios line, the window over its
// Qt serial line; both use the one socket line of the core.

#include <chrono>

#include "core/link/serial_line.h"
#include "core/link/socket_line.h"

namespace parvion {

class PortLine : public SerialLine {
  public:
    // local: the line for device paths (not owned); wait: how the socket
    // line waits (null: poll).
    explicit PortLine(SerialLine& local, SocketWait* wait = nullptr);

    bool open(const std::string& port, int baud, std::string* error,
              int* errorNumber = nullptr) override;
    void close() override { active_->close(); }
    bool isOpen() const override { return active_->isOpen(); }
    bool setBaudRate(int baud) override { return active_->setBaudRate(baud); }
    void discardInput() override { active_->discardInput(); }
    void discardOutput() override { active_->discardOutput(); }
    bool write(const std::uint8_t* data, std::size_t n) override { return active_->write(data, n); }
    std::size_t bytesWaiting() override { return active_->bytesWaiting(); }
    std::size_t bytesPending() override { return active_->bytesPending(); }
    std::size_t read(std::uint8_t* data, std::size_t max) override {
        return active_->read(data, max);
    }
    void waitForActivity(Clock::time_point deadline) override {
        active_->waitForActivity(deadline);
    }
    void processEvents() override { active_->processEvents(); }
    std::chrono::milliseconds latencyAllowance() const override {
        return active_->latencyAllowance();
    }
    void setLatencyAllowance(std::chrono::milliseconds allowance) override {
        socket_.setLatencyAllowance(allowance);
    }
    bool followsBaudRate() const override { return active_->followsBaudRate(); }

    // Whether the line in use is the socket line.
    bool network() const { return active_ == &socket_; }
    SocketLine& socket() { return socket_; }
    SerialLine& local() { return local_; }

  private:
    SerialLine& local_;
    SocketLine socket_;
    SerialLine* active_;
};

}  // namespace parvion

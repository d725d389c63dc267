#pragma once
// A serial line on a POSIX terminal device (a real port or a pseudo-terminal):
// raw 8N1, no flow control, non-blocking. A hang-up or read error (cable
// pulled, other side of a pseudo-terminal closed) closes the line, so that
// the transport fails and goes offline instead of waiting or spinning.

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/link/serial_line.h"
#include "core/link/wire_clock.h"

namespace parvion {

class TermiosLine : public SerialLine {
  public:
    TermiosLine() = default;
    ~TermiosLine() override;
    TermiosLine(const TermiosLine&) = delete;
    TermiosLine& operator=(const TermiosLine&) = delete;

    bool open(const std::string& port, int baud, std::string* error,
              int* errorNumber = nullptr) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool setBaudRate(int baud) override;

    void discardInput() override;
    void discardOutput() override;
    bool write(const std::uint8_t* data, std::size_t n) override;
    std::size_t bytesWaiting() override;
    std::size_t bytesPending() override;
    std::size_t read(std::uint8_t* data, std::size_t max) override;
    void waitForActivity(Clock::time_point deadline) override;

    // True when the line closed itself after a hang-up or read error.
    bool failed() const { return failed_; }

    // Whether the baud rate is one of the standard terminal rates.
    static bool isStandardBaudRate(int baud);

  private:
    // Moves what the terminal holds into the input buffer; false when the
    // line failed (and is now closed).
    bool pull();
    void fail();

    int fd_ = -1;
    int baud_ = 9600;
    bool failed_ = false;
    WireClock wire_;
    // Bytes already taken from the terminal but not yet read by the caller,
    // so that a wait reports only bytes that are really new.
    std::vector<std::uint8_t> input_;
};

// The termios speed constant of a baud rate; false when the system has none.
bool TermiosSpeed(int baud, speed_t* speed);
// The baud rate of a termios speed constant; 0 when unknown.
int BaudOfTermiosSpeed(speed_t speed);

}  // namespace parvion

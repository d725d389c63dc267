#pragma once
// The serial line as the frame transport needs it. Implementations: the Qt
// serial port (gui/app), POSIX termios (link/termios_line), a TCP socket to
// a serial device server (link/socket_line, raw or RFC 2217), the line that
// picks one of them by port name (link/port_line) and an in-process link to
// the device simulator (sim/lib).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace parvion {

class SerialLine {
  public:
    using Clock = std::chrono::steady_clock;

    virtual ~SerialLine() = default;

    // Opens the named port (a device path, or "COMn" on Windows) at 8N1, no
    // flow control. On failure returns false, puts the reason in words in
    // *error and the system's error number (ENOENT, EACCES, EBUSY, ENOTTY,
    // EINVAL for a rate the port cannot take; 0 when the line cannot tell)
    // in *errorNumber.
    virtual bool open(const std::string& port, int baud, std::string* error,
                      int* errorNumber = nullptr) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool setBaudRate(int baud) = 0;

    virtual void discardInput() = 0;
    virtual void discardOutput() = 0;
    // Queues the bytes for sending; false when the line failed.
    virtual bool write(const std::uint8_t* data, std::size_t n) = 0;
    // Bytes received and not yet read.
    virtual std::size_t bytesWaiting() = 0;
    // Bytes written but not yet on the wire.
    virtual std::size_t bytesPending() = 0;
    virtual std::size_t read(std::uint8_t* data, std::size_t max) = 0;

    // Returns as soon as new bytes arrived, the output drained, the line
    // failed, or the deadline passed. Implementations that live in a window
    // keep processing window events while they wait.
    virtual void waitForActivity(Clock::time_point deadline) = 0;

    // Lets pending window events run (no-op outside a window program).
    virtual void processEvents() {}

    // What a network adds to the time a reply takes: zero for a local port.
    // The transport adds it to its reply time-out.
    virtual std::chrono::milliseconds latencyAllowance() const { return {}; }
    // The allowance the settings give network lines; local lines ignore it.
    virtual void setLatencyAllowance(std::chrono::milliseconds allowance) { (void)allowance; }
    // False when a baud-rate change cannot reach the far end of the line: a
    // raw network port, whose rate is set on the server.
    virtual bool followsBaudRate() const { return true; }
};

}  // namespace parvion

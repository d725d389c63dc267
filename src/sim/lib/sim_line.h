#pragma once
// An in-process serial line wired straight to a simulated device, for fast
// tests: what is written reaches the device at once and its reply is
// readable at once (a LateFirstByte fault makes it readable only after the
// device's late delay). There is no wire time and nothing is ever pending in
// the output. A line set to another baud rate than the device's reaches a
// silent device; after a DropLine fault the line is gone (closed) until the
// device's line is restored.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/link/serial_line.h"
#include "sim/lib/device.h"

namespace parvion::sim {

class SimLine : public parvion::SerialLine {
  public:
    explicit SimLine(Device& device);

    bool open(const std::string& port, int baud, std::string* error,
              int* errorNumber = nullptr) override;
    void close() override;
    bool isOpen() const override;
    bool setBaudRate(int baud) override;

    void discardInput() override;
    void discardOutput() override;
    bool write(const std::uint8_t* data, std::size_t n) override;
    std::size_t bytesWaiting() override;
    std::size_t bytesPending() override;
    std::size_t read(std::uint8_t* data, std::size_t max) override;
    void waitForActivity(Clock::time_point deadline) override;

    int baudRate() const { return baud_; }
    const std::string& portName() const { return port_; }
    // Bytes written to the line since it was made (for tests).
    std::uint64_t bytesWritten() const { return written_; }

  private:
    struct Chunk {
        Clock::time_point readableAt;
        std::vector<std::uint8_t> bytes;
        bool announced = false;  // reported by waitForActivity
    };
    void checkDropped();
    std::size_t readableNow(Clock::time_point now) const;

    Device& device_;
    bool open_ = false;
    int baud_ = 0;
    std::string port_;
    std::deque<Chunk> input_;
    std::uint64_t written_ = 0;
};

}  // namespace parvion::sim

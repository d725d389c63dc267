#pragma once
// A serial line that passes everything through to another line; tests
// derive from it and override what they want to watch or disturb.

#include <string>

#include "core/link/serial_line.h"

namespace parvion::test {

class LineDecorator : public SerialLine {
  public:
    explicit LineDecorator(SerialLine& inner) : inner_(inner) {}
    bool open(const std::string& p, int baud, std::string* e, int* n = nullptr) override {
        return inner_.open(p, baud, e, n);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool setBaudRate(int baud) override { return inner_.setBaudRate(baud); }
    void discardInput() override { inner_.discardInput(); }
    void discardOutput() override { inner_.discardOutput(); }
    bool write(const std::uint8_t* d, std::size_t n) override { return inner_.write(d, n); }
    std::size_t bytesWaiting() override { return inner_.bytesWaiting(); }
    std::size_t bytesPending() override { return inner_.bytesPending(); }
    std::size_t read(std::uint8_t* d, std::size_t max) override { return inner_.read(d, max); }
    void waitForActivity(Clock::time_point deadline) override { inner_.waitForActivity(deadline); }

  protected:
    SerialLine& inner_;
};

}  // namespace parvion::test

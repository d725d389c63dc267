#pragma once
// The serial line of the window program, on QSerialPort. Its waits run a
// local event loop, so the window stays responsive while a transaction
// waits. The first read or resource error counts as a pulled cable: the port
// is closed, the transaction fails and the program goes offline (a port
// whose other side vanished keeps reporting errors while it claims to be
// open).

#include <QSerialPort>

#include "core/link/serial_line.h"
#include "core/link/wire_clock.h"

namespace parvion::gui {

class QtSerialLine : public SerialLine {
  public:
    QtSerialLine();
    ~QtSerialLine() override;
    QtSerialLine(const QtSerialLine&) = delete;
    QtSerialLine& operator=(const QtSerialLine&) = delete;

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
    void processEvents() override;

    // True when the line closed itself after an error.
    bool failed() const { return failed_; }

  private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    WireClock wire_;
    bool failed_ = false;
};

}  // namespace parvion::gui

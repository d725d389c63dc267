#include "gui/app/qt_serial_line.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace parvion::gui {

namespace {

// The reason in words and the system's error number the port's error
// stands for (QSerialPort keeps no errno; 0 where its error names none).
std::pair<std::string, int> openReason(const QSerialPort& port) {
    const QString text = port.errorString();
    switch (port.error()) {
        case QSerialPort::PermissionError:
            if (text.contains(QStringLiteral("lock"), Qt::CaseInsensitive) ||
                text.contains(QStringLiteral("busy"), Qt::CaseInsensitive)) {
                return {"the port is busy (another program uses it)", EBUSY};
            }
            return {
                "permission denied; the user must be a member of the 'dialout' group "
                "(sudo usermod -a -G dialout $USER, then log in again)",
                EACCES};
        case QSerialPort::DeviceNotFoundError:
            return {"the port does not exist", ENOENT};
        case QSerialPort::OpenError:
            return {text.toStdString(), EBUSY};  // already open
        case QSerialPort::UnsupportedOperationError:
            return {text.toStdString(), ENOTTY};
        default:
            return {text.toStdString(), 0};
    }
}

}  // namespace

QtSerialLine::QtSerialLine() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialLine::~QtSerialLine() {
    close();
}

void QtSerialLine::onError(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::UnknownError:
            // A pulled cable: stop here instead of hearing the same error
            // again and again from a port that claims to be open.
            if (port_.isOpen()) {
                failed_ = true;
                port_.close();
            }
            break;
        default:
            break;
    }
}

bool QtSerialLine::open(const std::string& port, int baud, std::string* error, int* errorNumber) {
    close();
    failed_ = false;
    port_.setPortName(QString::fromStdString(port));
    port_.setBaudRate(baud);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        auto [reason, number] = openReason(port_);
        if (error) *error = std::move(reason);
        if (errorNumber) *errorNumber = number;
        port_.clearError();
        return false;
    }
    port_.clear(QSerialPort::AllDirections);
    wire_.reset();
    return true;
}

void QtSerialLine::close() {
    if (port_.isOpen()) port_.close();
}

bool QtSerialLine::isOpen() const {
    return port_.isOpen();
}

bool QtSerialLine::setBaudRate(int baud) {
    return port_.setBaudRate(baud);
}

void QtSerialLine::discardInput() {
    if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

void QtSerialLine::discardOutput() {
    wire_.reset();
    if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

bool QtSerialLine::write(const std::uint8_t* data, std::size_t n) {
    if (!port_.isOpen()) return false;
    const auto size = static_cast<qint64>(n);
    if (port_.write(reinterpret_cast<const char*>(data), size) != size) return false;
    wire_.sent(n, static_cast<int>(port_.baudRate()));
    port_.flush();  // hand it to the driver now rather than at the next event
    return port_.isOpen();
}

std::size_t QtSerialLine::bytesWaiting() {
    return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

std::size_t QtSerialLine::bytesPending() {
    if (!port_.isOpen()) return 0;
    // Bytes cannot be on the wire sooner than the baud rate allows, even
    // where the driver takes them at once.
    return std::max(static_cast<std::size_t>(port_.bytesToWrite()),
                    wire_.pending(static_cast<int>(port_.baudRate())));
}

std::size_t QtSerialLine::read(std::uint8_t* data, std::size_t max) {
    if (!port_.isOpen() || max == 0) return 0;
    const qint64 n = port_.read(reinterpret_cast<char*>(data), static_cast<qint64>(max));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void QtSerialLine::waitForActivity(Clock::time_point deadline) {
    if (!port_.isOpen()) return;
    // Draining raises no event of its own: wake up when the output is due
    // to have left.
    if (bytesPending() > 0 && port_.bytesToWrite() == 0)
        deadline = std::min(deadline, wire_.doneAt());
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&port_, &QSerialPort::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&port_, &QSerialPort::bytesWritten, &loop, &QEventLoop::quit);
    QObject::connect(&port_, &QSerialPort::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&port_, &QSerialPort::aboutToClose, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::min<long long>(left.count(), 60000)));
    loop.exec();
}

void QtSerialLine::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace parvion::gui

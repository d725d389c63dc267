#include "core/link/termios_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parvion {

namespace {

struct BaudEntry {
    int baud;
    speed_t speed;
};

constexpr BaudEntry kBaudTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

std::string openReason(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "permission denied; the user must be a member of the 'dialout' group "
                   "(sudo usermod -a -G dialout $USER, then log in again)";
        case EBUSY:
        case EWOULDBLOCK:
            return "the port is busy (another program uses it)";
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return "the port does not exist";
        default:
            return std::strerror(err);
    }
}

// Milliseconds from now to the deadline, rounded up, at least 0.
int msUntil(SerialLine::Clock::time_point deadline) {
    const auto left = deadline - SerialLine::Clock::now();
    if (left <= SerialLine::Clock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, 60000));
}

}  // namespace

bool TermiosSpeed(int baud, speed_t* speed) {
    for (const auto& e : kBaudTable) {
        if (e.baud == baud) {
            *speed = e.speed;
            return true;
        }
    }
    return false;
}

int BaudOfTermiosSpeed(speed_t speed) {
    for (const auto& e : kBaudTable) {
        if (e.speed == speed) return e.baud;
    }
    return 0;
}

TermiosLine::~TermiosLine() {
    close();
}

bool TermiosLine::isStandardBaudRate(int baud) {
    speed_t speed;
    return TermiosSpeed(baud, &speed);
}

bool TermiosLine::open(const std::string& port, int baud, std::string* error, int* errorNumber) {
    close();
    failed_ = false;
    auto setError = [error, errorNumber](int err, std::string text) {
        if (error) *error = std::move(text);
        if (errorNumber) *errorNumber = err;
    };
    speed_t speed;
    if (!TermiosSpeed(baud, &speed)) {
        setError(EINVAL, "unsupported baud rate " + std::to_string(baud));
        return false;
    }
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        setError(err, openReason(err));
        return false;
    }
    // Another program of ours (or one that locks the same way) holds the port.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        setError(EBUSY, openReason(EBUSY));
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        setError(err, err == ENOTTY ? std::string("not a serial port") : openReason(err));
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        setError(err, openReason(err));
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    baud_ = baud;
    input_.clear();
    wire_.reset();
    return true;
}

void TermiosLine::close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
    input_.clear();
}

void TermiosLine::fail() {
    failed_ = true;
    close();
}

bool TermiosLine::setBaudRate(int baud) {
    speed_t speed;
    if (!TermiosSpeed(baud, &speed)) return false;
    if (fd_ >= 0) {
        termios tio{};
        if (::tcgetattr(fd_, &tio) != 0) return false;
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    }
    baud_ = baud;
    return true;
}

void TermiosLine::discardInput() {
    input_.clear();
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

void TermiosLine::discardOutput() {
    wire_.reset();
    if (fd_ >= 0) ::tcflush(fd_, TCOFLUSH);
}

bool TermiosLine::write(const std::uint8_t* data, std::size_t n) {
    // Frames are far smaller than the terminal's buffer; should it be full
    // all the same, wait for room, but never for long.
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    std::size_t done = 0;
    while (done < n) {
        if (fd_ < 0) return false;
        const ssize_t w = ::write(fd_, data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            wire_.sent(static_cast<std::size_t>(w), baud_);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (Clock::now() >= deadline) return false;
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, msUntil(deadline));
            if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                fail();
                return false;
            }
            continue;
        }
        fail();
        return false;
    }
    return true;
}

bool TermiosLine::pull() {
    if (fd_ < 0) return false;
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t r = ::read(fd_, buffer, sizeof buffer);
        if (r > 0) {
            input_.insert(input_.end(), buffer, buffer + r);
            continue;
        }
        // Raw mode without minimum and time: 0 means nothing more to read.
        if (r == 0) return true;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
        // A read error: EIO on a hung-up terminal.
        fail();
        return false;
    }
}

std::size_t TermiosLine::bytesWaiting() {
    if (fd_ < 0) return 0;
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        fail();
        return 0;
    }
    return input_.size() + static_cast<std::size_t>(std::max(n, 0));
}

std::size_t TermiosLine::bytesPending() {
    if (fd_ < 0) return 0;
    int n = 0;
    if (::ioctl(fd_, TIOCOUTQ, &n) != 0) n = 0;
    // Bytes cannot be on the wire sooner than the baud rate allows, even
    // where the driver hands them on at once.
    const std::size_t due = wire_.pending(baud_);
    return std::max(static_cast<std::size_t>(std::max(n, 0)), due);
}

std::size_t TermiosLine::read(std::uint8_t* data, std::size_t max) {
    if (input_.size() < max && !pull()) return 0;
    const std::size_t n = std::min(max, input_.size());
    std::copy_n(input_.begin(), n, data);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void TermiosLine::waitForActivity(Clock::time_point deadline) {
    if (fd_ < 0) return;
    int timeout = msUntil(deadline);
    // Output draining raises no event: look again once the pending bytes
    // should have left at the line's rate.
    const std::size_t pending = bytesPending();
    if (pending > 0) {
        const long long drainMs = static_cast<long long>(pending) * 10 * 1000 / baud_ + 1;
        timeout = static_cast<int>(std::min<long long>(timeout, drainMs));
    }
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, timeout);
    if (r <= 0) return;  // deadline, or a signal: the caller looks again
    if ((p.revents & POLLIN) != 0) {
        if (!pull()) return;
    }
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) fail();
}

}  // namespace parvion

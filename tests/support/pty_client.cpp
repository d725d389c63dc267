#include "support/pty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/link/termios_line.h"

namespace parvion::test {

PtyClient::~PtyClient() {
    close();
}

bool PtyClient::open(const std::string& path, int baud, std::string* error) {
    close();
    failed_ = false;
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd_, TCSANOW, &tio);
    return setBaud(baud);
}

void PtyClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PtyClient::setBaud(int baud) {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) return false;
    speed_t speed = B115200;
    TermiosSpeed(baud, &speed);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd_, TCSANOW, &tio) == 0;
}

bool PtyClient::write(const std::vector<std::uint8_t>& bytes) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

std::vector<std::uint8_t> PtyClient::read(std::size_t n, std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> out;
    if (fd_ < 0) return out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) break;
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        if ((p.revents & POLLIN) != 0) {
            std::uint8_t buf[512];
            const std::size_t want = std::min(sizeof buf, n - out.size());
            const ssize_t got = ::read(fd_, buf, want);
            if (got > 0) {
                out.insert(out.end(), buf, buf + got);
                continue;
            }
            if (got < 0 && errno == EAGAIN) continue;
        }
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || (p.revents & POLLIN) != 0) {
            failed_ = true;
            break;
        }
    }
    return out;
}

}  // namespace parvion::test

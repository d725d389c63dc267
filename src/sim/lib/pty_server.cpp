#include "sim/lib/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/link/termios_line.h"
#include "sim/lib/paced_replies.h"

namespace parvion::sim {

namespace {

using Clock = std::chrono::steady_clock;

// How long the server sleeps when it has nothing to send.
constexpr long kIdleLookNs = 500'000'000;

std::string errnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::PtyServer(Device& device, bool pacing) : device_(device), pacing_(pacing) {}

PtyServer::~PtyServer() {
    stop();
}

bool PtyServer::start(std::string* error) {
    if (running_) return true;
    auto fail = [&](const char* what) {
        if (error) *error = errnoText(what);
        closeFds();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail("posix_openpt");
    if (grantpt(master_) != 0) return fail("grantpt");
    if (unlockpt(master_) != 0) return fail("unlockpt");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) return fail("open slave");
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) return fail("tcgetattr");
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    speed_t speed = B115200;
    TermiosSpeed(baudRateOfIndex(device_.baudIndex()), &speed);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) return fail("tcsetattr");
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return fail("fcntl");
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];

    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void PtyServer::stop() {
    stopRequested_ = true;
    if (wakeWrite_ >= 0) {
        const char c = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    closeFds();
    running_ = false;
}

void PtyServer::closeFds() {
    for (int* fd : {&master_, &slave_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

int PtyServer::clientBaud() const {
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) return 0;
    return BaudOfTermiosSpeed(cfgetospeed(&tio));
}

void PtyServer::run() {
    PacedReplies replies(device_, pacing_);
    std::vector<std::uint8_t> buf(4096);

    while (!stopRequested_) {
        // Send what is due. A full receive buffer on the other side loses
        // the bytes, as a receiver that is not read overflows.
        replies.sendDue([this](const std::uint8_t* data, std::size_t n) {
            const ssize_t w = ::write(master_, data, n);
            if (w > 0) bytesOut_ += static_cast<std::uint64_t>(w);
        });

        // Idle, look in now and then: a client that died without closing
        // the port (a crash, kill -9) leaves the terminal in exclusive mode,
        // and as this server holds the terminal open the kernel never resets
        // it, so every later open would fail as busy. Clients of this
        // project also lock the port themselves (flock, lock file).
        timespec ts{0, kIdleLookNs};
        if (const auto next = replies.nextDue()) {
            auto wait = *next - Clock::now();
            if (wait < Clock::duration::zero()) wait = Clock::duration::zero();
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int r = ppoll(fds, 2, &ts, nullptr);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0 && replies.empty()) ::ioctl(slave_, TIOCNXCL);
        if (fds[1].revents != 0) break;  // stop requested
        if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) break;
        if ((fds[0].revents & POLLIN) == 0) continue;

        const ssize_t got = ::read(master_, buf.data(), buf.size());
        if (got <= 0) {
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            // EIO: no client at the moment; look again shortly.
            ::usleep(5000);
            continue;
        }
        const auto n = static_cast<std::size_t>(got);
        bytesIn_ += n;
        const auto arrived = Clock::now();
        const int deviceBaud = baudRateOfIndex(device_.baudIndex());
        if (baudCheck_ && clientBaud() != deviceBaud) {
            bytesIgnored_ += n;
            continue;
        }
        if (!replies.request(std::span<const std::uint8_t>(buf.data(), n), arrived,
                             processingDelay_)) {
            break;
        }
    }

    // A pulled cable: the client's side sees the line go away at once.
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    running_ = false;
}

}  // namespace parvion::sim

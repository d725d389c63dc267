#include "sim/lib/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

#include "core/link/termios_line.h"

namespace parvion::sim {

namespace {

using Clock = std::chrono::steady_clock;

// How long the server sleeps when it has nothing to send.
constexpr long kIdleLookNs = 500'000'000;

// Time one byte takes on the wire: start bit, 8 data bits, stop bit.
Clock::duration byteTime(int baudIndex) {
    const int baud = baudRateOfIndex(baudIndex);
    if (baud <= 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(10'000'000'000LL / baud));
}

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
    struct Pending {
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        Clock::time_point start;  // the first byte starts on the wire here
        Clock::duration perByte{};
    };
    std::deque<Pending> out;
    Clock::time_point requestWireEnd{};  // when the last request byte has fully arrived
    Clock::time_point outputEnd{};       // when the last queued reply byte is on the wire
    std::vector<std::uint8_t> buf(4096);

    auto due = [](const Pending& p, std::size_t k) {
        return p.start + p.perByte * static_cast<long>(k + 1);
    };

    while (!stopRequested_) {
        // Send what is due.
        const auto now = Clock::now();
        while (!out.empty()) {
            Pending& p = out.front();
            std::size_t n = 0;
            while (p.sent + n < p.bytes.size() && due(p, p.sent + n) <= now) ++n;
            if (n > 0) {
                const ssize_t w = ::write(master_, p.bytes.data() + p.sent, n);
                if (w > 0) bytesOut_ += static_cast<std::uint64_t>(w);
                // A full receive buffer on the other side loses the bytes, as
                // a receiver that is not read overflows.
                p.sent += n;
            }
            if (p.sent < p.bytes.size()) break;
            out.pop_front();
        }

        // Idle, look in now and then: a client that died without closing
        // the port (a crash, kill -9) leaves the terminal in exclusive mode,
        // and as this server holds the terminal open the kernel never resets
        // it, so every later open would fail as busy. Clients of this
        // project also lock the port themselves (flock, lock file).
        timespec ts{0, kIdleLookNs};
        timespec* tsp = &ts;
        if (!out.empty()) {
            const auto next = due(out.front(), out.front().sent);
            auto wait = next - Clock::now();
            if (wait < Clock::duration::zero()) wait = Clock::duration::zero();
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            tsp = &ts;
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int r = ppoll(fds, 2, tsp, nullptr);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0 && out.empty()) ::ioctl(slave_, TIOCNXCL);
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
        if (pacing_) {
            requestWireEnd = std::max(requestWireEnd, arrived) +
                             byteTime(device_.baudIndex()) * static_cast<long>(n);
        } else {
            requestWireEnd = arrived;
        }
        Device::Response resp = device_.process(std::span<const std::uint8_t>(buf.data(), n));
        if (resp.dropLine) break;
        if (resp.bytes.empty()) continue;
        Pending p;
        p.bytes = std::move(resp.bytes);
        p.perByte = pacing_ ? byteTime(resp.baudIndex) : Clock::duration::zero();
        p.start = std::max({requestWireEnd, outputEnd, arrived}) + resp.delay +
                  std::chrono::duration_cast<Clock::duration>(processingDelay_);
        outputEnd = p.start + p.perByte * static_cast<long>(p.bytes.size());
        out.push_back(std::move(p));
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

#include "core/link/socket_line.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parvion {

namespace {

using Clock = SerialLine::Clock;
using std::chrono::milliseconds;

// Bytes received and not yet read that the line keeps at most.
constexpr std::size_t kInputLimit = 65536;

int MsUntil(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(
        std::min<long long>(std::chrono::ceil<milliseconds>(left).count(), 60000));
}

bool SetError(std::string* error, int* errorNumber, int number, std::string text) {
    if (error) *error = std::move(text);
    if (errorNumber) *errorNumber = number;
    return false;
}

std::string AddressText(const sockaddr* sa) {
    char host[INET6_ADDRSTRLEN] = "?";
    unsigned port = 0;
    if (sa->sa_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
        ::inet_ntop(AF_INET, &in->sin_addr, host, sizeof host);
        port = ntohs(in->sin_port);
        return std::string(host) + ":" + std::to_string(port);
    }
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(sa);
    ::inet_ntop(AF_INET6, &in6->sin6_addr, host, sizeof host);
    port = ntohs(in6->sin6_port);
    return "[" + std::string(host) + "]:" + std::to_string(port);
}

std::string ConnectReason(int err) {
    switch (err) {
        case ECONNREFUSED:
            return "the connection was refused (nothing listens on that port)";
        case ETIMEDOUT:
            return "no answer to the connect";
        case EHOSTUNREACH:
        case ENETUNREACH:
            return "the host cannot be reached";
        default:
            return std::strerror(err);
    }
}

const char* SettingName(std::uint8_t code) {
    switch (code) {
        case telnet::com::SetBaudRate:
            return "baud rate";
        case telnet::com::SetDataSize:
            return "data size";
        case telnet::com::SetParity:
            return "parity";
        case telnet::com::SetStopSize:
            return "stop size";
        case telnet::com::SetControl:
            return "flow control";
        default:
            return "setting";
    }
}

}  // namespace

void SocketWait::wait(int fd, bool forWrite, Clock::time_point deadline) {
    pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    ::poll(&p, 1, MsUntil(deadline));
}

SocketLine::SocketLine(SocketWait* wait) : wait_(wait != nullptr ? wait : &pollWait_) {}

SocketLine::~SocketLine() {
    close();
}

void SocketLine::waitOn(bool forWrite, Clock::time_point deadline) {
    if (fd_ < 0) return;
    wait_->wait(fd_, forWrite, deadline);
}

bool SocketLine::open(const std::string& port, int baud, std::string* error, int* errorNumber) {
    close();
    failed_ = false;
    why_.clear();
    resolved_.clear();
    peer_.clear();
    roundTrip_ = std::chrono::microseconds(0);
    std::string why;
    const auto parsed = ParseNetworkPort(port, &why);
    if (!parsed) return SetError(error, errorNumber, EINVAL, why);
    if (baud <= 0) return SetError(error, errorNumber, EINVAL, "no baud rate");
    protocol_ = parsed->protocol;
    baud_ = baud;

    if (!connectTo(*parsed, Clock::now() + kConnectTimeout + allowance_, error, errorNumber)) {
        return false;
    }
    decoder_.reset();
    decoder_.setBinary(true);
    input_.clear();
    queued_.clear();
    acks_.clear();
    purge_ = 0;
    crNul_ = false;
    comPortRefused_ = false;
    std::fill(std::begin(us_), std::end(us_), false);
    std::fill(std::begin(him_), std::end(him_), false);
    std::fill(std::begin(refusedUs_), std::end(refusedUs_), false);
    std::fill(std::begin(refusedHim_), std::end(refusedHim_), false);
    wire_.reset();

    bool ok = true;
    if (protocol_ == NetProtocol::Rfc2217) {
        ok = negotiate(baud, Clock::now() + kNegotiationTimeout + allowance_, error, errorNumber);
    } else {
        ok = settle(Clock::now() + kSettleTime + roundTrip_);
        if (!ok) {
            SetError(error, errorNumber, ECONNRESET,
                     "the server closed the connection at once (another client may hold the "
                     "port)");
        }
    }
    if (!ok) {
        close();
        return false;
    }
    input_.clear();
    return true;
}

bool SocketLine::connectTo(const NetPort& port, Clock::time_point deadline, std::string* error,
                           int* errorNumber) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port.port);
    const int rc = ::getaddrinfo(port.host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
        if (rc == EAI_SYSTEM) {
            const int err = errno;
            return SetError(error, errorNumber, err,
                            "host " + port.host + " cannot be looked up: " + std::strerror(err));
        }
        return SetError(error, errorNumber, rc,
                        "host " + port.host + " not found (" + ::gai_strerror(rc) + ")");
    }
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        resolved_.push_back(AddressText(a->ai_addr));
    }

    int lastError = ETIMEDOUT;
    for (const addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        const auto started = Clock::now();
        int err = 0;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS || err == EINTR) {
                err = ETIMEDOUT;
                while (Clock::now() < deadline) {
                    wait_->wait(fd, true, deadline);
                    pollfd p{fd, POLLOUT, 0};
                    if (::poll(&p, 1, 0) > 0) {
                        socklen_t len = sizeof err;
                        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
                        break;
                    }
                }
            }
        }
        if (err != 0) {
            ::close(fd);
            lastError = err;
            continue;
        }
        roundTrip_ = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
        fd_ = fd;
        peer_ = AddressText(a->ai_addr);
    }
    ::freeaddrinfo(found);
    if (fd_ < 0) {
        return SetError(error, errorNumber, lastError,
                        HostAndPort(port) + ": " + ConnectReason(lastError));
    }
    return true;
}

bool SocketLine::settle(Clock::time_point deadline) {
    while (fd_ >= 0 && Clock::now() < deadline) {
        waitOn(false, deadline);
        if (!pull()) return false;
    }
    return fd_ >= 0;
}

bool SocketLine::negotiate(int baud, Clock::time_point deadline, std::string* error,
                           int* errorNumber) {
    using namespace telnet;
    std::vector<std::uint8_t> out;
    AppendCommand(out, WILL, kComPort);
    AppendCommand(out, WILL, kBinary);
    AppendCommand(out, DO, kBinary);
    AppendCommand(out, WILL, kSuppressGoAhead);
    AppendCommand(out, DO, kSuppressGoAhead);
    if (!sendRaw(out)) {
        return SetError(error, errorNumber, ECONNRESET,
                        "the server closed the connection (another client may hold the port)");
    }
    while (!us_[kComPort] && !comPortRefused_) {
        if (Clock::now() >= deadline) {
            return SetError(error, errorNumber, EOPNOTSUPP,
                            "the server does not answer the RFC 2217 COM-PORT-OPTION (is it a "
                            "raw TCP port?)");
        }
        waitOn(false, deadline);
        if (!pull()) break;
    }
    if (fd_ < 0) {
        if (!decoder_.why().empty()) {
            return SetError(error, errorNumber, EPROTO,
                            "broken Telnet negotiation from the server: " + decoder_.why());
        }
        return SetError(error, errorNumber, ECONNRESET,
                        "the server closed the connection (another client may hold the port)");
    }
    if (comPortRefused_) {
        return SetError(error, errorNumber, EOPNOTSUPP,
                        "the server refuses the RFC 2217 COM-PORT-OPTION");
    }
    return applySettings({{com::SetBaudRate, BaudBytes(static_cast<std::uint32_t>(baud))},
                          {com::SetDataSize, {com::kDataSize8}},
                          {com::SetParity, {com::kParityNone}},
                          {com::SetStopSize, {com::kStopOne}},
                          {com::SetControl, {com::kNoFlowControl}}},
                         deadline, error, errorNumber);
}

bool SocketLine::applySettings(
    const std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>>& want,
    Clock::time_point deadline, std::string* error, int* errorNumber) {
    using namespace telnet;
    acks_.clear();
    std::vector<std::uint8_t> out;
    for (const auto& [code, value] : want) AppendComPort(out, code, value);
    const auto sent = Clock::now();
    if (!sendRaw(out)) {
        return SetError(error, errorNumber, ECONNRESET, "the server closed the connection");
    }
    bool measured = false;
    for (;;) {
        if (!measured) {
            for (const auto& [code, value] : acks_) {
                if (code == want.front().first) {
                    roundTrip_ =
                        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent);
                    measured = true;
                }
            }
        }
        const auto missing = std::find_if(want.begin(), want.end(), [this](const auto& w) {
            return std::none_of(acks_.begin(), acks_.end(),
                                [&](const auto& a) { return a.first == w.first; });
        });
        if (missing == want.end()) break;
        if (fd_ < 0 || Clock::now() >= deadline) {
            if (fd_ < 0 && !decoder_.why().empty()) {
                return SetError(error, errorNumber, EPROTO,
                                "broken Telnet negotiation from the server: " + decoder_.why());
            }
            if (fd_ < 0) {
                return SetError(error, errorNumber, ECONNRESET, "the server closed the connection");
            }
            std::string what = SettingName(missing->first);
            if (missing->first == com::SetBaudRate) {
                what += " " + std::to_string(BaudOfBytes(missing->second));
            }
            return SetError(error, errorNumber, kErrorNotAcknowledged,
                            "the server did not acknowledge the " + what);
        }
        waitOn(false, deadline);
        pull();
    }
    for (const auto& [code, value] : want) {
        if (code == com::SetControl) continue;  // any answer will do: the device has no handshake
        for (const auto& [ackCode, ackValue] : acks_) {
            if (ackCode != code || ackValue == value) continue;
            std::string what = SettingName(code);
            if (code == com::SetBaudRate) {
                what += " " + std::to_string(BaudOfBytes(value)) + " (the server uses " +
                        std::to_string(BaudOfBytes(ackValue)) + ")";
            }
            return SetError(error, errorNumber, kErrorNotAcknowledged,
                            "the server did not acknowledge the " + what);
        }
    }
    crNul_ = !us_[kBinary];
    decoder_.setBinary(him_[kBinary]);
    return true;
}

void SocketLine::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    input_.clear();
    queued_.clear();
    purge_ = 0;
}

void SocketLine::fail(std::string why) {
    if (why_.empty()) why_ = std::move(why);
    failed_ = true;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool SocketLine::setBaudRate(int baud) {
    if (baud <= 0) return false;
    if (fd_ < 0 || protocol_ == NetProtocol::Raw) {
        baud_ = baud;
        return true;
    }
    if (!applySettings(
            {{telnet::com::SetBaudRate, telnet::BaudBytes(static_cast<std::uint32_t>(baud))}},
            Clock::now() + kNegotiationTimeout + allowance_, nullptr, nullptr)) {
        return false;
    }
    baud_ = baud;
    return true;
}

void SocketLine::discardInput() {
    input_.clear();
    if (protocol_ == NetProtocol::Rfc2217) purge_ |= telnet::com::kPurgeReceive;
}

void SocketLine::discardOutput() {
    wire_.reset();
    if (protocol_ == NetProtocol::Rfc2217) purge_ |= telnet::com::kPurgeTransmit;
}

bool SocketLine::sendRaw(const std::vector<std::uint8_t>& bytes) {
    // Frames are far smaller than the socket's buffer; should it be full all
    // the same, wait for room, but never for long.
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (fd_ < 0) return false;
        const ssize_t w = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (Clock::now() >= deadline) return false;
            waitOn(true, deadline);
            continue;
        }
        fail(std::string("the connection failed: ") + std::strerror(errno));
        return false;
    }
    return true;
}

bool SocketLine::write(const std::uint8_t* data, std::size_t n) {
    if (fd_ < 0) return false;
    std::vector<std::uint8_t> out;
    out.swap(queued_);
    if (purge_ != 0) {
        const std::uint8_t which = purge_;
        telnet::AppendComPort(out, telnet::com::PurgeData, std::span(&which, 1));
        purge_ = 0;
    }
    if (protocol_ == NetProtocol::Rfc2217) {
        for (std::size_t i = 0; i < n; ++i) {
            out.push_back(data[i]);
            if (data[i] == telnet::IAC) out.push_back(telnet::IAC);
            if (data[i] == '\r' && crNul_) out.push_back(0);
        }
    } else {
        out.insert(out.end(), data, data + n);
    }
    if (!sendRaw(out)) return false;
    wire_.sent(n, baud_);
    return true;
}

void SocketLine::handle(const telnet::Event& e) {
    using namespace telnet;
    const std::uint8_t x = e.option;
    const bool acceptable = x == kBinary || x == kSuppressGoAhead;
    switch (e.verb) {
        // The line asked for every option it accepts when it opened (DO and
        // WILL), so an acceptable one needs no answer, only its state.
        case WILL:
            if (acceptable) {
                him_[x] = true;
            } else if (!refusedHim_[x]) {
                refusedHim_[x] = true;
                AppendCommand(queued_, DONT, x);
            }
            break;
        case WONT:
            if (him_[x]) {
                him_[x] = false;
                AppendCommand(queued_, DONT, x);
            }
            break;
        case DO:
            if (acceptable || x == kComPort) {
                us_[x] = true;
            } else if (!refusedUs_[x]) {
                refusedUs_[x] = true;
                AppendCommand(queued_, WONT, x);
            }
            break;
        case DONT:
            if (x == kComPort) comPortRefused_ = true;
            us_[x] = false;
            break;
        case SB:
            if (x == kComPort && !e.data.empty() && e.data[0] > com::kServerOffset) {
                acks_.emplace_back(static_cast<std::uint8_t>(e.data[0] - com::kServerOffset),
                                   std::vector<std::uint8_t>(e.data.begin() + 1, e.data.end()));
            }
            break;
        default:
            break;
    }
}

bool SocketLine::pull() {
    if (fd_ < 0) return false;
    std::uint8_t buffer[4096];
    std::vector<telnet::Event> events;
    for (;;) {
        const ssize_t r = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (r > 0) {
            // Acknowledge at once: a server that sends small pieces with
            // Nagle's algorithm on (ser2net does) waits for each
            // acknowledgement, which the kernel would delay by up to 40 ms.
            const int one = 1;
            ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
            const std::span<const std::uint8_t> got(buffer, static_cast<std::size_t>(r));
            if (protocol_ == NetProtocol::Raw) {
                const std::size_t room = kInputLimit - std::min(kInputLimit, input_.size());
                input_.insert(
                    input_.end(), got.begin(),
                    got.begin() + static_cast<std::ptrdiff_t>(std::min(room, got.size())));
                continue;
            }
            events.clear();
            if (!decoder_.feed(got, input_, events)) {
                fail("broken Telnet negotiation from the server: " + decoder_.why());
                return false;
            }
            for (const auto& e : events) handle(e);
            continue;
        }
        if (r == 0) {
            fail("the server closed the connection");
            return false;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        fail(std::string("the connection failed: ") + std::strerror(errno));
        return false;
    }
    // A server that floods the line fills a bounded buffer, as a UART's
    // receive buffer overflows: what does not fit is lost.
    if (input_.size() > kInputLimit) input_.resize(kInputLimit);
    // Answers to the server's negotiation go out at once, not with the
    // next frame: it may be waiting for them.
    if (!queued_.empty()) {
        std::vector<std::uint8_t> answers;
        answers.swap(queued_);
        if (!sendRaw(answers)) return false;
    }
    return true;
}

std::size_t SocketLine::bytesWaiting() {
    if (fd_ < 0) return 0;
    pull();
    return input_.size();
}

std::size_t SocketLine::bytesPending() {
    if (fd_ < 0) return 0;
    int n = 0;
    if (::ioctl(fd_, SIOCOUTQNSD, &n) != 0) n = 0;
    // The bytes still have to cross the serial line behind the server.
    return std::max(static_cast<std::size_t>(std::max(n, 0)), wire_.pending(baud_));
}

std::size_t SocketLine::read(std::uint8_t* data, std::size_t max) {
    if (input_.size() < max) pull();
    const std::size_t n = std::min(max, input_.size());
    std::copy_n(input_.begin(), n, data);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void SocketLine::waitForActivity(Clock::time_point deadline) {
    if (fd_ < 0) return;
    // Output draining raises no event: look again once the pending bytes
    // should have left at the line's rate.
    if (wire_.pending(baud_) > 0) deadline = std::min(deadline, wire_.doneAt());
    const std::size_t before = input_.size();
    if (!pull() || input_.size() > before) return;
    waitOn(false, deadline);
    pull();
}

void SocketLine::processEvents() {
    wait_->processEvents();
}

}  // namespace parvion

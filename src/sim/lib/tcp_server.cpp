#include "sim/lib/tcp_server.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/link/net_port.h"
#include "core/link/telnet.h"
#include "sim/lib/paced_replies.h"

namespace parvion::sim {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kIdleLook{500};

// The server's side of the Telnet options: binary and suppress-go-ahead both
// ways, the COM-PORT-OPTION from the client; everything else is refused once.
class TelnetServerSide {
  public:
    // What to send back for one event; follows the baud rate set.
    void answer(const telnet::Event& e, std::vector<std::uint8_t>& out,
                std::atomic<int>& clientBaud) {
        using namespace telnet;
        const std::uint8_t x = e.option;
        switch (e.verb) {
            case WILL:
                if (x == kComPort || x == kBinary || x == kSuppressGoAhead) {
                    if (!him_[x]) AppendCommand(out, DO, x);
                    him_[x] = true;
                } else if (!refused_[x]) {
                    refused_[x] = true;
                    AppendCommand(out, DONT, x);
                }
                break;
            case DO:
                if (x == kBinary || x == kSuppressGoAhead) {
                    if (!us_[x]) AppendCommand(out, WILL, x);
                    us_[x] = true;
                } else if (!refused_[x]) {
                    refused_[x] = true;
                    AppendCommand(out, WONT, x);
                }
                break;
            case WONT:
                him_[x] = false;
                break;
            case DONT:
                us_[x] = false;
                break;
            case SB:
                if (x == kComPort && !e.data.empty() && him_[kComPort])
                    comPort(e.data, out, clientBaud);
                break;
            default:
                break;
        }
    }

  private:
    static void comPort(const std::vector<std::uint8_t>& sub, std::vector<std::uint8_t>& out,
                        std::atomic<int>& clientBaud) {
        using namespace telnet;
        const std::uint8_t code = sub[0];
        std::vector<std::uint8_t> value(sub.begin() + 1, sub.end());
        switch (code) {
            case com::SetBaudRate:
                if (value.size() == 4 && BaudOfBytes(value) != 0) {
                    clientBaud = static_cast<int>(BaudOfBytes(value));
                }
                value = BaudBytes(static_cast<std::uint32_t>(clientBaud.load()));
                break;
            case com::SetDataSize:
                value = {com::kDataSize8};
                break;
            case com::SetParity:
                value = {com::kParityNone};
                break;
            case com::SetStopSize:
                value = {com::kStopOne};
                break;
            case com::SetControl:
                value = {com::kNoFlowControl};
                break;
            case com::PurgeData:
                break;
            default:
                return;  // signatures, notifications, ...: nothing to say
        }
        AppendComPort(out, static_cast<std::uint8_t>(code + com::kServerOffset), value);
    }

    bool us_[256] = {};
    bool him_[256] = {};
    bool refused_[256] = {};
};

void SendAll(int fd, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::send(fd, data, n, MSG_NOSIGNAL);
        if (w > 0) {
            data += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) return;  // a client that does not read loses bytes
            continue;
        }
        return;  // the client is gone: its read shows it
    }
}

}  // namespace

TcpServer::TcpServer(Device& device, bool rfc2217, bool pacing)
    : device_(device), rfc2217_(rfc2217), pacing_(pacing) {}

TcpServer::~TcpServer() {
    stop();
}

bool TcpServer::start(const std::string& host, std::uint16_t port, std::string* error) {
    if (running_) return true;
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        closeFds();
        return false;
    };
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        return fail("cannot resolve " + host + ": " + ::gai_strerror(rc));
    }
    std::string why = "no address";
    for (const addrinfo* a = found; a != nullptr && listen_ < 0; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
            why = std::strerror(errno);
            ::close(fd);
            continue;
        }
        listen_ = fd;
    }
    ::freeaddrinfo(found);
    if (listen_ < 0) return fail("cannot listen on " + host + ":" + service + ": " + why);
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&bound), &len);
    port_ =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    portName_ = NetworkPortName({rfc2217_ ? NetProtocol::Rfc2217 : NetProtocol::Raw, host, port_});
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return fail(std::strerror(errno));
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    serverBaud_ = baudRateOfIndex(device_.baudIndex());
    clientBaud_ = serverBaud_;
    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void TcpServer::stop() {
    stopRequested_ = true;
    if (wakeWrite_ >= 0) {
        const char c = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    closeFds();
    running_ = false;
}

void TcpServer::closeFds() {
    for (int* fd : {&listen_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void TcpServer::run() {
    PacedReplies replies(device_, pacing_);
    int client = -1;
    telnet::Decoder decoder;
    TelnetServerSide telnetSide;
    std::vector<std::uint8_t> buf(4096);
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> answers;
    std::vector<telnet::Event> events;

    auto dropClient = [&] {
        if (client >= 0) ::close(client);
        client = -1;
        replies.clear();
    };
    auto send = [&](const std::uint8_t* bytes, std::size_t n) {
        if (client < 0) return;
        if (!rfc2217_) {
            SendAll(client, bytes, n);
            return;
        }
        std::vector<std::uint8_t> out;
        telnet::AppendEscaped(out, std::span(bytes, n));
        SendAll(client, out.data(), out.size());
    };

    while (!stopRequested_) {
        replies.sendDue(send);
        auto wait = std::chrono::duration_cast<Clock::duration>(kIdleLook);
        if (const auto next = replies.nextDue())
            wait = std::max(*next - Clock::now(), Clock::duration{});
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        const timespec ts{static_cast<time_t>(ns / 1'000'000'000),
                          static_cast<long>(ns % 1'000'000'000)};
        pollfd fds[3] = {{wakeRead_, POLLIN, 0}, {listen_, POLLIN, 0}, {client, POLLIN, 0}};
        const int r = ::ppoll(fds, client >= 0 ? 3 : 2, &ts, nullptr);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) break;  // stop requested
        if ((fds[1].revents & POLLIN) != 0) {
            const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0 && client >= 0) {
                ++clientsRefused_;  // counted before the client can see it
                ::close(fd);        // one client at a time
            } else if (fd >= 0) {
                client = fd;
                const int one = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                decoder = telnet::Decoder{};
                telnetSide = TelnetServerSide{};
                clientBaud_ = serverBaud_;  // every connection starts at the server's rate
                ++clientsServed_;
            }
        }
        if (client < 0 || r == 0 || (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t got = ::recv(client, buf.data(), buf.size(), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (got <= 0) {
            dropClient();
            continue;
        }
        const auto arrived = Clock::now();
        const std::span<const std::uint8_t> in(buf.data(), static_cast<std::size_t>(got));
        data.clear();
        if (rfc2217_) {
            events.clear();
            answers.clear();
            if (!decoder.feed(in, data, events)) {
                dropClient();  // a client that breaks the Telnet rules is dropped
                continue;
            }
            for (const auto& e : events) telnetSide.answer(e, answers, clientBaud_);
            if (!answers.empty()) SendAll(client, answers.data(), answers.size());
        } else {
            data.assign(in.begin(), in.end());
        }
        if (data.empty()) continue;
        if (clientBaud_ != baudRateOfIndex(device_.baudIndex())) {
            bytesIgnored_ += data.size();
            continue;
        }
        if (!replies.request(data, arrived, processingDelay_)) break;  // the line went dead
    }
    if (client >= 0) ::close(client);
    running_ = false;
}

}  // namespace parvion::sim

// Network port names, the Telnet decoder, and the socket line against the
// simulator's TCP front (raw and RFC 2217) and against servers that
// misbehave: each failure ends the open in time with its cause, and the
// transport gives a network line its latency allowance.

#include "core/link/socket_line.h"
#include "core/app/error_log.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/app/texts.h"
#include "core/link/data_commands.h"
#include "core/link/doctor.h"
#include "core/link/net_port.h"
#include "core/link/parameter_blocks.h"
#include "core/link/port_line.h"
#include "core/link/telnet.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/tcp_server.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace tn = telnet;

TEST(NetworkPortName, WellFormedNamesAndWhatIsWrongWithTheOthers) {
    struct Good {
        const char* name;
        NetProtocol protocol;
        const char* host;
        std::uint16_t port;
        const char* usual;
    };
    for (const Good& g : std::vector<Good>{
             {"rfc2217://station-7.example:4001", NetProtocol::Rfc2217, "station-7.example", 4001,
              "rfc2217://station-7.example:4001"},
             {"TCP://10.0.0.5:04002", NetProtocol::Raw, "10.0.0.5", 4002, "tcp://10.0.0.5:4002"},
             {"rfc2217://[::1]:65535", NetProtocol::Rfc2217, "::1", 65535, "rfc2217://[::1]:65535"},
             {"tcp://h:1", NetProtocol::Raw, "h", 1, "tcp://h:1"},
         }) {
        std::string why;
        const auto p = ParseNetworkPort(g.name, &why);
        ASSERT_TRUE(p) << g.name << ": " << why;
        EXPECT_TRUE(IsNetworkPortName(g.name));
        EXPECT_EQ(p->protocol, g.protocol);
        EXPECT_EQ(p->host, g.host);
        EXPECT_EQ(p->port, g.port);
        EXPECT_EQ(NetworkPortName(*p), g.usual);
    }
    struct Bad {
        const char* name;
        const char* why;
    };
    for (const Bad& b : std::vector<Bad>{
             {"rfc2217://", "no host and no port"},
             {"tcp://station", "no port number"},
             {"tcp://station:", "no port number"},
             {"tcp://:4001", "no host"},
             {"tcp://station:0", "port 0 is not 1 to 65535"},
             {"tcp://station:65536", "port 65536 is not 1 to 65535"},
             {"tcp://station:99999999999", "is not 1 to 65535"},
             {"tcp://station:40x1", "is not a port number"},
             {"rfc2217://station 7:4001", "blanks"},
             {"rfc2217://::1:4001", "IPv6 address needs brackets"},
             {"rfc2217://[::1:4001", "no closing bracket"},
             {"rfc2217://[::1]4001", "no port number"},
             {"rfc2217://[host]:4001", "not an IPv6 address"},
             {"tcp://st/ation:4001", "not a host name"},
         }) {
        std::string why;
        EXPECT_FALSE(ParseNetworkPort(b.name, &why)) << b.name;
        EXPECT_NE(why.find(b.why), std::string::npos) << b.name << ": " << why;
    }
    EXPECT_FALSE(IsNetworkPortName("/dev/ttyUSB0"));
    EXPECT_FALSE(IsNetworkPortName("Com 3"));
}

TEST(TelnetDecoder, DataCommandsAndGarbageAcrossReads) {
    using tn::IAC;
    struct Case {
        const char* what;
        std::vector<Bytes> chunks;
        bool binary;
        Bytes data;
        std::size_t events;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"doubled IAC is one data byte", {{1, IAC, IAC, 2}}, true, {1, 0xFF, 2}, 0, true},
        {"split everywhere",
         {{1, IAC}, {tn::SB, tn::kComPort}, {101, 0, 1, IAC}, {IAC, 0, IAC}, {tn::SE, 3}},
         true,
         {1, 3},
         1,
         true},
        {"negotiation", {{IAC, tn::WILL, 3, IAC, tn::DONT, 44, 7}}, true, {7}, 2, true},
        {"NOP and go-ahead are ignored", {{IAC, 241, 5, IAC, 249}}, true, {5}, 0, true},
        {"CR NUL without binary",
         {{'\r', 0, 'x', '\r', '\n'}},
         false,
         {'\r', 'x', '\r', '\n'},
         0,
         true},
        {"CR NUL in binary", {{'\r', 0}}, true, {'\r', 0}, 0, true},
        {"IAC before a byte that is no command", {{1, IAC, 5, 2}}, true, {1}, 0, false},
        {"a subnegotiation without end", {{IAC, tn::SB, 44}, Bytes(80, 7)}, true, {}, 0, false},
        {"a subnegotiation broken by a stray IAC",
         {{IAC, tn::SB, 44, 1, IAC, 9}},
         true,
         {},
         0,
         false},
    };
    for (const Case& c : cases) {
        tn::Decoder d;
        d.setBinary(c.binary);
        Bytes data;
        std::vector<tn::Event> events;
        bool ok = true;
        for (const Bytes& chunk : c.chunks) ok = ok && d.feed(chunk, data, events);
        EXPECT_EQ(ok, c.ok) << c.what;
        EXPECT_EQ(data, c.data) << c.what;
        EXPECT_EQ(events.size(), c.events) << c.what;
        if (!ok) {
            EXPECT_FALSE(d.why().empty()) << c.what;
            EXPECT_FALSE(d.feed({{1}}, data, events)) << c.what;  // stays broken
        }
    }
    // The subnegotiation split over five reads carries its value whole.
    tn::Decoder d;
    Bytes data;
    std::vector<tn::Event> events;
    for (const Bytes& chunk : cases[1].chunks) d.feed(chunk, data, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].verb, tn::SB);
    EXPECT_EQ(events[0].data, (Bytes{101, 0, 1, 0xFF, 0}));
}

// The simulator behind its TCP front, reached by the program's line.
struct NetBench {
    explicit NetBench(bool rfc2217, sim::DeviceOptions options = {})
        : device(options), server(device, rfc2217) {
        std::string why;
        EXPECT_TRUE(server.start("127.0.0.1", 0, &why)) << why;
        link.setPortResolver([this](int) { return server.portName(); });
        ui.realWaits = true;
    }
    bool open(int baudIndex) {
        session.Online = true;
        return link.OpenComPort(1, baudIndex);
    }
    test::TempDir dir;
    sim::Device device;
    sim::TcpServer server;
    TermiosLine termios;
    PortLine line{termios};
    test::RecordingUi ui;
    Session session;
    Link link{line, ui, session, dir.path()};
};

TEST(SocketLine, TheSimulatorsNetworkFrontRawAndRfc2217) {
    for (const bool rfc2217 : {false, true}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "raw");
        NetBench b(rfc2217);
        ASSERT_TRUE(b.open(7));
        EXPECT_TRUE(b.line.network());
        EXPECT_EQ(b.line.followsBaudRate(), rfc2217);
        // The allowance is the configured one plus the round trip.
        EXPECT_GE(b.line.latencyAllowance(), std::chrono::milliseconds(kDefaultNetLatencyMs));
        EXPECT_LT(b.line.latencyAllowance(), std::chrono::milliseconds(kDefaultNetLatencyMs + 100));
        std::string ident;
        ASSERT_TRUE(ReadDeviceIdent(b.link, ident));
        EXPECT_EQ(ident, "PV-GAS2 ");
        // A block holding 0xFF and a carriage return travels both ways
        // unharmed (escaped IAC, binary mode).
        ParameterImage image;
        ASSERT_TRUE(ReadAllParameters(b.link, image));
        image.Flow_User[0].MaxFreq = 0xFF0D;
        ASSERT_TRUE(WriteFlow_User(b.link, image, 0));
        ParameterImage back;
        ASSERT_TRUE(ReadFlow_User(b.link, back, 0));
        EXPECT_EQ(back.Flow_User[0], image.Flow_User[0]);
        EXPECT_EQ(b.link.TransmissionErrors(), 0);

        // One client at a time: a second one is closed at once.
        SocketLine second;
        std::string error;
        int number = 0;
        EXPECT_FALSE(second.open(b.server.portName(), 115200, &error, &number));
        EXPECT_EQ(number, ECONNRESET) << error;
        EXPECT_EQ(b.server.clientsRefused(), 1u);
        EXPECT_TRUE(ReadDeviceIdent(b.link, ident));
    }
}

TEST(SocketLine, TheLatencyAllowanceLetsASlowServerAnswer) {
    // A server that answers 350 ms late: beyond the 200 ms of a local line,
    // within those plus the default allowance.
    for (const int latency : {0, 400}) {
        NetBench b(false);
        b.server.stop();
        b.server.setProcessingDelay(350ms);
        std::string why;
        ASSERT_TRUE(b.server.start("127.0.0.1", 0, &why)) << why;
        b.session.NetLatencyMs = latency;
        ASSERT_TRUE(b.open(7));
        b.link.setAttempts(1);
        std::string ident;
        EXPECT_EQ(ReadDeviceIdent(b.link, ident), latency > 0) << latency;
    }
}

// A server that sends chunk 0 when a client connects and chunk k after the
// client's k-th write; `close` ends the connection after the last chunk.
// `next` scripts the connection after that one (a client that comes back).
class ScriptedServer {
  public:
    explicit ScriptedServer(std::vector<Bytes> chunks, bool closeAfter = false,
                            std::vector<Bytes> next = {})
        : scripts_{std::move(chunks)}, close_(closeAfter) {
        if (!next.empty()) scripts_.push_back(std::move(next));
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_, 1);
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] {
            for (const std::vector<Bytes>& script : scripts_) serve(script);
        });
    }
    ~ScriptedServer() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    std::string name() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }
    std::size_t received() const { return received_.load(); }

  private:
    void serve(const std::vector<Bytes>& chunks) {
        pollfd p{listen_, POLLIN, 0};
        while (!stop_ && ::poll(&p, 1, 20) == 0) {
        }
        if (stop_) return;
        const int fd = ::accept(listen_, nullptr, nullptr);
        std::size_t next = 0;
        auto sendNext = [&] {
            if (next < chunks.size()) {
                ::send(fd, chunks[next].data(), chunks[next].size(), MSG_NOSIGNAL);
                ++next;
                if (next == chunks.size() && close_) ::shutdown(fd, SHUT_RDWR);
            }
        };
        sendNext();
        std::uint8_t buf[512];
        while (!stop_) {
            pollfd c{fd, POLLIN, 0};
            if (::poll(&c, 1, 20) <= 0) continue;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            received_ += static_cast<std::size_t>(n);
            sendNext();
        }
        ::close(fd);
    }

    std::vector<std::vector<Bytes>> scripts_;
    bool close_;
    int listen_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> received_{0};
    std::thread thread_;
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Ack(std::uint8_t code, Bytes value) {
    Bytes out;
    tn::AppendComPort(out, static_cast<std::uint8_t>(code + tn::com::kServerOffset), value);
    return out;
}

// The server's acknowledgements of the rate, the data size, parity, stop
// bits and flow control.
Bytes Acks(std::uint32_t baud, std::uint8_t dataBits) {
    return Cat(
        {Ack(1, tn::BaudBytes(baud)), Ack(2, {dataBits}), Ack(3, {1}), Ack(4, {1}), Ack(5, {1})});
}

TEST(SocketLine, MisbehavingServersEndTheOpenInTimeWithTheirCause) {
    using tn::IAC;
    const Bytes doComPort = {IAC, tn::DO, tn::kComPort};
    Bytes storm;  // a request for every option, again and again
    for (int round = 0; round < 20; ++round) {
        for (int option = 0; option < 256; ++option) {
            storm.insert(storm.end(), {IAC, tn::WILL, static_cast<std::uint8_t>(option), IAC,
                                       tn::DO, static_cast<std::uint8_t>(option)});
        }
    }
    struct Case {
        const char* what;
        std::vector<Bytes> chunks;
        int errorNumber;
        const char* says;
        bool closeAfter = false;
    };
    const std::vector<Case> cases = {
        {"refuses the option", {{}, {IAC, tn::DONT, tn::kComPort}}, EOPNOTSUPP, "refuses"},
        {"never answers (a raw port)", {}, EOPNOTSUPP, "does not answer"},
        {"floods data and never answers", {Bytes(4 << 20, 'A')}, EOPNOTSUPP, "does not answer"},
        {"a command byte that is none", {{IAC, 0x05}}, EPROTO, "broken Telnet"},
        {"a subnegotiation without end",
         {{IAC, tn::SB, 44, 1}, Bytes(100, 1)},
         EPROTO,
         "broken Telnet"},
        {"requests every option forever", {storm}, kErrorNotAcknowledged, "did not acknowledge"},
        {"no acknowledgement",
         {{}, doComPort},
         kErrorNotAcknowledged,
         "did not acknowledge the baud rate 115200"},
        {"another rate acknowledged",
         {{}, doComPort, Acks(9600, 8)},
         kErrorNotAcknowledged,
         "the server uses 9600"},
        {"7 data bits acknowledged",
         {{}, doComPort, Acks(115200, 7)},
         kErrorNotAcknowledged,
         "data size"},
        {"closes at once", {{}}, ECONNRESET, "closed the connection", true},
    };
    for (const Case& c : cases) {
        ScriptedServer server(c.chunks, c.closeAfter);
        SocketLine line;
        line.setLatencyAllowance(0ms);
        std::string error;
        int number = 0;
        const auto started = Clock::now();
        EXPECT_FALSE(line.open(server.name(), 115200, &error, &number)) << c.what;
        EXPECT_LT(Clock::now() - started, 3s) << c.what;
        EXPECT_EQ(number, c.errorNumber) << c.what << ": " << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.what << ": " << error;
        EXPECT_FALSE(line.isOpen());
        // Refusing each option once: no answer loop with the storm.
        EXPECT_LT(server.received(), 4000u) << c.what;
    }
    // A server that does everything right opens.
    ScriptedServer good({{}, doComPort, Acks(115200, 8)});
    SocketLine line;
    std::string error;
    EXPECT_TRUE(line.open(good.name(), 115200, &error)) << error;
}

// The connection doctor opens a network port twice: on its own, then for
// the identity request. A server that breaks its negotiation the second
// time is named in the reader's language as it is the first time.
TEST(SocketLine, TheDoctorNamesBrokenNegotiationOnTheSecondOpenInTheReadersLanguage) {
    const Bytes doComPort = {tn::IAC, tn::DO, tn::kComPort};
    ScriptedServer server({{}, doComPort, Acks(115200, 8)}, false, {{tn::IAC, 0x05}});
    test::TempDir dir;
    Session session;
    session.Sprache = 0;
    const TextLibrary texts(PARVION_BIN_DIR, session);
    test::RecordingUi ui;
    doctor::ProbeOptions options;
    options.latencyMs = 0;
    const doctor::PortReport report =
        doctor::CheckNetworkPort(server.name(), 7, ui, dir.path(), options);
    ASSERT_FALSE(report.findings.empty());
    const std::string last = doctor::RenderFinding(
        report.findings.back(), [&](std::uint16_t n) { return texts.LoadText(n); });
    EXPECT_EQ(report.findings.back().verdict, doctor::Verdict::Failed);
    EXPECT_NE(last.find("IAC vor Byte 5"), std::string::npos) << last;
    EXPECT_EQ(last.find("IAC before"), std::string::npos) << last;
}

TEST(SocketLine, TheFailureNamesThePortAndTheCause) {
    test::TempDir dir;
    Session session;
    session.Sprache = 1;
    const TextLibrary texts(PARVION_BIN_DIR, session);
    const auto text = [&](std::uint16_t n) { return texts.LoadText(n); };
    TermiosLine termios;
    PortLine line(termios);
    test::RecordingUi ui;
    Link link(line, ui, session, dir.path());
    link.setErrorLog(ErrorLogIn(dir.path()));
    struct Case {
        std::string port;
        const char* says;
    };
    std::string refused;  // a port nothing listens on any more
    {
        const ScriptedServer gone({});
        refused = "tcp://" + gone.name().substr(std::string("rfc2217://").size());
    }
    for (const Case& c : std::vector<Case>{
             {"rfc2217://no-such-host.invalid:4001", "host not found"},
             {refused, "refuses the connection"},
             {"rfc2217://[::1:4001", "not a valid network port: the IPv6 address has no closing"},
         }) {
        link.setPortResolver([&c](int) { return c.port; });
        session.Online = true;
        const auto started = Clock::now();
        EXPECT_FALSE(link.OpenComPort(3, 7));
        EXPECT_LT(Clock::now() - started, 10s);
        const std::string why = LinkFailureText(link.lastFailure(), text);
        EXPECT_NE(why.find(c.port), std::string::npos) << why;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
        const std::string log = test::readFileBytes(dir / "Errors.log");
        EXPECT_NE(log.find(c.port), std::string::npos) << log;
    }
}

}  // namespace
}  // namespace parvion

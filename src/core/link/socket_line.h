#pragma once
// A serial line through a serial device server: a TCP connection to the
// port name's host, either a raw byte stream (tcp://) or Telnet with the
// COM-PORT-OPTION of RFC 2217 (rfc2217://), over which the line sets the
// baud rate and 8N1 and purges the server's buffers when the transport
// discards input or output. Non-blocking POSIX sockets; the line only ever
// connects, it never listens.
//
// Opening resolves the host (IPv4 and IPv6, once per connection), connects
// to the first address that answers, and for RFC 2217 negotiates the option
// and has every setting acknowledged. It measures the round trip (the
// connect for raw lines, the baud setting's acknowledgement for RFC 2217);
// the latency allowance the transport adds to its reply time-out is the
// configured one plus that round trip.
//
// Why an open failed is told by its error number: ECONNREFUSED, ETIMEDOUT
// (no answer to the connect), EHOSTUNREACH/ENETUNREACH, ECONNRESET (the
// server closed the connection at once: another client holds the port),
// EOPNOTSUPP (the server refuses the COM-PORT-OPTION or does not speak
// Telnet), EPROTO (broken Telnet negotiation), EREMOTEIO (a setting was not
// acknowledged), EINVAL (a malformed port name); a negative number is the
// resolver's EAI_ code (the host is unknown).

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/link/net_port.h"
#include "core/link/serial_line.h"
#include "core/link/telnet.h"
#include "core/link/wire_clock.h"

namespace parvion {

// How a socket line waits: poll() unless a window program waits in its
// event loop instead.
class SocketWait {
  public:
    using Clock = SerialLine::Clock;
    virtual ~SocketWait() = default;
    // Returns when the socket is readable (or, with forWrite, writable), has
    // failed, or the deadline passed; may return earlier.
    virtual void wait(int fd, bool forWrite, Clock::time_point deadline);
    // Lets pending window events run.
    virtual void processEvents() {}
};

// Time-outs of the open (the latency allowance is added to each).
inline constexpr std::chrono::milliseconds kConnectTimeout{3000};
inline constexpr std::chrono::milliseconds kNegotiationTimeout{1000};
// How long a raw line watches a fresh connection for the server closing it
// at once (beside the connect's round trip).
inline constexpr std::chrono::milliseconds kSettleTime{50};
// The latency allowance when the settings give none.
inline constexpr int kDefaultLatencyAllowanceMs = 200;

// Error numbers of the opens that fail for a reason of the network line.
inline constexpr int kErrorNotAcknowledged = EREMOTEIO;

class SocketLine : public SerialLine {
  public:
    // wait: null for poll(); not owned.
    explicit SocketLine(SocketWait* wait = nullptr);
    ~SocketLine() override;
    SocketLine(const SocketLine&) = delete;
    SocketLine& operator=(const SocketLine&) = delete;

    bool open(const std::string& port, int baud, std::string* error,
              int* errorNumber = nullptr) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool setBaudRate(int baud) override;

    void discardInput() override;
    void discardOutput() override;
    bool write(const std::uint8_t* data, std::size_t n) override;
    std::size_t bytesWaiting() override;
    std::size_t bytesPending() override;
    std::size_t read(std::uint8_t* data, std::size_t max) override;
    void waitForActivity(Clock::time_point deadline) override;
    void processEvents() override;

    std::chrono::milliseconds latencyAllowance() const override {
        return allowance_ + std::chrono::ceil<std::chrono::milliseconds>(roundTrip_);
    }
    void setLatencyAllowance(std::chrono::milliseconds allowance) override {
        allowance_ = allowance;
    }
    bool followsBaudRate() const override { return protocol_ == NetProtocol::Rfc2217; }

    // Of the last open: the round trip measured, the address connected to
    // ("127.0.0.1:4001", "[::1]:4001"), every address the host resolved
    // to, and the protocol.
    std::chrono::microseconds roundTrip() const { return roundTrip_; }
    const std::string& peer() const { return peer_; }
    const std::vector<std::string>& resolved() const { return resolved_; }
    NetProtocol protocol() const { return protocol_; }
    // True when the line closed itself (the server closed the connection,
    // a socket error, Telnet garbage); why() says what.
    bool failed() const { return failed_; }
    const std::string& why() const { return why_; }
    // What the server's broken Telnet negotiation did (Fault::None if
    // nothing), for a cause in the reader's language.
    telnet::Fault telnetFault() const { return decoder_.fault(); }
    std::uint8_t telnetFaultByte() const { return decoder_.faultByte(); }

  private:
    bool connectTo(const NetPort& port, Clock::time_point deadline, std::string* error,
                   int* errorNumber);
    bool negotiate(int baud, Clock::time_point deadline, std::string* error, int* errorNumber);
    // Sends COM-PORT settings and waits for their acknowledgements.
    bool applySettings(const std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>>& want,
                       Clock::time_point deadline, std::string* error, int* errorNumber);
    bool settle(Clock::time_point deadline);
    // Moves what the socket holds through the decoder; false when the line
    // failed (and is now closed).
    bool pull();
    void handle(const telnet::Event& e);
    bool sendRaw(const std::vector<std::uint8_t>& bytes);
    void fail(std::string why);
    void waitOn(bool forWrite, Clock::time_point deadline);

    SocketWait* wait_;
    SocketWait pollWait_;
    int fd_ = -1;
    int baud_ = 9600;
    NetProtocol protocol_ = NetProtocol::Raw;
    std::chrono::milliseconds allowance_{kDefaultLatencyAllowanceMs};
    std::chrono::microseconds roundTrip_{0};
    std::string peer_;
    std::vector<std::string> resolved_;
    bool failed_ = false;
    std::string why_;
    WireClock wire_;
    std::vector<std::uint8_t> input_;
    telnet::Decoder decoder_;
    // Telnet state: options in force on our side and the server's, what
    // this line asked for, and options refused once (never again, so that
    // a server repeating a request gets no answer loop).
    bool us_[256] = {};
    bool him_[256] = {};
    bool refusedUs_[256] = {};
    bool refusedHim_[256] = {};
    bool comPortRefused_ = false;
    bool crNul_ = false;  // we may not send binary: CR goes out as CR NUL
    // COM-PORT acknowledgements received: code (without the offset), value.
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> acks_;
    // Commands that go out in front of the next data.
    std::vector<std::uint8_t> queued_;
    std::uint8_t purge_ = 0;
};

}  // namespace parvion

#pragma once
// The Telnet framing a network line speaks to an RFC 2217 server: IAC
// commands, option negotiation and the COM-PORT-OPTION (44) subnegotiations
// that set the baud rate, data size, parity, stop size and flow control and
// purge the server's buffers. A server answers a client's command code with
// the code + 100 and the value it now uses. Data bytes of 255 travel doubled
// (IAC IAC) in both directions.
//
// The decoder is shared by the socket line and the simulator's network
// front, so both read the same byte stream the same way; neither of them
// has any other Telnet logic in it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace parvion::telnet {

inline constexpr std::uint8_t IAC = 255;
inline constexpr std::uint8_t DONT = 254;
inline constexpr std::uint8_t DO = 253;
inline constexpr std::uint8_t WONT = 252;
inline constexpr std::uint8_t WILL = 251;
inline constexpr std::uint8_t SB = 250;
inline constexpr std::uint8_t SE = 240;

// Options.
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;

// COM-PORT-OPTION command codes (client to server; the server's reply is
// the code + kServerOffset).
namespace com {
inline constexpr std::uint8_t SetBaudRate = 1;  // 4 bytes, network order
inline constexpr std::uint8_t SetDataSize = 2;  // 8
inline constexpr std::uint8_t SetParity = 3;    // 1 none
inline constexpr std::uint8_t SetStopSize = 4;  // 1 one stop bit
inline constexpr std::uint8_t SetControl = 5;   // 1 no flow control
inline constexpr std::uint8_t PurgeData = 12;   // 1 receive, 2 transmit, 3 both buffers
inline constexpr std::uint8_t kServerOffset = 100;
inline constexpr std::uint8_t kDataSize8 = 8;
inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kStopOne = 1;
inline constexpr std::uint8_t kNoFlowControl = 1;
inline constexpr std::uint8_t kPurgeReceive = 1;   // data from the device not yet sent on
inline constexpr std::uint8_t kPurgeTransmit = 2;  // data to the device not yet sent on
}  // namespace com

// Longest subnegotiation a decoder takes; a longer one is garbage.
inline constexpr std::size_t kMaxSubnegotiation = 64;

// Appends the data with every 255 doubled.
void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data);
// Appends IAC verb option.
void AppendCommand(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option);
// Appends IAC SB COM-PORT-OPTION code value IAC SE (the value escaped).
void AppendComPort(std::vector<std::uint8_t>& out, std::uint8_t code,
                   std::span<const std::uint8_t> value);
// The 4 bytes of a baud rate, network order.
std::vector<std::uint8_t> BaudBytes(std::uint32_t baud);
std::uint32_t BaudOfBytes(std::span<const std::uint8_t> bytes);

// A negotiation (verb WILL, WONT, DO or DONT and the option) or a
// subnegotiation (verb SB, the option and what came between it and IAC SE).
struct Event {
    std::uint8_t verb = 0;
    std::uint8_t option = 0;
    std::vector<std::uint8_t> data;
};

// What a stream no Telnet peer sends did wrong.
enum class Fault : std::uint8_t {
    None,
    IacBefore,  // IAC before a byte that is no command (the byte)
    Unended,    // a subnegotiation longer than any peer sends
    BrokenBy,   // a subnegotiation broken by IAC and a byte other than SE (the byte)
};

// Splits a received stream into data bytes and Telnet events, across reads.
class Decoder {
  public:
    // Appends the data bytes to `data` and the events to `events`. False on
    // a stream no Telnet peer sends (IAC before a byte that is no command,
    // an overlong or broken subnegotiation); fault() and faultByte() then
    // say what, why() in English words, and the decoder stays broken.
    bool feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data,
              std::vector<Event>& events);
    // Without binary mode a CR is followed by a NUL that is not data.
    void setBinary(bool binary) { binary_ = binary; }
    void reset();
    std::string why() const;  // empty while the stream is sound
    Fault fault() const { return fault_; }
    std::uint8_t faultByte() const { return faultByte_; }

  private:
    enum class State : std::uint8_t { Data, Iac, Option, Sub, SubIac, Broken };
    bool broken(Fault fault, std::uint8_t byte = 0);

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    bool binary_ = true;
    bool afterCr_ = false;
    std::vector<std::uint8_t> sub_;
    Fault fault_ = Fault::None;
    std::uint8_t faultByte_ = 0;
};

}  // namespace parvion::telnet

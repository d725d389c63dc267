#pragma once
// Network port names: a device behind a serial device server (ser2net, a
// terminal server) is reached as
//
//   rfc2217://HOST:PORT   Telnet with the COM-PORT-OPTION: the program sets
//                         the baud rate and 8N1 on the server
//   tcp://HOST:PORT       a raw byte stream: the baud rate is set on the server
//
// HOST is a name, an IPv4 address or an IPv6 address in brackets
// ([fe80::1]); PORT is 1..65535. The scheme is taken in any case; nothing
// may follow the port, and no blanks are allowed anywhere. Accepted wherever
// a port is: the settings' port table, the settings dialog, parvion2-cli
// --port and the connection doctor.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvion {

enum class NetProtocol : std::uint8_t { Raw, Rfc2217 };

struct NetPort {
    NetProtocol protocol = NetProtocol::Raw;
    std::string host;  // without brackets
    std::uint16_t port = 0;

    bool operator==(const NetPort&) const = default;
};

// Whether the name is meant as a network port: it starts with "rfc2217://"
// or "tcp://" (any case), well-formed or not.
bool IsNetworkPortName(std::string_view name);

// Why a network port name is malformed; `subject` is the part named in the
// cause (the host, the port text), empty where the cause names none.
enum class NetNameFault : std::uint8_t {
    NoScheme,       // not rfc2217:// nor tcp://
    Blanks,         // a blank anywhere
    Empty,          // nothing after the scheme
    Ipv6Unclosed,   // "[" without "]"
    NotIpv6,        // in brackets, but no IPv6 address
    NoPort,         // no ":PORT"
    Ipv6Brackets,   // more than one ':' outside brackets
    NoHost,         // ":PORT" alone
    NotHostName,    // a character no host name has
    NotPortNumber,  // the port is no number
    PortRange,      // the port is not 1..65535
};
struct NetNameProblem {
    NetNameFault fault = NetNameFault::NoScheme;
    std::string subject;
};

// The parts of a network port name; nullopt when it is malformed, with the
// cause in *problem and in English words in *why ("no port number", "port 0
// is not 1 to 65535", "an IPv6 address needs brackets", ...).
std::optional<NetPort> ParseNetworkPort(std::string_view name, std::string* why = nullptr,
                                        NetNameProblem* problem = nullptr);

// "HOST:PORT", an IPv6 address in brackets.
std::string HostAndPort(const NetPort& port);
// The name again in its usual form: lower-case scheme, "rfc2217://HOST:PORT".
std::string NetworkPortName(const NetPort& port);

}  // namespace parvion

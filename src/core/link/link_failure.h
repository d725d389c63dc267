#pragma once
// Why the link last failed: the cause the Link keeps beside the plain
// success flags of its operations, and the text that names it in the user's
// language (string library texts 22624 … 22637, 22640, and 49 for a device that
// does not answer), for the status bar, the live-value pages and
// parvion2-cli.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/telnet.h"

namespace parvion {

enum class LinkCause {
    None,             // no failure since the port was opened
    Offline,          // the link is not in use: nothing was sent
    OpenFailed,       // the port could not be opened (errorNumber says why)
    PortClosed,       // the port closed under the transaction (a pulled cable)
    NoReply,          // not one byte of a reply within the time limit
    IncompleteReply,  // the reply stopped short
    BadChecksum,      // the reply's sum did not match
    Rejected,         // the device rejected a write (reply byte 0xE0)
    RefusedReply,     // the reply was not the one asked for (another block's echo)
    SendTimeout,      // the request did not leave the port in time for the baud rate
    BadFrame,         // the request was empty or beyond the frame capacity
    UnreadRecord,     // a record not read from this device: its write was refused, nothing sent
};

struct LinkFailure {
    LinkCause cause = LinkCause::None;
    // OpenFailed: the system's error number (ENOENT, EACCES, EBUSY, ENOTTY,
    // EINVAL for a rate the port cannot take; for a network port those of
    // core/link/socket_line.h, negative for an unknown host); 0 when the
    // line could not tell, and then `detail` holds the line's own words.
    int errorNumber = 0;
    std::string detail;
    // The port (device path or network port name) and baud rate the link used.
    std::string port;
    int baud = 0;

    bool operator==(const LinkFailure&) const = default;
};

// A short name of the cause ("no-reply", "checksum", …) for traces and tests.
const char* LinkCauseName(LinkCause cause);

// Texts of the causes in the string libraries; %1 is the port, %2 the baud
// rate or, for an open failure of another kind, the system's error name.
namespace link_text {
inline constexpr std::uint16_t NoReply = 49;
inline constexpr std::uint16_t Offline = 22624;
inline constexpr std::uint16_t PortClosed = 22625;
inline constexpr std::uint16_t IncompleteReply = 22626;
inline constexpr std::uint16_t BadChecksum = 22627;
inline constexpr std::uint16_t Rejected = 22628;
inline constexpr std::uint16_t RefusedReply = 22629;
inline constexpr std::uint16_t SendTimeout = 22630;
inline constexpr std::uint16_t BadFrame = 22631;
inline constexpr std::uint16_t PortMissing = 22632;     // ENOENT, ENXIO, ENODEV
inline constexpr std::uint16_t PortForbidden = 22633;   // EACCES, EPERM: the dialout hint
inline constexpr std::uint16_t PortBusy = 22634;        // EBUSY
inline constexpr std::uint16_t NotASerialPort = 22635;  // ENOTTY
inline constexpr std::uint16_t BaudRefused = 22636;     // EINVAL
inline constexpr std::uint16_t OpenFailed = 22637;      // any other reason
inline constexpr std::uint16_t UnreadRecord = 22640;
// A network port (rfc2217://, tcp://): why it could not be opened, and a
// connection lost under a transaction. %2 is the cause in words for a
// malformed name and an unknown host, the baud rate for a setting the server
// did not acknowledge.
inline constexpr std::uint16_t NetHostUnknown = 22592;      // a negative (EAI_) number
inline constexpr std::uint16_t NetRefused = 22593;          // ECONNREFUSED
inline constexpr std::uint16_t NetNoAnswer = 22594;         // ETIMEDOUT, EHOSTUNREACH, ENETUNREACH
inline constexpr std::uint16_t NetClosed = 22595;           // ECONNRESET, EPIPE
inline constexpr std::uint16_t NetOptionRefused = 22596;    // EOPNOTSUPP
inline constexpr std::uint16_t NetGarbage = 22597;          // EPROTO
inline constexpr std::uint16_t NetNotAcknowledged = 22598;  // EREMOTEIO
inline constexpr std::uint16_t NetBadName = 22599;          // EINVAL
inline constexpr std::uint16_t NetLost = 22600;             // PortClosed on a network port
inline constexpr std::uint16_t NetRawBaudNote = 22601;      // settings dialog: %1 the port
}  // namespace link_text

// Why a port could not be opened, in words of the string library (the
// lines keep their own English words for the error log only): texts 22930
// … 22936, for a system error number the termios line, the socket line or
// the window's serial port gave; 0 is a cause the line could not tell.
namespace open_cause_text {
inline constexpr std::uint16_t Missing = 22930;      // ENOENT, ENXIO, ENODEV
inline constexpr std::uint16_t Forbidden = 22931;    // EACCES, EPERM: the dialout hint
inline constexpr std::uint16_t Busy = 22932;         // EBUSY, EWOULDBLOCK
inline constexpr std::uint16_t NotSerial = 22933;    // ENOTTY
inline constexpr std::uint16_t BaudRefused = 22934;  // EINVAL
inline constexpr std::uint16_t Unknown = 22935;      // 0
inline constexpr std::uint16_t SystemError = 22936;  // any other: %1 its system name
}  // namespace open_cause_text
std::string OpenCauseText(int errorNumber, const std::function<std::string(std::uint16_t)>& text);

// A cause of the string library with what fills it in, for a text that
// names a cause in its own %2.
struct CauseText {
    std::uint16_t text = 0;
    std::vector<std::string> args;
};
std::string Render(const CauseText& cause, const std::function<std::string(std::uint16_t)>& text);
// Why a network port name is malformed (texts 22864 … 22874, in the order
// of NetNameFault); nothing for a well-formed name.
std::optional<CauseText> NetNameCause(std::string_view port);
// What a server's broken Telnet negotiation did (texts 22875 … 22877);
// nothing for telnet::Fault::None.
std::optional<CauseText> TelnetCause(telnet::Fault fault, std::uint8_t byte);

// The text that names the failure in the current library, with the port,
// the baud rate or the error filled in; empty for LinkCause::None.
std::string LinkFailureText(const LinkFailure& failure,
                            const std::function<std::string(std::uint16_t)>& text);

// The system's symbolic name of an error number ("EIO"), or its number.
std::string ErrorName(int errorNumber);

}  // namespace parvion

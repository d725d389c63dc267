#include "core/link/link_failure.h"

#include <cerrno>
#include <cstring>

#include <netdb.h>
#include <vector>

#include "core/link/net_port.h"
#include "core/link/socket_line.h"
#include "core/views/text_source.h"

namespace parvion {

const char* LinkCauseName(LinkCause cause) {
    switch (cause) {
        case LinkCause::None:
            return "none";
        case LinkCause::Offline:
            return "offline";
        case LinkCause::OpenFailed:
            return "open-failed";
        case LinkCause::PortClosed:
            return "port-closed";
        case LinkCause::NoReply:
            return "no-reply";
        case LinkCause::IncompleteReply:
            return "incomplete-reply";
        case LinkCause::BadChecksum:
            return "checksum";
        case LinkCause::Rejected:
            return "rejected";
        case LinkCause::RefusedReply:
            return "refused-reply";
        case LinkCause::SendTimeout:
            return "send-timeout";
        case LinkCause::BadFrame:
            return "bad-frame";
        case LinkCause::UnreadRecord:
            return "unread-record";
    }
    return "?";
}

std::string ErrorName(int errorNumber) {
    if (errorNumber < 0) return ::gai_strerror(errorNumber);
    if (const char* name = ::strerrorname_np(errorNumber)) return name;
    return std::to_string(errorNumber);
}

std::string OpenCauseText(int errorNumber, const std::function<std::string(std::uint16_t)>& text) {
    namespace t = open_cause_text;
    switch (errorNumber) {
        case 0:
            return text(t::Unknown);
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return text(t::Missing);
        case EACCES:
        case EPERM:
            return text(t::Forbidden);
        case EBUSY:
#if EWOULDBLOCK != EBUSY
        case EWOULDBLOCK:
#endif
            return text(t::Busy);
        case ENOTTY:
            return text(t::NotSerial);
        case EINVAL:
            return text(t::BaudRefused);
        default:
            return views::FillText(text, t::SystemError, {ErrorName(errorNumber)});
    }
}

std::string Render(const CauseText& cause, const std::function<std::string(std::uint16_t)>& text) {
    return views::FillText(text, cause.text, cause.args);
}

std::optional<CauseText> NetNameCause(std::string_view port) {
    constexpr std::uint16_t kFirst = 22864;
    NetNameProblem problem;
    if (ParseNetworkPort(port, nullptr, &problem)) return std::nullopt;
    CauseText cause{static_cast<std::uint16_t>(kFirst + static_cast<int>(problem.fault)), {}};
    if (!problem.subject.empty()) cause.args.push_back(problem.subject);
    return cause;
}

std::optional<CauseText> TelnetCause(telnet::Fault fault, std::uint8_t byte) {
    switch (fault) {
        case telnet::Fault::None:
            return std::nullopt;
        case telnet::Fault::IacBefore:
            return CauseText{22875, {std::to_string(byte)}};
        case telnet::Fault::Unended:
            return CauseText{22876, {}};
        case telnet::Fault::BrokenBy:
            return CauseText{22877, {std::to_string(byte)}};
    }
    return std::nullopt;
}

namespace {

std::uint16_t OpenFailureText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return link_text::PortMissing;
        case EACCES:
        case EPERM:
            return link_text::PortForbidden;
        case EBUSY:
            return link_text::PortBusy;
        case ENOTTY:
            return link_text::NotASerialPort;
        case EINVAL:
            return link_text::BaudRefused;
        default:
            return link_text::OpenFailed;
    }
}

std::uint16_t NetOpenFailureText(int errorNumber) {
    if (errorNumber < 0) return link_text::NetHostUnknown;
    switch (errorNumber) {
        case ECONNREFUSED:
            return link_text::NetRefused;
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
            return link_text::NetNoAnswer;
        case ECONNRESET:
        case EPIPE:
            return link_text::NetClosed;
        case EOPNOTSUPP:
            return link_text::NetOptionRefused;
        case EPROTO:
            return link_text::NetGarbage;
        case kErrorNotAcknowledged:
            return link_text::NetNotAcknowledged;
        case EINVAL:
            return link_text::NetBadName;
        default:
            return link_text::OpenFailed;
    }
}

std::uint16_t TextOf(const LinkFailure& f) {
    const bool network = IsNetworkPortName(f.port);
    switch (f.cause) {
        case LinkCause::None:
            return 0;
        case LinkCause::Offline:
            return link_text::Offline;
        case LinkCause::OpenFailed:
            return network ? NetOpenFailureText(f.errorNumber) : OpenFailureText(f.errorNumber);
        case LinkCause::PortClosed:
            return network ? link_text::NetLost : link_text::PortClosed;
        case LinkCause::NoReply:
            return link_text::NoReply;
        case LinkCause::IncompleteReply:
            return link_text::IncompleteReply;
        case LinkCause::BadChecksum:
            return link_text::BadChecksum;
        case LinkCause::Rejected:
            return link_text::Rejected;
        case LinkCause::RefusedReply:
            return link_text::RefusedReply;
        case LinkCause::SendTimeout:
            return link_text::SendTimeout;
        case LinkCause::BadFrame:
            return link_text::BadFrame;
        case LinkCause::UnreadRecord:
            return link_text::UnreadRecord;
    }
    return 0;
}

}  // namespace

std::string LinkFailureText(const LinkFailure& failure,
                            const std::function<std::string(std::uint16_t)>& text) {
    const std::uint16_t number = TextOf(failure);
    if (number == 0) return {};
    std::string second = std::to_string(failure.baud);
    if (number == link_text::NetHostUnknown) {
        second = ErrorName(failure.errorNumber);
    } else if (number == link_text::NetBadName) {
        // The cause in the library's words when it lies in the name itself.
        const std::optional<CauseText> cause = NetNameCause(failure.port);
        second = cause ? Render(*cause, text) : failure.detail;
    } else if (number == link_text::OpenFailed) {
        // The cause in the library's words; the line's own (English) words
        // stay in the error log.
        second = OpenCauseText(failure.errorNumber, text);
    }
    return views::FillText(text, number,
                           {failure.port.empty() ? std::string("-") : failure.port, second});
}

}  // namespace parvion

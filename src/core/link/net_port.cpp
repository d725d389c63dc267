#include "core/link/net_port.h"

#include <algorithm>
#include <cctype>

namespace parvion {

namespace {

constexpr std::string_view kRfc2217 = "rfc2217://";
constexpr std::string_view kTcp = "tcp://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

std::string EnglishWords(const NetNameProblem& p) {
    const std::string quoted = "\"" + p.subject + "\"";
    switch (p.fault) {
        case NetNameFault::NoScheme:
            return "not rfc2217://HOST:PORT or tcp://HOST:PORT";
        case NetNameFault::Blanks:
            return "blanks are not allowed in a port name";
        case NetNameFault::Empty:
            return "no host and no port number";
        case NetNameFault::Ipv6Unclosed:
            return "the IPv6 address has no closing bracket";
        case NetNameFault::NotIpv6:
            return quoted + " is not an IPv6 address";
        case NetNameFault::NoPort:
            return "no port number";
        case NetNameFault::Ipv6Brackets:
            return "an IPv6 address needs brackets, as in rfc2217://[::1]:4001";
        case NetNameFault::NoHost:
            return "no host";
        case NetNameFault::NotHostName:
            return quoted + " is not a host name";
        case NetNameFault::NotPortNumber:
            return quoted + " is not a port number";
        case NetNameFault::PortRange:
            return "port " + p.subject + " is not 1 to 65535";
    }
    return {};
}

// A host name or IPv4 address: letters, digits, '.', '-', '_'.
bool ValidName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) != 0 || c == '.' || c == '-' || c == '_';
    });
}

bool ValidIpv6(std::string_view host) {
    if (host.empty() || host.size() > 45) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isxdigit(u) != 0 || c == ':' || c == '.' || c == '%';
    });
}

}  // namespace

bool IsNetworkPortName(std::string_view name) {
    return StartsWithNoCase(name, kRfc2217) || StartsWithNoCase(name, kTcp);
}

std::optional<NetPort> ParseNetworkPort(std::string_view name, std::string* why,
                                        NetNameProblem* problem) {
    const auto fail = [&](NetNameFault fault, std::string_view subject = {}) {
        const NetNameProblem p{fault, std::string(subject)};
        if (why) *why = EnglishWords(p);
        if (problem) *problem = p;
    };
    NetPort out;
    std::string_view rest;
    if (StartsWithNoCase(name, kRfc2217)) {
        out.protocol = NetProtocol::Rfc2217;
        rest = name.substr(kRfc2217.size());
    } else if (StartsWithNoCase(name, kTcp)) {
        out.protocol = NetProtocol::Raw;
        rest = name.substr(kTcp.size());
    } else {
        fail(NetNameFault::NoScheme);
        return std::nullopt;
    }
    if (name.find_first_of(" \t\r\n") != std::string_view::npos) {
        fail(NetNameFault::Blanks);
        return std::nullopt;
    }
    if (rest.empty()) {
        fail(NetNameFault::Empty);
        return std::nullopt;
    }

    std::string_view portText;
    if (rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) {
            fail(NetNameFault::Ipv6Unclosed);
            return std::nullopt;
        }
        const std::string_view host = rest.substr(1, close - 1);
        if (!ValidIpv6(host) || host.find(':') == std::string_view::npos) {
            fail(NetNameFault::NotIpv6, host);
            return std::nullopt;
        }
        out.host = host;
        rest = rest.substr(close + 1);
        if (rest.empty() || rest.front() != ':') {
            fail(NetNameFault::NoPort);
            return std::nullopt;
        }
        portText = rest.substr(1);
    } else {
        const auto colon = rest.find(':');
        if (colon == std::string_view::npos) {
            fail(NetNameFault::NoPort);
            return std::nullopt;
        }
        if (rest.find(':', colon + 1) != std::string_view::npos) {
            fail(NetNameFault::Ipv6Brackets);
            return std::nullopt;
        }
        const std::string_view host = rest.substr(0, colon);
        if (host.empty()) {
            fail(NetNameFault::NoHost);
            return std::nullopt;
        }
        if (!ValidName(host)) {
            fail(NetNameFault::NotHostName, host);
            return std::nullopt;
        }
        out.host = host;
        portText = rest.substr(colon + 1);
    }

    if (portText.empty()) {
        fail(NetNameFault::NoPort);
        return std::nullopt;
    }
    if (!std::all_of(portText.begin(), portText.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        fail(NetNameFault::NotPortNumber, portText);
        return std::nullopt;
    }
    const std::string_view digits =
        portText.substr(std::min(portText.find_first_not_of('0'), portText.size() - 1));
    const long number = digits.size() > 5 ? 100000 : std::stol(std::string(digits));
    if (number < 1 || number > 65535) {
        fail(NetNameFault::PortRange, portText);
        return std::nullopt;
    }
    out.port = static_cast<std::uint16_t>(number);
    return out;
}

std::string HostAndPort(const NetPort& port) {
    const bool v6 = port.host.find(':') != std::string::npos;
    return (v6 ? "[" + port.host + "]" : port.host) + ":" + std::to_string(port.port);
}

std::string NetworkPortName(const NetPort& port) {
    return std::string(port.protocol == NetProtocol::Rfc2217 ? kRfc2217 : kTcp) + HostAndPort(port);
}

}  // namespace parvion

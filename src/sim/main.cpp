// parvion2-sim: a simulated flow computer on a pseudo-terminal or, with
// --tcp, on a TCP socket as behind a serial device server. It prints the
// port and the settings line that maps a port to it, then serves until
// SIGINT or SIGTERM.

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "sim/lib/tcp_server.h"
#include "version/version.h"

namespace {

using parvion::sim::Device;
using parvion::sim::DeviceOptions;
using parvion::sim::Fault;
using parvion::sim::PtyServer;
using parvion::sim::TcpServer;

constexpr const char* kUsage = R"(usage: parvion2-sim [options]

Simulates a parvion flow computer on a pseudo-terminal. Prints the terminal's
path and the settings-file line that maps a port to it, then answers the
device protocol until stopped with Ctrl+C (SIGINT) or SIGTERM.

Device:
  --gas                 gas computer, identity "PV-GAS2 " (default)
  --energy              energy computer, identity "PV-ENG2 "
  --ident TEXT          another 8-character identity (padded with blanks)
  --level HEX           expansion level, byte 0 of System: 00 high end (default),
                        C0 basic + a2, 3C basic + a1, FE basic
  --kind-mask HEX       system kinds the device allows, byte 2 of System (default 07)
  --password TEXT       protect the device with this password (at most 8
                        characters; stored padded with "-")
  --baud-index N        the device's baud rate: 0..7 = 1200, 2400, 4800, 9600,
                        19200, 38400, 57600, 115200 (default 7)
  --baud RATE           the same by rate
  --seed N              seed of the process noise and the generated history (default 1)

Line:
  --no-pacing           send replies at once instead of at the baud rate
  --processing-ms N     extra time before each reply starts (default 0)
  --com N               port number for the printed settings line (default 1)
  --path-file FILE      also write the terminal's path (or the network port
                        name) to FILE once serving
  --tcp [HOST:]PORT     serve on a TCP socket instead of a pseudo-terminal, as a
                        serial device server would: raw bytes, one client at a
                        time (a second one is closed at once). HOST defaults to
                        127.0.0.1 (loopback only); an IPv6 address goes in
                        brackets; PORT 0 takes a free port
  --rfc2217             with --tcp: Telnet with the COM-PORT-OPTION (RFC 2217);
                        the device is reached only at the baud rate the client
                        sets, as over a cable

Faults (a fault applies to one whole frame):
  --fault KIND          KIND: bad-checksum, no-reply, short-reply, late-first-byte,
                        garbage-before, reject-write, drop-line, wrong-echo
  --every N             give every Nth frame the --fault (default 1: every frame)
  --random-faults PCT   give PCT percent of the frames a random fault (any kind
                        but drop-line and wrong-echo)
  --late-ms N           delay of a late first byte (default 300)

  --version             the program's version and the commit it was built from
  -h, --help            this text

A dropped line (drop-line) closes the terminal (or the connection): the
program then ends with exit code 3.

The manual page parvion2-sim(1) describes every option.
)";

const Fault kFaultKinds[] = {Fault::BadChecksum,   Fault::NoReply,       Fault::ShortReply,
                             Fault::LateFirstByte, Fault::GarbageBefore, Fault::RejectWrite,
                             Fault::DropLine,      Fault::WrongEcho};

std::optional<Fault> faultByName(const std::string& name) {
    for (Fault f : kFaultKinds) {
        if (name == parvion::sim::faultName(f)) return f;
    }
    return std::nullopt;
}

std::optional<long> parseNumber(const std::string& text, int base, long lo, long hi) {
    std::string t = text;
    if (base == 16 && (t.rfind("0x", 0) == 0 || t.rfind("0X", 0) == 0)) t = t.substr(2);
    if (t.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(t.c_str(), &end, base);
    if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) return std::nullopt;
    return v;
}

// "[HOST:]PORT" of --tcp; HOST 127.0.0.1 when missing, PORT 0..65535.
bool parseListenAddress(const std::string& text, std::string* host, std::uint16_t* port) {
    std::string h = "127.0.0.1";
    std::string p = text;
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        h = text.substr(0, colon);
        p = text.substr(colon + 1);
        if (h.size() >= 2 && h.front() == '[' && h.back() == ']') {
            h = h.substr(1, h.size() - 2);
        } else if (h.find(':') != std::string::npos) {
            return false;  // an IPv6 address without brackets
        }
        if (h.empty()) return false;
    }
    const auto n = parseNumber(p, 10, 0, 65535);
    if (!n) return false;
    *host = h;
    *port = static_cast<std::uint16_t>(*n);
    return true;
}

int fail(const std::string& message) {
    std::cerr << "parvion2-sim: " << message << "\n(see parvion2-sim --help)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    DeviceOptions options;
    bool pacing = true;
    long processingMs = 0;
    long com = 1;
    long lateMs = 300;
    std::string pathFile;
    std::optional<Fault> fault;
    long every = 1;
    long randomPercent = 0;
    bool tcp = false;
    bool rfc2217 = false;
    std::string tcpHost;
    std::uint16_t tcpPort = 0;

    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--version") {
            std::cout << parvion::VersionLine("parvion2-sim") << '\n';
            return 0;
        } else if (a == "--gas") {
            options.medium = 0;
        } else if (a == "--energy") {
            options.medium = 1;
        } else if (a == "--no-pacing") {
            pacing = false;
        } else if (a == "--ident") {
            if (!value(&v) || v.empty() || v.size() > 8)
                return fail("--ident needs 1 to 8 characters");
            v.resize(8, ' ');
            options.ident = v;
        } else if (a == "--level") {
            const auto n = value(&v) ? parseNumber(v, 16, 0, 255) : std::nullopt;
            if (!n) return fail("--level needs a hexadecimal byte, e.g. C0");
            options.ausbaustufe = static_cast<std::uint8_t>(*n);
        } else if (a == "--kind-mask") {
            const auto n = value(&v) ? parseNumber(v, 16, 0, 255) : std::nullopt;
            if (!n) return fail("--kind-mask needs a hexadecimal byte, e.g. 05");
            options.kindMask = static_cast<std::uint8_t>(*n);
        } else if (a == "--password") {
            if (!value(&v) || v.empty() || v.size() > 8)
                return fail("--password needs 1 to 8 characters");
            options.password = v;
        } else if (a == "--baud-index") {
            const auto n = value(&v) ? parseNumber(v, 10, 0, 7) : std::nullopt;
            if (!n) return fail("--baud-index needs 0..7");
            options.baudIndex = static_cast<int>(*n);
        } else if (a == "--baud") {
            const auto n = value(&v) ? parseNumber(v, 10, 1, 1000000) : std::nullopt;
            const int index = n ? parvion::sim::indexOfBaudRate(static_cast<int>(*n)) : -1;
            if (index < 0)
                return fail("--baud needs one of 1200 2400 4800 9600 19200 38400 57600 115200");
            options.baudIndex = index;
        } else if (a == "--seed") {
            const auto n = value(&v) ? parseNumber(v, 10, 0, 0x7FFFFFFF) : std::nullopt;
            if (!n) return fail("--seed needs a non-negative number");
            options.seed = static_cast<std::uint32_t>(*n);
        } else if (a == "--processing-ms") {
            const auto n = value(&v) ? parseNumber(v, 10, 0, 60000) : std::nullopt;
            if (!n) return fail("--processing-ms needs 0..60000");
            processingMs = *n;
        } else if (a == "--com") {
            const auto n = value(&v) ? parseNumber(v, 10, 1, 8) : std::nullopt;
            if (!n) return fail("--com needs 1..8");
            com = *n;
        } else if (a == "--path-file") {
            if (!value(&pathFile) || pathFile.empty()) return fail("--path-file needs a file name");
        } else if (a == "--tcp") {
            if (!value(&v) || !parseListenAddress(v, &tcpHost, &tcpPort)) {
                return fail("--tcp needs [HOST:]PORT, e.g. 4001 or 127.0.0.1:4001 or [::1]:4001");
            }
            tcp = true;
        } else if (a == "--rfc2217") {
            rfc2217 = true;
        } else if (a == "--fault") {
            fault = value(&v) ? faultByName(v) : std::nullopt;
            if (!fault) return fail("--fault needs a fault kind");
        } else if (a == "--every") {
            const auto n = value(&v) ? parseNumber(v, 10, 1, 1000000) : std::nullopt;
            if (!n) return fail("--every needs a number of frames, 1 or more");
            every = *n;
        } else if (a == "--random-faults") {
            const auto n = value(&v) ? parseNumber(v, 10, 0, 100) : std::nullopt;
            if (!n) return fail("--random-faults needs a percentage 0..100");
            randomPercent = *n;
        } else if (a == "--late-ms") {
            const auto n = value(&v) ? parseNumber(v, 10, 0, 60000) : std::nullopt;
            if (!n) return fail("--late-ms needs 0..60000");
            lateMs = *n;
        } else {
            return fail("unknown option " + a);
        }
    }

    // SIGINT and SIGTERM are taken synchronously below; the server thread
    // inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (rfc2217 && !tcp) return fail("--rfc2217 needs --tcp");

    Device device(options);
    device.setLateDelay(std::chrono::milliseconds(lateMs));
    PtyServer ptyServer(device, pacing);
    TcpServer tcpServer(device, rfc2217, pacing);
    std::string error;
    std::string where;
    if (tcp) {
        tcpServer.setProcessingDelay(std::chrono::milliseconds(processingMs));
        if (!tcpServer.start(tcpHost, tcpPort, &error)) {
            std::cerr << "parvion2-sim: " << error << "\n";
            return 1;
        }
        where = tcpServer.portName();
    } else {
        ptyServer.setProcessingDelay(std::chrono::milliseconds(processingMs));
        if (!ptyServer.start(&error)) {
            std::cerr << "parvion2-sim: cannot open a pseudo-terminal: " << error << "\n";
            return 1;
        }
        where = ptyServer.slavePath();
    }
    auto serving = [&] { return tcp ? tcpServer.running() : ptyServer.running(); };

    const DeviceOptions& o = device.options();
    std::printf(
        "parvion2-sim: %s on %s at %d baud (index %d), expansion level %02X, kind mask %02X%s\n",
        o.ident.c_str(), where.c_str(), parvion::sim::baudRateOfIndex(device.baudIndex()),
        device.baudIndex(), o.ausbaustufe, o.kindMask,
        o.password.empty() ? "" : ", password protected");
    std::printf("Settings lines for parvion2.ini:\n[Ports]\nCom%ld=%s\n", com, where.c_str());
    std::fflush(stdout);
    if (!pathFile.empty()) {
        std::ofstream f(pathFile, std::ios::trunc);
        f << where << "\n";
        if (!f) {
            std::cerr << "parvion2-sim: cannot write " << pathFile << "\n";
            return 1;
        }
    }

    std::mt19937 rng(options.seed);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> kind(0, 5);  // every kind but DropLine
    auto refillFaults = [&] {
        if (randomPercent > 0) {
            while (device.pendingFaults() < 64) {
                device.injectFault(percent(rng) < randomPercent
                                       ? kFaultKinds[static_cast<std::size_t>(kind(rng))]
                                       : Fault::None);
            }
        } else if (fault) {
            while (device.pendingFaults() < static_cast<std::size_t>(every) * 2) {
                device.injectFault(Fault::None, static_cast<int>(every - 1));
                device.injectFault(*fault);
            }
        }
    };

    int exitCode = 0;
    for (;;) {
        refillFaults();
        timespec tick{0, 50'000'000};
        const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig == SIGINT || sig == SIGTERM) break;
        if (!serving()) {
            std::fprintf(stderr, "parvion2-sim: the line was dropped\n");
            exitCode = 3;
            break;
        }
    }
    ptyServer.stop();
    tcpServer.stop();
    std::printf("parvion2-sim: stopped after %llu frames\n",
                static_cast<unsigned long long>(device.framesServed()));
    return exitCode;
}

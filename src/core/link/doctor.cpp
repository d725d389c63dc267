#include "core/link/doctor.h"

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "core/link/data_commands.h"
#include "core/link/link_failure.h"
#include "core/link/net_port.h"
#include "core/link/socket_line.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/session.h"

namespace parvion::doctor {

namespace fs = std::filesystem;

namespace {

// USB vendors of the adapters brltty takes for braille displays: WCH
// (CH340/CH341), Silicon Labs (CP210x), FTDI.
constexpr int kBrlttyVendors[] = {0x1a86, 0x10c4, 0x0403};

bool IsPseudoTerminal(const std::string& path, const struct stat& st) {
    const unsigned maj = major(st.st_rdev);
    return path.rfind("/dev/pts/", 0) == 0 || (maj >= 136 && maj <= 143);
}

std::string ReadFirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string Hex4(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", static_cast<unsigned>(v) & 0xFFFFu);
    return buf;
}

std::string BaseName(const std::string& path) {
    return fs::path(path).filename().string();
}

// The canonical path, or the path itself when it cannot be resolved.
std::string Canonical(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::canonical(path, ec);
    return ec ? path : p.string();
}

struct UsbIds {
    int vendor = -1;
    int product = -1;
    std::string name;
    std::string manufacturer;
};

// The USB device above a tty in sysfs, when there is one.
std::optional<UsbIds> SysfsUsb(const std::string& ttyName) {
    std::error_code ec;
    fs::path dev = fs::canonical(fs::path("/sys/class/tty") / ttyName / "device", ec);
    if (ec || dev.string().find("/usb") == std::string::npos) return std::nullopt;
    UsbIds ids;
    for (fs::path p = dev; p.has_relative_path() && p != p.root_path(); p = p.parent_path()) {
        if (fs::exists(p / "idVendor", ec)) {
            ids.vendor =
                static_cast<int>(std::strtol(ReadFirstLine(p / "idVendor").c_str(), nullptr, 16));
            ids.product =
                static_cast<int>(std::strtol(ReadFirstLine(p / "idProduct").c_str(), nullptr, 16));
            ids.name = ReadFirstLine(p / "product");
            ids.manufacturer = ReadFirstLine(p / "manufacturer");
            break;
        }
    }
    return ids;
}

// What the path is; false when the other checks make no sense.
bool CheckKind(const std::string& path, const ListedPort* listed, std::vector<Finding>& out,
               std::optional<UsbIds>& usb) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) {
            out.push_back({Verdict::Failed, text::kMissing, {path}});
        } else {
            out.push_back({Verdict::Failed, text::kCannotOpen, {path}, err});
        }
        return false;
    }
    if (!S_ISCHR(st.st_mode)) {
        out.push_back({Verdict::Failed, text::kNotADevice, {path}});
        return false;
    }
    if (IsPseudoTerminal(path, st)) {
        out.push_back({Verdict::Ok, text::kPseudoTerminal, {path}});
        return true;
    }
    const std::string name = BaseName(Canonical(path));
    usb = SysfsUsb(name);
    if (listed != nullptr && listed->vendorId >= 0) {
        if (!usb) usb = UsbIds{};
        usb->vendor = listed->vendorId;
        usb->product = listed->productId;
        if (!listed->description.empty()) usb->name = listed->description;
        if (!listed->manufacturer.empty()) usb->manufacturer = listed->manufacturer;
    }
    if (usb) {
        std::string label = usb->manufacturer;
        if (!usb->name.empty()) label += (label.empty() ? "" : " ") + usb->name;
        out.push_back(
            {Verdict::Ok, text::kUsbAdapter, {path, label, Hex4(usb->vendor), Hex4(usb->product)}});
        return true;
    }
    std::error_code ec;
    if (fs::exists(fs::path("/sys/class/tty") / name / "device", ec)) {
        out.push_back({Verdict::Ok, text::kOnBoard, {path}});
    } else {
        out.push_back({Verdict::Ok, text::kOtherTerminal, {path}});
    }
    return true;
}

bool InGroupList(gid_t gid, const gid_t* groups, int count) {
    return std::find(groups, groups + count, gid) != groups + count;
}

void CheckPermission(const std::string& path, std::vector<Finding>& out) {
    if (::access(path.c_str(), R_OK | W_OK) == 0) {
        out.push_back({Verdict::Ok, text::kMayOpen, {path}});
        return;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;  // gone meanwhile: the query says so
    const group* gr = ::getgrgid(st.st_gid);
    const std::string groupName = gr != nullptr ? gr->gr_name : std::to_string(st.st_gid);
    const passwd* pw = ::getpwuid(::geteuid());
    const std::string user = pw != nullptr ? pw->pw_name : std::to_string(::geteuid());

    // Membership as the group database has it, and as this login has it.
    bool memberInDatabase = false;
    if (pw != nullptr) {
        int count = 64;
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count) < 0) {
            groups.resize(static_cast<std::size_t>(count));
            ::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count);
        }
        memberInDatabase = InGroupList(st.st_gid, groups.data(), count);
    }
    const int n = ::getgroups(0, nullptr);
    std::vector<gid_t> session(static_cast<std::size_t>(std::max(n, 0)));
    const int got = n > 0 ? ::getgroups(n, session.data()) : 0;
    const bool memberInSession =
        ::getegid() == st.st_gid || InGroupList(st.st_gid, session.data(), std::max(got, 0));

    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    if (!memberInDatabase && !memberInSession) {
        out.push_back({Verdict::Failed, text::kNotInGroup, {path, groupName, user}});
    } else if (!memberInSession) {
        out.push_back({Verdict::Failed, text::kGroupNextLogin, {path, groupName}});
    } else {
        out.push_back({Verdict::Failed, text::kModeForbids, {path, mode, groupName}});
    }
}

bool ProcessRuns(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

struct ProcessScan {
    std::vector<std::pair<long, std::string>> holders;  // pid, program
    std::set<std::string> programs;                     // every running program name
};

bool IsNumber(const char* s) {
    if (*s == '\0') return false;
    for (; *s != '\0'; ++s) {
        if (*s < '0' || *s > '9') return false;
    }
    return true;
}

// The number of a pseudo-terminal's slave ("/dev/pts/7" gives 7), -1 for
// another path.
long PtyNumber(const std::string& device) {
    if (device.rfind("/dev/pts/", 0) != 0) return -1;
    const char* digits = device.c_str() + 9;
    return IsNumber(digits) ? std::strtol(digits, nullptr, 10) : -1;
}

// Whether the descriptor is the master side of pseudo-terminal `pty`: the
// process serving it (the device end of the line), not a thief.
bool IsMasterOf(const std::string& procBase, const char* fd, long pty) {
    std::ifstream info(procBase + "/fdinfo/" + fd);
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("tty-index:", 0) == 0)
            return std::strtol(line.c_str() + 10, nullptr, 10) == pty;
    }
    return false;
}

// Every process but this one: its name, and whether it has the device open
// (a process that holds the master side of the pseudo-terminal too is the
// pseudo-terminal's own server and does not count).
ProcessScan ScanProcesses(const std::string& device) {
    ProcessScan scan;
    const long self = static_cast<long>(::getpid());
    const long pty = PtyNumber(device);
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return scan;
    while (const dirent* e = ::readdir(proc)) {
        if (!IsNumber(e->d_name)) continue;
        const long pid = std::strtol(e->d_name, nullptr, 10);
        const std::string base = std::string("/proc/") + e->d_name;
        const std::string comm = ReadFirstLine(base + "/comm");
        scan.programs.insert(comm);
        if (pid == self || device.empty()) continue;
        DIR* fds = ::opendir((base + "/fd").c_str());
        if (fds == nullptr) continue;  // another user's process, or gone
        bool holds = false;
        bool serves = false;
        while (const dirent* f = ::readdir(fds)) {
            if (!IsNumber(f->d_name)) continue;
            char target[512];
            const std::string link = base + "/fd/" + f->d_name;
            const ssize_t len = ::readlink(link.c_str(), target, sizeof target - 1);
            if (len <= 0) continue;
            const std::string opened(target, static_cast<std::size_t>(len));
            if (opened == device) holds = true;
            if (pty >= 0 && (opened == "/dev/ptmx" || opened == "/dev/pts/ptmx") &&
                IsMasterOf(base, f->d_name, pty)) {
                serves = true;
            }
        }
        ::closedir(fds);
        if (holds && !serves) scan.holders.emplace_back(pid, comm);
    }
    ::closedir(proc);
    return scan;
}

void CheckHolders(const std::string& path, const std::optional<UsbIds>& usb,
                  std::vector<Finding>& out) {
    const std::string device = Canonical(path);
    bool held = false;
    for (const char* dir : {"/var/lock", "/run/lock"}) {
        const fs::path lock = fs::path(dir) / ("LCK.." + BaseName(device));
        std::error_code ec;
        if (!fs::exists(lock, ec)) continue;
        std::ifstream in(lock, std::ios::binary);
        const std::string content((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
        if (std::optional<Finding> f = LockFileFinding(lock.string(), content)) {
            held = held || f->verdict == Verdict::Failed;
            out.push_back(std::move(*f));
        }
        break;  // /var/lock is usually a link to /run/lock
    }
    const ProcessScan scan = ScanProcesses(device);
    for (const auto& [pid, program] : scan.holders) {
        out.push_back({Verdict::Failed, text::kHeldBy, {path, std::to_string(pid), program}});
        held = true;
    }
    if (!held) out.push_back({Verdict::Ok, text::kNotHeld, {path}});

    if (usb && scan.programs.contains("brltty") &&
        std::find(std::begin(kBrlttyVendors), std::end(kBrlttyVendors), usb->vendor) !=
            std::end(kBrlttyVendors)) {
        out.push_back({Verdict::Warning, text::kBrltty, {}});
    }
    if (BaseName(device).rfind("ttyACM", 0) == 0 &&
        (scan.programs.contains("ModemManager") || scan.programs.contains("modem-manager"))) {
        out.push_back({Verdict::Warning, text::kModemManager, {}});
    }
}

// Passes the waits on to the caller's hooks and keeps the rest (online
// label, menus) of the caller untouched: the doctor's link is its own.
class WaitOnlyHooks : public UiHooks {
  public:
    explicit WaitOnlyHooks(UiHooks& ui) : ui_(ui) {}
    void waitMs(int ms) override { ui_.waitMs(ms); }
    void processEvents() override { ui_.processEvents(); }

  private:
    UiHooks& ui_;
};

}  // namespace

std::vector<ListedPort> SystemPorts() {
    std::vector<ListedPort> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/class/tty", ec)) {
        const std::string name = entry.path().filename().string();
        if (!fs::exists(entry.path() / "device", ec)) continue;
        const fs::path driver = fs::canonical(entry.path() / "device" / "driver", ec);
        if (!ec && driver.filename() == "serial8250" &&
            ReadFirstLine(entry.path() / "type") == "0") {
            continue;  // a port number without a UART
        }
        ListedPort port;
        port.path = "/dev/" + name;
        if (const auto usb = SysfsUsb(name)) {
            port.vendorId = usb->vendor;
            port.productId = usb->product;
            port.description = usb->name;
            port.manufacturer = usb->manufacturer;
        }
        out.push_back(std::move(port));
    }
    std::sort(out.begin(), out.end(),
              [](const ListedPort& a, const ListedPort& b) { return a.path < b.path; });
    return out;
}

std::optional<long> LockFilePid(std::string_view content) {
    constexpr long kMaxPid = 0x7FFFFFFF;  // the largest pid_t
    long pid = 0;
    // A binary process id has a zero byte: process ids stay far below 2^24.
    if (content.size() == 4 && content.find('\0') != std::string_view::npos) {
        std::int32_t v = 0;
        std::memcpy(&v, content.data(), 4);
        pid = v;
    } else {
        const auto first = content.find_first_not_of(" \t\r\n");
        const auto last = content.find_last_not_of(" \t\r\n");
        if (first == std::string_view::npos) return std::nullopt;
        const std::string_view digits = content.substr(first, last - first + 1);
        if (digits.size() > 10 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            return std::nullopt;
        }
        pid = std::strtol(std::string(digits).c_str(), nullptr, 10);
    }
    if (pid <= 0 || pid > kMaxPid) return std::nullopt;
    return pid;
}

std::optional<Finding> LockFileFinding(const std::string& lockFile, std::string_view content) {
    const std::optional<long> pid = LockFilePid(content);
    if (!pid) {
        // What the file holds, as far as it can be shown.
        std::string shown;
        for (const char c : content.substr(0, 24)) {
            if (c >= 0x20 && c < 0x7F) shown += c;
        }
        if (shown.find_first_not_of(' ') == std::string::npos) shown = "?";
        return Finding{Verdict::Warning, text::kForeignLock, {lockFile, shown}};
    }
    if (*pid == static_cast<long>(::getpid())) return std::nullopt;
    const std::string number = std::to_string(*pid);
    if (ProcessRuns(*pid)) return Finding{Verdict::Failed, text::kLockFile, {lockFile, number}};
    return Finding{Verdict::Warning, text::kStaleLock, {lockFile, number}};
}

std::vector<std::string> PortsToTest(const std::string& chosen, const ComPorts& comPort,
                                     const std::vector<ListedPort>& listed) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    auto add = [&](const std::string& p) {
        if (p.empty()) return;
        if (seen.insert(IsNetworkPortName(p) ? p : Canonical(p)).second) out.push_back(p);
    };
    add(chosen);
    // Com 1 .. Com 8 name paths whether or not they exist; only those the
    // port table maps to another path are worth a report.
    for (int n = 1; n <= kComPorts; ++n) {
        const std::string path = comPort ? comPort(n) : std::string();
        if (path != DefaultPortName(n)) add(path);
    }
    for (const ListedPort& p : listed) {
        if (p.path.rfind("/dev/pts/", 0) == 0 || p.path == "/dev/ptmx") continue;
        add(p.path);
    }
    return out;
}

std::vector<Finding> CheckSystem(const std::string& path, const ListedPort* listed) {
    std::vector<Finding> out;
    std::optional<UsbIds> usb;
    if (!CheckKind(path, listed, out, usb)) return out;
    CheckPermission(path, out);
    CheckHolders(path, usb, out);
    return out;
}

bool MayQuery(const std::vector<Finding>& findings) {
    return std::none_of(findings.begin(), findings.end(),
                        [](const Finding& f) { return f.verdict == Verdict::Failed; });
}

namespace {

std::vector<int> RateOrder(int configuredBaudIndex, bool allRates) {
    std::vector<int> order;
    if (configuredBaudIndex >= 0 && configuredBaudIndex < 8) order.push_back(configuredBaudIndex);
    if (!allRates && !order.empty()) return order;
    for (int i = 0; i < 8; ++i) {
        if (i != configuredBaudIndex) order.push_back(i);
    }
    return order;
}

// The finding of a network port that could not be opened: the line's error
// number (core/link/socket_line.h) and its words. The line's words stay
// English (the error log's); the report names the cause in the reader's
// language where one is known (`telnet`: what broken negotiation the line
// saw).
Finding NetOpenFinding(const std::string& port, int errorNumber, const std::string& detail,
                       int baud, const std::optional<CauseText>& telnet = std::nullopt) {
    if (errorNumber < 0) {
        const auto parsed = ParseNetworkPort(port);
        return {Verdict::Failed,
                text::kNetHostUnknown,
                {port, parsed ? parsed->host : std::string(), ErrorName(errorNumber)}};
    }
    switch (errorNumber) {
        case EINVAL:
            if (std::optional<CauseText> cause = NetNameCause(port)) {
                return {Verdict::Failed, text::kNetBadName, {port}, std::nullopt, std::move(cause)};
            }
            return {Verdict::Failed, text::kNetBadName, {port, detail}};
        case ECONNREFUSED:
            return {Verdict::Failed, text::kNetRefused, {port}};
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
            return {Verdict::Failed, text::kNetNoAnswer, {port}};
        case ECONNRESET:
        case EPIPE:
            return {Verdict::Failed, text::kNetClosed, {port}};
        case EOPNOTSUPP: {
            const auto parsed = ParseNetworkPort(port);
            return {Verdict::Failed,
                    text::kNetOptionRefused,
                    {port, parsed ? HostAndPort(*parsed) : std::string()}};
        }
        case EPROTO:
            if (telnet) return {Verdict::Failed, text::kNetGarbage, {port}, std::nullopt, telnet};
            return {Verdict::Failed, text::kNetGarbage, {port, detail}};
        case kErrorNotAcknowledged:
            return {Verdict::Failed, text::kNetNotAcknowledged, {port, std::to_string(baud)}};
        default:
            return {Verdict::Failed, text::kCannotOpen, {port}, errorNumber};
    }
}

// Told of each baud rate before its identity request.
using BaudStep = std::function<void(int baudIndex)>;

// The identity request at each rate of the order over the line, one
// attempt each, until a device answers. `gone` tells whether the port went
// away (a local device node that vanished); `openFailed` turns a failed
// open into a finding. False when nothing answered and the port was there
// to the end.
bool Probe(PortReport& report, SerialLine& line, const std::vector<int>& order, UiHooks& ui,
           const fs::path& logFolder, const ProbeOptions& options, const BaudStep& onBaud,
           const std::function<bool()>& gone,
           const std::function<Finding(const LinkFailure&)>& openFailed) {
    const std::string path = report.path;
    WaitOnlyHooks hooks(ui);
    Session session;
    session.NetLatencyMs = options.latencyMs;
    Link link(line, hooks, session, logFolder);
    link.setPortResolver([path](int) { return path; });
    link.setErrorLog(options.errorLog);
    link.setAttempts(1);
    for (const int index : order) {
        if (options.cancelled && options.cancelled()) {
            report.cancelled = true;
            line.close();
            return true;
        }
        if (onBaud) onBaud(index);
        const std::string baud = std::to_string(kBaudRates[index]);
        if (!link.OpenComPort(1, index)) {
            report.findings.push_back(gone() ? Finding{Verdict::Failed, text::kDisappeared, {path}}
                                             : openFailed(link.lastFailure()));
            line.close();
            return true;
        }
        const int errorsBefore = link.TransmissionErrors();
        std::string ident;
        bool ok = ReadDeviceIdent(link, ident);
        const bool garbled = !ok && link.TransmissionErrors() > errorsBefore;
        // Something answered at this rate: one more try before moving on.
        if (garbled) ok = ReadDeviceIdent(link, ident);
        if (garbled) report.findings.push_back({Verdict::Note, text::kGarbled, {path, baud}});
        if (ok) {
            if (MediumOfIdent(ident) != medium::Unknown) {
                report.answeredBaudIndex = index;
                report.ident = ident;
                std::string shown = ident;
                shown.erase(shown.find_last_not_of(' ') + 1);
                report.findings.push_back({Verdict::Ok, text::kAnswered, {path, shown, baud}});
            } else {
                std::string shown;
                for (const char c : ident) {
                    shown += (c >= 0x20 && c < 0x7F) ? c : '?';
                }
                report.findings.push_back(
                    {Verdict::Warning, text::kUnknownIdent, {path, baud, shown}});
            }
            line.close();
            return true;
        }
        if (gone()) {
            report.findings.push_back({Verdict::Failed, text::kDisappeared, {path}});
            line.close();
            return true;
        }
        if (IsNetworkPortName(path) && !line.isOpen() &&
            link.lastFailure().cause == LinkCause::PortClosed) {
            // A network server that dropped the connection under the request.
            report.findings.push_back({Verdict::Failed, text::kNetClosed, {path}});
            return true;
        }
    }
    line.close();
    return false;
}

// Milliseconds with one decimal: a loopback or LAN round trip is well
// below one.
std::string RoundTripText(std::chrono::microseconds rtt) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(rtt.count()) / 1000.0);
    return text;
}

}  // namespace

namespace {

void QueryDeviceWith(PortReport& report, int configuredBaudIndex, UiHooks& ui,
                     const fs::path& logFolder, const ProbeOptions& options,
                     const BaudStep& onBaud) {
    const std::string path = report.path;
    TermiosLine line;
    auto gone = [&path] {
        std::error_code ec;
        return !fs::exists(path, ec);
    };
    auto openFailed = [&path](const LinkFailure& failure) {
        // The transport wrote the line's words to the error log; the finding
        // names the cause in the reader's language. A line that could not
        // tell is asked once more.
        int errorNumber = failure.errorNumber;
        if (errorNumber == 0) {
            TermiosLine probe;
            std::string reason;
            probe.open(path, failure.baud, &reason, &errorNumber);
            probe.close();
        }
        return Finding{Verdict::Failed, text::kCannotOpen, {path}, errorNumber};
    };
    ProbeOptions serial = options;
    serial.wait = nullptr;
    serial.latencyMs = kDefaultNetLatencyMs;
    if (!Probe(report, line, RateOrder(configuredBaudIndex, true), ui, logFolder, serial, onBaud,
               gone, openFailed)) {
        report.findings.push_back({Verdict::Failed, text::kNoAnswer, {path}});
    }
}

PortReport CheckNetworkPortWith(const std::string& port, int configuredBaudIndex, UiHooks& ui,
                                const fs::path& logFolder, const ProbeOptions& net,
                                const BaudStep& onBaud);

}  // namespace

void QueryDevice(PortReport& report, int configuredBaudIndex, UiHooks& ui,
                 const fs::path& logFolder, const ErrorLog& errorLog) {
    ProbeOptions options;
    options.errorLog = errorLog;
    QueryDeviceWith(report, configuredBaudIndex, ui, logFolder, options, {});
}

PortReport CheckNetworkPort(const std::string& port, int configuredBaudIndex, UiHooks& ui,
                            const fs::path& logFolder, const ProbeOptions& net) {
    return CheckNetworkPortWith(port, configuredBaudIndex, ui, logFolder, net, {});
}

namespace {

PortReport CheckNetworkPortWith(const std::string& port, int configuredBaudIndex, UiHooks& ui,
                                const fs::path& logFolder, const ProbeOptions& net,
                                const BaudStep& onBaud) {
    PortReport report;
    report.path = port;
    const auto parsed = ParseNetworkPort(port);
    if (!parsed) {
        report.findings.push_back(
            {Verdict::Failed, text::kNetBadName, {port}, std::nullopt, NetNameCause(port)});
        return report;
    }
    const int index = configuredBaudIndex >= 0 && configuredBaudIndex < 8 ? configuredBaudIndex : 7;
    const int baud = kBaudRates[index];

    // The connection on its own first: name, connect, negotiation.
    SocketLine line(net.wait);
    line.setLatencyAllowance(std::chrono::milliseconds(net.latencyMs));
    std::string detail;
    int errorNumber = 0;
    const bool opened = line.open(port, baud, &detail, &errorNumber);
    if (!line.resolved().empty()) {
        std::string addresses;
        for (const std::string& a : line.resolved()) {
            addresses += (addresses.empty() ? "" : ", ") + a;
        }
        report.findings.push_back(
            {Verdict::Ok, text::kNetResolved, {port, parsed->host, addresses}});
    }
    if (!opened) {
        report.findings.push_back(
            NetOpenFinding(port, errorNumber, detail, baud,
                           TelnetCause(line.telnetFault(), line.telnetFaultByte())));
        return report;
    }
    report.findings.push_back(
        {Verdict::Ok, text::kNetConnected, {port, line.peer(), RoundTripText(line.roundTrip())}});
    const bool rfc2217 = parsed->protocol == NetProtocol::Rfc2217;
    if (rfc2217) {
        report.findings.push_back({Verdict::Ok, text::kNetRfc2217, {port}});
    } else {
        report.findings.push_back({Verdict::Note, text::kNetRaw, {port, std::to_string(baud)}});
    }
    line.close();

    // Then the identity request: a raw port only at the chosen rate, which
    // is the server's business.
    auto gone = [] { return false; };
    // The line keeps the decoder's fault of its last open: a negotiation the
    // server broke this time is named in the library's words too.
    auto openFailed = [&port, &line](const LinkFailure& failure) {
        return NetOpenFinding(port, failure.errorNumber, failure.detail, failure.baud,
                              TelnetCause(line.telnetFault(), line.telnetFaultByte()));
    };
    if (!Probe(report, line, RateOrder(index, rfc2217), ui, logFolder, net, onBaud, gone,
               openFailed)) {
        if (rfc2217) {
            report.findings.push_back({Verdict::Failed, text::kNoAnswer, {port}});
        } else {
            report.findings.push_back(
                {Verdict::Failed, text::kNetNoAnswerRaw, {port, std::to_string(baud)}});
        }
    }
    return report;
}

// One port of a run: the system checks, then the identity requests, with
// the run's steps and its stop.
PortReport CheckOnePort(const std::string& path, const ListedPort* listed, int configuredBaudIndex,
                        UiHooks& ui, const fs::path& logFolder, const ProbeOptions& options,
                        int number, int count) {
    const BaudStep onBaud = [&](int baudIndex) {
        if (options.step) options.step(Step{path, number, count, baudIndex});
    };
    if (options.step) options.step(Step{path, number, count, -1});
    if (IsNetworkPortName(path)) {
        return CheckNetworkPortWith(path, configuredBaudIndex, ui, logFolder, options, onBaud);
    }
    PortReport report;
    report.path = path;
    report.findings = CheckSystem(path, listed);
    if (MayQuery(report.findings)) {
        QueryDeviceWith(report, configuredBaudIndex, ui, logFolder, options, onBaud);
    } else {
        report.findings.push_back({Verdict::Note, text::kNotQueried, {path}});
    }
    return report;
}

}  // namespace

PortReport CheckPort(const std::string& path, const ListedPort* listed, int configuredBaudIndex,
                     UiHooks& ui, const fs::path& logFolder, const ProbeOptions& net) {
    return CheckOnePort(path, listed, configuredBaudIndex, ui, logFolder, net, 1, 1);
}

std::vector<PortReport> CheckPorts(const std::string& chosen, const ComPorts& comPort,
                                   const std::vector<ListedPort>& listed, int configuredBaudIndex,
                                   UiHooks& ui, const fs::path& logFolder,
                                   const ProbeOptions& options,
                                   const std::function<void(const PortReport&)>& checked) {
    std::vector<PortReport> reports;
    const std::vector<std::string> ports = PortsToTest(chosen, comPort, listed);
    const int count = static_cast<int>(ports.size());
    int number = 0;
    for (const std::string& path : ports) {
        ++number;
        if (options.cancelled && options.cancelled()) break;
        const ListedPort* entry = nullptr;
        for (const ListedPort& p : listed) {
            if (p.path == path) entry = &p;
        }
        PortReport report =
            CheckOnePort(path, entry, configuredBaudIndex, ui, logFolder, options, number, count);
        if (report.cancelled) break;
        reports.push_back(std::move(report));
        if (checked) checked(reports.back());
    }
    return reports;
}

std::optional<TakeOver> AnsweringComPort(const std::vector<PortReport>& reports,
                                         const ComPorts& comPort) {
    for (const PortReport& r : reports) {
        if (!r.answered()) continue;
        for (int n = 1; n <= kComPorts; ++n) {
            if (comPort && comPort(n) == r.path) return TakeOver{n - 1, r.answeredBaudIndex};
        }
    }
    return std::nullopt;
}

std::string RenderFinding(const Finding& finding, const views::TextLoader& text) {
    std::vector<std::string> args = finding.args;
    if (finding.openError) args.push_back(OpenCauseText(*finding.openError, text));
    if (finding.cause) args.push_back(Render(*finding.cause, text));
    return views::FillText(text, finding.text, args);
}

std::string StepText(const Step& step, const views::TextLoader& text) {
    const std::string number = std::to_string(step.number);
    const std::string count = std::to_string(step.count);
    if (step.baudIndex >= 0 && step.baudIndex < 8) {
        return views::FillText(
            text, text::kStepBaud,
            {step.port, std::to_string(kBaudRates[step.baudIndex]), number, count});
    }
    return views::FillText(text, text::kStepSystem, {step.port, number, count});
}

std::string RunSummary(const std::vector<PortReport>& reports, bool cancelled, int portCount,
                       const views::TextLoader& text) {
    if (cancelled) {
        return views::FillText(text, text::kCancelled,
                               {std::to_string(reports.size()), std::to_string(portCount)});
    }
    for (const PortReport& r : reports) {
        if (r.answered() && r.answeredBaudIndex < 8) {
            return views::FillText(text, text::kFound,
                                   {r.path, std::to_string(kBaudRates[r.answeredBaudIndex])});
        }
    }
    if (reports.empty()) return views::FillText(text, text::kNoPorts, {});
    const std::vector<Finding>& findings = reports.front().findings;
    const auto failed = std::find_if(findings.begin(), findings.end(),
                                     [](const Finding& f) { return f.verdict == Verdict::Failed; });
    std::string cause;
    if (failed != findings.end()) {
        cause = RenderFinding(*failed, text);
    } else if (!findings.empty()) {
        cause = RenderFinding(findings.back(), text);
    }
    return views::FillText(text, text::kNotFound, {cause});
}

std::string RenderPortReport(const PortReport& report, const views::TextLoader& text) {
    std::string out = RenderFinding({Verdict::Ok, text::kPortHeading, {report.path}}, text) + '\n';
    for (const Finding& f : report.findings) {
        std::string mark = VerdictMark(f.verdict);
        mark.resize(5, ' ');
        out += "  " + mark + RenderFinding(f, text) + '\n';
    }
    return out;
}

const char* VerdictMark(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "OK";
        case Verdict::Note:
            return "NOTE";
        case Verdict::Warning:
            return "WARN";
        case Verdict::Failed:
            return "FAIL";
    }
    return "?";
}

}  // namespace parvion::doctor

#pragma once
// The connection doctor: for a serial port, plain findings about why the
// device cannot be reached — whether the path exists and what it is, whether
// this user may open it, whether another process holds it, whether a known
// system service takes such adapters away, and at which baud rate a device
// answers its identity request. For a network port (rfc2217://, tcp://):
// whether the name is well-formed and the host resolves, whether the server
// accepts the connection or closes it (another client holds the port),
// whether it takes RFC 2217 and acknowledges the settings, the round trip,
// and the identity request (a raw TCP port only at the chosen rate, which is
// set on the server). Nothing but the identity request is ever sent to the
// device, so no check can change it.
//
// The window's settings dialog and `parvion2-cli doctor` both run these
// checks through CheckPorts; both pass in the ports the operating system
// lists (SystemPorts) and the port table, and render the findings with the
// string library through RenderPortReport.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/link_failure.h"
#include "core/link/socket_line.h"
#include "core/link/transport.h"
#include "core/views/text_source.h"

namespace parvion {

class UiHooks;

namespace doctor {

// A port as the system's port list describes it.
struct ListedPort {
    std::string path;  // "/dev/ttyUSB0"
    std::string description;
    std::string manufacturer;
    int vendorId = -1;  // USB ids, -1 when unknown
    int productId = -1;
};

enum class Verdict : std::uint8_t { Ok, Note, Warning, Failed };

// One finding: a text number of the doctor's block and the texts that fill
// its %1, %2, … in order.
struct Finding {
    Verdict verdict = Verdict::Ok;
    std::uint16_t text = 0;
    std::vector<std::string> args;
    // A port that could not be opened: the system's error number, whose
    // cause in the reader's language (OpenCauseText) follows the args.
    std::optional<int> openError{};
    // A cause in the reader's language that follows the args (a malformed
    // network port name, broken Telnet negotiation).
    std::optional<CauseText> cause{};
};

struct PortReport {
    std::string path;
    std::vector<Finding> findings;
    int answeredBaudIndex = -1;  // 0..7 when a supported device answered
    std::string ident;           // its identity, as it came
    // The run was cancelled before this port's checks were complete.
    bool cancelled = false;
    bool answered() const { return answeredBaudIndex >= 0; }
};

// Text numbers of the doctor's findings (string libraries).
namespace text {
inline constexpr std::uint16_t kButton = 22528;          // "Test connection"
inline constexpr std::uint16_t kCaption = 22529;         // report window caption
inline constexpr std::uint16_t kPortHeading = 22530;     // %1 path
inline constexpr std::uint16_t kUsbAdapter = 22531;      // %1 path, %2 name, %3 vendor, %4 product
inline constexpr std::uint16_t kOnBoard = 22532;         // %1
inline constexpr std::uint16_t kPseudoTerminal = 22533;  // %1
inline constexpr std::uint16_t kOtherTerminal = 22534;   // %1
inline constexpr std::uint16_t kMissing = 22535;         // %1
inline constexpr std::uint16_t kNotADevice = 22536;      // %1
inline constexpr std::uint16_t kMayOpen = 22537;         // %1
inline constexpr std::uint16_t kNotInGroup = 22538;      // %1, %2 group, %3 user
inline constexpr std::uint16_t kGroupNextLogin = 22539;  // %1, %2 group
inline constexpr std::uint16_t kModeForbids = 22540;     // %1, %2 mode, %3 owner group
inline constexpr std::uint16_t kNotHeld = 22541;         // %1
inline constexpr std::uint16_t kHeldBy = 22542;          // %1, %2 pid, %3 program
inline constexpr std::uint16_t kLockFile = 22543;        // %1 lock file, %2 pid
inline constexpr std::uint16_t kStaleLock = 22544;       // %1 lock file, %2 pid
inline constexpr std::uint16_t kBrltty = 22545;
inline constexpr std::uint16_t kModemManager = 22546;
inline constexpr std::uint16_t kAnswered = 22547;      // %1, %2 identity, %3 baud
inline constexpr std::uint16_t kNoAnswer = 22548;      // %1
inline constexpr std::uint16_t kGarbled = 22549;       // %1, %2 baud
inline constexpr std::uint16_t kUnknownIdent = 22550;  // %1, %2 baud, %3 identity
inline constexpr std::uint16_t kCannotOpen = 22551;    // %1, %2 reason
inline constexpr std::uint16_t kNotQueried = 22552;    // %1
inline constexpr std::uint16_t kDisappeared = 22553;   // %1
inline constexpr std::uint16_t kTakeOver = 22554;      // %1 port, %2 baud
inline constexpr std::uint16_t kNoPorts = 22555;
// Network ports.
inline constexpr std::uint16_t kNetBadName = 22608;          // %1, %2 cause
inline constexpr std::uint16_t kNetResolved = 22609;         // %1, %2 host, %3 addresses
inline constexpr std::uint16_t kNetHostUnknown = 22610;      // %1, %2 host, %3 resolver's words
inline constexpr std::uint16_t kNetRefused = 22611;          // %1
inline constexpr std::uint16_t kNetNoAnswer = 22612;         // %1
inline constexpr std::uint16_t kNetClosed = 22613;           // %1
inline constexpr std::uint16_t kNetConnected = 22614;        // %1, %2 address, %3 round trip ms
inline constexpr std::uint16_t kNetOptionRefused = 22615;    // %1, %2 HOST:PORT
inline constexpr std::uint16_t kNetGarbage = 22616;          // %1, %2 what
inline constexpr std::uint16_t kNetNotAcknowledged = 22617;  // %1, %2 baud
inline constexpr std::uint16_t kNetRaw = 22618;              // %1, %2 baud
inline constexpr std::uint16_t kNetNoAnswerRaw = 22619;      // %1, %2 baud
inline constexpr std::uint16_t kNetRfc2217 = 22620;          // %1
inline constexpr std::uint16_t kNetFirst = kNetBadName;
inline constexpr std::uint16_t kNetLast = kNetRfc2217;
inline constexpr std::uint16_t kForeignLock = 22556;  // %1 lock file, %2 what it holds
inline constexpr std::uint16_t kFirst = kButton;
inline constexpr std::uint16_t kLast = kForeignLock;
// What the settings dialog says while a run goes on and once it has ended.
inline constexpr std::uint16_t kStepSystem = 22942;  // %1 port, %2 its number, %3 ports in all
inline constexpr std::uint16_t kStepBaud = 22943;    // %1 port, %2 baud, %3 number, %4 in all
inline constexpr std::uint16_t kStopping = 22944;
inline constexpr std::uint16_t kCancelled = 22945;  // %1 ports checked, %2 in all
inline constexpr std::uint16_t kFound = 22946;      // %1 port, %2 baud
inline constexpr std::uint16_t kNotFound = 22947;   // %1 the cause on the chosen port
}  // namespace text

// The serial ports the kernel lists (the ttys in /sys/class/tty that have a
// device behind them; 8250 ports only when a UART was found), for callers
// without Qt's port list. USB ids are filled in for USB adapters.
std::vector<ListedPort> SystemPorts();

// The ports "Com 1" .. "Com 8" of the port table: the device path or
// network port each names (PortName of the settings, or the window's own
// resolver).
inline constexpr int kComPorts = 8;
using ComPorts = std::function<std::string(int comNumber)>;

// The ports a doctor run looks at, each once, in this order: the chosen
// port, the ports the port table maps to another path than their default
// (DefaultPortName), the ports the system lists. Pseudo-terminals are
// included only as chosen or mapped ports: other ones belong to terminal
// sessions, and a request sent there would land in somebody's shell.
std::vector<std::string> PortsToTest(const std::string& chosen, const ComPorts& comPort,
                                     const std::vector<ListedPort>& listed);

// The system side of a port: kind, permission, holders, adapter thieves.
// `listed` describes the port when the system's list has it (may be null).
std::vector<Finding> CheckSystem(const std::string& path, const ListedPort* listed);

// Whether the findings leave the port worth querying (it exists, may be
// opened and no other process holds it).
bool MayQuery(const std::vector<Finding>& findings);

// Sends the identity request at the configured baud rate (index 0..7)
// first, then at the others from 1200 up, one attempt each, until a device
// answers. The waits go through `ui` (the window stays responsive).
// Findings are appended; the answer is stored in the report.
void QueryDevice(PortReport& report, int configuredBaudIndex, UiHooks& ui,
                 const std::filesystem::path& logFolder, const ErrorLog& errorLog = {});

// How the doctor reaches ports: how a network port's socket line waits
// (null: poll; the window passes one that keeps its event loop running),
// the latency allowance of the settings, and the error log that takes the
// reasons of a port that cannot be opened (none: not recorded).
//
// A run may be watched and stopped: `step` hears of each port before its
// system checks and of each baud rate before its identity request, and
// `cancelled` is asked at the same points; once it says yes, the run stops
// there (the port's line closed) and the port's report is marked cancelled.
// Both are called on the thread that runs the checks.
struct Step {
    std::string port;
    int number = 1;      // 1-based among the ports of the run
    int count = 1;       // ports of the run (1 for a single CheckPort)
    int baudIndex = -1;  // 0..7 before an identity request; -1 before the system checks
    bool operator==(const Step&) const = default;
};
struct ProbeOptions {
    SocketWait* wait = nullptr;
    int latencyMs = kDefaultLatencyAllowanceMs;
    ErrorLog errorLog;
    std::function<bool()> cancelled = {};
    std::function<void(const Step&)> step = {};
};

// A network port: the name, the host, the connection and the negotiation,
// then the identity request (RFC 2217: the configured rate first, then the
// others; raw TCP: the configured rate only).
PortReport CheckNetworkPort(const std::string& port, int configuredBaudIndex, UiHooks& ui,
                            const std::filesystem::path& logFolder, const ProbeOptions& net);

// The process a lock file of a port names: ASCII digits with blanks and a
// line end around them (the usual form) or a binary 4-byte int (which
// holds a zero byte, as every process id does in that form). Nothing
// when the content is neither, or the number is no process id (not
// positive, or beyond what a pid_t holds: "-1" or "4294967295").
std::optional<long> LockFilePid(std::string_view content);
// What the doctor says about a lock file of the port with this content: a
// process that runs holds the port (Failed), one that does not left it
// stale (Warning), and content that names no process is a stale or foreign
// lock file (Warning). Nothing when the lock file is this process's own.
std::optional<Finding> LockFileFinding(const std::string& lockFile, std::string_view content);

// A network port: CheckNetworkPort. Otherwise CheckSystem and, when
// MayQuery, QueryDevice.
PortReport CheckPort(const std::string& path, const ListedPort* listed, int configuredBaudIndex,
                     UiHooks& ui, const std::filesystem::path& logFolder,
                     const ProbeOptions& net = {});

// The doctor run of the settings dialog and `parvion2-cli doctor`: every
// port of PortsToTest checked with CheckPort, in that order; `checked` sees
// each report as soon as it is complete. A cancelled run returns the ports
// checked completely before it stopped.
std::vector<PortReport> CheckPorts(const std::string& chosen, const ComPorts& comPort,
                                   const std::vector<ListedPort>& listed, int configuredBaudIndex,
                                   UiHooks& ui, const std::filesystem::path& logFolder,
                                   const ProbeOptions& options,
                                   const std::function<void(const PortReport&)>& checked = {});

// The first port that answered and is one of Com 1 .. Com 8: its port
// index (0..7) and the baud-rate index it answered at, for the settings
// dialog to offer.
struct TakeOver {
    int comIndex = 0;
    int baudIndex = 0;
    bool operator==(const TakeOver&) const = default;
};
std::optional<TakeOver> AnsweringComPort(const std::vector<PortReport>& reports,
                                         const ComPorts& comPort);

// The finding as text: the library text with %1, %2, … filled in. A text
// missing from the library falls back to the number and the arguments, so
// that nothing is lost.
std::string RenderFinding(const Finding& finding, const views::TextLoader& text);

// "OK", "NOTE", "WARN", "FAIL": the mark a text report puts before a finding.
const char* VerdictMark(Verdict verdict);

// What a step of a run says while it goes on: "Testing /dev/ttyUSB0 (port 2
// of 5) …", with the baud rate once the identity request is sent.
std::string StepText(const Step& step, const views::TextLoader& text);

// What a run that has ended comes to, in one line: cancelled (after how
// many ports); the first port where a supported device answered, with its
// rate; no ports at all; or no answer, with the cause found on the chosen
// port (the first report): its first failed finding, else its last one.
std::string RunSummary(const std::vector<PortReport>& reports, bool cancelled, int portCount,
                       const views::TextLoader& text);

// One port's part of a text report, as the settings dialog shows it and
// `parvion2-cli doctor` prints it: the port's heading, then one line per
// finding ("  WARN text"), each line ending in a newline.
std::string RenderPortReport(const PortReport& report, const views::TextLoader& text);

}  // namespace doctor
}  // namespace parvion

#pragma once
// The settings file "parvion2.ini" in the program's data folder: serial
// port and baud rate, whether to connect at start, system variant and
// language, two debugging switches, and the port table of section "Ports".
//
//   [Einstellungen] Baudrate  baud-rate index 0..7; missing 3, out of range 7
//                   Anschluß  COM port index 0..7; missing or out of range 0
//                   Online    non-zero: connect at start; missing 0
//                   Vergleich 0: a file loaded online is written without
//                             showing the differences first; missing 1.
//                             Written only once it is 0 or present, so
//                             files without it stay as they are
//   [System]        Sprache   0 German, 1 English; missing or out of range 0
//                   Medium    0 gas, 1 energy; missing or out of range 0
//   [Debug]         MemCheck  non-zero: memory-leak checker on; missing 0
//                   RS232     serial trace level; missing 0
//   [Ports]         ComN      device path of port "Com N", or a network port
//                             rfc2217://HOST:PORT or tcp://HOST:PORT (optional)
//                   Latenz    milliseconds a network line adds to the reply
//                             time-out beside the round trip it measures;
//                             missing or outside 0..10000: 200. Never written
//   [History]       Database  where the device history is kept: empty for
//                             history.sqlite in the data folder, else a
//                             postgresql:// address. Never written
//
// Read once at start (missing keys are written at once, so a first run
// leaves all seven keys), written once at the end (the Debug keys are never
// written back, they keep what the file holds).

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/app/session.h"
#include "core/model/profile_file.h"

namespace parvion {

namespace settings_keys {
inline constexpr std::string_view kEinstellungen = "Einstellungen";
inline constexpr std::string_view kSystem = "System";
inline constexpr std::string_view kDebug = "Debug";
inline constexpr std::string_view kPorts = "Ports";
inline constexpr std::string_view kBaudrate = "Baudrate";
inline constexpr std::string_view kAnschluss = "Anschluß";
inline constexpr std::string_view kOnline = "Online";
inline constexpr std::string_view kSprache = "Sprache";
inline constexpr std::string_view kMedium = "Medium";
inline constexpr std::string_view kMemCheck = "MemCheck";
inline constexpr std::string_view kRs232 = "RS232";
inline constexpr std::string_view kVergleich = "Vergleich";
inline constexpr std::string_view kLatenz = "Latenz";
inline constexpr std::string_view kHistory = "History";
inline constexpr std::string_view kDatabase = "Database";
}  // namespace settings_keys

// folder/"parvion2.ini"; an empty folder (it could not be created) means the
// file system root, where the file usually cannot be written.
std::filesystem::path SettingsFile(const std::filesystem::path& appDataFolder);

// When the key does not exist in the section, writes def there first (in
// memory; the caller saves); then reads the key as an integer with default
// def (ProfileFile::readInt: sign and leading digits, no digits gives 0).
int ReadIntSetting(ProfileFile& file, std::string_view section, std::string_view key, int def);

struct SettingsReadResult {
    bool loaded = true;  // false: the file exists but could not be read; defaults used
    bool saved = true;   // false: the missing keys could not be written
    std::string reason;  // why, when either is false
};

// Reads all seven keys into the session in the order Baudrate, Anschluß,
// Online, Sprache, Medium, MemCheck, RS232, applies the range rules, and
// writes the keys that were missing. When MemCheck is on and the program
// has the leak checker's counting hooks, starts the checker with the log
// file MemCheckLogName(folder, now).
SettingsReadResult ReadSettings(const std::filesystem::path& appDataFolder, Session& session);

struct SettingsWriteResult {
    bool ok = true;
    int ioError = 0;     // the system error number (errno) shown after text 5
    std::string reason;  // the same in words, with the file name
};

// Probes the file (opens it for appending, creating it when missing); when
// that fails writes nothing and returns the error. Otherwise writes
// Baudrate, Anschluß, Online ("1" or "0"), Sprache and Medium, keeping every
// other line of the file, and saves it atomically.
SettingsWriteResult WriteSettings(const std::filesystem::path& appDataFolder,
                                  const Session& session);

// The device path or network port name of port "Com N" (N = 1..8, the port
// index + 1): key "ComN" of section "Ports" when present and not empty, else
// "/dev/ttyS{N-1}". Empty for N < 1. A network name comes as it stands; the
// line that opens it says what is wrong with a malformed one.
std::string PortName(const ProfileFile& file, int comNumber);
// Key "Latenz" of section "Ports" with its default and range.
int ReadNetLatency(const ProfileFile& file);
std::string PortName(const std::filesystem::path& appDataFolder, int comNumber);

// folder/"YYYY-MM-DD-hh-mm-ss_memCheck.log" for the given local time.
std::filesystem::path MemCheckLogName(const std::filesystem::path& appDataFolder,
                                      const std::tm& now);

}  // namespace parvion

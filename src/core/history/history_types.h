#pragma once
// What the device history keeps: the devices seen, the snapshots of their
// parameter sets, the records of a device seen again unchanged, and the
// journal of every write to a device. Plain data shared by the store, its
// two back-ends (history_store.h) and the front the program uses
// (history.h). docs/history.md describes what is kept and why.
//
// Texts are UTF-8. The parameter and table texts of a snapshot are the bytes
// of the variant's parameter file and of the table files (Windows-1252, CRLF),
// kept unchanged, so a snapshot written to a file reads back exactly.
//
// Nothing here can hold the device password: a snapshot carries the
// parameter file's text (which has no password), a journal entry names a
// setting of the parameter file, a table, the clock or the baud rate, and
// the store refuses any other setting (see ValidateChange).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvion::history {

// A moment: UTC in milliseconds since 1970-01-01 and the offset of the
// computer's local time from UTC at that moment, in minutes (+120 for
// Central European Summer Time).
struct Moment {
    std::int64_t utcMs = 0;
    int zoneMinutes = 0;
    bool operator==(const Moment&) const = default;
};

// The computer's clock and its zone offset now.
Moment Now();
// "2024-05-01T12:34:56.789Z": how the store keeps the UTC time (fixed width,
// so the texts sort as the times do).
std::string FormatUtc(std::int64_t utcMs);
// The inverse of FormatUtc; also takes a date alone ("2024-05-01", midnight
// UTC) and a time without milliseconds or without "Z". Nothing on any other
// text.
std::optional<std::int64_t> ParseUtc(std::string_view text);
// The local time of the moment as the computer that recorded it showed it:
// "01.05.2024 14:34:56" (German) or "2024-05-01 14:34:56" (English).
std::string FormatLocal(const Moment& moment, bool german);
// The zone offset as "+02:00" / "-05:30".
std::string FormatZone(int minutes);

// Who recorded an entry, where and with which program.
struct Origin {
    std::string computer;
    std::string user;
    std::string program;  // kProgramWindow or kProgramCli
    bool operator==(const Origin&) const = default;
};
inline constexpr std::string_view kProgramWindow = "window";
inline constexpr std::string_view kProgramCli = "cli";

// This computer's host name and the name of the user running the program.
Origin LocalOrigin(std::string_view program);

// A complete read of a device's parameter set.
struct SnapshotInput {
    std::string serial;  // the device's serial number; never empty
    int medium = 0;      // 0 gas (PV-GAS2), 1 energy (PV-ENG2)
    std::string programText;
    std::uint8_t expansionLevel = 0;  // System.Ausbaustufe
    // The parameter file of the variant as bytes (SnapshotParameterText).
    std::string parameterText;
    // The table files as bytes, when the tables were read with the set.
    std::optional<std::string> propertyTable;
    std::optional<std::string> saturationTable;
    bool operator==(const SnapshotInput&) const = default;
};

// A stored snapshot without its texts (what a list shows).
struct SnapshotInfo {
    std::int64_t id = 0;
    std::string serial;
    int medium = 0;
    std::string programText;
    std::uint8_t expansionLevel = 0;
    Moment at;
    Origin origin;
    bool hasPropertyTable = false;
    bool hasSaturationTable = false;
    bool operator==(const SnapshotInfo&) const = default;
};

struct Snapshot {
    SnapshotInfo info;
    std::string parameterText;
    std::optional<std::string> propertyTable;
    std::optional<std::string> saturationTable;
};

// A device read again with a parameter set identical to its snapshot.
struct Sighting {
    std::int64_t snapshotId = 0;
    std::string serial;
    Moment at;
    Origin origin;
    bool operator==(const Sighting&) const = default;
};

struct DeviceInfo {
    std::string serial;
    int medium = 0;              // as last seen
    std::int64_t firstSeen = 0;  // UTC ms of the first and the last snapshot or sighting
    std::int64_t lastSeen = 0;
    bool operator==(const DeviceInfo&) const = default;
};

// What a write changed on a device.
enum class Target {
    Setting,   // one key of the parameter file: section and key
    Table,     // a property or saturation table: section names its kind
    Clock,     // the device clock
    BaudRate,  // the device's baud rate
};

// How a write ended.
enum class Outcome {
    Confirmed,  // written, and read back equal
    Differs,    // written, but read back different
    Failed,     // not written: cause holds the link's reason
};

// One changed setting (or table, clock, baud rate) of one write.
struct JournalChange {
    Target target = Target::Setting;
    std::string section;  // Setting: "T_User0"; Table: the table's kind
    std::string key;      // Setting: "Max"
    std::string oldBase;  // the value in its base unit, as the file writes it
    std::string newBase;
    std::string oldShown;  // the value as the page shows it (unit included)
    std::string newShown;
    Outcome outcome = Outcome::Confirmed;
    std::string cause;  // Failed, Differs: why, as the link words it
    bool operator==(const JournalChange&) const = default;
};

// A stored journal entry. seq counts from 1 without gaps; hash is the
// SHA-256 (hex) over the entry's content and the previous entry's hash.
struct JournalEntry {
    std::int64_t seq = 0;
    Moment at;
    Origin origin;
    std::string serial;
    JournalChange change;
    std::string hash;
    bool operator==(const JournalEntry&) const = default;
};

// Which journal entries to list; empty fields match everything.
struct JournalFilter {
    std::string serial;                 // exactly this device
    std::optional<std::int64_t> since;  // at or after this UTC time (ms)
    std::string setting;                // "section key" contains this, any case
};

// The outcome of checking the journal's chain of hashes.
struct VerifyResult {
    enum class Break {
        None,
        Changed,   // the entry's hash does not match its content and its predecessor
        Missing,   // entries before this one are missing (deleted)
        Unlisted,  // the chain's head does not end at the last entry (entries
                   // deleted at the end, or added without the chain)
    };
    Break broken = Break::None;
    std::int64_t entries = 0;  // how many entries were checked
    std::int64_t seq = 0;      // the first broken entry
    // When intact: the last entry's number and hash, to be kept outside the
    // database (a journal rewritten before it no longer ends in this hash).
    std::int64_t lastSeq = 0;
    std::string lastHash;
    bool ok() const { return broken == Break::None; }
    // English description: "entry 17 was changed" ...
    std::string describe() const;
};

// Stable names as stored and as the CLI's JSON gives them:
// "setting", "table", "clock", "baud rate"; "confirmed", "differs", "failed".
std::string_view TargetName(Target target);
std::optional<Target> TargetFromName(std::string_view name);
std::string_view OutcomeName(Outcome outcome);
std::optional<Outcome> OutcomeFromName(std::string_view name);

// Empty when the change may be journalled, else why not: a setting must be
// a key of the parameter file of either variant (so no password can be
// journalled), a table must name its kind, clock and baud rate name nothing.
std::string ValidateChange(const JournalChange& change);
// Empty when the snapshot may be stored: it needs a serial number that is
// not blank, the variant (0 or 1) and the parameter text.
std::string ValidateSnapshot(const SnapshotInput& snapshot);
// Empty when the changes of one write may be journalled: a serial number
// that is not blank and valid changes.
std::string ValidateChanges(std::string_view serial, const std::vector<JournalChange>& changes);

// A text as the store keeps it: UTF-8 (a text that is not valid UTF-8 is
// taken as Windows-1252, as the device sends its texts) without NUL bytes
// (each becomes a blank).
std::string StoreText(std::string_view text);

}  // namespace parvion::history

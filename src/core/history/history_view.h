#pragma once
// What the device history window and the command line show of the history:
// the rows of the device, snapshot and journal lists as texts, the filter
// by date range and setting, the verdict of the journal's check, the names
// of the files a snapshot or the journal is saved as, a snapshot saved as a
// parameter file and loaded as a parameter set, and the journal as a
// printout. Plain data and texts; the window only shows them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history_store.h"
#include "core/history/history_types.h"
#include "core/history/journal_csv.h"
#include "core/model/parameter_file.h"
#include "core/model/parameter_image.h"
#include "core/views/page_layout.h"
#include "core/views/text_source.h"

namespace parvion::history {

// Text numbers of the history window (string libraries).
namespace history_text {
inline constexpr std::uint16_t kCaption = 22736;  // "Gerätehistorie"
inline constexpr std::uint16_t kMenu = 22737;     // the menu item, with its key
inline constexpr std::uint16_t kDevices = 22738;  // devices: caption, then
inline constexpr std::uint16_t kSerial = 22739;   // serial number, variant, last seen
inline constexpr std::uint16_t kVariant = 22740;
inline constexpr std::uint16_t kLastSeen = 22741;
inline constexpr std::uint16_t kSnapshots = 22742;  // snapshots: caption, then the columns
inline constexpr std::uint16_t kTime = 22743;       // time, entry, program, level, who
inline constexpr std::uint16_t kEntry = 22744;
inline constexpr std::uint16_t kProgram = 22745;
inline constexpr std::uint16_t kLevel = 22746;
inline constexpr std::uint16_t kWho = 22747;
inline constexpr std::uint16_t kSnapshotN = 22748;  // "Parametersatz %1"
inline constexpr std::uint16_t kSeenAgain = 22749;  // "unverändert wieder gelesen (%1)"
inline constexpr std::uint16_t kJournal = 22750;    // the journal's caption
inline constexpr std::uint16_t kDateRange = 22751;  // filter: the range switch, to, setting
inline constexpr std::uint16_t kDateTo = 22752;
inline constexpr std::uint16_t kSettingFilter = 22753;
inline constexpr std::uint16_t kCompare = 22754;  // snapshot buttons
inline constexpr std::uint16_t kCompareDevice = 22755;
inline constexpr std::uint16_t kCompareFile = 22756;
inline constexpr std::uint16_t kSave = 22757;
inline constexpr std::uint16_t kWrite = 22758;
inline constexpr std::uint16_t kExportCsv = 22759;  // journal buttons
inline constexpr std::uint16_t kExportPdf = 22760;
inline constexpr std::uint16_t kVerify = 22761;
inline constexpr std::uint16_t kUnavailable = 22762;  // %1 the cause
inline constexpr std::uint16_t kNoHistory = 22763;
inline constexpr std::uint16_t kPickTwo = 22764;
inline constexpr std::uint16_t kSnapshotUnreadable = 22765;  // a reason follows
inline constexpr std::uint16_t kPrintTitle = 22766;          // %1 the serial number
inline constexpr std::uint16_t kOtherDevice = 22767;         // %1 the snapshot's, %2 the device's
inline constexpr std::uint16_t kSettingValues = 22768;       // the snapshots' column of the setting
// Shared with the command line: the journal's words (14 column heads, 4
// targets, 3 outcomes, 2 programs) and the verdicts of its check.
inline constexpr std::uint16_t kCsvHeads = 22701;
inline constexpr std::uint16_t kTargets = 22715;
inline constexpr std::uint16_t kOutcomes = 22719;
inline constexpr std::uint16_t kPrograms = 22722;
inline constexpr std::uint16_t kChainIntact = 22726;  // %1 entries, %2 last entry, %3 its hash
inline constexpr std::uint16_t kChainEmpty = 22727;
inline constexpr std::uint16_t kChainChanged = 22728;   // %1 the first broken entry
inline constexpr std::uint16_t kChainMissing = 22729;   // %1
inline constexpr std::uint16_t kChainUnlisted = 22730;  // %1
// Why the history could not be written, in the user's words (%1 the store,
// %2 the database's own words).
inline constexpr std::uint16_t kCauseNotASetting = 22919;
inline constexpr std::uint16_t kCauseUnreachable = 22920;
inline constexpr std::uint16_t kCauseLocked = 22921;
// The device's serial number could not be read (no store involved).
inline constexpr std::uint16_t kCauseSerialUnread = 22937;
}  // namespace history_text

// The cause of a store's status in the language of `text`: the common
// causes (StoreCause) from the string library, the others in the status's
// own words; English where the library has no text.
std::string StoreCauseText(const StoreStatus& status, const views::TextLoader& text);

// The journal's words from the string library (English where one is missing).
JournalCsvTexts JournalTextsFrom(const views::TextLoader& text);

// --- filter -------------------------------------------------------------

// Days since 1970-01-01 of a calendar date; nothing for a date that does not exist.
std::optional<std::int64_t> DayNumber(int year, int month, int day);
// The calendar day of the moment in the zone it was recorded in (the day
// its time is shown with).
std::int64_t LocalDay(const Moment& moment);

// Which entries a list shows: the days from and to (both included, as the
// entry's time is shown) and, for the journal, a text the setting must
// contain ("T_User0 Max", a table's kind, "clock" ..., any case).
struct HistoryFilter {
    std::optional<std::int64_t> fromDay;
    std::optional<std::int64_t> toDay;
    std::string setting;
};
bool InDateRange(const HistoryFilter& filter, const Moment& at);
bool Matches(const HistoryFilter& filter, const JournalEntry& entry, const JournalCsvTexts& texts);

// --- rows ---------------------------------------------------------------

// "PV-GAS2" / "PV-ENG2".
std::string VariantName(int medium);
// The time in this computer's zone, as FormatLocal writes it.
std::string FormatHere(std::int64_t utcMs, bool german);

struct DeviceRow {
    std::string serial;
    std::string variant;
    std::string lastSeen;
};
DeviceRow DescribeDevice(const DeviceInfo& device, bool german);

// A snapshot, or the device seen again unchanged (a sighting of snapshotId).
struct SnapshotRow {
    std::int64_t snapshotId = 0;
    bool seenAgain = false;
    Moment at;
    std::string time;
    std::string entry;  // "Snapshot 12" / "seen again unchanged (12)"
    std::string program;
    std::string level;  // the expansion level in hex, "0x00"
    std::string who;    // "user@computer (program)"
};
// The snapshots and sightings of one device in time order, as the filter's
// date range selects them.
std::vector<SnapshotRow> SnapshotRows(const std::vector<SnapshotInfo>& snapshots,
                                      const std::vector<Sighting>& sightings,
                                      const HistoryFilter& filter, const views::TextLoader& text,
                                      const JournalCsvTexts& words, bool german);

// The settings of a snapshot's parameter text whose "section key" contains
// `setting` (any case), as "T_User0 Max=120.0000", in file order and joined
// by "; "; at most `most` of them, then "…". Empty when `setting` is.
std::string SettingValues(std::string_view parameterText, std::string_view setting,
                          std::size_t most = 4);

struct JournalRow {
    std::int64_t seq = 0;
    std::string number;
    std::string time;
    std::string who;
    std::string what;
    std::string oldValue;  // as shown, else the base value
    std::string newValue;
    std::string outcome;  // with the cause, when there is one
    bool bad = false;     // not confirmed
};
// The entries the filter selects, as rows.
std::vector<JournalRow> JournalRows(const std::vector<JournalEntry>& entries,
                                    const HistoryFilter& filter, const JournalCsvTexts& words,
                                    bool german);
std::vector<JournalEntry> FilterJournal(const std::vector<JournalEntry>& entries,
                                        const HistoryFilter& filter, const JournalCsvTexts& words);

// The check's verdict in the user's language, naming the first broken entry.
std::string VerifyText(const VerifyResult& result, const views::TextLoader& text);

// --- files ----------------------------------------------------------------

// "SERIAL_2024-05-01_1434.PGA": the serial number (characters a file name
// cannot hold become "_") and the local time of the snapshot, with the
// variant's extension.
std::string SnapshotFileName(const SnapshotInfo& info);
// "journal_SERIAL_2024-05-01.csv" ("journal_all" without a serial number);
// `extension` without its dot.
std::string JournalFileName(std::string_view serial, std::int64_t todayUtcMs,
                            std::string_view extension);

// Writes the snapshot's parameter text unchanged, so the file loads as the
// same set; the extension is the variant's. *written names the file. False
// with the reason, and no half-written file.
bool SaveSnapshotFile(const Snapshot& snapshot, const std::filesystem::path& chosen,
                      std::filesystem::path* written, std::string* error);

// The snapshot's parameter set as an image: the variant's defaults, the
// snapshot's file loaded onto them, its expansion level, and the system
// kind as the file holds it (the device allowed it when it was read). `scratch` is a
// folder for the loader's scratch file.
ParameterFileResult SnapshotImage(const Snapshot& snapshot, const std::filesystem::path& scratch,
                                  ParameterImage* image);

// A parameter file as a set to compare a snapshot with: loaded as
// SnapshotImage loads a snapshot, onto the variant's defaults with the
// snapshot's expansion level and the system kind the file names.
ParameterFileResult ParameterFileImage(const std::filesystem::path& file, int medium,
                                       std::uint8_t expansionLevel, ParameterImage* image);

// --- printout --------------------------------------------------------------

// The journal as pages for the printout renderer: a title line (the title
// and the time printed), then each entry in two lines: number, time, who
// and what; old and new value and the outcome.
print::PrintJob JournalPrintJob(const std::vector<JournalEntry>& entries,
                                const JournalCsvTexts& words, const std::string& title,
                                const std::string& printedAt, bool german);

}  // namespace parvion::history

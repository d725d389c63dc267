#include "core/edit/history_recorder.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>
#include <utility>

#include "core/app/history_open.h"
#include "core/edit/parameter_compare.h"
#include "core/history/history_view.h"
#include "core/history/journal_chain.h"
#include "core/history/snapshot_text.h"
#include "core/link/data_commands.h"
#include "core/link/link_failure.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/session.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"
#include "core/tables/table_file.h"
#include "core/tables/table_grid.h"
#include "core/tables/table_kind.h"

namespace parvion {

namespace {

using history::JournalChange;
using history::Outcome;
using history::Target;

template <class T>
std::string Digest(const T& buffer) {
    // The tables are arrays of numbers without padding: their bytes are
    // their values.
    const auto* bytes = reinterpret_cast<const char*>(&buffer);
    return history::Sha256Hex(std::string_view(bytes, sizeof buffer)).substr(0, 16);
}

// A device clock read back within this many seconds of the time written
// holds it (the clock runs on between the write and the read).
constexpr double kClockSlackSeconds = 10;

// Seconds since 1970 of a device time (the civil calendar's day count).
double Seconds(const DeviceDateTime& t) {
    const int m = t.month;
    const int y = t.year - (m <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double days = era * 146097.0 + doe - 719468.0;
    return ((days * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

// The text of a table file written through a scratch file; nothing when it
// cannot be written.
template <class Grid, class Save>
std::optional<std::string> TableFileText(const Grid& grid, Save save,
                                         const std::filesystem::path& folder,
                                         std::string_view extension) {
    static std::atomic<unsigned> counter{0};
    const auto file = folder / (".history-table-" + std::to_string(::getpid()) + "-" +
                                std::to_string(counter++) + "." + std::string(extension));
    std::optional<std::string> text;
    if (save(file, grid).ok()) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.bad()) text = std::move(bytes);
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return text;
}

std::string TableName(int table, int medium) {
    if (table < 0) return std::string(tables::KindInfo(tables::TableKind::Saturation).name);
    return std::string(tables::KindInfo(tables::PropertyTableKind(medium, table)).name);
}

constexpr auto kRetryEvery = std::chrono::seconds(15);

// The warning with its cause, in English when the library has no text.
std::string Warning(const views::TextLoader& text, const std::string& cause) {
    std::string pattern = text(kHistoryWarningText);
    if (pattern.empty()) pattern = "Device history not written: %1 - kept and written later";
    return views::FillPlaceholders(pattern, {cause});
}

std::size_t Slot(BlockId id) {
    return static_cast<std::size_t>(BlockSlot(id));
}

// The outcome of a write as its read-back tells it: failed with the link's
// cause; differs when nothing was read back or what came back (`readBack`,
// as text) does not agree with what was sent; else confirmed.
void SetOutcome(JournalChange& c, bool ok, const std::string& cause,
                const std::optional<std::string>& readBack, bool agrees) {
    if (!ok) {
        c.outcome = Outcome::Failed;
        c.cause = cause;
    } else if (!readBack) {
        c.outcome = Outcome::Differs;
        c.cause = "not read back: " + cause;
    } else if (!agrees) {
        c.outcome = Outcome::Differs;
        c.cause = "read back: " + *readBack;
    }
}

}  // namespace

HistoryRecorder::HistoryRecorder(HistorySource history, std::filesystem::path scratch,
                                 views::TextLoader text)
    : history_(std::move(history)),
      scratch_(std::move(scratch)),
      text_(std::move(text)),
      known_(kBlockSlots, false) {}

bool HistoryRecorder::hasWork() const {
    return !writes_.empty() || clockWrite_ || !tableWrites_.empty() || setRead_;
}

void HistoryRecorder::follow(const Link& link) {
    if (link.connection() == connection_) return;
    connection_ = link.connection();
    known_.assign(kBlockSlots, false);
    clock_.reset();
    for (std::string& d : tableDigest_) d.clear();
    propertyTableFile_[0].reset();
    propertyTableFile_[1].reset();
    saturationTableFile_.reset();
}

std::string HistoryRecorder::causeOf(const Link& link) const {
    std::string cause = LinkFailureText(link.lastFailure(), text_);
    return cause.empty() ? "the device did not take it" : cause;
}

// --- what the link tells ----------------------------------------------------

void HistoryRecorder::recordRead(const Link& link, BlockId id,
                                 std::span<const std::uint8_t> block) {
    follow(link);
    if (BlockSlot(id) < 0) return;
    codec::DecodeBlock(block, device_, id);
    known_[Slot(id)] = true;
    // The first read after a write is its read-back.
    for (auto w = writes_.rbegin(); w != writes_.rend(); ++w) {
        if (!(w->id == id)) continue;
        if (w->ok && !w->readBack) w->readBack = Bytes(block.begin(), block.end());
        break;
    }
}

void HistoryRecorder::recordWritten(const Link& link, BlockId id,
                                    std::span<const std::uint8_t> block, bool ok) {
    follow(link);
    if (BlockSlot(id) < 0) return;
    RecordWrite w;
    w.id = id;
    if (known_[Slot(id)]) w.before = codec::EncodeBlock(device_, id);
    w.sent.assign(block.begin(), block.end());
    w.ok = ok;
    if (ok) {
        codec::DecodeBlock(block, device_, id);
    } else {
        w.cause = causeOf(link);
        known_[Slot(id)] = false;  // the device may hold either
    }
    writes_.push_back(std::move(w));
}

bool HistoryRecorder::knowsWholeSet(const Link& link) const {
    if (link.connection() != connection_) return false;
    return std::all_of(known_.begin(), known_.end(), [](bool k) { return k; });
}

void HistoryRecorder::setRead(const Link& link, const ParameterImage& image) {
    follow(link);
    setRead_ = image;
}

void HistoryRecorder::clockWritten(const Link& link, const DeviceDateTime& written, bool ok) {
    follow(link);
    ClockWrite w;
    w.before = clock_;
    w.written = written;
    w.ok = ok;
    if (!ok) w.cause = causeOf(link);
    clockWrite_ = w;
    clock_.reset();
}

void HistoryRecorder::clockRead(const Link& link, const DeviceDateTime& read) {
    follow(link);
    clock_ = read;
    if (clockWrite_ && clockWrite_->ok && !clockWrite_->readBack) clockWrite_->readBack = read;
}

void HistoryRecorder::propertyTableWritten(const Link& link, int table,
                                           const PropertyTableBuffer& buffer, bool ok) {
    follow(link);
    if (table < 0 || table > 1) return;
    const auto t = static_cast<std::size_t>(table);
    TableWrite w{table, tableDigest_[t], Digest(buffer), std::nullopt, {}, ok};
    if (!ok) w.cause = causeOf(link);
    tableDigest_[t].clear();
    propertyTableFile_[t].reset();
    tableWrites_.push_back(std::move(w));
}

void HistoryRecorder::propertyTableRead(const Link& link, int table,
                                        const PropertyTableBuffer& buffer) {
    follow(link);
    if (table < 0 || table > 1) return;
    const auto t = static_cast<std::size_t>(table);
    tableDigest_[t] = Digest(buffer);
    tables::PropertyGrid grid;
    tables::FillPropertyGrid(buffer, grid);
    const auto kind = tables::PropertyTableKind(link.session().Medium, table);
    propertyTableFile_[t] =
        TableFileText(grid, tables::SavePropertyFile, scratch_, tables::KindInfo(kind).extension);
    for (auto w = tableWrites_.rbegin(); w != tableWrites_.rend(); ++w) {
        if (w->table != table) continue;
        if (w->ok && !w->readBack) w->readBack = tableDigest_[t];
        break;
    }
}

void HistoryRecorder::saturationTableWritten(const Link& link, const SaturationTableBuffer& buffer,
                                             bool ok) {
    follow(link);
    TableWrite w{-1, tableDigest_[2], Digest(buffer), std::nullopt, {}, ok};
    if (!ok) w.cause = causeOf(link);
    tableDigest_[2].clear();
    saturationTableFile_.reset();
    tableWrites_.push_back(std::move(w));
}

void HistoryRecorder::saturationTableRead(const Link& link, const SaturationTableBuffer& buffer) {
    follow(link);
    tableDigest_[2] = Digest(buffer);
    tables::SaturationGrid grid;
    tables::FillSaturationGrid(buffer, grid);
    saturationTableFile_ = TableFileText(grid, tables::SaveSaturationFile, scratch_,
                                         tables::KindInfo(tables::TableKind::Saturation).extension);
    for (auto w = tableWrites_.rbegin(); w != tableWrites_.rend(); ++w) {
        if (w->table != -1) continue;
        if (w->ok && !w->readBack) w->readBack = tableDigest_[2];
        break;
    }
}

// --- after the sequence --------------------------------------------------------

void HistoryRecorder::readBack(Link& link) {
    if (!link.session().Online || link.connection() != connection_) return;
    ParameterImage probe = device_;
    for (std::size_t i = 0; i < writes_.size(); ++i) {
        if (writes_[i].ok && !writes_[i].readBack) {
            const BlockId id = writes_[i].id;
            // Only the last write of a record can still be read back.
            bool later = false;
            for (std::size_t j = i + 1; j < writes_.size(); ++j)
                later = later || writes_[j].id == id;
            if (!later && !ReadRecord(link, probe, id)) writes_[i].cause = causeOf(link);
        }
    }
    if (clockWrite_ && clockWrite_->ok && !clockWrite_->readBack) {
        DeviceDateTime now;
        double offset = 0;
        if (!ReadDeviceClock(link, now, offset)) clockWrite_->cause = causeOf(link);
    }
    for (std::size_t i = 0; i < tableWrites_.size(); ++i) {
        TableWrite& w = tableWrites_[i];
        if (!w.ok || w.readBack) continue;
        bool ok = false;
        if (w.table < 0) {
            SaturationTableBuffer buffer;
            ok = ReadSaturationTable(link, buffer);
        } else {
            PropertyTableBuffer buffer;
            ok = ReadPropertyTable(link, w.table, buffer);
        }
        if (!ok) tableWrites_[i].cause = causeOf(link);
    }
}

bool HistoryRecorder::identify(Link& link) {
    if (identified_ == connection_ && connection_ != 0 && !serial_.empty()) return true;
    if (!link.session().Online) return false;
    std::string serial;
    if (!ReadDeviceSerialNo(link, serial)) return false;
    program_ = ReadProgramText(link);
    // The device's texts are padded with blanks.
    const auto trim = [](std::string s) {
        const auto last = s.find_last_not_of(' ');
        s.erase(last == std::string::npos ? 0 : last + 1);
        const auto first = s.find_first_not_of(' ');
        return first == std::string::npos ? std::string() : s.substr(first);
    };
    serial_ = trim(serial);
    program_ = trim(program_);
    identified_ = connection_;
    return !serial_.empty();
}

std::vector<JournalChange> HistoryRecorder::recordChanges(const RecordWrite& w, int medium) const {
    if (w.id.kind == BlockKind::Betrieb) {
        // Byte 0 is the baud rate; the rest is the device's own.
        const auto rate = [](const Bytes& b) {
            return b.empty() || b[0] > 7 ? std::string("?") : std::to_string(kBaudRates[b[0]]);
        };
        const std::string before = w.before ? rate(*w.before) : std::string();
        const std::string after = rate(w.sent);
        if (before == after) return {};
        JournalChange c;
        c.target = Target::BaudRate;
        c.oldBase = before;
        c.newBase = after;
        c.oldShown = before.empty() ? before : before + " Baud";
        c.newShown = after + " Baud";
        const std::optional<std::string> back =
            w.readBack ? std::optional<std::string>(rate(*w.readBack)) : std::nullopt;
        SetOutcome(c, w.ok, w.cause, back, back == after);
        return {c};
    }

    // The images differ only in this record: the device before, as sent
    // and as read back.
    ParameterImage before = device_;
    ParameterImage intended = device_;
    ParameterImage readBack = device_;
    codec::DecodeBlock(w.sent, intended, w.id);
    if (w.before) {
        codec::DecodeBlock(*w.before, before, w.id);
    } else {
        // Not known: every field of the record is named. Each byte flipped
        // makes every field differ from what was sent.
        Bytes flipped = w.sent;
        for (std::uint8_t& b : flipped) b = static_cast<std::uint8_t>(~b);
        codec::DecodeBlock(flipped, before, w.id);
    }
    std::string failure;
    if (!w.ok) {
        failure = w.cause;
    } else if (w.readBack) {
        codec::DecodeBlock(*w.readBack, readBack, w.id);
    } else {
        failure = "not read back: " + w.cause;
    }
    std::vector<JournalChange> out =
        history::SettingChanges(before, intended, readBack, medium, failure);
    std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> shown;
    for (const edit::ComparisonRow& row :
         edit::CompareParameterSets(before, intended, medium, text_)) {
        shown[{row.section, row.key}] = {row.left, row.right};
    }
    for (JournalChange& c : out) {
        const auto s = shown.find({c.section, c.key});
        c.oldShown = s != shown.end() ? s->second.first : c.oldBase;
        c.newShown = s != shown.end() ? s->second.second : c.newBase;
        if (!w.before) {
            c.oldBase.clear();
            c.oldShown.clear();
        }
        // Written but not read back is not "failed": the device took it.
        if (w.ok && !w.readBack) c.outcome = Outcome::Differs;
    }
    return out;
}

std::vector<JournalChange> HistoryRecorder::changes(int medium) const {
    std::vector<JournalChange> out;
    // A record written more than once in a sequence (a whole set writes
    // some twice) is one write: from what the device held before the first
    // to what the last sent and read back.
    std::vector<bool> done(writes_.size(), false);
    for (std::size_t i = 0; i < writes_.size(); ++i) {
        if (done[i]) continue;
        RecordWrite w = writes_[i];
        for (std::size_t j = i + 1; j < writes_.size(); ++j) {
            if (!(writes_[j].id == w.id)) continue;
            done[j] = true;
            w.sent = writes_[j].sent;
            w.readBack = writes_[j].readBack;
            w.ok = writes_[j].ok;
            w.cause = writes_[j].cause;
        }
        auto c = recordChanges(w, medium);
        out.insert(out.end(), std::make_move_iterator(c.begin()), std::make_move_iterator(c.end()));
    }
    if (clockWrite_) {
        const ClockWrite& w = *clockWrite_;
        JournalChange c;
        c.target = Target::Clock;
        c.oldBase = w.before ? FormatDeviceDateTime(*w.before) : std::string();
        c.newBase = FormatDeviceDateTime(w.written);
        c.oldShown = c.oldBase;
        c.newShown = c.newBase;
        const std::optional<std::string> back =
            w.readBack ? std::optional<std::string>(FormatDeviceDateTime(*w.readBack))
                       : std::nullopt;
        SetOutcome(c, w.ok, w.cause, back,
                   w.readBack &&
                       std::abs(Seconds(*w.readBack) - Seconds(w.written)) <= kClockSlackSeconds);
        out.push_back(std::move(c));
    }
    for (const TableWrite& w : tableWrites_) {
        JournalChange c;
        c.target = Target::Table;
        c.section = TableName(w.table, medium);
        // A table is named by the digest of its values (SHA-256, 16 digits).
        c.oldBase = w.before;
        c.newBase = w.sent;
        c.oldShown = w.before;
        c.newShown = w.sent;
        SetOutcome(c, w.ok, w.cause, w.readBack, w.readBack == w.sent);
        out.push_back(std::move(c));
    }
    return out;
}

void HistoryRecorder::finish(Link& link) {
    if (!hasWork() && !open_) return;
    open_ = true;
    history::History& history = history_();
    if (hasWork()) {
        const int medium = link.session().Medium;
        readBack(link);
        if (!identify(link)) {
            // Without the serial number nothing can be filed under the device.
            history.flush();
            writes_.clear();
            clockWrite_.reset();
            tableWrites_.clear();
            setRead_.reset();
            std::string cause = text_(history::history_text::kCauseSerialUnread);
            if (cause.empty()) {
                cause =
                    "the serial number of the device could not be read; the last device work is "
                    "not in the history";
            }
            link.ui().historyWarning(Warning(text_, cause));
            warned_ = true;
            return;
        }
        if (setRead_) {
            history::SnapshotInput s;
            s.serial = serial_;
            s.medium = medium;
            s.programText = program_;
            s.expansionLevel = setRead_->System.Ausbaustufe;
            if (history::SnapshotParameterText(*setRead_, medium, scratch_, &s.parameterText)
                    .ok()) {
                if (VariantOf(medium).gasCalculation) {
                    s.propertyTable = propertyTableFile_[0];
                } else {
                    s.propertyTable =
                        propertyTableFile_[0] ? propertyTableFile_[0] : propertyTableFile_[1];
                    s.saturationTable = saturationTableFile_;
                }
                history.recordSnapshot(s);
            }
        }
        const std::vector<JournalChange> journal = changes(medium);
        writes_.clear();
        clockWrite_.reset();
        tableWrites_.clear();
        setRead_.reset();
        if (!journal.empty()) history.recordChanges(serial_, journal);
    } else if (history.pending() == 0 && !warned_) {
        return;
    } else if (history.pending() > 0 &&
               std::chrono::steady_clock::now() - lastFlush_ < kRetryEvery) {
        // A store that is down is tried again now and then, not after every
        // sequence (the window's live values make one each second).
        return;
    }
    lastFlush_ = std::chrono::steady_clock::now();
    history.flush();
    warn(link, history);
}

void HistoryRecorder::warn(Link& link, history::History& history) {
    if (history.pending() > 0 || !history.cause().empty()) {
        link.ui().historyWarning(Warning(text_, history::StoreCauseText(history.failure(), text_)));
        warned_ = true;
    } else if (warned_) {
        warned_ = false;
        link.ui().historyWarning({});
    }
}

}  // namespace parvion

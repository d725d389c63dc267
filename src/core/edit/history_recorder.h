#pragma once
// The one place where the device work of the window and the command line
// reaches the device history. The recorder watches the link (RecordWatch):
// every parameter record read or written, the clock, the tables, and each
// parameter set read whole. It only copies what it is told while a device
// sequence runs; finish(), called by the owner after each device sequence,
// turns that into history records:
//
// - a parameter set read whole (online start, read-params, compare, print
//   from the device, the comparison of New/Load) becomes a snapshot of the
//   device, with the tables when they were read in this connection;
// - each write becomes one journal entry per changed setting: the old value
//   as this connection's device returned it (empty when the record was not
//   read before), the new one as sent, in the base unit and as the pages
//   show it, and the outcome. A record, clock or table written and not read
//   back within the sequence is read back by finish() first, so that the
//   outcome says what the device holds: written and read back equal,
//   written and read back different, or failed with the link's cause.
//   Betrieb's byte 0 is the baud rate; the other Betrieb bytes, the access
//   record and the password are never journalled.
//
// Then the history is flushed; when it cannot be written the link's UiHooks
// get historyWarning() with the cause, and the records wait in memory.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/history/history.h"
#include "core/link/record_watch.h"
#include "core/views/text_source.h"

namespace parvion {

class HistoryRecorder : public RecordWatch {
  public:
    // `history` gives the history when there is something to record (so a
    // sequence that records nothing never opens the store); `scratch` is a
    // folder for the snapshot's texts (the data folder); `text` the string
    // library for the link's causes, the pages' captions and the warning.
    using HistorySource = std::function<history::History&()>;
    HistoryRecorder(HistorySource history, std::filesystem::path scratch, views::TextLoader text);

    // After a device sequence: read back what was written and not read
    // back, record the snapshot and the journal entries, flush the history
    // and warn through the link's UiHooks when it cannot be written.
    // Without anything to record it only retries what is pending.
    void finish(Link& link);

    // Whether the sequence so far left something to record.
    bool hasWork() const;

    // --- RecordWatch
    void recordRead(const Link& link, BlockId id, std::span<const std::uint8_t> block) override;
    void recordWritten(const Link& link, BlockId id, std::span<const std::uint8_t> block,
                       bool ok) override;
    bool knowsWholeSet(const Link& link) const override;
    void setRead(const Link& link, const ParameterImage& image) override;
    void clockWritten(const Link& link, const DeviceDateTime& written, bool ok) override;
    void clockRead(const Link& link, const DeviceDateTime& read) override;
    void propertyTableWritten(const Link& link, int table, const PropertyTableBuffer& buffer,
                              bool ok) override;
    void propertyTableRead(const Link& link, int table, const PropertyTableBuffer& buffer) override;
    void saturationTableWritten(const Link& link, const SaturationTableBuffer& buffer,
                                bool ok) override;
    void saturationTableRead(const Link& link, const SaturationTableBuffer& buffer) override;

  private:
    using Bytes = std::vector<std::uint8_t>;
    struct RecordWrite {
        BlockId id;
        std::optional<Bytes> before;  // as the device held it, when known
        Bytes sent;
        std::optional<Bytes> readBack;
        std::string cause;  // failed: the link's cause
        bool ok = false;
    };
    struct ClockWrite {
        std::optional<DeviceDateTime> before;
        DeviceDateTime written;
        std::optional<DeviceDateTime> readBack;
        std::string cause;
        bool ok = false;
    };
    struct TableWrite {
        int table = 0;       // property table 0 or 1; -1 the saturation table
        std::string before;  // digests of the table's values; empty when unknown
        std::string sent;
        std::optional<std::string> readBack;
        std::string cause;
        bool ok = false;
    };

    // Forgets what the device held when the link's connection changed.
    void follow(const Link& link);
    std::string causeOf(const Link& link) const;
    void readBack(Link& link);
    bool identify(Link& link);
    std::vector<history::JournalChange> changes(int medium) const;
    std::vector<history::JournalChange> recordChanges(const RecordWrite& w, int medium) const;
    void warn(Link& link, history::History& history);

    HistorySource history_;
    std::filesystem::path scratch_;
    views::TextLoader text_;

    std::uint32_t connection_ = 0;
    ParameterImage device_;  // the records as the device holds them, where known
    std::vector<bool> known_;
    std::optional<DeviceDateTime> clock_;
    std::string tableDigest_[3];  // property tables 0, 1 and the saturation table
    std::optional<std::string> propertyTableFile_[2];
    std::optional<std::string> saturationTableFile_;

    std::vector<RecordWrite> writes_;
    std::optional<ClockWrite> clockWrite_;
    std::vector<TableWrite> tableWrites_;
    std::optional<ParameterImage> setRead_;

    std::uint32_t identified_ = 0;
    std::string serial_;
    std::string program_;
    bool warned_ = false;
    bool open_ = false;  // the history has been asked for
    std::chrono::steady_clock::time_point lastFlush_{};
};

}  // namespace parvion

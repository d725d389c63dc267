#pragma once
// The device history as the program uses it: record each complete read of a
// device's parameter set and each write to a device, and never let the
// history stand in the way of the device work. When the store cannot be
// written (disk full, database locked or read-only, server unreachable) the
// record is kept in memory, cause() says why, and flush() writes what is
// kept, oldest first, when the store is back. The journal's chain of hashes
// is made when an entry is written, so it stays whole across such a gap.
//
// The caller records after a device sequence, never between two device
// transactions, and calls flush() after each device sequence. A record
// tries the store at once only while nothing is pending, so a store that is
// down costs one failed attempt per flush, not one per record.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history_store.h"

namespace parvion::history {

class History {
  public:
    using Clock = std::function<Moment()>;

    History(std::unique_ptr<HistoryStore> store, Origin origin, Clock clock = Now);

    enum class Recorded {
        Stored,   // in the store
        Pending,  // kept in memory until flush() writes it; cause() says why
        Invalid,  // not kept: the input cannot be stored (cause() says why)
    };

    // A complete read of a device's parameter set (and its tables, when read).
    Recorded recordSnapshot(const SnapshotInput& snapshot);
    // The changes of one write to a device; one journal entry each.
    Recorded recordChanges(std::string_view serial, const std::vector<JournalChange>& changes);

    // Writes what is pending, oldest first, and stops at the first failure.
    // True when nothing is pending afterwards.
    bool flush();
    std::size_t pending() const { return pending_.size(); }
    // Why the last attempt failed, naming the store; empty once a write
    // worked and nothing is pending.
    const std::string& cause() const { return failure_.cause; }
    // The whole status of that attempt, for a warning in the user's
    // language (StoreCauseText); ok() when cause() is empty.
    const StoreStatus& failure() const { return failure_; }
    // What the last stored snapshot was: new, or the device seen again.
    const SnapshotStored& lastSnapshot() const { return lastSnapshot_; }

    // The store, for lists, snapshots and the journal's check.
    HistoryStore& store() { return *store_; }
    const Origin& origin() const { return origin_; }

  private:
    struct Item {
        Moment at;
        std::string serial;                  // journal
        std::vector<JournalChange> changes;  // journal
        std::optional<SnapshotInput> snapshot;
    };
    StoreStatus write(const Item& item);
    Recorded record(Item item);

    std::unique_ptr<HistoryStore> store_;
    Origin origin_;
    Clock clock_;
    std::deque<Item> pending_;
    StoreStatus failure_;
    SnapshotStored lastSnapshot_;
};

}  // namespace parvion::history

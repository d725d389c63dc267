#include "core/history/history.h"

#include <utility>

namespace parvion::history {

History::History(std::unique_ptr<HistoryStore> store, Origin origin, Clock clock)
    : store_(std::move(store)), origin_(std::move(origin)), clock_(std::move(clock)) {}

History::Recorded History::recordSnapshot(const SnapshotInput& snapshot) {
    if (std::string why = ValidateSnapshot(snapshot); !why.empty()) {
        failure_ = {StoreStatus::Kind::Invalid, std::move(why)};
        return Recorded::Invalid;
    }
    return record({clock_(), {}, {}, snapshot});
}

History::Recorded History::recordChanges(std::string_view serial,
                                         const std::vector<JournalChange>& changes) {
    if (std::string why = ValidateChanges(serial, changes); !why.empty()) {
        failure_ = {StoreStatus::Kind::Invalid, std::move(why)};
        return Recorded::Invalid;
    }
    if (changes.empty()) return Recorded::Stored;
    return record({clock_(), std::string(serial), changes, std::nullopt});
}

History::Recorded History::record(Item item) {
    if (!pending_.empty()) {
        pending_.push_back(std::move(item));
        return Recorded::Pending;
    }
    const StoreStatus status = write(item);
    if (status.ok()) {
        failure_ = {};
        return Recorded::Stored;
    }
    failure_ = status;
    if (status.kind == StoreStatus::Kind::Invalid) return Recorded::Invalid;
    pending_.push_back(std::move(item));
    return Recorded::Pending;
}

bool History::flush() {
    while (!pending_.empty()) {
        const StoreStatus status = write(pending_.front());
        if (status.kind == StoreStatus::Kind::Unavailable) {
            failure_ = status;
            return false;
        }
        // Written, or refused for good (it would be refused again).
        if (status.ok()) {
            failure_ = {};
        } else {
            failure_ = status;
        }
        pending_.pop_front();
    }
    return true;
}

StoreStatus History::write(const Item& item) {
    if (item.snapshot) return store_->addSnapshot(*item.snapshot, item.at, origin_, &lastSnapshot_);
    return store_->appendJournal(item.serial, item.changes, item.at, origin_);
}

}  // namespace parvion::history

#pragma once
// The store of the device history: one small interface with two back-ends,
// an SQLite file in the data folder (the default, one computer) and a
// PostgreSQL server (shared by a team), chosen by the settings key
// [History] Database. Nothing above this interface knows which is in use.
//
// Both back-ends use the same schema (schema_version, devices, snapshots,
// sightings, journal, journal_head) with a version number: an older schema
// is migrated, a newer one is refused with a message and never altered.
// Every write is one transaction, so a process killed in the middle leaves
// the old state or the new one, never half; a writer that meets another
// writer's lock or a serialization conflict tries again.
//
// No call throws. Each returns a StoreStatus that says whether it worked
// and, when not, why (the cause names the database). The front the program
// uses, History (history.h), keeps what could not be written and writes it
// later.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history_types.h"

namespace parvion::history {

// The schema version this program writes.
inline constexpr int kSchemaVersion = 1;
// The SQLite file in the data folder.
inline constexpr std::string_view kSqliteFileName = "history.sqlite";

// The common causes of an unavailable store, which a warning names in the
// user's language (StoreCauseText, history_view.h); the others keep the
// database's own words.
enum class StoreCause : std::uint8_t {
    Other,
    NotASetting,  // [History] Database is neither empty nor a postgresql:// address
    Unreachable,  // the database cannot be opened, reached or written
    Locked,       // another writer holds the database longer than the busy time
};

struct StoreStatus {
    enum class Kind {
        Ok,
        Unavailable,  // the store cannot be reached or written now: try again later
        Invalid,      // this input cannot be stored (no serial number, not a setting ...)
    };
    Kind kind = Kind::Ok;
    std::string cause;  // in English, naming the store
    StoreCause code = StoreCause::Other;
    std::string where{};   // the store: the SQLite file, the server's address
    std::string detail{};  // the database's own words
    bool ok() const { return kind == Kind::Ok; }
};

// What addSnapshot did.
struct SnapshotStored {
    std::int64_t snapshotId = 0;  // the new snapshot, or the one seen again
    bool seenAgain = false;       // identical to the device's previous snapshot
};

struct StoreOptions {
    // How long a write waits for another writer before it counts as
    // unavailable (SQLite's busy timeout, PostgreSQL's lock timeout).
    int busyMs = 2000;
};

class HistoryStore {
  public:
    virtual ~HistoryStore() = default;

    // "history.sqlite in FOLDER" or the connection string: where the
    // history is, for messages.
    virtual std::string describe() const = 0;

    // Connects and makes sure the schema is there (created on a new
    // database, migrated when older). Every other call opens on demand.
    virtual StoreStatus open() = 0;

    // Stores the snapshot, or when the device's snapshot before `at` has
    // the same variant, program text, expansion level, parameter text and,
    // for each table given, the same table, only records that it was seen
    // again. The device's entry (variant, last seen) is updated.
    virtual StoreStatus addSnapshot(const SnapshotInput& snapshot, const Moment& at,
                                    const Origin& origin, SnapshotStored* stored) = 0;

    // Appends the changes of one write to a device as consecutive journal
    // entries, all or none.
    virtual StoreStatus appendJournal(std::string_view serial,
                                      const std::vector<JournalChange>& changes, const Moment& at,
                                      const Origin& origin) = 0;

    // The devices seen, by serial number.
    virtual StoreStatus listDevices(std::vector<DeviceInfo>* devices) = 0;
    // The snapshots of a device (every device when serial is empty) in
    // time order, without their texts.
    virtual StoreStatus listSnapshots(std::string_view serial,
                                      std::vector<SnapshotInfo>* snapshots) = 0;
    // The records of a device seen again unchanged, in time order.
    virtual StoreStatus listSightings(std::string_view serial,
                                      std::vector<Sighting>* sightings) = 0;
    // One snapshot with its texts; Invalid when there is none of that id.
    virtual StoreStatus getSnapshot(std::int64_t id, Snapshot* snapshot) = 0;
    // The journal entries the filter selects, in time order.
    virtual StoreStatus listJournal(const JournalFilter& filter,
                                    std::vector<JournalEntry>* entries) = 0;
    // Checks the journal's chain of hashes (journal_chain.h).
    virtual StoreStatus verifyJournal(VerifyResult* result) = 0;
};

// The SQLite store: kSqliteFileName in `folder` (which must exist).
std::unique_ptr<HistoryStore> OpenSqliteStore(const std::filesystem::path& folder,
                                              StoreOptions options = {});
// The PostgreSQL store. A connection string that holds a password is
// refused (every call answers Unavailable, saying so): the password belongs
// in ~/.pgpass or PGPASSWORD, never in the settings file.
std::unique_ptr<HistoryStore> OpenPostgresStore(const std::string& conninfo,
                                                StoreOptions options = {});
// The store the settings key [History] Database names: empty for the
// SQLite file in dataFolder, "postgresql://..." or "postgres://..." for a
// server. Any other value gives a store whose every call answers
// Unavailable, naming the value.
std::unique_ptr<HistoryStore> OpenHistoryStore(std::string_view database,
                                               const std::filesystem::path& dataFolder,
                                               StoreOptions options = {});

}  // namespace parvion::history

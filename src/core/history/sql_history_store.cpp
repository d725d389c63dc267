// The history store over an SQL connection: one schema and one set of
// statements for SQLite and PostgreSQL; the few differences (key columns,
// byte columns, the append-only guard, locking the journal's head) are
// chosen by the connection's dialect.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <thread>

#include "core/history/history_store.h"
#include "core/history/journal_chain.h"
#include "core/history/sql_connection.h"

namespace parvion::history {

namespace {

using Rows = std::vector<SqlRow>;

// Thrown inside a transaction; never leaves this file.
struct Failure {
    SqlFailure kind;
    std::string cause;
};

// Writes that meet another writer's lock try this often.
constexpr int kAttempts = 6;

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos;
         at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

// The schema of version 1. {id} and {blob} stand for the dialect's
// key column and byte column.
constexpr std::string_view kSchema[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE devices (serial TEXT PRIMARY KEY, medium INTEGER NOT NULL,"
    " first_seen TEXT NOT NULL, last_seen TEXT NOT NULL)",
    "CREATE TABLE snapshots (id {id}, serial TEXT NOT NULL REFERENCES devices (serial),"
    " medium INTEGER NOT NULL, program_text TEXT NOT NULL, expansion_level INTEGER NOT NULL,"
    " at_utc TEXT NOT NULL, zone_minutes INTEGER NOT NULL, computer TEXT NOT NULL,"
    " user_name TEXT NOT NULL, program TEXT NOT NULL, parameter_text {blob} NOT NULL,"
    " property_table {blob}, saturation_table {blob})",
    "CREATE INDEX snapshots_by_device ON snapshots (serial, at_utc, id)",
    "CREATE INDEX snapshots_by_time ON snapshots (at_utc, id)",
    "CREATE TABLE sightings (id {id}, snapshot_id BIGINT NOT NULL REFERENCES snapshots (id),"
    " serial TEXT NOT NULL, at_utc TEXT NOT NULL, zone_minutes INTEGER NOT NULL,"
    " computer TEXT NOT NULL, user_name TEXT NOT NULL, program TEXT NOT NULL)",
    "CREATE INDEX sightings_by_device ON sightings (serial, at_utc)",
    "CREATE TABLE journal (seq BIGINT PRIMARY KEY, at_utc TEXT NOT NULL,"
    " zone_minutes INTEGER NOT NULL, computer TEXT NOT NULL, user_name TEXT NOT NULL,"
    " program TEXT NOT NULL, serial TEXT NOT NULL, target TEXT NOT NULL,"
    " section_name TEXT NOT NULL, key_name TEXT NOT NULL, old_base TEXT NOT NULL,"
    " new_base TEXT NOT NULL, old_shown TEXT NOT NULL, new_shown TEXT NOT NULL,"
    " outcome TEXT NOT NULL, cause TEXT NOT NULL, hash TEXT NOT NULL)",
    "CREATE INDEX journal_by_device ON journal (serial, at_utc)",
    "CREATE INDEX journal_by_time ON journal (at_utc, seq)",
    "CREATE TABLE journal_head (id INTEGER PRIMARY KEY CHECK (id = 1), seq BIGINT NOT NULL,"
    " hash TEXT NOT NULL)",
};

// Entries are appended, never changed or removed (the chain of hashes finds
// it when someone does it anyway, around these guards).
constexpr std::string_view kSqliteGuard[] = {
    "CREATE TRIGGER journal_no_update BEFORE UPDATE ON journal"
    " BEGIN SELECT RAISE(ABORT, 'the journal is append-only'); END",
    "CREATE TRIGGER journal_no_delete BEFORE DELETE ON journal"
    " BEGIN SELECT RAISE(ABORT, 'the journal is append-only'); END",
};
constexpr std::string_view kPostgresGuard[] = {
    "CREATE FUNCTION journal_append_only() RETURNS trigger LANGUAGE plpgsql AS"
    " 'BEGIN RAISE EXCEPTION ''the journal is append-only''; END'",
    "CREATE TRIGGER journal_append_only BEFORE UPDATE OR DELETE ON journal"
    " FOR EACH ROW EXECUTE FUNCTION journal_append_only()",
};

// Migrations: kMigrations[v - 1] takes a schema of version v to v + 1.
// Version 1 is the first; none yet.
const std::vector<std::vector<std::string_view>> kMigrations = {};

std::int64_t ToInt(const std::optional<std::string>& text) {
    std::int64_t v = 0;
    if (text) std::from_chars(text->data(), text->data() + text->size(), v);
    return v;
}
std::string ToText(const std::optional<std::string>& text) {
    return text.value_or("");
}

Moment ToMoment(const std::optional<std::string>& utc, const std::optional<std::string>& zone) {
    return {ParseUtc(ToText(utc)).value_or(0), static_cast<int>(ToInt(zone))};
}

Origin ToOrigin(const SqlRow& row, std::size_t first) {
    return {ToText(row[first]), ToText(row[first + 1]), ToText(row[first + 2])};
}

// LIKE pattern for "contains", ASCII case folded.
std::string ContainsPattern(std::string_view text) {
    std::string out = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out + "%";
}

constexpr std::string_view kJournalColumns =
    "seq, at_utc, zone_minutes, computer, user_name, program, serial, target, section_name,"
    " key_name, old_base, new_base, old_shown, new_shown, outcome, cause, hash";

// A journal row; false when its target or outcome is no known name.
bool ToEntry(const SqlRow& row, JournalEntry* e) {
    e->seq = ToInt(row[0]);
    e->at = ToMoment(row[1], row[2]);
    e->origin = ToOrigin(row, 3);
    e->serial = ToText(row[6]);
    const auto target = TargetFromName(ToText(row[7]));
    const auto outcome = OutcomeFromName(ToText(row[14]));
    e->change = {target.value_or(Target::Setting),
                 ToText(row[8]),
                 ToText(row[9]),
                 ToText(row[10]),
                 ToText(row[11]),
                 ToText(row[12]),
                 ToText(row[13]),
                 outcome.value_or(Outcome::Failed),
                 ToText(row[15])};
    e->hash = ToText(row[16]);
    return target && outcome;
}

class SqlHistoryStore final : public HistoryStore {
  public:
    SqlHistoryStore(std::unique_ptr<SqlConnection> connection, std::string where,
                    StoreOptions options, std::string refusal = {},
                    StoreCause refusalCode = StoreCause::Other)
        : db_(std::move(connection)),
          where_(std::move(where)),
          options_(options),
          refusal_(std::move(refusal)),
          refusalCode_(refusalCode) {}

    std::string describe() const override { return where_; }

    StoreStatus open() override {
        return transact(false, [] {});
    }

    StoreStatus addSnapshot(const SnapshotInput& in, const Moment& at, const Origin& origin,
                            SnapshotStored* stored) override {
        if (std::string why = ValidateSnapshot(in); !why.empty()) return invalid(why);
        const std::string serial = StoreText(in.serial);
        const std::string program = StoreText(in.programText);
        const std::string utc = FormatUtc(at.utcMs);
        return transact(true, [&] {
            touchDevice(serial, in.medium, utc);
            const Rows previous =
                q("SELECT id, medium, program_text, expansion_level, parameter_text,"
                  " property_table, saturation_table FROM snapshots"
                  " WHERE serial = $1 AND at_utc <= $2 ORDER BY at_utc DESC, id DESC LIMIT 1",
                  {SqlParam::Text(serial), SqlParam::Text(utc)});
            if (!previous.empty() && Same(previous[0], in, program)) {
                *stored = {ToInt(previous[0][0]), true};
                q("INSERT INTO sightings (snapshot_id, serial, at_utc, zone_minutes, computer,"
                  " user_name, program) VALUES ($1, $2, $3, $4, $5, $6, $7)",
                  {SqlParam::Int(stored->snapshotId), SqlParam::Text(serial), SqlParam::Text(utc),
                   SqlParam::Int(at.zoneMinutes), SqlParam::Text(origin.computer),
                   SqlParam::Text(origin.user), SqlParam::Text(origin.program)});
                return;
            }
            const Rows id =
                q("INSERT INTO snapshots (serial, medium, program_text, expansion_level, at_utc,"
                  " zone_minutes, computer, user_name, program, parameter_text, property_table,"
                  " saturation_table) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12)"
                  " RETURNING id",
                  {SqlParam::Text(serial), SqlParam::Int(in.medium), SqlParam::Text(program),
                   SqlParam::Int(in.expansionLevel), SqlParam::Text(utc),
                   SqlParam::Int(at.zoneMinutes), SqlParam::Text(origin.computer),
                   SqlParam::Text(origin.user), SqlParam::Text(origin.program),
                   SqlParam::Blob(in.parameterText), SqlParam::Maybe(in.propertyTable),
                   SqlParam::Maybe(in.saturationTable)});
            *stored = {id.empty() ? 0 : ToInt(id[0][0]), false};
        });
    }

    StoreStatus appendJournal(std::string_view serialIn, const std::vector<JournalChange>& changes,
                              const Moment& at, const Origin& origin) override {
        if (std::string why = ValidateChanges(serialIn, changes); !why.empty()) return invalid(why);
        const std::string serial = StoreText(serialIn);
        std::vector<JournalEntry> entries;
        for (const JournalChange& c : changes) {
            JournalEntry e{0, at, origin, serial, c, {}};
            for (std::string* text :
                 {&e.change.section, &e.change.key, &e.change.oldBase, &e.change.newBase,
                  &e.change.oldShown, &e.change.newShown, &e.change.cause}) {
                *text = StoreText(*text);
            }
            entries.push_back(std::move(e));
        }
        if (entries.empty()) return {};
        return transact(true, [&] {
            const std::string lock = db_->dialect() == Dialect::Postgres ? " FOR UPDATE" : "";
            const Rows head = q("SELECT seq, hash FROM journal_head WHERE id = 1" + lock);
            if (head.empty()) throw Failure{SqlFailure::Other, "the journal has no head"};
            std::int64_t seq = ToInt(head[0][0]);
            std::string hash = ToText(head[0][1]);
            for (JournalEntry& e : entries) {
                e.seq = ++seq;
                e.hash = hash = ChainHash(hash, e);
                q("INSERT INTO journal (" + std::string(kJournalColumns) +
                      ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14,"
                      " $15, $16, $17)",
                  {SqlParam::Int(e.seq), SqlParam::Text(FormatUtc(e.at.utcMs)),
                   SqlParam::Int(e.at.zoneMinutes), SqlParam::Text(e.origin.computer),
                   SqlParam::Text(e.origin.user), SqlParam::Text(e.origin.program),
                   SqlParam::Text(e.serial), SqlParam::Text(TargetName(e.change.target)),
                   SqlParam::Text(e.change.section), SqlParam::Text(e.change.key),
                   SqlParam::Text(e.change.oldBase), SqlParam::Text(e.change.newBase),
                   SqlParam::Text(e.change.oldShown), SqlParam::Text(e.change.newShown),
                   SqlParam::Text(OutcomeName(e.change.outcome)), SqlParam::Text(e.change.cause),
                   SqlParam::Text(e.hash)});
            }
            q("UPDATE journal_head SET seq = $1, hash = $2 WHERE id = 1",
              {SqlParam::Int(seq), SqlParam::Text(hash)});
        });
    }

    StoreStatus listDevices(std::vector<DeviceInfo>* devices) override {
        return transact(false, [&] {
            devices->clear();
            for (const SqlRow& r :
                 q("SELECT serial, medium, first_seen, last_seen FROM devices ORDER BY serial")) {
                devices->push_back({ToText(r[0]), static_cast<int>(ToInt(r[1])),
                                    ParseUtc(ToText(r[2])).value_or(0),
                                    ParseUtc(ToText(r[3])).value_or(0)});
            }
        });
    }

    StoreStatus listSnapshots(std::string_view serial,
                              std::vector<SnapshotInfo>* snapshots) override {
        return transact(false, [&] {
            snapshots->clear();
            const std::string columns =
                "SELECT id, serial, medium, program_text, expansion_level, at_utc, zone_minutes,"
                " computer, user_name, program,"
                " CASE WHEN property_table IS NULL THEN 0 ELSE 1 END,"
                " CASE WHEN saturation_table IS NULL THEN 0 ELSE 1 END FROM snapshots";
            const Rows rows = serial.empty() ? q(columns + " ORDER BY at_utc, id")
                                             : q(columns + " WHERE serial = $1 ORDER BY at_utc, id",
                                                 {SqlParam::Text(StoreText(serial))});
            snapshots->reserve(rows.size());
            for (const SqlRow& r : rows) snapshots->push_back(ToInfo(r));
        });
    }

    StoreStatus listSightings(std::string_view serial, std::vector<Sighting>* sightings) override {
        return transact(false, [&] {
            sightings->clear();
            for (const SqlRow& r :
                 q("SELECT snapshot_id, serial, at_utc, zone_minutes, computer, user_name, program"
                   " FROM sightings WHERE serial = $1 ORDER BY at_utc, id",
                   {SqlParam::Text(StoreText(serial))})) {
                sightings->push_back(
                    {ToInt(r[0]), ToText(r[1]), ToMoment(r[2], r[3]), ToOrigin(r, 4)});
            }
        });
    }

    StoreStatus getSnapshot(std::int64_t id, Snapshot* snapshot) override {
        bool found = false;
        const StoreStatus status = transact(false, [&] {
            const Rows rows =
                q("SELECT id, serial, medium, program_text, expansion_level, at_utc, zone_minutes,"
                  " computer, user_name, program,"
                  " CASE WHEN property_table IS NULL THEN 0 ELSE 1 END,"
                  " CASE WHEN saturation_table IS NULL THEN 0 ELSE 1 END,"
                  " parameter_text, property_table, saturation_table FROM snapshots WHERE id = $1",
                  {SqlParam::Int(id)});
            found = !rows.empty();
            if (!found) return;
            snapshot->info = ToInfo(rows[0]);
            snapshot->parameterText = ToText(rows[0][12]);
            snapshot->propertyTable = rows[0][13];
            snapshot->saturationTable = rows[0][14];
        });
        if (status.ok() && !found) return invalid("there is no snapshot " + std::to_string(id));
        return status;
    }

    StoreStatus listJournal(const JournalFilter& filter,
                            std::vector<JournalEntry>* entries) override {
        std::string sql = "SELECT " + std::string(kJournalColumns) + " FROM journal";
        std::vector<SqlParam> params;
        auto where = [&](std::string_view condition, SqlParam value) {
            params.push_back(std::move(value));
            sql += params.size() == 1 ? " WHERE " : " AND ";
            sql += ReplaceAll(std::string(condition), "$n", "$" + std::to_string(params.size()));
        };
        if (!filter.serial.empty()) where("serial = $n", SqlParam::Text(StoreText(filter.serial)));
        if (filter.since) where("at_utc >= $n", SqlParam::Text(FormatUtc(*filter.since)));
        if (!filter.setting.empty()) {
            where("lower(section_name || ' ' || key_name) LIKE $n ESCAPE '\\'",
                  SqlParam::Text(ContainsPattern(filter.setting)));
        }
        sql += " ORDER BY at_utc, seq";
        return transact(false, [&] {
            entries->clear();
            const Rows rows = q(sql, params);
            entries->reserve(rows.size());
            for (const SqlRow& r : rows) {
                JournalEntry e;
                ToEntry(r, &e);
                entries->push_back(std::move(e));
            }
        });
    }

    StoreStatus verifyJournal(VerifyResult* result) override {
        return transact(false, [&] {
            const Rows head = q("SELECT seq, hash FROM journal_head WHERE id = 1");
            ChainVerifier verifier;
            std::int64_t after = -1;
            for (bool more = true; more;) {
                const Rows rows = q("SELECT " + std::string(kJournalColumns) +
                                        " FROM journal WHERE seq > $1 ORDER BY seq LIMIT 2000",
                                    {SqlParam::Int(after)});
                more = !rows.empty();
                for (const SqlRow& r : rows) {
                    JournalEntry e;
                    if (!ToEntry(r, &e)) e.hash.clear();  // an unknown name: changed
                    after = e.seq;
                    if (!verifier.add(e)) {
                        more = false;
                        break;
                    }
                }
            }
            *result = head.empty() ? verifier.finish(0, kChainStart)
                                   : verifier.finish(ToInt(head[0][0]), ToText(head[0][1]));
        });
    }

  private:
    static bool Same(const SqlRow& prev, const SnapshotInput& in, const std::string& program) {
        auto sameTable = [](const std::optional<std::string>& now,
                            const std::optional<std::string>& before) {
            return !now || now == before;
        };
        return ToInt(prev[1]) == in.medium && ToText(prev[2]) == program &&
               ToInt(prev[3]) == in.expansionLevel && ToText(prev[4]) == in.parameterText &&
               sameTable(in.propertyTable, prev[5]) && sameTable(in.saturationTable, prev[6]);
    }

    static SnapshotInfo ToInfo(const SqlRow& r) {
        SnapshotInfo s;
        s.id = ToInt(r[0]);
        s.serial = ToText(r[1]);
        s.medium = static_cast<int>(ToInt(r[2]));
        s.programText = ToText(r[3]);
        s.expansionLevel = static_cast<std::uint8_t>(ToInt(r[4]));
        s.at = ToMoment(r[5], r[6]);
        s.origin = ToOrigin(r, 7);
        s.hasPropertyTable = ToInt(r[10]) != 0;
        s.hasSaturationTable = ToInt(r[11]) != 0;
        return s;
    }

    void touchDevice(const std::string& serial, int medium, const std::string& utc) {
        q("INSERT INTO devices (serial, medium, first_seen, last_seen) VALUES ($1, $2, $3, $3)"
          " ON CONFLICT (serial) DO UPDATE SET"
          " medium = CASE WHEN excluded.last_seen >= devices.last_seen"
          " THEN excluded.medium ELSE devices.medium END,"
          " first_seen = CASE WHEN excluded.first_seen < devices.first_seen"
          " THEN excluded.first_seen ELSE devices.first_seen END,"
          " last_seen = CASE WHEN excluded.last_seen > devices.last_seen"
          " THEN excluded.last_seen ELSE devices.last_seen END",
          {SqlParam::Text(serial), SqlParam::Int(medium), SqlParam::Text(utc)});
    }

    Rows q(std::string_view sql, const std::vector<SqlParam>& params = {}) {
        Rows rows;
        std::string cause;
        const SqlFailure f = db_->exec(sql, params, &rows, &cause);
        if (f != SqlFailure::None) throw Failure{f, cause};
        return rows;
    }

    StoreStatus invalid(std::string why) const {
        return {StoreStatus::Kind::Invalid, std::move(why)};
    }
    StoreStatus unavailable(const std::string& why, SqlFailure failure = SqlFailure::Lost) const {
        const StoreCause code = failure == SqlFailure::Busy   ? StoreCause::Locked
                                : failure == SqlFailure::Lost ? StoreCause::Unreachable
                                                              : StoreCause::Other;
        return {StoreStatus::Kind::Unavailable, where_ + ": " + why, code, where_, why};
    }

    void rollback() {
        if (!db_->connected()) return;
        std::string ignored;
        db_->exec("ROLLBACK", {}, nullptr, &ignored);
    }

    // The schema's version; -1 when the database has none yet.
    int schemaVersion() {
        const Rows exists =
            db_->dialect() == Dialect::Sqlite
                ? q("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                    " AND name = 'schema_version'")
                // The catalog itself: a role that may not read the table
                // still sees that it is there (and is told so when reading it).
                : q("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n"
                    " ON n.oid = c.relnamespace WHERE c.relname = 'schema_version'"
                    " AND n.nspname = current_schema()");
        if (exists.empty() || ToInt(exists[0][0]) == 0) return -1;
        const Rows v = q("SELECT max(version) FROM schema_version");
        if (v.empty() || !v[0][0]) throw Failure{SqlFailure::Other, "schema_version is empty"};
        return static_cast<int>(ToInt(v[0][0]));
    }

    std::string tooNew(int version) const {
        return where_ + ": the history has schema version " + std::to_string(version) +
               ", newer than this program's " + std::to_string(kSchemaVersion) +
               "; it is left as it is (a newer parvion2 uses it)";
    }

    // Creates or migrates the schema, or refuses a newer one.
    StoreStatus ensureSchema() {
        try {
            int version = schemaVersion();
            if (version == kSchemaVersion) return {};
            if (version > kSchemaVersion) return {StoreStatus::Kind::Unavailable, tooNew(version)};
            const bool pg = db_->dialect() == Dialect::Postgres;
            q(db_->beginWrite());
            // Two programs opening a new database at once: one creates it.
            if (pg) q("SELECT pg_advisory_xact_lock(7102025)");
            version = schemaVersion();
            if (version > kSchemaVersion) {
                rollback();
                return {StoreStatus::Kind::Unavailable, tooNew(version)};
            }
            if (version < 0) {
                for (std::string_view s : kSchema) {
                    std::string sql = ReplaceAll(std::string(s), "{id}",
                                                 pg ? "BIGINT GENERATED BY DEFAULT AS IDENTITY "
                                                      "PRIMARY KEY"
                                                    : "INTEGER PRIMARY KEY AUTOINCREMENT");
                    q(ReplaceAll(std::move(sql), "{blob}", pg ? "BYTEA" : "BLOB"));
                }
                if (pg) {
                    for (std::string_view s : kPostgresGuard) q(s);
                } else {
                    for (std::string_view s : kSqliteGuard) q(s);
                }
                q("INSERT INTO journal_head (id, seq, hash) VALUES (1, 0, $1)",
                  {SqlParam::Text(kChainStart)});
                q("INSERT INTO schema_version (version) VALUES (1)");
                version = 1;
            }
            for (; version < kSchemaVersion; ++version) {
                for (std::string_view s : kMigrations[static_cast<std::size_t>(version - 1)]) q(s);
                q("UPDATE schema_version SET version = $1", {SqlParam::Int(version + 1)});
            }
            q("COMMIT");
            return {};
        } catch (const Failure& f) {
            rollback();
            return unavailable(f.cause, f.kind);
        }
    }

    // Runs fn in one transaction; a write that meets a lock or a conflict
    // is tried again, within kAttempts and twice the busy time.
    template <class Fn>
    StoreStatus transact(bool write, Fn&& fn) {
        if (!refusal_.empty()) {
            return {StoreStatus::Kind::Unavailable, refusal_, refusalCode_, where_, refusal_};
        }
        const auto start = std::chrono::steady_clock::now();
        for (int attempt = 1;; ++attempt) {
            std::string cause;
            if (!db_->connect(&cause)) {
                schemaReady_ = false;
                return unavailable(cause);
            }
            if (!schemaReady_) {
                const StoreStatus status = ensureSchema();
                if (!status.ok()) return status;
                schemaReady_ = true;
            }
            try {
                q(write ? db_->beginWrite() : db_->beginRead());
                fn();
                q("COMMIT");
                return {};
            } catch (const Failure& f) {
                rollback();
                if (!db_->connected()) schemaReady_ = false;
                const auto spent = std::chrono::steady_clock::now() - start;
                if (f.kind == SqlFailure::Busy && attempt < kAttempts &&
                    spent < std::chrono::milliseconds(2 * options_.busyMs)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
                    continue;
                }
                return unavailable(f.cause, f.kind);
            }
        }
    }

    std::unique_ptr<SqlConnection> db_;
    std::string where_;
    StoreOptions options_;
    std::string refusal_;
    StoreCause refusalCode_ = StoreCause::Other;
    bool schemaReady_ = false;
};

}  // namespace

std::unique_ptr<HistoryStore> OpenSqliteStore(const std::filesystem::path& folder,
                                              StoreOptions options) {
    return std::make_unique<SqlHistoryStore>(
        MakeSqliteConnection((folder / kSqliteFileName).string(), options.busyMs),
        std::string(kSqliteFileName) + " in " + folder.string(), options);
}

std::unique_ptr<HistoryStore> OpenPostgresStore(const std::string& conninfo, StoreOptions options) {
    std::string problem = CheckPostgresConninfo(conninfo);
    // A refused address is not repeated in messages: it may hold a password.
    std::string where = problem.empty() ? conninfo : "[History] Database";
    return std::make_unique<SqlHistoryStore>(MakePostgresConnection(conninfo, options.busyMs),
                                             std::move(where), options,
                                             problem.empty() ? "" : where + ": " + problem);
}

std::unique_ptr<HistoryStore> OpenHistoryStore(std::string_view database,
                                               const std::filesystem::path& dataFolder,
                                               StoreOptions options) {
    const auto first = database.find_first_not_of(" \t");
    database = first == std::string_view::npos
                   ? std::string_view{}
                   : database.substr(first, database.find_last_not_of(" \t") - first + 1);
    if (database.empty()) return OpenSqliteStore(dataFolder, options);
    if (database.starts_with("postgresql://") || database.starts_with("postgres://")) {
        return OpenPostgresStore(std::string(database), options);
    }
    return std::make_unique<SqlHistoryStore>(
        nullptr, "[History] Database", options,
        "[History] Database is neither empty (the history.sqlite file) nor a postgresql:// "
        "address",
        StoreCause::NotASetting);
}

}  // namespace parvion::history

#pragma once
// The little the history store needs from a database: run one statement
// with parameters and get its rows as texts. Two connections implement it,
// SQLite (sqlite_connection.h) and PostgreSQL (postgres_connection.h); the
// store's statements are written once for both, with parameters $1, $2, ...

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvion::history {

struct SqlParam {
    enum class Kind { Null, Text, Int, Blob };
    Kind kind = Kind::Null;
    std::string text;  // Text and Blob
    std::int64_t number = 0;

    static SqlParam Text(std::string_view s) { return {Kind::Text, std::string(s), 0}; }
    static SqlParam Int(std::int64_t n) { return {Kind::Int, {}, n}; }
    static SqlParam Blob(std::string_view bytes) { return {Kind::Blob, std::string(bytes), 0}; }
    static SqlParam Null() { return {}; }
    static SqlParam Maybe(const std::optional<std::string>& bytes) {
        return bytes ? Blob(*bytes) : Null();
    }
};

// One row: each column's value as text (integers in decimal, blobs as their
// bytes), nullopt for NULL.
using SqlRow = std::vector<std::optional<std::string>>;

enum class SqlFailure {
    None,
    Busy,   // locked by another writer, or a serialization conflict: worth another try
    Lost,   // the database cannot be reached or written: the connection is dropped
    Other,  // the statement itself failed
};

enum class Dialect { Sqlite, Postgres };

class SqlConnection {
  public:
    virtual ~SqlConnection() = default;
    virtual Dialect dialect() const = 0;
    // Connects when not connected. False with the reason.
    virtual bool connect(std::string* cause) = 0;
    virtual bool connected() const = 0;
    virtual void disconnect() = 0;
    // Runs one statement; the rows, if any, are appended to *rows (may be
    // null). On a failure *cause says why; on Lost the connection is closed.
    virtual SqlFailure exec(std::string_view sql, const std::vector<SqlParam>& params,
                            std::vector<SqlRow>* rows, std::string* cause) = 0;
    // The statements that open a writing and a reading transaction.
    virtual std::string_view beginWrite() const = 0;
    virtual std::string_view beginRead() const = 0;
};

// The SQLite database file `file` (created when missing; its folder must
// exist). busyMs: how long a statement waits for another writer's lock.
std::unique_ptr<SqlConnection> MakeSqliteConnection(std::string file, int busyMs);
// A PostgreSQL server through libpq; conninfo as libpq takes it
// ("postgresql://user@host/dbname"). busyMs: how long a statement waits for
// a lock.
std::unique_ptr<SqlConnection> MakePostgresConnection(std::string conninfo, int busyMs);
// Empty when libpq takes the connection string and it holds no password;
// else what is wrong with it.
std::string CheckPostgresConninfo(const std::string& conninfo);

}  // namespace parvion::history

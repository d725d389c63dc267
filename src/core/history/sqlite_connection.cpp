// The history's SQLite connection: one database file in write-ahead-log
// mode, so readers never wait for a writer and a process killed in the
// middle of a transaction leaves the last committed state.

#include <sqlite3.h>

#include <chrono>
#include <climits>
#include <thread>
#include <unordered_map>

#include "core/history/sql_connection.h"

namespace parvion::history {

namespace {

SqlFailure Classify(int code) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return SqlFailure::Busy;
        case SQLITE_READONLY:
        case SQLITE_IOERR:
        case SQLITE_FULL:
        case SQLITE_CANTOPEN:
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_PERM:
        case SQLITE_PROTOCOL:
            return SqlFailure::Lost;
        default:
            return SqlFailure::Other;
    }
}

// "$1" -> "?1": SQLite numbers parameters as "?NNN".
std::string ToSqlite(std::string_view sql) {
    std::string out(sql);
    for (char& c : out) {
        if (c == '$') c = '?';
    }
    return out;
}

class SqliteConnection final : public SqlConnection {
  public:
    SqliteConnection(std::string file, int busyMs) : file_(std::move(file)), busyMs_(busyMs) {}
    ~SqliteConnection() override { disconnect(); }

    Dialect dialect() const override { return Dialect::Sqlite; }
    std::string_view beginWrite() const override { return "BEGIN IMMEDIATE"; }
    std::string_view beginRead() const override { return "BEGIN"; }
    bool connected() const override { return db_ != nullptr; }

    bool connect(std::string* cause) override {
        if (db_ != nullptr) return true;
        const int rc = sqlite3_open_v2(file_.c_str(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE |
                                           SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
                                       nullptr);
        if (rc != SQLITE_OK) {
            *cause = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
            disconnect();
            return false;
        }
        sqlite3_busy_timeout(db_, busyMs_);
        // Write-ahead log: a commit is one append; a killed writer leaves
        // the last commit. NORMAL sync: safe against a killed process; a
        // power cut may lose the last commits, never the file's consistency.
        // The switch to the log needs the file to itself for a moment: a
        // second program opening a new file at once waits for it.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMs_);
        for (const char* pragma :
             {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
            SqlFailure f;
            while ((f = exec(pragma, {}, nullptr, cause)) == SqlFailure::Busy &&
                   std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (f != SqlFailure::None) {
                disconnect();
                return false;
            }
        }
        return true;
    }

    void disconnect() override {
        for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
        statements_.clear();
        if (db_ != nullptr) sqlite3_close_v2(db_);
        db_ = nullptr;
    }

    SqlFailure exec(std::string_view sql, const std::vector<SqlParam>& params,
                    std::vector<SqlRow>* rows, std::string* cause) override {
        if (db_ == nullptr && !connect(cause)) return SqlFailure::Lost;
        sqlite3_stmt* stmt = prepare(sql);
        if (stmt == nullptr) return fail(sqlite3_extended_errcode(db_), cause);
        for (std::size_t i = 0; i < params.size(); ++i) {
            const int n = static_cast<int>(i + 1);
            const SqlParam& p = params[i];
            int rc = SQLITE_OK;
            if (p.text.size() > INT_MAX) rc = SQLITE_TOOBIG;
            switch (p.kind) {
                case SqlParam::Kind::Null:
                    rc = sqlite3_bind_null(stmt, n);
                    break;
                case SqlParam::Kind::Int:
                    rc = sqlite3_bind_int64(stmt, n, p.number);
                    break;
                case SqlParam::Kind::Text:
                    if (rc == SQLITE_OK) {
                        rc = sqlite3_bind_text(stmt, n, p.text.data(),
                                               static_cast<int>(p.text.size()), SQLITE_STATIC);
                    }
                    break;
                case SqlParam::Kind::Blob:
                    if (rc == SQLITE_OK) {
                        rc = sqlite3_bind_blob(stmt, n, p.text.data(),
                                               static_cast<int>(p.text.size()), SQLITE_STATIC);
                    }
                    break;
            }
            if (rc != SQLITE_OK) return finish(stmt, rc, cause);
        }
        for (;;) {
            const int rc = sqlite3_step(stmt);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) return finish(stmt, rc, cause);
            if (rows == nullptr) continue;
            SqlRow row;
            const int columns = sqlite3_column_count(stmt);
            row.reserve(static_cast<std::size_t>(columns));
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                    row.emplace_back(std::nullopt);
                    continue;
                }
                const void* data = sqlite3_column_blob(stmt, c);
                const int size = sqlite3_column_bytes(stmt, c);
                row.emplace_back(
                    std::string(static_cast<const char*>(data), static_cast<std::size_t>(size)));
            }
            rows->push_back(std::move(row));
        }
        return finish(stmt, SQLITE_OK, cause);
    }

  private:
    sqlite3_stmt* prepare(std::string_view sql) {
        const std::string key(sql);
        if (auto it = statements_.find(key); it != statements_.end()) return it->second;
        const std::string text = ToSqlite(sql);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, text.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
            SQLITE_OK) {
            return nullptr;
        }
        statements_.emplace(key, stmt);
        return stmt;
    }

    SqlFailure finish(sqlite3_stmt* stmt, int rc, std::string* cause) {
        if (rc != SQLITE_OK) *cause = message(rc);
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        if (rc == SQLITE_OK) return SqlFailure::None;
        return fail(rc, nullptr);
    }

    std::string message(int rc) const {
        std::string text = db_ != nullptr ? sqlite3_errmsg(db_) : "";
        if (text.empty() || text == "not an error") text = sqlite3_errstr(rc);
        return text;
    }

    // cause: null when finish() has set it already.
    SqlFailure fail(int rc, std::string* cause) {
        if (cause != nullptr) *cause = message(rc);
        const SqlFailure kind = Classify(rc);
        if (kind == SqlFailure::Lost) disconnect();
        return kind;
    }

    std::string file_;
    int busyMs_;
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<SqlConnection> MakeSqliteConnection(std::string file, int busyMs) {
    return std::make_unique<SqliteConnection>(std::move(file), busyMs);
}

}  // namespace parvion::history

// The history's PostgreSQL connection through libpq. The connection string
// comes from the settings file and never holds a password: libpq takes it
// from ~/.pgpass or PGPASSWORD. A lost connection is dropped and made again
// at the next statement.

#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/history/sql_connection.h"

namespace parvion::history {

namespace {

constexpr unsigned kByteaOid = 17;

std::string Trimmed(const char* message) {
    std::string s = message != nullptr ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    // libpq's messages may span lines ("connection to server ... failed:
    // Connection refused\n\tIs the server running ..."): one line here.
    std::string out;
    for (char c : s) {
        if (c == '\n' || c == '\t') c = ' ';
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    }
    // "ERROR: permission denied ...": the severity says nothing here.
    if (out.starts_with("ERROR: ")) out.erase(0, 7);
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A bytea column in text form: "\x" and two hex digits a byte.
std::string DecodeBytea(const char* text, int length) {
    std::string out;
    if (length < 2 || text[0] != '\\' || text[1] != 'x')
        return std::string(text, static_cast<std::size_t>(length));
    out.reserve(static_cast<std::size_t>(length / 2));
    for (int i = 2; i + 1 < length; i += 2) {
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        out += static_cast<char>((hi << 4) | lo);
    }
    return out;
}

SqlFailure Classify(const char* sqlstate) {
    if (sqlstate == nullptr) return SqlFailure::Lost;
    const std::string_view s(sqlstate);
    // serialization failure, deadlock, lock not available, statement timeout
    if (s == "40001" || s == "40P01" || s == "55P03" || s == "57014") return SqlFailure::Busy;
    // connection exceptions, server shutting down, insufficient resources,
    // read-only transaction, insufficient privilege
    if (s.starts_with("08") || s.starts_with("57P") || s.starts_with("53") || s == "25006" ||
        s == "42501") {
        return SqlFailure::Lost;
    }
    return SqlFailure::Other;
}

class PostgresConnection final : public SqlConnection {
  public:
    PostgresConnection(std::string conninfo, int busyMs)
        : conninfo_(std::move(conninfo)), busyMs_(busyMs) {}
    ~PostgresConnection() override { disconnect(); }

    Dialect dialect() const override { return Dialect::Postgres; }
    std::string_view beginWrite() const override { return "BEGIN ISOLATION LEVEL READ COMMITTED"; }
    std::string_view beginRead() const override {
        return "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
    }
    bool connected() const override { return conn_ != nullptr; }

    bool connect(std::string* cause) override {
        if (conn_ != nullptr) return true;
        // Defaults first: what the connection string itself says wins.
        const char* keys[] = {"connect_timeout", "tcp_user_timeout", "application_name", "dbname",
                              nullptr};
        const std::string userTimeout = std::to_string(10000);
        const char* values[] = {"5", userTimeout.c_str(), "parvion2", conninfo_.c_str(), nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (conn_ == nullptr || PQstatus(conn_) != CONNECTION_OK) {
            *cause = conn_ != nullptr ? Trimmed(PQerrorMessage(conn_)) : "out of memory";
            disconnect();
            return false;
        }
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        const std::string timeouts =
            "SET lock_timeout = " + std::to_string(busyMs_) +
            "; SET statement_timeout = " + std::to_string(std::max(busyMs_ * 4, 30000));
        const std::unique_ptr<PGresult, decltype(&PQclear)> res(PQexec(conn_, timeouts.c_str()),
                                                                &PQclear);
        if (PQresultStatus(res.get()) != PGRES_COMMAND_OK) {
            *cause = Trimmed(PQerrorMessage(conn_));
            disconnect();
            return false;
        }
        return true;
    }

    void disconnect() override {
        if (conn_ != nullptr) PQfinish(conn_);
        conn_ = nullptr;
    }

    SqlFailure exec(std::string_view sql, const std::vector<SqlParam>& params,
                    std::vector<SqlRow>* rows, std::string* cause) override {
        if (conn_ == nullptr && !connect(cause)) return SqlFailure::Lost;
        std::vector<std::string> numbers(params.size());
        std::vector<const char*> values(params.size());
        std::vector<int> lengths(params.size());
        std::vector<int> formats(params.size());
        for (std::size_t i = 0; i < params.size(); ++i) {
            const SqlParam& p = params[i];
            switch (p.kind) {
                case SqlParam::Kind::Null:
                    values[i] = nullptr;
                    break;
                case SqlParam::Kind::Int:
                    numbers[i] = std::to_string(p.number);
                    values[i] = numbers[i].c_str();
                    break;
                case SqlParam::Kind::Text:
                    values[i] = p.text.c_str();
                    break;
                case SqlParam::Kind::Blob:
                    values[i] = p.text.data();
                    lengths[i] = static_cast<int>(p.text.size());
                    formats[i] = 1;  // binary: the bytes as they are
                    break;
            }
        }
        const std::string text(sql);
        const std::unique_ptr<PGresult, decltype(&PQclear)> res(
            PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()), nullptr,
                         values.data(), lengths.data(), formats.data(), 0),
            &PQclear);
        const ExecStatusType status = PQresultStatus(res.get());
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            if (rows != nullptr && status == PGRES_TUPLES_OK) collect(res.get(), rows);
            return SqlFailure::None;
        }
        const char* sqlstate =
            res != nullptr ? PQresultErrorField(res.get(), PG_DIAG_SQLSTATE) : nullptr;
        *cause = Trimmed(res != nullptr ? PQresultErrorMessage(res.get()) : PQerrorMessage(conn_));
        if (cause->empty()) *cause = Trimmed(PQerrorMessage(conn_));
        SqlFailure kind = Classify(sqlstate);
        if (PQstatus(conn_) != CONNECTION_OK) kind = SqlFailure::Lost;
        if (kind == SqlFailure::Lost) disconnect();
        return kind;
    }

  private:
    static void collect(const PGresult* res, std::vector<SqlRow>* rows) {
        const int n = PQntuples(res);
        const int columns = PQnfields(res);
        for (int r = 0; r < n; ++r) {
            SqlRow row;
            row.reserve(static_cast<std::size_t>(columns));
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(res, r, c)) {
                    row.emplace_back(std::nullopt);
                } else if (PQftype(res, c) == kByteaOid) {
                    row.emplace_back(DecodeBytea(PQgetvalue(res, r, c), PQgetlength(res, r, c)));
                } else {
                    row.emplace_back(std::string(PQgetvalue(res, r, c),
                                                 static_cast<std::size_t>(PQgetlength(res, r, c))));
                }
            }
            rows->push_back(std::move(row));
        }
    }

    std::string conninfo_;
    int busyMs_;
    PGconn* conn_ = nullptr;
};

}  // namespace

std::string CheckPostgresConninfo(const std::string& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (options == nullptr) {
        std::string why = "not a connection string libpq takes: " + Trimmed(error);
        PQfreemem(error);
        return why;
    }
    bool password = false;
    for (const PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
        if (std::strcmp(o->keyword, "password") == 0 && o->val != nullptr && *o->val != '\0') {
            password = true;
        }
    }
    PQconninfoFree(options);
    if (password) {
        return "the connection string holds a password; the history does not use it: put it in "
               "~/.pgpass (or PGPASSWORD) and leave it out of [History] Database";
    }
    return {};
}

std::unique_ptr<SqlConnection> MakePostgresConnection(std::string conninfo, int busyMs) {
    return std::make_unique<PostgresConnection>(std::move(conninfo), busyMs);
}

}  // namespace parvion::history

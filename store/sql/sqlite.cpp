// SQLite behind the SQL layer: RAII owners for the connection and statement
// handles, every failure raised as DbError through classify_sqlite.
#include "store/sql/sqlite.hpp"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <utility>

namespace ketral::store::sql {

namespace {

struct CloseDb {
    // close_v2 waits for statements still alive, so order of release never matters.
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct FinalizeStmt {
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, FinalizeStmt>;

[[noreturn]] void fail(sqlite3 *db, int rc, std::string_view sql) {
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    const char *text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw sqlite_error(code, verb_of(sql), text ? text : sqlite3_errstr(rc));
}

class SqliteStatement final : public Statement {
public:
    SqliteStatement(sqlite3 *db, StmtHandle stmt, std::string_view sql) : db_(db), stmt_(std::move(stmt)), sql_(sql) {}

    void bind_int(int index, std::int64_t value) override { check(sqlite3_bind_int64(stmt_.get(), index, value)); }
    void bind_text(int index, std::string_view value) override {
        // An empty view may have no data pointer, and a null pointer would bind NULL.
        const char *data = value.data() ? value.data() : "";
        check(sqlite3_bind_text64(stmt_.get(), index, data, value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    }
    void bind_null(int index) override { check(sqlite3_bind_null(stmt_.get(), index)); }

    bool step() override {
        const int rc = sqlite3_step(stmt_.get());
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(db_, rc, sql_);
    }

    int column_count() const override { return sqlite3_column_count(stmt_.get()); }
    std::string column_name(int column) const override {
        const char *name = sqlite3_column_name(stmt_.get(), column);
        return name ? name : "";
    }
    ColumnType column_type(int column) const override {
        switch (sqlite3_column_type(stmt_.get(), column)) {
        case SQLITE_INTEGER: return ColumnType::Integer;
        case SQLITE_FLOAT: return ColumnType::Real;
        case SQLITE_NULL: return ColumnType::Null;
        default: return ColumnType::Text;
        }
    }
    bool column_is_null(int column) const override { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
    std::int64_t column_int(int column) const override { return sqlite3_column_int64(stmt_.get(), column); }
    std::string column_text(int column) const override {
        const auto *text = sqlite3_column_text(stmt_.get(), column);
        const int bytes = sqlite3_column_bytes(stmt_.get(), column);
        return text ? std::string(reinterpret_cast<const char *>(text), static_cast<size_t>(bytes)) : std::string();
    }

    std::string_view column_view(int column) const override {
        const auto *text = sqlite3_column_text(stmt_.get(), column);
        const int bytes = sqlite3_column_bytes(stmt_.get(), column);
        return text ? std::string_view(reinterpret_cast<const char *>(text), static_cast<size_t>(bytes))
                    : std::string_view();
    }

    void reset() noexcept override {
        sqlite3_reset(stmt_.get());
        sqlite3_clear_bindings(stmt_.get());
    }

    const std::string &sql() const override { return sql_; }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK) fail(db_, rc, sql_);
    }

    sqlite3 *db_;
    StmtHandle stmt_;
    std::string sql_;
};

class SqliteConnection final : public Connection {
public:
    SqliteConnection(DbHandle db, std::string path) : db_(std::move(db)), path_(std::move(path)) {
        // The file by its absolute name: the script may change its folder later.
        struct stat info;
        std::unique_ptr<char, decltype(&std::free)> real(path_.empty() ? nullptr : ::realpath(path_.c_str(), nullptr),
                                                         &std::free);
        if (real && ::stat(real.get(), &info) == 0) {
            path_ = real.get();
            identity_ = {info.st_dev, info.st_ino};
        } else {
            path_.clear();
        }
    }
    std::string describe() const override { return path_.empty() ? "an SQLite database in memory" : "'" + path_ + "'"; }
    bool read_only() const override { return sqlite3_db_readonly(db_.get(), "main") == 1; }
    ~SqliteConnection() override { clear_statement_cache(); }

    void execute(const std::string &sql) override {
        const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) fail(db_.get(), rc, sql);
    }

    void begin() override {
        require_same_file();
        execute("BEGIN IMMEDIATE");
    }
    // Cached statements: a batch takes one read transaction per record.
    void begin_read(bool) override { prepare("BEGIN").run(); }
    void end_read() override { prepare("COMMIT").run(); }
    void commit() override { execute("COMMIT"); }
    void rollback() override { execute("ROLLBACK"); }
    bool in_transaction() const override { return sqlite3_get_autocommit(db_.get()) == 0; }

    std::int64_t changes() const override { return sqlite3_changes64(db_.get()); }

    bool has_table(std::string_view name) override {
        return prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?").bind(1, name).step();
    }
    std::string_view auto_id_type() const override { return "INTEGER PRIMARY KEY AUTOINCREMENT"; }
    // Inside a write transaction (the write lock held), past every key the
    // table has had: explicit keys move AUTOINCREMENT's counter past them.
    std::vector<std::int64_t> reserve_ids(std::string_view table, std::string_view key, std::size_t count) override {
        auto stmt = prepare(
            "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = ?), 0), "
            "COALESCE((SELECT MAX(" +
            std::string(key) + ") FROM " + std::string(table) + "), 0))");
        stmt.bind(1, table);
        const std::int64_t last = stmt.step() ? stmt->column_int(0) : 0;
        std::vector<std::int64_t> ids(count);
        for (std::size_t i = 0; i < count; ++i) ids[i] = last + 1 + static_cast<std::int64_t>(i);
        return ids;
    }
    std::string_view text_list_rows() const override { return "SELECT value FROM json_each(?)"; }
    std::string_view key_ordered_table() const override { return " WITHOUT ROWID"; }
    std::string joined_texts(std::string_view column) const override {
        return "group_concat(" + std::string(column) + ", ',')";
    }
    // A row trigger: the changed rows are the one row, NEW or OLD.
    void create_change_trigger(std::string_view name, std::string_view event, std::string_view table,
                               std::string_view statement) override {
        const std::string trigger(name);
        const std::string body = changed_rows(statement, [](std::string_view side, std::string_view column) {
            return "SELECT " + std::string(side == "new" ? "NEW." : "OLD.") + std::string(column);
        });
        execute("DROP TRIGGER IF EXISTS " + trigger + "; CREATE TRIGGER " + trigger + " AFTER " + std::string(event) +
                " ON " + std::string(table) + " FOR EACH ROW BEGIN " + body + "; END");
    }

protected:
    std::unique_ptr<Statement> compile(std::string_view sql, bool persistent) override {
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v3(db_.get(), sql.data(), static_cast<int>(sql.size()),
                                          persistent ? SQLITE_PREPARE_PERSISTENT : 0, &raw, &tail);
        StmtHandle stmt(raw);
        if (rc != SQLITE_OK) fail(db_.get(), rc, sql);
        if (!stmt) throw own_error(DbErrorKind::Other, "empty statement");
        const char *end = sql.data() + sql.size();
        while (tail && tail < end && std::isspace(static_cast<unsigned char>(*tail))) ++tail;
        if (tail && tail < end) throw own_error(DbErrorKind::Other, "one statement per prepare: " + std::string(sql));
        return std::make_unique<SqliteStatement>(db_.get(), std::move(stmt), sql);
    }

private:
    // A file removed (or replaced by another) since it was opened would take
    // writes that nobody ever reads again: they are refused.
    void require_same_file() const {
        if (path_.empty()) return;
        struct stat info;
        if (::stat(path_.c_str(), &info) != 0 || info.st_dev != identity_.first || info.st_ino != identity_.second)
            throw own_error(DbErrorKind::Gone, path_);
    }

    DbHandle db_;
    std::string path_;  // the file, or empty (in memory)
    std::pair<dev_t, ino_t> identity_{};
};

std::string pragma_text(Connection &db, const char *sql) {
    auto stmt = db.prepare(sql);
    return stmt.step() ? stmt->column_text(0) : std::string();
}

// The folder of a file path ("." for a bare name).
std::string folder_of(const std::string &path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether the file is an SQLite database in WAL mode (its header's read and
// write versions are 2).
bool in_wal_mode(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    char header[20] = {};
    return file.read(header, sizeof header) && header[18] == 2 && header[19] == 2;
}

// A file path as a URI path: every byte but the unreserved ones %-encoded.
std::string uri_path(const std::string &path) {
    std::string out;
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", b);
            out += escaped;
        }
    }
    return out;
}

DbHandle open_handle(const std::string &name, int flags) {
    sqlite3 *raw = nullptr;
    // One library-wide lock serializes every call, so SQLite's own mutexes are not needed.
    const int rc = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) fail(db.get(), rc, "");
    return db;
}

}  // namespace

std::unique_ptr<Connection> open_sqlite(const std::string &path) {
    // A database the process may read but not write opens for reading: a
    // file it cannot write (SQLite opens it so by itself), or any file in a
    // folder it cannot write (where no journal can be made). A WAL database
    // there needs its shared-memory file, which cannot be made either: it
    // opens immutable, a snapshot that nobody is expected to change.
    struct stat info;
    const bool exists = path != ":memory:" && ::stat(path.c_str(), &info) == 0;
    DbHandle db;
    if (exists && ::access(folder_of(path).c_str(), W_OK) != 0) {
        db = in_wal_mode(path)
                 ? open_handle("file:" + uri_path(path) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                 : open_handle(path, SQLITE_OPEN_READONLY);
    } else {
        db = open_handle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    }
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), kSqliteBusyTimeoutMs);

    auto conn = std::make_unique<SqliteConnection>(std::move(db), path == ":memory:" ? "" : path);
    conn->execute("PRAGMA foreign_keys = ON");
    if (pragma_text(*conn, "PRAGMA foreign_keys") != "1")
        throw own_error(DbErrorKind::Other, "this SQLite cannot enforce foreign keys");
    // The journal mode of a file this process cannot write is never changed.
    if (path != ":memory:" && !conn->read_only()) {
        // Readers no longer wait for a writer; NORMAL sync stays safe with WAL.
        pragma_text(*conn, "PRAGMA journal_mode = WAL");
        conn->execute("PRAGMA synchronous = NORMAL");
    }
    return conn;
}

}  // namespace ketral::store::sql

// PostgreSQL behind the SQL layer, through libpq. Every statement runs in
// one round trip: a cached statement is prepared on the server once per
// kind of binding (PQprepare under a generated name) and executed by name;
// its whole answer comes back at once and step() walks it. Values travel as
// text, typed by the binding (integer, text, or left to the server for NULL).
// Every failure is raised as DbError through postgresql_error.
#include "store/sql/postgresql.hpp"

#include <libpq-fe.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace ketral::store::sql {

namespace {

// The built-in types the reads tell apart (pg_type oids, fixed since forever).
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kTextOid = 25, kOidOid = 26, kFloat4Oid = 700,
              kFloat8Oid = 701, kNumericOid = 1700;

struct FinishConn {
    void operator()(PGconn *conn) const { PQfinish(conn); }
};
struct ClearResult {
    void operator()(PGresult *result) const { PQclear(result); }
};
using ConnHandle = std::unique_ptr<PGconn, FinishConn>;
using ResultHandle = std::unique_ptr<PGresult, ClearResult>;

// libpq's texts end with a newline and indent with two blanks: one line, single blanks.
std::string one_line(const char *text) {
    std::string out;
    bool blank = false;
    for (const char *p = text ? text : ""; *p; ++p) {
        if (std::isspace(static_cast<unsigned char>(*p))) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += *p;
    }
    return out;
}

std::string field(const PGresult *result, int code) {
    const char *value = result ? PQresultErrorField(result, code) : nullptr;
    return value ? value : "";
}

// The failure `result` (or, without one, the connection) reports, for `sql`.
[[noreturn]] void fail(PGconn *conn, const PGresult *result, std::string_view sql) {
    ServerReport report;
    report.sqlstate = field(result, PG_DIAG_SQLSTATE);
    report.message = field(result, PG_DIAG_MESSAGE_PRIMARY);
    report.detail = field(result, PG_DIAG_MESSAGE_DETAIL);
    report.table = field(result, PG_DIAG_TABLE_NAME);
    report.column = field(result, PG_DIAG_COLUMN_NAME);
    report.constraint = field(result, PG_DIAG_CONSTRAINT_NAME);
    if (report.message.empty()) report.message = one_line(PQerrorMessage(conn));
    // Whatever the last report said, a broken connection is a lost one.
    if (PQstatus(conn) == CONNECTION_BAD) report.sqlstate.clear();
    throw postgresql_error(report, verb_of(sql));
}

bool succeeded(const PGresult *result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::int64_t parse_int(const char *text) { return text ? std::strtoll(text, nullptr, 10) : 0; }

bool starts_with_word(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return true;
}

class PgConnection;

class PgStatement final : public Statement {
public:
    PgStatement(PgConnection &conn, std::string_view sql, bool persistent);
    ~PgStatement() override;

    void bind_int(int index, std::int64_t value) override {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        param(index).assign(std::string_view(digits, static_cast<size_t>(end - digits)), 'i');
    }
    void bind_text(int index, std::string_view value) override {
        // The server's texts cannot hold a NUL byte: refused rather than cut short.
        if (value.find('\0') != std::string_view::npos)
            throw DbError(DbErrorKind::InvalidValue, 0, "a text holds a NUL byte", "a text with a NUL byte");
        param(index).assign(value, 't');
    }
    void bind_null(int index) override { param(index).clear(); }

    bool step() override;

    int column_count() const override { return PQnfields(shape()); }
    std::string column_name(int column) const override {
        const char *name = PQfname(shape(), column);
        return name ? name : "";
    }
    ColumnType column_type(int column) const override;
    bool column_is_null(int column) const override { return !has_row() || PQgetisnull(result_.get(), row_, column); }
    std::int64_t column_int(int column) const override;
    std::string column_text(int column) const override { return std::string(column_view(column)); }
    std::string_view column_view(int column) const override;

    void reset() noexcept override {
        result_.reset();
        row_ = rows_ = 0;
        for (Param &p : params_) p.clear();
    }

    const std::string &sql() const override { return sql_; }

private:
    struct Param {
        std::string value;
        char kind = 'n';  // 'i' integer, 't' text, 'n' NULL
        void assign(std::string_view text, char k) {
            value.assign(text.data() ? text.data() : "", text.size());
            kind = k;
        }
        void clear() {
            value.clear();
            kind = 'n';
        }
    };

    Param &param(int index);
    bool has_row() const { return result_ && row_ < rows_; }
    // The server-side statement for the current kinds of binding, prepared on first use.
    const std::string &prepared_name();
    // A result that knows the columns: the answer, or the statement's description.
    const PGresult *shape() const;

    PgConnection &conn_;
    std::string sql_;         // as written, with `?`
    std::string server_sql_;  // with $n
    bool persistent_;
    std::vector<Param> params_;
    std::vector<std::pair<std::string, std::string>> prepared_;  // kinds of binding -> server name
    ResultHandle result_;
    mutable ResultHandle description_;
    int row_ = 0;
    int rows_ = 0;
};

class PgConnection final : public Connection {
public:
    explicit PgConnection(ConnHandle conn) : conn_(std::move(conn)) {}
    ~PgConnection() override {
        closing_ = true;
        clear_statement_cache();
    }

    PGconn *raw() const { return conn_.get(); }
    bool closing() const { return closing_; }
    std::string next_statement_name() { return "ketral_" + std::to_string(++statements_); }

    // A result that must have succeeded; its failure is raised for `sql`.
    ResultHandle checked(PGresult *raw_result, std::string_view sql) {
        ResultHandle result(raw_result);
        if (!result || !succeeded(result.get())) fail(conn_.get(), result.get(), sql);
        note_changes(result.get());
        return result;
    }

    void note_changes(const PGresult *result) {
        const char *status = PQcmdStatus(const_cast<PGresult *>(result));
        const std::string_view command = status ? status : "";
        if (verb_of(command) == Verb::Other && !starts_with_word(command, "MERGE")) return;
        changes_ = parse_int(PQcmdTuples(const_cast<PGresult *>(result)));
    }

    void execute(const std::string &sql) override { checked(PQexec(conn_.get(), sql.c_str()), sql); }

    std::string describe() const override {
        const auto text = [](const char *t) { return std::string(t ? t : ""); };
        return "the PostgreSQL database '" + text(PQdb(conn_.get())) + "' on " + text(PQhost(conn_.get())) + ":" +
               text(PQport(conn_.get()));
    }

    // A write transaction takes the database's write lock first (an advisory
    // lock of the connection's schema, held to its end), so that writers run
    // one at a time, as on SQLite, and what one checks stays true until it
    // commits. Waiting longer than the lock timeout fails as busy.
    void begin() override {
        static const std::string kBeginLocked =
            "BEGIN; SELECT pg_advisory_xact_lock(hashtext('libketral ' || current_schema()))";
        try {
            execute(kBeginLocked);
        } catch (...) {
            if (in_transaction()) PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
    }
    void begin_read(bool consistent) override {
        if (consistent) execute("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
        reading_ = consistent;
    }
    void end_read() override {
        if (reading_) execute("COMMIT");
        reading_ = false;
    }
    void commit() override {
        ResultHandle result = checked(PQexec(conn_.get(), "COMMIT"), "COMMIT");
        // The server answers COMMIT of a transaction an error spoiled by rolling it back.
        if (std::strcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0)
            throw own_error(DbErrorKind::Other, "the transaction failed earlier and was rolled back");
    }
    void rollback() override { execute("ROLLBACK"); }
    bool in_transaction() const override {
        const PGTransactionStatusType status = PQtransactionStatus(conn_.get());
        return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
    }

    std::int64_t changes() const override { return changes_; }

    bool has_table(std::string_view name) override {
        return prepare("SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND tablename = ?")
            .bind(1, name)
            .step();
    }
    // Numbers come from a sequence and are never reused. An explicit id is
    // accepted, as on SQLite, but the sequence does not move past it.
    std::string_view auto_id_type() const override { return "INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"; }
    // Byte order, as SQLite compares texts, whatever the database's locale.
    std::string_view text_type() const override { return "TEXT COLLATE \"C\""; }

    // The rows go through COPY ... FROM STDIN (insert_int_rows below).
    void insert_int_rows(std::string_view table, std::string_view columns,
                         const std::vector<std::int64_t> &values) override;

protected:
    std::unique_ptr<Statement> compile(std::string_view sql, bool persistent) override {
        return std::make_unique<PgStatement>(*this, sql, persistent);
    }

private:
    ConnHandle conn_;
    bool closing_ = false;
    bool reading_ = false;  // a read transaction of begin_read is open
    unsigned long statements_ = 0;
    std::int64_t changes_ = 0;
};

PgStatement::PgStatement(PgConnection &conn, std::string_view sql, bool persistent)
    : conn_(conn), sql_(sql), persistent_(persistent) {
    int count = 0;
    server_sql_ = numbered_placeholders(sql, count);
    params_.resize(static_cast<size_t>(count));
}

PgStatement::~PgStatement() {
    // The server forgets its statements with the connection; an open
    // transaction is left alone (a failed DEALLOCATE would spoil it).
    if (conn_.closing() || PQstatus(conn_.raw()) != CONNECTION_OK || PQtransactionStatus(conn_.raw()) != PQTRANS_IDLE)
        return;
    for (const auto &[kinds, name] : prepared_) PQclear(PQexec(conn_.raw(), ("DEALLOCATE " + name).c_str()));
}

PgStatement::Param &PgStatement::param(int index) {
    if (index < 1 || static_cast<size_t>(index) > params_.size())
        throw own_error(DbErrorKind::Other, "column index out of range");
    return params_[static_cast<size_t>(index) - 1];
}

const std::string &PgStatement::prepared_name() {
    std::string kinds;
    kinds.reserve(params_.size());
    for (const Param &p : params_) kinds += p.kind;
    for (const auto &entry : prepared_)
        if (entry.first == kinds) return entry.second;
    std::vector<Oid> types;
    types.reserve(params_.size());
    for (const Param &p : params_) types.push_back(p.kind == 'i' ? kInt8Oid : p.kind == 't' ? kTextOid : 0);
    std::string name = conn_.next_statement_name();
    conn_.checked(
        PQprepare(conn_.raw(), name.c_str(), server_sql_.c_str(), static_cast<int>(types.size()), types.data()), sql_);
    prepared_.emplace_back(std::move(kinds), std::move(name));
    return prepared_.back().second;
}

bool PgStatement::step() {
    if (result_) return ++row_ < rows_;
    std::vector<const char *> values;
    values.reserve(params_.size());
    for (const Param &p : params_) values.push_back(p.kind == 'n' ? nullptr : p.value.c_str());
    const int n = static_cast<int>(values.size());
    PGresult *raw;
    if (persistent_) {
        const std::string &name = prepared_name();
        raw = PQexecPrepared(conn_.raw(), name.c_str(), n, values.data(), nullptr, nullptr, 0);
    } else {
        std::vector<Oid> types;
        for (const Param &p : params_) types.push_back(p.kind == 'i' ? kInt8Oid : p.kind == 't' ? kTextOid : 0);
        raw = PQexecParams(conn_.raw(), server_sql_.c_str(), n, types.data(), values.data(), nullptr, nullptr, 0);
    }
    result_ = conn_.checked(raw, sql_);
    row_ = 0;
    rows_ = PQntuples(result_.get());
    return row_ < rows_;
}

const PGresult *PgStatement::shape() const {
    if (result_) return result_.get();
    if (!description_) {
        auto *self = const_cast<PgStatement *>(this);
        const std::string name = self->prepared_name();
        description_ = conn_.checked(PQdescribePrepared(conn_.raw(), name.c_str()), sql_);
    }
    return description_.get();
}

ColumnType PgStatement::column_type(int column) const {
    if (column_is_null(column)) return ColumnType::Null;
    switch (PQftype(result_.get(), column)) {
    case kBoolOid:
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid: return ColumnType::Integer;
    case kFloat4Oid:
    case kFloat8Oid: return ColumnType::Real;
    case kNumericOid: {
        // A sum of integers is numeric: whole numbers read as integers.
        const std::string_view value = column_view(column);
        return value.find_first_not_of("-0123456789") == std::string_view::npos ? ColumnType::Integer
                                                                                : ColumnType::Real;
    }
    default: return ColumnType::Text;
    }
}

std::int64_t PgStatement::column_int(int column) const {
    if (column_is_null(column)) return 0;
    const char *value = PQgetvalue(result_.get(), row_, column);
    if (PQftype(result_.get(), column) == kBoolOid) return value[0] == 't' ? 1 : 0;
    return parse_int(value);
}

std::string_view PgStatement::column_view(int column) const {
    if (column_is_null(column)) return {};
    const char *value = PQgetvalue(result_.get(), row_, column);
    // Truth values read as SQLite's 1 and 0.
    if (PQftype(result_.get(), column) == kBoolOid) return value[0] == 't' ? "1" : "0";
    return std::string_view(value, static_cast<size_t>(PQgetlength(result_.get(), row_, column)));
}

// ---- bulk rows: COPY ... FROM STDIN ----

// The rows as COPY's text format, numbers only (nothing to escape): values
// separated by tabs, rows ended by newlines, sent in chunks of about 64 kB.
// A failure reads as one of an INSERT (a duplicate key, a value not allowed).
void PgConnection::insert_int_rows(std::string_view table, std::string_view columns,
                                   const std::vector<std::int64_t> &values) {
    if (values.empty()) return;
    const std::size_t width = listed_columns(columns);
    const std::string sql = "COPY " + std::string(table) + " (" + std::string(columns) + ") FROM STDIN";
    const std::string as_insert = "INSERT INTO " + std::string(table);
    ResultHandle started(PQexec(raw(), sql.c_str()));
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) fail(raw(), started.get(), as_insert);
    constexpr std::size_t kChunk = 1 << 16;
    std::string chunk;
    chunk.reserve(kChunk + 32);
    for (std::size_t i = 0; i < values.size(); ++i) {
        char digits[24];
        chunk.append(digits, std::to_chars(digits, digits + sizeof digits, values[i]).ptr);
        chunk += (i + 1) % width == 0 ? '\n' : '\t';
        if (chunk.size() < kChunk && i + 1 < values.size()) continue;
        // A connection that breaks here reports it in the COPY's result below.
        if (PQputCopyData(raw(), chunk.data(), static_cast<int>(chunk.size())) != 1) break;
        chunk.clear();
    }
    PQputCopyEnd(raw(), nullptr);
    ResultHandle done(PQgetResult(raw()));
    while (PGresult *rest = PQgetResult(raw())) PQclear(rest);
    checked(done.release(), as_insert);
}

void ignore_notice(void *, const char *) {}

}  // namespace

std::string numbered_placeholders(std::string_view sql, int &count) {
    std::string out;
    out.reserve(sql.size() + 16);
    count = 0;
    size_t i = 0;
    const auto copy_until = [&](std::string_view end) {
        const auto at = sql.find(end, i);
        const size_t stop = at == std::string_view::npos ? sql.size() : at + end.size();
        out.append(sql.substr(i, stop - i));
        i = stop;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '?') {
            out += '$';
            out += std::to_string(++count);
            ++i;
        } else if (c == '\'' || c == '"') {
            // A doubled quote inside closes and reopens: the same walk handles it.
            out += c;
            ++i;
            copy_until(std::string_view(&sql[i - 1], 1));
        } else if (sql.substr(i, 2) == "--") {
            copy_until("\n");
        } else if (sql.substr(i, 2) == "/*") {
            out += "/*";
            i += 2;
            copy_until("*/");
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

namespace {

// libpq's account of a URL it cannot read, without the URL's own pieces:
// libpq quotes the token it stumbled on, which may be the password
// (`invalid percent-encoded token: "s3cret%zz"`), so the message stops
// before the first quote.
std::string unreadable_url(const char *libpq_message) {
    std::string text = one_line(libpq_message ? libpq_message : "");
    text = text.substr(0, text.find('"'));
    while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
    return "the PostgreSQL URL cannot be read" + (text.empty() ? std::string() : " (" + text + ")");
}

struct FreeOptions {
    void operator()(PQconninfoOption *options) const { PQconninfoFree(options); }
};

}  // namespace

std::unique_ptr<Connection> open_postgresql(const std::string &given_url, const std::string &user,
                                            const std::string &password) {
    // libpq knows the scheme in lower case only.
    std::string url = given_url;
    const auto scheme = url.find("://");
    if (scheme != std::string::npos)
        for (size_t i = 0; i < scheme; ++i)
            url[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(url[i])));
    // The URL is expanded where it stands: it overrides the defaults before
    // it, the strings after it override the URL.
    const char *keys[] = {"application_name", "connect_timeout", "dbname", "user",
                          "password",         "client_encoding", nullptr};
    const char *values[] = {"libketral",
                            "10",
                            url.c_str(),
                            user.empty() ? nullptr : user.c_str(),
                            password.empty() ? nullptr : password.c_str(),
                            "UTF8",
                            nullptr};
    // Read first, so that a URL libpq cannot read is refused in our words.
    char *parse_error = nullptr;
    std::unique_ptr<PQconninfoOption, FreeOptions> parsed(PQconninfoParse(url.c_str(), &parse_error));
    if (!parsed) {
        const std::string message = unreadable_url(parse_error);
        PQfreemem(parse_error);
        throw own_error(DbErrorKind::CantOpen, message);
    }
    ConnHandle conn(PQconnectdbParams(keys, values, 1));
    if (!conn) throw own_error(DbErrorKind::CantOpen, "out of memory");
    // libpq's account of a refused connection names the host, port, user and
    // database, never the password.
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw own_error(DbErrorKind::CantOpen, one_line(PQerrorMessage(conn.get())));
    if (PQserverVersion(conn.get()) < 100000)
        throw own_error(DbErrorKind::CantOpen, "the server is older than PostgreSQL 10 (no identity columns)");
    // The server's notices ("table does not exist, skipping") are not for the script's terminal.
    PQsetNoticeProcessor(conn.get(), ignore_notice, nullptr);
    auto db = std::make_unique<PgConnection>(std::move(conn));
    db->execute("SET client_min_messages = warning; SET lock_timeout = " + std::to_string(kPostgresqlLockTimeoutMs));
    return db;
}

}  // namespace ketral::store::sql

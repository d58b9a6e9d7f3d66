// PostgreSQL behind the SQL layer, through libpq. Every statement runs in
// one round trip: a cached statement is prepared on the server once per
// kind of binding (PQprepare under a generated name) and executed by name;
// its whole answer comes back at once and step() walks it. Values travel as
// text, typed by the binding (integer, text, or left to the server for NULL).
// Every failure is raised as DbError through postgresql_error. Statements
// sent without waiting (Connection::send) go out in pipeline mode and are
// answered together at the next statement that waits.
#include "store/sql/postgresql.hpp"

#include <libpq-fe.h>

#include <algorithm>
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

// The failure `result` (or, without one, the connection) reports, for a statement doing `verb`.
[[noreturn]] void fail(PGconn *conn, const PGresult *result, Verb verb) {
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
    throw postgresql_error(report, verb);
}

[[noreturn]] void fail(PGconn *conn, const PGresult *result, std::string_view sql) { fail(conn, result, verb_of(sql)); }

// Statements sent in one pipeline before their answers are read: their
// answers (a few dozen bytes each) must fit the socket's buffers, or the
// server would wait for us to read while we wait for it to read.
constexpr std::size_t kPipelineDepth = 1000;
// Rows appended are written once they reach this size; COPY takes its data in chunks.
constexpr std::size_t kBulkBytes = 8u << 20, kCopyChunk = 1u << 20;

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
    void send() override;

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
    struct Sent {
        std::size_t tag;
        Verb verb;
    };
    // Rows appended to one table and not yet written: their text, where each ends, their tags.
    struct Bulk {
        const BulkTable *table = nullptr;
        std::string rows;
        std::vector<std::size_t> ends, tags;
    };

public:
    explicit PgConnection(ConnHandle conn) : conn_(std::move(conn)) {}
    ~PgConnection() override {
        closing_ = true;
        clear_statement_cache();
    }

    PGconn *raw() const { return conn_.get(); }
    bool closing() const { return closing_; }
    std::string next_statement_name() { return "ketral_" + std::to_string(++statements_); }

    // Sends a prepared statement in pipeline mode, its answer left for drain().
    void send_prepared(const std::string &name, const std::vector<const char *> &values, std::string_view sql) {
        write_bulk(false);
        if (!pipeline_ && PQenterPipelineMode(conn_.get()) != 1) fail(conn_.get(), nullptr, sql);
        pipeline_ = true;
        if (PQsendQueryPrepared(conn_.get(), name.c_str(), static_cast<int>(values.size()), values.data(), nullptr,
                                nullptr, 0) != 1)
            fail(conn_.get(), nullptr, sql);
        sent_.push_back({tag_, verb_of(sql)});
        if (sent_.size() >= kPipelineDepth) drain(true);
    }

    // Reads the answers of the statements sent and leaves pipeline mode. The
    // first failure among them is raised (with raise) after all are read: a
    // failed statement makes the server skip the rest up to the sync.
    void drain(bool raise) {
        if (!pipeline_) return;
        PGconn *conn = conn_.get();
        ResultHandle failure;
        Sent failed{};
        const bool synced = PQpipelineSync(conn) == 1;
        for (const Sent &sent : sent_) {
            if (!synced) break;
            while (PGresult *raw = PQgetResult(conn)) {
                ResultHandle result(raw);
                if (!failure && PQresultStatus(raw) == PGRES_FATAL_ERROR) {
                    failure = std::move(result);
                    failed = sent;
                }
            }
            if (PQstatus(conn) == CONNECTION_BAD) break;
        }
        while (synced && PQstatus(conn) != CONNECTION_BAD) {
            ResultHandle result(PQgetResult(conn));
            if (!result || PQresultStatus(result.get()) == PGRES_PIPELINE_SYNC) break;
        }
        sent_.clear();
        pipeline_ = false;
        PQexitPipelineMode(conn);
        if (!raise) return;
        if (failure) failed_tag_ = failed.tag;
        if (failure || !synced || PQstatus(conn) == CONNECTION_BAD)
            fail(conn, failure.get(), failure ? failed.verb : Verb::Other);
    }
    void flush() override { settle(); }

    // Everything sent and appended is written (and its failure raised)
    // before a statement that waits for its answer.
    void settle() {
        write_bulk();
        drain(true);
    }

    // The rows appended, each table's with one COPY, in the tables' order
    // (standalone ones too when `all`).
    void write_bulk(bool all = true) {
        if (bulks_.empty()) return;
        std::vector<Bulk> now;
        for (Bulk &bulk : bulks_)
            if (all || !bulk.table->standalone()) {
                now.push_back(std::move(bulk));
                bulk.table = nullptr;
            }
        bulks_.erase(std::remove_if(bulks_.begin(), bulks_.end(), [](const Bulk &b) { return !b.table; }),
                     bulks_.end());
        bulk_bytes_ = 0;
        for (const Bulk &waiting : bulks_) bulk_bytes_ += waiting.rows.size();
        std::stable_sort(now.begin(), now.end(),
                         [](const Bulk &a, const Bulk &b) { return a.table->order() < b.table->order(); });
        for (const Bulk &bulk : now) write_rows(bulk);
    }

    // One table's rows. When they come from several tags, the COPY runs in
    // a savepoint: if it fails, each row is written again on its own to find
    // the one at fault, whose tag is the failure's.
    void write_rows(const Bulk &bulk) {
        drain(true);
        const bool one_tag =
            std::all_of(bulk.tags.begin(), bulk.tags.end(), [&](std::size_t tag) { return tag == bulk.tags.front(); });
        if (!one_tag) execute("SAVEPOINT ketral_bulk");
        ResultHandle failure = copy(bulk.table->copy_sql(), bulk.rows);
        if (!failure) {
            if (!one_tag) execute("RELEASE SAVEPOINT ketral_bulk");
            return;
        }
        if (!one_tag) {
            execute("ROLLBACK TO SAVEPOINT ketral_bulk");
            std::size_t start = 0;
            for (std::size_t row = 0; row < bulk.ends.size(); ++row) {
                const std::string_view text(bulk.rows.data() + start, bulk.ends[row] - start);
                start = bulk.ends[row];
                if (ResultHandle own = copy(bulk.table->copy_sql(), text)) {
                    failed_tag_ = bulk.tags[row];
                    fail(conn_.get(), own.get(), Verb::Insert);
                }
            }
        }
        failed_tag_ = bulk.tags.front();
        fail(conn_.get(), failure.get(), Verb::Insert);
    }

    // Runs `copy_sql` with `rows` as its data: null when it succeeded, its
    // failure otherwise.
    ResultHandle copy(const std::string &copy_sql, std::string_view rows) {
        PGconn *conn = conn_.get();
        ResultHandle started(PQexec(conn, copy_sql.c_str()));
        if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) fail(conn, started.get(), copy_sql);
        bool sent = true;
        for (std::size_t at = 0; sent && at < rows.size(); at += kCopyChunk)
            sent = PQputCopyData(conn, rows.data() + at, static_cast<int>(std::min(kCopyChunk, rows.size() - at))) == 1;
        if (!sent || PQputCopyEnd(conn, nullptr) != 1) fail(conn, nullptr, copy_sql);
        ResultHandle result(PQgetResult(conn));
        while (PGresult *more = PQgetResult(conn)) PQclear(more);
        if (!result) fail(conn, nullptr, copy_sql);
        if (PQresultStatus(result.get()) == PGRES_COMMAND_OK) return nullptr;
        return result;
    }

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

    void execute(const std::string &sql) override {
        settle();
        checked(PQexec(conn_.get(), sql.c_str()), sql);
    }

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
        settle();
        ResultHandle result = checked(PQexec(conn_.get(), "COMMIT"), "COMMIT");
        // The server answers COMMIT of a transaction an error spoiled by rolling it back.
        if (std::strcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0)
            throw own_error(DbErrorKind::Other, "the transaction failed earlier and was rolled back");
    }
    void rollback() override {
        bulks_.clear();
        drain(false);
        execute("ROLLBACK");
    }
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
    // From the key's own sequence, in one round trip.
    std::vector<std::int64_t> reserve_ids(std::string_view table, std::string_view key, std::size_t count) override {
        std::vector<std::int64_t> ids;
        ids.reserve(count);
        auto stmt = prepare("SELECT nextval(pg_get_serial_sequence(?, ?)) FROM generate_series(1, ?)");
        stmt.bind_all(table, key, static_cast<std::int64_t>(count));
        while (stmt.step()) ids.push_back(stmt->column_int(0));
        return ids;
    }
    std::string_view text_list_rows() const override { return "SELECT json_array_elements_text(CAST(? AS json))"; }
    // Byte order, as SQLite compares texts, whatever the database's locale.
    std::string_view text_type() const override { return "TEXT COLLATE \"C\""; }
    std::string joined_texts(std::string_view column) const override {
        const std::string of(column);
        return "string_agg(" + of + ", ',' ORDER BY " + of + ")";
    }
    // A statement trigger over transition tables, so that a COPY of many
    // rows runs the statement once; it runs a function of the same name.
    // EXECUTE PROCEDURE, so that servers from version 10 on take it.
    void create_change_trigger(std::string_view name, std::string_view event, std::string_view table,
                               std::string_view statement) override {
        const std::string trigger(name), on(table);
        bool uses_new = false, uses_old = false;
        const std::string body = changed_rows(statement, [&](std::string_view side, std::string_view column) {
            (side == "new" ? uses_new : uses_old) = true;
            return "SELECT " + std::string(column) + " FROM ketral_" + std::string(side);
        });
        const std::string referencing =
            std::string(uses_old ? " OLD TABLE AS ketral_old" : "") + (uses_new ? " NEW TABLE AS ketral_new" : "");
        execute("CREATE OR REPLACE FUNCTION " + trigger + "() RETURNS trigger LANGUAGE plpgsql AS $ketral$ BEGIN " +
                body + "; RETURN NULL; END $ketral$; DROP TRIGGER IF EXISTS " + trigger + " ON " + on +
                "; CREATE TRIGGER " + trigger + " AFTER " + std::string(event) + " ON " + on +
                (referencing.empty() ? "" : " REFERENCING" + referencing) + " FOR EACH STATEMENT EXECUTE PROCEDURE " +
                trigger + "()");
    }
    void drop_change_trigger(std::string_view name) override {
        execute("DROP FUNCTION IF EXISTS " + std::string(name) + "()");
    }

    // The rows go through COPY ... FROM STDIN (insert_int_rows below).
    void insert_int_rows(const BulkTable &table, const std::vector<std::int64_t> &values) override;

protected:
    std::unique_ptr<Statement> compile(std::string_view sql, bool persistent) override {
        return std::make_unique<PgStatement>(*this, sql, persistent);
    }

protected:
    bool copies_rows() const override { return true; }
    void append_row(const BulkTable &table, const std::string &row) override {
        auto found = std::find_if(bulks_.begin(), bulks_.end(), [&](const Bulk &b) { return b.table == &table; });
        if (found == bulks_.end()) found = bulks_.insert(bulks_.end(), Bulk{&table, {}, {}, {}});
        found->rows += row;
        found->ends.push_back(found->rows.size());
        found->tags.push_back(tag_);
        bulk_bytes_ += row.size();
        if (bulk_bytes_ >= kBulkBytes) write_bulk();
    }

private:
    std::vector<Bulk> bulks_;
    std::size_t bulk_bytes_ = 0;

    ConnHandle conn_;
    bool pipeline_ = false;  // in pipeline mode, with the statements of sent_ unanswered
    std::vector<Sent> sent_;
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
    conn_.settle();
    conn_.checked(
        PQprepare(conn_.raw(), name.c_str(), server_sql_.c_str(), static_cast<int>(types.size()), types.data()), sql_);
    prepared_.emplace_back(std::move(kinds), std::move(name));
    return prepared_.back().second;
}

void PgStatement::send() {
    if (!persistent_) {
        while (step()) {}
        return;
    }
    const std::string &name = prepared_name();
    std::vector<const char *> values;
    values.reserve(params_.size());
    for (const Param &p : params_) values.push_back(p.kind == 'n' ? nullptr : p.value.c_str());
    conn_.send_prepared(name, values, sql_);
}

bool PgStatement::step() {
    if (result_) return ++row_ < rows_;
    conn_.settle();
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
        conn_.settle();
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

// The rows as COPY's text format, numbers only (nothing to escape), in one
// COPY. A failure reads as one of an INSERT (a duplicate key, a value not allowed).
void PgConnection::insert_int_rows(const BulkTable &table, const std::vector<std::int64_t> &values) {
    if (values.empty()) return;
    const std::size_t width = table.width();
    std::string rows;
    rows.reserve(values.size() * 8);
    for (std::size_t i = 0; i < values.size(); ++i) {
        char digits[24];
        rows.append(digits, std::to_chars(digits, digits + sizeof digits, values[i]).ptr);
        rows += (i + 1) % width == 0 ? '\n' : '\t';
    }
    settle();
    if (ResultHandle failure = copy(table.copy_sql(), rows)) fail(raw(), failure.get(), Verb::Insert);
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
    db->execute("SET client_min_messages = warning; SET plan_cache_mode = force_generic_plan; SET lock_timeout = " +
                std::to_string(kPostgresqlLockTimeoutMs));
    return db;
}

}  // namespace ketral::store::sql

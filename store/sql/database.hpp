// The backend-neutral SQL layer: a connection that prepares (and caches)
// statements, runs transactions and reports errors as DbError; a statement
// that binds values by index, steps and reads columns. SQLite implements it
// first; every backend takes `?` placeholders and translates them itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/sql/errors.hpp"

namespace ketral::store::sql {

enum class ColumnType { Null, Integer, Real, Text };

// One compiled statement. Parameters are numbered from 1, columns from 0.
class Statement {
public:
    virtual ~Statement() = default;

    virtual void bind_int(int index, std::int64_t value) = 0;
    virtual void bind_text(int index, std::string_view value) = 0;
    virtual void bind_null(int index) = 0;

    // Runs the statement up to its next row: true when a row is ready,
    // false when the statement is done. Failures throw DbError.
    virtual bool step() = 0;

    virtual int column_count() const = 0;
    virtual std::string column_name(int column) const = 0;
    virtual ColumnType column_type(int column) const = 0;
    virtual bool column_is_null(int column) const = 0;
    virtual std::int64_t column_int(int column) const = 0;  // NULL reads as 0
    virtual std::string column_text(int column) const = 0;  // NULL reads as ""
    // The text without a copy, valid until the next step, reset or read of this column.
    virtual std::string_view column_view(int column) const = 0;

    // Runs a statement whose answer nobody reads (an INSERT, say). A backend
    // may send it without waiting (Connection::send); by default it runs now.
    virtual void send() {
        while (step()) {}
    }

    // Rewinds the statement and clears its bindings; never throws.
    virtual void reset() noexcept = 0;

    virtual const std::string &sql() const = 0;
};

class Connection;

// A table whose rows a write appends (Connection::append): its name, the
// columns each row gives, in order, and the two statements made of them.
// Rows gathered for several tables are written table by table in their
// `order`: a row may refer only to rows of tables of a lower order (or to
// rows already written). A `standalone` table's rows are referred to by no
// statement of the transaction (the history): they may wait until its end.
class BulkTable {
public:
    BulkTable(const char *table, const char *columns, int order, bool standalone = false);
    const std::string &insert_sql() const { return insert_; }  // INSERT INTO t (c, ...) VALUES (?, ...)
    std::string insert_sql(std::size_t rows) const;            // ... VALUES (?, ...), (?, ...) for `rows` rows
    const std::string &copy_sql() const { return copy_; }      // COPY t (c, ...) FROM STDIN
    std::size_t width() const { return width_; }               // values per row
    int order() const { return order_; }
    bool standalone() const { return standalone_; }

private:
    std::size_t width_;
    std::string row_, insert_, copy_;  // row_: "(?, ...)"
    int order_;
    bool standalone_;
};

// One row in COPY's text format: values separated by tabs, ended by a
// newline, NULL as \N, backslashes and line ends escaped. Texts must be
// valid UTF-8 without NUL, as bound ones must.
class CopyRow {
public:
    template <typename Int, std::enable_if_t<std::is_integral_v<Int>, int> = 0>
    void add(Int value) {
        field();
        text_ += std::to_string(static_cast<std::int64_t>(value));
    }
    void add(std::string_view value);
    void add(const std::string &value) { add(std::string_view(value)); }
    void add(const char *value);
    void add(std::nullptr_t);
    template <typename T>
    void add(const std::optional<T> &value) {
        if (value)
            add(*value);
        else
            add(nullptr);
    }
    const std::string &end();

private:
    void field() {
        if (!first_) text_.push_back('\t');
        first_ = false;
    }
    std::string text_;
    bool first_ = true;
};

// A statement lent by Connection::prepare for the time of one use. It is
// rewound, cleared and handed back to the cache when it goes out of scope.
class Prepared {
public:
    Prepared(Prepared &&other) noexcept;
    Prepared &operator=(Prepared &&) = delete;
    Prepared(const Prepared &) = delete;
    ~Prepared();

    // Any integer (bool included) binds as an integer.
    template <typename Int, std::enable_if_t<std::is_integral_v<Int>, int> = 0>
    Prepared &bind(int index, Int value) {
        stmt_->bind_int(index, static_cast<std::int64_t>(value));
        return *this;
    }
    // Texts must be valid UTF-8 (DbErrorKind::InvalidText otherwise), on every backend alike.
    Prepared &bind(int index, std::string_view value);
    Prepared &bind(int index, const std::string &value) { return bind(index, std::string_view(value)); }
    // A null pointer binds NULL.
    Prepared &bind(int index, const char *value);
    Prepared &bind(int index, std::nullptr_t) {
        stmt_->bind_null(index);
        return *this;
    }
    template <typename T>
    Prepared &bind(int index, const std::optional<T> &value) {
        return value ? bind(index, *value) : bind(index, nullptr);
    }

    // Binds the arguments to parameters 1, 2, ... in order.
    template <typename... Args>
    Prepared &bind_all(const Args &...args) {
        int index = 0;
        (bind(++index, args), ...);
        return *this;
    }

    bool step() { return stmt_->step(); }
    // Steps to the end (for statements that answer no rows).
    void run() {
        while (stmt_->step()) {}
    }
    // Runs it as Connection::send does.
    void send() { stmt_->send(); }
    // Runs an INSERT written with "RETURNING <key>" and answers the new key.
    std::int64_t run_returning_id();
    void reset() { stmt_->reset(); }

    Statement &operator*() { return *stmt_; }
    Statement *operator->() { return stmt_; }

private:
    friend class Connection;
    Prepared(Statement *stmt, bool *in_use, std::unique_ptr<Statement> owned);

    Statement *stmt_;
    bool *in_use_;                      // the cache's flag, or null for an uncached statement
    std::unique_ptr<Statement> owned_;  // set when the cached one was busy
};

// The number of columns a list names ("a, b, c": 3).
std::size_t listed_columns(std::string_view columns);

// `statement` with each {new.c} and {old.c} replaced by `rows`(side, c), side
// "new" or "old" (Connection::create_change_trigger).
std::string changed_rows(std::string_view statement,
                         const std::function<std::string(std::string_view side, std::string_view column)> &rows);

// One open database. prepare() caches compiled statements by their SQL text;
// a statement asked for again while still in use is compiled anew for that
// use, so nested queries never share one.
class Connection {
public:
    virtual ~Connection() = default;

    Prepared prepare(std::string_view sql);

    // prepare + bind_all + run; answers the number of rows changed.
    template <typename... Args>
    std::int64_t run(std::string_view sql, const Args &...args) {
        prepare(sql).bind_all(args...).run();
        return changes();
    }

    // prepare + bind_all + run_returning_id, for an INSERT ... RETURNING <key>.
    template <typename... Args>
    std::int64_t insert_id(std::string_view sql, const Args &...args) {
        return prepare(sql).bind_all(args...).run_returning_id();
    }

    // A statement whose answer nobody reads (how many rows it changed
    // included): PostgreSQL sends it without waiting for the server, in
    // pipeline mode, so that a thousand INSERTs cost one round trip; SQLite
    // runs it at once. Every statement sent is done, or has failed, when the
    // next statement that waits returns (flush() waits for them alone); the
    // failure of one is raised there, and take_failed_tag() tells the tag it
    // was sent with.
    template <typename... Args>
    void send(std::string_view sql, const Args &...args) {
        prepare(sql).bind_all(args...).send();
    }
    virtual void flush() {}

    // Appends a row to `table`, as send() does: PostgreSQL gathers the rows
    // and writes each table's with one COPY before the next statement sent
    // or waited for (standalone tables: before the next that waits); SQLite
    // inserts it at once.
    template <typename... Args>
    void append(const BulkTable &table, const Args &...args) {
        if (!copies_rows()) return send(table.insert_sql(), args...);
        CopyRow row;
        (row.add(args), ...);
        append_row(table, row.end());
    }
    // The tag the statements sent from now on carry (a batch's record).
    void tag_sent(std::size_t tag) { tag_ = tag; }
    // The tag of the statement sent whose failure was raised last, once.
    std::optional<std::size_t> take_failed_tag() { return std::exchange(failed_tag_, std::nullopt); }

    // Runs text holding one or more statements without parameters (DDL).
    virtual void execute(const std::string &sql) = 0;

    // begin() opens a write transaction at once, so that two writers queue
    // on the busy timeout instead of failing when one upgrades its lock.
    virtual void begin() = 0;
    // A read transaction. SQLite: a deferred transaction (one snapshot, one
    // lock for many reads). PostgreSQL: with `consistent`, a repeatable-read
    // transaction (one snapshot for many statements); without, nothing (each
    // statement reads the latest committed state by itself, at no round trip).
    virtual void begin_read(bool /*consistent*/) {}
    virtual void end_read() {}
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool in_transaction() const = 0;

    virtual std::int64_t changes() const = 0;

    // The database as a message names it, without credentials.
    virtual std::string describe() const = 0;

    // `count` new keys for `key` of `table`, taken now for rows the caller
    // inserts with them in this (write) transaction; never handed out again.
    virtual std::vector<std::int64_t> reserve_ids(std::string_view table, std::string_view key, std::size_t count) = 0;

    // Whether this connection may only read (a file or folder the process
    // cannot write): every write fails as read-only.
    virtual bool read_only() const { return false; }

    // Whether a table of that name exists (the catalog is backend-specific).
    virtual bool has_table(std::string_view name) = 0;
    // Column type of an integer key the database numbers itself; numbers are
    // never reused, so ids kept in the history stay unambiguous.
    virtual std::string_view auto_id_type() const = 0;
    // A subquery whose rows (one text column) are the items of a JSON array
    // of texts bound as its one parameter: a list of names as one value.
    virtual std::string_view text_list_rows() const = 0;
    // Column type of a text: compared and sorted byte by byte on every backend.
    virtual std::string_view text_type() const { return "TEXT"; }
    // What follows the column list of a table stored in the order of its
    // primary key, without a row number of its own (SQLite: WITHOUT ROWID).
    virtual std::string_view key_ordered_table() const { return ""; }
    // An aggregate of the texts of `column` joined with ',', sorted byte by
    // byte where the database can sort inside an aggregate (PostgreSQL);
    // built in, so that a trigger using it runs under any client.
    virtual std::string joined_texts(std::string_view column) const = 0;
    // Creates (or makes anew) trigger `name`, which runs `statement` after an
    // `event` ("INSERT", "DELETE" or "UPDATE") on `table`. In the statement,
    // {new.c} and {old.c} stand for a subquery of column c of the changed rows
    // after and before the change (changed_rows()): SQLite runs it for each
    // row, PostgreSQL once per statement over all of them.
    virtual void create_change_trigger(std::string_view name, std::string_view event, std::string_view table,
                                       std::string_view statement) = 0;
    // Drops what such a trigger leaves beside its table once the table is
    // dropped (PostgreSQL: its function).
    virtual void drop_change_trigger(std::string_view /*name*/) {}

    // Writes rows of integers into `table` at once, in the caller's
    // transaction: `values` holds the rows one after another, a value per
    // column. Here INSERTs of many rows each; a backend with a bulk path of
    // its own (PostgreSQL's COPY) overrides it.
    virtual void insert_int_rows(const BulkTable &table, const std::vector<std::int64_t> &values);

    // Drops every cached statement that is not in use right now.
    void clear_statement_cache();
    std::size_t cached_statements() const { return cache_.size(); }

protected:
    virtual std::unique_ptr<Statement> compile(std::string_view sql, bool persistent) = 0;
    virtual bool copies_rows() const { return false; }
    virtual void append_row(const BulkTable &, const std::string &) {}

    std::size_t tag_ = 0;
    std::optional<std::size_t> failed_tag_;

private:
    struct Entry {
        std::string sql;
        std::unique_ptr<Statement> stmt;
        bool in_use = false;
    };
    // Keys view the entry's own text, so a lookup allocates nothing.
    std::unordered_map<std::string_view, std::unique_ptr<Entry>> cache_;
};

// A read transaction (Connection::begin_read) for the time of a scope,
// unless one is open already.
class ReadTransaction {
public:
    ReadTransaction(Connection &db, bool consistent) : db_(db), began_(!db.in_transaction()) {
        if (began_) db_.begin_read(consistent);
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;
    ~ReadTransaction() {
        if (!began_) return;
        try {
            db_.end_read();
        } catch (...) {
            // Nothing was written: a read transaction that cannot end is left to the guard's rollback.
        }
    }

private:
    Connection &db_;
    bool began_;
};

// Begins on construction; rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Connection &db) : db_(db) { db_.begin(); }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction();
    void commit();

private:
    Connection &db_;
    bool open_ = true;
};

}  // namespace ketral::store::sql

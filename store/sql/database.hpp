// The backend-neutral SQL layer: a connection that prepares (and caches)
// statements, runs transactions and reports errors as DbError; a statement
// that binds values by index, steps and reads columns. SQLite implements it
// first; every backend takes `?` placeholders and translates them itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
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

    // Rewinds the statement and clears its bindings; never throws.
    virtual void reset() noexcept = 0;

    virtual const std::string &sql() const = 0;
};

class Connection;

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

    // Whether this connection may only read (a file or folder the process
    // cannot write): every write fails as read-only.
    virtual bool read_only() const { return false; }

    // Whether a table of that name exists (the catalog is backend-specific).
    virtual bool has_table(std::string_view name) = 0;
    // Column type of an integer key the database numbers itself; numbers are
    // never reused, so ids kept in the history stay unambiguous.
    virtual std::string_view auto_id_type() const = 0;
    // Column type of a text: compared and sorted byte by byte on every backend.
    virtual std::string_view text_type() const { return "TEXT"; }
    // What follows the column list of a table stored in the order of its
    // primary key, without a row number of its own (SQLite: WITHOUT ROWID).
    virtual std::string_view key_ordered_table() const { return ""; }

    // Appends rows of integers to `table` in the caller's transaction:
    // `columns` names them ("a, b, c"), `values` holds the rows one after
    // another, a value per column. Here one cached INSERT runs per row; a
    // backend with a bulk path of its own (PostgreSQL's COPY) overrides it.
    virtual void insert_int_rows(std::string_view table, std::string_view columns,
                                 const std::vector<std::int64_t> &values);

    // Drops every cached statement that is not in use right now.
    void clear_statement_cache();
    std::size_t cached_statements() const { return cache_.size(); }

protected:
    virtual std::unique_ptr<Statement> compile(std::string_view sql, bool persistent) = 0;

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

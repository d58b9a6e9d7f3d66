// Database failures in our own words. Every backend error code is classified
// in errors.cpp and nowhere else; callers that know the key at stake ask for
// the message naming it (message_for).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ketral::store::sql {

enum class DbErrorKind {
    Duplicate,         // a unique key is taken
    StillReferenced,   // deleting a record other records point to
    MissingReference,  // pointing to a record that does not exist
    MissingValue,      // a required value is absent
    InvalidValue,      // a value outside what a column accepts
    InvalidText,       // a text that is not valid UTF-8
    Busy,              // another connection holds the lock past the timeout
    ReadOnly,
    IO,
    Full,
    Corrupt,
    CantOpen,
    Lost,  // the connection to the database server is gone
    Gone,  // the database file was removed or replaced since it was opened
    Other,
};

// What a statement does, which tells the two foreign-key failures apart.
enum class Verb { Insert, Update, Delete, Other };
Verb verb_of(std::string_view sql);

class DbError : public std::runtime_error {
public:
    // `detail` is the backend's own text; what() is our message about `subject`
    // ("device 'sw07'" + Duplicate -> "device 'sw07' already exists").
    DbError(DbErrorKind kind, int code, std::string detail, std::string_view subject);

    DbErrorKind kind() const { return kind_; }
    // The backend's code: SQLite's extended result code, or PostgreSQL's
    // SQLSTATE packed six bits a character (as the server packs it).
    int code() const { return code_; }
    const std::string &detail() const { return detail_; }

    // Our message with `subject` as the thing that failed, for instance
    // message_for("device 'sw07'") -> "device 'sw07' already exists".
    std::string message_for(std::string_view subject) const;

private:
    DbErrorKind kind_;
    int code_;
    std::string detail_;
};

// A failure the library itself finds at the database layer (no backend
// code): `detail` is the subject of a kind Other, the kind's own wording otherwise.
DbError own_error(DbErrorKind kind, std::string detail);

// SQLite extended result code (and the statement's verb) -> kind.
DbErrorKind classify_sqlite(int extended_code, Verb verb);

// SQLite's failure of a statement (its extended code, the statement's verb,
// sqlite3_errmsg) as a DbError, the subject read from SQLite's text.
DbError sqlite_error(int extended_code, Verb verb, std::string detail);

// PostgreSQL SQLSTATE (five characters; empty when the connection failed
// without a server report) and the statement's verb -> kind.
DbErrorKind classify_sqlstate(std::string_view sqlstate, Verb verb);

// A PostgreSQL error report, in libpq's diagnostic fields.
struct ServerReport {
    std::string sqlstate;  // empty: no report (the connection broke)
    std::string message;   // the primary message
    std::string detail;    // "Key (a, b)=(...) already exists."
    std::string table;
    std::string column;
    std::string constraint;
};
// The report as a DbError worded like SQLite's failure of the same kind.
DbError postgresql_error(const ServerReport &report, Verb verb);

}  // namespace ketral::store::sql

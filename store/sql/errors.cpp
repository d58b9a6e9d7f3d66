// The one place where database error codes become our messages.
#include "store/sql/errors.hpp"

#include <sqlite3.h>

#include <cctype>
#include <iterator>

namespace ketral::store::sql {

namespace {

// Wording per kind; "%s" stands for the subject.
struct Wording {
    DbErrorKind kind;
    const char *text;
    const char *default_subject;
};

constexpr Wording kWordings[] = {
    {DbErrorKind::Duplicate, "%s already exists", "a record with this key"},
    {DbErrorKind::StillReferenced, "%s is still referenced", "the record"},
    {DbErrorKind::MissingReference, "%s does not exist", "a referenced record"},
    {DbErrorKind::MissingValue, "%s is required", "a value"},
    {DbErrorKind::InvalidValue, "%s is not allowed", "the value"},
    {DbErrorKind::InvalidText, "%s is not valid UTF-8", "a text argument"},
    {DbErrorKind::Busy, "the database is busy (locked by another connection); try again", ""},
    {DbErrorKind::ReadOnly, "the database is read-only", ""},
    {DbErrorKind::IO, "disk I/O error on the database", ""},
    {DbErrorKind::Full, "the database or its disk is full", ""},
    {DbErrorKind::Corrupt, "the database file is damaged or is not a database", ""},
    {DbErrorKind::CantOpen, "cannot open the database file", ""},
    {DbErrorKind::Gone,
     "the database file %s was removed or replaced since it was opened: nothing was written; call DBConnexion to "
     "open it again",
     "''"},
    {DbErrorKind::Lost, "the connection to the database server was lost: call DBConnexion to connect again", ""},
    {DbErrorKind::Other, "database error: %s", ""},
};

const Wording &wording(DbErrorKind kind) {
    for (const Wording &w : kWordings)
        if (w.kind == kind) return w;
    return kWordings[std::size(kWordings) - 1];
}

std::string fill(const char *text, std::string_view subject) {
    std::string out(text);
    const auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, subject);
    return out;
}

// The subject our message names, from what the backend says failed: the
// table and its columns ("a port with this deviceid, port_nbr").
std::string subject_of(DbErrorKind kind, std::string_view table, std::string_view columns) {
    if (columns.empty()) return wording(kind).default_subject;
    switch (kind) {
    case DbErrorKind::Duplicate:
        if (table.empty()) return wording(kind).default_subject;
        return "a " + std::string(table) + " with this " + std::string(columns);
    case DbErrorKind::MissingValue:
        return table.empty() ? std::string(columns) : std::string(table) + "." + std::string(columns);
    case DbErrorKind::InvalidValue: return "the value (" + std::string(columns) + ")";
    default: return wording(kind).default_subject;
    }
}

// SQLite names the columns after a colon: "UNIQUE constraint failed: t.a, t.b".
std::string_view after_colon(std::string_view detail) {
    const auto colon = detail.find(": ");
    return colon == std::string_view::npos ? std::string_view() : detail.substr(colon + 2);
}

// The subject a SQLite text tells us, when the caller gave none.
std::string subject_from_sqlite(DbErrorKind kind, std::string_view detail) {
    if (kind == DbErrorKind::Other) return std::string(detail);
    const std::string_view columns = after_colon(detail);
    if (kind == DbErrorKind::InvalidValue) return subject_of(kind, {}, columns);
    // "t.a, t.b" -> table t, columns "a, b"
    const auto dot = columns.find('.');
    if (dot == std::string_view::npos) return subject_of(kind, {}, columns);
    const std::string_view table = columns.substr(0, dot);
    std::string names;
    std::string_view rest = columns;
    while (!rest.empty()) {
        const auto comma = rest.find(", ");
        std::string_view item = rest.substr(0, comma);
        const auto item_dot = item.find('.');
        if (item_dot != std::string_view::npos) item = item.substr(item_dot + 1);
        if (!names.empty()) names += ", ";
        names += item;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 2);
    }
    return subject_of(kind, table, names);
}

// PostgreSQL names a unique key's columns in the detail: "Key (a, b)=(1, x) already exists."
std::string_view key_columns(std::string_view detail) {
    constexpr std::string_view open = "Key (";
    if (detail.substr(0, open.size()) != open) return {};
    const auto close = detail.find(")=(");
    return close == std::string_view::npos ? std::string_view() : detail.substr(open.size(), close - open.size());
}

// The server's SQLSTATE packed as the server packs it (six bits a character).
int packed_sqlstate(std::string_view sqlstate) {
    int code = 0;
    for (size_t i = 0; i < sqlstate.size() && i < 5; ++i)
        code += ((static_cast<unsigned char>(sqlstate[i]) - '0') & 0x3F) << (6 * i);
    return code;
}

}  // namespace

Verb verb_of(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
    if (word == "INSERT" || word == "REPLACE") return Verb::Insert;
    if (word == "UPDATE") return Verb::Update;
    if (word == "DELETE" || word == "DROP") return Verb::Delete;
    return Verb::Other;
}

DbErrorKind classify_sqlite(int extended_code, Verb verb) {
    switch (extended_code) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY: return DbErrorKind::Duplicate;
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        // SQLite does not say which side failed: a delete removes a parent
        // still pointed to, anything else points to a missing parent (our
        // keys are numbers that are never rewritten).
        return verb == Verb::Delete ? DbErrorKind::StillReferenced : DbErrorKind::MissingReference;
    case SQLITE_CONSTRAINT_NOTNULL: return DbErrorKind::MissingValue;
    default: break;
    }
    switch (extended_code & 0xff) {
    case SQLITE_CONSTRAINT: return DbErrorKind::InvalidValue;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return DbErrorKind::Busy;
    case SQLITE_READONLY: return DbErrorKind::ReadOnly;
    case SQLITE_IOERR: return DbErrorKind::IO;
    case SQLITE_FULL: return DbErrorKind::Full;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return DbErrorKind::Corrupt;
    case SQLITE_CANTOPEN: return DbErrorKind::CantOpen;
    default: return DbErrorKind::Other;
    }
}

DbErrorKind classify_sqlstate(std::string_view sqlstate, Verb verb) {
    if (sqlstate.size() != 5) return DbErrorKind::Lost;  // no report: the connection broke
    if (sqlstate == "23505") return DbErrorKind::Duplicate;
    if (sqlstate == "23503")
        // As on SQLite: a delete removes a parent still pointed to, anything
        // else points to a missing parent.
        return verb == Verb::Delete ? DbErrorKind::StillReferenced : DbErrorKind::MissingReference;
    if (sqlstate == "23502") return DbErrorKind::MissingValue;
    if (sqlstate == "25006") return DbErrorKind::ReadOnly;
    if (sqlstate == "53100") return DbErrorKind::Full;
    if (sqlstate == "58030") return DbErrorKind::IO;
    if (sqlstate == "55P03" || sqlstate == "40001" || sqlstate == "40P01") return DbErrorKind::Busy;
    if (sqlstate == "57P01" || sqlstate == "57P02" || sqlstate == "57P03") return DbErrorKind::Lost;
    const std::string_view family = sqlstate.substr(0, 2);
    if (family == "23" || family == "22") return DbErrorKind::InvalidValue;  // other constraints, bad data
    if (family == "08") return DbErrorKind::Lost;
    if (family == "XX" && sqlstate != "XX000") return DbErrorKind::Corrupt;
    if (family == "3D" || family == "28") return DbErrorKind::CantOpen;  // no such database, refused login
    return DbErrorKind::Other;
}

DbError postgresql_error(const ServerReport &report, Verb verb) {
    const DbErrorKind kind = classify_sqlstate(report.sqlstate, verb);
    std::string subject;
    switch (kind) {
    case DbErrorKind::Other: subject = report.message; break;
    case DbErrorKind::Duplicate: subject = subject_of(kind, report.table, key_columns(report.detail)); break;
    case DbErrorKind::MissingValue: subject = subject_of(kind, report.table, report.column); break;
    case DbErrorKind::InvalidValue:
        subject = subject_of(kind, {}, report.constraint.empty() ? report.message : report.constraint);
        break;
    default: subject = subject_of(kind, {}, {}); break;
    }
    return DbError(kind, packed_sqlstate(report.sqlstate), report.message, subject);
}

DbError own_error(DbErrorKind kind, std::string detail) {
    const std::string subject = kind == DbErrorKind::Other  ? detail
                                : kind == DbErrorKind::Gone ? "'" + detail + "'"
                                                            : wording(kind).default_subject;
    return DbError(kind, 0, std::move(detail), subject);
}

DbError sqlite_error(int extended_code, Verb verb, std::string detail) {
    const DbErrorKind kind = classify_sqlite(extended_code, verb);
    const std::string subject = subject_from_sqlite(kind, detail);
    return DbError(kind, extended_code, std::move(detail), subject);
}

DbError::DbError(DbErrorKind kind, int code, std::string detail, std::string_view subject)
    : std::runtime_error(fill(wording(kind).text, subject)), kind_(kind), code_(code), detail_(std::move(detail)) {}

std::string DbError::message_for(std::string_view subject) const {
    if (kind_ == DbErrorKind::Other) return what();
    return fill(wording(kind_).text, subject);
}

}  // namespace ketral::store::sql

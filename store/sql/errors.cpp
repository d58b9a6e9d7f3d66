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
    {DbErrorKind::Busy, "the database is busy (locked by another connection); try again", ""},
    {DbErrorKind::ReadOnly, "the database is read-only", ""},
    {DbErrorKind::IO, "disk I/O error on the database", ""},
    {DbErrorKind::Full, "the database or its disk is full", ""},
    {DbErrorKind::Corrupt, "the database file is damaged or is not a database", ""},
    {DbErrorKind::CantOpen, "cannot open the database file", ""},
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

// SQLite names the columns after a colon: "UNIQUE constraint failed: t.a, t.b".
std::string_view after_colon(std::string_view detail) {
    const auto colon = detail.find(": ");
    return colon == std::string_view::npos ? std::string_view() : detail.substr(colon + 2);
}

// The subject a backend text tells us, when the caller gave none.
std::string subject_from_detail(DbErrorKind kind, std::string_view detail) {
    if (kind == DbErrorKind::Other) return std::string(detail);
    const std::string_view columns = after_colon(detail);
    if (columns.empty()) return wording(kind).default_subject;
    if (kind == DbErrorKind::Duplicate) {
        // "t.a, t.b" -> "a t with this a, b"
        const auto dot = columns.find('.');
        if (dot == std::string_view::npos) return wording(kind).default_subject;
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
        return "a " + std::string(table) + " with this " + names;
    }
    if (kind == DbErrorKind::MissingValue) return std::string(columns);
    if (kind == DbErrorKind::InvalidValue) return "the value (" + std::string(columns) + ")";
    return wording(kind).default_subject;
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
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return DbErrorKind::Duplicate;
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        // SQLite does not say which side failed: a delete removes a parent
        // still pointed to, anything else points to a missing parent (our
        // keys are numbers that are never rewritten).
        return verb == Verb::Delete ? DbErrorKind::StillReferenced : DbErrorKind::MissingReference;
    case SQLITE_CONSTRAINT_NOTNULL:
        return DbErrorKind::MissingValue;
    default:
        break;
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

DbError::DbError(DbErrorKind kind, int code, std::string detail)
    : std::runtime_error(fill(wording(kind).text, subject_from_detail(kind, detail))),
      kind_(kind),
      code_(code),
      detail_(std::move(detail)) {}

std::string DbError::message_for(std::string_view subject) const {
    if (kind_ == DbErrorKind::Other) return what();
    return fill(wording(kind_).text, subject);
}

}  // namespace ketral::store::sql

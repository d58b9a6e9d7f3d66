// The four functions that need no schema: DBConnexion and DBDeconnexion
// (the library-wide connection), CreateTableSchema and DropTableSchema.
#include <cctype>
#include <string>
#include <string_view>

#include "store/guard.hpp"
#include "store/schema.hpp"
#include "store/sql/postgresql.hpp"
#include "store/sql/sqlite.hpp"
#include "store/text.hpp"

namespace ketral::store {

namespace {

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool is_postgresql_url(std::string_view database) {
    return starts_with_nocase(database, "postgresql://") || starts_with_nocase(database, "postgres://");
}

// The scheme of a text that begins like a URL ("name:" with two characters
// or more, a letter first, then letters, digits, '+', '-', '.'), or empty.
std::string_view url_scheme(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0]))) return {};
    for (size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return {};
    }
    return text.substr(0, colon);
}

bool is_blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Opens the backend `database` names. user and password serve PostgreSQL
// only. Messages are built from our own words, the scheme and libpq's
// account of a refused connection (host, port, user, database): never from
// the URL's userinfo or query string, nor the password.
std::unique_ptr<sql::Connection> open_database(const char *database, const char *user, const char *password) {
    const std::string name = database ? database : "";
    if (name.empty()) throw Failure("DBConnexion: no database given (an SQLite file path, or :memory:)");
    if (is_blank(name.front()) || is_blank(name.back()))
        throw Failure("DBConnexion: the database begins or ends with a blank: give it without");
    if (is_postgresql_url(name)) {
        try {
            return sql::open_postgresql(name, user ? user : "", password ? password : "");
        } catch (const sql::DbError &e) {
            throw Failure("DBConnexion: cannot connect to the PostgreSQL server: " + e.detail());
        }
    }
    if (const std::string_view scheme = url_scheme(name); !scheme.empty())
        throw Failure("DBConnexion: a database beginning with '" + std::string(scheme) +
                      ":' is not a supported URL: give postgresql://[user@]host[:port]/dbname (or postgres://...) "
                      "for a PostgreSQL server, or an SQLite file path (./" +
                      std::string(scheme) + ":... for a file whose name begins so)");
    try {
        return sql::open_sqlite(name);
    } catch (const sql::DbError &e) {
        throw Failure("DBConnexion: " + std::string(e.what()) + " '" + name + "'");
    }
}

}  // namespace

}  // namespace ketral::store

extern "C" {

// The library holds one connection for the process and cannot tell KETRAL
// objects apart: a connection to another database (or as another user) is
// refused while one is open, so that no object ever works on another's
// database. The same strings again reconnect: the first connection is
// closed, whether or not the new one opens.
int DBConnexion(const char *database, const char *user, const char *password, char *ErrMess) {
    using namespace ketral::store;
    return guarded({"DBConnexion", ErrMess, Needs::Nothing}, [&](Session &session) {
        std::string strings;
        for (const char *s : {database, user, password}) strings.append(arg(s)).push_back('\0');
        if (session.connected() && !session.opened_with(strings))
            throw Failure("DBConnexion: " + session.db().describe() +
                          " is open: call DBDeconnexion first to connect to another database");
        session.detach();
        session.attach(open_database(database, user, password), std::move(strings));
    });
}

// Discards an open batch without complaint; closing while closed succeeds.
int DBDeconnexion(char *ErrMess) {
    using namespace ketral::store;
    return guarded({"DBDeconnexion", ErrMess, Needs::Nothing}, [](Session &session) { session.detach(); });
}

int CreateTableSchema(char *ErrMess) {
    using namespace ketral::store;
    return guarded({"CreateTableSchema", ErrMess, Needs::Connection}, [](Session &session) {
        session.forget_schema();
        create_schema(session.db());
    });
}

int DropTableSchema(char *ErrMess) {
    using namespace ketral::store;
    return guarded({"DropTableSchema", ErrMess, Needs::Connection}, [](Session &session) {
        session.forget_schema();
        // A batch or a graph of the dropped tables means nothing any more.
        session.discard_state();
        session.db().clear_statement_cache();
        drop_schema(session.db());
    });
}

}  // extern "C"

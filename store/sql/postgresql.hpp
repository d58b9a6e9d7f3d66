// The PostgreSQL backend of the SQL layer (libpq).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "store/sql/database.hpp"

namespace ketral::store::sql {

// How long a statement waits for a lock another connection holds before it
// fails as busy (the same as SQLite's busy timeout).
inline constexpr int kPostgresqlLockTimeoutMs = 5000;

// Connects to the server `url` names (postgresql://... or postgres://...);
// `user` and `password`, when not empty, override the URL's. A refusal is a
// DbError whose text is built without the password (neither the argument,
// nor one written in the URL or its query string, nor the environment's).
std::unique_ptr<Connection> open_postgresql(const std::string &url, const std::string &user,
                                            const std::string &password);

// `?` placeholders as $1, $2, ... in order; a `?` inside a quoted text, a
// quoted name or a comment stays as it is. `count` receives the number of
// placeholders.
std::string numbered_placeholders(std::string_view sql, int &count);

}  // namespace ketral::store::sql

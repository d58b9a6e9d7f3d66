// The SQLite backend of the SQL layer.
#pragma once

#include <memory>
#include <string>

#include "store/sql/database.hpp"

namespace ketral::store::sql {

// Busy timeout of every SQLite connection: a writer waits this long for
// another process's lock before the call fails as busy.
inline constexpr int kSqliteBusyTimeoutMs = 5000;

// Opens a file (created when missing) or ":memory:", with foreign keys on,
// the busy timeout set and, for a file, WAL journaling.
std::unique_ptr<Connection> open_sqlite(const std::string &path);

}  // namespace ketral::store::sql

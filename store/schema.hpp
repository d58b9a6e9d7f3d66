// The database schema: its tables, its version, how it is created, upgraded,
// checked and dropped.
#pragma once

#include <string>
#include <vector>

#include "store/sql/database.hpp"

namespace ketral::store {

// The version this library writes and expects.
inline constexpr int kSchemaVersion = 4;

struct Index {
    const char *name;
    const char *columns;
    bool unique;
};

struct Table {
    const char *name;
    const char *columns;  // "{id}" stands for the backend's self-numbered key type
    std::vector<Index> indexes;
    // Stored in the order of its primary key, without a row number of its
    // own (SQLite: WITHOUT ROWID): rows written in key order are appended.
    bool key_ordered = false;
};

// Every table, parents before the tables that point to them.
const std::vector<Table> &schema_tables();

// One upgrade: from version `from` to `from` + 1.
struct UpgradeStep {
    int from;
    void (*apply)(sql::Connection &db);
};
// The steps this library knows.
const std::vector<UpgradeStep> &upgrade_steps();

// The stored version, 0 when the database has no schema.
int stored_version(sql::Connection &db);

// Applies the steps from `version` up to `target` in order and stores the
// new version; throws when a step is missing. Runs inside the caller's transaction.
void upgrade_schema(sql::Connection &db, int version, int target, const std::vector<UpgradeStep> &steps);

// In one transaction: creates the schema, upgrades an older one, or leaves a
// current one unchanged; refuses a schema newer than this library.
void create_schema(sql::Connection &db);
// In one transaction: drops every table, children first; nothing to drop is fine.
void drop_schema(sql::Connection &db);

// Throws the message a call gets when the schema is missing, old or too new.
void check_schema(sql::Connection &db);

}  // namespace ketral::store

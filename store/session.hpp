// The library-wide session: the one connection the contract's functions work
// on, with what belongs to it (the schema check, an open batch, the
// connectivity graph). Only the guard hands it out, under its lock.
#pragma once

#include <memory>
#include <string>

#include "store/sql/database.hpp"

namespace ketral::store {

// Records gathered by an open batch (first = 1 ... last = 1, or single
// inserts until last_rows = 1). The insert and update families derive their
// own; the session only owns it and discards it on disconnect.
class PendingBatch {
public:
    virtual ~PendingBatch() = default;
    // The contract function that opened the batch.
    virtual const std::string &operation() const = 0;
};

// The in-memory graph of the links that path queries run on; built on first
// use by the path family, freed on disconnect and on schema changes.
class ConnectivityCache {
public:
    virtual ~ConnectivityCache() = default;
};

class Session {
public:
    static Session &instance();

    bool connected() const { return db_ != nullptr; }
    // The open connection; throws the not-connected message when there is none.
    sql::Connection &db();

    // Replaces the connection (closing any previous one and what hung on it);
    // `opened_with` are the strings it was opened with.
    void attach(std::unique_ptr<sql::Connection> db, std::string opened_with);
    // Whether the open connection was opened with these strings.
    bool opened_with(const std::string &strings) const { return connected() && opened_with_ == strings; }
    // Closes the connection, discarding an open batch; a no-op when closed.
    void detach();

    // Throws the no-schema message unless the schema is present and current;
    // a positive answer is kept until forget_schema().
    void require_schema();
    void forget_schema() { schema_checked_ = false; }

    // Drops the open batch and the connectivity graph (disconnect, schema change).
    void discard_state();

    std::unique_ptr<PendingBatch> batch;
    std::unique_ptr<ConnectivityCache> connectivity;

private:
    Session() = default;

    std::unique_ptr<sql::Connection> db_;
    std::string opened_with_;  // the strings of DBConnexion, kept to compare (never shown)
    bool schema_checked_ = false;
};

}  // namespace ketral::store

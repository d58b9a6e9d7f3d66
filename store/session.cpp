#include "store/session.hpp"

#include "store/failure.hpp"
#include "store/schema.hpp"

namespace ketral::store {

Session &Session::instance() {
    static Session session;
    return session;
}

sql::Connection &Session::db() {
    if (!db_) throw Failure(kNotConnected);
    return *db_;
}

void Session::attach(std::unique_ptr<sql::Connection> db, std::string opened_with) {
    detach();
    db_ = std::move(db);
    opened_with_ = std::move(opened_with);
}

void Session::detach() {
    discard_state();
    schema_checked_ = false;
    db_.reset();
    opened_with_.clear();
}

void Session::discard_state() {
    batch.reset();
    connectivity.reset();
}

void Session::require_schema() {
    if (schema_checked_) return;
    check_schema(db());
    schema_checked_ = true;
}

}  // namespace ketral::store

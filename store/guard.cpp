#include "store/guard.hpp"

#include <cstring>
#include <new>
#include <string>

#include "store/sql/errors.hpp"

namespace ketral::store {

void write_message(char *error, int capacity, std::string_view message) noexcept {
    if (!error || capacity <= 0) return;
    size_t n = std::min(message.size(), static_cast<size_t>(capacity - 1));
    if (n < message.size()) {
        // Never end on half a character: back off over UTF-8 continuation bytes.
        while (n > 0 && (static_cast<unsigned char>(message[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(error, message.data(), n);
    error[n] = '\0';
}

namespace detail {

std::mutex &call_lock() {
    static std::mutex lock;
    return lock;
}

void check_needs(const Call &call, Session &session) {
    if (call.needs == Needs::Nothing) return;
    if (!session.connected()) throw Failure(kNotConnected);
    if (call.needs == Needs::Schema) session.require_schema();
}

namespace {

std::string message_of_current_exception(const Call &call, bool &from_database) {
    const std::string prefix = std::string(call.function) + ": ";
    try {
        throw;
    } catch (const Failure &e) {
        return e.what();
    } catch (const sql::DbError &e) {
        from_database = true;
        return prefix + e.what();
    } catch (const std::bad_alloc &) {
        return prefix + "out of memory";
    } catch (const std::exception &e) {
        return prefix + "internal error: " + e.what();
    } catch (...) {
        return prefix + "internal error";
    }
}

}  // namespace

int report_failure(const Call &call) noexcept {
    bool from_database = false;
    try {
        write_message(call.error, call.capacity, message_of_current_exception(call, from_database));
    } catch (...) {
        write_message(call.error, call.capacity, "out of memory");
    }
    try {
        Session &session = Session::instance();
        if (session.connected()) {
            sql::Connection &db = session.db();
            // No call leaves a transaction open behind a failure.
            if (db.in_transaction()) db.rollback();
            // The schema may have changed under us (another process): check it again next time.
            if (from_database) session.forget_schema();
        }
    } catch (...) {
        // Already failing; the message written above is the one that matters.
    }
    return kFailed;
}

}  // namespace detail

}  // namespace ketral::store

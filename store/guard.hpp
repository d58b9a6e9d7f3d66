// The guard every exported function goes through: it clears the error
// buffer, takes the library-wide lock, checks the connection (and schema),
// runs the body and turns any exception into a non-zero return with a
// NUL-terminated message that fits the error buffer.
#pragma once

#include <algorithm>
#include <mutex>
#include <string_view>

#include "store/export.hpp"
#include "store/failure.hpp"
#include "store/session.hpp"

namespace ketral::store {

// The return of every failed call.
inline constexpr int kFailed = 1;

enum class Needs {
    Nothing,     // DBConnexion, DBDeconnexion
    Connection,  // the schema management
    Schema,      // everything else
};

struct Call {
    const char *function;  // contract name, put before database and internal errors
    char *error;           // the caller's error buffer
    Needs needs = Needs::Schema;
    int capacity = KETRAL_ERROR_CAPACITY;  // bytes of `error`, NUL included
};

// Copies `message` into `error`, cut to capacity - 1 bytes at a UTF-8
// character boundary, and terminates it with a NUL.
void write_message(char *error, int capacity, std::string_view message) noexcept;

namespace detail {
std::mutex &call_lock();
void check_needs(const Call &call, Session &session);
// Writes the message of the exception being handled, undoes an open
// transaction, answers kFailed. Called only from a catch block.
int report_failure(const Call &call) noexcept;
}  // namespace detail

// Runs body(Session &) for `call`; 0 when it returns, kFailed when it throws.
template <typename Body>
int guarded(const Call &call, Body &&body) noexcept {
    if (call.error && call.capacity > 0) call.error[0] = '\0';
    try {
        std::lock_guard<std::mutex> lock(detail::call_lock());
        try {
            Session &session = Session::instance();
            detail::check_needs(call, session);
            body(session);
            return 0;
        } catch (...) {
            return detail::report_failure(call);
        }
    } catch (...) {
        // The lock itself failed: nothing ran, nothing to undo.
        write_message(call.error, call.capacity, "internal error: the library lock failed");
        return kFailed;
    }
}

}  // namespace ketral::store

// The steps every library call shares: turning a failure into
// KETRALEXCEPTION, and the single retry with a raised size.
#pragma once

#include <string>

#include "core/buffers.hpp"
#include "core/ketral_exception.hpp"

namespace ketral {

inline constexpr char kNoRowsMessage[] = "NO_ROWS_SELECTED";

[[noreturn]] inline void fail(const std::string &message) { throw KETRALEXCEPTION(message); }

// Throws the library's message when a call failed.
inline void check(int rc, const ErrorBuffer &error) {
    if (rc != 0) fail(error.text());
}

// Calls `call(error)` and throws the error text on a non-zero return; the
// shape of the connection and schema methods and of every write.
template <typename Call>
int call_or_throw(Call &&call, int error_size = kErrorSize) {
    ErrorBuffer error(error_size);
    const int rc = call(error.data());
    check(rc, error);
    return rc;
}

// Whether a failed call asks for the single retry: the library raised the
// size above the capacity it was given.
inline bool raised_above(int reported, int initial) { return reported > initial; }

}  // namespace ketral

// Row protocol: one record read by a key, returned as the library's text.
#pragma once

#include <string>

#include "core/retry_once.hpp"

namespace ketral {

// `call(int *length, char *result, char *error)` calls the library function
// with the key first and these three in its own order. The record is the
// result's text up to its first NUL, bounded by the buffer's size.
template <typename Call>
std::string row_query(int initial, Call &&call) {
    ErrorBuffer error;
    CharBuffer result(initial);
    int length = initial;
    throw_unless_answer(call_retry_once(call, result, length, initial, error), error);
    return result.text();
}

}  // namespace ketral

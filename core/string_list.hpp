// String-list protocol, shared by the string-list queries and the status
// listings and histories: NUL-separated items in one result buffer.
#pragma once

#include "core/ketral_object.hpp"
#include "core/packed_list.hpp"
#include "core/retry_once.hpp"

namespace ketral {

// `call(int *length, char *result, char *error)` places the three among the
// library function's parameters in its own order. Items are taken from the
// result's first `length` bytes as the library left them, each one whole
// whatever its size, never past the end of the buffer.
template <typename Call>
StringVec string_list(int initial, Call &&call) {
    ErrorBuffer error;
    CharBuffer result(initial);
    int length = initial;
    throw_unless_answer(call_retry_once(call, result, length, initial, error), error);
    return split_packed(result, length);
}

}  // namespace ketral

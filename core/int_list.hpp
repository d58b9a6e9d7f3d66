// Integer-list protocol: identifiers in a caller-allocated array with a count.
#pragma once

#include <algorithm>

#include "core/ketral_object.hpp"
#include "core/retry_once.hpp"

namespace ketral {

// `call(int *count, int *result, char *error)` calls the library function
// with its arguments first and these three in its order. The list is the
// first `count` entries as the library left the count, never more than the
// array holds.
template <typename Call>
IntVec int_list(int initial, int error_size, Call &&call) {
    ErrorBuffer error(error_size);
    IntBuffer result(initial);
    int count = initial;
    throw_unless_answer(call_retry_once(call, result, count, initial, error), error);
    const int n = std::clamp(count, 0, result.count());
    return IntVec(result.data(), result.data() + n);
}

}  // namespace ketral

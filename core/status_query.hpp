// Status and last-assignment protocols: an empty answer is not an error, the
// text that begins with the marker is returned whole as the answer.
#pragma once

#include <string>

#include "core/retry_once.hpp"
#include "ketral/ketral.h"

namespace ketral {

// `call(char *result, char *error)`: one call into a result of
// KETRAL_STATUS_CAPACITY bytes, never repeated. A success is returned without
// looking for the marker; a failure whose result holds it returns it too.
template <typename Call>
std::string status_query(Call &&call) {
    ErrorBuffer error;
    CharBuffer result(KETRAL_STATUS_CAPACITY);
    const int rc = call(result.data(), error.data());
    if (rc != 0 && !result.starts_with_no_rows()) fail(error.text());
    return result.text();
}

inline constexpr int kLastAssignmentSize = 1000;

// `call(char *result, int *length, char *error)`: the result comes before
// its length in the library's order. Retried once with the raised length.
template <typename Call>
std::string last_assignment(Call &&call) {
    ErrorBuffer error;
    CharBuffer result(kLastAssignmentSize);
    int length = kLastAssignmentSize;
    auto sized = [&](int *len, char *res, char *err) { return call(res, len, err); };
    if (call_retry_once(sized, result, length, kLastAssignmentSize, error) == Outcome::Failed) fail(error.text());
    return result.text();
}

}  // namespace ketral

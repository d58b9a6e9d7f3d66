// The call shared by every sized query: one call, and exactly one more with a
// result of the raised size when the first fails having asked for more room.
#pragma once

#include "core/buffers.hpp"
#include "core/call.hpp"

namespace ketral {

// How a sized query ended: with an answer, with the empty-answer marker, or
// with a failure whose message is in the error buffer.
enum class Outcome { Answer, NoRows, Failed };

inline bool marks_empty(const CharBuffer &result) { return result.starts_with_no_rows(); }
inline bool marks_empty(const IntBuffer &result) { return result.marks_no_rows(); }

// `call(&size, result.data(), error)` places the three in the library's
// order. `size` holds `initial`, the result's capacity, on entry. The empty marker
// is looked at after every call before anything else; a failed first call is
// repeated once, with a result of exactly the new size, only when the library
// raised the size above `initial` (so a second result is never smaller than
// the first). The size is not examined after the second call.
template <typename Result, typename Call>
Outcome call_retry_once(Call &&call, Result &result, int &size, int initial, ErrorBuffer &error) {
    int rc = call(&size, result.data(), error.data());
    if (marks_empty(result)) return Outcome::NoRows;
    if (rc == 0) return Outcome::Answer;
    if (!raised_above(size, initial)) return Outcome::Failed;
    result.reset(size);
    rc = call(&size, result.data(), error.data());
    if (marks_empty(result)) return Outcome::NoRows;
    return rc == 0 ? Outcome::Answer : Outcome::Failed;
}

// The outcome a row or list protocol turns into an exception: the marker
// always throws the literal, a failure the library's message.
inline void throw_unless_answer(Outcome outcome, const ErrorBuffer &error) {
    if (outcome == Outcome::NoRows) fail(kNoRowsMessage);
    if (outcome == Outcome::Failed) fail(error.text());
}

}  // namespace ketral

// Argument checks of the write members. A member lists its checks in order,
// each with the argument it tests and its message; the first one that fails
// is thrown before anything is allocated or sent to the library. Texts are
// checked as the library will receive them, up to their first NUL.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/call.hpp"

namespace ketral {

// One check, already evaluated: whether it failed and the message it throws.
struct Check {
    bool failed;
    const char *message;
};

// A text as the library will read it: up to its first NUL.
inline std::string_view as_sent(const std::string &text) { return std::string_view(text.c_str()); }

// Number of characters of a UTF-8 text (the script's characters, not bytes).
inline std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// flag: 0 or 1. Compared unsigned, so negative values fail too.
inline Check flag(int value, const char *message) { return {static_cast<unsigned>(value) > 1u, message}; }

// way: 1 or 2.
inline Check way(int value, const char *message) { return {value != 1 && value != 2, message}; }

// short: a text of fewer than 2 characters fails, the empty one included.
inline Check at_least_two(const std::string &text, const char *message) {
    return {characters(as_sent(text)) < 2, message};
}

// empty: only the empty text fails.
inline Check not_empty(const std::string &text, const char *message) { return {as_sent(text).empty(), message}; }

// equal sizes: two lists of the same number of elements.
inline Check equal_sizes(std::size_t a, std::size_t b, const char *message) { return {a != b, message}; }

// pair: `named` is exactly "none" (case matters) while `other` is empty.
inline Check pair(const std::string &named, const std::string &other, const char *message) {
    return {as_sent(named) == "none" && as_sent(other).empty(), message};
}

// Throws the message of the first failed check, in the order given.
inline void run_checks(std::initializer_list<Check> checks) {
    for (const Check &c : checks)
        if (c.failed) fail(c.message);
}

}  // namespace ketral

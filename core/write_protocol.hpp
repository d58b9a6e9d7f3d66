// The write protocols: inserts, batched updates and single updates or
// deletes. Each runs its checks, makes one library call with a 1000-byte
// error buffer, and returns a fixed success text or throws the library's
// message. Nothing is retried.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "core/call.hpp"
#include "core/write_checks.hpp"

namespace ketral {

// Success texts, blanks as the scripts expect them.
inline constexpr char kInserted[] = "Successful insertion";
inline constexpr char kInsertedBlank[] = "Successful insertion ";
inline constexpr char kUpdated[] = "Successful update";
inline constexpr char kDeleted[] = "Successful deletion ";

// A library argument: texts as their NUL-terminated characters, ints as they are.
inline const char *lib_arg(const std::string &s) { return s.c_str(); }
inline int lib_arg(int v) { return v; }

// The call of `function` with `args` in the library's order, the error buffer
// appended. The arguments are held by reference for the call that follows.
template <typename Function, typename... Args>
auto call_with(Function function, const Args &...args) {
    return [function, &args...](char *error) { return function(lib_arg(args)..., error); };
}

// The value a text argument defaults to when it is empty.
inline const std::string &default_to(const std::string &value, const std::string &fallback) {
    return value.empty() ? fallback : value;
}

// Insert, single or batched: checks in order, one call, the success text.
template <typename Call>
std::string insert_record(std::initializer_list<Check> checks, const char *success, Call &&call) {
    run_checks(checks);
    call_or_throw(std::forward<Call>(call));
    return success;
}

// Batched update: first, then last, each 0 or 1; the call; "Successful update".
template <typename Call>
std::string batch_update(int first, int last, Call &&call) {
    return insert_record({flag(first, "first is 1 or 0"), flag(last, "last is 1 or 0")}, kUpdated,
                         std::forward<Call>(call));
}

// Single update or swap, and deletion: no checks, one call.
template <typename Call>
std::string update_record(Call &&call) {
    call_or_throw(std::forward<Call>(call));
    return kUpdated;
}

template <typename Call>
std::string delete_record(Call &&call) {
    call_or_throw(std::forward<Call>(call));
    return kDeleted;
}

}  // namespace ketral

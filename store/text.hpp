// Small text helpers every room shares.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace ketral::store {

// A C text argument: a null pointer reads as empty.
inline std::string_view arg(const char *text) { return text ? std::string_view(text) : std::string_view(); }

// A name as messages quote it: 'sw07'.
inline std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// An optional text as it is bound: empty binds NULL.
inline const char *or_null(const std::string &text) { return text.empty() ? nullptr : text.c_str(); }

// The answer of a list or row query that finds nothing. No name may begin
// with it, so that no real answer can be taken for an empty one.
inline constexpr std::string_view kNoRowsMarker = "NO_ROWS_SELECTED";

// The length of the valid UTF-8 sequence that starts at text[i]; 0 when the
// bytes there are not one.
std::size_t utf8_sequence(std::string_view text, std::size_t i);
bool is_utf8(std::string_view text);
// `text` appended to `out` with every byte outside valid UTF-8 as U+FFFD.
void append_utf8(std::string &out, std::string_view text);

// What is wrong with an int given as a flag (0 or 1) or as a port way
// (1 input, 2 output): "dnode must be 0 or 1, not 7"; empty when nothing is.
inline std::string flag_problem(std::string_view what, int value) {
    if (value == 0 || value == 1) return {};
    return std::string(what) + " must be 0 or 1, not " + std::to_string(value);
}
inline std::string way_problem(std::string_view what, int value) {
    if (value == 1 || value == 2) return {};
    return std::string(what) + " must be 1 (input) or 2 (output), not " + std::to_string(value);
}

// `text` with every `what` replaced by `with` (the placeholders of SQL texts).
inline void replace_all(std::string &text, std::string_view what, std::string_view with) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// Items sorted byte by byte and joined with ",", as the list arguments of
// the inserts take them and the lists of a device are stored.
inline std::string join_sorted(std::vector<std::string> &items) {
    std::sort(items.begin(), items.end());
    std::string text;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k) text.push_back(',');
        text += items[k];
    }
    return text;
}

}  // namespace ketral::store

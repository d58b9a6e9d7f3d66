// Answer writers: the one way every function puts its answer into the
// caller's buffers. Each writer checks the size first and writes either the
// whole answer or nothing at all; it never writes past a capacity.
//
//   write_text   a text with its NUL into a buffer of in/out length *length
//   write_fixed  a text with its NUL into a buffer of fixed capacity
//   write_list   a packed list (items each followed by a NUL), in/out length
//   write_ints   an integer list, in/out count, -1/-1 marker when empty
//   Columns      a column store: integer arrays sharing one in/out count and
//                packed text lists each with its own in/out byte length
//   JsonObject   one JSON object (a record, or a list item of several fields)
//
// Too small: the writer raises the length or count to the exact size needed
// (bytes with the NUL, or the list's bytes, or entries) and throws Failure
// "<fn>: the answer needs N bytes, the buffer holds M", which the guard
// returns as the call's failure. On success a length or count is set to what
// was written (bytes with the NUL, list bytes, entries).
//
// Empty answers: write_list and write_empty() write "NO_ROWS_SELECTED";
// write_ints writes -1, -1; a column store answers zero rows.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "store/sql/database.hpp"
#include "store/text.hpp"

namespace ketral::store::answer {

// What an empty text answer (row, list, listing, status) consists of.
inline constexpr std::string_view kNoRows = "NO_ROWS_SELECTED";

// Text with its NUL into `buffer`, whose capacity is *length bytes.
// Success sets *length to text.size() + 1.
void write_text(const char *fn, std::string_view text, int *length, char *buffer);

// The empty answer "NO_ROWS_SELECTED" through write_text.
inline void write_empty(const char *fn, int *length, char *buffer) { write_text(fn, kNoRows, length, buffer); }

// Text with its NUL into a buffer of `capacity` bytes that has no length to
// raise (names, status texts): an answer that cannot fit fails.
void write_fixed(const char *fn, std::string_view text, char *buffer, int capacity);

// Items back to back, each followed by one NUL.
class PackedList {
public:
    // An item as an answer gives it: bytes outside valid UTF-8 as U+FFFD.
    void add(std::string_view item) {
        append_utf8(bytes_, item);
        bytes_.push_back('\0');
        ++items_;
    }
    bool empty() const { return items_ == 0; }
    int items() const { return items_; }
    const std::string &bytes() const { return bytes_; }

private:
    std::string bytes_;
    int items_ = 0;
};

// The list into `buffer` of *length bytes; success sets *length to the
// list's bytes. An empty list writes the "NO_ROWS_SELECTED" answer.
void write_list(const char *fn, const PackedList &list, int *length, char *buffer);

// The entries into `result`, whose capacity is *count entries; success sets
// *count to the entries written. An empty list writes -1 into entries 0 and
// 1 and sets *count to 0 (a capacity below 2 asks for 2).
void write_ints(const char *fn, const std::vector<int> &values, int *count, int *result);

// A column store. Declare the columns in any order, fill them row by row,
// then write(): every integer column holds one entry per row, every text
// column one item per row. If the rows exceed *count or a list exceeds its
// length, every size too small is raised at once and write() fails; nothing
// is written then. Otherwise all columns are written, *count is set to the
// rows and each length to its list's bytes.
class Columns {
public:
    Columns(const char *fn, int *count) : fn_(fn), count_(count) {}

    // The returned references stay valid while the store lives.
    std::vector<int> &ints(const char *name, int *array);
    PackedList &texts(const char *name, char *buffer, int *length);

    void write();

private:
    struct IntColumn {
        const char *name;
        int *array;
        std::vector<int> values;
    };
    struct TextColumn {
        const char *name;
        char *buffer;
        int *length;
        PackedList values;
    };
    const char *fn_;
    int *count_;
    std::deque<IntColumn> ints_;
    std::deque<TextColumn> texts_;
};

// Appends `text` as a JSON string (quotes included): '"', '\\' and control
// characters escaped as JSON wants them, UTF-8 kept, and any byte that is
// not part of valid UTF-8 replaced by U+FFFD so the answer stays valid.
void append_json_string(std::string &out, std::string_view text);

// Keys rendered once ("name":) for writing many records with the same keys.
class JsonKeys {
public:
    explicit JsonKeys(const std::vector<std::string> &names);
    std::size_t size() const { return rendered_.size(); }

private:
    friend class JsonObject;
    std::vector<std::string> rendered_;
};

// Writes one JSON object onto the end of `out`: '{' now, '}' at close().
// Keys are written as given (escaped); numbers as numbers, absent values as
// null, texts as JSON strings. No spaces: {"a":1,"b":"x","c":null}.
class JsonObject {
public:
    explicit JsonObject(std::string &out) : out_(out) { out_.push_back('{'); }

    JsonObject &text(std::string_view key, std::string_view value);
    JsonObject &number(std::string_view key, std::int64_t value);
    JsonObject &null(std::string_view key);
    // Column `column` of the current row of `row`, by the value's type.
    JsonObject &column(std::string_view key, const sql::Statement &row, int column);
    // Every column of the current row, column k under key k.
    JsonObject &columns(const sql::Statement &row, const JsonKeys &keys);

    void close() { out_.push_back('}'); }

private:
    void key(std::string_view key);
    void value(const sql::Statement &row, int column);

    std::string &out_;
    bool first_ = true;
};

}  // namespace ketral::store::answer

#include "store/answer.hpp"

#include <charconv>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "store/failure.hpp"
#include "store/text.hpp"

namespace ketral::store::answer {

namespace {

// A size as the int the contract carries; larger answers are refused.
int as_size(const char *fn, std::size_t size, const char *unit) {
    if (size > static_cast<std::size_t>(INT_MAX))
        throw Failure(std::string(fn) + ": the answer is too large (" + std::to_string(size) + " " + unit + ")");
    return static_cast<int>(size);
}

// A caller that passes no buffer gets a message, not a crash.
void require(const char *fn, const void *size, const void *buffer) {
    if (!size || !buffer) throw Failure(std::string(fn) + ": no result buffer given");
}

[[noreturn]] void too_small(const char *fn, int needed, int capacity, const char *unit, const char *holds) {
    throw Failure(std::string(fn) + ": the answer needs " + std::to_string(needed) + " " + unit + ", the " + holds +
                  " " + std::to_string(capacity));
}

// Copies `bytes` into `buffer` when they fit *length; else raises it and fails.
void write_bytes(const char *fn, const char *bytes, std::size_t size, int *length, char *buffer) {
    const int needed = as_size(fn, size, "bytes");
    const int capacity = *length;
    if (needed > capacity) {
        *length = needed;
        too_small(fn, needed, capacity, "bytes", "buffer holds");
    }
    if (size) std::memcpy(buffer, bytes, size);
    *length = needed;
}

// A text as an answer gives it: valid UTF-8, bytes outside it (stored by
// another program) as U+FFFD. Copies only when something must change.
class Utf8Text {
public:
    explicit Utf8Text(std::string_view text) : view_(text) {
        if (is_utf8(text)) return;
        append_utf8(fixed_, text);
        view_ = fixed_;
    }
    std::size_t size() const { return view_.size(); }
    bool empty() const { return view_.empty(); }
    const char *data() const { return view_.data(); }

private:
    std::string fixed_;
    std::string_view view_;
};

}  // namespace

void write_text(const char *fn, std::string_view given, int *length, char *buffer) {
    require(fn, length, buffer);
    const Utf8Text text(given);
    const int needed = as_size(fn, text.size() + 1, "bytes");
    const int capacity = *length;
    if (needed > capacity) {
        *length = needed;
        too_small(fn, needed, capacity, "bytes", "buffer holds");
    }
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    *length = needed;
}

void write_fixed(const char *fn, std::string_view given, char *buffer, int capacity) {
    require(fn, &capacity, buffer);
    const Utf8Text text(given);
    const int needed = as_size(fn, text.size() + 1, "bytes");
    if (needed > capacity) too_small(fn, needed, capacity, "bytes", "buffer holds");
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}

void write_list(const char *fn, const PackedList &list, int *length, char *buffer) {
    if (list.empty()) return write_empty(fn, length, buffer);
    require(fn, length, buffer);
    write_bytes(fn, list.bytes().data(), list.bytes().size(), length, buffer);
}

void write_ints(const char *fn, const std::vector<int> &values, int *count, int *result) {
    require(fn, count, result);
    const int capacity = *count;
    if (values.empty()) {
        if (capacity < 2) {
            *count = 2;
            too_small(fn, 2, capacity, "entries", "array holds");
        }
        result[0] = -1;
        result[1] = -1;
        *count = 0;
        return;
    }
    const int needed = as_size(fn, values.size(), "entries");
    if (needed > capacity) {
        *count = needed;
        too_small(fn, needed, capacity, "entries", "array holds");
    }
    std::memcpy(result, values.data(), values.size() * sizeof(int));
    *count = needed;
}

// ---- column stores -------------------------------------------------------------

std::vector<int> &Columns::ints(const char *name, int *array) {
    ints_.push_back({name, array, {}});
    return ints_.back().values;
}

PackedList &Columns::texts(const char *name, char *buffer, int *length) {
    texts_.push_back({name, buffer, length, {}});
    return texts_.back().values;
}

void Columns::write() {
    require(fn_, count_, count_);
    for (const IntColumn &c : ints_) require(fn_, c.array, c.array);
    for (const TextColumn &c : texts_) require(fn_, c.length, c.buffer);
    std::size_t rows =
        ints_.empty() ? (texts_.empty() ? 0 : texts_.front().values.items()) : ints_.front().values.size();
    for (const IntColumn &c : ints_)
        if (c.values.size() != rows) throw std::logic_error(std::string("column ") + c.name + " is not one per row");
    for (const TextColumn &c : texts_)
        if (static_cast<std::size_t>(c.values.items()) != rows)
            throw std::logic_error(std::string("column ") + c.name + " is not one per row");

    // Every size first, all raised together, so that one more call succeeds.
    std::string shortfall;
    const auto note = [&](const std::string &what) { shortfall += (shortfall.empty() ? "" : ", ") + what; };
    const int needed_rows = as_size(fn_, rows, "rows");
    if (needed_rows > *count_) {
        note(std::to_string(needed_rows) + " rows, the arrays hold " + std::to_string(*count_));
        *count_ = needed_rows;
    }
    for (TextColumn &c : texts_) {
        const int needed = as_size(fn_, c.values.bytes().size(), "bytes");
        if (needed > *c.length) {
            note(std::to_string(needed) + " bytes of " + c.name + ", the buffer holds " + std::to_string(*c.length));
            *c.length = needed;
        }
    }
    if (!shortfall.empty()) throw Failure(std::string(fn_) + ": the answer needs " + shortfall);

    for (IntColumn &c : ints_)
        if (!c.values.empty()) std::memcpy(c.array, c.values.data(), c.values.size() * sizeof(int));
    for (TextColumn &c : texts_) {
        const std::string &bytes = c.values.bytes();
        if (!bytes.empty()) std::memcpy(c.buffer, bytes.data(), bytes.size());
        *c.length = static_cast<int>(bytes.size());
    }
    *count_ = needed_rows;
}

// ---- JSON ----------------------------------------------------------------------

namespace {

// Bytes copied as they are: printable ASCII but '"' and '\\'.
struct PlainBytes {
    bool plain[256] = {};
    constexpr PlainBytes() {
        for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
    }
};
constexpr PlainBytes kPlain;

void append_number(std::string &out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

}  // namespace

void append_json_string(std::string &out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out.push_back('"');
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t size = text.size();
    std::size_t run = 0;  // start of the bytes still to copy as they are
    std::size_t i = 0;
    while (true) {
        while (i < size && kPlain.plain[bytes[i]]) ++i;
        if (i == size) break;
        const unsigned char c = bytes[i];
        if (c >= 0x80) {
            const std::size_t n = utf8_sequence(text, i);
            if (n) {
                i += n;
                continue;
            }
        }
        out.append(text.data() + run, i - run);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out.push_back(hex[c >> 4]);
                out.push_back(hex[c & 0xF]);
            } else {
                out += "\xEF\xBF\xBD";  // U+FFFD for a byte outside valid UTF-8
            }
        }
        run = ++i;
    }
    out.append(text.data() + run, size - run);
    out.push_back('"');
}

JsonKeys::JsonKeys(const std::vector<std::string> &names) {
    rendered_.reserve(names.size());
    for (const std::string &name : names) {
        std::string key;
        append_json_string(key, name);
        key.push_back(':');
        rendered_.push_back(std::move(key));
    }
}

void JsonObject::key(std::string_view key) {
    if (!first_) out_.push_back(',');
    first_ = false;
    append_json_string(out_, key);
    out_.push_back(':');
}

JsonObject &JsonObject::text(std::string_view k, std::string_view value) {
    key(k);
    append_json_string(out_, value);
    return *this;
}

JsonObject &JsonObject::number(std::string_view k, std::int64_t value) {
    key(k);
    append_number(out_, value);
    return *this;
}

JsonObject &JsonObject::null(std::string_view k) {
    key(k);
    out_ += "null";
    return *this;
}

void JsonObject::value(const sql::Statement &row, int column) {
    switch (row.column_type(column)) {
    case sql::ColumnType::Integer: return append_number(out_, row.column_int(column));
    case sql::ColumnType::Text: return append_json_string(out_, row.column_view(column));
    case sql::ColumnType::Real: {
        // The database's own rendering; a value JSON cannot hold is null.
        const std::string_view value = row.column_view(column);
        if (!value.empty() && value.find_first_not_of("0123456789.eE+-") == std::string_view::npos) {
            out_.append(value);
            return;
        }
        break;
    }
    case sql::ColumnType::Null: break;
    }
    out_ += "null";
}

JsonObject &JsonObject::column(std::string_view k, const sql::Statement &row, int column) {
    key(k);
    value(row, column);
    return *this;
}

JsonObject &JsonObject::columns(const sql::Statement &row, const JsonKeys &keys) {
    for (std::size_t c = 0; c < keys.size(); ++c) {
        if (!first_) out_.push_back(',');
        first_ = false;
        out_ += keys.rendered_[c];
        value(row, static_cast<int>(c));
    }
    return *this;
}

}  // namespace ketral::store::answer

// Column stores: answers the library hands back column by column (integer
// arrays sharing one in/out count, packed text lists each with its own in/out
// byte length), joined here into '|'-separated rows.
//
// A member states its columns as data (a Layout) and passes a lambda that
// calls the library in the library's own parameter order, taking each buffer
// from the store by column number; allocation, the single second call and the
// joining of rows are written here once.
#pragma once

#include <string>
#include <vector>

#include "core/buffers.hpp"
#include "core/call.hpp"

namespace ketral {

// How a failed call asks for its single second call.
enum class Retry {
    AnyChanged,  // the count or a tested length differs from its initial value
    AnyRaised,   // the count or a tested length is above its initial value
};

struct Column {
    enum class Kind { Int, Text };
    Kind kind;
    int initial;  // text: bytes of the first buffer, and the length's initial value
    bool tested;  // text: its length takes part in the retry test
    bool grows;   // text: reallocated at its reported length for the second call
    bool in_row;  // gives one field of every row

    // A text column the library is handed but the rows never read; it keeps
    // its first buffer for the second call.
    constexpr Column passed_only() const { return {kind, initial, false, false, false}; }
};

// An integer column: as many entries as the count.
inline constexpr Column kInt{Column::Kind::Int, 0, false, true, true};
// A text column of `bytes` bytes.
constexpr Column text(int bytes) { return {Column::Kind::Text, bytes, true, true, true}; }

// The layout of a store without a count (a single text list).
inline constexpr int kNoCount = -1;
// Largest buffer a reported count or length may ask for; anything above it
// (or below zero) is refused instead of allocated.
inline constexpr int kMaxColumnBytes = 1 << 30;

struct Layout {
    int count;  // initial count, the capacity of every integer column, or kNoCount
    Retry retry;
    std::vector<Column> columns;  // numbered from 1 in this order; the row joins them in this order
    int rows_by_text = 0;         // 0: one row per counted entry; k: one row per text of column k
};

class ColumnStore {
public:
    explicit ColumnStore(const Layout &layout);

    // The buffers in the library's terms, by column number.
    int *count() { return &count_; }
    int *ints(int column);
    char *text(int column);
    int *len(int column);

    // After a failed call: whether the counts the library left ask for the
    // second call.
    bool asks_second_call() const;
    // Reallocates the columns at the reported sizes for the second call;
    // false when a reported size is negative or beyond kMaxColumnBytes.
    bool regrow();
    // The rows of a successful answer. Throws when the library reports more
    // rows than its integer columns hold.
    std::vector<std::string> rows() const;

private:
    struct Slot {
        Column column;
        IntBuffer ints{0};
        CharBuffer chars{0};
        int length = 0;
    };
    Slot &slot(int column, Column::Kind kind);
    int text_items(const Slot &slot) const;

    const Layout &layout_;
    int count_;
    std::vector<Slot> slots_;
};

// One column-store answer: the call, once more if the store asks for it, and
// the rows; a failure throws the library's error text.
template <typename Call>
std::vector<std::string> fetch_rows(const Layout &layout, Call &&call) {
    ColumnStore store(layout);
    ErrorBuffer error;
    if (call(store, error.data()) != 0) {
        if (!store.asks_second_call() || !store.regrow()) fail(error.text());
        check(call(store, error.data()), error);
    }
    return store.rows();
}

}  // namespace ketral

#include "core/column_store.hpp"

#include <algorithm>
#include <stdexcept>

#include "core/packed_list.hpp"

namespace ketral {

namespace {

bool usable_bytes(long long bytes) { return bytes >= 0 && bytes <= kMaxColumnBytes; }

}  // namespace

ColumnStore::ColumnStore(const Layout &layout) : layout_(layout), count_(layout.count) {
    slots_.reserve(layout.columns.size());
    for (const Column &column : layout.columns) {
        Slot slot{column};
        if (column.kind == Column::Kind::Int) {
            slot.ints.reset(layout.count);
        } else {
            slot.chars.reset(column.initial);
            slot.length = column.initial;
        }
        slots_.push_back(std::move(slot));
    }
}

ColumnStore::Slot &ColumnStore::slot(int column, Column::Kind kind) {
    if (column < 1 || static_cast<size_t>(column) > slots_.size() || slots_[column - 1].column.kind != kind)
        throw std::logic_error("column store has no such column: " + std::to_string(column));
    return slots_[column - 1];
}

int *ColumnStore::ints(int column) { return slot(column, Column::Kind::Int).ints.data(); }
char *ColumnStore::text(int column) { return slot(column, Column::Kind::Text).chars.data(); }
int *ColumnStore::len(int column) { return &slot(column, Column::Kind::Text).length; }

bool ColumnStore::asks_second_call() const {
    const auto asks = [&](int reported, int initial) {
        return layout_.retry == Retry::AnyChanged ? reported != initial : reported > initial;
    };
    if (layout_.count != kNoCount && asks(count_, layout_.count)) return true;
    return std::any_of(slots_.begin(), slots_.end(), [&](const Slot &s) {
        return s.column.kind == Column::Kind::Text && s.column.tested && asks(s.length, s.column.initial);
    });
}

bool ColumnStore::regrow() {
    // Every reported size must be allocatable before anything is replaced.
    bool has_ints = false;
    for (const Slot &s : slots_) {
        if (s.column.kind == Column::Kind::Int)
            has_ints = true;
        else if (s.column.grows && !usable_bytes(s.length))
            return false;
    }
    if (has_ints && !usable_bytes(static_cast<long long>(count_) * static_cast<long long>(sizeof(int)))) return false;

    for (Slot &s : slots_) {
        if (s.column.kind == Column::Kind::Int)
            s.ints.reset(count_);
        else if (s.column.grows)
            s.chars.reset(s.length);
        // A list that keeps its buffer is announced at that buffer's size,
        // whatever length the failed call left: the library never gets a
        // capacity larger than the buffer behind it.
        else
            s.length = s.chars.size();
    }
    return true;
}

int ColumnStore::text_items(const Slot &s) const {
    const int end = std::min(s.length, s.chars.size());
    PackedReader reader(s.chars);
    int items = 0;
    while (reader.offset() < end) {
        reader.next();
        ++items;
    }
    return items;
}

std::vector<std::string> ColumnStore::rows() const {
    const int n = layout_.rows_by_text ? text_items(slots_[layout_.rows_by_text - 1]) : std::max(count_, 0);

    const Slot *first_ints = nullptr;
    std::vector<PackedReader> readers;
    readers.reserve(slots_.size());
    for (const Slot &s : slots_) {
        if (!s.column.in_row) continue;
        if (s.column.kind == Column::Kind::Int) {
            if (!first_ints) first_ints = &s;
        } else {
            readers.emplace_back(s.chars);
        }
    }
    // Integer entries exist up to the reported count and the arrays' size.
    if (first_ints) {
        const int entries = std::max(std::min(count_, first_ints->ints.count()), 0);
        if (n > entries)
            fail("library answer of " + std::to_string(n) + " rows exceeds its " + std::to_string(entries) +
                 " integer entries");
    }

    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string row;
        auto reader = readers.begin();
        bool first = true;
        for (const Slot &s : slots_) {
            if (!s.column.in_row) continue;
            if (!first) row.push_back('|');
            first = false;
            if (s.column.kind == Column::Kind::Int)
                row += std::to_string(s.ints[i]);
            else
                row += (reader++)->next();
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace ketral

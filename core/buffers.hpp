// Owned buffers for every exchange with the library. Each one knows its size,
// is released by its destructor on every path, and is read only within that
// size, whatever the library left in it.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace ketral {

// The marker an empty text answer begins with (16 characters, no terminator).
inline constexpr char kNoRows[] = "NO_ROWS_SELECTED";
inline constexpr int kNoRowsLength = 16;
inline constexpr int kErrorSize = 1000;

// Text starting at `data`, up to its first NUL or `limit` bytes, whichever
// comes first: a buffer the library left without a NUL is never read past.
inline std::string text_within(const char *data, int limit) {
    if (limit <= 0) return std::string();
    const void *nul = std::memchr(data, '\0', static_cast<size_t>(limit));
    size_t n = nul ? static_cast<size_t>(static_cast<const char *>(nul) - data) : static_cast<size_t>(limit);
    return std::string(data, n);
}

// A character buffer of a fixed size. Allocation is not cleared (answers can
// be megabytes), only the first bytes are, so a no-rows test after a call that
// wrote nothing reads zeros and never leftovers.
class CharBuffer {
public:
    explicit CharBuffer(int size) { reset(size); }

    // Replaces the buffer by a fresh one of `size` bytes (negative means 0).
    void reset(int size) {
        size_ = std::max(size, 0);
        data_.reset(new char[static_cast<size_t>(size_)]);
        std::memset(data_.get(), 0, static_cast<size_t>(std::min(size_, kNoRowsLength)));
    }

    char *data() { return data_.get(); }
    const char *data() const { return data_.get(); }
    int size() const { return size_; }

    // Text at the start of the buffer up to its first NUL, bounded by the size.
    std::string text() const { return text_within(data_.get(), size_); }
    // Text at `offset`, bounded by the end of the buffer.
    std::string text_at(int offset) const {
        if (offset < 0 || offset >= size_) return std::string();
        return text_within(data_.get() + offset, size_ - offset);
    }
    // True when the buffer begins with the 16 characters of the no-rows marker;
    // a buffer shorter than the marker cannot hold it.
    bool starts_with_no_rows() const {
        return size_ >= kNoRowsLength && std::memcmp(data_.get(), kNoRows, kNoRowsLength) == 0;
    }

private:
    std::unique_ptr<char[]> data_;
    int size_ = 0;
};

// An array of 32-bit integers of a fixed number of entries; the first two
// entries are cleared so that an untouched array never reads as the -1/-1
// empty marker by accident.
class IntBuffer {
public:
    explicit IntBuffer(int count) { reset(count); }

    void reset(int count) {
        count_ = std::max(count, 0);
        data_.reset(new int[static_cast<size_t>(count_)]);
        std::fill_n(data_.get(), std::min(count_, 2), 0);
    }

    int *data() { return data_.get(); }
    const int *data() const { return data_.get(); }
    int count() const { return count_; }
    int operator[](int i) const { return data_[i]; }

    // The library marks an empty integer answer with -1 in its first two entries.
    bool marks_no_rows() const { return count_ >= 2 && data_[0] == -1 && data_[1] == -1; }

private:
    std::unique_ptr<int[]> data_;
    int count_ = 0;
};

// The error buffer handed last to every library call.
class ErrorBuffer : public CharBuffer {
public:
    explicit ErrorBuffer(int size = kErrorSize) : CharBuffer(size) {}
};

}  // namespace ketral

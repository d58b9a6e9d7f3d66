// Packed text lists: texts back to back, each followed by one NUL.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/buffers.hpp"

namespace ketral {

// Reads the texts of one packed list in order, one per call of next(); each
// text ends at its NUL or at the end of the buffer, so a list the library left
// without its final NUL is never read past. Texts come back whole, whatever
// their length.
class PackedReader {
public:
    explicit PackedReader(const CharBuffer &buffer) : buffer_(buffer) {}

    std::string next() {
        std::string item = buffer_.text_at(offset_);
        offset_ += static_cast<int>(item.size()) + 1;
        return item;
    }
    int offset() const { return offset_; }

private:
    const CharBuffer &buffer_;
    int offset_ = 0;
};

// Splits the first `length` bytes of a packed list into its texts. An item that
// starts before `length` is taken whole even if it ends after it; two NULs in a
// row give an empty item; a length of 0 or less gives no items. The walk never
// goes past the buffer, whatever length the library reported.
inline std::vector<std::string> split_packed(const CharBuffer &buffer, int length) {
    std::vector<std::string> items;
    const int end = std::min(length, buffer.size());
    PackedReader reader(buffer);
    while (reader.offset() < end) items.push_back(reader.next());
    return items;
}

// Packs texts for the library: each text up to its first NUL, as a text
// argument is, followed by one NUL. A NUL kept inside would end the item
// there for the library and make the rest a separate item of its own. The
// byte length is the buffer's size.
inline std::string pack_texts(const std::vector<std::string> &texts) {
    std::string packed;
    for (const std::string &t : texts) {
        packed.append(t, 0, t.find('\0'));
        packed.push_back('\0');
    }
    return packed;
}

}  // namespace ketral

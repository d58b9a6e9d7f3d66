#include "store/text.hpp"

namespace ketral::store {

std::size_t utf8_sequence(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b == 0xE0)
        n = 3, lo = 0xA0;
    else if (b >= 0xE1 && b <= 0xEC)
        n = 3;
    else if (b == 0xED)
        n = 3, hi = 0x9F;  // no surrogates
    else if (b >= 0xEE && b <= 0xEF)
        n = 3;
    else if (b == 0xF0)
        n = 4, lo = 0x90;
    else if (b >= 0xF1 && b <= 0xF3)
        n = 4;
    else if (b == 0xF4)
        n = 4, hi = 0x8F;
    else
        return 0;
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

bool is_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8_sequence(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void append_utf8(std::string &out, std::string_view text) {
    std::size_t run = 0;  // start of the bytes still to copy as they are
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8_sequence(text, i);
        if (n) {
            i += n;
            continue;
        }
        out.append(text.substr(run, i - run));
        out += "\xEF\xBF\xBD";
        run = ++i;
    }
    out.append(text.substr(run));
}

}  // namespace ketral::store

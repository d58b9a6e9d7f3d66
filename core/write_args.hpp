// Script lists turned into the library's parameters for the write members:
// the three port flags, packed text lists and integer arrays.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include "core/buffers.hpp"
#include "core/call.hpp"
#include "core/packed_list.hpp"

namespace ketral {

// The three values a port insert reads from its port_flags list. A list of
// fewer than three values is refused before any other check, so it is never
// read past its end; further values are ignored.
struct PortFlags {
    int speed;
    int admin_status;
    int pxi_booting;

    explicit PortFlags(const std::vector<int> &flags)
        : speed(at(flags, 0)), admin_status(at(flags, 1)), pxi_booting(at(flags, 2)) {}

private:
    static int at(const std::vector<int> &flags, std::size_t i) {
        if (flags.size() < 3) fail("Error:port_flags must hold 3 values");
        return flags[i];
    }
};

// A packed text list and its byte length. A list whose packed form would not
// fit the library's int length is refused with a message naming it.
class PackedArg {
public:
    PackedArg(const std::vector<std::string> &texts, const char *name, std::size_t limit = INT_MAX) {
        std::size_t total = 0;
        for (const std::string &t : texts) {
            if (t.size() >= limit - total) fail(std::string("Error:") + name + " list is too long");
            total += t.size() + 1;
        }
        bytes_ = pack_texts(texts);
    }

    const char *data() const { return bytes_.data(); }
    int length() const { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

// An integer array holding a copy of the list's values, and its count.
class IntArrayArg {
public:
    IntArrayArg(const std::vector<int> &values, const char *name) : array_(count_of(values, name)) {
        for (int i = 0; i < array_.count(); ++i) array_.data()[i] = values[static_cast<std::size_t>(i)];
    }

    const int *data() const { return array_.data(); }
    int count() const { return array_.count(); }

private:
    static int count_of(const std::vector<int> &values, const char *name) {
        if (values.size() > static_cast<std::size_t>(INT_MAX)) fail(std::string("Error:") + name + " list is too long");
        return static_cast<int>(values.size());
    }

    IntBuffer array_;
};

}  // namespace ketral

#include "store/hardware_status.hpp"

namespace ketral::store {

namespace {

std::string joined(const char *before, const char *after) {
    std::string out;
    for (const char *s : kStatuses) {
        if (!out.empty()) out += ", ";
        out += before;
        out += s;
        out += after;
    }
    return out;
}

}  // namespace

std::string status_words() { return joined("", ""); }

bool is_status(std::string_view word) {
    for (const char *s : kStatuses)
        if (word == s) return true;
    return false;
}

std::string status_check() { return "CHECK (status IN (" + joined("'", "'") + "))"; }

}  // namespace ketral::store

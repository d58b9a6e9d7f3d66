#include "store/paths/common.hpp"

#include <climits>
#include <cstdlib>

namespace ketral::store::paths {

namespace {

std::uint64_t from_environment(const char *fn, const char *name, std::uint64_t fallback, std::uint64_t ceiling) {
    const char *text = std::getenv(name);
    if (!text || !*text) return std::min(fallback, ceiling);
    // Digits only: strtoull alone would take blanks, a sign or a wrapped-around value.
    std::uint64_t value = 0;
    bool whole = true;
    for (const char *c = text; *c && whole; ++c) {
        const unsigned digit = static_cast<unsigned char>(*c) - '0';
        whole = digit <= 9 && value <= (UINT64_MAX - digit) / 10;
        value = value * 10 + digit;
    }
    if (!whole || value == 0)
        throw Failure(std::string(fn) + ": " + name + " must be a positive whole number without blanks, not " +
                      quoted(text));
    return std::min<std::uint64_t>(value, ceiling);
}

}  // namespace

graph::Limits search_limits(const char *fn) {
    return {static_cast<std::size_t>(from_environment(fn, "KETRAL_PATH_ROW_LIMIT", 10'000'000, INT_MAX)),
            from_environment(fn, "KETRAL_PATH_STEP_LIMIT", 300'000'000, UINT64_MAX)};
}

std::size_t answer_byte_limit(const char *fn) {
    return static_cast<std::size_t>(from_environment(fn, "KETRAL_ANSWER_BYTE_LIMIT", 1u << 30, INT_MAX));
}

graph::PathSet search(const char *fn, const std::string &what, const graph::Graph &g, const graph::PathQuery &query) {
    const graph::Limits limits = search_limits(fn);
    try {
        return graph::find_paths(g, query, limits);
    } catch (const graph::LimitExceeded &e) {
        if (e.kind() == graph::LimitExceeded::Kind::Rows)
            throw Failure(std::string(fn) + ": " + what + " take more than " + std::to_string(e.limit()) +
                          " rows (links over all paths), the limit KETRAL_PATH_ROW_LIMIT; narrow the query");
        throw Failure(std::string(fn) + ": the search for " + what + " tried more than " + std::to_string(e.limit()) +
                      " links, the limit KETRAL_PATH_STEP_LIMIT; narrow the query");
    }
}

void check_column_bytes(const char *fn, const char *column, const answer::PackedList &list) {
    const std::size_t limit = answer_byte_limit(fn);
    if (list.bytes().size() > limit)
        throw Failure(std::string(fn) + ": the answer would need " + std::to_string(list.bytes().size()) +
                      " bytes of " + column + ", more than the limit KETRAL_ANSWER_BYTE_LIMIT (" +
                      std::to_string(limit) + "); narrow the query");
}

graph::Node need_device(const char *fn, const Network &net, const std::string &name) {
    const graph::Node n = net.node(name);
    if (n < 0) throw Failure(std::string(fn) + ": no device named " + quoted(name));
    return n;
}

void need_flag(const char *fn, const char *what, int value) {
    if (const std::string problem = flag_problem(what, value); !problem.empty())
        throw Failure(std::string(fn) + ": " + problem);
}

}  // namespace ketral::store::paths

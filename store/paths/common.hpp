// What the path family shares: the guard with the connectivity flags, the
// limits of a search and its refusal, argument helpers.
#pragma once

#include <string>
#include <string_view>

#include "store/answer.hpp"
#include "store/graph/paths.hpp"
#include "store/guard.hpp"
#include "store/paths/network.hpp"
#include "store/text.hpp"

namespace ketral::store::paths {

// The limits of one search and of one answer column, read from the
// environment on every call (so a script may change them between calls):
//   KETRAL_PATH_ROW_LIMIT     links over all paths of one answer (default 10,000,000:
//                             the answer as rows of the module stays under 2 GB)
//   KETRAL_PATH_STEP_LIMIT    arcs a search may look at, followed or not (default
//                             300,000,000: a few seconds of any search)
//   KETRAL_ANSWER_BYTE_LIMIT  bytes of one text column (default 1 GiB)
// Rows never exceed what a 32-bit count holds, nor bytes what a 32-bit length holds.
graph::Limits search_limits(const char *fn);
std::size_t answer_byte_limit(const char *fn);

// Runs a search; a search past its limits is refused with a message naming
// `what` (the paths asked for) and the limit.
graph::PathSet search(const char *fn, const std::string &what, const graph::Graph &g, const graph::PathQuery &query);

// Refuses a text column above the byte limit (the caller could not hold it).
void check_column_bytes(const char *fn, const char *column, const answer::PackedList &list);

// Flags given as ints: 0 or 1, else refused naming the argument.
void need_flag(const char *fn, const char *what, int value);

// A guarded body on the connectivity graph: reload_connectivity = 1
// rebuilds it first, delete_connectivity = 1 frees it after the call,
// whether the call succeeded or not (other values are refused).
template <typename Body>
int on_network(const char *fn, char *error, int reload_connectivity, int delete_connectivity, Body &&body) {
    return guarded({fn, error}, [&](Session &s) {
        need_flag(fn, "reload_connectivity", reload_connectivity);
        need_flag(fn, "delete_connectivity", delete_connectivity);
        struct Free {
            Session &s;
            bool on;
            ~Free() {
                if (on) s.connectivity.reset();
            }
        } free_after{s, delete_connectivity != 0};
        body(s, network(s, reload_connectivity != 0));
    });
}

// Paths kept for the second call of the same query: answers the kept
// paths when `key` matches, else runs `find` and keeps nothing yet.
// write_kept() writes an answer and, when it fails for size, keeps the paths.
template <typename Find>
std::shared_ptr<const graph::PathSet> kept_or(Network &net, const std::string &key, Find &&find) {
    if (net.kept_paths && net.kept_query == key) return net.kept_paths;
    net.kept_paths.reset();
    net.kept_query.clear();
    return std::make_shared<const graph::PathSet>(find());
}

template <typename Write>
void write_kept(Network &net, const std::string &key, const std::shared_ptr<const graph::PathSet> &paths,
                Write &&write) {
    try {
        write();
    } catch (const Failure &) {
        net.kept_query = key;
        net.kept_paths = paths;
        throw;
    }
    net.kept_paths.reset();
    net.kept_query.clear();
}

// The node of a device by name, or a refusal "<fn>: no device named 'x'".
graph::Node need_device(const char *fn, const Network &net, const std::string &name);

}  // namespace ketral::store::paths

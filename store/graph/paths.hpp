// Every simple path from a node: a path follows arcs (output to input, a
// bidirectional link either way, never a link out of use), never enters a
// node twice and ends at an end device (Graph::stops). A search takes the arcs of a node in link id order, depth
// first, so paths come out in a fixed order.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "store/graph/graph.hpp"

namespace ketral::store::graph {

// One link of a path, as the path follows it.
struct Step {
    std::int32_t link;  // index into Graph::links()
    bool backward;
};

// The paths a search found: path k (from 0) is its steps in order. Steps
// are held packed (4 bytes each, plus 4 per path), since an answer may hold
// millions of them.
class PathSet {
public:
    // The steps of one path, unpacked as they are read.
    class Steps {
    public:
        class iterator {
        public:
            explicit iterator(const std::uint32_t *at) : at_(at) {}
            Step operator*() const { return {static_cast<std::int32_t>(*at_ >> 1), (*at_ & 1u) != 0}; }
            iterator &operator++() {
                ++at_;
                return *this;
            }
            bool operator!=(const iterator &other) const { return at_ != other.at_; }

        private:
            const std::uint32_t *at_;
        };
        Steps(const std::uint32_t *begin, const std::uint32_t *end) : begin_(begin), end_(end) {}
        iterator begin() const { return iterator(begin_); }
        iterator end() const { return iterator(end_); }
        std::size_t size() const { return static_cast<std::size_t>(end_ - begin_); }

    private:
        const std::uint32_t *begin_, *end_;
    };

    std::size_t paths() const { return ends_.size(); }
    // Links over all paths: the rows of an answer.
    std::size_t rows() const { return steps_.size(); }
    Steps path(std::size_t k) const {
        const std::uint32_t *base = steps_.data();
        return {base + (k ? ends_[k - 1] : 0u), base + ends_[k]};
    }

    // Throws std::length_error past 2^32 - 1 steps (the limits keep answers far below).
    void add(const std::vector<Step> &path);

private:
    std::vector<std::uint32_t> steps_;  // link index * 2 + 1 when backward
    std::vector<std::uint32_t> ends_;   // by path: the end of its steps
};

// What a search may cost before it is refused.
struct Limits {
    std::size_t max_rows;     // links over all paths found
    std::uint64_t max_steps;  // arcs looked at, followed or not: the time a search takes
};

class LimitExceeded : public std::runtime_error {
public:
    enum class Kind { Rows, Steps };
    LimitExceeded(Kind kind, std::uint64_t limit);
    Kind kind() const { return kind_; }
    std::uint64_t limit() const { return limit_; }

private:
    Kind kind_;
    std::uint64_t limit_;
};

enum class Stop {
    AtEnds,     // a path ends where it cannot go on (no arc to a node not yet on it)
    AtTargets,  // a path ends at a target node
};

struct PathQuery {
    Node start = 0;
    Stop stop = Stop::AtEnds;
    // AtTargets: non-zero for each target node, by node.
    const std::vector<char> *targets = nullptr;
    // AtTargets: whether a path may go on through a target to reach another
    // (then every path to every target is found, except through an end
    // device); otherwise paths stop at the first target they meet.
    bool through_targets = false;
    // Nodes a path may enter, by node (null: every node). The start is always allowed.
    const std::vector<char> *allowed = nullptr;
    // Longest path in links, 0 for no limit. AtEnds: a path that reaches the
    // limit ends there.
    int max_links = 0;
    // The arcs of the start a path may begin with (empty: every arc).
    std::function<bool(const Arc &)> first;
};

// Throws LimitExceeded when the rows or the arcs looked at pass the limits.
PathSet find_paths(const Graph &g, const PathQuery &query, const Limits &limits);

// By node: whether a path from `start` can go on from it to a target (the
// targets themselves included): through allowed nodes only (null: every
// node), never through `start` (a path never returns to it) nor through a
// node that stops paths. A search enters no other node: from there it could
// only end in a dead end.
std::vector<char> reaching(const Graph &g, const std::vector<char> &targets, const std::vector<char> *allowed,
                           Node start);

}  // namespace ketral::store::graph

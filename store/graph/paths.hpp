// Every simple path from a node: a path follows arcs (output to input, a
// bidirectional link either way, never a link out of use) and never enters a
// node twice. A search takes the arcs of a node in link id order, depth
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

// The paths a search found: path k (from 0) is steps [start(k), start(k + 1)).
class PathSet {
public:
    std::size_t paths() const { return starts_.size() - 1; }
    // Links over all paths: the rows of an answer.
    std::size_t rows() const { return steps_.size(); }
    Range<Step> path(std::size_t k) const { return {steps_.data() + starts_[k], steps_.data() + starts_[k + 1]}; }

    void add(const std::vector<Step> &path) {
        steps_.insert(steps_.end(), path.begin(), path.end());
        starts_.push_back(steps_.size());
    }

private:
    std::vector<Step> steps_;
    std::vector<std::size_t> starts_{0};
};

// What a search may cost before it is refused.
struct Limits {
    std::size_t max_rows;      // links over all paths found
    std::uint64_t max_steps;   // arcs tried, dead ends included
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
    // (then every path to every target is found); otherwise paths stop at the
    // first target they meet.
    bool through_targets = false;
    // Nodes a path may enter, by node (null: every node). The start is always allowed.
    const std::vector<char> *allowed = nullptr;
    // Longest path in links, 0 for no limit. AtEnds: a path that reaches the
    // limit ends there.
    int max_links = 0;
    // The arcs of the start a path may begin with (empty: every arc).
    std::function<bool(const Arc &)> first;
};

// Throws LimitExceeded when the rows or the arcs tried pass the limits.
PathSet find_paths(const Graph &g, const PathQuery &query, const Limits &limits);

// By node: whether a path can go from it to a target, through allowed nodes
// only (the targets themselves included).
std::vector<char> reaching(const Graph &g, const std::vector<char> &targets, const std::vector<char> *allowed);

}  // namespace ketral::store::graph

#include "store/graph/paths.hpp"

#include <cstdint>
#include <string>

namespace ketral::store::graph {

LimitExceeded::LimitExceeded(Kind kind, std::uint64_t limit)
    : std::runtime_error(kind == Kind::Rows ? "more than " + std::to_string(limit) + " path rows"
                                            : "more than " + std::to_string(limit) + " search steps"),
      kind_(kind),
      limit_(limit) {}

void PathSet::add(const std::vector<Step> &path) {
    if (steps_.size() + path.size() > UINT32_MAX) throw std::length_error("path set: more than 2^32 - 1 steps");
    for (const Step &s : path) steps_.push_back(static_cast<std::uint32_t>(s.link) << 1 | (s.backward ? 1u : 0u));
    ends_.push_back(static_cast<std::uint32_t>(steps_.size()));
}

std::vector<char> reaching(const Graph &g, const std::vector<char> &targets, const std::vector<char> *allowed,
                           Node start) {
    std::vector<char> reach(static_cast<std::size_t>(g.nodes()), 0);
    std::vector<Node> queue;
    for (Node n = 0; n < g.nodes(); ++n)
        if (targets[static_cast<std::size_t>(n)] && n != start) {
            reach[static_cast<std::size_t>(n)] = 1;
            queue.push_back(n);
        }
    // Backwards from the targets, over nodes a path may pass through.
    for (std::size_t head = 0; head < queue.size(); ++head)
        for (const Arc &a : g.in(queue[head])) {
            const auto from = static_cast<std::size_t>(a.node);
            if (reach[from] || a.node == start || g.stops(a.node) || (allowed && !(*allowed)[from])) continue;
            reach[from] = 1;
            queue.push_back(a.node);
        }
    return reach;
}

namespace {

struct Frame {
    const Arc *next, *end;
    bool extended;  // some arc of this node led on
};

}  // namespace

PathSet find_paths(const Graph &g, const PathQuery &q, const Limits &limits) {
    PathSet found;
    const bool at_targets = q.stop == Stop::AtTargets;
    if (at_targets && !q.targets) throw std::invalid_argument("find_paths: no targets");

    // A search towards targets only enters nodes from which one is reachable.
    std::vector<char> useful;
    if (at_targets) useful = reaching(g, *q.targets, q.allowed, q.start);

    std::vector<char> on_path(static_cast<std::size_t>(g.nodes()), 0);
    std::vector<Step> path;
    std::vector<Frame> stack;
    std::uint64_t steps = 0;

    const auto record = [&] {
        if (found.rows() + path.size() > limits.max_rows)
            throw LimitExceeded(LimitExceeded::Kind::Rows, limits.max_rows);
        found.add(path);
    };
    const auto enter = [&](Node n) {
        on_path[static_cast<std::size_t>(n)] = 1;
        const Range<Arc> arcs = g.out(n);
        stack.push_back({arcs.begin(), arcs.end(), false});
    };

    enter(q.start);
    while (!stack.empty()) {
        Frame &f = stack.back();
        if (f.next == f.end) {
            // Nothing more from here: at an end, the path so far is complete.
            if (!at_targets && !f.extended && !path.empty()) record();
            stack.pop_back();
            if (!path.empty()) {
                const Step last = path.back();
                path.pop_back();
                const Link &l = g.link(last.link);
                on_path[static_cast<std::size_t>(last.backward ? l.from : l.to)] = 0;
            }
            continue;
        }
        const Arc &arc = *f.next++;
        if (++steps > limits.max_steps) throw LimitExceeded(LimitExceeded::Kind::Steps, limits.max_steps);
        const auto to = static_cast<std::size_t>(arc.node);
        if (on_path[to] || (q.allowed && !(*q.allowed)[to])) continue;
        if (at_targets && !useful[to]) continue;
        if (stack.size() == 1 && q.first && !q.first(arc)) continue;
        f.extended = true;
        path.push_back({arc.link, arc.backward});

        // A path ends at its longest, and at an end device.
        const bool full =
            (q.max_links > 0 && path.size() >= static_cast<std::size_t>(q.max_links)) || g.stops(arc.node);
        if (at_targets && (*q.targets)[to]) {
            record();
            if (!q.through_targets || full) {
                path.pop_back();
                continue;
            }
        } else if (full) {
            if (!at_targets) record();
            path.pop_back();
            continue;
        }
        enter(arc.node);
    }
    return found;
}

}  // namespace ketral::store::graph

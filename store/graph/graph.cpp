#include "store/graph/graph.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ketral::store::graph {

namespace {

// Counting sort of the arcs by node: offsets, then the arcs in link order.
template <typename Visit>
void fill(int nodes, std::vector<std::int32_t> &start, std::vector<Arc> &arcs, Visit each_arc) {
    start.assign(static_cast<std::size_t>(nodes) + 1, 0);
    each_arc([&](Node at, const Arc &) { ++start[static_cast<std::size_t>(at) + 1]; });
    for (std::size_t n = 0; n < static_cast<std::size_t>(nodes); ++n) start[n + 1] += start[n];
    arcs.resize(static_cast<std::size_t>(start.back()));
    std::vector<std::int32_t> next(start.begin(), start.end() - 1);
    each_arc(
        [&](Node at, const Arc &arc) { arcs[static_cast<std::size_t>(next[static_cast<std::size_t>(at)]++)] = arc; });
}

}  // namespace

Graph::Graph(int nodes, std::vector<Link> links, std::vector<char> end_devices)
    : nodes_(nodes), links_(std::move(links)), stops_(std::move(end_devices)) {
    if (nodes < 0) throw std::invalid_argument("graph: negative node count");
    if (!stops_.empty() && stops_.size() != static_cast<std::size_t>(nodes))
        throw std::invalid_argument("graph: end device marks for " + std::to_string(stops_.size()) + " nodes, not " +
                                    std::to_string(nodes));
    std::stable_sort(links_.begin(), links_.end(), [](const Link &a, const Link &b) { return a.id < b.id; });
    for (const Link &l : links_)
        if (l.from < 0 || l.from >= nodes || l.to < 0 || l.to >= nodes)
            throw std::invalid_argument("graph: link " + std::to_string(l.id) + " has an end outside the nodes");

    // Every usable arc once, in link order: the forward arc, then the backward one.
    const auto arcs = [&](auto &&at) {
        for (std::size_t i = 0; i < links_.size(); ++i) {
            const Link &l = links_[i];
            if (!l.used) continue;
            const auto index = static_cast<std::int32_t>(i);
            at(l.from, l.to, Arc{l.to, index, false}, Arc{l.from, index, false});
            if (l.bidirectional) at(l.to, l.from, Arc{l.from, index, true}, Arc{l.to, index, true});
        }
    };
    fill(nodes, out_start_, out_,
         [&](auto &&put) { arcs([&](Node from, Node, const Arc &out, const Arc &) { put(from, out); }); });
    fill(nodes, in_start_, in_,
         [&](auto &&put) { arcs([&](Node, Node to, const Arc &, const Arc &in) { put(to, in); }); });
}

bool is_end(const Graph &g, Node n) {
    if (g.stops(n)) return true;
    Node other = -1;
    bool leaves = false;
    const auto joins = [&](Node m) {
        if (m == n) return true;
        if (other == -1) other = m;
        return m == other;
    };
    for (const Arc &a : g.out(n)) {
        if (a.node == n) continue;
        leaves = true;
        if (!joins(a.node)) return false;
    }
    if (!leaves) return true;
    for (const Arc &a : g.in(n))
        if (!joins(a.node)) return false;
    return true;
}

}  // namespace ketral::store::graph

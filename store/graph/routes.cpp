#include "store/graph/routes.hpp"

#include <algorithm>

namespace ketral::store::graph {

Router::Router(const Graph &g) : g_(g), dist_(static_cast<std::size_t>(g.nodes()), -1) {}

void Router::routes(Node source, int max_links, Routes &out) {
    out.destination_.clear();
    out.links_.clear();
    out.first_.clear();
    out.start_.assign(1, 0);

    // First arcs: every arc of the source to another node, one bit each.
    const Range<Arc> first = g_.out(source);
    const std::size_t words = std::max<std::size_t>(1, (first.size() + 63) / 64);
    if (bits_.size() < words * static_cast<std::size_t>(g_.nodes()))
        bits_.assign(words * static_cast<std::size_t>(g_.nodes()), 0);
    const auto set_of = [&](Node n) { return bits_.data() + static_cast<std::size_t>(n) * words; };

    queue_.clear();
    dist_[static_cast<std::size_t>(source)] = 0;
    queue_.push_back(source);
    for (std::size_t k = 0; k < first.size(); ++k) {
        const Node to = first[k].node;
        if (to == source) continue;
        if (dist_[static_cast<std::size_t>(to)] < 0) {
            dist_[static_cast<std::size_t>(to)] = 1;
            queue_.push_back(to);
        }
        set_of(to)[k / 64] |= std::uint64_t{1} << (k % 64);
    }

    // Breadth first: a node's set is complete when it leaves the queue, since
    // every node one link nearer has left before it.
    for (std::size_t head = 1; head < queue_.size(); ++head) {
        const Node u = queue_[head];
        const std::int32_t d = dist_[static_cast<std::size_t>(u)];
        const std::uint64_t *from = set_of(u);

        out.destination_.push_back(u);
        out.links_.push_back(d);
        for (std::size_t w = 0; w < words; ++w)
            for (std::uint64_t word = from[w]; word; word &= word - 1)
                out.first_.push_back(
                    static_cast<std::int32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(word))));
        out.start_.push_back(out.first_.size());

        // An end device is a destination, never a way on.
        if ((max_links > 0 && d >= max_links) || g_.stops(u)) continue;
        for (const Arc &a : g_.out(u)) {
            const auto v = static_cast<std::size_t>(a.node);
            if (dist_[v] < 0) {
                dist_[v] = d + 1;
                queue_.push_back(a.node);
            } else if (dist_[v] != d + 1) {
                continue;
            }
            std::uint64_t *to = set_of(a.node);
            for (std::size_t w = 0; w < words; ++w) to[w] |= from[w];
        }
    }

    // Leave the working memory clean for the next source.
    for (const Node n : queue_) {
        dist_[static_cast<std::size_t>(n)] = -1;
        std::fill_n(set_of(n), words, 0);
    }
}

std::vector<Reached> reach_through(const Graph &g, Node source, const std::vector<std::int32_t> &first, int max_links) {
    std::vector<std::int32_t> dist(static_cast<std::size_t>(g.nodes()), -1);
    dist[static_cast<std::size_t>(source)] = 0;  // never entered again
    std::vector<Reached> reached;
    const Range<Arc> arcs = g.out(source);
    for (const std::int32_t k : first) {
        const Node to = arcs[static_cast<std::size_t>(k)].node;
        if (dist[static_cast<std::size_t>(to)] >= 0) continue;
        dist[static_cast<std::size_t>(to)] = 1;
        reached.push_back({to, 1});
    }
    for (std::size_t head = 0; head < reached.size(); ++head) {
        const Reached at = reached[head];
        if ((max_links > 0 && at.links >= max_links) || g.stops(at.node)) continue;
        for (const Arc &a : g.out(at.node)) {
            const auto v = static_cast<std::size_t>(a.node);
            if (dist[v] >= 0) continue;
            dist[v] = at.links + 1;
            reached.push_back({a.node, at.links + 1});
        }
    }
    return reached;
}

}  // namespace ketral::store::graph

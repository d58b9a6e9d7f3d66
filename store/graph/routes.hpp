// Shortest paths from one node, by breadth-first search over the arcs; an
// end device (Graph::stops) is reached but never passed through.
//
// Routing: for every node a source reaches, the number of links of a
// shortest path and every first arc of the source that begins one.
// Reach through an arc: the nodes a source reaches when its path begins
// with given arcs and never comes back to it (what lies behind a port).
#pragma once

#include <cstdint>
#include <vector>

#include "store/graph/graph.hpp"

namespace ketral::store::graph {

// The routes of one source. Entry k: destination(k) at links(k) links,
// reached on a shortest path by each arc first_arcs(k) (positions in
// g.out(source), ascending). Entries come in order of distance, then of
// discovery.
class Routes {
public:
    std::size_t size() const { return destination_.size(); }
    Node destination(std::size_t k) const { return destination_[k]; }
    int links(std::size_t k) const { return links_[k]; }
    Range<std::int32_t> first_arcs(std::size_t k) const {
        return {first_.data() + start_[k], first_.data() + start_[k + 1]};
    }
    // First arcs over all entries.
    std::size_t hops() const { return first_.size(); }

private:
    friend class Router;
    std::vector<Node> destination_;
    std::vector<std::int32_t> links_;
    std::vector<std::int32_t> first_;
    std::vector<std::size_t> start_{0};
};

// Computes routes; keeps its working memory between sources, so that the
// routes of many sources cost no allocation once warm.
class Router {
public:
    explicit Router(const Graph &g);
    // Routes of `source` up to max_links links (0: no limit).
    void routes(Node source, int max_links, Routes &out);

private:
    const Graph &g_;
    std::vector<std::int32_t> dist_;   // -1: not reached
    std::vector<std::uint64_t> bits_;  // first-arc sets, words_ per node
    std::vector<Node> queue_;
};

// The nodes reached from `source` by paths that begin with one of the arcs
// `first` (positions in g.out(source)) and never return to the source, each
// with its fewest links, up to max_links (0: no limit); in order of distance.
struct Reached {
    Node node;
    std::int32_t links;
};
std::vector<Reached> reach_through(const Graph &g, Node source, const std::vector<std::int32_t> &first, int max_links);

}  // namespace ketral::store::graph

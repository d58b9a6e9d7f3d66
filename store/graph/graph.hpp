// The connectivity graph: nodes (devices, or the components of a board) and
// the links between them, kept in compact adjacency arrays (CSR). Every node
// has the arcs that leave it and the arcs that reach it, in link id order.
//
// A link gives one arc from its output end to its input end, and when it is
// bidirectional a second, backward arc from its input end to its output end.
// A link not in use gives no arc: no search ever follows it.
//
// A node may be marked as an end device: a path may end there but never
// passes through it (a server linked to two switches is not a way between
// them). Searches and routes stop at such a node; it may still start one.
//
// Pure C++: the owner fills it (from the database, from a test) and keeps
// whatever else a link or a node carries (names, ports) by the same indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ketral::store::graph {

// A node: 0 .. nodes() - 1.
using Node = std::int32_t;

struct Link {
    std::int32_t id;  // the link's own id (lkid); arcs are ordered by it
    Node from, to;    // the output end and the input end
    bool bidirectional;
    bool used;
};

// A link as it is followed. In out(n) `node` is where the arc arrives; in
// in(n) it is where the arc leaves.
struct Arc {
    Node node;
    std::int32_t link;  // index into Graph::links()
    bool backward;      // a bidirectional link followed from its input end
};

// A view of consecutive elements.
template <typename T>
class Range {
public:
    Range(const T *begin, const T *end) : begin_(begin), end_(end) {}
    const T *begin() const { return begin_; }
    const T *end() const { return end_; }
    std::size_t size() const { return static_cast<std::size_t>(end_ - begin_); }
    bool empty() const { return begin_ == end_; }
    const T &operator[](std::size_t i) const { return begin_[i]; }

private:
    const T *begin_, *end_;
};

class Graph {
public:
    Graph() = default;
    // Nodes 0 .. nodes - 1 and the links between them (any order; they are
    // kept sorted by id); `end_devices`, by node, non-zero for the nodes
    // marked as end devices (empty: none). Throws std::invalid_argument for
    // an end outside the nodes or marks of another size.
    Graph(int nodes, std::vector<Link> links, std::vector<char> end_devices = {});

    int nodes() const { return nodes_; }
    const std::vector<Link> &links() const { return links_; }
    const Link &link(std::int32_t index) const { return links_[static_cast<std::size_t>(index)]; }

    Range<Arc> out(Node n) const { return range(out_start_, out_, n); }
    Range<Arc> in(Node n) const { return range(in_start_, in_, n); }

    // Whether a path may end at n but never pass through it.
    bool stops(Node n) const { return !stops_.empty() && stops_[static_cast<std::size_t>(n)]; }

    // The node an arc leaves, given the link it follows.
    Node source(const Arc &arc) const {
        const Link &l = link(arc.link);
        return arc.backward ? l.to : l.from;
    }

private:
    static Range<Arc> range(const std::vector<std::int32_t> &start, const std::vector<Arc> &arcs, Node n) {
        const Arc *base = arcs.data();
        return {base + start[static_cast<std::size_t>(n)], base + start[static_cast<std::size_t>(n) + 1]};
    }

    int nodes_ = 0;
    std::vector<Link> links_;
    std::vector<char> stops_;                               // empty, or one mark per node
    std::vector<std::int32_t> out_start_{0}, in_start_{0};  // nodes + 1 offsets
    std::vector<Arc> out_, in_;
};

// An end of the network: a node marked as an end device, or a node a path
// cannot leave, either because no arc leads from it to another node, or
// because it is a leaf (every arc leaving or reaching it joins it to one and
// the same other node).
bool is_end(const Graph &g, Node n);

}  // namespace ketral::store::graph

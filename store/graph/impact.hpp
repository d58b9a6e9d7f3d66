// Failure impact: what the loss of devices or links does to the paths from
// every device to the end devices it reaches (is_end: marked end devices,
// devices nothing leads on from, leaves).
//
// A device reaches an end device other than itself along a path that never
// passes through an end device (an end device may start a path). A loss
// (devices and links out together: a device, a link, the links of a port):
//   cut off   a device (not lost) that reaches an end device today and
//             reaches none once the loss is out;
//   degraded  a device (not lost, not cut off) of which some shortest path
//             to an end device it reaches passes a lost device or link: it
//             keeps a way to its ends, but some of its shortest ones go.
// A weak point is a single device or link whose loss cuts some device off.
//
// Cut off: a breadth-first search backwards from the end devices, keeping
// two distinct ends per device (an end device as a start must reach an end
// other than itself). Degraded: backwards searches from 64 end devices at a
// time, one bit each, marking the devices whose shortest paths pass the loss.
// Weak points: the dominator tree of the reversed graph, rooted at a sink
// that every end device leads to.
#pragma once

#include <cstdint>
#include <vector>

#include "store/graph/graph.hpp"

namespace ketral::store::graph {

// Devices and links lost together; indices into the graph's nodes and links().
struct Loss {
    std::vector<Node> nodes;
    std::vector<std::int32_t> links;
};

struct Impact {
    std::vector<Node> cut_off;   // ascending
    std::vector<Node> degraded;  // ascending
};

struct WeakPoint {
    enum class Kind { Device, Link };
    Kind kind;
    std::int32_t index;         // the node, or the link index
    std::vector<Node> cut_off;  // ascending
};

// Works on one graph, which must outlive it. What does not depend on a loss
// (the end devices, which devices reach one) is computed once.
class ImpactAnalysis {
public:
    explicit ImpactAnalysis(const Graph &g);

    bool is_end(Node n) const { return end_[static_cast<std::size_t>(n)] != 0; }
    // Whether n reaches an end device other than itself, with nothing lost.
    bool reaches_end(Node n) const { return reaches_[static_cast<std::size_t>(n)] != 0; }

    // Throws std::invalid_argument for a node or link outside the graph.
    Impact impact(const Loss &loss) const;

    // Every device and every link whose loss alone cuts a device off, each
    // with the devices it cuts off; devices first (by node), then links (by index).
    std::vector<WeakPoint> weak_points() const;

private:
    // By node: whether it reaches an end device other than itself when the
    // marked nodes and links are out.
    std::vector<char> reaching_ends(const std::vector<char> &lost_node, const std::vector<char> &lost_link) const;
    // By node: whether some shortest path from it to an end device passes a
    // marked node or link.
    std::vector<char> shortest_paths_through(const std::vector<char> &lost_node,
                                             const std::vector<char> &lost_link) const;

    const Graph &g_;
    std::vector<char> end_;
    std::vector<char> reaches_;
    std::vector<Node> targets_;  // end devices some arc reaches
};

// Immediate dominators towards `root`: `next` gives, for each node, the
// nodes it leads to (CSR: next_start has nodes + 1 offsets). The answer holds,
// for each node that reaches the root, the first node other than itself that
// every path from it to the root passes (the root for the root itself); -1
// for a node that does not reach the root. The nodes `excluded` marks (when
// given) are taken out of the graph first.
std::vector<std::int32_t> dominators_towards(int nodes, const std::vector<std::int32_t> &next_start,
                                             const std::vector<std::int32_t> &next, std::int32_t root,
                                             const std::vector<char> *excluded = nullptr);

}  // namespace ketral::store::graph

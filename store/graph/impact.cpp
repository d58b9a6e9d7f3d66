#include "store/graph/impact.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ketral::store::graph {

namespace {

std::size_t at(Node n) { return static_cast<std::size_t>(n); }

}  // namespace

ImpactAnalysis::ImpactAnalysis(const Graph &g) : g_(g), end_(at(g.nodes()), 0) {
    for (Node n = 0; n < g.nodes(); ++n) end_[at(n)] = graph::is_end(g, n) ? 1 : 0;
    for (Node n = 0; n < g.nodes(); ++n) {
        if (!end_[at(n)]) continue;
        const Range<Arc> in = g.in(n);
        if (std::any_of(in.begin(), in.end(), [&](const Arc &a) { return a.node != n; })) targets_.push_back(n);
    }
    reaches_ = reaching_ends(std::vector<char>(at(g.nodes()), 0), std::vector<char>(g.links().size(), 0));
}

std::vector<char> ImpactAnalysis::reaching_ends(const std::vector<char> &lost_node,
                                                const std::vector<char> &lost_link) const {
    // Backwards from the end devices, each device keeping the first two
    // distinct ends that reach it: one of them is not the device itself.
    const std::size_t nodes = at(g_.nodes());
    std::vector<Node> first(nodes, -1), second(nodes, -1);
    struct Entry {
        Node node, end;
    };
    std::vector<Entry> queue;
    for (Node e = 0; e < g_.nodes(); ++e)
        if (end_[at(e)] && !lost_node[at(e)]) {
            first[at(e)] = e;
            queue.push_back({e, e});
        }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Entry entry = queue[head];
        for (const Arc &a : g_.in(entry.node)) {
            const Node u = a.node;
            if (u == entry.node || lost_node[at(u)] || lost_link[static_cast<std::size_t>(a.link)]) continue;
            if (first[at(u)] == -1)
                first[at(u)] = entry.end;
            else if (first[at(u)] != entry.end && second[at(u)] == -1)
                second[at(u)] = entry.end;
            else
                continue;
            if (!end_[at(u)]) queue.push_back({u, entry.end});  // an end device is never a way on
        }
    }
    std::vector<char> reach(nodes, 0);
    for (Node n = 0; n < g_.nodes(); ++n)
        reach[at(n)] = (first[at(n)] != -1 && first[at(n)] != n) || (second[at(n)] != -1 && second[at(n)] != n);
    return reach;
}

std::vector<char> ImpactAnalysis::shortest_paths_through(const std::vector<char> &lost_node,
                                                         const std::vector<char> &lost_link) const {
    // Per 64 targets, one bit each, breadth first backwards, level by level:
    // seen = the targets whose distance is known, front = those found at the
    // last level, hit = those of which some shortest path passes the loss.
    const std::size_t nodes = at(g_.nodes());
    std::vector<std::uint64_t> seen(nodes), hit(nodes), front(nodes), next(nodes), next_hit(nodes);
    std::vector<char> through(nodes, 0);
    std::vector<Node> active, touched;
    for (std::size_t chunk = 0; chunk < targets_.size(); chunk += 64) {
        std::fill(seen.begin(), seen.end(), 0);
        std::fill(hit.begin(), hit.end(), 0);
        active.clear();
        for (std::size_t b = 0; b < 64 && chunk + b < targets_.size(); ++b) {
            const Node e = targets_[chunk + b];
            const std::uint64_t bit = std::uint64_t{1} << b;
            seen[at(e)] = front[at(e)] = bit;
            if (lost_node[at(e)]) hit[at(e)] = bit;
            active.push_back(e);
        }
        while (!active.empty()) {
            touched.clear();
            for (const Node w : active) {
                const std::uint64_t f = front[at(w)];
                front[at(w)] = 0;
                const std::uint64_t passes_loss = lost_node[at(w)] ? f : (f & hit[at(w)]);
                for (const Arc &a : g_.in(w)) {
                    const Node u = a.node;
                    if (u == w) continue;
                    const std::uint64_t fresh = f & ~seen[at(u)];
                    if (!fresh) continue;
                    if (!next[at(u)]) touched.push_back(u);
                    next[at(u)] |= fresh;
                    next_hit[at(u)] |= lost_link[static_cast<std::size_t>(a.link)] ? fresh : (passes_loss & fresh);
                }
            }
            active.clear();
            for (const Node u : touched) {
                seen[at(u)] |= next[at(u)];
                hit[at(u)] |= next_hit[at(u)];
                front[at(u)] = next[at(u)];
                next[at(u)] = next_hit[at(u)] = 0;
                if (end_[at(u)])
                    front[at(u)] = 0;  // reached, but never a way on
                else
                    active.push_back(u);
            }
        }
        for (std::size_t n = 0; n < nodes; ++n)
            if (hit[n]) through[n] = 1;
    }
    return through;
}

Impact ImpactAnalysis::impact(const Loss &loss) const {
    std::vector<char> lost_node(at(g_.nodes()), 0), lost_link(g_.links().size(), 0);
    for (const Node n : loss.nodes) {
        if (n < 0 || n >= g_.nodes()) throw std::invalid_argument("impact: no node " + std::to_string(n));
        lost_node[at(n)] = 1;
    }
    for (const std::int32_t l : loss.links) {
        if (l < 0 || static_cast<std::size_t>(l) >= g_.links().size())
            throw std::invalid_argument("impact: no link index " + std::to_string(l));
        lost_link[static_cast<std::size_t>(l)] = 1;
    }
    const std::vector<char> after = reaching_ends(lost_node, lost_link);
    const std::vector<char> through = shortest_paths_through(lost_node, lost_link);
    Impact out;
    for (Node n = 0; n < g_.nodes(); ++n) {
        if (lost_node[at(n)] || !reaches_[at(n)]) continue;
        if (!after[at(n)])
            out.cut_off.push_back(n);
        else if (through[at(n)])
            out.degraded.push_back(n);
    }
    return out;
}

namespace {

// The graph every path to an end device follows: one node per device as a
// start, one per arc, one per end device as a target, and a sink.
//   device -> each of its arcs -> the device it reaches, or that end
//   device's target node when it is one; end device's target -> sink.
// A device or link every path from a device to the sink passes (a dominator
// towards the sink) is a weak point for it.
struct SinkGraph {
    std::int32_t devices = 0, arcs = 0, nodes = 0, sink = 0;
    std::vector<std::int32_t> next_start, next;  // CSR of the arcs
    std::vector<std::int32_t> link_of_arc;       // by arc node - devices
    std::vector<std::int32_t> target_of;         // by device: its target node, or -1
    std::vector<Node> device_of_target;          // by node: the end device of a target node, or -1

    SinkGraph(const Graph &g, const std::vector<char> &end) : devices(g.nodes()) {
        std::vector<std::int32_t> first_arc(at(devices) + 1, 0);
        for (Node n = 0; n < devices; ++n)
            first_arc[at(n) + 1] = first_arc[at(n)] + static_cast<std::int32_t>(g.out(n).size());
        arcs = first_arc.back();
        nodes = devices + arcs;
        target_of.assign(at(devices), -1);
        for (Node n = 0; n < devices; ++n)
            if (end[at(n)]) target_of[at(n)] = nodes++;
        sink = nodes++;

        next_start.assign(static_cast<std::size_t>(nodes) + 1, 0);
        next.reserve(static_cast<std::size_t>(2 * arcs + devices));
        std::int32_t id = 0;
        const auto close_node = [&] {
            next_start[static_cast<std::size_t>(++id)] = static_cast<std::int32_t>(next.size());
        };
        for (Node n = 0; n < devices; ++n) {
            const Range<Arc> out = g.out(n);
            for (std::size_t k = 0; k < out.size(); ++k)
                if (out[k].node != n) next.push_back(devices + first_arc[at(n)] + static_cast<std::int32_t>(k));
            close_node();
        }
        for (Node n = 0; n < devices; ++n)
            for (const Arc &a : g.out(n)) {
                if (a.node != n) next.push_back(end[at(a.node)] ? target_of[at(a.node)] : a.node);
                link_of_arc.push_back(a.link);
                close_node();
            }
        for (Node n = 0; n < devices; ++n)
            if (end[at(n)]) {
                next.push_back(sink);
                close_node();
            }
        close_node();  // the sink

        device_of_target.assign(static_cast<std::size_t>(nodes), -1);
        for (Node n = 0; n < devices; ++n)
            if (target_of[at(n)] >= 0) device_of_target[static_cast<std::size_t>(target_of[at(n)])] = n;
    }

    std::vector<std::int32_t> dominators(const std::vector<char> *excluded = nullptr) const {
        return dominators_towards(nodes, next_start, next, sink, excluded);
    }
};

// The proper dominators of `from` below the sink, in a dominator answer.
template <typename Visit>
void each_dominator(const std::vector<std::int32_t> &idom, std::int32_t from, std::int32_t sink, Visit &&visit) {
    for (std::int32_t x = idom[static_cast<std::size_t>(from)]; x != sink && x >= 0;
         x = idom[static_cast<std::size_t>(x)])
        visit(x);
}

}  // namespace

std::vector<WeakPoint> ImpactAnalysis::weak_points() const {
    const SinkGraph h(g_, end_);
    std::vector<std::vector<Node>> cut_by_device(at(h.devices)), cut_by_link(g_.links().size());
    const auto cuts = [&](std::int32_t x, Node v) {
        if (x < h.devices)
            cut_by_device[static_cast<std::size_t>(x)].push_back(v);
        else if (x < h.devices + h.arcs)
            cut_by_link[static_cast<std::size_t>(h.link_of_arc[static_cast<std::size_t>(x - h.devices)])].push_back(v);
        else
            cut_by_device[at(h.device_of_target[static_cast<std::size_t>(x)])].push_back(v);
    };

    // An end device that starts paths and that paths reach may come back to
    // itself; such paths reach no other end, so its dominators are taken
    // towards every end but itself (below). The others: one pass.
    std::vector<Node> returning;
    std::vector<char> is_returning(at(h.devices), 0);
    for (Node v = 0; v < h.devices; ++v) {
        if (!end_[at(v)] || !reaches_[at(v)]) continue;
        const auto other = [&](const Arc &a) { return a.node != v; };
        if (std::any_of(g_.out(v).begin(), g_.out(v).end(), other) &&
            std::any_of(g_.in(v).begin(), g_.in(v).end(), other)) {
            returning.push_back(v);
            is_returning[at(v)] = 1;
        }
    }
    const std::vector<std::int32_t> idom = h.dominators();
    for (Node v = 0; v < h.devices; ++v)
        if (reaches_[at(v)] && !is_returning[at(v)])
            each_dominator(idom, v, h.sink, [&](std::int32_t x) { cuts(x, v); });

    // With the returning ends numbered, "every end but v" is the union, over
    // the bits of the numbers, of the ends whose bit differs from v's; the
    // dominators towards a union are those common to each part v reaches.
    // So two passes per bit serve them all.
    int bits = 1;
    while ((std::size_t{1} << bits) < returning.size()) ++bits;
    std::vector<std::vector<std::int32_t>> part_dominators;  // [bit * 2 + value]
    if (!returning.empty()) {
        std::vector<char> out_of_part(static_cast<std::size_t>(h.nodes), 0);
        for (int bit = 0; bit < bits; ++bit)
            for (std::size_t value = 0; value < 2; ++value) {
                // The part: the other ends, and the returning ends whose bit is `value`.
                for (std::size_t k = 0; k < returning.size(); ++k)
                    out_of_part[static_cast<std::size_t>(h.target_of[at(returning[k])])] = ((k >> bit) & 1u) != value;
                part_dominators.push_back(h.dominators(&out_of_part));
            }
    }
    std::vector<int> parts_with(static_cast<std::size_t>(h.nodes), 0);
    std::vector<std::int32_t> seen;
    for (std::size_t k = 0; k < returning.size(); ++k) {
        const Node v = returning[k];
        int parts = 0;
        seen.clear();
        for (int bit = 0; bit < bits; ++bit) {
            const std::size_t other_value = ((k >> bit) & 1u) ^ 1u;
            const std::vector<std::int32_t> &idom_part =
                part_dominators[static_cast<std::size_t>(bit) * 2 + other_value];
            if (idom_part[at(v)] < 0) continue;  // v reaches no end of this part: no constraint
            ++parts;
            each_dominator(idom_part, v, h.sink, [&](std::int32_t x) {
                if (parts_with[static_cast<std::size_t>(x)]++ == 0) seen.push_back(x);
            });
        }
        for (const std::int32_t x : seen) {
            if (parts_with[static_cast<std::size_t>(x)] == parts) cuts(x, v);
            parts_with[static_cast<std::size_t>(x)] = 0;
        }
    }

    std::vector<WeakPoint> points;
    const auto add = [&](WeakPoint::Kind kind, std::size_t index, std::vector<Node> &cut) {
        if (cut.empty()) return;
        std::sort(cut.begin(), cut.end());
        cut.erase(std::unique(cut.begin(), cut.end()), cut.end());
        points.push_back({kind, static_cast<std::int32_t>(index), std::move(cut)});
    };
    for (std::size_t n = 0; n < cut_by_device.size(); ++n) add(WeakPoint::Kind::Device, n, cut_by_device[n]);
    for (std::size_t l = 0; l < cut_by_link.size(); ++l) add(WeakPoint::Kind::Link, l, cut_by_link[l]);
    return points;
}

std::vector<std::int32_t> dominators_towards(int nodes, const std::vector<std::int32_t> &next_start,
                                             const std::vector<std::int32_t> &next, std::int32_t root,
                                             const std::vector<char> *excluded) {
    // The iterative algorithm of Cooper, Harvey and Kennedy on the reversed
    // arcs: nodes in reverse postorder of a search from the root, each
    // node's dominator the meeting point of those of the nodes it leads to.
    const auto n = static_cast<std::size_t>(nodes);
    std::vector<std::int32_t> prev_start(n + 1, 0), prev(next.size());
    for (std::size_t v = 0; v < n; ++v)
        for (std::int32_t k = next_start[v]; k < next_start[v + 1]; ++k)
            ++prev_start[static_cast<std::size_t>(next[static_cast<std::size_t>(k)]) + 1];
    for (std::size_t v = 0; v < n; ++v) prev_start[v + 1] += prev_start[v];
    {
        std::vector<std::int32_t> fill(prev_start.begin(), prev_start.end() - 1);
        for (std::size_t v = 0; v < n; ++v)
            for (std::int32_t k = next_start[v]; k < next_start[v + 1]; ++k)
                prev[static_cast<std::size_t>(fill[static_cast<std::size_t>(next[static_cast<std::size_t>(k)])]++)] =
                    static_cast<std::int32_t>(v);
    }

    // Postorder numbers by an iterative depth-first search from the root.
    std::vector<std::int32_t> post(n, -1), order;
    order.reserve(n);
    std::vector<char> visited(n, 0);
    struct Frame {
        std::int32_t node, next;
    };
    std::vector<Frame> stack{{root, prev_start[static_cast<std::size_t>(root)]}};
    visited[static_cast<std::size_t>(root)] = 1;
    if (excluded)
        for (std::size_t v = 0; v < n; ++v)
            if ((*excluded)[v]) visited[v] = 1;
    while (!stack.empty()) {
        Frame &f = stack.back();
        if (f.next < prev_start[static_cast<std::size_t>(f.node) + 1]) {
            const std::int32_t v = prev[static_cast<std::size_t>(f.next++)];
            if (visited[static_cast<std::size_t>(v)]) continue;
            visited[static_cast<std::size_t>(v)] = 1;
            stack.push_back({v, prev_start[static_cast<std::size_t>(v)]});
            continue;
        }
        post[static_cast<std::size_t>(f.node)] = static_cast<std::int32_t>(order.size());
        order.push_back(f.node);
        stack.pop_back();
    }

    std::vector<std::int32_t> idom(n, -1);
    idom[static_cast<std::size_t>(root)] = root;
    const auto meet = [&](std::int32_t a, std::int32_t b) {
        while (a != b) {
            while (post[static_cast<std::size_t>(a)] < post[static_cast<std::size_t>(b)])
                a = idom[static_cast<std::size_t>(a)];
            while (post[static_cast<std::size_t>(b)] < post[static_cast<std::size_t>(a)])
                b = idom[static_cast<std::size_t>(b)];
        }
        return a;
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t k = order.size() - 1; k-- > 0;) {  // reverse postorder, the root (last) left out
            const std::int32_t v = order[k];
            std::int32_t best = -1;
            for (std::int32_t j = next_start[static_cast<std::size_t>(v)];
                 j < next_start[static_cast<std::size_t>(v) + 1]; ++j) {
                const std::int32_t p = next[static_cast<std::size_t>(j)];
                if (post[static_cast<std::size_t>(p)] < 0 || idom[static_cast<std::size_t>(p)] < 0) continue;
                best = best < 0 ? p : meet(p, best);
            }
            if (best != idom[static_cast<std::size_t>(v)]) {
                idom[static_cast<std::size_t>(v)] = best;
                changed = true;
            }
        }
    }
    return idom;
}

}  // namespace ketral::store::graph

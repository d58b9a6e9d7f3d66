// The connectivity graph and its searches, on small hand-drawn networks and
// on random ones, against brute force written here: paths by extending link
// sequences over the whole link list, distances by Floyd-Warshall.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "store/graph/graph.hpp"
#include "store/graph/paths.hpp"
#include "store/graph/routes.hpp"

using namespace ketral::store::graph;

namespace {

// A path as (link id, backward) pairs.
using Walk = std::vector<std::pair<int, bool>>;

const Limits kNoLimits{1u << 30, 1ull << 40};

struct Net {
    int nodes;
    std::vector<Link> links;
    Graph graph() const { return Graph(nodes, links); }
};

// Where a step of a link leaves and arrives.
std::pair<Node, Node> ends(const Link &l, bool backward) { return backward ? std::pair{l.to, l.from} : std::pair{l.from, l.to}; }

// ---- brute force ---------------------------------------------------------------

// Every simple walk from `start` that `keep` accepts, found by trying every
// link (both ways for a bidirectional one) at every length.
struct Brute {
    const Net &net;
    Node start;
    std::vector<char> allowed;  // empty: all
    int max_links = 0;

    bool can_enter(Node n, const std::vector<Node> &visited) const {
        if (std::find(visited.begin(), visited.end(), n) != visited.end()) return false;
        return allowed.empty() || allowed[static_cast<std::size_t>(n)];
    }
    // The steps that extend a walk ending at `at`.
    std::vector<std::pair<const Link *, bool>> moves(Node at, const std::vector<Node> &visited) const {
        std::vector<std::pair<const Link *, bool>> out;
        for (const Link &l : net.links) {
            if (!l.used) continue;
            for (bool back : {false, true}) {
                if (back && !l.bidirectional) continue;
                const auto [from, to] = ends(l, back);
                if (from == at && can_enter(to, visited)) out.emplace_back(&l, back);
            }
        }
        return out;
    }
    template <typename Visit>
    void walk(Walk &w, std::vector<Node> &visited, Visit &visit) const {
        const auto next = moves(visited.back(), visited);
        const bool full = max_links > 0 && static_cast<int>(w.size()) >= max_links;
        if (!visit(w, visited, next.empty() || full)) return;
        if (full) return;
        for (const auto &[l, back] : next) {
            w.emplace_back(l->id, back);
            visited.push_back(ends(*l, back).second);
            walk(w, visited, visit);
            w.pop_back();
            visited.pop_back();
        }
    }
    // Maximal walks (AtEnds).
    std::set<Walk> to_ends() const {
        std::set<Walk> out;
        Walk w;
        std::vector<Node> visited{start};
        auto visit = [&](const Walk &walk, const std::vector<Node> &, bool stuck) {
            if (stuck && !walk.empty()) out.insert(walk);
            return true;
        };
        this->walk(w, visited, visit);
        return out;
    }
    // Walks ending at a target; `through` lets a walk go on past one.
    std::set<Walk> to_targets(const std::vector<char> &targets, bool through) const {
        std::set<Walk> out;
        Walk w;
        std::vector<Node> visited{start};
        auto visit = [&](const Walk &walk, const std::vector<Node> &v, bool) {
            if (walk.empty()) return true;
            if (!targets[static_cast<std::size_t>(v.back())]) return true;
            out.insert(walk);
            return through;
        };
        this->walk(w, visited, visit);
        return out;
    }
};

// All-pairs distances in links (INT_MAX: unreachable), without `removed` when >= 0.
std::vector<std::vector<int>> floyd(const Net &net, Node removed = -1) {
    const int inf = INT_MAX / 4;
    std::vector<std::vector<int>> d(static_cast<std::size_t>(net.nodes), std::vector<int>(static_cast<std::size_t>(net.nodes), inf));
    for (int i = 0; i < net.nodes; ++i) d[i][i] = 0;
    for (const Link &l : net.links) {
        if (!l.used || l.from == removed || l.to == removed || l.from == l.to) continue;
        d[l.from][l.to] = 1;
        if (l.bidirectional) d[l.to][l.from] = 1;
    }
    for (int k = 0; k < net.nodes; ++k)
        for (int i = 0; i < net.nodes; ++i)
            for (int j = 0; j < net.nodes; ++j) d[i][j] = std::min(d[i][j], d[i][k] + d[k][j]);
    for (auto &row : d)
        for (int &x : row)
            if (x >= inf) x = INT_MAX;
    return d;
}

// ---- helpers on the code under test ---------------------------------------------

std::vector<Walk> walks(const Graph &g, const PathSet &set) {
    std::vector<Walk> out;
    for (std::size_t k = 0; k < set.paths(); ++k) {
        Walk w;
        for (const Step &s : set.path(k)) w.emplace_back(g.link(s.link).id, s.backward);
        out.push_back(w);
    }
    return out;
}

std::set<Walk> as_set(const std::vector<Walk> &w) { return {w.begin(), w.end()}; }

std::vector<char> only(int nodes, std::initializer_list<Node> chosen) {
    std::vector<char> v(static_cast<std::size_t>(nodes), 0);
    for (Node n : chosen) v[static_cast<std::size_t>(n)] = 1;
    return v;
}

// ---- the hand-drawn networks ----------------------------------------------------

// Ring 0 -> 1 -> 2 -> 3 -> 0 (links 1..4), link 4 bidirectional; a chord
// 1 -> 3 (link 5); a spur 2 -> 4 (link 6).
Net ring() {
    return {5, {{1, 0, 1, false, true}, {2, 1, 2, false, true}, {3, 2, 3, false, true}, {4, 3, 0, true, true},
                {5, 1, 3, false, true}, {6, 2, 4, false, true}}};
}

// Two redundant cores: boards 0, 1 -> switches 2, 3 -> cores 4, 5 (each
// switch to both), cores joined both ways (link 15), both cores -> nodes 6, 7;
// link 16 (switch 3 -> core 5) is out of use.
enum { kB0, kB1, kS2, kS3, kC4, kC5, kN6, kN7 };
Net cores() {
    return {8,
            {{1, kB0, kS2, false, true},  {2, kB0, kS2, false, true}, {3, kB1, kS3, false, true},
             {4, kS2, kC4, false, true},  {5, kS2, kC5, false, true}, {6, kS3, kC4, false, true},
             {16, kS3, kC5, false, false}, {9, kC4, kN6, false, true}, {10, kC4, kN7, false, true},
             {11, kC5, kN6, false, true}, {12, kC5, kN7, false, true}, {15, kC4, kC5, true, true}}};
}

// Random networks with parallel, bidirectional, unused links and loops back.
Net random_net(unsigned seed, int nodes, int links) {
    std::mt19937 rng(seed);
    Net net{nodes, {}};
    std::uniform_int_distribution<int> node(0, nodes - 1), pct(0, 99);
    for (int id = 1; id <= links; ++id) {
        Node a = node(rng), b = node(rng);
        if (a == b) b = (b + 1) % nodes;
        net.links.push_back({id * 3, a, b, pct(rng) < 25, pct(rng) >= 10});
    }
    std::shuffle(net.links.begin(), net.links.end(), rng);  // any order in, id order kept
    return net;
}

}  // namespace

// ---- the graph ------------------------------------------------------------------

TEST(Graph, ArcsInLinkOrderBothWaysForBidirectionalNoneForUnused) {
    const Net net = cores();
    const Graph g = net.graph();
    std::vector<std::tuple<int, Node, bool>> c4;
    for (const Arc &a : g.out(kC4)) c4.emplace_back(g.link(a.link).id, a.node, a.backward);
    EXPECT_EQ(c4, (std::vector<std::tuple<int, Node, bool>>{{9, kN6, false}, {10, kN7, false}, {15, kC5, false}}));
    std::vector<std::tuple<int, Node, bool>> c5_in;
    for (const Arc &a : g.in(kC5)) c5_in.emplace_back(g.link(a.link).id, a.node, a.backward);
    EXPECT_EQ(c5_in, (std::vector<std::tuple<int, Node, bool>>{{5, kS2, false}, {15, kC4, false}}));
    EXPECT_EQ(g.out(kS3).size(), 1u);  // link 16 is out of use
    ASSERT_EQ(g.out(kC5).size(), 3u);
    EXPECT_TRUE(g.out(kC5)[2].backward);
    EXPECT_EQ(g.source(g.out(kC5)[2]), kC5);
    EXPECT_THROW(Graph(2, {{1, 0, 2, false, true}}), std::invalid_argument);
}

TEST(Graph, EndsAreNodesWithNowhereToGoOrLeaves) {
    // 0 -> 1; 1 <-> 2; 1 -> 3 -> 1; 3 -> 4; 1 -> 4; 4 <-> 5; 6 -> 5; 3 -> 7; 6 -> 7
    const Graph g(8, {{1, 0, 1, false, true}, {2, 1, 2, true, true}, {3, 1, 3, false, true}, {4, 3, 1, false, true},
                      {5, 3, 4, false, true}, {6, 1, 4, false, true}, {7, 4, 5, true, true}, {8, 6, 5, false, true},
                      {9, 3, 7, false, true}, {10, 6, 7, false, true}});
    // 0: joined to 1 only; 2: a leaf on a bidirectional link; 7: nothing leaves it.
    // 4 and 5 lead on (5 reached from 6 goes back to 4); 6 leads to two nodes.
    const std::vector<bool> expected{true, false, true, false, false, false, false, true};
    for (Node n = 0; n < 8; ++n) EXPECT_EQ(is_end(g, n), expected[static_cast<std::size_t>(n)]) << "node " << n;
}

// ---- paths ----------------------------------------------------------------------

TEST(Paths, RingToItsEndsFollowsTheBidirectionalLinkBothWays) {
    const Net net = ring();
    const Graph g = net.graph();
    PathQuery q;
    q.start = 0;
    const auto found = walks(g, find_paths(g, q, kNoLimits));
    // Depth first in link order; every path ends where the only way on is back to 0.
    const std::vector<Walk> expected{{{1, 0}, {2, 0}, {3, 0}},
                                     {{1, 0}, {2, 0}, {6, 0}},
                                     {{1, 0}, {5, 0}},
                                     {{4, 1}}};
    EXPECT_EQ(found, expected);
}

TEST(Paths, BetweenTwoDevicesStopsAtTheTargetAndSkipsUnusedLinks) {
    const Net net = cores();
    const Graph g = net.graph();
    const auto target = only(8, {kN6});
    PathQuery q;
    q.start = kB1;
    q.stop = Stop::AtTargets;
    q.targets = &target;
    const auto found = walks(g, find_paths(g, q, kNoLimits));
    // B1 -> S3 -> C4 -> N6, and -> C4 -> C5 -> N6 over the core link; not via link 16.
    EXPECT_EQ(found, (std::vector<Walk>{{{3, 0}, {6, 0}, {9, 0}}, {{3, 0}, {6, 0}, {15, 0}, {11, 0}}}));
}

TEST(Paths, ParallelLinksGiveDistinctPaths) {
    const Net net = cores();
    const Graph g = net.graph();
    const auto target = only(8, {kC4});
    PathQuery q;
    q.start = kB0;
    q.stop = Stop::AtTargets;
    q.targets = &target;
    // Links 1 and 2, each then direct (4) or via C5 and the core link backwards (5, 15).
    EXPECT_EQ(find_paths(g, q, kNoLimits).paths(), 4u);
}

TEST(Paths, MatchBruteForceOnHandDrawnAndRandomNetworks) {
    std::vector<Net> nets{ring(), cores()};
    for (unsigned seed = 1; seed <= 40; ++seed) nets.push_back(random_net(seed, 4 + seed % 5, 6 + seed % 9));
    for (std::size_t i = 0; i < nets.size(); ++i) {
        const Net &net = nets[i];
        const Graph g = net.graph();
        for (Node start = 0; start < net.nodes; ++start) {
            SCOPED_TRACE("network " + std::to_string(i) + ", start " + std::to_string(start));
            Brute brute{net, start, {}, 0};
            PathQuery q;
            q.start = start;
            const auto ends = walks(g, find_paths(g, q, kNoLimits));
            EXPECT_EQ(as_set(ends).size(), ends.size()) << "a path found twice";
            EXPECT_EQ(as_set(ends), brute.to_ends());

            const Node other = (start + 1) % net.nodes;
            const auto target = only(net.nodes, {other});
            q.stop = Stop::AtTargets;
            q.targets = &target;
            EXPECT_EQ(as_set(walks(g, find_paths(g, q, kNoLimits))), brute.to_targets(target, false));

            const auto two = only(net.nodes, {other, static_cast<Node>((start + 2) % net.nodes)});
            q.targets = &two;
            for (bool through : {false, true}) {
                q.through_targets = through;
                const auto found = walks(g, find_paths(g, q, kNoLimits));
                EXPECT_EQ(as_set(found), brute.to_targets(two, through)) << "through " << through;
            }

            // Inside a subset of nodes, and up to 2 links.
            std::vector<char> allowed(static_cast<std::size_t>(net.nodes), 0);
            for (Node n = 0; n < net.nodes; ++n) allowed[static_cast<std::size_t>(n)] = (n * 7 + static_cast<int>(i)) % 3 != 0;
            PathQuery inside;
            inside.start = start;
            inside.allowed = &allowed;
            Brute brute_inside{net, start, allowed, 0};
            allowed[static_cast<std::size_t>(start)] = 1;  // the brute force checks entries only
            EXPECT_EQ(as_set(walks(g, find_paths(g, inside, kNoLimits))), brute_inside.to_ends());
            PathQuery short_paths;
            short_paths.start = start;
            short_paths.max_links = 2;
            EXPECT_EQ(as_set(walks(g, find_paths(g, short_paths, kNoLimits))), (Brute{net, start, {}, 2}.to_ends()));
        }
    }
}

TEST(Paths, FirstArcFilterChoosesHowPathsBegin) {
    const Net net = cores();
    const Graph g = net.graph();
    PathQuery q;
    q.start = kB0;
    q.first = [&](const Arc &a) { return g.link(a.link).id == 2; };
    for (const Walk &w : walks(g, find_paths(g, q, kNoLimits))) EXPECT_EQ(w.front().first, 2);
    // S2 -> C4 or C5; from each core to N6, N7, or over the core link and then to N6 or N7.
    EXPECT_EQ(find_paths(g, q, kNoLimits).paths(), 8u);
}

TEST(Paths, LimitsRefuseInsteadOfTruncating) {
    const Net net = cores();
    const Graph g = net.graph();
    PathQuery q;
    q.start = kB0;
    const std::size_t rows = find_paths(g, q, kNoLimits).rows();
    EXPECT_NO_THROW(find_paths(g, q, {rows, 1u << 20}));
    try {
        find_paths(g, q, {rows - 1, 1u << 20});
        FAIL() << "no refusal";
    } catch (const LimitExceeded &e) {
        EXPECT_EQ(e.kind(), LimitExceeded::Kind::Rows);
        EXPECT_EQ(e.limit(), rows - 1);
    }
    try {
        find_paths(g, q, {rows, 3});
        FAIL() << "no refusal";
    } catch (const LimitExceeded &e) {
        EXPECT_EQ(e.kind(), LimitExceeded::Kind::Steps);
    }
}

// ---- routes ---------------------------------------------------------------------

TEST(Routes, FirstArcsOfShortestPathsMatchFloydOnEveryNetwork) {
    std::vector<Net> nets{ring(), cores()};
    for (unsigned seed = 100; seed < 140; ++seed) nets.push_back(random_net(seed, 5 + seed % 7, 8 + seed % 13));
    for (std::size_t i = 0; i < nets.size(); ++i) {
        const Net &net = nets[i];
        const Graph g = net.graph();
        const auto d = floyd(net);
        Router router(g);  // reused across sources, as for every switch
        Routes routes;
        for (int max_links : {0, 1, 2}) {
            for (Node s = 0; s < net.nodes; ++s) {
                SCOPED_TRACE("network " + std::to_string(i) + ", source " + std::to_string(s) + ", max " +
                             std::to_string(max_links));
                router.routes(s, max_links, routes);
                std::map<Node, std::pair<int, std::vector<std::int32_t>>> got;
                for (std::size_t k = 0; k < routes.size(); ++k) {
                    EXPECT_TRUE(got.emplace(routes.destination(k),
                                            std::pair{routes.links(k), std::vector<std::int32_t>(routes.first_arcs(k).begin(),
                                                                                                 routes.first_arcs(k).end())})
                                    .second);
                    if (k) {
                        EXPECT_LE(routes.links(k - 1), routes.links(k)) << "nearest first";
                    }
                }
                std::map<Node, std::pair<int, std::vector<std::int32_t>>> expected;
                const Range<Arc> arcs = g.out(s);
                for (Node t = 0; t < net.nodes; ++t) {
                    const int dist = d[s][t];
                    if (t == s || dist == INT_MAX || (max_links && dist > max_links)) continue;
                    std::vector<std::int32_t> first;
                    for (std::size_t k = 0; k < arcs.size(); ++k)
                        if (arcs[k].node != s && d[arcs[k].node][t] != INT_MAX && 1 + d[arcs[k].node][t] == dist)
                            first.push_back(static_cast<std::int32_t>(k));
                    expected[t] = {dist, first};
                }
                EXPECT_EQ(got, expected);
            }
        }
    }
}

TEST(Routes, ManyFirstArcsSpanSeveralWords) {
    // A hub with 150 parallel links to node 1, then 1 -> 2.
    std::vector<Link> links;
    for (int k = 0; k < 150; ++k) links.push_back({k + 1, 0, 1, false, true});
    links.push_back({1000, 1, 2, false, true});
    const Graph g(3, links);
    Router router(g);
    Routes routes;
    router.routes(0, 0, routes);
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes.destination(1), 2);
    EXPECT_EQ(routes.links(1), 2);
    EXPECT_EQ(routes.first_arcs(1).size(), 150u);
    EXPECT_EQ(routes.first_arcs(1)[149], 149);
    router.routes(1, 0, routes);  // a smaller source after a larger one: clean memory
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes.first_arcs(0).size(), 1u);
}

TEST(Routes, ReachThroughAnArcNeverComesBackToTheSource) {
    std::vector<Net> nets{ring(), cores()};
    for (unsigned seed = 200; seed < 230; ++seed) nets.push_back(random_net(seed, 5 + seed % 6, 7 + seed % 10));
    for (const Net &net : nets) {
        const Graph g = net.graph();
        for (Node s = 0; s < net.nodes; ++s) {
            const auto without = floyd(net, s);
            const Range<Arc> arcs = g.out(s);
            for (std::size_t k = 0; k < arcs.size(); ++k) {
                if (arcs[k].node == s) continue;
                for (int max_links : {0, 2}) {
                    std::map<Node, int> got, expected;
                    for (const Reached &r : reach_through(g, s, {static_cast<std::int32_t>(k)}, max_links))
                        EXPECT_TRUE(got.emplace(r.node, r.links).second);
                    for (Node t = 0; t < net.nodes; ++t) {
                        const int dist = without[arcs[k].node][t];
                        if (t == s || dist == INT_MAX || (max_links && 1 + dist > max_links)) continue;
                        expected[t] = 1 + dist;
                    }
                    EXPECT_EQ(got, expected) << "source " << s << ", arc " << k;
                }
            }
        }
    }
}

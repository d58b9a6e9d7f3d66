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
#include <tuple>
#include <vector>

#include "store/graph/graph.hpp"
#include "store/graph/impact.hpp"
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
    std::vector<char> stops = {};  // end devices: a path may end there, never pass
    Graph graph() const { return Graph(nodes, links, stops); }
    bool stop(Node n) const { return !stops.empty() && stops[static_cast<std::size_t>(n)]; }
};

// Where a step of a link leaves and arrives.
std::pair<Node, Node> ends(const Link &l, bool backward) {
    return backward ? std::pair{l.to, l.from} : std::pair{l.from, l.to};
}

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
        const bool stopped = visited.size() > 1 && net.stop(visited.back());
        const auto next = stopped ? std::vector<std::pair<const Link *, bool>>{} : moves(visited.back(), visited);
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

// All-pairs distances in links (INT_MAX: unreachable), without `removed` when
// >= 0; a path passes no end device (it may start at one).
std::vector<std::vector<int>> floyd(const Net &net, Node removed = -1) {
    const int inf = INT_MAX / 4;
    std::vector<std::vector<int>> d(static_cast<std::size_t>(net.nodes),
                                    std::vector<int>(static_cast<std::size_t>(net.nodes), inf));
    for (int i = 0; i < net.nodes; ++i) d[i][i] = 0;
    for (const Link &l : net.links) {
        if (!l.used || l.from == removed || l.to == removed || l.from == l.to) continue;
        d[l.from][l.to] = 1;
        if (l.bidirectional) d[l.to][l.from] = 1;
    }
    for (int k = 0; k < net.nodes; ++k) {
        if (net.stop(k)) continue;
        for (int i = 0; i < net.nodes; ++i)
            for (int j = 0; j < net.nodes; ++j) d[i][j] = std::min(d[i][j], d[i][k] + d[k][j]);
    }
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
    return {5,
            {{1, 0, 1, false, true},
             {2, 1, 2, false, true},
             {3, 2, 3, false, true},
             {4, 3, 0, true, true},
             {5, 1, 3, false, true},
             {6, 2, 4, false, true}}};
}

// Two redundant cores: boards 0, 1 -> switches 2, 3 -> cores 4, 5 (each
// switch to both), cores joined both ways (link 15), both cores -> nodes 6, 7;
// link 16 (switch 3 -> core 5) is out of use.
enum { kB0, kB1, kS2, kS3, kC4, kC5, kN6, kN7 };
Net cores() {
    return {8,
            {{1, kB0, kS2, false, true},
             {2, kB0, kS2, false, true},
             {3, kB1, kS3, false, true},
             {4, kS2, kC4, false, true},
             {5, kS2, kC5, false, true},
             {6, kS3, kC4, false, true},
             {16, kS3, kC5, false, false},
             {9, kC4, kN6, false, true},
             {10, kC4, kN7, false, true},
             {11, kC5, kN6, false, true},
             {12, kC5, kN7, false, true},
             {15, kC4, kC5, true, true}}};
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

// The same with about one node in five marked as an end device.
Net random_net_with_ends(unsigned seed, int nodes, int links) {
    Net net = random_net(seed, nodes, links);
    std::mt19937 rng(seed * 7919u);
    net.stops.assign(static_cast<std::size_t>(nodes), 0);
    for (char &mark : net.stops) mark = rng() % 5 == 0;
    return net;
}

// A server s linked both ways to two cores c1 and c2; board b -> c1, c2 -> farm node f.
enum { kBoard, kCore1, kCore2, kServer, kFarm };
Net dual_homed(bool server_is_end) {
    Net net{5,
            {{1, kBoard, kCore1, false, true},
             {2, kCore1, kServer, true, true},
             {3, kServer, kCore2, true, true},
             {4, kCore2, kFarm, false, true}}};
    if (server_is_end) net.stops = {0, 0, 0, 1, 0};
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
    const Graph g(8, {{1, 0, 1, false, true},
                      {2, 1, 2, true, true},
                      {3, 1, 3, false, true},
                      {4, 3, 1, false, true},
                      {5, 3, 4, false, true},
                      {6, 1, 4, false, true},
                      {7, 4, 5, true, true},
                      {8, 6, 5, false, true},
                      {9, 3, 7, false, true},
                      {10, 6, 7, false, true}});
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
    const std::vector<Walk> expected{{{1, 0}, {2, 0}, {3, 0}}, {{1, 0}, {2, 0}, {6, 0}}, {{1, 0}, {5, 0}}, {{4, 1}}};
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
    for (unsigned seed = 41; seed <= 70; ++seed) nets.push_back(random_net_with_ends(seed, 4 + seed % 5, 6 + seed % 9));
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
            for (Node n = 0; n < net.nodes; ++n)
                allowed[static_cast<std::size_t>(n)] = (n * 7 + static_cast<int>(i)) % 3 != 0;
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

TEST(Paths, EndDevicesEndPathsAndAreNeverPassedThrough) {
    for (const bool marked : {false, true}) {
        SCOPED_TRACE(marked ? "server marked as an end device" : "no marks");
        const Graph g = dual_homed(marked).graph();
        EXPECT_EQ(is_end(g, kServer), marked);
        const auto farm = only(5, {kFarm});
        PathQuery q;
        q.start = kBoard;
        q.stop = Stop::AtTargets;
        q.targets = &farm;
        EXPECT_EQ(find_paths(g, q, kNoLimits).paths(), marked ? 0u : 1u);  // only through the server
        PathQuery all;
        all.start = kBoard;
        const std::vector<Walk> to_server{{{1, false}, {2, false}}},
            through{{{1, false}, {2, false}, {3, false}, {4, false}}};
        EXPECT_EQ(walks(g, find_paths(g, all, kNoLimits)), marked ? to_server : through);
        // An end device still starts paths.
        PathQuery from_server;
        from_server.start = kServer;
        EXPECT_EQ(walks(g, find_paths(g, from_server, kNoLimits)),
                  (std::vector<Walk>{{{2, true}}, {{3, false}, {4, false}}}));
        Router router(g);
        Routes routes;
        router.routes(kCore1, 0, routes);
        EXPECT_EQ(routes.size(), marked ? 1u : 3u);  // the server; or also core2 and the farm node behind it
    }
}

TEST(Paths, ASearchNeverEntersDevicesThatReachTheTargetOnlyBackThroughTheStart) {
    // The start 0 in a mesh of 12 (every pair linked both ways); 0 -> 12 -> 13 the only way to 13.
    Net net{14, {}};
    int id = 0;
    for (Node a = 0; a < 12; ++a)
        for (Node b = a + 1; b < 12; ++b) net.links.push_back({++id, a, b, true, true});
    net.links.push_back({++id, 0, 12, false, true});
    net.links.push_back({++id, 12, 13, false, true});
    const Graph g = net.graph();
    const auto target = only(14, {13});
    PathQuery q;
    q.start = 0;
    q.stop = Stop::AtTargets;
    q.targets = &target;
    // A look at the 12 links of the start and the gateway's one; entering the
    // mesh would try every one of its ~10^8 paths.
    const PathSet found = find_paths(g, q, {100, 20});
    EXPECT_EQ(walks(g, found), (std::vector<Walk>{{{id - 1, false}, {id, false}}}));
}

// ---- routes ---------------------------------------------------------------------

TEST(Routes, FirstArcsOfShortestPathsMatchFloydOnEveryNetwork) {
    std::vector<Net> nets{ring(), cores()};
    for (unsigned seed = 100; seed < 140; ++seed) nets.push_back(random_net(seed, 5 + seed % 7, 8 + seed % 13));
    for (unsigned seed = 140; seed < 170; ++seed)
        nets.push_back(random_net_with_ends(seed, 5 + seed % 7, 8 + seed % 13));
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
                    EXPECT_TRUE(
                        got.emplace(routes.destination(k),
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
                    for (std::size_t k = 0; k < arcs.size(); ++k) {
                        const Node w = arcs[k].node;  // passed on the way to t, unless it is t
                        if (w != s && (w == t || !net.stop(w)) && d[w][t] != INT_MAX && 1 + d[w][t] == dist)
                            first.push_back(static_cast<std::int32_t>(k));
                    }
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
    for (unsigned seed = 230; seed < 250; ++seed)
        nets.push_back(random_net_with_ends(seed, 5 + seed % 6, 7 + seed % 10));
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
                        const Node w = arcs[k].node;
                        const int dist = without[w][t];
                        if (t == s || dist == INT_MAX || (max_links && 1 + dist > max_links)) continue;
                        if (t != w && net.stop(w)) continue;  // an end device is not passed
                        expected[t] = 1 + dist;
                    }
                    EXPECT_EQ(got, expected) << "source " << s << ", arc " << k;
                }
            }
        }
    }
}

// ---- failure impact -------------------------------------------------------------

namespace {

struct Lost {
    std::set<Node> nodes;
    std::set<int> link_ids;
};

// Steps out of `at` over links in use that the loss leaves.
std::vector<std::pair<const Link *, bool>> steps_from(const Net &net, Node at, const Lost &lost) {
    std::vector<std::pair<const Link *, bool>> out;
    for (const Link &l : net.links) {
        if (!l.used || lost.link_ids.count(l.id)) continue;
        for (bool back : {false, true}) {
            if (back && !l.bidirectional) continue;
            const auto [from, to] = ends(l, back);
            if (from == at && to != at && !lost.nodes.count(to)) out.emplace_back(&l, back);
        }
    }
    return out;
}

// The end devices v reaches (other than itself) with their distances; paths
// pass no end device.
std::map<Node, int> ends_reached(const Net &net, const std::vector<char> &end, Node v, const Lost &lost) {
    std::map<Node, int> dist{{v, 0}}, found;
    std::vector<Node> queue{v};
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Node at = queue[head];
        for (const auto &[l, back] : steps_from(net, at, lost)) {
            const Node to = ends(*l, back).second;
            if (dist.count(to)) continue;
            dist[to] = dist[at] + 1;
            if (end[static_cast<std::size_t>(to)])
                found[to] = dist[to];
            else
                queue.push_back(to);
        }
    }
    return found;
}

// Whether some path of `left` more links from the last visited node to e
// (through no end device, no node twice) uses a lost link or device.
bool shortest_path_lost(const Net &net, const std::vector<char> &end, const Lost &lost, Node e, int left,
                        std::vector<Node> &visited, bool used) {
    const Node at = visited.back();
    if (at == e) return used;
    if (left == 0 || (visited.size() > 1 && end[static_cast<std::size_t>(at)])) return false;
    for (const auto &[l, back] : steps_from(net, at, Lost{})) {
        const Node to = ends(*l, back).second;
        if (std::find(visited.begin(), visited.end(), to) != visited.end()) continue;
        visited.push_back(to);
        const bool found = shortest_path_lost(net, end, lost, e, left - 1, visited,
                                              used || lost.link_ids.count(l->id) || lost.nodes.count(to));
        visited.pop_back();
        if (found) return true;
    }
    return false;
}

Impact brute_impact(const Net &net, const std::vector<char> &end, const Lost &lost) {
    Impact out;
    for (Node v = 0; v < net.nodes; ++v) {
        if (lost.nodes.count(v)) continue;
        const auto before = ends_reached(net, end, v, Lost{});
        if (before.empty()) continue;
        if (ends_reached(net, end, v, lost).empty()) {
            out.cut_off.push_back(v);
            continue;
        }
        for (const auto &[e, d] : before) {
            std::vector<Node> visited{v};
            if (shortest_path_lost(net, end, lost, e, d, visited, false)) {
                out.degraded.push_back(v);
                break;
            }
        }
    }
    return out;
}

// Servers marked as end devices, linked both ways to core 1 and, all but
// the first three, to core 2; a board sends to core 1.
Net servers() {
    const int count = 9;
    Net net{3 + count, {{1, 0, 1, false, true}}};
    net.stops.assign(static_cast<std::size_t>(net.nodes), 0);
    for (int k = 0; k < count; ++k) {
        const Node server = 3 + k;
        net.stops[static_cast<std::size_t>(server)] = 1;
        net.links.push_back({10 + 2 * k, 1, server, true, true});
        if (k >= 3) net.links.push_back({11 + 2 * k, server, 2, true, true});
    }
    return net;
}

std::vector<Net> impact_networks() {
    std::vector<Net> nets{ring(), cores(), dual_homed(false), dual_homed(true), servers()};
    for (unsigned seed = 300; seed < 330; ++seed) nets.push_back(random_net(seed, 4 + seed % 6, 5 + seed % 11));
    for (unsigned seed = 330; seed < 360; ++seed)
        nets.push_back(random_net_with_ends(seed, 4 + seed % 6, 5 + seed % 11));
    return nets;
}

std::vector<char> end_marks(const Graph &g) {
    std::vector<char> end(static_cast<std::size_t>(g.nodes()));
    for (Node n = 0; n < g.nodes(); ++n) end[static_cast<std::size_t>(n)] = is_end(g, n);
    return end;
}

}  // namespace

TEST(Impact, CutOffAndDegradedDevicesMatchBruteForce) {
    const auto nets = impact_networks();
    for (std::size_t i = 0; i < nets.size(); ++i) {
        const Net &net = nets[i];
        const Graph g = net.graph();
        const auto end = end_marks(g);
        const ImpactAnalysis analysis(g);
        const auto same = [&](const Loss &loss, const Lost &lost, const std::string &what) {
            const Impact got = analysis.impact(loss), expected = brute_impact(net, end, lost);
            EXPECT_EQ(got.cut_off, expected.cut_off) << "network " << i << ", " << what;
            EXPECT_EQ(got.degraded, expected.degraded) << "network " << i << ", " << what;
        };
        for (Node x = 0; x < net.nodes; ++x) same({{x}, {}}, {{x}, {}}, "device " + std::to_string(x));
        for (std::size_t l = 0; l < g.links().size(); ++l) {
            const int id = g.links()[l].id;
            same({{}, {static_cast<std::int32_t>(l)}}, {{}, {id}}, "link " + std::to_string(id));
            // A port: its link and a second one lost together.
            const std::size_t other = (l + 1) % g.links().size();
            same({{}, {static_cast<std::int32_t>(l), static_cast<std::int32_t>(other)}},
                 {{}, {id, g.links()[other].id}},
                 "links " + std::to_string(id) + " and " + std::to_string(g.links()[other].id));
        }
    }
}

TEST(Impact, WeakPointsAreTheSingleDevicesAndLinksWhoseLossCutsADeviceOff) {
    const auto nets = impact_networks();
    for (std::size_t i = 0; i < nets.size(); ++i) {
        const Net &net = nets[i];
        const Graph g = net.graph();
        const auto end = end_marks(g);
        std::vector<std::tuple<WeakPoint::Kind, std::int32_t, std::vector<Node>>> expected, got;
        for (Node x = 0; x < net.nodes; ++x) {
            const auto cut = brute_impact(net, end, {{x}, {}}).cut_off;
            if (!cut.empty()) expected.emplace_back(WeakPoint::Kind::Device, x, cut);
        }
        for (std::size_t l = 0; l < g.links().size(); ++l) {
            const auto cut = brute_impact(net, end, {{}, {g.links()[l].id}}).cut_off;
            if (!cut.empty()) expected.emplace_back(WeakPoint::Kind::Link, static_cast<std::int32_t>(l), cut);
        }
        for (const WeakPoint &w : ImpactAnalysis(g).weak_points()) got.emplace_back(w.kind, w.index, w.cut_off);
        EXPECT_EQ(got, expected) << "network " << i;
    }
}

TEST(Impact, RedundantCoresLeaveOnlyTheSingleWaysAsWeakPoints) {
    const Graph g = cores().graph();
    const ImpactAnalysis analysis(g);
    // B0 and B1 are leaves (ends that start paths); B1's only way is S3 -> C4 (link 16 is out of use).
    std::vector<std::pair<std::string, std::vector<Node>>> got;
    for (const WeakPoint &w : analysis.weak_points())
        got.emplace_back((w.kind == WeakPoint::Kind::Device ? "device " + std::to_string(w.index)
                                                            : "link " + std::to_string(g.link(w.index).id)),
                         w.cut_off);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::vector<Node>>>{{"device 2", {kB0}},
                                                                           {"device 3", {kB1}},
                                                                           {"device 4", {kB1, kS3}},
                                                                           {"link 3", {kB1}},
                                                                           {"link 6", {kB1, kS3}}}));
    // One of B0's two parallel links: B0 keeps a way but loses half its shortest paths.
    const Impact one_link = analysis.impact({{}, {0}});
    EXPECT_TRUE(one_link.cut_off.empty());
    EXPECT_EQ(one_link.degraded, (std::vector<Node>{kB0}));
    EXPECT_THROW(analysis.impact({{8}, {}}), std::invalid_argument);
}

// Failure impact on a network read from a text file written by
// bench/impact.py: one impact query for each of a sample of devices and
// links, and the whole-network report of weak points. Prints one JSON object.
//
//   impact_bench FILE ROUNDS
//
// FILE: "nodes N" then one line per node "end MARK" (MARK 0 or 1), then one
// line per link "link ID FROM TO BIDIRECTIONAL USED".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "store/graph/impact.hpp"

using namespace ketral::store::graph;

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename Run>
double best_of(int rounds, Run &&run) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, seconds_since(start));
    }
    return best;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: impact_bench FILE ROUNDS\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    const int rounds = std::max(1, std::atoi(argv[2]));
    std::string word;
    int nodes = 0;
    in >> word >> nodes;
    std::vector<char> ends(static_cast<std::size_t>(nodes));
    for (char &mark : ends) {
        int m = 0;
        in >> word >> m;
        mark = m != 0;
    }
    std::vector<Link> links;
    int id, from, to, bidirectional, used;
    while (in >> word >> id >> from >> to >> bidirectional >> used)
        links.push_back({id, from, to, bidirectional != 0, used != 0});
    const Graph g(nodes, std::move(links), std::move(ends));

    std::size_t reaching = 0;
    const double setup = best_of(rounds, [&] {
        const ImpactAnalysis a(g);
        reaching = 0;
        for (Node n = 0; n < g.nodes(); ++n) reaching += a.reaches_end(n);
    });
    const ImpactAnalysis analysis(g);

    // A spread of devices and links: every 97th of each.
    std::vector<Loss> losses;
    for (Node n = 0; n < g.nodes(); n += 97) losses.push_back({{n}, {}});
    const std::size_t device_queries = losses.size();
    for (std::size_t l = 0; l < g.links().size(); l += 97) losses.push_back({{}, {static_cast<std::int32_t>(l)}});
    double worst = 0, total = 0;
    std::size_t cut = 0, degraded = 0;
    for (const Loss &loss : losses) {
        Impact impact;
        const double t = best_of(rounds, [&] { impact = analysis.impact(loss); });
        worst = std::max(worst, t);
        total += t;
        cut += impact.cut_off.size();
        degraded += impact.degraded.size();
    }

    std::vector<WeakPoint> points;
    const double report = best_of(rounds, [&] { points = ImpactAnalysis(g).weak_points(); });
    std::size_t weak_devices = 0, weak_links = 0;
    for (const WeakPoint &w : points) (w.kind == WeakPoint::Kind::Device ? weak_devices : weak_links) += 1;

    std::printf(
        "{\"nodes\": %d, \"links\": %zu, \"reaching\": %zu, \"setup_s\": %.6f, \"queries\": %zu, "
        "\"device_queries\": %zu, \"query_mean_s\": %.6f, \"query_worst_s\": %.6f, \"cut_off\": %zu, "
        "\"degraded\": %zu, \"report_s\": %.6f, \"weak_devices\": %zu, \"weak_links\": %zu}\n",
        g.nodes(), g.links().size(), reaching, setup, losses.size(), device_queries,
        total / static_cast<double>(losses.size()), worst, cut, degraded, report, weak_devices, weak_links);
    return 0;
}

// Routing tables of every switch computed in memory, as CreateRoutingTable
// computes them, on a database written by bench/paths.py. Prints one JSON
// object with the figures; bench/paths.py runs it beside its references.
//
//   graph_bench DATABASE ROUNDS DEVICETYPE...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/graph/routes.hpp"
#include "store/paths/network.hpp"
#include "store/sql/sqlite.hpp"

using namespace ketral::store;

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: graph_bench DATABASE ROUNDS DEVICETYPE...\n");
        return 2;
    }
    auto db = sql::open_sqlite(argv[1]);
    const int rounds = std::max(1, std::atoi(argv[2]));

    auto start = std::chrono::steady_clock::now();
    const auto net = paths::load_network(*db);
    const double load = seconds_since(start);

    std::vector<graph::Node> switches;
    for (int a = 3; a < argc; ++a) {
        auto ids = db->prepare(
            "SELECT d.deviceid FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
            "WHERE t.devicetype = ? ORDER BY d.deviceid");
        ids.bind_all(std::string(argv[a]));
        while (ids.step()) switches.push_back(net->node_of_id(ids->column_int(0)));
    }

    // Every entry as CreateRoutingTable keeps it: destination, links, the ports of the first arcs.
    double best = 1e9;
    std::size_t entries = 0, hops = 0;
    std::uint64_t checksum = 0;
    for (int r = 0; r < rounds; ++r) {
        start = std::chrono::steady_clock::now();
        graph::Router router(net->graph);
        graph::Routes routes;
        entries = hops = 0;
        checksum = 0;
        for (const graph::Node s : switches) {
            router.routes(s, 0, routes);
            const auto arcs = net->graph.out(s);
            entries += routes.size();
            hops += routes.hops();
            for (std::size_t k = 0; k < routes.size(); ++k)
                for (const std::int32_t hop : routes.first_arcs(k)) {
                    const graph::Arc &arc = arcs[static_cast<std::size_t>(hop)];
                    const auto &d = net->detail[static_cast<std::size_t>(arc.link)];
                    checksum += static_cast<std::uint64_t>(arc.backward ? d.port_to : d.port_from) *
                                static_cast<std::uint64_t>(routes.links(k));
                }
        }
        best = std::min(best, seconds_since(start));
    }
    std::printf(
        "{\"load_s\": %.6f, \"routing_s\": %.6f, \"switches\": %zu, \"entries\": %zu, \"hops\": %zu, "
        "\"checksum\": %llu}\n",
        load, best, switches.size(), entries, hops, static_cast<unsigned long long>(checksum));
    return 0;
}

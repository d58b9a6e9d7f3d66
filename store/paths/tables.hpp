// The stored routing and destination tables: their rows as computed on the
// connectivity graph, and the writing of them with the network they were
// computed on. CreateRoutingTable and CreateDestinationTable (tables.cpp)
// compute and store; the readers (table_readers.cpp) answer them.
#pragma once

#include <cstdint>
#include <vector>

#include "store/paths/common.hpp"

namespace ketral::store::paths {

// One row of either table: the device sends on port `port` to `node`, over
// `links` links at fewest.
struct TableRow {
    std::int64_t port;
    graph::Node node;
    int links;
};

// The port id an arc of a device leaves by: the output end of its link, or
// the input end of a bidirectional link followed backwards.
std::int64_t port_of(const Network &net, const graph::Arc &arc);

// Routing table of `source`: for every device it reaches within max_links
// (0: no limit), each of its ports that begins a shortest path there.
std::vector<TableRow> routes(const Network &net, graph::Node source, int max_links);
// Destination table of `source`: for each port it can send on (by port id),
// the end devices reachable through it, nearest first.
std::vector<TableRow> destinations(const Network &net, graph::Node source, int max_links);

// Replace the device's stored rows, and record its limit and the network
// (net.built_at) they were computed on, in the caller's transaction.
void write_routes(sql::Connection &db, const Network &net, graph::Node source, int max_links,
                  const std::vector<TableRow> &rows);
void write_destinations(sql::Connection &db, const Network &net, graph::Node source, int max_links,
                        const std::vector<TableRow> &rows);

}  // namespace ketral::store::paths

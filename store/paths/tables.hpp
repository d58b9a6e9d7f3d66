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

// A stored table, by the id of the device it is built for: its rows, and its
// stamp (the limit it was built with, the network count it was built at).
struct StoredTable {
    const char *stamp;         // selects max_links, network
    const char *rows;          // selects destinationid, portid, nbr_links
    const char *clear;         // deletes the rows
    const char *unstamp;       // deletes the stamp
    const char *stamp_insert;  // inserts (id, max_links, network)
    sql::BulkTable table;      // the table of the rows, columns (id, destination id, port id, links)
    std::vector<TableRow> (*compute)(const Network &, graph::Node, int);
};
extern const StoredTable kRoutingTable, kDestinationTable;

// Replaces the device's stored rows, and records its limit and the network
// (net.built_at) they were computed on, in the caller's transaction. The
// rows go in by destination id, then port id: in key order of the routing
// table, whose rows are then appended.
void write_table(sql::Connection &db, const StoredTable &table, const Network &net, graph::Node source, int max_links,
                 const std::vector<TableRow> &rows);

// The routing table has no foreign keys: the deletes remove the rows that
// name what they delete, in their transaction, before it goes. A device's
// rows as switch and as destination (a key seek per switch with a stored
// table, never a scan):
void drop_routes_of_device(sql::Connection &db, std::int64_t deviceid);
// A port's rows: those of the switch it belongs to.
void drop_routes_of_port(sql::Connection &db, std::int64_t portid);

}  // namespace ketral::store::paths

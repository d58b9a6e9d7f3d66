// The connectivity cache: the macro links of the database as a graph
// (store/graph), with the names and ports the answers need, built on first
// use and kept in Session::connectivity.
//
// Keeping it current: every write operation of the batch machinery declares
// kChangesGraph; one that is set (a macro link added, changed or removed, a
// port that carries one, a device's name, type or deletion, a link type's
// name or members) drops the graph when its transaction commits, and the
// next path query rebuilds it from the database. Micro links are read from
// the database by every micro-connectivity query and need no graph. The
// stored routing and destination tables are not touched: they stay as
// CreateRoutingTable and CreateDestinationTable last wrote them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/graph/graph.hpp"
#include "store/graph/paths.hpp"
#include "store/session.hpp"
#include "store/sql/database.hpp"

namespace ketral::store::paths {

// What a macro link carries besides its place in the graph, by link index.
struct LinkDetail {
    std::int64_t port_from, port_to;  // port ids: the output end, the input end
    std::string nbr_from, nbr_to;     // port numbers
    std::string type_from, type_to;   // port types ('' when untyped)
    std::int32_t lktype;              // link type id
    bool has_info;
    std::string info;  // link_info
};

class Network : public ConnectivityCache {
public:
    graph::Graph graph;
    // By node: the functional device.
    std::vector<std::int64_t> device_id;
    std::vector<std::string> name;
    std::vector<std::int64_t> device_type;
    // By link index.
    std::vector<LinkDetail> detail;
    std::unordered_map<std::int64_t, std::string> link_type_name;
    // The database's count of network changes when the graph was read: a
    // call that finds another count reads the graph again.
    std::int64_t built_at = -1;

    // The node of a device name or id; -1 when none.
    graph::Node node(const std::string &device) const;
    graph::Node node_of_id(std::int64_t id) const;

    // The paths of the last call that failed because its buffers were too
    // small, kept for the caller's second call with larger ones.
    std::string kept_query;
    std::shared_ptr<const graph::PathSet> kept_paths;

private:
    friend std::unique_ptr<Network> load_network(sql::Connection &db);
    std::unordered_map<std::string, graph::Node> by_name_;
    std::unordered_map<std::int64_t, graph::Node> by_id_;
};

// Reads devices, macro links and link types from the database.
std::unique_ptr<Network> load_network(sql::Connection &db);

// The database's count of network changes (database_state.network).
std::int64_t network_changes(sql::Connection &db);

// The session's graph: built when there is none, rebuilt first when reload
// or when the network changed since it was built (by any connection).
Network &network(Session &session, bool reload);

}  // namespace ketral::store::paths

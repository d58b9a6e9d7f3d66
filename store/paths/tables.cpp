// The stored tables. Routing table of a switch: for every device it reaches,
// each output port that begins a shortest path, with the path's links.
// Destination table of a device: for each port it can send on, the end
// devices reachable through that port. Both are computed on the connectivity
// graph and written in one transaction, replacing the device's earlier rows.
#include <algorithm>
#include <unordered_map>

#include "store/export.hpp"
#include "store/graph/routes.hpp"
#include "store/paths/tables.hpp"

namespace ketral::store::paths {

std::int64_t port_of(const Network &net, const graph::Arc &arc) {
    const LinkDetail &d = net.detail[static_cast<std::size_t>(arc.link)];
    return arc.backward ? d.port_to : d.port_from;
}

std::vector<TableRow> routes(const Network &net, graph::Node source, int max_links) {
    graph::Router router(net.graph);
    graph::Routes found;
    router.routes(source, max_links, found);
    const graph::Range<graph::Arc> arcs = net.graph.out(source);
    std::vector<TableRow> rows;
    std::vector<std::int64_t> ports;
    for (std::size_t k = 0; k < found.size(); ++k) {
        ports.clear();
        for (const std::int32_t hop : found.first_arcs(k))
            ports.push_back(port_of(net, arcs[static_cast<std::size_t>(hop)]));
        std::sort(ports.begin(), ports.end());
        ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
        for (const std::int64_t port : ports) rows.push_back({port, found.destination(k), found.links(k)});
    }
    return rows;
}

std::vector<TableRow> destinations(const Network &net, graph::Node source, int max_links) {
    // The first arcs of each port the device can send on, ports in id order.
    const graph::Range<graph::Arc> arcs = net.graph.out(source);
    std::vector<std::pair<std::int64_t, std::int32_t>> by_port;
    for (std::size_t k = 0; k < arcs.size(); ++k)
        if (arcs[k].node != source) by_port.emplace_back(port_of(net, arcs[k]), static_cast<std::int32_t>(k));
    std::sort(by_port.begin(), by_port.end());

    std::vector<TableRow> rows;
    std::vector<std::int32_t> first;
    for (std::size_t i = 0; i < by_port.size();) {
        const std::int64_t port = by_port[i].first;
        first.clear();
        for (; i < by_port.size() && by_port[i].first == port; ++i) first.push_back(by_port[i].second);
        for (const graph::Reached &r : graph::reach_through(net.graph, source, first, max_links))
            if (graph::is_end(net.graph, r.node)) rows.push_back({port, r.node, r.links});
    }
    return rows;
}

const StoredTable kRoutingTable{"SELECT max_links, network FROM routing_switch WHERE switchid = ?",
                                "SELECT destinationid, portid, nbr_links FROM routing_table WHERE switchid = ?",
                                "DELETE FROM routing_table WHERE switchid = ?",
                                "DELETE FROM routing_switch WHERE switchid = ?",
                                "INSERT INTO routing_switch (switchid, max_links, network) VALUES (?, ?, ?)",
                                {"routing_table", "switchid, destinationid, portid, nbr_links", 0},
                                routes};
const StoredTable kDestinationTable{"SELECT max_links, network FROM destination_device WHERE deviceid = ?",
                                    "SELECT destinationid, portid, nbr_links FROM destination_table WHERE deviceid = ?",
                                    "DELETE FROM destination_table WHERE deviceid = ?",
                                    "DELETE FROM destination_device WHERE deviceid = ?",
                                    "INSERT INTO destination_device (deviceid, max_links, network) VALUES (?, ?, ?)",
                                    {"destination_table", "deviceid, destinationid, portid, nbr_links", 0},
                                    destinations};

void write_table(sql::Connection &db, const StoredTable &table, const Network &net, graph::Node source, int max_links,
                 const std::vector<TableRow> &rows) {
    const std::int64_t id = net.device_id[static_cast<std::size_t>(source)];
    db.run(table.clear, id);
    db.run(table.unstamp, id);
    db.run(table.stamp_insert, id, max_links, net.built_at);
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto destination = [&](std::size_t i) { return net.device_id[static_cast<std::size_t>(rows[i].node)]; };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return destination(a) != destination(b) ? destination(a) < destination(b) : rows[a].port < rows[b].port;
    });
    std::vector<std::int64_t> values;
    values.reserve(4 * rows.size());
    for (const std::size_t i : order) values.insert(values.end(), {id, destination(i), rows[i].port, rows[i].links});
    db.insert_int_rows(table.table, values);
}

void drop_routes_of_device(sql::Connection &db, std::int64_t deviceid) {
    db.run("DELETE FROM routing_table WHERE switchid = ?", deviceid);
    // As destination: one key seek per switch with a stored table. A single
    // DELETE ... IN (SELECT ...) is left to the planner, which PostgreSQL
    // may answer with a scan of every row (a hash join) when its estimates
    // of a freshly written table are off.
    std::vector<std::int64_t> switches;
    for (auto stamped = db.prepare("SELECT switchid FROM routing_switch"); stamped.step();)
        switches.push_back(stamped->column_int(0));
    auto drop = db.prepare("DELETE FROM routing_table WHERE switchid = ? AND destinationid = ?");
    for (const std::int64_t switchid : switches) {
        drop.bind_all(switchid, deviceid).run();
        drop.reset();
    }
}

void drop_routes_of_port(sql::Connection &db, std::int64_t portid) {
    db.run("DELETE FROM routing_table WHERE switchid = (SELECT deviceid FROM port WHERE portid = ?) AND portid = ?",
           portid, portid);
}

namespace {

void need_max_links(const char *fn, int max_links) {
    if (max_links < 0)
        throw Failure(std::string(fn) + ": max_links must be 0 (no limit) or a number of links, not " +
                      std::to_string(max_links));
}

void store_table(sql::Connection &db, const StoredTable &table, const Network &net, graph::Node source, int max_links) {
    const std::vector<TableRow> rows = table.compute(net, source, max_links);
    sql::Transaction transaction(db);
    write_table(db, table, net, source, max_links, rows);
    transaction.commit();
}

// The names of the end devices reachable through the ports `ports`, nearest
// first, then by name: computed in memory, for a database this process may
// only read.
std::vector<std::string> destination_names(const Network &net, graph::Node source, int max_links,
                                           const std::vector<std::int64_t> &ports) {
    std::unordered_map<graph::Node, int> nearest;
    for (const TableRow &d : destinations(net, source, max_links)) {
        if (std::find(ports.begin(), ports.end(), d.port) == ports.end()) continue;
        auto [at, fresh] = nearest.emplace(d.node, d.links);
        if (!fresh) at->second = std::min(at->second, d.links);
    }
    std::vector<std::pair<int, std::string>> order;
    for (const auto &[node, links] : nearest) order.emplace_back(links, net.name[static_cast<std::size_t>(node)]);
    std::sort(order.begin(), order.end());
    std::vector<std::string> names;
    for (auto &entry : order) names.push_back(std::move(entry.second));
    return names;
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store;
using namespace ketral::store::paths;

extern "C" {

int CreateRoutingTable(const char *devicename, int max_links, char *ErrMess) {
    const char *fn = "CreateRoutingTable";
    return guarded({fn, ErrMess}, [&](Session &s) {
        need_max_links(fn, max_links);
        Network &net = network(s, false);
        store_table(s.db(), kRoutingTable, net, need_device(fn, net, std::string(arg(devicename))), max_links);
    });
}

int CreateDestinationTable(const char *devicename, int max_links, char *ErrMess) {
    const char *fn = "CreateDestinationTable";
    return guarded({fn, ErrMess}, [&](Session &s) {
        need_max_links(fn, max_links);
        Network &net = network(s, false);
        store_table(s.db(), kDestinationTable, net, need_device(fn, net, std::string(arg(devicename))), max_links);
    });
}

int GetDestinationNamePerDevPort(const char *devicename, const char *port_nbr, const char *port_type, int *len_result,
                                 char *result, char *ErrMess) {
    const char *fn = "GetDestinationNamePerDevPort";
    return guarded({fn, ErrMess}, [&](Session &s) {
        const std::string device = std::string(arg(devicename)), nbr = std::string(arg(port_nbr)),
                          type = std::string(arg(port_type));
        sql::Connection &db = s.db();
        const std::int64_t device_id = [&] {
            auto found = db.prepare("SELECT deviceid FROM functional_device WHERE devicename = ?");
            found.bind_all(device);
            if (!found.step()) throw Failure(std::string(fn) + ": no device named " + quoted(device));
            return found->column_int(0);
        }();
        std::vector<std::int64_t> ports;  // the port, either way
        {
            auto found = db.prepare("SELECT portid FROM port WHERE deviceid = ? AND port_nbr = ? AND port_type = ?");
            found.bind_all(device_id, nbr, type);
            while (found.step()) ports.push_back(found->column_int(0));
        }
        if (ports.empty())
            throw Failure(std::string(fn) + ": no port " + quoted(nbr) +
                          (type.empty() ? "" : " of type " + quoted(type)) + " on " + quoted(device));
        answer::PackedList list;
        // No table stored for the device yet: build it, without a limit; a
        // stale one (built before the last change of the network): build it
        // again, with its limit. On a database this process may only read,
        // answer from memory instead.
        int max_links = 0;
        std::int64_t built_at = -1;
        {
            auto stored = db.prepare(kDestinationTable.stamp);
            if (stored.bind_all(device_id).step()) {
                max_links = static_cast<int>(stored->column_int(0));
                built_at = stored->column_int(1);
            }
        }
        if (built_at != network_changes(db)) {
            Network &net = network(s, false);
            if (db.read_only()) {
                for (const std::string &name : destination_names(net, need_device(fn, net, device), max_links, ports))
                    list.add(name);
                ports.clear();  // answered
            } else {
                store_table(db, kDestinationTable, net, need_device(fn, net, device), max_links);
            }
        }

        // Through either way of the port; nearest first, then by name.
        auto rows = db.prepare(
            "SELECT d.devicename, MIN(t.nbr_links) AS links FROM destination_table t "
            "JOIN port p ON p.portid = t.portid JOIN functional_device d ON d.deviceid = t.destinationid "
            "WHERE t.deviceid = ? AND p.port_nbr = ? AND p.port_type = ? "
            "GROUP BY d.devicename ORDER BY links, d.devicename");
        rows.bind_all(device_id, nbr, type);
        while (!ports.empty() && rows.step()) list.add(rows->column_text(0));
        if (!len_result || !result) throw Failure(std::string(fn) + ": no result buffer given");
        // No destination: an empty answer (length 0), not a marker text.
        if (list.empty()) {
            *len_result = 0;
            return;
        }
        answer::write_list(fn, list, len_result, result);
    });
}

}  // extern "C"

// Additions beyond the described functions: a device's stored routing table
// and destination table read back as rows.
//
// Each reader answers the device's stored table, made fresh first by the rule
// every stored table follows: none stored, it is built without a limit; one
// stored on an older network (its network stamp is not the database's count
// of network changes), it is built again with its limit. On a database this
// process may only read, such a table is computed in memory and answered
// without being stored. The rows go out as a packed list, one item per row,
// fields joined with '|'.
#include <algorithm>
#include <map>

#include "store/export.hpp"
#include "store/paths/rows.hpp"
#include "store/paths/tables.hpp"

namespace ketral::store::paths {

namespace {

// The ports `source` sends on, by port id, as texts ("9:out:data"; the input
// end of a bidirectional link followed backwards reads "p:in:data").
std::map<std::int64_t, std::string> port_texts(const Network &net, graph::Node source) {
    std::map<std::int64_t, std::string> texts;
    for (const graph::Arc &arc : net.graph.out(source)) {
        const LinkDetail &d = net.detail[static_cast<std::size_t>(arc.link)];
        texts.emplace(port_of(net, arc),
                      arc.backward ? port_text(d.nbr_to, false, d.type_to) : port_text(d.nbr_from, true, d.type_from));
    }
    return texts;
}

// The stored rows, when they were stored on the network of `net` and all
// name what it holds; false otherwise.
bool read_fresh(sql::Connection &db, const StoredTable &table, const Network &net, std::int64_t device_id,
                const std::map<std::int64_t, std::string> &ports, std::vector<TableRow> &rows) {
    auto stamp = db.prepare(table.stamp);
    if (!stamp.bind_all(device_id).step() || stamp->column_int(1) != net.built_at) return false;
    auto stored = db.prepare(table.rows);
    stored.bind_all(device_id);
    while (stored.step()) {
        const graph::Node node = net.node_of_id(stored->column_int(0));
        const std::int64_t port = stored->column_int(1);
        if (node < 0 || ports.count(port) == 0) return false;
        rows.push_back({port, node, static_cast<int>(stored->column_int(2))});
    }
    return true;
}

// The device's table, fresh: read back, or built (and stored when the
// database may be written) with the limit it was stored with, 0 when none.
std::vector<TableRow> fresh_rows(Session &s, const StoredTable &table, const Network &net, graph::Node source,
                                 const std::map<std::int64_t, std::string> &ports) {
    sql::Connection &db = s.db();
    const std::int64_t device_id = net.device_id[static_cast<std::size_t>(source)];
    std::vector<TableRow> rows;
    if (read_fresh(db, table, net, device_id, ports, rows)) return rows;
    int max_links = 0;
    {
        auto stamp = db.prepare(table.stamp);
        if (stamp.bind_all(device_id).step()) max_links = static_cast<int>(stamp->column_int(0));
    }
    rows = table.compute(net, source, max_links);
    if (!db.read_only()) {
        sql::Transaction transaction(db);
        write_table(db, table, net, source, max_links, rows);
        transaction.commit();
    }
    return rows;
}

// Writes the items; no row is an empty answer (length 0), as for
// GetDestinationNamePerDevPort: a table without rows is not "no rows selected".
void answer_items(const char *fn, const answer::PackedList &list, int *len_result, char *result) {
    if (!len_result || !result) throw Failure(std::string(fn) + ": no result buffer given");
    if (list.empty()) {
        *len_result = 0;
        return;
    }
    answer::write_list(fn, list, len_result, result);
}

// Reads back one of the device's tables, fresh, and answers its rows: the
// routing table by destination name then port id, its fields from the
// destination; the destination table by port id, nearest first, then by
// name, its fields from the port.
enum class Order { ByDestination, ByPort };

int read_back(const char *fn, const StoredTable &table, Order order, const char *devicename, int *len_result,
              char *result, char *ErrMess) {
    return guarded({fn, ErrMess}, [&](Session &s) {
        const Network &net = network(s, false);
        const graph::Node source = need_device(fn, net, std::string(arg(devicename)));
        const std::map<std::int64_t, std::string> ports = port_texts(net, source);
        std::vector<TableRow> rows = fresh_rows(s, table, net, source, ports);
        auto name = [&](const TableRow &row) -> const std::string & {
            return net.name[static_cast<std::size_t>(row.node)];
        };
        std::sort(rows.begin(), rows.end(), [&](const TableRow &a, const TableRow &b) {
            if (order == Order::ByDestination) return name(a) != name(b) ? name(a) < name(b) : a.port < b.port;
            if (a.port != b.port) return a.port < b.port;
            return a.links != b.links ? a.links < b.links : name(a) < name(b);
        });
        answer::PackedList list;
        for (const TableRow &row : rows) {
            const std::string destination =
                std::to_string(net.device_id[static_cast<std::size_t>(row.node)]) + "|" + name(row);
            const std::string port = std::to_string(row.port) + "|" + ports.at(row.port);
            list.add((order == Order::ByDestination ? destination + "|" + port : port + "|" + destination) + "|" +
                     std::to_string(row.links));
        }
        answer_items(fn, list, len_result, result);
    });
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store::paths;

extern "C" {

int GetRoutingTableRows(const char *devicename, int *len_result, char *result, char *ErrMess) {
    return read_back("GetRoutingTableRows", kRoutingTable, Order::ByDestination, devicename, len_result, result,
                     ErrMess);
}

int GetDestinationTableRows(const char *devicename, int *len_result, char *result, char *ErrMess) {
    return read_back("GetDestinationTableRows", kDestinationTable, Order::ByPort, devicename, len_result, result,
                     ErrMess);
}

}  // extern "C"

#include "store/paths/network.hpp"

#include <climits>

#include "store/guard.hpp"

namespace ketral::store::paths {

graph::Node Network::node(const std::string &device) const {
    const auto found = by_name_.find(device);
    return found == by_name_.end() ? -1 : found->second;
}

graph::Node Network::node_of_id(std::int64_t id) const {
    const auto found = by_id_.find(id);
    return found == by_id_.end() ? -1 : found->second;
}

std::unique_ptr<Network> load_network(sql::Connection &db) {
    auto net = std::make_unique<Network>();

    auto devices =
        db.prepare("SELECT deviceid, devicename, devicetypeid, dnode FROM functional_device ORDER BY deviceid");
    std::vector<char> end_devices;  // dnode = 1: paths end there
    bool any_end_device = false;
    while (devices.step()) {
        end_devices.push_back(devices->column_int(3) != 0 ? 1 : 0);
        any_end_device |= end_devices.back() != 0;
        const auto node = static_cast<graph::Node>(net->name.size());
        net->device_id.push_back(devices->column_int(0));
        net->name.push_back(devices->column_text(1));
        net->device_type.push_back(devices->column_int(2));
        net->by_id_.emplace(net->device_id.back(), node);
        net->by_name_.emplace(net->name.back(), node);
    }
    if (net->name.size() > static_cast<std::size_t>(INT_MAX))
        throw Failure("the connectivity graph has too many devices");

    std::vector<graph::Link> links;
    auto rows = db.prepare(
        "SELECT l.linkid, pf.deviceid, pt.deviceid, l.portidfrom, l.portidto, pf.port_nbr, pf.port_type, "
        "pt.port_nbr, pt.port_type, l.linktypeid, l.bidirectional, l.lkused, l.link_info "
        "FROM macro_link l JOIN port pf ON pf.portid = l.portidfrom JOIN port pt ON pt.portid = l.portidto "
        "ORDER BY l.linkid");
    while (rows.step()) {
        const std::int64_t id = rows->column_int(0);
        if (id > INT_MAX) throw Failure("the connectivity graph cannot hold link id " + std::to_string(id));
        links.push_back({static_cast<std::int32_t>(id), net->node_of_id(rows->column_int(1)),
                         net->node_of_id(rows->column_int(2)), rows->column_int(10) != 0, rows->column_int(11) != 0});
        net->detail.push_back({rows->column_int(3), rows->column_int(4), rows->column_text(5), rows->column_text(7),
                               rows->column_text(6), rows->column_text(8),
                               static_cast<std::int32_t>(rows->column_int(9)), !rows->column_is_null(12),
                               rows->column_text(12)});
    }
    // Rows come in link id order, which the graph keeps: link index k is row k.
    if (!any_end_device) end_devices.clear();
    net->graph = graph::Graph(static_cast<int>(net->name.size()), std::move(links), std::move(end_devices));

    auto types = db.prepare("SELECT linktypeid, lktype FROM link_type");
    while (types.step()) net->link_type_name.emplace(types->column_int(0), types->column_text(1));
    return net;
}

std::int64_t network_changes(sql::Connection &db) {
    auto stmt = db.prepare("SELECT network FROM database_state");
    return stmt.step() ? stmt->column_int(0) : 0;
}

Network &network(Session &session, bool reload) {
    sql::Connection &db = session.db();
    // One snapshot for the count and the graph read after it.
    sql::ReadTransaction snapshot(db, true);
    const std::int64_t changes = network_changes(db);
    auto *net = dynamic_cast<Network *>(session.connectivity.get());
    if (reload || !net || net->built_at != changes) {
        session.connectivity.reset();
        auto fresh = load_network(db);
        fresh->built_at = changes;
        net = fresh.get();
        session.connectivity = std::move(fresh);
    }
    return *net;
}

}  // namespace ketral::store::paths

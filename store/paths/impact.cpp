// Additions beyond the described methods: failure impact of a device, a
// macro link or a port, and the weak points of the whole network, computed
// on the connectivity graph (store/graph/impact.hpp).
#include <algorithm>
#include <tuple>

#include "store/export.hpp"
#include "store/graph/impact.hpp"
#include "store/paths/common.hpp"

namespace ketral::store::paths {

namespace {

void answer_list(const char *fn, const answer::PackedList &list, int *len_result, char *result) {
    check_column_bytes(fn, "the result", list);
    if (!len_result || !result) throw Failure(std::string(fn) + ": no result buffer given");
    if (list.empty()) {
        *len_result = 0;  // nothing affected: an empty list, not a marker text
        return;
    }
    answer::write_list(fn, list, len_result, result);
}

// "name|cut_off" then "name|degraded", each part by name.
void answer_impact(const char *fn, const Network &net, const graph::Loss &loss, int *len_result, char *result) {
    const graph::Impact impact = graph::ImpactAnalysis(net.graph).impact(loss);
    answer::PackedList list;
    for (const auto &[nodes, effect] :
         {std::pair{&impact.cut_off, "|cut_off"}, std::pair{&impact.degraded, "|degraded"}}) {
        std::vector<const std::string *> names;
        for (const graph::Node n : *nodes) names.push_back(&net.name[static_cast<std::size_t>(n)]);
        std::sort(names.begin(), names.end(), [](const std::string *a, const std::string *b) { return *a < *b; });
        for (const std::string *name : names) list.add(*name + effect);
    }
    answer_list(fn, list, len_result, result);
}

std::int32_t need_link(const char *fn, const Network &net, int lkid) {
    const auto &links = net.graph.links();
    const auto found =
        std::lower_bound(links.begin(), links.end(), lkid, [](const graph::Link &l, int id) { return l.id < id; });
    if (found == links.end() || found->id != lkid)
        throw Failure(std::string(fn) + ": no macro link with id " + std::to_string(lkid));
    return static_cast<std::int32_t>(found - links.begin());
}

// The macro links a port carries, by link index.
std::vector<std::int32_t> links_of_port(const char *fn, sql::Connection &db, const Network &net,
                                        const std::string &device, const std::string &nbr, int way,
                                        const std::string &type) {
    if (const std::string problem = way_problem("port_way", way); !problem.empty())
        throw Failure(std::string(fn) + ": " + problem);
    const graph::Node node = need_device(fn, net, device);
    auto port =
        db.prepare("SELECT portid FROM port WHERE deviceid = ? AND port_nbr = ? AND port_way = ? AND port_type = ?");
    port.bind_all(net.device_id[static_cast<std::size_t>(node)], nbr, way, type);
    if (!port.step())
        throw Failure(std::string(fn) + ": no port " + quoted(nbr) + (way == 1 ? " (input)" : " (output)") +
                      (type.empty() ? "" : " of type " + quoted(type)) + " on " + quoted(device));
    const std::int64_t id = port->column_int(0);
    std::vector<std::int32_t> links;
    for (std::size_t l = 0; l < net.detail.size(); ++l)
        if (net.detail[l].port_from == id || net.detail[l].port_to == id) links.push_back(static_cast<std::int32_t>(l));
    return links;
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store;
using namespace ketral::store::paths;

extern "C" {

int GetFailureImpactOfDevice(const char *devicename, int *len_result, char *result, int reload_connectivity,
                             int delete_connectivity, char *ErrMess) {
    const char *fn = "GetFailureImpactOfDevice";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &, Network &net) {
        answer_impact(fn, net, {{need_device(fn, net, std::string(arg(devicename)))}, {}}, len_result, result);
    });
}

int GetFailureImpactOfLink(int lkid, int *len_result, char *result, int reload_connectivity, int delete_connectivity,
                           char *ErrMess) {
    const char *fn = "GetFailureImpactOfLink";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &, Network &net) {
        answer_impact(fn, net, {{}, {need_link(fn, net, lkid)}}, len_result, result);
    });
}

int GetFailureImpactOfPort(const char *devicename, const char *port_nbr, int port_way, const char *port_type,
                           int *len_result, char *result, int reload_connectivity, int delete_connectivity,
                           char *ErrMess) {
    const char *fn = "GetFailureImpactOfPort";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &s, Network &net) {
        const auto links = links_of_port(fn, s.db(), net, std::string(arg(devicename)), std::string(arg(port_nbr)),
                                         port_way, std::string(arg(port_type)));
        answer_impact(fn, net, {{}, links}, len_result, result);
    });
}

int GetWeakPoints(int *len_result, char *result, int reload_connectivity, int delete_connectivity, char *ErrMess) {
    const char *fn = "GetWeakPoints";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &, Network &net) {
        // Most devices cut off first, then devices before links, then by name or id.
        struct Row {
            std::size_t cut;
            bool link;
            std::string name;
            std::int32_t lkid;
        };
        std::vector<Row> rows;
        for (const graph::WeakPoint &w : graph::ImpactAnalysis(net.graph).weak_points()) {
            const bool link = w.kind == graph::WeakPoint::Kind::Link;
            const std::int32_t lkid = link ? net.graph.link(w.index).id : 0;
            rows.push_back({w.cut_off.size(), link,
                            link ? std::to_string(lkid) : net.name[static_cast<std::size_t>(w.index)], lkid});
        }
        std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
            return std::forward_as_tuple(b.cut, a.link, a.lkid, a.name) <
                   std::forward_as_tuple(a.cut, b.link, b.lkid, b.name);
        });
        answer::PackedList list;
        for (const Row &r : rows) list.add((r.link ? "link|" : "device|") + r.name + "|" + std::to_string(r.cut));
        answer_list(fn, list, len_result, result);
    });
}

}  // extern "C"

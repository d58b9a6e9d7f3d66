// Connectivity between two devices, and between a device and every device
// of a type (or whose name contains a text): every simple path, one row per
// link. GetConnOutBetweenDeviceDeviceType answers instead, for each device
// selected, the ports of the device that begin a shortest path to it.
#include <algorithm>

#include "store/export.hpp"
#include "store/graph/routes.hpp"
#include "store/paths/rows.hpp"

namespace ketral::store::paths {

namespace {

// Every path from `from` to the selected devices, kept for a second call.
void answer_paths(const char *fn, Network &net, const std::string &key, const std::string &what,
                  const graph::PathQuery &query, Detail detail, const LinkColumns &columns) {
    const auto paths = kept_or(net, key, [&] { return search(fn, what, net.graph, query); });
    write_kept(net, key, paths, [&] { write_link_rows(fn, net, *paths, detail, columns); });
}

int between_devices(const char *fn, Detail detail, const char *dev_from, const char *dev_to, const LinkColumns &columns,
                    int reload, int del, char *error) {
    return on_network(fn, error, reload, del, [&](Session &, Network &net) {
        const std::string from = std::string(arg(dev_from)), to = std::string(arg(dev_to));
        const graph::Node a = need_device(fn, net, from), b = need_device(fn, net, to);
        std::vector<char> target(net.name.size(), 0);
        target[static_cast<std::size_t>(b)] = 1;
        graph::PathQuery query;
        query.start = a;
        query.stop = graph::Stop::AtTargets;
        query.targets = &target;
        answer_paths(fn, net, std::string(fn) + '\0' + from + '\0' + to,
                     "the paths from " + quoted(from) + " to " + quoted(to), query, detail, columns);
    });
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store;
using namespace ketral::store::paths;

extern "C" {

int GetConnectivityBetweenDevices(const char *dev_from, const char *dev_to, int *n, int *len_port_from,
                                  int *len_node_from, int *len_port_to, int *len_node_to, int *len_lkinfo,
                                  char *node_from, char *node_to, char *port_from, int *lkid, char *port_to,
                                  int *lktype, int *pathid, int *link_pos, char *lkinfo, int reload_connectivity,
                                  int delete_connectivity, char *ErrMess) {
    return between_devices("GetConnectivityBetweenDevices", Detail::Plain, dev_from, dev_to,
                           {n, pathid, link_pos, lkid, lktype, node_from, node_to, port_from, port_to, lkinfo,
                            len_node_from, len_node_to, len_port_from, len_port_to, len_lkinfo},
                           reload_connectivity, delete_connectivity, ErrMess);
}

int GetDetailedConnectivityBetweenDevices(const char *dev_from, const char *dev_to, char *node_from, int *n,
                                          int *len_node_from, int *len_port_from, int *len_node_to, int *len_port_to,
                                          int *len_lkinfo, char *port_from, char *port_to, int *lkid, int *lktype,
                                          char *node_to, int *pathid, int *link_pos, char *lkinfo,
                                          int reload_connectivity, int delete_connectivity, char *ErrMess) {
    return between_devices("GetDetailedConnectivityBetweenDevices", Detail::Detailed, dev_from, dev_to,
                           {n, pathid, link_pos, lkid, lktype, node_from, node_to, port_from, port_to, lkinfo,
                            len_node_from, len_node_to, len_port_from, len_port_to, len_lkinfo},
                           reload_connectivity, delete_connectivity, ErrMess);
}

int GetDetailedConnBetweenDeviceDevType(const char *devicename, const char *nto, int nto_dtype, char *node_from,
                                        char *port_from, char *port_to, int *n, int *len_node_from, int *len_port_from,
                                        int *len_node_to, int *len_port_to, int *len_lkinfo, int *pathid, int *link_pos,
                                        char *node_to, int *lktype, int *lkid, char *lkinfo, int reload_connectivity,
                                        int delete_connectivity, char *ErrMess) {
    const char *fn = "GetDetailedConnBetweenDeviceDevType";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &s, Network &net) {
        const std::string from = std::string(arg(devicename)), selector = std::string(arg(nto));
        const graph::Node a = need_device(fn, net, from);
        const std::vector<char> targets = select_devices(fn, s.db(), net, selector, nto_dtype);
        graph::PathQuery query;
        query.start = a;
        query.stop = graph::Stop::AtTargets;
        query.targets = &targets;
        query.through_targets = true;
        const std::string what = "the paths from " + quoted(from) + " to the devices " +
                                 (nto_dtype == 1 ? "of type " : "named like ") + quoted(selector);
        answer_paths(fn, net, std::string(fn) + '\0' + from + '\0' + selector + '\0' + std::to_string(nto_dtype), what,
                     query, Detail::Detailed,
                     {n, pathid, link_pos, lkid, lktype, node_from, node_to, port_from, port_to, lkinfo, len_node_from,
                      len_node_to, len_port_from, len_port_to, len_lkinfo});
    });
}

int GetConnOutBetweenDeviceDeviceType(const char *devicename, const char *nto, int nto_dtype, int *len_result,
                                      char *result, int reload_connectivity, int delete_connectivity, char *ErrMess) {
    const char *fn = "GetConnOutBetweenDeviceDeviceType";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &s, Network &net) {
        const graph::Node a = need_device(fn, net, std::string(arg(devicename)));
        const std::vector<char> chosen = select_devices(fn, s.db(), net, std::string(arg(nto)), nto_dtype);
        graph::Router router(net.graph);
        graph::Routes routes;
        router.routes(a, 0, routes);

        // One text per (device, port): nearest first, then by name and port.
        struct Item {
            int links;
            const std::string *device;
            std::string port;
        };
        std::vector<Item> items;
        const graph::Range<graph::Arc> arcs = net.graph.out(a);
        for (std::size_t k = 0; k < routes.size(); ++k) {
            const graph::Node d = routes.destination(k);
            if (!chosen[static_cast<std::size_t>(d)]) continue;
            std::vector<std::string> ports;
            for (const std::int32_t hop : routes.first_arcs(k)) {
                const graph::Arc &arc = arcs[static_cast<std::size_t>(hop)];
                const LinkDetail &ld = net.detail[static_cast<std::size_t>(arc.link)];
                ports.push_back(arc.backward ? port_text(ld.nbr_to, false, ld.type_to)
                                             : port_text(ld.nbr_from, true, ld.type_from));
            }
            std::sort(ports.begin(), ports.end());
            ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
            for (std::string &p : ports)
                items.push_back({routes.links(k), &net.name[static_cast<std::size_t>(d)], std::move(p)});
        }
        std::sort(items.begin(), items.end(), [](const Item &x, const Item &y) {
            if (x.links != y.links) return x.links < y.links;
            if (*x.device != *y.device) return *x.device < *y.device;
            return x.port < y.port;
        });
        answer::PackedList list;
        for (const Item &i : items) list.add(*i.device + "|" + i.port + "|" + std::to_string(i.links));
        check_column_bytes(fn, "the result", list);
        // No connection: an empty answer (length 0), not a marker text.
        if (!len_result || !result) throw Failure(std::string(fn) + ": no result buffer given");
        if (list.empty()) {
            *len_result = 0;
            return;
        }
        answer::write_list(fn, list, len_result, result);
    });
}

}  // extern "C"

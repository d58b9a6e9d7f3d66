#include "store/paths/rows.hpp"

namespace ketral::store::paths {

std::string port_text(const std::string &nbr, bool output, const std::string &type) {
    std::string text = nbr + (output ? ":out" : ":in");
    if (!type.empty()) text += ":" + type;
    return text;
}

void write_link_rows(const char *fn, const Network &net, const graph::PathSet &paths, Detail detail,
                     const LinkColumns &c) {
    answer::Columns out(fn, c.n);
    auto &pathid = out.ints("pathid", c.pathid);
    auto &link_pos = out.ints("link_pos", c.link_pos);
    auto &lkid = out.ints("lkid", c.lkid);
    auto &lktype = out.ints("lktype", c.lktype);
    auto &node_from = out.texts("node_from", c.node_from, c.len_node_from);
    auto &node_to = out.texts("node_to", c.node_to, c.len_node_to);
    auto &port_from = out.texts("port_from", c.port_from, c.len_port_from);
    auto &port_to = out.texts("port_to", c.port_to, c.len_port_to);
    auto &lkinfo = out.texts("lkinfo", c.lkinfo, c.len_lkinfo);
    for (auto *ints : {&pathid, &link_pos, &lkid, &lktype}) ints->reserve(paths.rows());

    std::string json;
    for (std::size_t k = 0; k < paths.paths(); ++k) {
        int position = 0;
        for (const graph::Step &step : paths.path(k)) {
            const graph::Link &l = net.graph.link(step.link);
            const LinkDetail &d = net.detail[static_cast<std::size_t>(step.link)];
            const bool back = step.backward;
            pathid.push_back(static_cast<int>(k + 1));
            link_pos.push_back(++position);
            lkid.push_back(l.id);
            lktype.push_back(d.lktype);
            node_from.add(net.name[static_cast<std::size_t>(back ? l.to : l.from)]);
            node_to.add(net.name[static_cast<std::size_t>(back ? l.from : l.to)]);
            if (detail == Detail::Plain) {
                port_from.add(back ? d.nbr_to : d.nbr_from);
                port_to.add(back ? d.nbr_from : d.nbr_to);
                lkinfo.add(d.info);
                continue;
            }
            port_from.add(back ? port_text(d.nbr_to, false, d.type_to) : port_text(d.nbr_from, true, d.type_from));
            port_to.add(back ? port_text(d.nbr_from, true, d.type_from) : port_text(d.nbr_to, false, d.type_to));
            json.clear();
            answer::JsonObject o(json);
            const auto type = net.link_type_name.find(d.lktype);
            if (type != net.link_type_name.end())
                o.text("lktype", type->second);
            else
                o.null("lktype");
            o.number("bidirectional", l.bidirectional ? 1 : 0).number("backward", back ? 1 : 0);
            if (d.has_info)
                o.text("link_info", d.info);
            else
                o.null("link_info");
            o.close();
            lkinfo.add(json);
        }
    }
    check_column_bytes(fn, "node_from", node_from);
    check_column_bytes(fn, "node_to", node_to);
    check_column_bytes(fn, "port_from", port_from);
    check_column_bytes(fn, "port_to", port_to);
    check_column_bytes(fn, "lkinfo", lkinfo);
    out.write();
}

std::vector<char> select_devices(const char *fn, sql::Connection &db, const Network &net, const std::string &nto,
                                 int nto_dtype) {
    std::vector<char> chosen(net.name.size(), 0);
    if (nto_dtype == 0) {
        for (std::size_t n = 0; n < net.name.size(); ++n) chosen[n] = net.name[n].find(nto) != std::string::npos;
        return chosen;
    }
    if (nto_dtype != 1)
        throw Failure(std::string(fn) +
                      ": nto_dtype must be 1 (nto is a device type) or 0 (a part of device names), not " +
                      std::to_string(nto_dtype));
    auto type = db.prepare("SELECT devicetypeid FROM device_type WHERE devicetype = ?");
    type.bind_all(nto);
    if (!type.step()) throw Failure(std::string(fn) + ": no device type named " + quoted(nto));
    const std::int64_t id = type->column_int(0);
    for (std::size_t n = 0; n < net.name.size(); ++n) chosen[n] = net.device_type[n] == id;
    return chosen;
}

}  // namespace ketral::store::paths

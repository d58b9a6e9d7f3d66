// Every path from a device to the ends of the network: a path never enters
// a device twice and ends where it cannot go on. Optionally only through the
// devices of a subsystem (and of the subsystems below it).
#include "store/export.hpp"
#include "store/paths/common.hpp"

namespace ketral::store::paths {

namespace {

// By node: the devices of the subsystem `system` or of one below it.
std::vector<char> subsystem_members(const char *fn, sql::Connection &db, const Network &net,
                                    const std::string &system) {
    auto exists = db.prepare("SELECT 1 FROM subsystem WHERE system_name = ?");
    exists.bind_all(system);
    if (!exists.step()) throw Failure(std::string(fn) + ": no subsystem named " + quoted(system));
    std::vector<char> member(net.name.size(), 0);
    auto rows = db.prepare(
        "WITH RECURSIVE chosen (systemid) AS (SELECT systemid FROM subsystem WHERE system_name = ? "
        "UNION SELECT s.systemid FROM subsystem s JOIN chosen c ON s.parentid = c.systemid) "
        "SELECT DISTINCT deviceid FROM device_system WHERE systemid IN (SELECT systemid FROM chosen)");
    rows.bind_all(system);
    while (rows.step()) {
        const graph::Node n = net.node_of_id(rows->column_int(0));
        if (n >= 0) member[static_cast<std::size_t>(n)] = 1;
    }
    return member;
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store;
using namespace ketral::store::paths;

extern "C" {

int GetAllPathsPerDevice(const char *devicename, const char *system_name, int *n, int *link_pos, int *pathid, int *lkid,
                         int reload_connectivity, int delete_connectivity, char *ErrMess) {
    const char *fn = "GetAllPathsPerDevice";
    return on_network(fn, ErrMess, reload_connectivity, delete_connectivity, [&](Session &s, Network &net) {
        const std::string device = std::string(arg(devicename)), system = std::string(arg(system_name));
        const bool everywhere = system.empty() || system == "ALL";
        const std::string key = std::string(fn) + '\0' + device + '\0' + (everywhere ? "" : system);
        const auto paths = kept_or(net, key, [&] {
            graph::PathQuery query;
            query.start = need_device(fn, net, device);
            std::vector<char> members;
            if (!everywhere) {
                members = subsystem_members(fn, s.db(), net, system);
                query.allowed = &members;
            }
            return search(fn, "the paths from " + quoted(device), net.graph, query);
        });
        write_kept(net, key, paths, [&] {
            answer::Columns out(fn, n);
            auto &path_column = out.ints("pathid", pathid);
            auto &link_column = out.ints("lkid", lkid);
            auto &position_column = out.ints("link_pos", link_pos);
            path_column.reserve(paths->rows());
            link_column.reserve(paths->rows());
            position_column.reserve(paths->rows());
            for (std::size_t k = 0; k < paths->paths(); ++k) {
                int position = 0;
                for (const graph::Step &step : paths->path(k)) {
                    path_column.push_back(static_cast<int>(k + 1));
                    link_column.push_back(net.graph.link(step.link).id);
                    position_column.push_back(++position);
                }
            }
            out.write();
        });
    });
}

}  // extern "C"

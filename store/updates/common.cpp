#include "store/updates/common.hpp"

#include <vector>

namespace ketral::store::updates {

using namespace batch;

std::int64_t Renames::current(const RecordRef &ref, sql::Connection &db, std::string_view select,
                              const std::string &name, std::string_view kind) {
    const auto found = names_.find(name);
    if (found != names_.end()) {
        if (found->second.id == 0)
            ref.refuse(std::string(kind) + " " + quoted(name) + " was renamed by record " +
                       std::to_string(found->second.record) + " of this batch");
        return found->second.id;
    }
    auto stmt = db.prepare(select);
    stmt.bind(1, name);
    if (!stmt.step()) ref.refuse("no " + std::string(kind) + " named " + quoted(name));
    return stmt->column_int(0);
}

void Renames::need_free(const RecordRef &ref, sql::Connection &db, std::string_view select, const std::string &name,
                        std::string_view kind) {
    const auto found = names_.find(name);
    if (found != names_.end()) {
        if (found->second.id != 0)
            ref.refuse(std::string(kind) + " " + quoted(name) + " already comes in record " +
                       std::to_string(found->second.record) + " of this batch");
        return;
    }
    if (db.prepare(select).bind(1, name).step()) ref.refuse(std::string(kind) + " " + quoted(name) + " already exists");
}

void Renames::rename(const std::string &from, const std::string &to, std::int64_t id, std::size_t record) {
    names_[from] = Entry{0, record};
    names_[to] = Entry{id, record};
}

std::int64_t DevicePorts::port(const RecordRef &ref, sql::Connection &db, const std::string &device,
                               const std::string &nbr, int way, const std::string &type) {
    auto found = devices_.find(device);
    if (found == devices_.end()) {
        auto stmt = db.prepare(
            "SELECT p.portid, p.port_nbr, p.port_way, p.port_type FROM functional_device d "
            "LEFT JOIN port p ON p.deviceid = d.deviceid WHERE d.devicename = ?");
        stmt.bind(1, device);
        if (!stmt.step()) ref.refuse("no device named " + quoted(device));
        Device loaded;
        do {
            if (stmt->column_is_null(0)) break;
            loaded.ports.emplace(
                port_key(stmt->column_text(1), static_cast<int>(stmt->column_int(2)), stmt->column_text(3)),
                stmt->column_int(0));
        } while (stmt.step());
        found = devices_.emplace(device, std::move(loaded)).first;
    }
    const auto &ports = found->second.ports;
    const auto port = ports.find(port_key(nbr, way, type));
    if (port != ports.end()) return port->second;
    const int other = way == 1 ? 2 : 1;
    if (ports.count(port_key(nbr, other, type)))
        ref.refuse(port_label(nbr, way, type, device) + " does not exist (the port is an " +
                   (other == 1 ? "input" : "output") + ", way " + std::to_string(other) + ")");
    ref.refuse(port_label(nbr, way, type, device) + " does not exist");
}

}  // namespace ketral::store::updates

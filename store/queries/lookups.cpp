// Identifier and name lookups: a name into the fixed name buffer, or an id.
// Finding nothing is a failure that names the key.
#include "store/export.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::queries {

namespace {

// The first column of the first row of `sql`, or a Failure "<fn>: <missing()>".
template <typename Read, typename Missing, typename... Args>
auto first(Session &s, const char *fn, Missing missing, std::string_view sql, Read read, const Args &...args) {
    auto stmt = s.db().prepare(sql);
    stmt.bind_all(args...);
    if (!stmt.step()) throw Failure(fn + (": " + missing()));
    return read(*stmt);
}

std::string text_of(const sql::Statement &row) { return row.column_text(0); }
int id_of(const sql::Statement &row) { return static_cast<int>(row.column_int(0)); }

// `missing()` words what was not found; it runs inside the guard.
template <typename Missing>
int name_lookup(const char *fn, Missing missing, const char *sql, int id, char *name, char *error) {
    return guarded({fn, error}, [&](Session &s) {
        answer::write_fixed(fn, first(s, fn, missing, sql, text_of, id), name, KETRAL_NAME_CAPACITY);
    });
}

template <typename Missing, typename... Args>
int id_lookup(const char *fn, Missing missing, const char *sql, int *id, char *error, const Args &...args) {
    return guarded({fn, error}, [&](Session &s) {
        if (!id) throw Failure(std::string(fn) + ": no result buffer given");
        *id = first(s, fn, missing, sql, id_of, args...);
    });
}

}  // namespace

}  // namespace ketral::store::queries

using namespace ketral::store;
using namespace ketral::store::queries;

extern "C" {

int GetDeviceName_deviceid(int deviceid, char *name, char *ErrMess) {
    return name_lookup(
        "GetDeviceName_deviceid", [&] { return "no device with id " + std::to_string(deviceid); },
        "SELECT devicename FROM functional_device WHERE deviceid = ?", deviceid, name, ErrMess);
}

int GetCpntName_cpntid(int cpntid, char *name, char *ErrMess) {
    return name_lookup(
        "GetCpntName_cpntid", [&] { return "no board component with id " + std::to_string(cpntid); },
        "SELECT cpntname FROM board_cpnt WHERE cpntid = ?", cpntid, name, ErrMess);
}

int GetDeviceID_devicename(const char *devicename, int *id, char *ErrMess) {
    return id_lookup(
        "GetDeviceID_devicename", [&] { return "no device named " + quoted(arg(devicename)); },
        "SELECT deviceid FROM functional_device WHERE devicename = ?", id, ErrMess, arg(devicename));
}

int GetCpntID_cpntname(const char *cpntname, int *id, char *ErrMess) {
    return id_lookup(
        "GetCpntID_cpntname", [&] { return "no board component named " + quoted(arg(cpntname)); },
        "SELECT cpntid FROM board_cpnt WHERE cpntname = ?", id, ErrMess, arg(cpntname));
}

int GetPortID_portinfo(int deviceid, const char *port_nbr, const char *port_type, int port_way, int *id,
                       char *ErrMess) {
    return id_lookup(
        "GetPortID_portinfo",
        [&] {
            return "device " + std::to_string(deviceid) + " has no port " + quoted(arg(port_nbr)) + " (way " +
                   std::to_string(port_way) + ", type " + quoted(arg(port_type)) + ")";
        },
        "SELECT portid FROM port WHERE deviceid = ? AND port_nbr = ? AND port_way = ? AND port_type = ?", id, ErrMess,
        deviceid, arg(port_nbr), port_way, arg(port_type));
}

}  // extern "C"

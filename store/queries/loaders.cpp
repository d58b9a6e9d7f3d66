// Table loaders: whole tables as column stores, in id order. The selector
// names a subsystem (its sub-subsystems included); empty or "ALL" selects
// everything.
#include "store/export.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::queries {

namespace {

// The subsystems a selector names: the subsystem and every one below it.
const char *const kChosen =
    "WITH RECURSIVE chosen (systemid) AS (SELECT systemid FROM subsystem WHERE system_name = ? "
    "UNION SELECT s.systemid FROM subsystem s JOIN chosen c ON s.parentid = c.systemid) ";

// True when `selector` selects everything; otherwise the subsystem must exist.
bool selects_all(Session &s, const char *fn, std::string_view selector) {
    if (selector.empty() || selector == "ALL") return true;
    auto stmt = s.db().prepare("SELECT 1 FROM subsystem WHERE system_name = ?");
    stmt.bind_all(selector);
    if (!stmt.step()) throw Failure(std::string(fn) + ": no subsystem named " + quoted(selector));
    return false;
}

// Runs the whole-table SQL or the one narrowed to the selector's subsystems
// (whose first parameter is the subsystem name), `row` reading each row.
template <typename Row>
void each_row(Session &s, const char *fn, std::string_view selector, const std::string &all,
              const std::string &of_subsystem, Row row) {
    const bool everything = selects_all(s, fn, selector);
    auto stmt = s.db().prepare(everything ? all : of_subsystem);
    if (!everything) stmt.bind_all(selector);
    while (stmt.step()) row(*stmt);
}

// A port as one text: number, way ("in" or "out"), type, joined by ':';
// the type part is left out for an untyped port ("3:out:data", "A/3:in").
std::string port_text(const sql::Statement &row, int first_column) {
    std::string text(row.column_view(first_column));
    text += row.column_int(first_column + 1) == 1 ? ":in" : ":out";
    const std::string_view type = row.column_view(first_column + 2);
    if (!type.empty()) text.append(":").append(type);
    return text;
}

const std::string kLinks =
    "SELECT l.linkid, pf.deviceid, pt.deviceid, pf.port_nbr, pf.port_way, pf.port_type, "
    "pt.port_nbr, pt.port_way, pt.port_type, l.bidirectional, l.lkused, l.linktypeid, COALESCE(l.link_info, '') "
    "FROM macro_link l JOIN port pf ON pf.portid = l.portidfrom JOIN port pt ON pt.portid = l.portidto ";
// A link belongs to a subsystem when either of its devices does.
const std::string kLinksOfSubsystem =
    std::string(kChosen) +
    ", member (deviceid) AS (SELECT deviceid FROM device_system "
    "WHERE systemid IN (SELECT systemid FROM chosen)) " +
    kLinks + "WHERE pf.deviceid IN (SELECT deviceid FROM member) OR pt.deviceid IN (SELECT deviceid FROM member) ";

const std::string kDevices = "SELECT d.deviceid, d.devicename FROM functional_device d ";
const std::string kDevicesOfSubsystem = std::string(kChosen) + kDevices +
                                        "WHERE EXISTS (SELECT 1 FROM device_system ds WHERE ds.deviceid = d.deviceid "
                                        "AND ds.systemid IN (SELECT systemid FROM chosen)) ";

const std::string kTypes = "SELECT t.devicetypeid, t.devicetype FROM device_type t ";
const std::string kTypesOfSubsystem =
    std::string(kChosen) + kTypes +
    "WHERE EXISTS (SELECT 1 FROM device_type_system ts WHERE ts.devicetypeid = t.devicetypeid "
    "AND ts.systemid IN (SELECT systemid FROM chosen)) ";

// An id column and a name column, one row per record.
int id_name_table(const char *fn, char *error, std::string_view selector, const std::string &all,
                  const std::string &of_subsystem, int *rows, int *ids, int *len_names, char *names) {
    return guarded({fn, error}, [&](Session &s) {
        answer::Columns out(fn, rows);
        auto &id_column = out.ints("ids", ids);
        auto &name_column = out.texts("names", names, len_names);
        each_row(s, fn, selector, all, of_subsystem, [&](const sql::Statement &row) {
            id_column.push_back(static_cast<int>(row.column_int(0)));
            name_column.add(row.column_view(1));
        });
        out.write();
    });
}

}  // namespace

}  // namespace ketral::store::queries

using namespace ketral::store;
using namespace ketral::store::queries;

extern "C" {

int LoadConnectivityTable(const char *selector, int *rows, int *lkid, int *node_from, int *node_to, int *len_port_from,
                          int *len_port_to, char *port_from, char *port_to, int *bidirectional, int *lkused,
                          int *lktype, char *lkinfo, int *len_lkinfo, char *ErrMess) {
    static const char *const fn = "LoadConnectivityTable";
    static const std::string all = kLinks + "ORDER BY l.linkid";
    static const std::string of_subsystem = kLinksOfSubsystem + "ORDER BY l.linkid";
    return guarded({fn, ErrMess}, [&](Session &s) {
        answer::Columns out(fn, rows);
        auto &ids = out.ints("lkid", lkid);
        auto &from = out.ints("node_from", node_from);
        auto &to = out.ints("node_to", node_to);
        auto &port_from_texts = out.texts("port_from", port_from, len_port_from);
        auto &port_to_texts = out.texts("port_to", port_to, len_port_to);
        auto &bidir = out.ints("bidirectional", bidirectional);
        auto &used = out.ints("lkused", lkused);
        auto &types = out.ints("lktype", lktype);
        auto &infos = out.texts("lkinfo", lkinfo, len_lkinfo);
        each_row(s, fn, arg(selector), all, of_subsystem, [&](const sql::Statement &row) {
            ids.push_back(static_cast<int>(row.column_int(0)));
            from.push_back(static_cast<int>(row.column_int(1)));
            to.push_back(static_cast<int>(row.column_int(2)));
            port_from_texts.add(port_text(row, 3));
            port_to_texts.add(port_text(row, 6));
            bidir.push_back(static_cast<int>(row.column_int(9)));
            used.push_back(static_cast<int>(row.column_int(10)));
            types.push_back(static_cast<int>(row.column_int(11)));
            infos.add(row.column_view(12));
        });
        out.write();
    });
}

int MatchDeviceIDDeviceName(const char *selector, int *rows, int *ids, int *len_names, char *names, char *ErrMess) {
    static const std::string all = kDevices + "ORDER BY d.deviceid";
    static const std::string of_subsystem = kDevicesOfSubsystem + "ORDER BY d.deviceid";
    return id_name_table("MatchDeviceIDDeviceName", ErrMess, arg(selector), all, of_subsystem, rows, ids, len_names,
                         names);
}

// One id per name.
int LoadDeviceTypeTable(const char *selector, int *len_names, char *names, int *rows, int *ids, char *ErrMess) {
    static const std::string all = kTypes + "ORDER BY t.devicetypeid";
    static const std::string of_subsystem = kTypesOfSubsystem + "ORDER BY t.devicetypeid";
    return id_name_table("LoadDeviceTypeTable", ErrMess, arg(selector), all, of_subsystem, rows, ids, len_names, names);
}

int LoadLinkTypeTable(int *rows, int *ids, int *len_names, char *names, char *ErrMess) {
    static const std::string all = "SELECT linktypeid, lktype FROM link_type ORDER BY linktypeid";
    return id_name_table("LoadLinkTypeTable", ErrMess, "", all, all, rows, ids, len_names, names);
}

}  // extern "C"

// Row queries: one record by its key, as one JSON object whose keys are the
// column names, with the names of what it points to joined in.
#include "store/export.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::queries {

namespace {

const char *const kSystemsOfType =
    "SELECT s.system_name FROM device_type_system t JOIN subsystem s ON s.systemid = t.systemid "
    "WHERE t.devicetypeid = ?";
const char *const kMembersOfLinkType =
    "SELECT s.lktype FROM link_type_member m JOIN link_type s ON s.linktypeid = m.simpleid "
    "WHERE m.compositeid = ?";

RecordSql device_type(const char *where) {
    return RecordSql(std::string("SELECT devicetypeid, devicetype, nbrofinput, nbrofoutput, description, rgbcolor "
                                 "FROM device_type WHERE ") +
                     where);
}

// A device with its subsystems and functions: the lists, kept on the
// device's own row by the database, come last (device_lists).
constexpr int kDeviceListColumns = 2;

RecordSql device(const char *where) {
    return RecordSql(
        std::string(
            "SELECT d.deviceid, d.devicename, d.devicetypeid, t.devicetype, d.dnode, d.promiscuous_mode, d.serialid, "
            "h.serialnb, h.hwtype, d.responsible, d.location, d.comments, d.system_list, d.function_list "
            "FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
            "LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE ") +
            where,
        kDeviceListColumns);
}

RecordSql board_cpnt(const char *where) {
    return RecordSql(
        std::string(
            "SELECT c.cpntid, c.cpntname, c.cpnttype, c.replacable, c.motherboardid, m.devicename AS motherboardname, "
            "c.snbid, h.serialnb, h.hwtype "
            "FROM board_cpnt c JOIN functional_device m ON m.deviceid = c.motherboardid "
            "LEFT JOIN hw_board_cpnt h ON h.snbid = c.snbid WHERE ") +
        where);
}

RecordSql hw_cpnt(const char *where) {
    return RecordSql(std::string("SELECT h.snbid, h.serialnb, h.hwtype, h.status, h.responsible, h.location, "
                                 "h.comments, c.cpntid, c.cpntname "
                                 "FROM hw_board_cpnt h LEFT JOIN board_cpnt c ON c.snbid = h.snbid WHERE ") +
                     where);
}

RecordSql port(const char *where) {
    return RecordSql(
        std::string(
            "SELECT p.portid, p.deviceid, d.devicename, p.port_nbr, p.port_way, p.port_type, p.speed, p.admin_status, "
            "p.pxi_booting, p.phy, p.bia, p.macaddress, p.ipid, i.ipaddress, i.subnet, i.ipname "
            "FROM port p JOIN functional_device d ON d.deviceid = p.deviceid "
            "LEFT JOIN ip_info i ON i.ipid = p.ipid WHERE ") +
        where);
}

RecordSql macro_link(const char *where) {
    return RecordSql(
        std::string("SELECT l.linkid, l.portidfrom, pf.deviceid AS deviceidfrom, df.devicename AS node_from, "
                    "pf.port_nbr AS port_nbrfrom, pf.port_way AS port_wayfrom, pf.port_type AS port_typefrom, "
                    "l.portidto, pt.deviceid AS deviceidto, dt.devicename AS node_to, "
                    "pt.port_nbr AS port_nbrto, pt.port_way AS port_wayto, pt.port_type AS port_typeto, "
                    "l.linktypeid, k.lktype, l.bidirectional, l.lkused, l.link_info "
                    "FROM macro_link l "
                    "JOIN port pf ON pf.portid = l.portidfrom JOIN functional_device df ON df.deviceid = pf.deviceid "
                    "JOIN port pt ON pt.portid = l.portidto JOIN functional_device dt ON dt.deviceid = pt.deviceid "
                    "JOIN link_type k ON k.linktypeid = l.linktypeid WHERE ") +
        where);
}

RecordSql micro_link(const char *where) {
    return RecordSql(
        std::string(
            "SELECT l.linkid, l.cpntfrom, l.motherboardfrom, COALESCE(cf.cpntname, mf.devicename) AS node_from, "
            "l.port_nbrfrom, l.cpntto, l.motherboardto, COALESCE(ct.cpntname, mt.devicename) AS node_to, l.port_nbrto, "
            "l.linktypeid, k.lktype, l.bidirectional, l.lkused "
            "FROM micro_link l "
            "LEFT JOIN board_cpnt cf ON cf.cpntid = l.cpntfrom "
            "LEFT JOIN functional_device mf ON mf.deviceid = l.motherboardfrom "
            "LEFT JOIN board_cpnt ct ON ct.cpntid = l.cpntto "
            "LEFT JOIN functional_device mt ON mt.deviceid = l.motherboardto "
            "JOIN link_type k ON k.linktypeid = l.linktypeid WHERE ") +
        where);
}

RecordSql link_type(const char *where) {
    return RecordSql(std::string("SELECT linktypeid, lktype FROM link_type WHERE ") + where);
}

// The lists that complete a record, read by the record's own id (column 0);
// joined() sorts them by name.
void type_systems(Session &s, answer::JsonObject &o, const sql::Statement &row) {
    o.text("system_list", joined(s.db(), kSystemsOfType, row.column_int(0)));
}

void device_lists(Session &, answer::JsonObject &o, const sql::Statement &row) {
    const int lists = row.column_count() - kDeviceListColumns;
    o.text("system_list", sorted_list(row.column_view(lists)));
    o.text("function_list", sorted_list(row.column_view(lists + 1)));
}

// A composite type's simple types; null for a simple type.
void link_list(Session &s, answer::JsonObject &o, const sql::Statement &row) {
    const std::string list = joined(s.db(), kMembersOfLinkType, row.column_int(0));
    if (list.empty())
        o.null("link_list");
    else
        o.text("link_list", list);
}

void check_way(const char *fn, int port_way) {
    if (const std::string problem = way_problem("port_way", port_way); !problem.empty())
        throw Failure(std::string(fn) + ": " + problem);
}

}  // namespace

}  // namespace ketral::store::queries

using namespace ketral::store;
using namespace ketral::store::queries;

extern "C" {

int GetDeviceTypeRow(const char *devicetype, int *len, char *result, char *ErrMess) {
    static RecordSql query = device_type("devicetype = ?");
    return row_query("GetDeviceTypeRow", ErrMess, query, type_systems, len, result, arg(devicetype));
}

int GetDeviceRow_devicename(const char *devicename, int *len, char *result, char *ErrMess) {
    static RecordSql query = device("d.devicename = ?");
    return row_query("GetDeviceRow_devicename", ErrMess, query, device_lists, len, result, arg(devicename));
}

int GetDeviceRow_devid(int deviceid, int *len, char *result, char *ErrMess) {
    static RecordSql query = device("d.deviceid = ?");
    return row_query("GetDeviceRow_devid", ErrMess, query, device_lists, len, result, deviceid);
}

int GetBootImageRow_devicename(const char *devicename, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT b.deviceid, d.devicename, b.boot_image, b.kernel_image, b.initrd_image, b.physical_location, "
        "b.boot_protocol FROM boot_image b JOIN functional_device d ON d.deviceid = b.deviceid "
        "WHERE d.devicename = ?");
    return row_query("GetBootImageRow_devicename", ErrMess, query, nullptr, len, result, arg(devicename));
}

int GetBoardCpntRow_cpntname(const char *cpntname, int *len, char *result, char *ErrMess) {
    static RecordSql query = board_cpnt("c.cpntname = ?");
    return row_query("GetBoardCpntRow_cpntname", ErrMess, query, nullptr, len, result, arg(cpntname));
}

int GetBoardCpntRow_cpntid(int cpntid, int *len, char *result, char *ErrMess) {
    static RecordSql query = board_cpnt("c.cpntid = ?");
    return row_query("GetBoardCpntRow_cpntid", ErrMess, query, nullptr, len, result, cpntid);
}

// Serial numbers of components need not be unique: a serial number that
// names several components is refused, pointing to the query by snbid.
int GetHWCpntRow_serialnb(const char *serialnb, int *len, char *result, char *ErrMess) {
    static RecordSql query = hw_cpnt("h.serialnb = ?");
    return guarded({"GetHWCpntRow_serialnb", ErrMess}, [&](Session &s) {
        auto count = s.db().prepare("SELECT COUNT(*) FROM hw_board_cpnt WHERE serialnb = ?");
        count.bind_all(arg(serialnb));
        const auto n = count.step() ? count->column_int(0) : 0;
        if (n > 1)
            throw Failure("GetHWCpntRow_serialnb: " + std::to_string(n) + " board components have serial number " +
                          quoted(arg(serialnb)) + "; ask by snbid (GetHWCpntRow_snbid)");
        answer_record(s, "GetHWCpntRow_serialnb", query, nullptr, len, result, arg(serialnb));
    });
}

int GetHWCpntRow_snbid(int snbid, int *len, char *result, char *ErrMess) {
    static RecordSql query = hw_cpnt("h.snbid = ?");
    return row_query("GetHWCpntRow_snbid", ErrMess, query, nullptr, len, result, snbid);
}

int GetHWDeviceRow_serialnb(const char *serialnb, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT h.serialid, h.serialnb, h.hwname, h.hwtype, h.status, h.responsible, h.location, h.comments, "
        "d.deviceid, d.devicename FROM hardware_device h LEFT JOIN functional_device d ON d.serialid = h.serialid "
        "WHERE h.serialnb = ?");
    return row_query("GetHWDeviceRow_serialnb", ErrMess, query, nullptr, len, result, arg(serialnb));
}

int GetIPAliasRow(const char *ipalias, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT a.aliasid, a.ipalias, a.ipid, i.ipaddress, i.ipname, i.subnet "
        "FROM ip_alias a JOIN ip_info i ON i.ipid = a.ipid WHERE a.ipalias = ?");
    return row_query("GetIPAliasRow", ErrMess, query, nullptr, len, result, arg(ipalias));
}

int GetPortRow_pid(int portid, int *len, char *result, char *ErrMess) {
    static RecordSql query = port("p.portid = ?");
    return row_query("GetPortRow_pid", ErrMess, query, nullptr, len, result, portid);
}

int GetPortRow_devid(int deviceid, const char *port_nbr, int port_way, const char *port_type, int *len, char *result,
                     char *ErrMess) {
    static RecordSql query = port("p.deviceid = ? AND p.port_nbr = ? AND p.port_way = ? AND p.port_type = ?");
    return row_query("GetPortRow_devid", ErrMess, query, nullptr, len, result, deviceid, arg(port_nbr), port_way,
                     arg(port_type));
}

int GetSparePortRow_snb(const char *serialnb, const char *port_nbr, int port_way, const char *port_type, int *len,
                        char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT sp.spareportid, sp.serialid, h.serialnb, sp.port_nbr, sp.port_way, sp.port_type, sp.bia, "
        "sp.macaddress FROM spare_port sp JOIN hardware_device h ON h.serialid = sp.serialid "
        "WHERE h.serialnb = ? AND sp.port_nbr = ? AND sp.port_way = ? AND sp.port_type = ?");
    return row_query("GetSparePortRow_snb", ErrMess, query, nullptr, len, result, arg(serialnb), arg(port_nbr),
                     port_way, arg(port_type));
}

int GetMacroConnectivityRow_lkid(int lkid, int *len, char *result, char *ErrMess) {
    static RecordSql query = macro_link("l.linkid = ?");
    return row_query("GetMacroConnectivityRow_lkid", ErrMess, query, nullptr, len, result, lkid);
}

// The link leaving the port when it is an output (way 2), the link reaching
// it when it is an input (way 1).
int GetMacroConnectivityRow_node(int deviceid, const char *port_nbr, int port_way, const char *port_type, int *len,
                                 char *result, char *ErrMess) {
    static const std::string port =
        "(SELECT portid FROM port WHERE deviceid = ? AND port_nbr = ? AND port_way = ? AND port_type = ?)";
    static RecordSql leaving = macro_link(("l.portidfrom = " + port).c_str());
    static RecordSql reaching = macro_link(("l.portidto = " + port).c_str());
    return guarded({"GetMacroConnectivityRow_node", ErrMess}, [&](Session &s) {
        check_way("GetMacroConnectivityRow_node", port_way);
        answer_record(s, "GetMacroConnectivityRow_node", port_way == 2 ? leaving : reaching, nullptr, len, result,
                      deviceid, arg(port_nbr), port_way, arg(port_type));
    });
}

int GetMicroConnectivityRow_lkid(int lkid, int *len, char *result, char *ErrMess) {
    static RecordSql query = micro_link("l.linkid = ?");
    return row_query("GetMicroConnectivityRow_lkid", ErrMess, query, nullptr, len, result, lkid);
}

// The micro link leaving port port_nbr of component cpntid (way 2), or
// reaching it (way 1).
int GetMicroConnectivityRow_node(int cpntid, int port_nbr, int port_way, int *len, char *result, char *ErrMess) {
    static RecordSql leaving = micro_link("l.cpntfrom = ? AND l.port_nbrfrom = ?");
    static RecordSql reaching = micro_link("l.cpntto = ? AND l.port_nbrto = ?");
    return guarded({"GetMicroConnectivityRow_node", ErrMess}, [&](Session &s) {
        check_way("GetMicroConnectivityRow_node", port_way);
        answer_record(s, "GetMicroConnectivityRow_node", port_way == 2 ? leaving : reaching, nullptr, len, result,
                      cpntid, port_nbr);
    });
}

// The address, and the first port (lowest portid) that carries it.
int GetIPInfoRow(const char *ipaddress, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT i.ipid, i.ipaddress, i.subnet, i.ipname, p.portid, p.deviceid, d.devicename, p.port_nbr "
        "FROM ip_info i LEFT JOIN port p ON p.portid = (SELECT MIN(portid) FROM port WHERE ipid = i.ipid) "
        "LEFT JOIN functional_device d ON d.deviceid = p.deviceid WHERE i.ipaddress = ?");
    return row_query("GetIPInfoRow", ErrMess, query, nullptr, len, result, arg(ipaddress));
}

int GetLkTypeRow_lkname(const char *lktype, int *len, char *result, char *ErrMess) {
    static RecordSql query = link_type("lktype = ?");
    return row_query("GetLkTypeRow_lkname", ErrMess, query, link_list, len, result, arg(lktype));
}

int GetLkTypeRow_lknb(int lknb, int *len, char *result, char *ErrMess) {
    static RecordSql query = link_type("linktypeid = ?");
    return row_query("GetLkTypeRow_lknb", ErrMess, query, link_list, len, result, lknb);
}

}  // extern "C"

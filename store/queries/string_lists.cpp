// String-list queries: packed lists of names (sorted), or of JSON objects
// when an item describes several fields. "NO_ROWS_SELECTED" when empty.
#include "store/export.hpp"
#include "store/hardware_status.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::queries {

namespace {

template <typename... Args>
int name_list(const char *fn, char *error, const char *sql, int *len, char *result, const Args &...args) {
    return guarded({fn, error}, [&](Session &s) { answer::write_list(fn, names(s.db(), sql, args...), len, result); });
}

template <typename... Args>
int record_list(const char *fn, char *error, RecordSql &query, int *len, char *result, const Args &...args) {
    return guarded({fn, error},
                   [&](Session &s) { answer::write_list(fn, records(s.db(), query, args...), len, result); });
}

const std::string kSpareHW =
    "SELECT serialid, serialnb, hwname, hwtype, location, responsible, comments FROM hardware_device "
    "WHERE status = '" +
    std::string(kSpare) + "' AND ";
const std::string kSpareCpnt =
    "SELECT snbid, serialnb, hwtype, location, responsible, comments FROM hw_board_cpnt "
    "WHERE status = '" +
    std::string(kSpare) + "' AND ";

}  // namespace

}  // namespace ketral::store::queries

using namespace ketral::store;
using namespace ketral::store::queries;

extern "C" {

int GetDeviceNamesPerType(const char *devicetype, int *len, char *result, char *ErrMess) {
    return name_list(
        "GetDeviceNamesPerType", ErrMess,
        "SELECT d.devicename FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
        "WHERE t.devicetype = ? ORDER BY d.devicename",
        len, result, arg(devicetype));
}

// Free: none of the device's ports carries a macro link, in either direction.
int GetFreeDeviceNamesPerType(const char *devicetype, int *len, char *result, char *ErrMess) {
    return name_list(
        "GetFreeDeviceNamesPerType", ErrMess,
        "SELECT d.devicename FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
        "WHERE t.devicetype = ? AND NOT EXISTS (SELECT 1 FROM port p WHERE p.deviceid = d.deviceid AND "
        "(EXISTS (SELECT 1 FROM macro_link l WHERE l.portidfrom = p.portid) OR "
        "EXISTS (SELECT 1 FROM macro_link l WHERE l.portidto = p.portid))) "
        "ORDER BY d.devicename",
        len, result, arg(devicetype));
}

int GetDeviceNamesPerLocation(const char *location, int *len, char *result, char *ErrMess) {
    return name_list("GetDeviceNamesPerLocation", ErrMess,
                     "SELECT devicename FROM functional_device WHERE location = ? ORDER BY devicename", len, result,
                     arg(location));
}

int GetDeviceNamesPerFunction(const char *function_name, int *len, char *result, char *ErrMess) {
    return name_list("GetDeviceNamesPerFunction", ErrMess,
                     "SELECT d.devicename FROM functional_device d "
                     "JOIN functional_device_function df ON df.deviceid = d.deviceid "
                     "JOIN device_function f ON f.functionid = df.functionid "
                     "WHERE f.function_name = ? ORDER BY d.devicename",
                     len, result, arg(function_name));
}

int GetBoardCpntPerType(const char *cpnttype, int *len, char *result, char *ErrMess) {
    return name_list("GetBoardCpntPerType", ErrMess,
                     "SELECT cpntname FROM board_cpnt WHERE cpnttype = ? ORDER BY cpntname", len, result,
                     arg(cpnttype));
}

int GetCpntNamesPerBoard(const char *boardname, int *len, char *result, char *ErrMess) {
    return name_list("GetCpntNamesPerBoard", ErrMess,
                     "SELECT c.cpntname FROM board_cpnt c JOIN functional_device m ON m.deviceid = c.motherboardid "
                     "WHERE m.devicename = ? ORDER BY c.cpntname",
                     len, result, arg(boardname));
}

int GetSpareHWPerLocation(const char *location, int *len, char *result, char *ErrMess) {
    static RecordSql query(std::string(kSpareHW) + "location = ? ORDER BY serialnb");
    return record_list("GetSpareHWPerLocation", ErrMess, query, len, result, arg(location));
}

int GetSpareHWCpntPerLocation(const char *location, int *len, char *result, char *ErrMess) {
    static RecordSql query(std::string(kSpareCpnt) + "location = ? ORDER BY serialnb, snbid");
    return record_list("GetSpareHWCpntPerLocation", ErrMess, query, len, result, arg(location));
}

int GetSpareHWPerType(const char *hwtype, int *len, char *result, char *ErrMess) {
    static RecordSql query(std::string(kSpareHW) + "hwtype = ? ORDER BY serialnb");
    return record_list("GetSpareHWPerType", ErrMess, query, len, result, arg(hwtype));
}

int GetSpareHWCpntPerType(const char *hwtype, int *len, char *result, char *ErrMess) {
    static RecordSql query(std::string(kSpareCpnt) + "hwtype = ? ORDER BY serialnb, snbid");
    return record_list("GetSpareHWCpntPerType", ErrMess, query, len, result, arg(hwtype));
}

// The ports kept for a piece of hardware (by serial number) until it fills a position.
int GetPortInfoPerSpare(const char *serialnb, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT sp.spareportid, sp.port_nbr, sp.port_way, sp.port_type, sp.bia, sp.macaddress "
        "FROM spare_port sp JOIN hardware_device h ON h.serialid = sp.serialid "
        "WHERE h.serialnb = ? ORDER BY sp.spareportid");
    return record_list("GetPortInfoPerSpare", ErrMess, query, len, result, arg(serialnb));
}

int GetIPAliasesPerIPName(const char *ipname, int *len, char *result, char *ErrMess) {
    return name_list("GetIPAliasesPerIPName", ErrMess,
                     "SELECT a.ipalias FROM ip_alias a JOIN ip_info i ON i.ipid = a.ipid "
                     "WHERE i.ipname = ? ORDER BY a.ipalias",
                     len, result, arg(ipname));
}

int GetAvailableFunctions(int *len, char *result, char *ErrMess) {
    return name_list("GetAvailableFunctions", ErrMess,
                     "SELECT function_name FROM device_function ORDER BY function_name", len, result);
}

int GetListOfSubsystems(int *len, char *result, char *ErrMess) {
    return name_list("GetListOfSubsystems", ErrMess, "SELECT system_name FROM subsystem ORDER BY system_name", len,
                     result);
}

// Hardware devices only (the types GetSpareHWPerType answers for); hardware
// without a type is left out.
int GetSpareHWTypeList(int *len, char *result, char *ErrMess) {
    static const std::string sql = "SELECT DISTINCT hwtype FROM hardware_device WHERE status = '" +
                                   std::string(kSpare) + "' AND hwtype IS NOT NULL AND hwtype <> '' ORDER BY hwtype";
    return name_list("GetSpareHWTypeList", ErrMess, sql.c_str(), len, result);
}

// The simple types a link type is made of, composites inside it unfolded;
// a simple type is made of itself.
int GetLkTypeDecomposition_lknb(int lknb, int *len, char *result, char *ErrMess) {
    return name_list("GetLkTypeDecomposition_lknb", ErrMess,
                     "WITH RECURSIVE part (id) AS (SELECT linktypeid FROM link_type WHERE linktypeid = ? "
                     "UNION SELECT m.simpleid FROM link_type_member m JOIN part ON m.compositeid = part.id) "
                     "SELECT k.lktype FROM link_type k JOIN part ON part.id = k.linktypeid "
                     "WHERE NOT EXISTS (SELECT 1 FROM link_type_member m WHERE m.compositeid = k.linktypeid) "
                     "ORDER BY k.lktype",
                     len, result, lknb);
}

// One JSON item per port with a MAC or an IP address.
int GetMacIPAddPerDevID(int deviceid, int *len, char *result, char *ErrMess) {
    static RecordSql query(
        "SELECT p.portid, p.port_nbr, p.port_way, p.port_type, p.macaddress, p.bia, i.ipaddress, i.subnet, i.ipname "
        "FROM port p LEFT JOIN ip_info i ON i.ipid = p.ipid "
        "WHERE p.deviceid = ? AND (COALESCE(p.macaddress, '') <> '' OR p.ipid IS NOT NULL) ORDER BY p.portid");
    return record_list("GetMacIPAddPerDevID", ErrMess, query, len, result, deviceid);
}

}  // extern "C"

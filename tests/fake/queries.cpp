// Row queries, identifier and name lookups, status, listings, integer and
// string lists, table loaders.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

// Row queries
int GetDeviceTypeRow(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetDeviceRow_devicename(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetBootImageRow_devicename(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetBoardCpntRow_cpntname(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetHWCpntRow_serialnb(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetHWDeviceRow_serialnb(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetIPAliasRow(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetDeviceRow_devid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetBoardCpntRow_cpntid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetHWCpntRow_snbid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetPortRow_pid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetPortRow_devid(int deviceid, const char *port_nbr, int port_way, const char *port_type, int *len, char *result,
                     char *err) {
    return Call(__func__)
        .integer(deviceid)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .inout(len)
        .buffer(result, *len)
        .error(err)
        .run();
}
int GetSparePortRow_snb(const char *serialnb, const char *port_nbr, int port_way, const char *port_type, int *len,
                        char *result, char *err) {
    return Call(__func__)
        .text(serialnb)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .inout(len)
        .buffer(result, *len)
        .error(err)
        .run();
}
int GetMacroConnectivityRow_lkid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetMicroConnectivityRow_lkid(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetMacroConnectivityRow_node(int deviceid, const char *port_nbr, int port_way, const char *port_type, int *len,
                                 char *result, char *err) {
    return Call(__func__)
        .integer(deviceid)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .inout(len)
        .buffer(result, *len)
        .error(err)
        .run();
}
int GetMicroConnectivityRow_node(int cpntid, int port_nbr, int port_way, int *len, char *result, char *err) {
    return Call(__func__)
        .integer(cpntid)
        .integer(port_nbr)
        .integer(port_way)
        .inout(len)
        .buffer(result, *len)
        .error(err)
        .run();
}
int GetIPInfoRow(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetLkTypeRow_lkname(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetLkTypeRow_lknb(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}

// Identifier and name lookups
int GetDeviceName_deviceid(int key, char *name, char *err) {
    return Call(__func__).integer(key).buffer(name, KETRAL_NAME_CAPACITY).error(err).run();
}
int GetCpntName_cpntid(int key, char *name, char *err) {
    return Call(__func__).integer(key).buffer(name, KETRAL_NAME_CAPACITY).error(err).run();
}
int GetDeviceID_devicename(const char *key, int *id, char *err) {
    return Call(__func__).text(key).inout(id).error(err).run();
}
int GetCpntID_cpntname(const char *key, int *id, char *err) {
    return Call(__func__).text(key).inout(id).error(err).run();
}
int GetPortID_portinfo(int deviceid, const char *port_nbr, const char *port_type, int port_way, int *id, char *err) {
    return Call(__func__).integer(deviceid).text(port_nbr).text(port_type).integer(port_way).inout(id).error(err).run();
}

// Status and last assignment
int GetFunctionalDeviceStatus(const char *key, char *result, char *err) {
    return Call(__func__).text(key).buffer(result, KETRAL_STATUS_CAPACITY).error(err).run();
}
int GetFunctionalBoardCpntStatus(const char *key, char *result, char *err) {
    return Call(__func__).text(key).buffer(result, KETRAL_STATUS_CAPACITY).error(err).run();
}
int GetHWDeviceStatus(const char *key, char *result, char *err) {
    return Call(__func__).text(key).buffer(result, KETRAL_STATUS_CAPACITY).error(err).run();
}
int GetHWBoardCpntStatus(const char *key, int key_number, char *result, char *err) {
    return Call(__func__).text(key).integer(key_number).buffer(result, KETRAL_STATUS_CAPACITY).error(err).run();
}
int GetHWLastFunctionalDevice(const char *key, char *result, int *len, char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).error(err).run();
}
int GetHWLastFunctionalBoardCpntName(const char *key, int key_number, char *result, int *len, char *err) {
    return Call(__func__).text(key).integer(key_number).buffer(result, *len).inout(len).error(err).run();
}
int GetFunctionalDeviceLastHW(const char *key, char *result, int *len, char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).error(err).run();
}
int GetFunctionalBoardCpntNameLastHW(const char *key, char *result, int *len, char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).error(err).run();
}

// Status listings and histories
int GetHWDeviceByStatus(const char *status, const char *selector, int *len, char *result, char *err) {
    return Call(__func__).text(status).text(selector).inout(len).buffer(result, *len).error(err).run();
}
int GetFunctionalDeviceByStatus(const char *status, const char *selector, int *len, char *result, char *err) {
    return Call(__func__).text(status).text(selector).inout(len).buffer(result, *len).error(err).run();
}
int GetHWBoardCpntByStatus(const char *status, char *result, int *len, char *err) {
    return Call(__func__).text(status).buffer(result, *len).inout(len).error(err).run();
}
int GetHistoryOfHWDevice(const char *key, char *result, int *len, const char *date_from, const char *date_to,
                         char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).text(date_from).text(date_to).error(err).run();
}
int GetHistoryOfHWBoardCpnt(const char *key, int key_number, char *result, int *len, const char *date_from,
                            const char *date_to, char *err) {
    return Call(__func__)
        .text(key)
        .integer(key_number)
        .buffer(result, *len)
        .inout(len)
        .text(date_from)
        .text(date_to)
        .error(err)
        .run();
}
int GetHistoryOfFunctionalDevice(const char *key, char *result, int *len, const char *date_from, const char *date_to,
                                 char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).text(date_from).text(date_to).error(err).run();
}
int GetHistoryOfFunctionalBoardCpntName(const char *key, char *result, int *len, const char *date_from,
                                        const char *date_to, char *err) {
    return Call(__func__).text(key).buffer(result, *len).inout(len).text(date_from).text(date_to).error(err).run();
}

// Integer lists
int GetPortIDPerDevID(int key, int *count, int *result, char *err) {
    return Call(__func__).integer(key).inout(count).array(result, *count).error(err).run();
}
int GetDeviceIDsPerType(const char *key, int *count, int *result, char *err) {
    return Call(__func__).text(key).inout(count).array(result, *count).error(err).run();
}
int GetLkFromDevID(int key, int *count, int *result, char *err) {
    return Call(__func__).integer(key).inout(count).array(result, *count).error(err).run();
}
int GetLkToDevID(int key, int *count, int *result, char *err) {
    return Call(__func__).integer(key).inout(count).array(result, *count).error(err).run();
}
int GetMicroLkFromCpntID(int key, int option, int *count, int *result, char *err) {
    return Call(__func__).integer(key).integer(option).inout(count).array(result, *count).error(err).run();
}
int GetMicroLkToCpntID(int key, int option, int *count, int *result, char *err) {
    return Call(__func__).integer(key).integer(option).inout(count).array(result, *count).error(err).run();
}
int GetLkIDsPerLkInfo(const char *key, int *count, int *result, char *err) {
    return Call(__func__).text(key).inout(count).array(result, *count).error(err, KETRAL_LKINFO_ERROR_CAPACITY).run();
}

// String lists
int GetDeviceNamesPerType(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetFreeDeviceNamesPerType(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetDeviceNamesPerLocation(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetDeviceNamesPerFunction(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetBoardCpntPerType(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetCpntNamesPerBoard(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetSpareHWPerLocation(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetSpareHWCpntPerLocation(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetSpareHWPerType(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetSpareHWCpntPerType(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetPortInfoPerSpare(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetIPAliasesPerIPName(const char *key, int *len, char *result, char *err) {
    return Call(__func__).text(key).inout(len).buffer(result, *len).error(err).run();
}
int GetAvailableFunctions(int *len, char *result, char *err) {
    return Call(__func__).inout(len).buffer(result, *len).error(err).run();
}
int GetListOfSubsystems(int *len, char *result, char *err) {
    return Call(__func__).inout(len).buffer(result, *len).error(err).run();
}
int GetSpareHWTypeList(int *len, char *result, char *err) {
    return Call(__func__).inout(len).buffer(result, *len).error(err).run();
}
int GetLkTypeDecomposition_lknb(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}
int GetMacIPAddPerDevID(int key, int *len, char *result, char *err) {
    return Call(__func__).integer(key).inout(len).buffer(result, *len).error(err).run();
}

// Table loaders
int LoadConnectivityTable(const char *selector, int *rows, int *lkid, int *node_from, int *node_to, int *len_port_from,
                          int *len_port_to, char *port_from, char *port_to, int *bidirectional, int *lkused,
                          int *lktype, char *lkinfo, int *len_lkinfo, char *err) {
    return Call(__func__)
        .text(selector)
        .inout(rows)
        .array(lkid, *rows)
        .array(node_from, *rows)
        .array(node_to, *rows)
        .inout(len_port_from)
        .inout(len_port_to)
        .buffer(port_from, *len_port_from)
        .buffer(port_to, *len_port_to)
        .array(bidirectional, *rows)
        .array(lkused, *rows)
        .array(lktype, *rows)
        .buffer(lkinfo, *len_lkinfo)
        .inout(len_lkinfo)
        .error(err)
        .run();
}
int MatchDeviceIDDeviceName(const char *selector, int *rows, int *ids, int *len_names, char *names, char *err) {
    return Call(__func__)
        .text(selector)
        .inout(rows)
        .array(ids, *rows)
        .inout(len_names)
        .buffer(names, *len_names)
        .error(err)
        .run();
}
int LoadDeviceTypeTable(const char *selector, int *len_names, char *names, int *rows, int *ids, char *err) {
    return Call(__func__)
        .text(selector)
        .inout(len_names)
        .buffer(names, *len_names)
        .inout(rows)
        .array(ids, *rows)
        .error(err)
        .run();
}
int LoadLinkTypeTable(int *rows, int *ids, int *len_names, char *names, char *err) {
    return Call(__func__).inout(rows).array(ids, *rows).inout(len_names).buffer(names, *len_names).error(err).run();
}

}  // extern "C"

// Row queries: one record by its key, as the library's text. Each member gives
// its library function (key first, then length, result, error) and its size.
#include "core/ketral_object.hpp"
#include "core/row_query.hpp"
#include "ketral/ketral.h"

using ketral::row_query;

std::string KETRAL::PyGetDeviceTypeRow(const std::string &devicetype) {
    return row_query(
        2000, [&](int *len, char *res, char *err) { return GetDeviceTypeRow(devicetype.c_str(), len, res, err); });
}

std::string KETRAL::PyGetDeviceRow_devicename(const std::string &devicename) {
    return row_query(2000, [&](int *len, char *res, char *err) {
        return GetDeviceRow_devicename(devicename.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetBootImageRow_devicename(const std::string &devicename) {
    return row_query(2000, [&](int *len, char *res, char *err) {
        return GetBootImageRow_devicename(devicename.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetBoardCpntRow_cpntname(const std::string &cpntname) {
    return row_query(2000, [&](int *len, char *res, char *err) {
        return GetBoardCpntRow_cpntname(cpntname.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetHWCpntRow_serialnb(const std::string &serialnb) {
    return row_query(
        2000, [&](int *len, char *res, char *err) { return GetHWCpntRow_serialnb(serialnb.c_str(), len, res, err); });
}

std::string KETRAL::PyGetHWDeviceRow_serialnb(const std::string &serialnb) {
    return row_query(
        2000, [&](int *len, char *res, char *err) { return GetHWDeviceRow_serialnb(serialnb.c_str(), len, res, err); });
}

std::string KETRAL::PyGetIPAliasRow(const std::string &ipalias) {
    return row_query(2000,
                     [&](int *len, char *res, char *err) { return GetIPAliasRow(ipalias.c_str(), len, res, err); });
}

// The library's function ends in _devid.
std::string KETRAL::PyGetDeviceRow_deviceid(int deviceid) {
    return row_query(2000, [&](int *len, char *res, char *err) { return GetDeviceRow_devid(deviceid, len, res, err); });
}

std::string KETRAL::PyGetBoardCpntRow_cpntid(int cpntid) {
    return row_query(2000,
                     [&](int *len, char *res, char *err) { return GetBoardCpntRow_cpntid(cpntid, len, res, err); });
}

std::string KETRAL::PyGetHWCpntRow_snbid(int snbid) {
    return row_query(2000, [&](int *len, char *res, char *err) { return GetHWCpntRow_snbid(snbid, len, res, err); });
}

std::string KETRAL::PyGetPortRow_pid(int pid) {
    return row_query(1000, [&](int *len, char *res, char *err) { return GetPortRow_pid(pid, len, res, err); });
}

std::string KETRAL::PyGetPortRow_devid(int deviceid, const std::string &portnb, int port_way,
                                       const std::string &port_type) {
    return row_query(1000, [&](int *len, char *res, char *err) {
        return GetPortRow_devid(deviceid, portnb.c_str(), port_way, port_type.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetSparePortRow_snb(const std::string &serialnb, const std::string &portnb, int port_way,
                                          const std::string &port_type) {
    return row_query(1000, [&](int *len, char *res, char *err) {
        return GetSparePortRow_snb(serialnb.c_str(), portnb.c_str(), port_way, port_type.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetMacroConnectivityRow_lkid(int lkid) {
    return row_query(1000,
                     [&](int *len, char *res, char *err) { return GetMacroConnectivityRow_lkid(lkid, len, res, err); });
}

std::string KETRAL::PyGetMicroConnectivityRow_lkid(int lkid) {
    return row_query(1000,
                     [&](int *len, char *res, char *err) { return GetMicroConnectivityRow_lkid(lkid, len, res, err); });
}

std::string KETRAL::PyGetMacroConnectivityRow_node(int node, const std::string &portnb, int port_way,
                                                   const std::string &port_type) {
    return row_query(1000, [&](int *len, char *res, char *err) {
        return GetMacroConnectivityRow_node(node, portnb.c_str(), port_way, port_type.c_str(), len, res, err);
    });
}

std::string KETRAL::PyGetMicroConnectivityRow_node(int node, int portnb, int port_way) {
    return row_query(1000, [&](int *len, char *res, char *err) {
        return GetMicroConnectivityRow_node(node, portnb, port_way, len, res, err);
    });
}

std::string KETRAL::PyGetIPInfoRow(const std::string &ipaddress) {
    return row_query(1000,
                     [&](int *len, char *res, char *err) { return GetIPInfoRow(ipaddress.c_str(), len, res, err); });
}

std::string KETRAL::PyGetLkTypeRow_lkname(const std::string &lkname) {
    return row_query(
        1000, [&](int *len, char *res, char *err) { return GetLkTypeRow_lkname(lkname.c_str(), len, res, err); });
}

std::string KETRAL::PyGetLkTypeRow_lknb(int lknb) {
    return row_query(1000, [&](int *len, char *res, char *err) { return GetLkTypeRow_lknb(lknb, len, res, err); });
}

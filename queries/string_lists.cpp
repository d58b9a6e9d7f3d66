// String-list queries: arguments, then length, result and error; each item
// reaches the script as the library wrote it.
#include "core/ketral_object.hpp"
#include "core/string_list.hpp"
#include "ketral/ketral.h"

using ketral::string_list;

StringVec KETRAL::PyGetDeviceNamesPerType(const std::string &devicetype) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetDeviceNamesPerType(devicetype.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetFreeDeviceNamesPerType(const std::string &devicetype) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetFreeDeviceNamesPerType(devicetype.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetDeviceNamesPerLocation(const std::string &location) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetDeviceNamesPerLocation(location.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetDeviceNamesPerFunction(const std::string &function) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetDeviceNamesPerFunction(function.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetBoardCpntPerType(const std::string &cpnttype) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetBoardCpntPerType(cpnttype.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetCpntNamesPerBoard(const std::string &boardname) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetCpntNamesPerBoard(boardname.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetSpareHWPerLocation(const std::string &location) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetSpareHWPerLocation(location.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetSpareHWCpntPerLocation(const std::string &location) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetSpareHWCpntPerLocation(location.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetSpareHWPerType(const std::string &hwtype) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetSpareHWPerType(hwtype.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetSpareHWCpntPerType(const std::string &hwtype) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetSpareHWCpntPerType(hwtype.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetPortInfoPerSpare(const std::string &spare) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetPortInfoPerSpare(spare.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetIPAliasesPerIPName(const std::string &ipname) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetIPAliasesPerIPName(ipname.c_str(), len, res, err); });
}

StringVec KETRAL::PyGetAvailableFunctions() {
    return string_list(50000, [](int *len, char *res, char *err) { return GetAvailableFunctions(len, res, err); });
}

StringVec KETRAL::PyGetListOfSubsystems() {
    return string_list(50000, [](int *len, char *res, char *err) { return GetListOfSubsystems(len, res, err); });
}

StringVec KETRAL::PyGetSpareHWTypeList() {
    return string_list(50000, [](int *len, char *res, char *err) { return GetSpareHWTypeList(len, res, err); });
}

StringVec KETRAL::PyGetLkTypeDecomposition_lknb(int lknb) {
    return string_list(
        5000, [&](int *len, char *res, char *err) { return GetLkTypeDecomposition_lknb(lknb, len, res, err); });
}

StringVec KETRAL::PyGetMacIPAddPerDevID(int deviceid) {
    return string_list(1000,
                       [&](int *len, char *res, char *err) { return GetMacIPAddPerDevID(deviceid, len, res, err); });
}

// Integer-list queries: arguments, then count, array and error.
#include "core/int_list.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using ketral::int_list;

IntVec KETRAL::PyGetPortIDPerDevID(int deviceid) {
    return int_list(1000, KETRAL_ERROR_CAPACITY,
                    [&](int *count, int *res, char *err) { return GetPortIDPerDevID(deviceid, count, res, err); });
}

IntVec KETRAL::PyGetDeviceIDsPerType(const std::string &devicetype) {
    return int_list(2000, KETRAL_ERROR_CAPACITY, [&](int *count, int *res, char *err) {
        return GetDeviceIDsPerType(devicetype.c_str(), count, res, err);
    });
}

IntVec KETRAL::PyGetLkFromDevID(int deviceid) {
    return int_list(2000, KETRAL_ERROR_CAPACITY,
                    [&](int *count, int *res, char *err) { return GetLkFromDevID(deviceid, count, res, err); });
}

IntVec KETRAL::PyGetLkToDevID(int deviceid) {
    return int_list(1000, KETRAL_ERROR_CAPACITY,
                    [&](int *count, int *res, char *err) { return GetLkToDevID(deviceid, count, res, err); });
}

IntVec KETRAL::PyGetMicroLkFromCpntID(int cpntid, int option) {
    return int_list(2000, KETRAL_ERROR_CAPACITY, [&](int *count, int *res, char *err) {
        return GetMicroLkFromCpntID(cpntid, option, count, res, err);
    });
}

IntVec KETRAL::PyGetMicroLkToCpntID(int cpntid, int option) {
    return int_list(2000, KETRAL_ERROR_CAPACITY, [&](int *count, int *res, char *err) {
        return GetMicroLkToCpntID(cpntid, option, count, res, err);
    });
}

// Link information texts can make long messages: a larger error buffer.
IntVec KETRAL::PyGetLkIDsPerLkInfo(const std::string &lkinfo) {
    return int_list(10000, KETRAL_LKINFO_ERROR_CAPACITY, [&](int *count, int *res, char *err) {
        return GetLkIDsPerLkInfo(lkinfo.c_str(), count, res, err);
    });
}

// Status and last-assignment queries: the library's text, an empty answer
// included. The last-assignment functions take the result before its length.
#include "core/ketral_object.hpp"
#include "core/status_query.hpp"
#include "ketral/ketral.h"

using ketral::last_assignment;
using ketral::status_query;

std::string KETRAL::PyGetFunctionalDeviceStatus(const std::string &devicename) {
    return status_query([&](char *res, char *err) { return GetFunctionalDeviceStatus(devicename.c_str(), res, err); });
}

std::string KETRAL::PyGetFunctionalBoardCpntStatus(const std::string &cpntname) {
    return status_query([&](char *res, char *err) { return GetFunctionalBoardCpntStatus(cpntname.c_str(), res, err); });
}

std::string KETRAL::PyGetHWDeviceStatus(const std::string &serialnb) {
    return status_query([&](char *res, char *err) { return GetHWDeviceStatus(serialnb.c_str(), res, err); });
}

std::string KETRAL::PyGetHWBoardCpntStatus(const std::string &serialnb, int key_number) {
    return status_query(
        [&](char *res, char *err) { return GetHWBoardCpntStatus(serialnb.c_str(), key_number, res, err); });
}

std::string KETRAL::PyGetHWLastFunctionalDevice(const std::string &serialnb) {
    return last_assignment(
        [&](char *res, int *len, char *err) { return GetHWLastFunctionalDevice(serialnb.c_str(), res, len, err); });
}

std::string KETRAL::PyGetHWLastFunctionalBoardCpntName(const std::string &serialnb, int key_number) {
    return last_assignment([&](char *res, int *len, char *err) {
        return GetHWLastFunctionalBoardCpntName(serialnb.c_str(), key_number, res, len, err);
    });
}

std::string KETRAL::PyGetFunctionalDeviceLastHW(const std::string &devicename) {
    return last_assignment(
        [&](char *res, int *len, char *err) { return GetFunctionalDeviceLastHW(devicename.c_str(), res, len, err); });
}

std::string KETRAL::PyGetFunctionalBoardCpntNameLastHW(const std::string &cpntname) {
    return last_assignment([&](char *res, int *len, char *err) {
        return GetFunctionalBoardCpntNameLastHW(cpntname.c_str(), res, len, err);
    });
}

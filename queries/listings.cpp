// Status listings and histories: the string-list protocol, with each library
// function's own place for the length and the result.
#include "core/ketral_object.hpp"
#include "core/string_list.hpp"
#include "ketral/ketral.h"

using ketral::string_list;

StringVec KETRAL::PyGetHWDeviceByStatus(const std::string &status, const std::string &selector) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetHWDeviceByStatus(status.c_str(), selector.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetFunctionalDeviceByStatus(const std::string &status, const std::string &selector) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetFunctionalDeviceByStatus(status.c_str(), selector.c_str(), len, res, err);
    });
}

StringVec KETRAL::PyGetHWBoardCpntByStatus(const std::string &status) {
    return string_list(
        50000, [&](int *len, char *res, char *err) { return GetHWBoardCpntByStatus(status.c_str(), res, len, err); });
}

StringVec KETRAL::PyGetHistoryOfHWDevice(const std::string &serialnb, const std::string &filter_1,
                                         const std::string &filter_2) {
    return string_list(500000, [&](int *len, char *res, char *err) {
        return GetHistoryOfHWDevice(serialnb.c_str(), res, len, filter_1.c_str(), filter_2.c_str(), err);
    });
}

StringVec KETRAL::PyGetHistoryOfHWBoardCpnt(const std::string &serialnb, int key_number, const std::string &filter_1,
                                            const std::string &filter_2) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetHistoryOfHWBoardCpnt(serialnb.c_str(), key_number, res, len, filter_1.c_str(), filter_2.c_str(), err);
    });
}

StringVec KETRAL::PyGetHistoryOfFunctionalDevice(const std::string &devicename, const std::string &filter_1,
                                                 const std::string &filter_2) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetHistoryOfFunctionalDevice(devicename.c_str(), res, len, filter_1.c_str(), filter_2.c_str(), err);
    });
}

StringVec KETRAL::PyGetHistoryOfFunctionalBoardCpntName(const std::string &cpntname, const std::string &filter_1,
                                                        const std::string &filter_2) {
    return string_list(50000, [&](int *len, char *res, char *err) {
        return GetHistoryOfFunctionalBoardCpntName(cpntname.c_str(), res, len, filter_1.c_str(), filter_2.c_str(), err);
    });
}

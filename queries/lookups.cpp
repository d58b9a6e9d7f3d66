// Identifier and name lookups: one library call each, no length, no retry.
#include "core/ketral_object.hpp"
#include "core/lookup.hpp"
#include "ketral/ketral.h"

using ketral::id_lookup;
using ketral::name_lookup;

std::string KETRAL::PyGetDeviceName_deviceid(int deviceid) {
    return name_lookup([&](char *name, char *err) { return GetDeviceName_deviceid(deviceid, name, err); });
}

std::string KETRAL::PyGetCpntName_cpntid(int cpntid) {
    return name_lookup([&](char *name, char *err) { return GetCpntName_cpntid(cpntid, name, err); });
}

int KETRAL::PyGetDeviceID_devicename(const std::string &devicename) {
    return id_lookup([&](int *id, char *err) { return GetDeviceID_devicename(devicename.c_str(), id, err); });
}

int KETRAL::PyGetCpntID_cpntname(const std::string &cpntname) {
    return id_lookup([&](int *id, char *err) { return GetCpntID_cpntname(cpntname.c_str(), id, err); });
}

// The two texts come before port_way here, unlike the port row query.
int KETRAL::PyGetPortID_portinfo(int deviceid, const std::string &portnb, const std::string &port_type, int port_way) {
    return id_lookup([&](int *id, char *err) {
        return GetPortID_portinfo(deviceid, portnb.c_str(), port_type.c_str(), port_way, id, err);
    });
}

// Device-to-device connectivity, paths, destinations and micro-connectivity.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

int GetConnectivityBetweenDevices(const char *dev_from, const char *dev_to, int *n, int *len_port_from,
                                  int *len_node_from, int *len_port_to, int *len_node_to, int *len_lkinfo,
                                  char *node_from, char *node_to, char *port_from, int *lkid, char *port_to,
                                  int *lktype, int *pathid, int *link_pos, char *lkinfo, int reload, int release,
                                  char *err) {
    return Call(__func__)
        .text(dev_from)
        .text(dev_to)
        .inout(n)
        .inout(len_port_from)
        .inout(len_node_from)
        .inout(len_port_to)
        .inout(len_node_to)
        .inout(len_lkinfo)
        .buffer(node_from, *len_node_from)
        .buffer(node_to, *len_node_to)
        .buffer(port_from, *len_port_from)
        .array(lkid, *n)
        .buffer(port_to, *len_port_to)
        .array(lktype, *n)
        .array(pathid, *n)
        .array(link_pos, *n)
        .buffer(lkinfo, *len_lkinfo)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetDetailedConnectivityBetweenDevices(const char *dev_from, const char *dev_to, char *node_from, int *n,
                                          int *len_node_from, int *len_port_from, int *len_node_to, int *len_port_to,
                                          int *len_lkinfo, char *port_from, char *port_to, int *lkid, int *lktype,
                                          char *node_to, int *pathid, int *link_pos, char *lkinfo, int reload,
                                          int release, char *err) {
    return Call(__func__)
        .text(dev_from)
        .text(dev_to)
        .buffer(node_from, *len_node_from)
        .inout(n)
        .inout(len_node_from)
        .inout(len_port_from)
        .inout(len_node_to)
        .inout(len_port_to)
        .inout(len_lkinfo)
        .buffer(port_from, *len_port_from)
        .buffer(port_to, *len_port_to)
        .array(lkid, *n)
        .array(lktype, *n)
        .buffer(node_to, *len_node_to)
        .array(pathid, *n)
        .array(link_pos, *n)
        .buffer(lkinfo, *len_lkinfo)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetDetailedConnBetweenDeviceDevType(const char *devicename, const char *nto, int nto_dtype, char *node_from,
                                        char *port_from, char *port_to, int *n, int *len_node_from, int *len_port_from,
                                        int *len_node_to, int *len_port_to, int *len_lkinfo, int *pathid, int *link_pos,
                                        char *node_to, int *lktype, int *lkid, char *lkinfo, int reload, int release,
                                        char *err) {
    return Call(__func__)
        .text(devicename)
        .text(nto)
        .integer(nto_dtype)
        .buffer(node_from, *len_node_from)
        .buffer(port_from, *len_port_from)
        .buffer(port_to, *len_port_to)
        .inout(n)
        .inout(len_node_from)
        .inout(len_port_from)
        .inout(len_node_to)
        .inout(len_port_to)
        .inout(len_lkinfo)
        .array(pathid, *n)
        .array(link_pos, *n)
        .buffer(node_to, *len_node_to)
        .array(lktype, *n)
        .array(lkid, *n)
        .buffer(lkinfo, *len_lkinfo)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetConnOutBetweenDeviceDeviceType(const char *devicename, const char *nto, int nto_dtype, int *len, char *result,
                                      int reload, int release, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(nto)
        .integer(nto_dtype)
        .inout(len)
        .buffer(result, *len)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}

int GetDestinationNamePerDevPort(const char *devicename, const char *port_nbr, const char *port_type, int *len,
                                 char *result, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(port_nbr)
        .text(port_type)
        .inout(len)
        .buffer(result, *len)
        .error(err)
        .run();
}
int GetAllPathsPerDevice(const char *devicename, const char *system_name, int *n, int *link_pos, int *pathid, int *lkid,
                         int reload, int release, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(system_name)
        .inout(n)
        .array(link_pos, *n)
        .array(pathid, *n)
        .array(lkid, *n)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetMicroConnectBetweenBoardCpntAndMotherBoard(const char *cpntname, int int_arg, int *ints1, int *ints2, int *n,
                                                  char *listA, int *lenA, char *listB, int *lenB, char *listC,
                                                  int *lenC, char *listD, int *lenD, char *err) {
    return Call(__func__)
        .text(cpntname)
        .integer(int_arg)
        .array(ints1, *n)
        .array(ints2, *n)
        .inout(n)
        .buffer(listA, *lenA)
        .inout(lenA)
        .buffer(listB, *lenB)
        .inout(lenB)
        .buffer(listC, *lenC)
        .inout(lenC)
        .buffer(listD, *lenD)
        .inout(lenD)
        .error(err)
        .run();
}
int GetMicroConnectFromPortid(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *listC, int *lenC, char *listD,
                              int *lenD, char *err) {
    return Call(__func__)
        .integer(int_arg1)
        .integer(int_arg2)
        .text(text_arg)
        .array(ints1, *n)
        .array(ints2, *n)
        .inout(n)
        .buffer(listA, *lenA)
        .inout(lenA)
        .buffer(listB, *lenB)
        .inout(lenB)
        .buffer(listC, *lenC)
        .inout(lenC)
        .buffer(listD, *lenD)
        .inout(lenD)
        .error(err)
        .run();
}
int GetMicroConnectToCpntType(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *listC, int *lenC, char *listD,
                              int *lenD, char *err) {
    return Call(__func__)
        .integer(int_arg1)
        .integer(int_arg2)
        .text(text_arg)
        .array(ints1, *n)
        .array(ints2, *n)
        .inout(n)
        .buffer(listA, *lenA)
        .inout(lenA)
        .buffer(listB, *lenB)
        .inout(lenB)
        .buffer(listC, *lenC)
        .inout(lenC)
        .buffer(listD, *lenD)
        .inout(lenD)
        .error(err)
        .run();
}

}  // extern "C"

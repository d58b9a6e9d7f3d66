// Single-record inserts: the checks of each member in order with their
// messages, then the library call with the arguments in the library's order.
#include "core/ketral_object.hpp"
#include "core/write_args.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyInsertDeviceType(const std::string &system_list, const std::string &devtype, int nbrofinput,
                                       int nbrofoutput, const std::string &description, const std::string &rgbcolor,
                                       int last) {
    // An empty description takes the device type.
    return insert_record({at_least_two(devtype, "Error:No Devtype given"), flag(last, "last is either 0 or 1")},
                         kInsertedBlank,
                         call_with(InsertDeviceType, system_list, devtype, nbrofinput, nbrofoutput,
                                   default_to(description, devtype), rgbcolor, last));
}

std::string KETRAL::PyInsertFunctionalDevice(const std::string &system_list, const std::string &devicename,
                                             const std::string &devicetype, int dnode, int promismode,
                                             const std::string &serialnb, const std::string &hwtype,
                                             const std::string &responsible, const std::string &location,
                                             const std::string &comments, const std::string &function_list,
                                             int last_rows) {
    return insert_record(
        {at_least_two(devicetype, "Error:No Devtype or devicename given"),
         at_least_two(devicename, "Error:No Devtype or devicename given"), flag(last_rows, "Error:last_rows is 1 or 0"),
         flag(dnode, "Error:dnode is 1 or 0"), flag(promismode, "Error:promismode is 1 or 0")},
        kInserted,
        call_with(InsertFunctionalDevice, system_list, devicename, devicetype, dnode, promismode, serialnb, hwtype,
                  responsible, comments, location, function_list, last_rows));
}

std::string KETRAL::PyInsertTestFunctionalDevice(const std::string &devicename, const StringVec &ipadd,
                                                 const StringVec &subnet, const StringVec &ipname,
                                                 const StringVec &portnb, const StringVec &port_list,
                                                 const IntVec &port_way, int last_rows) {
    run_checks({flag(last_rows, "Error:last_rows is 1 or 0"),
                equal_sizes(ipadd.size(), subnet.size(), "nb of ipadd, nb of subnet and nb of ipname should be equal"),
                equal_sizes(ipadd.size(), ipname.size(), "nb of ipadd, nb of subnet and nb of ipname should be equal"),
                equal_sizes(port_way.size(), portnb.size(), "nb of  nb of portnb and nb of port_way should be equal")});
    const PackedArg ipadds(ipadd, "ipadd"), subnets(subnet, "subnet"), ipnames(ipname, "ipname");
    const PackedArg portnbs(portnb, "portnb"), ports(port_list, "port_list");
    const IntArrayArg ways(port_way, "port_way");
    return insert_record({}, kInserted, [&](char *error) {
        return InsertTestFunctionalDevice(devicename.c_str(), ipadds.data(), ipadds.length(), subnets.data(),
                                          subnets.length(), ipnames.data(), ipnames.length(), portnbs.data(),
                                          portnbs.length(), ports.data(), ports.length(), ways.data(), ways.count(),
                                          last_rows, error);
    });
}

std::string KETRAL::PyInsertSpareDevice(const std::string &hwname, const std::string &hwtype,
                                        const std::string &serialnb, const std::string &responsible,
                                        const std::string &location, const std::string &comments, int last) {
    return insert_record({at_least_two(serialnb, "Error: No serialnb given"), flag(last, "Error:last is 1 or 0")},
                         kInserted,
                         call_with(InsertSpareDevice, hwname, hwtype, serialnb, responsible, comments, location, last));
}

std::string KETRAL::PyInsertSimpleLinkType(const std::string &lktype, int last_rows) {
    return insert_record({at_least_two(lktype, "Error:No lktype given"), flag(last_rows, "Error:last_rows is 1 or 0")},
                         kInserted, call_with(InsertSimpleLinkType, lktype, last_rows));
}

std::string KETRAL::PyInsertCompositeLinkType(const std::string &lktype, const std::string &link_list, int last) {
    return insert_record({not_empty(lktype, "Error:No lktype given"), flag(last, "Error:last is 1 or 0"),
                          at_least_two(link_list, "Error:list of link is empty")},
                         kInserted, call_with(InsertCompositeLinkType, lktype, link_list, last));
}

std::string KETRAL::PyInsertPort(const std::string &devicename, const std::string &port_nbr,
                                 const std::string &port_type, int port_way, const std::string &bia,
                                 const std::string &ipname, const std::string &ipaddress, const std::string &macaddress,
                                 const std::string &subnet, const IntVec &port_flags, const std::string &phy,
                                 int last_rows) {
    const PortFlags f(port_flags);
    return insert_record(
        {flag(f.pxi_booting, "pxi_bootingis equal to 1 or 0"), flag(f.admin_status, "admin_status is equal to 1 or 0"),
         way(port_way, "port_way is equal to 1 or 2"), at_least_two(devicename, "Error:devicename value is empty"),
         flag(last_rows, "Error:last_rows is 1 or 0")},
        kInserted,
        call_with(InsertPort, devicename, port_nbr, f.admin_status, port_way, f.speed, f.pxi_booting, port_type, bia,
                  ipaddress, ipname, subnet, macaddress, phy, last_rows));
}

std::string KETRAL::PyInsertMacroLink(const std::string &node_from, const std::string &node_to,
                                      const std::string &port_nbrfrom, const std::string &port_nbrto,
                                      const std::string &port_typefrom, const std::string &port_typeto,
                                      const std::string &lktype, int bidirectional, const std::string &link_info,
                                      int last_rows) {
    return insert_record(
        {not_empty(node_from, "you must give a node from name"), not_empty(node_to, "you must give a node to name"),
         not_empty(lktype, "you must give a lk type name"), flag(last_rows, "last_rows is 1 or 0")},
        kInserted,
        call_with(InsertMacroLink, node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto, lktype,
                  link_info, bidirectional, last_rows));
}

std::string KETRAL::PyInsertSparePort(const std::string &serialnb, const std::string &port_nbr, int port_way,
                                      const std::string &port_type, const std::string &bia, const std::string &mac,
                                      int last_rows) {
    return insert_record(
        {way(port_way, "port_way is equal to 1 or 2"), at_least_two(serialnb, "Error:serialnb  value is empty"),
         at_least_two(bia, "Error:bia  value is empty"), at_least_two(mac, "Error:mac  value is empty"),
         flag(last_rows, "last_rows is 1 or 0")},
        kInserted, call_with(InsertSparePort, serialnb, port_nbr, port_way, port_type, bia, mac, last_rows));
}

std::string KETRAL::PyInsertSimpleDeviceFunction(const std::string &function_name, int last) {
    return insert_record({at_least_two(function_name, "No function given"), flag(last, "last is either 0 or 1")},
                         kInsertedBlank, call_with(InsertSimpleDeviceFunction, function_name, last));
}

std::string KETRAL::PyInsertSubsystem(const std::string &system_name, const std::string &parent_name) {
    return insert_record({}, kInsertedBlank, call_with(InsertSubsystem, system_name, parent_name));
}

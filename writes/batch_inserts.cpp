// Batched inserts: one record of a series per call, closed by the batch flags
// first and last, which go last to the library. Each member tests last before
// first, with its own messages.
#include "core/ketral_object.hpp"
#include "core/write_args.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyInsertMultipleSpareDevices(const std::string &hwname, const std::string &hwtype,
                                                 const std::string &serialnb, const std::string &responsible,
                                                 const std::string &location, const std::string &comments, int first,
                                                 int last) {
    return insert_record(
        {at_least_two(serialnb, "Error: No serialnb given"), flag(last, "Error:last is 1 or 0"),
         flag(first, "Error:first is 1 or 0")},
        kInserted,
        call_with(InsertMultipleSpareDevices, hwname, hwtype, serialnb, responsible, comments, location, first, last));
}

std::string KETRAL::PyInsertMultipleBoardCpnts(const std::string &cpntname, const std::string &cpnttype, int replacable,
                                               const std::string &motherboardname, const std::string &serialnb,
                                               const std::string &hwtype, const std::string &responsible,
                                               const std::string &location, const std::string &comments, int first,
                                               int last) {
    return insert_record(
        {flag(replacable, "Error:replacable is 1 or 0"), flag(last, "Error:last is 1 or 0"),
         flag(first, "Error:first is 1 or 0"), pair(motherboardname, location, "Error: you should give a location"),
         pair(location, motherboardname, "Error: you should give the motherboardname")},
        kInserted,
        call_with(InsertMultipleBoardCpnts, cpntname, cpnttype, replacable, motherboardname, serialnb, hwtype,
                  responsible, comments, location, first, last));
}

std::string KETRAL::PyInsertMultipleDeviceTypes(const std::string &system_list, const std::string &devtype,
                                                int nbrofinput, int nbrofoutput, const std::string &description,
                                                const std::string &rgbcolor, int first, int last) {
    // An empty description takes the device type.
    return insert_record({at_least_two(devtype, "No Devtype given"), flag(last, "last is either 0 or 1"),
                          flag(first, "first is 0 or 1")},
                         kInsertedBlank,
                         call_with(InsertMultipleDeviceTypes, system_list, devtype, nbrofinput, nbrofoutput,
                                   default_to(description, devtype), rgbcolor, first, last));
}

std::string KETRAL::PyInsertMultipleFunctionalDevices(const std::string &system_list, const std::string &devicename,
                                                      const std::string &devicetype, int dnode, int promismode,
                                                      const std::string &serialnb, const std::string &hwtype,
                                                      const std::string &responsible, const std::string &location,
                                                      const std::string &comments, const std::string &function_list,
                                                      int first, int last_rows) {
    return insert_record(
        {at_least_two(devicetype, "No Devtype or devicename given"),
         at_least_two(devicename, "No Devtype or devicename given"), flag(last_rows, "last_rows is 1 or 0"),
         flag(dnode, "dnode is 1 or 0"), flag(promismode, "promismode is 1 or 0"),
         flag(first, "first is equal to 0 or 1")},
        kInserted,
        call_with(InsertMultipleFunctionalDevices, system_list, devicename, devicetype, dnode, promismode, serialnb,
                  hwtype, responsible, comments, location, function_list, first, last_rows));
}

std::string KETRAL::PyInsertMultipleSimpleLinkTypes(const std::string &lktype, int first, int last_rows) {
    return insert_record({at_least_two(lktype, "No lktype given"), flag(last_rows, "last_rows is 1 or 0"),
                          flag(first, "first is equal to 0 or 1")},
                         kInserted, call_with(InsertMultipleSimpleLinkTypes, lktype, first, last_rows));
}

std::string KETRAL::PyInsertMultipleCompositeLinkTypes(const std::string &lktype, const std::string &link_list,
                                                       int first, int last) {
    return insert_record({not_empty(lktype, "No lktype given"), flag(last, "last is 1 or 0"),
                          at_least_two(link_list, "list of link is empty"), flag(first, "first is equal to 0 or 1")},
                         kInserted, call_with(InsertMultipleCompositeLinkTypes, lktype, link_list, first, last));
}

std::string KETRAL::PyInsertMultiplePorts(const std::string &devicename, const std::string &port_nbr, int port_way,
                                          const std::string &port_type, const std::string &bia,
                                          const std::string &ipname, const std::string &ipaddress,
                                          const std::string &macaddress, const std::string &subnet,
                                          const IntVec &port_flags, const std::string &phy, int first, int last_rows) {
    const PortFlags f(port_flags);
    return insert_record(
        {flag(f.pxi_booting, "pxi_bootingis equal to 1 or 0"), flag(f.admin_status, "admin_status is equal to 1 or 0"),
         way(port_way, "port_way is equal to 1 or 2"), at_least_two(devicename, "Error:devicename value is empty"),
         flag(last_rows, "last_rows is 1 or 0"), flag(first, "first is equal to 0 or 1")},
        kInserted,
        call_with(InsertMultiplePorts, devicename, port_nbr, f.admin_status, port_way, f.speed, f.pxi_booting,
                  port_type, bia, ipaddress, ipname, subnet, macaddress, phy, first, last_rows));
}

std::string KETRAL::PyInsertMultipleSparePorts(const std::string &serialnb, const std::string &port_nbr, int port_way,
                                               const std::string &port_type, const std::string &bia,
                                               const std::string &mac, int first, int last_rows) {
    return insert_record(
        {way(port_way, "port_way is equal to 1 or 2"), at_least_two(serialnb, "Error:serialnb  value is empty"),
         at_least_two(bia, "Error:bia  value is empty"), at_least_two(mac, "Error:mac  value is empty"),
         flag(last_rows, "last_rows is 1 or 0"), flag(first, "first is equal to 0 or 1")},
        kInserted,
        call_with(InsertMultipleSparePorts, serialnb, port_nbr, port_way, port_type, bia, mac, first, last_rows));
}

std::string KETRAL::PyInsertMultipleMacroLinks(const std::string &node_from, const std::string &node_to,
                                               const std::string &port_nbrfrom, const std::string &port_nbrto,
                                               const std::string &port_typefrom, const std::string &port_typeto,
                                               const std::string &lktype, int bidirectional,
                                               const std::string &link_info, int first, int last) {
    return insert_record(
        {not_empty(node_from, "you must give a node from name"), not_empty(node_to, "you must give a node to name"),
         not_empty(lktype, "you must give a lk type name"), flag(last, "last is equal to 0 or 1"),
         flag(first, "first is equal to 0 or 1")},
        kInserted,
        call_with(InsertMultipleMacroLinks, node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto,
                  lktype, link_info, bidirectional, first, last));
}

std::string KETRAL::PyInsertMultipleMicroLinks(const std::string &node_from, const std::string &node_to,
                                               int port_nbrfrom, int port_nbrto, const std::string &lktype,
                                               int bidirectional, int first, int last) {
    return insert_record(
        {not_empty(node_from, "you must give a node from name"), not_empty(node_to, "you must give a node to name"),
         not_empty(lktype, "you must give a lk type name"), flag(last, "last is equal to 0 or 1"),
         flag(first, "first is equal to 0 or 1")},
        kInserted,
        call_with(InsertMultipleMicroLinks, node_from, node_to, port_nbrfrom, port_nbrto, lktype, bidirectional, first,
                  last));
}

std::string KETRAL::PyInsertMultipleBootImages(const std::string &devicename, const std::string &boot_image,
                                               const std::string &kernel_image, const std::string &initrd_image,
                                               const std::string &physical_location, const std::string &boot_protocol,
                                               int first, int last) {
    return insert_record({flag(last, "last is equal to 0 or 1"), flag(first, "first is equal to 0 or 1")}, kInserted,
                         call_with(InsertMultipleBootImages, devicename, boot_image, kernel_image, initrd_image,
                                   physical_location, boot_protocol, first, last));
}

std::string KETRAL::PyInsertMultipleIPAliases(const std::string &ipaddress, const std::string &ipname,
                                              const std::string &ipalias, int first, int last) {
    return insert_record({flag(last, "last is either 0 or 1"), flag(first, "first is 0 or 1")}, kInsertedBlank,
                         call_with(InsertMultipleIPAliases, ipaddress, ipname, ipalias, first, last));
}

// Batched inserts: one record of a series per call, closed by the batch flags
// first and last, which go last to the library. Each member tests last before
// first, with its own messages.
#include "core/ketral_object.hpp"
#include "core/write_args.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyInsertMultipleSpareDevices(Str hwname, Str hwtype, Str serialnb, Str responsible,
                                                 Str location, Str comments, int first, int last) {
    return insert_record({at_least_two(serialnb, "Error: No serialnb given"), flag(last, "Error:last is 1 or 0"),
                          flag(first, "Error:first is 1 or 0")},
                         kInserted,
                         call_with(InsertMultipleSpareDevices, hwname, hwtype, serialnb, responsible, comments,
                                   location, first, last));
}

std::string KETRAL::PyInsertMultipleBoardCpnts(Str cpntname, Str cpnttype, int replacable, Str motherboardname,
                                               Str serialnb, Str hwtype, Str responsible, Str location,
                                               Str comments, int first, int last) {
    return insert_record({flag(replacable, "Error:replacable is 1 or 0"), flag(last, "Error:last is 1 or 0"),
                          flag(first, "Error:first is 1 or 0"),
                          pair(motherboardname, location, "Error: you should give a location"),
                          pair(location, motherboardname, "Error: you should give the motherboardname")},
                         kInserted,
                         call_with(InsertMultipleBoardCpnts, cpntname, cpnttype, replacable, motherboardname,
                                   serialnb, hwtype, responsible, comments, location, first, last));
}

std::string KETRAL::PyInsertMultipleDeviceTypes(Str system_list, Str devtype, int nbrofinput, int nbrofoutput,
                                                Str description, Str rgbcolor, int first, int last) {
    // An empty description takes the device type.
    return insert_record({at_least_two(devtype, "No Devtype given"), flag(last, "last is either 0 or 1"),
                          flag(first, "first is 0 or 1")},
                         kInsertedBlank,
                         call_with(InsertMultipleDeviceTypes, system_list, devtype, nbrofinput, nbrofoutput,
                                   default_to(description, devtype), rgbcolor, first, last));
}

std::string KETRAL::PyInsertMultipleFunctionalDevices(Str system_list, Str devicename, Str devicetype, int dnode,
                                                      int promismode, Str serialnb, Str hwtype, Str responsible,
                                                      Str location, Str comments, Str function_list, int first,
                                                      int last_rows) {
    return insert_record({at_least_two(devicetype, "No Devtype or devicename given"),
                          at_least_two(devicename, "No Devtype or devicename given"),
                          flag(last_rows, "last_rows is 1 or 0"), flag(dnode, "dnode is 1 or 0"),
                          flag(promismode, "promismode is 1 or 0"), flag(first, "first is equal to 0 or 1")},
                         kInserted,
                         call_with(InsertMultipleFunctionalDevices, system_list, devicename, devicetype, dnode,
                                   promismode, serialnb, hwtype, responsible, comments, location, function_list,
                                   first, last_rows));
}

std::string KETRAL::PyInsertMultipleSimpleLinkTypes(Str lktype, int first, int last_rows) {
    return insert_record({at_least_two(lktype, "No lktype given"), flag(last_rows, "last_rows is 1 or 0"),
                          flag(first, "first is equal to 0 or 1")},
                         kInserted, call_with(InsertMultipleSimpleLinkTypes, lktype, first, last_rows));
}

std::string KETRAL::PyInsertMultipleCompositeLinkTypes(Str lktype, Str link_list, int first, int last) {
    return insert_record({not_empty(lktype, "No lktype given"), flag(last, "last is 1 or 0"),
                          at_least_two(link_list, "list of link is empty"), flag(first, "first is equal to 0 or 1")},
                         kInserted, call_with(InsertMultipleCompositeLinkTypes, lktype, link_list, first, last));
}

std::string KETRAL::PyInsertMultiplePorts(Str devicename, Str port_nbr, int port_way, Str port_type, Str bia,
                                          Str ipname, Str ipaddress, Str macaddress, Str subnet,
                                          const IntVec &port_flags, Str phy, int first, int last_rows) {
    const PortFlags f(port_flags);
    return insert_record({flag(f.pxi_booting, "pxi_bootingis equal to 1 or 0"),
                          flag(f.admin_status, "admin_status is equal to 1 or 0"),
                          way(port_way, "port_way is equal to 1 or 2"),
                          at_least_two(devicename, "Error:devicename value is empty"),
                          flag(last_rows, "last_rows is 1 or 0"), flag(first, "first is equal to 0 or 1")},
                         kInserted,
                         call_with(InsertMultiplePorts, devicename, port_nbr, f.admin_status, port_way, f.speed,
                                   f.pxi_booting, port_type, bia, ipaddress, ipname, subnet, macaddress, phy, first,
                                   last_rows));
}

std::string KETRAL::PyInsertMultipleSparePorts(Str serialnb, Str port_nbr, int port_way, Str port_type, Str bia,
                                               Str mac, int first, int last_rows) {
    return insert_record({way(port_way, "port_way is equal to 1 or 2"),
                          at_least_two(serialnb, "Error:serialnb  value is empty"),
                          at_least_two(bia, "Error:bia  value is empty"), at_least_two(mac, "Error:mac  value is empty"),
                          flag(last_rows, "last_rows is 1 or 0"), flag(first, "first is equal to 0 or 1")},
                         kInserted,
                         call_with(InsertMultipleSparePorts, serialnb, port_nbr, port_way, port_type, bia, mac, first,
                                   last_rows));
}

std::string KETRAL::PyInsertMultipleMacroLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_nbrto,
                                               Str port_typefrom, Str port_typeto, Str lktype, int bidirectional,
                                               Str link_info, int first, int last) {
    return insert_record({not_empty(node_from, "you must give a node from name"),
                          not_empty(node_to, "you must give a node to name"),
                          not_empty(lktype, "you must give a lk type name"), flag(last, "last is equal to 0 or 1"),
                          flag(first, "first is equal to 0 or 1")},
                         kInserted,
                         call_with(InsertMultipleMacroLinks, node_from, node_to, port_nbrfrom, port_nbrto,
                                   port_typefrom, port_typeto, lktype, link_info, bidirectional, first, last));
}

std::string KETRAL::PyInsertMultipleMicroLinks(Str node_from, Str node_to, int port_nbrfrom, int port_nbrto,
                                               Str lktype, int bidirectional, int first, int last) {
    return insert_record({not_empty(node_from, "you must give a node from name"),
                          not_empty(node_to, "you must give a node to name"),
                          not_empty(lktype, "you must give a lk type name"), flag(last, "last is equal to 0 or 1"),
                          flag(first, "first is equal to 0 or 1")},
                         kInserted,
                         call_with(InsertMultipleMicroLinks, node_from, node_to, port_nbrfrom, port_nbrto, lktype,
                                   bidirectional, first, last));
}

std::string KETRAL::PyInsertMultipleBootImages(Str devicename, Str boot_image, Str kernel_image, Str initrd_image,
                                               Str physical_location, Str boot_protocol, int first, int last) {
    return insert_record({flag(last, "last is equal to 0 or 1"), flag(first, "first is equal to 0 or 1")}, kInserted,
                         call_with(InsertMultipleBootImages, devicename, boot_image, kernel_image, initrd_image,
                                   physical_location, boot_protocol, first, last));
}

std::string KETRAL::PyInsertMultipleIPAliases(Str ipaddress, Str ipname, Str ipalias, int first, int last) {
    return insert_record({flag(last, "last is either 0 or 1"), flag(first, "first is 0 or 1")}, kInsertedBlank,
                         call_with(InsertMultipleIPAliases, ipaddress, ipname, ipalias, first, last));
}

// Batched updates: one record of a series per call; first and last are
// checked (first, then last) and passed last to the library, the record
// values before them in script order.
#include "core/ketral_object.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyUpdateMultiplePorts(Str devicename, Str port_nbr, int port_way, Str port_type, int speed,
                                          Str phy, int pxi_booting, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultiplePorts, devicename, port_nbr, port_way, port_type, speed,
                                               phy, pxi_booting, first, last));
}

std::string KETRAL::PyUpdateMultipleAttributeMacIPs(Str ipaddress, Str subnet, Str ipname, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleAttributeMacIPs, ipaddress, subnet, ipname, first, last));
}

std::string KETRAL::PyUpdateMultipleIPAddresses(Str ip_old, Str ip_new, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleIPAddresses, ip_old, ip_new, first, last));
}

std::string KETRAL::PyUpdateMultipleCompositeLinkTypes(Str lktype, Str link_list, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleCompositeLinkTypes, lktype, link_list, first, last));
}

std::string KETRAL::PyUpdateMultipleLinkTypeNames(Str old_name, Str new_name, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleLinkTypeNames, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypeAttributes(Str devicetype, Str description, int nbrofinput,
                                                         int nbrofoutput, Str rgbcolor, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDeviceTypeAttributes, devicetype, description,
                                               nbrofinput, nbrofoutput, rgbcolor, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypes(Str old_name, Str new_name, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDeviceTypes, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleAttributesDevices(Str devicename, int dnode, int promiscuous_mode, Str location,
                                                      Str function_list, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleAttributesDevices, devicename, dnode, promiscuous_mode,
                                               location, function_list, first, last));
}

std::string KETRAL::PyUpdateMultipleDevNamesDevices(Str old_name, Str new_name, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDevNamesDevices, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleBidirectionalLinks(Str node_from, Str node_to, Str port_nbrfrom,
                                                       Str port_typefrom, Str port_nbrto, Str port_typeto,
                                                       int bidirectional, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleBidirectionalLinks, node_from, node_to, port_nbrfrom,
                                               port_typefrom, port_nbrto, port_typeto, bidirectional, first, last));
}

std::string KETRAL::PyUpdateMultipleLkUsedLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                                Str port_nbrto, Str port_typeto, int lkused, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleLkUsedLinks, node_from, node_to, port_nbrfrom,
                                               port_typefrom, port_nbrto, port_typeto, lkused, first, last));
}

std::string KETRAL::PyUpdateMultipleLkTypeLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                                Str port_nbrto, Str port_typeto, Str lktype, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleLkTypeLinks, node_from, node_to, port_nbrfrom,
                                               port_typefrom, port_nbrto, port_typeto, lktype, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceSystemList(Str devicename, Str system_list, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDeviceSystemList, devicename, system_list, first, last));
}

std::string KETRAL::PyUpdateMultipleDTypeDevices(Str devicename, Str devicetype, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDTypeDevices, devicename, devicetype, first, last));
}

std::string KETRAL::PyUpdateMultipleLkInfoLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                                Str port_nbrto, Str port_typeto, Str link_info, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleLkInfoLinks, node_from, node_to, port_nbrfrom,
                                               port_typefrom, port_nbrto, port_typeto, link_info, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypeSystemList(Str devicetype, Str system_list, int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleDeviceTypeSystemList, devicetype, system_list, first, last));
}

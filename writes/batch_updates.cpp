// Batched updates: one record of a series per call; first and last are
// checked (first, then last) and passed last to the library, the record
// values before them in script order.
#include "core/ketral_object.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyUpdateMultiplePorts(const std::string &devicename, const std::string &port_nbr, int port_way,
                                          const std::string &port_type, int speed, const std::string &phy,
                                          int pxi_booting, int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultiplePorts, devicename, port_nbr, port_way, port_type, speed, phy,
                                  pxi_booting, first, last));
}

std::string KETRAL::PyUpdateMultipleAttributeMacIPs(const std::string &ipaddress, const std::string &subnet,
                                                    const std::string &ipname, int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleAttributeMacIPs, ipaddress, subnet, ipname, first, last));
}

std::string KETRAL::PyUpdateMultipleIPAddresses(const std::string &ip_old, const std::string &ip_new, int first,
                                                int last) {
    return batch_update(first, last, call_with(UpdateMultipleIPAddresses, ip_old, ip_new, first, last));
}

std::string KETRAL::PyUpdateMultipleCompositeLinkTypes(const std::string &lktype, const std::string &link_list,
                                                       int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleCompositeLinkTypes, lktype, link_list, first, last));
}

std::string KETRAL::PyUpdateMultipleLinkTypeNames(const std::string &old_name, const std::string &new_name, int first,
                                                  int last) {
    return batch_update(first, last, call_with(UpdateMultipleLinkTypeNames, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypeAttributes(const std::string &devicetype, const std::string &description,
                                                         int nbrofinput, int nbrofoutput, const std::string &rgbcolor,
                                                         int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleDeviceTypeAttributes, devicetype, description, nbrofinput, nbrofoutput,
                                  rgbcolor, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypes(const std::string &old_name, const std::string &new_name, int first,
                                                int last) {
    return batch_update(first, last, call_with(UpdateMultipleDeviceTypes, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleAttributesDevices(const std::string &devicename, int dnode, int promiscuous_mode,
                                                      const std::string &location, const std::string &function_list,
                                                      int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleAttributesDevices, devicename, dnode, promiscuous_mode, location,
                                  function_list, first, last));
}

std::string KETRAL::PyUpdateMultipleDevNamesDevices(const std::string &old_name, const std::string &new_name, int first,
                                                    int last) {
    return batch_update(first, last, call_with(UpdateMultipleDevNamesDevices, old_name, new_name, first, last));
}

std::string KETRAL::PyUpdateMultipleBidirectionalLinks(const std::string &node_from, const std::string &node_to,
                                                       const std::string &port_nbrfrom,
                                                       const std::string &port_typefrom, const std::string &port_nbrto,
                                                       const std::string &port_typeto, int bidirectional, int first,
                                                       int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleBidirectionalLinks, node_from, node_to, port_nbrfrom, port_typefrom,
                                  port_nbrto, port_typeto, bidirectional, first, last));
}

std::string KETRAL::PyUpdateMultipleLkUsedLinks(const std::string &node_from, const std::string &node_to,
                                                const std::string &port_nbrfrom, const std::string &port_typefrom,
                                                const std::string &port_nbrto, const std::string &port_typeto,
                                                int lkused, int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleLkUsedLinks, node_from, node_to, port_nbrfrom, port_typefrom,
                                  port_nbrto, port_typeto, lkused, first, last));
}

std::string KETRAL::PyUpdateMultipleLkTypeLinks(const std::string &node_from, const std::string &node_to,
                                                const std::string &port_nbrfrom, const std::string &port_typefrom,
                                                const std::string &port_nbrto, const std::string &port_typeto,
                                                const std::string &lktype, int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleLkTypeLinks, node_from, node_to, port_nbrfrom, port_typefrom,
                                  port_nbrto, port_typeto, lktype, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceSystemList(const std::string &devicename, const std::string &system_list,
                                                     int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDeviceSystemList, devicename, system_list, first, last));
}

std::string KETRAL::PyUpdateMultipleDTypeDevices(const std::string &devicename, const std::string &devicetype,
                                                 int first, int last) {
    return batch_update(first, last, call_with(UpdateMultipleDTypeDevices, devicename, devicetype, first, last));
}

std::string KETRAL::PyUpdateMultipleLkInfoLinks(const std::string &node_from, const std::string &node_to,
                                                const std::string &port_nbrfrom, const std::string &port_typefrom,
                                                const std::string &port_nbrto, const std::string &port_typeto,
                                                const std::string &link_info, int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleLkInfoLinks, node_from, node_to, port_nbrfrom, port_typefrom,
                                  port_nbrto, port_typeto, link_info, first, last));
}

std::string KETRAL::PyUpdateMultipleDeviceTypeSystemList(const std::string &devicetype, const std::string &system_list,
                                                         int first, int last) {
    return batch_update(first, last,
                        call_with(UpdateMultipleDeviceTypeSystemList, devicetype, system_list, first, last));
}

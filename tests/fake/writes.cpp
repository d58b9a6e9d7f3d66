// Inserts (single and batched), updates, swaps and deletes.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

// Single-record inserts
int InsertDeviceType(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                     const char *description, const char *rgbcolor, int last_rows, char *err) {
    return Call(__func__)
        .text(system_list)
        .text(devicetype)
        .integer(nbrofinput)
        .integer(nbrofoutput)
        .text(description)
        .text(rgbcolor)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertFunctionalDevice(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                           int promiscuous_mode, const char *serialnb, const char *hwtype, const char *responsible,
                           const char *comments, const char *location, const char *function_list, int last_rows,
                           char *err) {
    return Call(__func__)
        .text(system_list)
        .text(devicename)
        .text(devicetype)
        .integer(dnode)
        .integer(promiscuous_mode)
        .text(serialnb)
        .text(hwtype)
        .text(responsible)
        .text(comments)
        .text(location)
        .text(function_list)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertTestFunctionalDevice(const char *devicename, const char *ipadd, int ipadd_len, const char *subnet,
                               int subnet_len, const char *ipname, int ipname_len, const char *portnb, int portnb_len,
                               const char *port_list, int port_list_len, const int *port_way, int port_way_count,
                               int last_rows, char *err) {
    return Call(__func__)
        .text(devicename)
        .packed(ipadd, ipadd_len)
        .packed(subnet, subnet_len)
        .packed(ipname, ipname_len)
        .packed(portnb, portnb_len)
        .packed(port_list, port_list_len)
        .ints(port_way, port_way_count)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertSpareDevice(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                      const char *comments, const char *location, int last_rows, char *err) {
    return Call(__func__)
        .text(hwname)
        .text(hwtype)
        .text(serialnb)
        .text(responsible)
        .text(comments)
        .text(location)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertSimpleLinkType(const char *lktype, int last_rows, char *err) {
    return Call(__func__).text(lktype).integer(last_rows).error(err).run();
}
int InsertCompositeLinkType(const char *lktype, const char *link_list, int last_rows, char *err) {
    return Call(__func__).text(lktype).text(link_list).integer(last_rows).error(err).run();
}
int InsertPort(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed, int pxi_booting,
               const char *port_type, const char *bia, const char *ipaddress, const char *ipname, const char *subnet,
               const char *macaddress, const char *phy, int last_rows, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(port_nbr)
        .integer(admin_status)
        .integer(port_way)
        .integer(speed)
        .integer(pxi_booting)
        .text(port_type)
        .text(bia)
        .text(ipaddress)
        .text(ipname)
        .text(subnet)
        .text(macaddress)
        .text(phy)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertMacroLink(const char *node_from, const char *node_to, const char *port_nbrfrom, const char *port_nbrto,
                    const char *port_typefrom, const char *port_typeto, const char *lktype, const char *link_info,
                    int bidirectional, int last_rows, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_nbrto)
        .text(port_typefrom)
        .text(port_typeto)
        .text(lktype)
        .text(link_info)
        .integer(bidirectional)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertSparePort(const char *serialnb, const char *port_nbr, int port_way, const char *port_type, const char *bia,
                    const char *macaddress, int last_rows, char *err) {
    return Call(__func__)
        .text(serialnb)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .text(bia)
        .text(macaddress)
        .integer(last_rows)
        .error(err)
        .run();
}
int InsertSimpleDeviceFunction(const char *function_name, int last_rows, char *err) {
    return Call(__func__).text(function_name).integer(last_rows).error(err).run();
}
int InsertSubsystem(const char *system_name, const char *parent_name, char *err) {
    return Call(__func__).text(system_name).text(parent_name).error(err).run();
}

// Batched inserts
int InsertMultipleSpareDevices(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                               const char *comments, const char *location, int first, int last, char *err) {
    return Call(__func__)
        .text(hwname)
        .text(hwtype)
        .text(serialnb)
        .text(responsible)
        .text(comments)
        .text(location)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleBoardCpnts(const char *cpntname, const char *cpnttype, int replacable, const char *motherboardname,
                             const char *serialnb, const char *hwtype, const char *responsible, const char *comments,
                             const char *location, int first, int last, char *err) {
    return Call(__func__)
        .text(cpntname)
        .text(cpnttype)
        .integer(replacable)
        .text(motherboardname)
        .text(serialnb)
        .text(hwtype)
        .text(responsible)
        .text(comments)
        .text(location)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleDeviceTypes(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                              const char *description, const char *rgbcolor, int first, int last, char *err) {
    return Call(__func__)
        .text(system_list)
        .text(devicetype)
        .integer(nbrofinput)
        .integer(nbrofoutput)
        .text(description)
        .text(rgbcolor)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleFunctionalDevices(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                                    int promiscuous_mode, const char *serialnb, const char *hwtype,
                                    const char *responsible, const char *comments, const char *location,
                                    const char *function_list, int first, int last, char *err) {
    return Call(__func__)
        .text(system_list)
        .text(devicename)
        .text(devicetype)
        .integer(dnode)
        .integer(promiscuous_mode)
        .text(serialnb)
        .text(hwtype)
        .text(responsible)
        .text(comments)
        .text(location)
        .text(function_list)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleSimpleLinkTypes(const char *lktype, int first, int last, char *err) {
    return Call(__func__).text(lktype).integer(first).integer(last).error(err).run();
}
int InsertMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *err) {
    return Call(__func__).text(lktype).text(link_list).integer(first).integer(last).error(err).run();
}
int InsertMultiplePorts(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed,
                        int pxi_booting, const char *port_type, const char *bia, const char *ipaddress,
                        const char *ipname, const char *subnet, const char *macaddress, const char *phy, int first,
                        int last, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(port_nbr)
        .integer(admin_status)
        .integer(port_way)
        .integer(speed)
        .integer(pxi_booting)
        .text(port_type)
        .text(bia)
        .text(ipaddress)
        .text(ipname)
        .text(subnet)
        .text(macaddress)
        .text(phy)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleSparePorts(const char *serialnb, const char *port_nbr, int port_way, const char *port_type,
                             const char *bia, const char *macaddress, int first, int last, char *err) {
    return Call(__func__)
        .text(serialnb)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .text(bia)
        .text(macaddress)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleMacroLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                             const char *port_nbrto, const char *port_typefrom, const char *port_typeto,
                             const char *lktype, const char *link_info, int bidirectional, int first, int last,
                             char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_nbrto)
        .text(port_typefrom)
        .text(port_typeto)
        .text(lktype)
        .text(link_info)
        .integer(bidirectional)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleMicroLinks(const char *node_from, const char *node_to, int port_nbrfrom, int port_nbrto,
                             const char *lktype, int bidirectional, int first, int last, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .integer(port_nbrfrom)
        .integer(port_nbrto)
        .text(lktype)
        .integer(bidirectional)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleBootImages(const char *devicename, const char *boot_image, const char *kernel_image,
                             const char *initrd_image, const char *physical_location, const char *boot_protocol,
                             int first, int last, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(boot_image)
        .text(kernel_image)
        .text(initrd_image)
        .text(physical_location)
        .text(boot_protocol)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int InsertMultipleIPAliases(const char *ipaddress, const char *ipname, const char *ipalias, int first, int last,
                            char *err) {
    return Call(__func__).text(ipaddress).text(ipname).text(ipalias).integer(first).integer(last).error(err).run();
}

// Batched updates
int UpdateMultiplePorts(const char *devicename, const char *port_nbr, int port_way, const char *port_type, int speed,
                        const char *phy, int pxi_booting, int first, int last, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .integer(speed)
        .text(phy)
        .integer(pxi_booting)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleAttributeMacIPs(const char *ipaddress, const char *subnet, const char *ipname, int first, int last,
                                  char *err) {
    return Call(__func__).text(ipaddress).text(subnet).text(ipname).integer(first).integer(last).error(err).run();
}
int UpdateMultipleIPAddresses(const char *ip_old, const char *ip_new, int first, int last, char *err) {
    return Call(__func__).text(ip_old).text(ip_new).integer(first).integer(last).error(err).run();
}
int UpdateMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *err) {
    return Call(__func__).text(lktype).text(link_list).integer(first).integer(last).error(err).run();
}
int UpdateMultipleLinkTypeNames(const char *old_name, const char *new_name, int first, int last, char *err) {
    return Call(__func__).text(old_name).text(new_name).integer(first).integer(last).error(err).run();
}
int UpdateMultipleDeviceTypeAttributes(const char *devicetype, const char *description, int nbrofinput, int nbrofoutput,
                                       const char *rgbcolor, int first, int last, char *err) {
    return Call(__func__)
        .text(devicetype)
        .text(description)
        .integer(nbrofinput)
        .integer(nbrofoutput)
        .text(rgbcolor)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleDeviceTypes(const char *old_name, const char *new_name, int first, int last, char *err) {
    return Call(__func__).text(old_name).text(new_name).integer(first).integer(last).error(err).run();
}
int UpdateMultipleAttributesDevices(const char *devicename, int dnode, int promiscuous_mode, const char *location,
                                    const char *function_list, int first, int last, char *err) {
    return Call(__func__)
        .text(devicename)
        .integer(dnode)
        .integer(promiscuous_mode)
        .text(location)
        .text(function_list)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleDevNamesDevices(const char *old_name, const char *new_name, int first, int last, char *err) {
    return Call(__func__).text(old_name).text(new_name).integer(first).integer(last).error(err).run();
}
int UpdateMultipleBidirectionalLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                                     const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                                     int bidirectional, int first, int last, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_typefrom)
        .text(port_nbrto)
        .text(port_typeto)
        .integer(bidirectional)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleLkUsedLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto, int lkused,
                              int first, int last, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_typefrom)
        .text(port_nbrto)
        .text(port_typeto)
        .integer(lkused)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleLkTypeLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *lktype, int first, int last, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_typefrom)
        .text(port_nbrto)
        .text(port_typeto)
        .text(lktype)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleDeviceSystemList(const char *devicename, const char *system_list, int first, int last, char *err) {
    return Call(__func__).text(devicename).text(system_list).integer(first).integer(last).error(err).run();
}
int UpdateMultipleDTypeDevices(const char *devicename, const char *devicetype, int first, int last, char *err) {
    return Call(__func__).text(devicename).text(devicetype).integer(first).integer(last).error(err).run();
}
int UpdateMultipleLkInfoLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *link_info, int first, int last, char *err) {
    return Call(__func__)
        .text(node_from)
        .text(node_to)
        .text(port_nbrfrom)
        .text(port_typefrom)
        .text(port_nbrto)
        .text(port_typeto)
        .text(link_info)
        .integer(first)
        .integer(last)
        .error(err)
        .run();
}
int UpdateMultipleDeviceTypeSystemList(const char *devicetype, const char *system_list, int first, int last,
                                       char *err) {
    return Call(__func__).text(devicetype).text(system_list).integer(first).integer(last).error(err).run();
}

// Single updates, swaps and deletes
int DeleteLinkRow(int lkid, int link_kind, char *err) {
    return Call(__func__).integer(lkid).integer(link_kind).error(err).run();
}
int DeletePortRow(int portid, char *err) { return Call(__func__).integer(portid).error(err).run(); }
int DeleteFunctionalDevice(int deviceid, char *err) { return Call(__func__).integer(deviceid).error(err).run(); }
int DeleteFunctionalDeviceType(const char *devicetype, char *err) {
    return Call(__func__).text(devicetype).error(err).run();
}
int DeleteHWDevice(const char *serialnb, char *err) { return Call(__func__).text(serialnb).error(err).run(); }
int DeleteSystemName(const char *system_name, char *err) { return Call(__func__).text(system_name).error(err).run(); }
int DeleteBootImage(const char *devicename, char *err) { return Call(__func__).text(devicename).error(err).run(); }
int DeleteIPAlias(const char *ipalias, char *err) { return Call(__func__).text(ipalias).error(err).run(); }
int UpdateBootImage(const char *devicename, const char *boot_image, const char *kernel_image, const char *initrd_image,
                    const char *physical_location, const char *boot_protocol, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(boot_image)
        .text(kernel_image)
        .text(initrd_image)
        .text(physical_location)
        .text(boot_protocol)
        .error(err)
        .run();
}
int UpdateIPalias(const char *old_alias, const char *new_alias, char *err) {
    return Call(__func__).text(old_alias).text(new_alias).error(err).run();
}
int UpdateHWSerialNB(const char *old_serialnb, const char *new_serialnb, char *err) {
    return Call(__func__).text(old_serialnb).text(new_serialnb).error(err).run();
}
int UpdateDeviceFunctionName(const char *old_name, const char *new_name, char *err) {
    return Call(__func__).text(old_name).text(new_name).error(err).run();
}
int UpdateSubsystemName(const char *old_name, const char *new_name, char *err) {
    return Call(__func__).text(old_name).text(new_name).error(err).run();
}
int SwapTwoDevices(const char *devicename, const char *other, const char *comments, char *err) {
    return Call(__func__).text(devicename).text(other).text(comments).error(err).run();
}

}  // extern "C"

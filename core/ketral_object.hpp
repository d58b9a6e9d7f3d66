// KETRAL: the connection object scripts work with. It holds the three
// connection strings and nothing else; the connection itself lives in the
// library. Each member is defined in the folder of its family.
#pragma once

#include <string>
#include <vector>

using IntVec = std::vector<int>;
using StringVec = std::vector<std::string>;

class KETRAL {
public:
    KETRAL(const std::string &conn1, const std::string &conn2, const std::string &conn3);

    // Connection
    int PyDBConnexion();
    int PyDBDeconnexion();

    // Schema management
    int PyCreateTableSchema();
    int PyDropTableSchema();
    int PyCreateDestinationTable(const std::string &devicename, int max_links);
    int PyCreateRoutingTable(const std::string &devicename, int max_links);

    // Row queries
    std::string PyGetDeviceTypeRow(const std::string &devicetype);
    std::string PyGetDeviceRow_devicename(const std::string &devicename);
    std::string PyGetBootImageRow_devicename(const std::string &devicename);
    std::string PyGetBoardCpntRow_cpntname(const std::string &cpntname);
    std::string PyGetHWCpntRow_serialnb(const std::string &serialnb);
    std::string PyGetHWDeviceRow_serialnb(const std::string &serialnb);
    std::string PyGetIPAliasRow(const std::string &ipalias);
    std::string PyGetDeviceRow_deviceid(int deviceid);
    std::string PyGetBoardCpntRow_cpntid(int cpntid);
    std::string PyGetHWCpntRow_snbid(int snbid);
    std::string PyGetPortRow_pid(int pid);
    std::string PyGetPortRow_devid(int deviceid, const std::string &portnb, int port_way, const std::string &port_type);
    std::string PyGetSparePortRow_snb(const std::string &serialnb, const std::string &portnb, int port_way,
                                      const std::string &port_type);
    std::string PyGetMacroConnectivityRow_lkid(int lkid);
    std::string PyGetMicroConnectivityRow_lkid(int lkid);
    std::string PyGetMacroConnectivityRow_node(int node, const std::string &portnb, int port_way,
                                               const std::string &port_type);
    std::string PyGetMicroConnectivityRow_node(int node, int portnb, int port_way);
    std::string PyGetIPInfoRow(const std::string &ipaddress);
    std::string PyGetLkTypeRow_lkname(const std::string &lkname);
    std::string PyGetLkTypeRow_lknb(int lknb);

    // Identifier and name lookups
    std::string PyGetDeviceName_deviceid(int deviceid);
    std::string PyGetCpntName_cpntid(int cpntid);
    int PyGetDeviceID_devicename(const std::string &devicename);
    int PyGetCpntID_cpntname(const std::string &cpntname);
    int PyGetPortID_portinfo(int deviceid, const std::string &portnb, const std::string &port_type, int port_way);

    // Status and last-assignment queries
    std::string PyGetFunctionalDeviceStatus(const std::string &devicename);
    std::string PyGetFunctionalBoardCpntStatus(const std::string &cpntname);
    std::string PyGetHWDeviceStatus(const std::string &serialnb);
    std::string PyGetHWBoardCpntStatus(const std::string &serialnb, int key_number);
    std::string PyGetHWLastFunctionalDevice(const std::string &serialnb);
    std::string PyGetHWLastFunctionalBoardCpntName(const std::string &serialnb, int key_number);
    std::string PyGetFunctionalDeviceLastHW(const std::string &devicename);
    std::string PyGetFunctionalBoardCpntNameLastHW(const std::string &cpntname);

    // Status listings and histories
    StringVec PyGetHWDeviceByStatus(const std::string &status, const std::string &selector);
    StringVec PyGetFunctionalDeviceByStatus(const std::string &status, const std::string &selector);
    StringVec PyGetHWBoardCpntByStatus(const std::string &status);
    StringVec PyGetHistoryOfHWDevice(const std::string &serialnb, const std::string &filter_1,
                                     const std::string &filter_2);
    StringVec PyGetHistoryOfHWBoardCpnt(const std::string &serialnb, int key_number, const std::string &filter_1,
                                        const std::string &filter_2);
    StringVec PyGetHistoryOfFunctionalDevice(const std::string &devicename, const std::string &filter_1,
                                             const std::string &filter_2);
    StringVec PyGetHistoryOfFunctionalBoardCpntName(const std::string &cpntname, const std::string &filter_1,
                                                    const std::string &filter_2);

    // Integer-list queries
    IntVec PyGetPortIDPerDevID(int deviceid);
    IntVec PyGetDeviceIDsPerType(const std::string &devicetype);
    IntVec PyGetLkFromDevID(int deviceid);
    IntVec PyGetLkToDevID(int deviceid);
    IntVec PyGetMicroLkFromCpntID(int cpntid, int option);
    IntVec PyGetMicroLkToCpntID(int cpntid, int option);
    IntVec PyGetLkIDsPerLkInfo(const std::string &lkinfo);

    // String-list queries
    StringVec PyGetDeviceNamesPerType(const std::string &devicetype);
    StringVec PyGetFreeDeviceNamesPerType(const std::string &devicetype);
    StringVec PyGetDeviceNamesPerLocation(const std::string &location);
    StringVec PyGetDeviceNamesPerFunction(const std::string &function);
    StringVec PyGetBoardCpntPerType(const std::string &cpnttype);
    StringVec PyGetCpntNamesPerBoard(const std::string &boardname);
    StringVec PyGetSpareHWPerLocation(const std::string &location);
    StringVec PyGetSpareHWCpntPerLocation(const std::string &location);
    StringVec PyGetSpareHWPerType(const std::string &hwtype);
    StringVec PyGetSpareHWCpntPerType(const std::string &hwtype);
    StringVec PyGetPortInfoPerSpare(const std::string &spare);
    StringVec PyGetIPAliasesPerIPName(const std::string &ipname);
    StringVec PyGetAvailableFunctions();
    StringVec PyGetListOfSubsystems();
    StringVec PyGetSpareHWTypeList();
    StringVec PyGetLkTypeDecomposition_lknb(int lknb);
    StringVec PyGetMacIPAddPerDevID(int deviceid);

    // Table loaders
    StringVec PyLoadConnectivityTable(const std::string &selector);
    StringVec PyMatchDeviceIDDeviceName(const std::string &selector);
    StringVec PyLoadDeviceTypeTable(const std::string &selector);
    StringVec PyLoadLinkTypeTable();

    // Single-record inserts
    std::string PyInsertDeviceType(const std::string &system_list, const std::string &devtype, int nbrofinput,
                                   int nbrofoutput, const std::string &description, const std::string &rgbcolor,
                                   int last);
    std::string PyInsertFunctionalDevice(const std::string &system_list, const std::string &devicename,
                                         const std::string &devicetype, int dnode, int promismode,
                                         const std::string &serialnb, const std::string &hwtype,
                                         const std::string &responsible, const std::string &location,
                                         const std::string &comments, const std::string &function_list, int last_rows);
    std::string PyInsertTestFunctionalDevice(const std::string &devicename, const StringVec &ipadd,
                                             const StringVec &subnet, const StringVec &ipname, const StringVec &portnb,
                                             const StringVec &port_list, const IntVec &port_way, int last_rows);
    std::string PyInsertSpareDevice(const std::string &hwname, const std::string &hwtype, const std::string &serialnb,
                                    const std::string &responsible, const std::string &location,
                                    const std::string &comments, int last);
    std::string PyInsertSimpleLinkType(const std::string &lktype, int last_rows);
    std::string PyInsertCompositeLinkType(const std::string &lktype, const std::string &link_list, int last);
    std::string PyInsertPort(const std::string &devicename, const std::string &port_nbr, const std::string &port_type,
                             int port_way, const std::string &bia, const std::string &ipname,
                             const std::string &ipaddress, const std::string &macaddress, const std::string &subnet,
                             const IntVec &port_flags, const std::string &phy, int last_rows);
    std::string PyInsertMacroLink(const std::string &node_from, const std::string &node_to,
                                  const std::string &port_nbrfrom, const std::string &port_nbrto,
                                  const std::string &port_typefrom, const std::string &port_typeto,
                                  const std::string &lktype, int bidirectional, const std::string &link_info,
                                  int last_rows);
    std::string PyInsertSparePort(const std::string &serialnb, const std::string &port_nbr, int port_way,
                                  const std::string &port_type, const std::string &bia, const std::string &mac,
                                  int last_rows);
    std::string PyInsertSimpleDeviceFunction(const std::string &function_name, int last);
    std::string PyInsertSubsystem(const std::string &system_name, const std::string &parent_name);

    // Batched inserts
    std::string PyInsertMultipleSpareDevices(const std::string &hwname, const std::string &hwtype,
                                             const std::string &serialnb, const std::string &responsible,
                                             const std::string &location, const std::string &comments, int first,
                                             int last);
    std::string PyInsertMultipleBoardCpnts(const std::string &cpntname, const std::string &cpnttype, int replacable,
                                           const std::string &motherboardname, const std::string &serialnb,
                                           const std::string &hwtype, const std::string &responsible,
                                           const std::string &location, const std::string &comments, int first,
                                           int last);
    std::string PyInsertMultipleDeviceTypes(const std::string &system_list, const std::string &devtype, int nbrofinput,
                                            int nbrofoutput, const std::string &description,
                                            const std::string &rgbcolor, int first, int last);
    std::string PyInsertMultipleFunctionalDevices(const std::string &system_list, const std::string &devicename,
                                                  const std::string &devicetype, int dnode, int promismode,
                                                  const std::string &serialnb, const std::string &hwtype,
                                                  const std::string &responsible, const std::string &location,
                                                  const std::string &comments, const std::string &function_list,
                                                  int first, int last_rows);
    std::string PyInsertMultipleSimpleLinkTypes(const std::string &lktype, int first, int last_rows);
    std::string PyInsertMultipleCompositeLinkTypes(const std::string &lktype, const std::string &link_list, int first,
                                                   int last);
    std::string PyInsertMultiplePorts(const std::string &devicename, const std::string &port_nbr, int port_way,
                                      const std::string &port_type, const std::string &bia, const std::string &ipname,
                                      const std::string &ipaddress, const std::string &macaddress,
                                      const std::string &subnet, const IntVec &port_flags, const std::string &phy,
                                      int first, int last_rows);
    std::string PyInsertMultipleSparePorts(const std::string &serialnb, const std::string &port_nbr, int port_way,
                                           const std::string &port_type, const std::string &bia, const std::string &mac,
                                           int first, int last_rows);
    std::string PyInsertMultipleMacroLinks(const std::string &node_from, const std::string &node_to,
                                           const std::string &port_nbrfrom, const std::string &port_nbrto,
                                           const std::string &port_typefrom, const std::string &port_typeto,
                                           const std::string &lktype, int bidirectional, const std::string &link_info,
                                           int first, int last);
    std::string PyInsertMultipleMicroLinks(const std::string &node_from, const std::string &node_to, int port_nbrfrom,
                                           int port_nbrto, const std::string &lktype, int bidirectional, int first,
                                           int last);
    std::string PyInsertMultipleBootImages(const std::string &devicename, const std::string &boot_image,
                                           const std::string &kernel_image, const std::string &initrd_image,
                                           const std::string &physical_location, const std::string &boot_protocol,
                                           int first, int last);
    std::string PyInsertMultipleIPAliases(const std::string &ipaddress, const std::string &ipname,
                                          const std::string &ipalias, int first, int last);

    // Device-to-device connectivity
    StringVec PyGetConnOutBetweenDeviceDeviceType(const std::string &devicename, const std::string &nto, int nto_dtype,
                                                  int reload_connectivity, int delete_connectivity);
    StringVec PyGetDetailedConnectivityBetweenDevices(const std::string &dev_from, const std::string &dev_to,
                                                      int reload_connectivity, int delete_connectivity);
    StringVec PyGetConnectivityBetweenDevices(const std::string &dev_from, const std::string &dev_to,
                                              int reload_connectivity, int delete_connectivity);
    StringVec PyGetDetailedConnBetweenDeviceDevType(const std::string &devicename, const std::string &nto,
                                                    int nto_dtype, int reload_connectivity, int delete_connectivity);

    // Paths, destinations and micro-connectivity
    StringVec PyGetDestinationNamePerDevPort(const std::string &devicename, const std::string &port_nbr,
                                             const std::string &port_type);
    StringVec PyGetAllPathsPerDevice(const std::string &devicename, const std::string &system_name,
                                     int reload_connectivity, int delete_connectivity);
    StringVec PyGetMicroConnectBetweenBoardCpntAndMotherBoard(const std::string &cpntname, int int_arg);
    StringVec PyGetMicroConnectFromPortid(int int_arg1, int int_arg2, const std::string &text_arg);
    StringVec PyGetMicroConnectToCpntType(int int_arg1, int int_arg2, const std::string &text_arg);

    // Batched updates
    std::string PyUpdateMultiplePorts(const std::string &devicename, const std::string &port_nbr, int port_way,
                                      const std::string &port_type, int speed, const std::string &phy, int pxi_booting,
                                      int first, int last);
    std::string PyUpdateMultipleAttributeMacIPs(const std::string &ipaddress, const std::string &subnet,
                                                const std::string &ipname, int first, int last);
    std::string PyUpdateMultipleIPAddresses(const std::string &ip_old, const std::string &ip_new, int first, int last);
    std::string PyUpdateMultipleCompositeLinkTypes(const std::string &lktype, const std::string &link_list, int first,
                                                   int last);
    std::string PyUpdateMultipleLinkTypeNames(const std::string &old_name, const std::string &new_name, int first,
                                              int last);
    std::string PyUpdateMultipleDeviceTypeAttributes(const std::string &devicetype, const std::string &description,
                                                     int nbrofinput, int nbrofoutput, const std::string &rgbcolor,
                                                     int first, int last);
    std::string PyUpdateMultipleDeviceTypes(const std::string &old_name, const std::string &new_name, int first,
                                            int last);
    std::string PyUpdateMultipleAttributesDevices(const std::string &devicename, int dnode, int promiscuous_mode,
                                                  const std::string &location, const std::string &function_list,
                                                  int first, int last);
    std::string PyUpdateMultipleDevNamesDevices(const std::string &old_name, const std::string &new_name, int first,
                                                int last);
    std::string PyUpdateMultipleBidirectionalLinks(const std::string &node_from, const std::string &node_to,
                                                   const std::string &port_nbrfrom, const std::string &port_typefrom,
                                                   const std::string &port_nbrto, const std::string &port_typeto,
                                                   int bidirectional, int first, int last);
    std::string PyUpdateMultipleLkUsedLinks(const std::string &node_from, const std::string &node_to,
                                            const std::string &port_nbrfrom, const std::string &port_typefrom,
                                            const std::string &port_nbrto, const std::string &port_typeto, int lkused,
                                            int first, int last);
    std::string PyUpdateMultipleLkTypeLinks(const std::string &node_from, const std::string &node_to,
                                            const std::string &port_nbrfrom, const std::string &port_typefrom,
                                            const std::string &port_nbrto, const std::string &port_typeto,
                                            const std::string &lktype, int first, int last);
    std::string PyUpdateMultipleDeviceSystemList(const std::string &devicename, const std::string &system_list,
                                                 int first, int last);
    std::string PyUpdateMultipleDTypeDevices(const std::string &devicename, const std::string &devicetype, int first,
                                             int last);
    std::string PyUpdateMultipleLkInfoLinks(const std::string &node_from, const std::string &node_to,
                                            const std::string &port_nbrfrom, const std::string &port_typefrom,
                                            const std::string &port_nbrto, const std::string &port_typeto,
                                            const std::string &link_info, int first, int last);
    std::string PyUpdateMultipleDeviceTypeSystemList(const std::string &devicetype, const std::string &system_list,
                                                     int first, int last);

    // Single updates, swaps and deletes
    std::string PyDeleteLinkRow(int lkid, int link_kind);
    std::string PyDeletePortRow(int portid);
    std::string PyDeleteFunctionalDevice(int deviceid);
    std::string PyDeleteFunctionalDeviceType(const std::string &devicetype);
    std::string PyDeleteHWDevice(const std::string &serialnb);
    std::string PyDeleteSystemName(const std::string &system_name);
    std::string PyDeleteBootImage(const std::string &devicename);
    std::string PyDeleteIPAlias(const std::string &ipalias);
    std::string PyUpdateBootImage(const std::string &devicename, const std::string &boot_image,
                                  const std::string &kernel_image, const std::string &initrd_image,
                                  const std::string &physical_location, const std::string &boot_protocol);
    std::string PyUpdateIPalias(const std::string &old_alias, const std::string &new_alias);
    std::string PyUpdateHWSerialNB(const std::string &old_serialnb, const std::string &new_serialnb);
    std::string PyUpdateDeviceFunctionName(const std::string &old_name, const std::string &new_name);
    std::string PyUpdateSubsystemName(const std::string &old_name, const std::string &new_name);
    std::string PySwapTwoDevices(const std::string &devicename, const std::string &other, const std::string &comments);

    // Addition beyond the described methods (docs/additions.md)
    std::string PyUpdateHWStatusLocation(const std::string &serialnb, const std::string &status,
                                         const std::string &location, const std::string &comments);

private:
    std::string conn1;
    std::string conn2;
    std::string conn3;
};

// KETRAL: the connection object scripts work with. It holds the three
// connection strings and nothing else; the connection itself lives in the
// library. Each member is defined in the folder of its family.
#pragma once

#include <string>
#include <vector>

using IntVec = std::vector<int>;
using StringVec = std::vector<std::string>;
using Str = const std::string &;

class KETRAL {
public:
    KETRAL(const std::string &conn1, const std::string &conn2, const std::string &conn3);

    // Connection
    int PyDBConnexion();
    int PyDBDeconnexion();

    // Schema management
    int PyCreateTableSchema();
    int PyDropTableSchema();
    int PyCreateDestinationTable(Str devicename, int max_links);
    int PyCreateRoutingTable(Str devicename, int max_links);

    // Row queries
    std::string PyGetDeviceTypeRow(Str devicetype);
    std::string PyGetDeviceRow_devicename(Str devicename);
    std::string PyGetBootImageRow_devicename(Str devicename);
    std::string PyGetBoardCpntRow_cpntname(Str cpntname);
    std::string PyGetHWCpntRow_serialnb(Str serialnb);
    std::string PyGetHWDeviceRow_serialnb(Str serialnb);
    std::string PyGetIPAliasRow(Str ipalias);
    std::string PyGetDeviceRow_deviceid(int deviceid);
    std::string PyGetBoardCpntRow_cpntid(int cpntid);
    std::string PyGetHWCpntRow_snbid(int snbid);
    std::string PyGetPortRow_pid(int pid);
    std::string PyGetPortRow_devid(int deviceid, Str portnb, int port_way, Str port_type);
    std::string PyGetSparePortRow_snb(Str serialnb, Str portnb, int port_way, Str port_type);
    std::string PyGetMacroConnectivityRow_lkid(int lkid);
    std::string PyGetMicroConnectivityRow_lkid(int lkid);
    std::string PyGetMacroConnectivityRow_node(int node, Str portnb, int port_way, Str port_type);
    std::string PyGetMicroConnectivityRow_node(int node, int portnb, int port_way);
    std::string PyGetIPInfoRow(Str ipaddress);
    std::string PyGetLkTypeRow_lkname(Str lkname);
    std::string PyGetLkTypeRow_lknb(int lknb);

    // Identifier and name lookups
    std::string PyGetDeviceName_deviceid(int deviceid);
    std::string PyGetCpntName_cpntid(int cpntid);
    int PyGetDeviceID_devicename(Str devicename);
    int PyGetCpntID_cpntname(Str cpntname);
    int PyGetPortID_portinfo(int deviceid, Str portnb, Str port_type, int port_way);

    // Status and last-assignment queries
    std::string PyGetFunctionalDeviceStatus(Str devicename);
    std::string PyGetFunctionalBoardCpntStatus(Str cpntname);
    std::string PyGetHWDeviceStatus(Str serialnb);
    std::string PyGetHWBoardCpntStatus(Str serialnb, int key_number);
    std::string PyGetHWLastFunctionalDevice(Str serialnb);
    std::string PyGetHWLastFunctionalBoardCpntName(Str serialnb, int key_number);
    std::string PyGetFunctionalDeviceLastHW(Str devicename);
    std::string PyGetFunctionalBoardCpntNameLastHW(Str cpntname);

    // Status listings and histories
    StringVec PyGetHWDeviceByStatus(Str status, Str selector);
    StringVec PyGetFunctionalDeviceByStatus(Str status, Str selector);
    StringVec PyGetHWBoardCpntByStatus(Str status);
    StringVec PyGetHistoryOfHWDevice(Str serialnb, Str filter_1, Str filter_2);
    StringVec PyGetHistoryOfHWBoardCpnt(Str serialnb, int key_number, Str filter_1, Str filter_2);
    StringVec PyGetHistoryOfFunctionalDevice(Str devicename, Str filter_1, Str filter_2);
    StringVec PyGetHistoryOfFunctionalBoardCpntName(Str cpntname, Str filter_1, Str filter_2);

    // Integer-list queries
    IntVec PyGetPortIDPerDevID(int deviceid);
    IntVec PyGetDeviceIDsPerType(Str devicetype);
    IntVec PyGetLkFromDevID(int deviceid);
    IntVec PyGetLkToDevID(int deviceid);
    IntVec PyGetMicroLkFromCpntID(int cpntid, int option);
    IntVec PyGetMicroLkToCpntID(int cpntid, int option);
    IntVec PyGetLkIDsPerLkInfo(Str lkinfo);

    // String-list queries
    StringVec PyGetDeviceNamesPerType(Str devicetype);
    StringVec PyGetFreeDeviceNamesPerType(Str devicetype);
    StringVec PyGetDeviceNamesPerLocation(Str location);
    StringVec PyGetDeviceNamesPerFunction(Str function);
    StringVec PyGetBoardCpntPerType(Str cpnttype);
    StringVec PyGetCpntNamesPerBoard(Str boardname);
    StringVec PyGetSpareHWPerLocation(Str location);
    StringVec PyGetSpareHWCpntPerLocation(Str location);
    StringVec PyGetSpareHWPerType(Str hwtype);
    StringVec PyGetSpareHWCpntPerType(Str hwtype);
    StringVec PyGetPortInfoPerSpare(Str spare);
    StringVec PyGetIPAliasesPerIPName(Str ipname);
    StringVec PyGetAvailableFunctions();
    StringVec PyGetListOfSubsystems();
    StringVec PyGetSpareHWTypeList();
    StringVec PyGetLkTypeDecomposition_lknb(int lknb);
    StringVec PyGetMacIPAddPerDevID(int deviceid);

    // Table loaders
    StringVec PyLoadConnectivityTable(Str selector);
    StringVec PyMatchDeviceIDDeviceName(Str selector);
    StringVec PyLoadDeviceTypeTable(Str selector);
    StringVec PyLoadLinkTypeTable();

    // Single-record inserts
    std::string PyInsertDeviceType(Str system_list, Str devtype, int nbrofinput, int nbrofoutput, Str description,
                                   Str rgbcolor, int last);
    std::string PyInsertFunctionalDevice(Str system_list, Str devicename, Str devicetype, int dnode, int promismode,
                                         Str serialnb, Str hwtype, Str responsible, Str location, Str comments,
                                         Str function_list, int last_rows);
    std::string PyInsertTestFunctionalDevice(Str devicename, const StringVec &ipadd, const StringVec &subnet,
                                             const StringVec &ipname, const StringVec &portnb,
                                             const StringVec &port_list, const IntVec &port_way, int last_rows);
    std::string PyInsertSpareDevice(Str hwname, Str hwtype, Str serialnb, Str responsible, Str location,
                                    Str comments, int last);
    std::string PyInsertSimpleLinkType(Str lktype, int last_rows);
    std::string PyInsertCompositeLinkType(Str lktype, Str link_list, int last);
    std::string PyInsertPort(Str devicename, Str port_nbr, Str port_type, int port_way, Str bia, Str ipname,
                             Str ipaddress, Str macaddress, Str subnet, const IntVec &port_flags, Str phy,
                             int last_rows);
    std::string PyInsertMacroLink(Str node_from, Str node_to, Str port_nbrfrom, Str port_nbrto, Str port_typefrom,
                                  Str port_typeto, Str lktype, int bidirectional, Str link_info, int last_rows);
    std::string PyInsertSparePort(Str serialnb, Str port_nbr, int port_way, Str port_type, Str bia, Str mac,
                                  int last_rows);
    std::string PyInsertSimpleDeviceFunction(Str function_name, int last);
    std::string PyInsertSubsystem(Str system_name, Str parent_name);

    // Batched inserts
    std::string PyInsertMultipleSpareDevices(Str hwname, Str hwtype, Str serialnb, Str responsible, Str location,
                                             Str comments, int first, int last);
    std::string PyInsertMultipleBoardCpnts(Str cpntname, Str cpnttype, int replacable, Str motherboardname,
                                           Str serialnb, Str hwtype, Str responsible, Str location, Str comments,
                                           int first, int last);
    std::string PyInsertMultipleDeviceTypes(Str system_list, Str devtype, int nbrofinput, int nbrofoutput,
                                            Str description, Str rgbcolor, int first, int last);
    std::string PyInsertMultipleFunctionalDevices(Str system_list, Str devicename, Str devicetype, int dnode,
                                                  int promismode, Str serialnb, Str hwtype, Str responsible,
                                                  Str location, Str comments, Str function_list, int first,
                                                  int last_rows);
    std::string PyInsertMultipleSimpleLinkTypes(Str lktype, int first, int last_rows);
    std::string PyInsertMultipleCompositeLinkTypes(Str lktype, Str link_list, int first, int last);
    std::string PyInsertMultiplePorts(Str devicename, Str port_nbr, int port_way, Str port_type, Str bia,
                                      Str ipname, Str ipaddress, Str macaddress, Str subnet,
                                      const IntVec &port_flags, Str phy, int first, int last_rows);
    std::string PyInsertMultipleSparePorts(Str serialnb, Str port_nbr, int port_way, Str port_type, Str bia,
                                           Str mac, int first, int last_rows);
    std::string PyInsertMultipleMacroLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_nbrto,
                                           Str port_typefrom, Str port_typeto, Str lktype, int bidirectional,
                                           Str link_info, int first, int last);
    std::string PyInsertMultipleMicroLinks(Str node_from, Str node_to, int port_nbrfrom, int port_nbrto,
                                           Str lktype, int bidirectional, int first, int last);
    std::string PyInsertMultipleBootImages(Str devicename, Str boot_image, Str kernel_image, Str initrd_image,
                                           Str physical_location, Str boot_protocol, int first, int last);
    std::string PyInsertMultipleIPAliases(Str ipaddress, Str ipname, Str ipalias, int first, int last);

    // Device-to-device connectivity
    StringVec PyGetConnOutBetweenDeviceDeviceType(Str devicename, Str nto, int nto_dtype, int reload_connectivity,
                                                  int delete_connectivity);
    StringVec PyGetDetailedConnectivityBetweenDevices(Str dev_from, Str dev_to, int reload_connectivity,
                                                      int delete_connectivity);
    StringVec PyGetConnectivityBetweenDevices(Str dev_from, Str dev_to, int reload_connectivity,
                                              int delete_connectivity);
    StringVec PyGetDetailedConnBetweenDeviceDevType(Str devicename, Str nto, int nto_dtype,
                                                    int reload_connectivity, int delete_connectivity);

    // Paths, destinations and micro-connectivity
    StringVec PyGetDestinationNamePerDevPort(Str devicename, Str port_nbr, Str port_type);
    StringVec PyGetAllPathsPerDevice(Str devicename, Str system_name, int reload_connectivity,
                                     int delete_connectivity);
    StringVec PyGetMicroConnectBetweenBoardCpntAndMotherBoard(Str cpntname, int int_arg);
    StringVec PyGetMicroConnectFromPortid(int int_arg1, int int_arg2, Str text_arg);
    StringVec PyGetMicroConnectToCpntType(int int_arg1, int int_arg2, Str text_arg);

    // Batched updates
    std::string PyUpdateMultiplePorts(Str devicename, Str port_nbr, int port_way, Str port_type, int speed, Str phy,
                                      int pxi_booting, int first, int last);
    std::string PyUpdateMultipleAttributeMacIPs(Str ipaddress, Str subnet, Str ipname, int first, int last);
    std::string PyUpdateMultipleIPAddresses(Str ip_old, Str ip_new, int first, int last);
    std::string PyUpdateMultipleCompositeLinkTypes(Str lktype, Str link_list, int first, int last);
    std::string PyUpdateMultipleLinkTypeNames(Str old_name, Str new_name, int first, int last);
    std::string PyUpdateMultipleDeviceTypeAttributes(Str devicetype, Str description, int nbrofinput,
                                                     int nbrofoutput, Str rgbcolor, int first, int last);
    std::string PyUpdateMultipleDeviceTypes(Str old_name, Str new_name, int first, int last);
    std::string PyUpdateMultipleAttributesDevices(Str devicename, int dnode, int promiscuous_mode, Str location,
                                                  Str function_list, int first, int last);
    std::string PyUpdateMultipleDevNamesDevices(Str old_name, Str new_name, int first, int last);
    std::string PyUpdateMultipleBidirectionalLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                                   Str port_nbrto, Str port_typeto, int bidirectional, int first,
                                                   int last);
    std::string PyUpdateMultipleLkUsedLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                            Str port_nbrto, Str port_typeto, int lkused, int first, int last);
    std::string PyUpdateMultipleLkTypeLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                            Str port_nbrto, Str port_typeto, Str lktype, int first, int last);
    std::string PyUpdateMultipleDeviceSystemList(Str devicename, Str system_list, int first, int last);
    std::string PyUpdateMultipleDTypeDevices(Str devicename, Str devicetype, int first, int last);
    std::string PyUpdateMultipleLkInfoLinks(Str node_from, Str node_to, Str port_nbrfrom, Str port_typefrom,
                                            Str port_nbrto, Str port_typeto, Str link_info, int first, int last);
    std::string PyUpdateMultipleDeviceTypeSystemList(Str devicetype, Str system_list, int first, int last);

    // Single updates, swaps and deletes
    std::string PyDeleteLinkRow(int lkid, int link_kind);
    std::string PyDeletePortRow(int portid);
    std::string PyDeleteFunctionalDevice(int deviceid);
    std::string PyDeleteFunctionalDeviceType(Str devicetype);
    std::string PyDeleteHWDevice(Str serialnb);
    std::string PyDeleteSystemName(Str system_name);
    std::string PyDeleteBootImage(Str devicename);
    std::string PyDeleteIPAlias(Str ipalias);
    std::string PyUpdateBootImage(Str devicename, Str boot_image, Str kernel_image, Str initrd_image,
                                  Str physical_location, Str boot_protocol);
    std::string PyUpdateIPalias(Str old_alias, Str new_alias);
    std::string PyUpdateHWSerialNB(Str old_serialnb, Str new_serialnb);
    std::string PyUpdateDeviceFunctionName(Str old_name, Str new_name);
    std::string PyUpdateSubsystemName(Str old_name, Str new_name);
    std::string PySwapTwoDevices(Str devicename, Str other, Str comments);

private:
    std::string conn1;
    std::string conn2;
    std::string conn3;
};

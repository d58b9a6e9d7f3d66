/*
 * libketral: the C contract between the scripting module and any library
 * that keeps the configuration database (our storage library, or the test
 * double).
 *
 * Rules shared by every function:
 *  - texts are NUL-terminated UTF-8 and are only read;
 *  - every integer, length and count is a 32-bit signed int;
 *  - a result buffer comes with its capacity (an in/out length or count
 *    passed by address, or a fixed capacity stated on the function); the
 *    library never writes past it, and when an answer does not fit it fails
 *    and leaves the exact size needed in that length or count;
 *  - an empty text answer begins with the 16 characters "NO_ROWS_SELECTED";
 *    an empty integer-list answer has -1 in its first two entries;
 *  - the last parameter is always the error buffer (1000 bytes unless stated)
 *    that receives a NUL-terminated message when the function fails;
 *  - the return value is 0 for success, anything else for failure;
 *  - the library keeps no pointer to a caller's buffer after it returns.
 *
 * Parameters are marked: in, out (written by the library), in/out (read as
 * a capacity, rewritten with a size or count).
 */
#ifndef KETRAL_KETRAL_H
#define KETRAL_KETRAL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Capacity of every error buffer, except where a function says otherwise. */
#define KETRAL_ERROR_CAPACITY 1000
/* Capacity of the name buffer of the name lookups and of the status texts. */
#define KETRAL_NAME_CAPACITY 1000
#define KETRAL_STATUS_CAPACITY 1000
/* Capacity of the error buffer of GetLkIDsPerLkInfo. */
#define KETRAL_LKINFO_ERROR_CAPACITY 10000

/* ------------------------------------------------------------------ */
/* Connection                                                          */
/* ------------------------------------------------------------------ */

/* Opens the library-wide connection; a second call closes the first. */
int DBConnexion(const char *database, /* in: SQLite path, ":memory:" or postgresql:// URL */
                const char *user,     /* in: user name, empty for none */
                const char *password, /* in: password, empty for none */
                char *ErrMess);       /* out: message on failure */
/* Closes the connection; an open batch is discarded. */
int DBDeconnexion(char *ErrMess);

/* ------------------------------------------------------------------ */
/* Schema management                                                   */
/* ------------------------------------------------------------------ */

int CreateTableSchema(char *ErrMess);
int DropTableSchema(char *ErrMess);
int CreateDestinationTable(const char *devicename, /* in: device whose output ports are followed */
                           int max_links,          /* in: longest path in links, 0 for no limit */
                           char *ErrMess);
int CreateRoutingTable(const char *devicename, /* in: the switch */
                       int max_links,          /* in: longest path in links, 0 for no limit */
                       char *ErrMess);

/* ------------------------------------------------------------------ */
/* Row queries: key..., length (in/out), result (out), error.          */
/* The record is one NUL-terminated JSON object.                       */
/* ------------------------------------------------------------------ */

int GetDeviceTypeRow(const char *devicetype, int *len_result, char *result, char *ErrMess);
int GetDeviceRow_devicename(const char *devicename, int *len_result, char *result, char *ErrMess);
int GetBootImageRow_devicename(const char *devicename, int *len_result, char *result, char *ErrMess);
int GetBoardCpntRow_cpntname(const char *cpntname, int *len_result, char *result, char *ErrMess);
int GetHWCpntRow_serialnb(const char *serialnb, int *len_result, char *result, char *ErrMess);
int GetHWDeviceRow_serialnb(const char *serialnb, int *len_result, char *result, char *ErrMess);
int GetIPAliasRow(const char *ipalias, int *len_result, char *result, char *ErrMess);
int GetDeviceRow_devid(int deviceid, int *len_result, char *result, char *ErrMess);
int GetBoardCpntRow_cpntid(int cpntid, int *len_result, char *result, char *ErrMess);
int GetHWCpntRow_snbid(int snbid, int *len_result, char *result, char *ErrMess);
int GetPortRow_pid(int portid, int *len_result, char *result, char *ErrMess);
int GetPortRow_devid(int deviceid, const char *port_nbr, int port_way, const char *port_type, int *len_result,
                     char *result, char *ErrMess);
int GetSparePortRow_snb(const char *serialnb, const char *port_nbr, int port_way, const char *port_type,
                        int *len_result, char *result, char *ErrMess);
int GetMacroConnectivityRow_lkid(int lkid, int *len_result, char *result, char *ErrMess);
int GetMicroConnectivityRow_lkid(int lkid, int *len_result, char *result, char *ErrMess);
int GetMacroConnectivityRow_node(int deviceid, const char *port_nbr, int port_way, const char *port_type,
                                 int *len_result, char *result, char *ErrMess);
int GetMicroConnectivityRow_node(int cpntid, int port_nbr, int port_way, int *len_result, char *result, char *ErrMess);
int GetIPInfoRow(const char *ipaddress, int *len_result, char *result, char *ErrMess);
int GetLkTypeRow_lkname(const char *lktype, int *len_result, char *result, char *ErrMess);
int GetLkTypeRow_lknb(int lknb, int *len_result, char *result, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Identifier and name lookups                                         */
/* ------------------------------------------------------------------ */

/* name: out, KETRAL_NAME_CAPACITY bytes with its NUL. */
int GetDeviceName_deviceid(int deviceid, char *name, char *ErrMess);
int GetCpntName_cpntid(int cpntid, char *name, char *ErrMess);
/* id: out. */
int GetDeviceID_devicename(const char *devicename, int *id, char *ErrMess);
int GetCpntID_cpntname(const char *cpntname, int *id, char *ErrMess);
int GetPortID_portinfo(int deviceid, const char *port_nbr, const char *port_type, int port_way, int *id, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Status (result: out, KETRAL_STATUS_CAPACITY bytes) and last         */
/* assignment (result before its in/out length).                       */
/* ------------------------------------------------------------------ */

int GetFunctionalDeviceStatus(const char *devicename, char *result, char *ErrMess);
int GetFunctionalBoardCpntStatus(const char *cpntname, char *result, char *ErrMess);
int GetHWDeviceStatus(const char *serialnb, char *result, char *ErrMess);
int GetHWBoardCpntStatus(const char *serialnb, int key_number, char *result, char *ErrMess);
int GetHWLastFunctionalDevice(const char *serialnb, char *result, int *len_result, char *ErrMess);
int GetHWLastFunctionalBoardCpntName(const char *serialnb, int key_number, char *result, int *len_result,
                                     char *ErrMess);
int GetFunctionalDeviceLastHW(const char *devicename, char *result, int *len_result, char *ErrMess);
int GetFunctionalBoardCpntNameLastHW(const char *cpntname, char *result, int *len_result, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Status listings and histories: packed NUL-separated entries.        */
/* selector: location prefix, empty for all; date_from/date_to: ISO    */
/* 8601 prefixes bounding the history, empty for no bound.             */
/* ------------------------------------------------------------------ */

int GetHWDeviceByStatus(const char *status, const char *selector, int *len_result, char *result, char *ErrMess);
int GetFunctionalDeviceByStatus(const char *status, const char *selector, int *len_result, char *result, char *ErrMess);
int GetHWBoardCpntByStatus(const char *status, char *result, int *len_result, char *ErrMess);
int GetHistoryOfHWDevice(const char *serialnb, char *result, int *len_result, const char *date_from,
                         const char *date_to, char *ErrMess);
int GetHistoryOfHWBoardCpnt(const char *serialnb, int key_number, char *result, int *len_result, const char *date_from,
                            const char *date_to, char *ErrMess);
int GetHistoryOfFunctionalDevice(const char *devicename, char *result, int *len_result, const char *date_from,
                                 const char *date_to, char *ErrMess);
int GetHistoryOfFunctionalBoardCpntName(const char *cpntname, char *result, int *len_result, const char *date_from,
                                        const char *date_to, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Integer-list queries: args..., count (in/out), array (out), error.  */
/* ------------------------------------------------------------------ */

int GetPortIDPerDevID(int deviceid, int *count, int *result, char *ErrMess);
int GetDeviceIDsPerType(const char *devicetype, int *count, int *result, char *ErrMess);
int GetLkFromDevID(int deviceid, int *count, int *result, char *ErrMess);
int GetLkToDevID(int deviceid, int *count, int *result, char *ErrMess);
int GetMicroLkFromCpntID(int cpntid, int option, int *count, int *result, char *ErrMess);
int GetMicroLkToCpntID(int cpntid, int option, int *count, int *result, char *ErrMess);
/* ErrMess: KETRAL_LKINFO_ERROR_CAPACITY bytes. */
int GetLkIDsPerLkInfo(const char *lkinfo, int *count, int *result, char *ErrMess);

/* ------------------------------------------------------------------ */
/* String-list queries: args..., length (in/out), result (out), error. */
/* ------------------------------------------------------------------ */

int GetDeviceNamesPerType(const char *devicetype, int *len_result, char *result, char *ErrMess);
int GetFreeDeviceNamesPerType(const char *devicetype, int *len_result, char *result, char *ErrMess);
int GetDeviceNamesPerLocation(const char *location, int *len_result, char *result, char *ErrMess);
int GetDeviceNamesPerFunction(const char *function_name, int *len_result, char *result, char *ErrMess);
int GetBoardCpntPerType(const char *cpnttype, int *len_result, char *result, char *ErrMess);
int GetCpntNamesPerBoard(const char *boardname, int *len_result, char *result, char *ErrMess);
int GetSpareHWPerLocation(const char *location, int *len_result, char *result, char *ErrMess);
int GetSpareHWCpntPerLocation(const char *location, int *len_result, char *result, char *ErrMess);
int GetSpareHWPerType(const char *hwtype, int *len_result, char *result, char *ErrMess);
int GetSpareHWCpntPerType(const char *hwtype, int *len_result, char *result, char *ErrMess);
int GetPortInfoPerSpare(const char *serialnb, int *len_result, char *result, char *ErrMess);
int GetIPAliasesPerIPName(const char *ipname, int *len_result, char *result, char *ErrMess);
int GetAvailableFunctions(int *len_result, char *result, char *ErrMess);
int GetListOfSubsystems(int *len_result, char *result, char *ErrMess);
int GetSpareHWTypeList(int *len_result, char *result, char *ErrMess);
int GetLkTypeDecomposition_lknb(int lknb, int *len_result, char *result, char *ErrMess);
int GetMacIPAddPerDevID(int deviceid, int *len_result, char *result, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Table loaders: column stores. selector: subsystem, empty or "ALL"   */
/* for everything. Integer columns share the row count; every text     */
/* column has its own byte length.                                     */
/* ------------------------------------------------------------------ */

int LoadConnectivityTable(const char *selector, int *rows, /* in/out: capacity of every integer column */
                          int *lkid,                       /* out: column 1 */
                          int *node_from,                  /* out: column 2 (device id) */
                          int *node_to,                    /* out: column 3 (device id) */
                          int *len_port_from,              /* in/out: bytes of port_from */
                          int *len_port_to,                /* in/out: bytes of port_to */
                          char *port_from,                 /* out: column 4 */
                          char *port_to,                   /* out: column 5 */
                          int *bidirectional,              /* out: column 6 */
                          int *lkused,                     /* out: column 7 */
                          int *lktype,                     /* out: column 8 (link type number) */
                          char *lkinfo,                    /* out: column 9 */
                          int *len_lkinfo,                 /* in/out: bytes of lkinfo */
                          char *ErrMess);
int MatchDeviceIDDeviceName(const char *selector, int *rows, int *ids, int *len_names, char *names, char *ErrMess);
int LoadDeviceTypeTable(const char *selector, int *len_names, char *names, int *rows, int *ids, char *ErrMess);
int LoadLinkTypeTable(int *rows, int *ids, int *len_names, char *names, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Single-record inserts: the record gathers with those before it and */
/* everything is written when last_rows = 1.                           */
/* ------------------------------------------------------------------ */

int InsertDeviceType(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                     const char *description, const char *rgbcolor, int last_rows, char *ErrMess);
int InsertFunctionalDevice(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                           int promiscuous_mode, const char *serialnb, const char *hwtype, const char *responsible,
                           const char *comments, const char *location, const char *function_list, int last_rows,
                           char *ErrMess);
/* Packed lists: each element followed by one NUL; *_len is the byte length. */
int InsertTestFunctionalDevice(const char *devicename, const char *ipadd, int ipadd_len, const char *subnet,
                               int subnet_len, const char *ipname, int ipname_len, const char *portnb, int portnb_len,
                               const char *port_list, int port_list_len, const int *port_way, int port_way_count,
                               int last_rows, char *ErrMess);
int InsertSpareDevice(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                      const char *comments, const char *location, int last_rows, char *ErrMess);
int InsertSimpleLinkType(const char *lktype, int last_rows, char *ErrMess);
int InsertCompositeLinkType(const char *lktype, const char *link_list, int last_rows, char *ErrMess);
int InsertPort(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed, int pxi_booting,
               const char *port_type, const char *bia, const char *ipaddress, const char *ipname, const char *subnet,
               const char *macaddress, const char *phy, int last_rows, char *ErrMess);
int InsertMacroLink(const char *node_from, const char *node_to, const char *port_nbrfrom, const char *port_nbrto,
                    const char *port_typefrom, const char *port_typeto, const char *lktype, const char *link_info,
                    int bidirectional, int last_rows, char *ErrMess);
int InsertSparePort(const char *serialnb, const char *port_nbr, int port_way, const char *port_type, const char *bia,
                    const char *macaddress, int last_rows, char *ErrMess);
int InsertSimpleDeviceFunction(const char *function_name, int last_rows, char *ErrMess);
int InsertSubsystem(const char *system_name, const char *parent_name, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Batched inserts: first = 1 opens the batch, last = 1 writes it.     */
/* ------------------------------------------------------------------ */

int InsertMultipleSpareDevices(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                               const char *comments, const char *location, int first, int last, char *ErrMess);
int InsertMultipleBoardCpnts(const char *cpntname, const char *cpnttype, int replacable, const char *motherboardname,
                             const char *serialnb, const char *hwtype, const char *responsible, const char *comments,
                             const char *location, int first, int last, char *ErrMess);
int InsertMultipleDeviceTypes(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                              const char *description, const char *rgbcolor, int first, int last, char *ErrMess);
int InsertMultipleFunctionalDevices(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                                    int promiscuous_mode, const char *serialnb, const char *hwtype,
                                    const char *responsible, const char *comments, const char *location,
                                    const char *function_list, int first, int last, char *ErrMess);
int InsertMultipleSimpleLinkTypes(const char *lktype, int first, int last, char *ErrMess);
int InsertMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *ErrMess);
int InsertMultiplePorts(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed,
                        int pxi_booting, const char *port_type, const char *bia, const char *ipaddress,
                        const char *ipname, const char *subnet, const char *macaddress, const char *phy, int first,
                        int last, char *ErrMess);
int InsertMultipleSparePorts(const char *serialnb, const char *port_nbr, int port_way, const char *port_type,
                             const char *bia, const char *macaddress, int first, int last, char *ErrMess);
int InsertMultipleMacroLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                             const char *port_nbrto, const char *port_typefrom, const char *port_typeto,
                             const char *lktype, const char *link_info, int bidirectional, int first, int last,
                             char *ErrMess);
int InsertMultipleMicroLinks(const char *node_from, const char *node_to, int port_nbrfrom, int port_nbrto,
                             const char *lktype, int bidirectional, int first, int last, char *ErrMess);
int InsertMultipleBootImages(const char *devicename, const char *boot_image, const char *kernel_image,
                             const char *initrd_image, const char *physical_location, const char *boot_protocol,
                             int first, int last, char *ErrMess);
int InsertMultipleIPAliases(const char *ipaddress, const char *ipname, const char *ipalias, int first, int last,
                            char *ErrMess);

/* ------------------------------------------------------------------ */
/* Device-to-device connectivity: column stores, one entry per link of */
/* a path. n is the capacity of every integer array; each text list    */
/* has its own byte length. reload_connectivity = 1 rebuilds the       */
/* in-memory graph first, delete_connectivity = 1 frees it after.      */
/* ------------------------------------------------------------------ */

int GetConnectivityBetweenDevices(const char *dev_from, const char *dev_to, int *n, int *len_port_from,
                                  int *len_node_from, int *len_port_to, int *len_node_to, int *len_lkinfo,
                                  char *node_from, char *node_to, char *port_from, int *lkid, char *port_to,
                                  int *lktype, int *pathid, int *link_pos, char *lkinfo, int reload_connectivity,
                                  int delete_connectivity, char *ErrMess);
int GetDetailedConnectivityBetweenDevices(const char *dev_from, const char *dev_to, char *node_from, int *n,
                                          int *len_node_from, int *len_port_from, int *len_node_to, int *len_port_to,
                                          int *len_lkinfo, char *port_from, char *port_to, int *lkid, int *lktype,
                                          char *node_to, int *pathid, int *link_pos, char *lkinfo,
                                          int reload_connectivity, int delete_connectivity, char *ErrMess);
/* nto_dtype 1: nto is a device type; 0: a part of device names. */
int GetDetailedConnBetweenDeviceDevType(const char *devicename, const char *nto, int nto_dtype, char *node_from,
                                        char *port_from, char *port_to, int *n, int *len_node_from, int *len_port_from,
                                        int *len_node_to, int *len_port_to, int *len_lkinfo, int *pathid, int *link_pos,
                                        char *node_to, int *lktype, int *lkid, char *lkinfo, int reload_connectivity,
                                        int delete_connectivity, char *ErrMess);
int GetConnOutBetweenDeviceDeviceType(const char *devicename, const char *nto, int nto_dtype, int *len_result,
                                      char *result, int reload_connectivity, int delete_connectivity, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Paths, destinations and micro-connectivity                          */
/* ------------------------------------------------------------------ */

int GetDestinationNamePerDevPort(const char *devicename, const char *port_nbr, const char *port_type, int *len_result,
                                 char *result, char *ErrMess);
int GetAllPathsPerDevice(const char *devicename, const char *system_name, int *n, int *link_pos, int *pathid, int *lkid,
                         int reload_connectivity, int delete_connectivity, char *ErrMess);
int GetMicroConnectBetweenBoardCpntAndMotherBoard(const char *cpntname, int int_arg, int *ints1, int *ints2, int *n,
                                                  char *listA, int *lenA, char *listB, int *lenB, char *listC,
                                                  int *lenC, char *listD, int *lenD, char *ErrMess);
int GetMicroConnectFromPortid(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *listC, int *lenC, char *listD,
                              int *lenD, char *ErrMess);
int GetMicroConnectToCpntType(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *listC, int *lenC, char *listD,
                              int *lenD, char *ErrMess);

/* ------------------------------------------------------------------ */
/* Batched updates: record values, first, last, error.                 */
/* ------------------------------------------------------------------ */

int UpdateMultiplePorts(const char *devicename, const char *port_nbr, int port_way, const char *port_type, int speed,
                        const char *phy, int pxi_booting, int first, int last, char *ErrMess);
int UpdateMultipleAttributeMacIPs(const char *ipaddress, const char *subnet, const char *ipname, int first, int last,
                                  char *ErrMess);
int UpdateMultipleIPAddresses(const char *ip_old, const char *ip_new, int first, int last, char *ErrMess);
int UpdateMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *ErrMess);
int UpdateMultipleLinkTypeNames(const char *old_name, const char *new_name, int first, int last, char *ErrMess);
int UpdateMultipleDeviceTypeAttributes(const char *devicetype, const char *description, int nbrofinput, int nbrofoutput,
                                       const char *rgbcolor, int first, int last, char *ErrMess);
int UpdateMultipleDeviceTypes(const char *old_name, const char *new_name, int first, int last, char *ErrMess);
int UpdateMultipleAttributesDevices(const char *devicename, int dnode, int promiscuous_mode, const char *location,
                                    const char *function_list, int first, int last, char *ErrMess);
int UpdateMultipleDevNamesDevices(const char *old_name, const char *new_name, int first, int last, char *ErrMess);
int UpdateMultipleBidirectionalLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                                     const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                                     int bidirectional, int first, int last, char *ErrMess);
int UpdateMultipleLkUsedLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto, int lkused,
                              int first, int last, char *ErrMess);
int UpdateMultipleLkTypeLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *lktype, int first, int last, char *ErrMess);
int UpdateMultipleDeviceSystemList(const char *devicename, const char *system_list, int first, int last, char *ErrMess);
int UpdateMultipleDTypeDevices(const char *devicename, const char *devicetype, int first, int last, char *ErrMess);
int UpdateMultipleLkInfoLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *link_info, int first, int last, char *ErrMess);
int UpdateMultipleDeviceTypeSystemList(const char *devicetype, const char *system_list, int first, int last,
                                       char *ErrMess);

/* ------------------------------------------------------------------ */
/* Single updates, swaps and deletes                                   */
/* ------------------------------------------------------------------ */

/* link_kind: 0 for a macro link, 1 for a micro link. */
int DeleteLinkRow(int lkid, int link_kind, char *ErrMess);
int DeletePortRow(int portid, char *ErrMess);
int DeleteFunctionalDevice(int deviceid, char *ErrMess);
int DeleteFunctionalDeviceType(const char *devicetype, char *ErrMess);
int DeleteHWDevice(const char *serialnb, char *ErrMess);
int DeleteSystemName(const char *system_name, char *ErrMess);
int DeleteBootImage(const char *devicename, char *ErrMess);
int DeleteIPAlias(const char *ipalias, char *ErrMess);
int UpdateBootImage(const char *devicename, const char *boot_image, const char *kernel_image, const char *initrd_image,
                    const char *physical_location, const char *boot_protocol, char *ErrMess);
int UpdateIPalias(const char *old_alias, const char *new_alias, char *ErrMess);
int UpdateHWSerialNB(const char *old_serialnb, const char *new_serialnb, char *ErrMess);
int UpdateDeviceFunctionName(const char *old_name, const char *new_name, char *ErrMess);
int UpdateSubsystemName(const char *old_name, const char *new_name, char *ErrMess);
/* devicename; a second functional device or a spare's serial number; comment. */
int SwapTwoDevices(const char *devicename, const char *other, const char *comments, char *ErrMess);

/* ================================================================== */
/* Additions beyond the described methods                              */
/* ================================================================== */
/* Functions of this library that the described interface does not have;
   documented in docs/additions.md. */

/* ---- Failure impact -------------------------------------------------
   What the loss of a device, a macro link or a port (every link it
   carries) does to the paths from every device to the end devices it
   reaches. Answer: a packed list in result (capacity and written length in
   *len_result, raised to the need when too small), one text per device
   affected: "devicename|cut_off" (it reaches no end device any more), then
   "devicename|degraded" (it keeps a way, but some of its shortest paths to
   an end device are gone); each part by name; length 0 when none. */
int GetFailureImpactOfDevice(const char *devicename, int *len_result, char *result, int reload_connectivity,
                             int delete_connectivity, char *ErrMess);
int GetFailureImpactOfLink(int lkid, int *len_result, char *result, int reload_connectivity, int delete_connectivity,
                           char *ErrMess);
/* port_way: 1 (input) or 2 (output). */
int GetFailureImpactOfPort(const char *devicename, const char *port_nbr, int port_way, const char *port_type,
                           int *len_result, char *result, int reload_connectivity, int delete_connectivity,
                           char *ErrMess);
/* Every single point of failure of the network: each device or macro link
   whose loss alone cuts some device off from every end device it reaches.
   One text per weak point, "device|name|count" or "link|lkid|count" (count:
   the devices it cuts off), most devices cut off first, then devices before
   links, then by name or lkid; length 0 when none. */
int GetWeakPoints(int *len_result, char *result, int reload_connectivity, int delete_connectivity, char *ErrMess);

/* ---- Routing and destination tables, read back -----------------------
   A device's stored routing table: one text per (destination, port), by
   destination name then port id, "destinationid|destination|portid|port|
   nbr_links" (port as "nbr:out[:type]"). The stored table is made fresh
   first, as for GetDestinationNamePerDevPort: built without a limit when
   none is stored, built again with its limit when the network changed since
   (on a database this process may only read: computed, not stored). Answer:
   a packed list in result (capacity and written length in *len_result,
   raised to the need when too small); length 0 when no row. */
int GetRoutingTableRows(const char *devicename, int *len_result, char *result, char *ErrMess);
/* A device's stored destination table, read back the same way: one text per
   (port, end device), by port id, nearest first, then by name,
   "portid|port|destinationid|destination|nbr_links". */
int GetDestinationTableRows(const char *devicename, int *len_result, char *result, char *ErrMess);

/* The status and/or location of a piece of hardware that fills no position
 * (repaired hardware back to SPARE, hardware moved to another store room),
 * with a history entry carrying the comment. An empty status or location
 * keeps the present one. Refused: an unknown serial number or status word,
 * hardware filling a device (a swap takes it out), IN_USE (taking a
 * position gives it), DESTROYED hardware, nothing to change. */
int UpdateHWStatusLocation(const char *serialnb, /* in: the hardware */
                           const char *status,   /* in: IN_USE, SPARE, IN_REPAIR, DESTROYED, TEST; "" keeps it */
                           const char *location, /* in: "" keeps it */
                           const char *comments, /* in: the history entry's comment */
                           char *ErrMess);

#ifdef __cplusplus
}
#endif

#endif /* KETRAL_KETRAL_H */

// Queries: the contract functions of this family, each still a
// guarded "not implemented yet" failure until its body is written.
#include "store/guard.hpp"

extern "C" {

// Row queries
KETRAL_NOT_YET(GetDeviceTypeRow, const char *, int *, char *)
KETRAL_NOT_YET(GetDeviceRow_devicename, const char *, int *, char *)
KETRAL_NOT_YET(GetBootImageRow_devicename, const char *, int *, char *)
KETRAL_NOT_YET(GetBoardCpntRow_cpntname, const char *, int *, char *)
KETRAL_NOT_YET(GetHWCpntRow_serialnb, const char *, int *, char *)
KETRAL_NOT_YET(GetHWDeviceRow_serialnb, const char *, int *, char *)
KETRAL_NOT_YET(GetIPAliasRow, const char *, int *, char *)
KETRAL_NOT_YET(GetDeviceRow_devid, int, int *, char *)
KETRAL_NOT_YET(GetBoardCpntRow_cpntid, int, int *, char *)
KETRAL_NOT_YET(GetHWCpntRow_snbid, int, int *, char *)
KETRAL_NOT_YET(GetPortRow_pid, int, int *, char *)
KETRAL_NOT_YET(GetPortRow_devid, int, const char *, int, const char *, int *, char *)
KETRAL_NOT_YET(GetSparePortRow_snb, const char *, const char *, int, const char *, int *, char *)
KETRAL_NOT_YET(GetMacroConnectivityRow_lkid, int, int *, char *)
KETRAL_NOT_YET(GetMicroConnectivityRow_lkid, int, int *, char *)
KETRAL_NOT_YET(GetMacroConnectivityRow_node, int, const char *, int, const char *, int *, char *)
KETRAL_NOT_YET(GetMicroConnectivityRow_node, int, int, int, int *, char *)
KETRAL_NOT_YET(GetIPInfoRow, const char *, int *, char *)
KETRAL_NOT_YET(GetLkTypeRow_lkname, const char *, int *, char *)
KETRAL_NOT_YET(GetLkTypeRow_lknb, int, int *, char *)

// Identifier and name lookups
KETRAL_NOT_YET(GetDeviceName_deviceid, int, char *)
KETRAL_NOT_YET(GetCpntName_cpntid, int, char *)
KETRAL_NOT_YET(GetDeviceID_devicename, const char *, int *)
KETRAL_NOT_YET(GetCpntID_cpntname, const char *, int *)
KETRAL_NOT_YET(GetPortID_portinfo, int, const char *, const char *, int, int *)

// Status and last assignment
KETRAL_NOT_YET(GetFunctionalDeviceStatus, const char *, char *)
KETRAL_NOT_YET(GetFunctionalBoardCpntStatus, const char *, char *)
KETRAL_NOT_YET(GetHWDeviceStatus, const char *, char *)
KETRAL_NOT_YET(GetHWBoardCpntStatus, const char *, int, char *)
KETRAL_NOT_YET(GetHWLastFunctionalDevice, const char *, char *, int *)
KETRAL_NOT_YET(GetHWLastFunctionalBoardCpntName, const char *, int, char *, int *)
KETRAL_NOT_YET(GetFunctionalDeviceLastHW, const char *, char *, int *)
KETRAL_NOT_YET(GetFunctionalBoardCpntNameLastHW, const char *, char *, int *)

// Status listings and histories
KETRAL_NOT_YET(GetHWDeviceByStatus, const char *, const char *, int *, char *)
KETRAL_NOT_YET(GetFunctionalDeviceByStatus, const char *, const char *, int *, char *)
KETRAL_NOT_YET(GetHWBoardCpntByStatus, const char *, char *, int *)
KETRAL_NOT_YET(GetHistoryOfHWDevice, const char *, char *, int *, const char *, const char *)
KETRAL_NOT_YET(GetHistoryOfHWBoardCpnt, const char *, int, char *, int *, const char *, const char *)
KETRAL_NOT_YET(GetHistoryOfFunctionalDevice, const char *, char *, int *, const char *, const char *)
KETRAL_NOT_YET(GetHistoryOfFunctionalBoardCpntName, const char *, char *, int *, const char *, const char *)

// Integer-list queries
KETRAL_NOT_YET(GetPortIDPerDevID, int, int *, int *)
KETRAL_NOT_YET(GetDeviceIDsPerType, const char *, int *, int *)
KETRAL_NOT_YET(GetLkFromDevID, int, int *, int *)
KETRAL_NOT_YET(GetLkToDevID, int, int *, int *)
KETRAL_NOT_YET(GetMicroLkFromCpntID, int, int, int *, int *)
KETRAL_NOT_YET(GetMicroLkToCpntID, int, int, int *, int *)
int GetLkIDsPerLkInfo(const char *, int *, int *, char *ErrMess) {
    return ketral::store::not_implemented("GetLkIDsPerLkInfo", ErrMess, KETRAL_LKINFO_ERROR_CAPACITY);
}

// String-list queries
KETRAL_NOT_YET(GetDeviceNamesPerType, const char *, int *, char *)
KETRAL_NOT_YET(GetFreeDeviceNamesPerType, const char *, int *, char *)
KETRAL_NOT_YET(GetDeviceNamesPerLocation, const char *, int *, char *)
KETRAL_NOT_YET(GetDeviceNamesPerFunction, const char *, int *, char *)
KETRAL_NOT_YET(GetBoardCpntPerType, const char *, int *, char *)
KETRAL_NOT_YET(GetCpntNamesPerBoard, const char *, int *, char *)
KETRAL_NOT_YET(GetSpareHWPerLocation, const char *, int *, char *)
KETRAL_NOT_YET(GetSpareHWCpntPerLocation, const char *, int *, char *)
KETRAL_NOT_YET(GetSpareHWPerType, const char *, int *, char *)
KETRAL_NOT_YET(GetSpareHWCpntPerType, const char *, int *, char *)
KETRAL_NOT_YET(GetPortInfoPerSpare, const char *, int *, char *)
KETRAL_NOT_YET(GetIPAliasesPerIPName, const char *, int *, char *)
KETRAL_NOT_YET(GetAvailableFunctions, int *, char *)
KETRAL_NOT_YET(GetListOfSubsystems, int *, char *)
KETRAL_NOT_YET(GetSpareHWTypeList, int *, char *)
KETRAL_NOT_YET(GetLkTypeDecomposition_lknb, int, int *, char *)
KETRAL_NOT_YET(GetMacIPAddPerDevID, int, int *, char *)

// Table loaders
KETRAL_NOT_YET(LoadConnectivityTable, const char *, int *, int *, int *, int *, int *, int *, char *, char *, int *, int *, int *, char *, int *)
KETRAL_NOT_YET(MatchDeviceIDDeviceName, const char *, int *, int *, int *, char *)
KETRAL_NOT_YET(LoadDeviceTypeTable, const char *, int *, char *, int *, int *)
KETRAL_NOT_YET(LoadLinkTypeTable, int *, int *, int *, char *)

}  // extern "C"

// Row queries, lookups, status queries, listings and histories, integer and
// string lists.
#include "module/bindings.hpp"

void bind_record_queries(KetralClass &cls) {
    // Row queries
    KETRAL_BIND(cls, GetDeviceTypeRow);
    KETRAL_BIND(cls, GetDeviceRow_devicename);
    KETRAL_BIND(cls, GetBootImageRow_devicename);
    KETRAL_BIND(cls, GetBoardCpntRow_cpntname);
    KETRAL_BIND(cls, GetHWCpntRow_serialnb);
    KETRAL_BIND(cls, GetHWDeviceRow_serialnb);
    KETRAL_BIND(cls, GetIPAliasRow);
    KETRAL_BIND(cls, GetDeviceRow_deviceid);
    KETRAL_BIND(cls, GetBoardCpntRow_cpntid);
    KETRAL_BIND(cls, GetHWCpntRow_snbid);
    KETRAL_BIND(cls, GetPortRow_pid);
    KETRAL_BIND(cls, GetPortRow_devid);
    KETRAL_BIND(cls, GetSparePortRow_snb);
    KETRAL_BIND(cls, GetMacroConnectivityRow_lkid);
    KETRAL_BIND(cls, GetMicroConnectivityRow_lkid);
    KETRAL_BIND(cls, GetMacroConnectivityRow_node);
    KETRAL_BIND(cls, GetMicroConnectivityRow_node);
    KETRAL_BIND(cls, GetIPInfoRow);
    KETRAL_BIND(cls, GetLkTypeRow_lkname);
    KETRAL_BIND(cls, GetLkTypeRow_lknb);

    // Identifier and name lookups
    KETRAL_BIND(cls, GetDeviceName_deviceid);
    KETRAL_BIND(cls, GetCpntName_cpntid);
    KETRAL_BIND(cls, GetDeviceID_devicename);
    KETRAL_BIND(cls, GetCpntID_cpntname);
    KETRAL_BIND(cls, GetPortID_portinfo);

    // Status and last-assignment queries
    KETRAL_BIND(cls, GetFunctionalDeviceStatus);
    KETRAL_BIND(cls, GetFunctionalBoardCpntStatus);
    KETRAL_BIND(cls, GetHWDeviceStatus);
    KETRAL_BIND(cls, GetHWBoardCpntStatus);
    KETRAL_BIND(cls, GetHWLastFunctionalDevice);
    KETRAL_BIND(cls, GetHWLastFunctionalBoardCpntName);
    KETRAL_BIND(cls, GetFunctionalDeviceLastHW);
    KETRAL_BIND(cls, GetFunctionalBoardCpntNameLastHW);

    // Status listings and histories
    KETRAL_BIND(cls, GetHWDeviceByStatus);
    KETRAL_BIND(cls, GetFunctionalDeviceByStatus);
    KETRAL_BIND(cls, GetHWBoardCpntByStatus);
    KETRAL_BIND(cls, GetHistoryOfHWDevice);
    KETRAL_BIND(cls, GetHistoryOfHWBoardCpnt);
    KETRAL_BIND(cls, GetHistoryOfFunctionalDevice);
    KETRAL_BIND(cls, GetHistoryOfFunctionalBoardCpntName);

    // Integer-list queries
    KETRAL_BIND(cls, GetPortIDPerDevID);
    KETRAL_BIND(cls, GetDeviceIDsPerType);
    KETRAL_BIND(cls, GetLkFromDevID);
    KETRAL_BIND(cls, GetLkToDevID);
    KETRAL_BIND(cls, GetMicroLkFromCpntID);
    KETRAL_BIND(cls, GetMicroLkToCpntID);
    KETRAL_BIND(cls, GetLkIDsPerLkInfo);

    // String-list queries
    KETRAL_BIND(cls, GetDeviceNamesPerType);
    KETRAL_BIND(cls, GetFreeDeviceNamesPerType);
    KETRAL_BIND(cls, GetDeviceNamesPerLocation);
    KETRAL_BIND(cls, GetDeviceNamesPerFunction);
    KETRAL_BIND(cls, GetBoardCpntPerType);
    KETRAL_BIND(cls, GetCpntNamesPerBoard);
    KETRAL_BIND(cls, GetSpareHWPerLocation);
    KETRAL_BIND(cls, GetSpareHWCpntPerLocation);
    KETRAL_BIND(cls, GetSpareHWPerType);
    KETRAL_BIND(cls, GetSpareHWCpntPerType);
    KETRAL_BIND(cls, GetPortInfoPerSpare);
    KETRAL_BIND(cls, GetIPAliasesPerIPName);
    KETRAL_BIND(cls, GetAvailableFunctions);
    KETRAL_BIND(cls, GetListOfSubsystems);
    KETRAL_BIND(cls, GetSpareHWTypeList);
    KETRAL_BIND(cls, GetLkTypeDecomposition_lknb);
    KETRAL_BIND(cls, GetMacIPAddPerDevID);
}

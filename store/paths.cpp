// Paths, connectivity, routing and destination tables: the contract
// functions of this family, each still a guarded "not implemented yet"
// failure until its body is written.
#include "store/guard.hpp"

extern "C" {

// Stored routing and destination tables
KETRAL_NOT_YET(CreateDestinationTable, const char *, int)
KETRAL_NOT_YET(CreateRoutingTable, const char *, int)

// Device-to-device connectivity
KETRAL_NOT_YET(GetConnectivityBetweenDevices, const char *, const char *, int *, int *, int *, int *, int *, int *, char *, char *, char *, int *, char *, int *, int *, int *, char *, int, int)
KETRAL_NOT_YET(GetDetailedConnectivityBetweenDevices, const char *, const char *, char *, int *, int *, int *, int *, int *, int *, char *, char *, int *, int *, char *, int *, int *, char *, int, int)
KETRAL_NOT_YET(GetDetailedConnBetweenDeviceDevType, const char *, const char *, int, char *, char *, char *, int *, int *, int *, int *, int *, int *, int *, int *, char *, int *, int *, char *, int, int)
KETRAL_NOT_YET(GetConnOutBetweenDeviceDeviceType, const char *, const char *, int, int *, char *, int, int)

// Paths, destinations and micro-connectivity
KETRAL_NOT_YET(GetDestinationNamePerDevPort, const char *, const char *, const char *, int *, char *)
KETRAL_NOT_YET(GetAllPathsPerDevice, const char *, const char *, int *, int *, int *, int *, int, int)
KETRAL_NOT_YET(GetMicroConnectBetweenBoardCpntAndMotherBoard, const char *, int, int *, int *, int *, char *, int *, char *, int *, char *, int *, char *, int *)
KETRAL_NOT_YET(GetMicroConnectFromPortid, int, int, const char *, int *, int *, int *, char *, int *, char *, int *, char *, int *, char *, int *)
KETRAL_NOT_YET(GetMicroConnectToCpntType, int, int, const char *, int *, int *, int *, char *, int *, char *, int *, char *, int *, char *, int *)

}  // extern "C"

// Status and history queries, each still a guarded "not implemented yet"
// failure until its body is written. The other queries are in store/queries/.
#include "store/guard.hpp"

extern "C" {

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

}  // extern "C"

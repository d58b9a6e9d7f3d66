// Inserts: the contract functions of this family, each still a
// guarded "not implemented yet" failure until its body is written.
#include "store/guard.hpp"

extern "C" {

// Single-record inserts (gathered until last_rows = 1)
KETRAL_NOT_YET(InsertDeviceType, const char *, const char *, int, int, const char *, const char *, int)
KETRAL_NOT_YET(InsertFunctionalDevice, const char *, const char *, const char *, int, int, const char *, const char *, const char *, const char *, const char *, const char *, int)
KETRAL_NOT_YET(InsertTestFunctionalDevice, const char *, const char *, int, const char *, int, const char *, int, const char *, int, const char *, int, const int *, int, int)
KETRAL_NOT_YET(InsertSpareDevice, const char *, const char *, const char *, const char *, const char *, const char *, int)
KETRAL_NOT_YET(InsertSimpleLinkType, const char *, int)
KETRAL_NOT_YET(InsertCompositeLinkType, const char *, const char *, int)
KETRAL_NOT_YET(InsertPort, const char *, const char *, int, int, int, int, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int)
KETRAL_NOT_YET(InsertMacroLink, const char *, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertSparePort, const char *, const char *, int, const char *, const char *, const char *, int)
KETRAL_NOT_YET(InsertSimpleDeviceFunction, const char *, int)
KETRAL_NOT_YET(InsertSubsystem, const char *, const char *)

// Batched inserts (first = 1 opens, last = 1 writes)
KETRAL_NOT_YET(InsertMultipleSpareDevices, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleBoardCpnts, const char *, const char *, int, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleDeviceTypes, const char *, const char *, int, int, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleFunctionalDevices, const char *, const char *, const char *, int, int, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleSimpleLinkTypes, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleCompositeLinkTypes, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultiplePorts, const char *, const char *, int, int, int, int, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleSparePorts, const char *, const char *, int, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleMacroLinks, const char *, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int, int, int)
KETRAL_NOT_YET(InsertMultipleMicroLinks, const char *, const char *, int, int, const char *, int, int, int)
KETRAL_NOT_YET(InsertMultipleBootImages, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(InsertMultipleIPAliases, const char *, const char *, const char *, int, int)

}  // extern "C"

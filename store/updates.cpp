// Updates, swaps and deletes: the contract functions of this family, each
// still a guarded "not implemented yet" failure until its body is written.
#include "store/guard.hpp"

extern "C" {

// Batched updates
KETRAL_NOT_YET(UpdateMultiplePorts, const char *, const char *, int, const char *, int, const char *, int, int, int)
KETRAL_NOT_YET(UpdateMultipleAttributeMacIPs, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleIPAddresses, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleCompositeLinkTypes, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleLinkTypeNames, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDeviceTypeAttributes, const char *, const char *, int, int, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDeviceTypes, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleAttributesDevices, const char *, int, int, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDevNamesDevices, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleBidirectionalLinks, const char *, const char *, const char *, const char *, const char *, const char *, int, int, int)
KETRAL_NOT_YET(UpdateMultipleLkUsedLinks, const char *, const char *, const char *, const char *, const char *, const char *, int, int, int)
KETRAL_NOT_YET(UpdateMultipleLkTypeLinks, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDeviceSystemList, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDTypeDevices, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleLkInfoLinks, const char *, const char *, const char *, const char *, const char *, const char *, const char *, int, int)
KETRAL_NOT_YET(UpdateMultipleDeviceTypeSystemList, const char *, const char *, int, int)

// Single updates, swaps and deletes
KETRAL_NOT_YET(DeleteLinkRow, int, int)
KETRAL_NOT_YET(DeletePortRow, int)
KETRAL_NOT_YET(DeleteFunctionalDevice, int)
KETRAL_NOT_YET(DeleteFunctionalDeviceType, const char *)
KETRAL_NOT_YET(DeleteHWDevice, const char *)
KETRAL_NOT_YET(DeleteSystemName, const char *)
KETRAL_NOT_YET(DeleteBootImage, const char *)
KETRAL_NOT_YET(DeleteIPAlias, const char *)
KETRAL_NOT_YET(UpdateBootImage, const char *, const char *, const char *, const char *, const char *, const char *)
KETRAL_NOT_YET(UpdateIPalias, const char *, const char *)
KETRAL_NOT_YET(UpdateHWSerialNB, const char *, const char *)
KETRAL_NOT_YET(UpdateDeviceFunctionName, const char *, const char *)
KETRAL_NOT_YET(UpdateSubsystemName, const char *, const char *)
KETRAL_NOT_YET(SwapTwoDevices, const char *, const char *, const char *)

}  // extern "C"

// Binding of the write members: inserts, batched inserts, batched updates,
// single updates, the swap and the deletions, each under its script name.
#include "module/bindings.hpp"

void bind_writes(KetralClass &cls) {
    // Single-record inserts
    KETRAL_BIND(cls, InsertDeviceType);
    KETRAL_BIND(cls, InsertFunctionalDevice);
    KETRAL_BIND(cls, InsertTestFunctionalDevice);
    KETRAL_BIND(cls, InsertSpareDevice);
    KETRAL_BIND(cls, InsertSimpleLinkType);
    KETRAL_BIND(cls, InsertCompositeLinkType);
    KETRAL_BIND(cls, InsertPort);
    KETRAL_BIND(cls, InsertMacroLink);
    KETRAL_BIND(cls, InsertSparePort);
    KETRAL_BIND(cls, InsertSimpleDeviceFunction);
    KETRAL_BIND(cls, InsertSubsystem);

    // Batched inserts
    KETRAL_BIND(cls, InsertMultipleSpareDevices);
    KETRAL_BIND(cls, InsertMultipleBoardCpnts);
    KETRAL_BIND(cls, InsertMultipleDeviceTypes);
    KETRAL_BIND(cls, InsertMultipleFunctionalDevices);
    KETRAL_BIND(cls, InsertMultipleSimpleLinkTypes);
    KETRAL_BIND(cls, InsertMultipleCompositeLinkTypes);
    KETRAL_BIND(cls, InsertMultiplePorts);
    KETRAL_BIND(cls, InsertMultipleSparePorts);
    KETRAL_BIND(cls, InsertMultipleMacroLinks);
    KETRAL_BIND(cls, InsertMultipleMicroLinks);
    KETRAL_BIND(cls, InsertMultipleBootImages);
    KETRAL_BIND(cls, InsertMultipleIPAliases);

    // Batched updates
    KETRAL_BIND(cls, UpdateMultiplePorts);
    KETRAL_BIND(cls, UpdateMultipleAttributeMacIPs);
    KETRAL_BIND(cls, UpdateMultipleIPAddresses);
    KETRAL_BIND(cls, UpdateMultipleCompositeLinkTypes);
    KETRAL_BIND(cls, UpdateMultipleLinkTypeNames);
    KETRAL_BIND(cls, UpdateMultipleDeviceTypeAttributes);
    KETRAL_BIND(cls, UpdateMultipleDeviceTypes);
    KETRAL_BIND(cls, UpdateMultipleAttributesDevices);
    KETRAL_BIND(cls, UpdateMultipleDevNamesDevices);
    KETRAL_BIND(cls, UpdateMultipleBidirectionalLinks);
    KETRAL_BIND(cls, UpdateMultipleLkUsedLinks);
    KETRAL_BIND(cls, UpdateMultipleLkTypeLinks);
    KETRAL_BIND(cls, UpdateMultipleDeviceSystemList);
    KETRAL_BIND(cls, UpdateMultipleDTypeDevices);
    KETRAL_BIND(cls, UpdateMultipleLkInfoLinks);
    KETRAL_BIND(cls, UpdateMultipleDeviceTypeSystemList);

    // Single updates, swaps and deletes
    KETRAL_BIND(cls, DeleteLinkRow);
    KETRAL_BIND(cls, DeletePortRow);
    KETRAL_BIND(cls, DeleteFunctionalDevice);
    KETRAL_BIND(cls, DeleteFunctionalDeviceType);
    KETRAL_BIND(cls, DeleteHWDevice);
    KETRAL_BIND(cls, DeleteSystemName);
    KETRAL_BIND(cls, DeleteBootImage);
    KETRAL_BIND(cls, DeleteIPAlias);
    KETRAL_BIND(cls, UpdateBootImage);
    KETRAL_BIND(cls, UpdateIPalias);
    KETRAL_BIND(cls, UpdateHWSerialNB);
    KETRAL_BIND(cls, UpdateDeviceFunctionName);
    KETRAL_BIND(cls, UpdateSubsystemName);
    KETRAL_BIND(cls, SwapTwoDevices);
}

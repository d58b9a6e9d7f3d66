// Single updates, the device swap and the deletions: no checks, one call
// with the arguments in script order, a fixed success text.
#include "core/ketral_object.hpp"
#include "core/write_protocol.hpp"
#include "ketral/ketral.h"

using namespace ketral;

std::string KETRAL::PyDeleteLinkRow(int lkid, int link_kind) {
    return delete_record(call_with(DeleteLinkRow, lkid, link_kind));
}

std::string KETRAL::PyDeletePortRow(int portid) { return delete_record(call_with(DeletePortRow, portid)); }

std::string KETRAL::PyDeleteFunctionalDevice(int deviceid) {
    return delete_record(call_with(DeleteFunctionalDevice, deviceid));
}

std::string KETRAL::PyDeleteFunctionalDeviceType(Str devicetype) {
    return delete_record(call_with(DeleteFunctionalDeviceType, devicetype));
}

std::string KETRAL::PyDeleteHWDevice(Str serialnb) { return delete_record(call_with(DeleteHWDevice, serialnb)); }

std::string KETRAL::PyDeleteSystemName(Str system_name) {
    return delete_record(call_with(DeleteSystemName, system_name));
}

std::string KETRAL::PyDeleteBootImage(Str devicename) { return delete_record(call_with(DeleteBootImage, devicename)); }

std::string KETRAL::PyDeleteIPAlias(Str ipalias) { return delete_record(call_with(DeleteIPAlias, ipalias)); }

std::string KETRAL::PyUpdateBootImage(Str devicename, Str boot_image, Str kernel_image, Str initrd_image,
                                      Str physical_location, Str boot_protocol) {
    return update_record(call_with(UpdateBootImage, devicename, boot_image, kernel_image, initrd_image,
                                   physical_location, boot_protocol));
}

std::string KETRAL::PyUpdateIPalias(Str old_alias, Str new_alias) {
    return update_record(call_with(UpdateIPalias, old_alias, new_alias));
}

std::string KETRAL::PyUpdateHWSerialNB(Str old_serialnb, Str new_serialnb) {
    return update_record(call_with(UpdateHWSerialNB, old_serialnb, new_serialnb));
}

std::string KETRAL::PyUpdateDeviceFunctionName(Str old_name, Str new_name) {
    return update_record(call_with(UpdateDeviceFunctionName, old_name, new_name));
}

std::string KETRAL::PyUpdateSubsystemName(Str old_name, Str new_name) {
    return update_record(call_with(UpdateSubsystemName, old_name, new_name));
}

std::string KETRAL::PySwapTwoDevices(Str devicename, Str other, Str comments) {
    return update_record(call_with(SwapTwoDevices, devicename, other, comments));
}

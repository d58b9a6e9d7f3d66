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

std::string KETRAL::PyDeleteFunctionalDeviceType(const std::string &devicetype) {
    return delete_record(call_with(DeleteFunctionalDeviceType, devicetype));
}

std::string KETRAL::PyDeleteHWDevice(const std::string &serialnb) {
    return delete_record(call_with(DeleteHWDevice, serialnb));
}

std::string KETRAL::PyDeleteSystemName(const std::string &system_name) {
    return delete_record(call_with(DeleteSystemName, system_name));
}

std::string KETRAL::PyDeleteBootImage(const std::string &devicename) {
    return delete_record(call_with(DeleteBootImage, devicename));
}

std::string KETRAL::PyDeleteIPAlias(const std::string &ipalias) {
    return delete_record(call_with(DeleteIPAlias, ipalias));
}

std::string KETRAL::PyUpdateBootImage(const std::string &devicename, const std::string &boot_image,
                                      const std::string &kernel_image, const std::string &initrd_image,
                                      const std::string &physical_location, const std::string &boot_protocol) {
    return update_record(call_with(UpdateBootImage, devicename, boot_image, kernel_image, initrd_image,
                                   physical_location, boot_protocol));
}

std::string KETRAL::PyUpdateIPalias(const std::string &old_alias, const std::string &new_alias) {
    return update_record(call_with(UpdateIPalias, old_alias, new_alias));
}

std::string KETRAL::PyUpdateHWSerialNB(const std::string &old_serialnb, const std::string &new_serialnb) {
    return update_record(call_with(UpdateHWSerialNB, old_serialnb, new_serialnb));
}

std::string KETRAL::PyUpdateHWStatusLocation(const std::string &serialnb, const std::string &status,
                                             const std::string &location, const std::string &comments) {
    return update_record(call_with(UpdateHWStatusLocation, serialnb, status, location, comments));
}

std::string KETRAL::PyUpdateDeviceFunctionName(const std::string &old_name, const std::string &new_name) {
    return update_record(call_with(UpdateDeviceFunctionName, old_name, new_name));
}

std::string KETRAL::PyUpdateSubsystemName(const std::string &old_name, const std::string &new_name) {
    return update_record(call_with(UpdateSubsystemName, old_name, new_name));
}

std::string KETRAL::PySwapTwoDevices(const std::string &devicename, const std::string &other,
                                     const std::string &comments) {
    return update_record(call_with(SwapTwoDevices, devicename, other, comments));
}

// The statements that find a record's id by its name, shared by the read and
// the write side.
#pragma once

namespace ketral::store {

// Statements answering the id of a name (one parameter, id in column 0).
inline constexpr char kSubsystemId[] = "SELECT systemid FROM subsystem WHERE system_name = ?";
inline constexpr char kFunctionId[] = "SELECT functionid FROM device_function WHERE function_name = ?";
inline constexpr char kDeviceTypeId[] = "SELECT devicetypeid FROM device_type WHERE devicetype = ?";
inline constexpr char kDeviceId[] = "SELECT deviceid FROM functional_device WHERE devicename = ?";
inline constexpr char kLinkTypeId[] = "SELECT linktypeid FROM link_type WHERE lktype = ?";

}  // namespace ketral::store

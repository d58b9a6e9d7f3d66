// Look-ups the insert operations share: names to ids, name lists, and the
// hardware that fills a position (devices and board components alike).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/inserts/batch.hpp"

namespace ketral::store::inserts {

// Statements answering the id of a name (one parameter, id in column 0).
inline constexpr char kSubsystemId[] = "SELECT systemid FROM subsystem WHERE system_name = ?";
inline constexpr char kFunctionId[] = "SELECT functionid FROM device_function WHERE function_name = ?";
inline constexpr char kDeviceTypeId[] = "SELECT devicetypeid FROM device_type WHERE devicetype = ?";
inline constexpr char kDeviceId[] = "SELECT deviceid FROM functional_device WHERE devicename = ?";
inline constexpr char kLinkTypeId[] = "SELECT linktypeid FROM link_type WHERE lktype = ?";

// Whether `select` (as above) finds `name`.
bool exists(sql::Connection &db, std::string_view select, std::string_view name);

// The ids of the names of a comma-separated list (split_list); a name
// `select` does not find is refused: "no subsystem named 'X' (system list 'A,X')".
std::vector<std::int64_t> resolve_list(const RecordRef &ref, sql::Connection &db, IdCache &cache,
                                       std::string_view select, std::string_view list, std::string_view kind,
                                       std::string_view list_name);

// The id `select` finds for `name`, refused as "no <kind> named 'x'" when none.
std::int64_t need_id(const RecordRef &ref, sql::Connection &db, IdCache &cache, std::string_view select,
                     std::string_view name, std::string_view kind);

// A port's key on its device (or spare hardware): (port_nbr, port_way, port_type).
std::string port_key(std::string_view nbr, int way, std::string_view type);

// What a hardware table and its positions are called, for the shared code.
struct HardwareKind {
    const char *history_kind;  // hw_kind in the history: "device" or "component"
    const char *noun;          // "hardware" / "component hardware"
};
inline constexpr HardwareKind kDeviceHardware{"device", "hardware"};
inline constexpr HardwareKind kComponentHardware{"component", "component hardware"};

// One entry of the history: a piece of hardware and where it now is.
struct HistoryEntry {
    const HardwareKind &kind;
    std::int64_t hwid;
    const std::string &serialnb;
    std::int64_t position_id;  // 0: no position
    std::string_view position_name;
    const char *status;
    const std::string &location;
    const std::string &comments;
};
void append_history(Writer &writer, const HistoryEntry &entry);

// The two ends of a macro link as a record names them (device, port number,
// port type), checked the same way by the link inserts and updates.
template <typename LinkRecord>
void check_link_ends(const RecordRef &ref, const LinkRecord &r) {
    ref.need_name(r.node_from, "a device name (node_from)");
    ref.need_name(r.node_to, "a device name (node_to)");
    ref.need_name(r.nbr_from, "a port number (port_nbrfrom)");
    ref.need_name(r.nbr_to, "a port number (port_nbrto)");
    ref.check_name(r.type_from, "a port type");
    ref.check_name(r.type_to, "a port type");
}

}  // namespace ketral::store::inserts

// What the status, assignment, listing and history queries share: finding
// hardware by serial number (and, for component hardware, key_number).
//
// key_number of component hardware: serial numbers of components need not
// be unique, so key_number is the snbid of the one meant, or 0 for "the one
// piece of component hardware with that serial number".
#pragma once

#include <cstdint>
#include <string_view>

#include "store/export.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::status {

inline constexpr char kCpntId[] = "SELECT cpntid FROM board_cpnt WHERE cpntname = ?";

// History entries of what is gone (or renamed away), found through the
// entries that recorded the name: of the hardware that had that serial
// number (component hardware: and, unless the key is 0, that snbid), of
// the positions that had that name.
inline constexpr char kDeviceGone[] = "h.hwid IN (SELECT hwid FROM history WHERE hw_kind = 'device' AND serialnb = ?)";
inline constexpr char kCpntGone[] =
    "h.hwid IN (SELECT hwid FROM history WHERE hw_kind = 'component' AND serialnb = ? AND (? = 0 OR hwid = ?))";
inline constexpr char kDevicePositionGone[] =
    "h.position_id IN (SELECT position_id FROM history WHERE hw_kind = 'device' AND position_name = ?)";
inline constexpr char kCpntPositionGone[] =
    "h.position_id IN (SELECT position_id FROM history WHERE hw_kind = 'component' AND position_name = ?)";

// The id the first row of `select` (args bound) answers; 0 when none.
template <typename... Args>
std::int64_t id_of(sql::Connection &db, const char *select, const Args &...args) {
    auto stmt = db.prepare(select);
    stmt.bind_all(args...);
    return stmt.step() ? stmt->column_int(0) : 0;
}

// The hardware device with that serial number now: its serialid, 0 when none.
std::int64_t device_hardware(sql::Connection &db, std::string_view serialnb);

// The component hardware with that serial number and, unless key_number is
// 0, that snbid: its snbid, 0 when none. With key_number 0 and several
// pieces sharing the serial number, refuses: "<fn>: 2 pieces of component
// hardware have the serial number 'X' (snbid 3, 4): give its snbid as key_number".
std::int64_t component_hardware(const char *fn, sql::Connection &db, std::string_view serialnb, int key_number);

}  // namespace ketral::store::status

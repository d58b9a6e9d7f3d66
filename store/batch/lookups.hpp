// Look-ups every write shares: names to ids, name lists, port keys, the two
// ends of a link.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/batch/batch.hpp"
#include "store/name_ids.hpp"

namespace ketral::store::batch {

// Whether `select` (as above) finds `name`.
bool exists(sql::Connection &db, std::string_view select, std::string_view name);

// `select` with "{names}" replaced by Connection::text_list_rows: a
// statement that takes a JSON array of names (names_json) as parameter 1.
std::string with_name_list(sql::Connection &db, std::string_view select);

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

// A table that joins an owner to its members (a device type or device to its
// subsystems, a device to its functions, a composite link type to its simple types).
struct MemberTable {
    sql::BulkTable rows;  // (owner, member)
    const char *clear;    // DELETE of every row of an owner
};
inline const MemberTable kDeviceTypeSystems{{"device_type_system", "devicetypeid, systemid", 2},
                                            "DELETE FROM device_type_system WHERE devicetypeid = ?"};
inline const MemberTable kDeviceSystems{{"device_system", "deviceid, systemid", 2},
                                        "DELETE FROM device_system WHERE deviceid = ?"};
inline const MemberTable kDeviceFunctions{{"functional_device_function", "deviceid, functionid", 2},
                                          "DELETE FROM functional_device_function WHERE deviceid = ?"};
inline const MemberTable kLinkTypeMembers{{"link_type_member", "compositeid, simpleid", 2},
                                          "DELETE FROM link_type_member WHERE compositeid = ?"};

// Adds `members` to the members of `owner` (appended rows: `owner` may be
// appended too, to a table of a lower order).
void add_members(sql::Connection &db, const MemberTable &table, std::int64_t owner,
                 const std::vector<std::int64_t> &members);
// Makes `members` the members of `owner`, in place of those it had.
void replace_members(sql::Connection &db, const MemberTable &table, std::int64_t owner,
                     const std::vector<std::int64_t> &members);

// Fails a write whose UPDATE or DELETE by id changed no row: the record
// checked is gone (another connection deleted it since). The batch
// machinery names the record: "record 3: device 'sw07' does not exist".
void one_changed(std::int64_t changes);

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

}  // namespace ketral::store::batch

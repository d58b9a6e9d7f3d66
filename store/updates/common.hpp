// What the updates, the swap and the deletes share. Every one of them is an
// operation of the batch machinery (store/inserts/batch.hpp): batched
// updates with Flags::Batch, single updates and deletes with Flags::None
// (checked, then written in one transaction). An operation whose kChangesGraph
// is set drops the connectivity graph when it commits (a device's name or
// type, a link, a link type's name or members, a device's deletion).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "store/export.hpp"
#include "store/inserts/lookups.hpp"

namespace ketral::store::updates {

using inserts::arg;
using inserts::Flags;
using inserts::IdCache;
using inserts::or_null;
using inserts::port_key;
using inserts::port_label;
using inserts::RecordRef;
using inserts::Writer;

inline std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The exported function of an update, swap or delete: the guard, then one
// record built by make() through the batch machinery.
template <typename Op, typename Make>
int change(const char *operation, char *error, Flags flags, int first, int last, Make &&make) {
    return inserts::insert<Op>(operation, error, flags, first, last, std::forward<Make>(make));
}

// Fails a write whose UPDATE or DELETE by id changed no row: the record
// checked is gone (another connection deleted it since). The batch
// machinery names the record: "record 3: device 'sw07' does not exist".
inline void one_changed(std::int64_t changes) {
    if (changes == 0) throw sql::DbError(sql::DbErrorKind::MissingReference, 0, "the record checked is gone");
}

// A change on its own, written at once.
template <typename Op, typename Make>
int change_now(const char *operation, char *error, Make &&make) {
    return change<Op>(operation, error, Flags::None, 0, 1, std::forward<Make>(make));
}

// The names a batch of renames has changed so far, so that each record is
// checked against the database as the earlier records of the batch leave it:
// a -> b then b -> c is a chain, a -> t, b -> a, t -> b an exchange.
class Renames {
public:
    // The id of `name` now; refuses a name that does not exist or that an
    // earlier record renamed. `select` answers the id of a name.
    std::int64_t current(const RecordRef &ref, sql::Connection &db, std::string_view select, const std::string &name,
                         std::string_view kind);
    // Refuses `name` as a new name when it is taken.
    void need_free(const RecordRef &ref, sql::Connection &db, std::string_view select, const std::string &name,
                   std::string_view kind);
    void rename(const std::string &from, const std::string &to, std::int64_t id, std::size_t record);

private:
    struct Entry {
        std::int64_t id;  // 0: the name was given up
        std::size_t record;
    };
    std::unordered_map<std::string, Entry> names_;
};

// The ports of the devices a batch names, read once per device.
class DevicePorts {
public:
    // The id of port (nbr, way, type) of `device`; refuses a missing device or port.
    std::int64_t port(const RecordRef &ref, sql::Connection &db, const std::string &device, const std::string &nbr,
                      int way, const std::string &type);

private:
    struct Device {
        std::unordered_map<std::string, std::int64_t> ports;  // port_key -> portid
    };
    std::unordered_map<std::string, Device> devices_;
};

// The statuses of hardware, devices and board components alike.
inline constexpr const char *kStatuses[] = {"IN_USE", "SPARE", "IN_REPAIR", "DESTROYED", "TEST"};
// "IN_USE, SPARE, IN_REPAIR, DESTROYED, TEST"
std::string status_words();
bool is_status(std::string_view word);

// ---- hardware in and out of positions --------------------------------------------

// A functional device (a position) and the hardware filling it.
struct Position {
    std::int64_t deviceid = 0;
    std::string devicename, location;  // location '' when none
    std::int64_t serialid = 0;         // 0: no hardware
    std::string serialnb, hw_location;
};

// The position of a device by name / id; false when there is none.
bool find_position(sql::Connection &db, std::string_view devicename, Position &out);
bool find_position(sql::Connection &db, std::int64_t deviceid, Position &out);

// Takes the hardware out of `p` (which must have some): the addresses (bia,
// MAC) of the position's ports go with it into its spare ports, it gets
// `status`, and the history records the position it left. The position is
// left empty.
void take_out(Writer &w, const Position &p, const char *status, const std::string &comments);

// Copies the addresses of the ports of `deviceid` into the spare ports of
// hardware `serialid` (one per port key, replacing what it had for that key).
void save_addresses(sql::Connection &db, std::int64_t deviceid, std::int64_t serialid);

// Puts hardware `serialid` (filling nothing) into the empty position `p`:
// its spare-port addresses become those of the position's ports with the
// same key (ports it has none for get none), it becomes IN_USE at the
// position's location, and the history records it there.
void put_in(Writer &w, const Position &p, std::int64_t serialid, const std::string &serialnb,
            const std::string &comments);

// The board components of device `deviceid` lose their positions with it:
// their hardware becomes SPARE, with a history entry each.
void release_components(Writer &w, std::int64_t deviceid, const std::string &comments);

}  // namespace ketral::store::updates

// Hardware in and out of positions, shared by the swap, the updates and the
// deletes: a functional device (a position) and the hardware filling it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/batch/history.hpp"

namespace ketral::store::batch {

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

}  // namespace ketral::store::batch

// The hardware life cycle beyond the described functions: a piece of
// hardware that fills no position gets another status (repaired hardware
// back to SPARE, broken hardware to IN_REPAIR...) and/or another location
// (moved to another store room). Each change appends to the history.
#include "store/batch/positions.hpp"
#include "store/hardware_status.hpp"
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

struct HardwareStateOp {
    struct Record {
        std::string serialnb, status, location, comments;
        std::int64_t serialid = 0;
        std::string new_status, new_location;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.serialnb, "a serial number");
        if (r.status.empty() && r.location.empty())
            ref.refuse("neither a status nor a location is given for hardware " + quoted(r.serialnb));
        if (!r.status.empty() && !is_status(r.status))
            ref.refuse(quoted(r.status) + " is not a status word (" + status_words() + ")");
        auto hw = db.prepare(
            "SELECT h.serialid, h.status, COALESCE(h.location, ''), d.devicename FROM hardware_device h "
            "LEFT JOIN functional_device d ON d.serialid = h.serialid WHERE h.serialnb = ?");
        hw.bind(1, r.serialnb);
        if (!hw.step()) ref.refuse("no hardware with serial number " + quoted(r.serialnb));
        // Hardware in a position is IN_USE where its device is: only a swap takes it out.
        if (!hw->column_is_null(3))
            ref.refuse("hardware " + quoted(r.serialnb) + " fills device " + quoted(hw->column_text(3)) +
                       ": take it out with SwapTwoDevices first");
        const std::string status = hw->column_text(1), location = hw->column_text(2);
        if (r.status == kInUse)
            ref.refuse("hardware " + quoted(r.serialnb) +
                       " fills no position: it becomes IN_USE only by taking one (SwapTwoDevices)");
        if (status == "DESTROYED")
            ref.refuse("hardware " + quoted(r.serialnb) + " is DESTROYED: its status and location stay as they are");
        r.serialid = hw->column_int(0);
        r.new_status = r.status.empty() ? status : r.status;
        r.new_location = r.location.empty() ? location : r.location;
        if (r.new_status == status && r.new_location == location)
            ref.refuse("hardware " + quoted(r.serialnb) + " is already " + status +
                       (location.empty() ? std::string(" with no location") : " at " + quoted(location)));
    }

    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("UPDATE hardware_device SET status = ?, location = ? WHERE serialid = ?", r.new_status,
                             or_null(r.new_location), r.serialid));
        append_history(
            w, {kDeviceHardware, r.serialid, r.serialnb, 0, {}, r.new_status.c_str(), r.new_location, r.comments});
    }
    static std::string subject(const Record &r) { return "hardware " + quoted(r.serialnb); }
};

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int UpdateHWStatusLocation(const char *serialnb, const char *status, const char *location, const char *comments,
                           char *ErrMess) {
    return batch::call_now<HardwareStateOp>("UpdateHWStatusLocation", ErrMess, [&] {
        HardwareStateOp::Record r;
        r.serialnb = arg(serialnb);
        r.status = arg(status);
        r.location = arg(location);
        r.comments = arg(comments);
        return r;
    });
}

}  // extern "C"

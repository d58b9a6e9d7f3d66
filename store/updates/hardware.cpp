// Hardware changes: the swap of the hardware of a position, and the
// correction of a serial number. Each appends to the history.
#include "store/batch/positions.hpp"
#include "store/hardware_status.hpp"
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

// The status a comment gives the hardware taken out: "IN_REPAIR: fan broken"
// or "IN_REPAIR" alone; "" when it starts with no status.
std::string status_of(const std::string &comments) {
    for (const char *status : kStatuses) {
        const std::string_view s(status);
        if (comments.compare(0, s.size(), s) == 0 && (comments.size() == s.size() || comments[s.size()] == ':'))
            return std::string(s);
    }
    return {};
}

// devicename's hardware is exchanged with that of a second device, or a
// piece of hardware that fills no position takes devicename's position and
// the hardware it replaces becomes SPARE (or the status the comment starts with).
struct SwapOp {
    struct Record {
        std::string devicename, other, comments;
        Position a, b;
        bool exchange = false;
        std::int64_t incoming = 0;  // the hardware taking a's position
        std::string out_status = kSpare;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.devicename, "a device name");
        ref.need_name(r.other, "a second device name or a serial number");
        if (!find_position(db, r.devicename, r.a)) ref.refuse("no device named " + quoted(r.devicename));
        const bool is_device = find_position(db, r.other, r.b);
        auto hw = db.prepare(
            "SELECT h.serialid, h.status, d.devicename FROM hardware_device h "
            "LEFT JOIN functional_device d ON d.serialid = h.serialid WHERE h.serialnb = ?");
        hw.bind(1, r.other);
        const bool is_hardware = hw.step();
        if (is_device && is_hardware)
            ref.refuse(quoted(r.other) + " names both a device and a serial number: the swap cannot tell which");
        if (!is_device && !is_hardware)
            ref.refuse("no device named " + quoted(r.other) + " and no hardware with serial number " +
                       quoted(r.other));
        const std::string given = status_of(r.comments);
        if (is_device) {
            if (r.b.deviceid == r.a.deviceid) ref.refuse("device " + quoted(r.devicename) + " cannot be swapped with itself");
            for (const Position *p : {&r.a, &r.b})
                if (p->serialid == 0) ref.refuse("device " + quoted(p->devicename) + " has no hardware to exchange");
            if (!given.empty())
                ref.refuse("the comment gives the status " + given +
                           " to hardware taken out of its position, and an exchange of two devices takes none out");
            r.exchange = true;
            return;
        }
        if (!hw->column_is_null(2)) {
            const std::string filled = hw->column_text(2);
            if (filled == r.a.devicename) ref.refuse("hardware " + quoted(r.other) + " already fills " + quoted(filled));
            ref.refuse("hardware " + quoted(r.other) + " fills device " + quoted(filled) +
                       ": give that device's name to exchange the hardware of the two");
        }
        const std::string status = hw->column_text(1);
        if (status == "DESTROYED" || status == kInUse)
            ref.refuse("hardware " + quoted(r.other) + " is " + status + ": it cannot take a position");
        if (!given.empty()) {
            if (r.a.serialid == 0)
                ref.refuse("device " + quoted(r.devicename) + " has no hardware to take out, to which the status " +
                           given + " of the comment would apply");
            if (given == kInUse) ref.refuse("hardware taken out of its position cannot stay IN_USE");
            r.out_status = given;
        }
        r.incoming = hw->column_int(0);
    }

    static void write(Writer &w, State &, Record &r) {
        if (r.exchange) {
            // The addresses of each piece go with it, through its spare ports.
            save_addresses(w.db, r.a.deviceid, r.a.serialid);
            save_addresses(w.db, r.b.deviceid, r.b.serialid);
            w.db.run("UPDATE functional_device SET serialid = NULL WHERE deviceid = ? OR deviceid = ?", r.a.deviceid,
                     r.b.deviceid);
            put_in(w, r.a, r.b.serialid, r.b.serialnb, r.comments);
            put_in(w, r.b, r.a.serialid, r.a.serialnb, r.comments);
            return;
        }
        if (r.a.serialid != 0) take_out(w, r.a, r.out_status.c_str(), r.comments);
        put_in(w, r.a, r.incoming, r.other, r.comments);
    }
    static std::string subject(const Record &r) { return "the hardware of device " + quoted(r.devicename); }
};

// A serial number corrected: a hardware device's, or else that of the one
// piece of component hardware that has it. The history follows the
// hardware (by its id) and records the change.
struct SerialOp {
    struct Record {
        std::string from, to;
        bool component = false;
        std::int64_t id = 0, position = 0;
        std::string position_name, status, location;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.from, "the serial number to change");
        ref.need_name(r.to, "the new serial number");
        auto device = db.prepare(
            "SELECT h.serialid, h.status, COALESCE(h.location, ''), COALESCE(d.deviceid, 0), "
            "COALESCE(d.devicename, '') FROM hardware_device h "
            "LEFT JOIN functional_device d ON d.serialid = h.serialid WHERE h.serialnb = ?");
        device.bind(1, r.from);
        if (device.step()) {
            if (r.to != r.from && db.prepare("SELECT 1 FROM hardware_device WHERE serialnb = ?").bind(1, r.to).step())
                ref.refuse("hardware " + quoted(r.to) + " already exists");
            read(*device, r);
            return;
        }
        auto component = db.prepare(
            "SELECT h.snbid, h.status, COALESCE(h.location, ''), COALESCE(c.cpntid, 0), COALESCE(c.cpntname, ''), "
            "COALESCE(h.hwtype, '') FROM hw_board_cpnt h LEFT JOIN board_cpnt c ON c.snbid = h.snbid "
            "WHERE h.serialnb = ? ORDER BY h.snbid LIMIT 2");
        component.bind(1, r.from);
        if (!component.step()) ref.refuse("no hardware with serial number " + quoted(r.from));
        read(*component, r);
        r.component = true;
        const std::string hwtype = component->column_text(5);
        if (component.step())
            ref.refuse("several pieces of component hardware have the serial number " + quoted(r.from) +
                       ": it names none of them alone");
        if (r.to != r.from &&
            db.prepare("SELECT 1 FROM hw_board_cpnt WHERE serialnb = ? AND COALESCE(hwtype, '') = ?")
                .bind_all(r.to, hwtype)
                .step())
            ref.refuse("component hardware " + quoted(r.to) + " (type " + quoted(hwtype) + ") already exists");
    }

    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run(r.component ? "UPDATE hw_board_cpnt SET serialnb = ? WHERE snbid = ?"
                                         : "UPDATE hardware_device SET serialnb = ? WHERE serialid = ?",
                             r.to, r.id));
        append_history(w, {r.component ? kComponentHardware : kDeviceHardware, r.id, r.to, r.position,
                            r.position_name, r.status.c_str(), r.location,
                            "serial number changed from " + quoted(r.from)});
    }
    static std::string subject(const Record &r) { return "hardware " + quoted(r.from); }

private:
    static void read(const sql::Statement &row, Record &r) {
        r.id = row.column_int(0);
        r.status = row.column_text(1);
        r.location = row.column_text(2);
        r.position = row.column_int(3);
        r.position_name = row.column_text(4);
    }
};

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int SwapTwoDevices(const char *devicename, const char *other, const char *comments, char *ErrMess) {
    return batch::call_now<SwapOp>("SwapTwoDevices", ErrMess, [&] {
        SwapOp::Record r;
        r.devicename = arg(devicename);
        r.other = arg(other);
        r.comments = arg(comments);
        return r;
    });
}

int UpdateHWSerialNB(const char *old_serialnb, const char *new_serialnb, char *ErrMess) {
    return batch::call_now<SerialOp>("UpdateHWSerialNB", ErrMess, [&] {
        SerialOp::Record r;
        r.from = arg(old_serialnb);
        r.to = arg(new_serialnb);
        return r;
    });
}

}  // extern "C"

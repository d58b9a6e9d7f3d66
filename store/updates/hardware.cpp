// Hardware changes: the swap of the hardware of a position, and the
// correction of a serial number. Each appends to the history.
#include "store/batch/positions.hpp"
#include "store/hardware_status.hpp"
#include "store/updates/common.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace ketral::store::updates {

using namespace batch;

namespace {

// Edits (insertions, deletions, substitutions) between two words, letters
// compared without case; stops counting past `most`.
std::size_t edits_between(std::string_view a, std::string_view b, std::size_t most) {
    const auto same = [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    };
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > most) return most + 1;
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What a swap's comment says of the hardware taken out: the status its first
// word (up to ':' or a blank) names exactly ("IN_REPAIR: fan broken"), or
// none. A first word that looks like a status without being one (another
// case, or two edits or fewer away: "IN_REPIER") is refused rather than
// silently meaning SPARE. `rest` is the comment without the status.
struct CommentStatus {
    std::string status, rest;
};
CommentStatus status_of(const RecordRef &ref, const std::string &comments) {
    const std::size_t end = comments.find_first_of(": \t");
    const std::string word = comments.substr(0, end);
    if (is_status(word)) {
        std::size_t from = end == std::string::npos ? comments.size() : end;
        if (from < comments.size() && comments[from] == ':') ++from;
        while (from < comments.size() && (comments[from] == ' ' || comments[from] == '\t')) ++from;
        return {word, comments.substr(from)};
    }
    for (const char *status : kStatuses)
        if (!word.empty() && edits_between(word, status, 2) <= 2)
            ref.refuse("the comment begins with " + quoted(word) + ", which is not a status word (" + status_words() +
                       "): write the status exactly as it stands, or begin the comment with another word");
    return {{}, comments};
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
        std::string in_comments;  // the incoming hardware's history entry: the comment without a status
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
            ref.refuse("no device named " + quoted(r.other) + " and no hardware with serial number " + quoted(r.other));
        const CommentStatus said = status_of(ref, r.comments);
        const std::string &given = said.status;
        r.in_comments = said.rest;
        if (is_device) {
            if (r.b.deviceid == r.a.deviceid)
                ref.refuse("device " + quoted(r.devicename) + " cannot be swapped with itself");
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
            if (filled == r.a.devicename)
                ref.refuse("hardware " + quoted(r.other) + " already fills " + quoted(filled));
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
        put_in(w, r.a, r.incoming, r.other, r.in_comments);
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
        if (r.to != r.from && db.prepare("SELECT 1 FROM hw_board_cpnt WHERE serialnb = ? AND COALESCE(hwtype, '') = ?")
                                  .bind_all(r.to, hwtype)
                                  .step())
            ref.refuse("component hardware " + quoted(r.to) + " (type " + quoted(hwtype) + ") already exists");
    }

    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run(r.component ? "UPDATE hw_board_cpnt SET serialnb = ? WHERE snbid = ?"
                                         : "UPDATE hardware_device SET serialnb = ? WHERE serialid = ?",
                             r.to, r.id));
        append_history(w, {r.component ? kComponentHardware : kDeviceHardware, r.id, r.to, r.position, r.position_name,
                           r.status.c_str(), r.location, "serial number changed from " + quoted(r.from)});
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

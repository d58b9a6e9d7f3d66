// Status and last-assignment queries.
//
// A status is one word: the hardware's (IN_USE, SPARE, IN_REPAIR, DESTROYED,
// TEST); a position's is that of the hardware filling it, or NO_HARDWARE.
// A last assignment is read from the history: the latest entry that put the
// hardware IN_USE in a position. It names the position by its name now (by
// its name then when it is gone), and the hardware by its serial number now
// (then when it is gone). Nothing found: "NO_ROWS_SELECTED".
#include "store/status/common.hpp"

#include "store/hardware_status.hpp"
#include "store/name_ids.hpp"

#include <string>

namespace ketral::store::status {

std::int64_t device_hardware(sql::Connection &db, std::string_view serialnb) {
    return id_of(db, "SELECT serialid FROM hardware_device WHERE serialnb = ?", serialnb);
}

std::int64_t component_hardware(const char *fn, sql::Connection &db, std::string_view serialnb, int key_number) {
    auto stmt =
        db.prepare("SELECT snbid FROM hw_board_cpnt WHERE serialnb = ? AND (? = 0 OR snbid = ?) ORDER BY snbid");
    stmt.bind_all(serialnb, key_number, key_number);
    if (!stmt.step()) return 0;
    const std::int64_t snbid = stmt->column_int(0);
    if (!stmt.step()) return snbid;
    std::string ids = std::to_string(snbid);
    int n = 1;
    do {
        ids += ", " + std::to_string(stmt->column_int(0));
        ++n;
    } while (stmt.step());
    throw Failure(std::string(fn) + ": " + std::to_string(n) + " pieces of component hardware have the serial number " +
                  quoted(serialnb) + " (snbid " + ids + "): give its snbid as key_number");
}

namespace {

// The first column of the first row of `sql` as the status text, or "NO_ROWS_SELECTED".
template <typename... Args>
void answer_status(const char *fn, sql::Connection &db, char *result, const char *sql, const Args &...args) {
    auto stmt = db.prepare(sql);
    stmt.bind_all(args...);
    const std::string text = stmt.step() ? stmt->column_text(0) : std::string(answer::kNoRows);
    answer::write_fixed(fn, text, result, KETRAL_STATUS_CAPACITY);
}

template <typename... Args>
void answer_name(const char *fn, sql::Connection &db, char *result, int *length, const char *sql, const Args &...args) {
    auto stmt = db.prepare(sql);
    stmt.bind_all(args...);
    if (!stmt.step()) return answer::write_empty(fn, length, result);
    answer::write_text(fn, stmt->column_text(0), length, result);
}

// A last-assignment query: the kind of hardware, the column answered and the join that gives it.
struct Assignment {
    const char *kind, *answer, *join;
};
// The position a piece of hardware last filled; the hardware a position last had.
const Assignment kDeviceOfHardware{"device", "COALESCE(d.devicename, h.position_name)",
                                   "LEFT JOIN functional_device d ON d.deviceid = h.position_id"};
const Assignment kCpntOfHardware{"component", "COALESCE(c.cpntname, h.position_name)",
                                 "LEFT JOIN board_cpnt c ON c.cpntid = h.position_id"};
const Assignment kHardwareOfDevice{"device", "COALESCE(hw.serialnb, h.serialnb)",
                                   "LEFT JOIN hardware_device hw ON hw.serialid = h.hwid"};
const Assignment kHardwareOfCpnt{"component", "COALESCE(hw.serialnb, h.serialnb)",
                                 "LEFT JOIN hw_board_cpnt hw ON hw.snbid = h.hwid"};

// The latest history entry putting hardware IN_USE in a position, among those `where` selects.
std::string last_assignment(const Assignment &a, const char *where) {
    return std::string("SELECT ") + a.answer + " FROM history h " + a.join + " WHERE h.hw_kind = '" + a.kind +
           "' AND h.status = '" + kInUse + "' AND h.position_id IS NOT NULL AND " + where +
           " ORDER BY h.event_date DESC, h.historyid DESC LIMIT 1";
}

// The answer of `by_id` for a record that exists now (id != 0), else that of
// `by_record` on what the history recorded.
template <typename... Recorded>
void answer_last(const char *fn, Session &s, char *result, int *length, std::int64_t id, const std::string &by_id,
                 const std::string &by_record, const Recorded &...recorded) {
    if (id != 0)
        answer_name(fn, s.db(), result, length, by_id.c_str(), id);
    else
        answer_name(fn, s.db(), result, length, by_record.c_str(), recorded...);
}

}  // namespace

}  // namespace ketral::store::status

using namespace ketral::store;
using namespace ketral::store::status;

extern "C" {

int GetFunctionalDeviceStatus(const char *devicename, char *result, char *ErrMess) {
    const char *fn = "GetFunctionalDeviceStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        answer_status(fn, s.db(), result,
                      "SELECT COALESCE(h.status, 'NO_HARDWARE') FROM functional_device d "
                      "LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE d.devicename = ?",
                      arg(devicename));
    });
}

int GetFunctionalBoardCpntStatus(const char *cpntname, char *result, char *ErrMess) {
    const char *fn = "GetFunctionalBoardCpntStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        answer_status(fn, s.db(), result,
                      "SELECT COALESCE(h.status, 'NO_HARDWARE') FROM board_cpnt c "
                      "LEFT JOIN hw_board_cpnt h ON h.snbid = c.snbid WHERE c.cpntname = ?",
                      arg(cpntname));
    });
}

int GetHWDeviceStatus(const char *serialnb, char *result, char *ErrMess) {
    const char *fn = "GetHWDeviceStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        answer_status(fn, s.db(), result, "SELECT status FROM hardware_device WHERE serialnb = ?", arg(serialnb));
    });
}

int GetHWBoardCpntStatus(const char *serialnb, int key_number, char *result, char *ErrMess) {
    const char *fn = "GetHWBoardCpntStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        const std::int64_t snbid = component_hardware(fn, s.db(), arg(serialnb), key_number);
        answer_status(fn, s.db(), result, "SELECT status FROM hw_board_cpnt WHERE snbid = ?", snbid);
    });
}

int GetHWLastFunctionalDevice(const char *serialnb, char *result, int *len_result, char *ErrMess) {
    const char *fn = "GetHWLastFunctionalDevice";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static const std::string by_id = last_assignment(kDeviceOfHardware, "h.hwid = ?");
        static const std::string by_record = last_assignment(kDeviceOfHardware, kDeviceGone);
        answer_last(fn, s, result, len_result, device_hardware(s.db(), arg(serialnb)), by_id, by_record, arg(serialnb));
    });
}

int GetHWLastFunctionalBoardCpntName(const char *serialnb, int key_number, char *result, int *len_result,
                                     char *ErrMess) {
    const char *fn = "GetHWLastFunctionalBoardCpntName";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static const std::string by_id = last_assignment(kCpntOfHardware, "h.hwid = ?");
        static const std::string by_record = last_assignment(kCpntOfHardware, kCpntGone);
        answer_last(fn, s, result, len_result, component_hardware(fn, s.db(), arg(serialnb), key_number), by_id,
                    by_record, arg(serialnb), key_number, key_number);
    });
}

int GetFunctionalDeviceLastHW(const char *devicename, char *result, int *len_result, char *ErrMess) {
    const char *fn = "GetFunctionalDeviceLastHW";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static const std::string by_id = last_assignment(kHardwareOfDevice, "h.position_id = ?");
        static const std::string by_record = last_assignment(kHardwareOfDevice, kDevicePositionGone);
        answer_last(fn, s, result, len_result, id_of(s.db(), kDeviceId, arg(devicename)), by_id, by_record,
                    arg(devicename));
    });
}

int GetFunctionalBoardCpntNameLastHW(const char *cpntname, char *result, int *len_result, char *ErrMess) {
    const char *fn = "GetFunctionalBoardCpntNameLastHW";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static const std::string by_id = last_assignment(kHardwareOfCpnt, "h.position_id = ?");
        static const std::string by_record = last_assignment(kHardwareOfCpnt, kCpntPositionGone);
        answer_last(fn, s, result, len_result, id_of(s.db(), kCpntId, arg(cpntname)), by_id, by_record, arg(cpntname));
    });
}

}  // extern "C"

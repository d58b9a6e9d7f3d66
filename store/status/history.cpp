// Status listings and histories: packed lists of JSON objects.
//
// Listings: the hardware (or positions) in a status, narrowed by a location
// prefix (empty: all), ordered by name. Histories: the entries of a piece of
// hardware or of a position, oldest first, between two ISO 8601 date
// prefixes (empty: no bound; "2026-03" as the latest date keeps all of March).
#include "store/status/common.hpp"

#include "store/hardware_status.hpp"
#include "store/name_ids.hpp"

#include <cctype>
#include <string>

namespace ketral::store::status {

namespace {

// The status a listing asks for; positions also take NO_HARDWARE.
void need_status(const char *fn, std::string_view status, bool positions) {
    if (is_status(status) || (positions && status == "NO_HARDWARE")) return;
    throw Failure(std::string(fn) + ": unknown status " + quoted(status) + " (one of " + status_words() +
                  (positions ? ", NO_HARDWARE)" : ")"));
}

// A date bound: empty, or whole fields of YYYY-MM-DDTHH:MM:SSZ from the
// start (YYYY, -MM, -DD, THH, :MM, :SS, then an optional Z), each in range;
// a blank for the T is read as the T.
std::string date_bound(const char *fn, const char *name, std::string_view text) {
    static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
    static constexpr std::size_t kFieldEnds[] = {0, 4, 7, 10, 13, 16, 19, 20};
    std::string bound(text);
    bool fits = false;
    for (std::size_t end : kFieldEnds) fits = fits || bound.size() == end;
    for (std::size_t i = 0; fits && i < bound.size(); ++i) {
        if (kShape[i] == 'd')
            fits = std::isdigit(static_cast<unsigned char>(bound[i])) != 0;
        else if (kShape[i] == 'T' && bound[i] == ' ')
            bound[i] = 'T';
        else
            fits = bound[i] == kShape[i];
    }
    const auto field = [&](std::size_t at) { return std::stoi(bound.substr(at, 2)); };
    if (fits && bound.size() >= 7) {
        const int year = std::stoi(bound.substr(0, 4)), month = field(5);
        fits = month >= 1 && month <= 12;
        if (fits && bound.size() >= 10) {
            static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
            fits = field(8) >= 1 && field(8) <= days;
        }
        if (fits && bound.size() >= 13) fits = field(11) <= 23;
        if (fits && bound.size() >= 16) fits = field(14) <= 59;
        if (fits && bound.size() >= 19) fits = field(17) <= 59;
    }
    if (!fits)
        throw Failure(std::string(fn) + ": " + name + " " + quoted(text) +
                      " is not a date: give whole fields of YYYY-MM-DDTHH:MM:SSZ from the start, each in range "
                      "(YYYY, YYYY-MM, YYYY-MM-DD, YYYY-MM-DDTHH, YYYY-MM-DDTHH:MM, YYYY-MM-DDTHH:MM:SS, then Z)");
    return bound;
}

struct Dates {
    std::string from, to;
};

Dates dates(const char *fn, const char *date_from, const char *date_to) {
    return {date_bound(fn, "the earliest date", arg(date_from)), date_bound(fn, "the latest date", arg(date_to))};
}

// Entries of hardware devices and their positions; of component hardware and theirs.
const char *const kDeviceEntry =
    "SELECT h.event_date, h.serialnb, h.status, h.position_name AS devicename, h.location, h.comments FROM history h "
    "WHERE h.hw_kind = 'device' AND ";
const char *const kCpntEntry =
    "SELECT h.event_date, h.hwid AS snbid, h.serialnb, h.status, h.position_name AS cpntname, h.location, "
    "h.comments FROM history h WHERE h.hw_kind = 'component' AND ";
// Bound after the key: from, from, to, to, to.
const char *const kBetween =
    " AND (? = '' OR h.event_date >= ?) AND (? = '' OR substr(h.event_date, 1, length(?)) <= ?) "
    "ORDER BY h.event_date, h.historyid";

queries::RecordSql history(const char *entry, const char *key) {
    return queries::RecordSql(std::string(entry) + key + kBetween);
}

// The entries of the record with id `id` (by_id), or, when it is gone (id
// 0), those by_record finds by what was recorded; between the dates.
void answer_history(const char *fn, Session &s, queries::RecordSql &by_id, queries::RecordSql &by_record,
                    std::int64_t id, const Dates &d, int *length, char *result, std::string_view recorded) {
    const answer::PackedList list =
        id != 0 ? queries::records(s.db(), by_id, id, d.from, d.from, d.to, d.to, d.to)
                : queries::records(s.db(), by_record, recorded, d.from, d.from, d.to, d.to, d.to);
    answer::write_list(fn, list, length, result);
}

// A location prefix, bound as: selector, selector, selector.
#define LOCATION_PREFIX(column) "(? = '' OR substr(" column ", 1, length(?)) = ?)"

}  // namespace

}  // namespace ketral::store::status

using namespace ketral::store;
using namespace ketral::store::status;

extern "C" {

int GetHWDeviceByStatus(const char *status, const char *selector, int *len_result, char *result, char *ErrMess) {
    const char *fn = "GetHWDeviceByStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        need_status(fn, arg(status), false);
        static queries::RecordSql query(
            "SELECT h.serialnb, h.hwname, h.hwtype, h.location, h.responsible, d.devicename FROM hardware_device h "
            "LEFT JOIN functional_device d ON d.serialid = h.serialid "
            "WHERE h.status = ? AND " LOCATION_PREFIX("h.location") " ORDER BY h.serialnb");
        const auto where = arg(selector);
        answer::write_list(fn, queries::records(s.db(), query, arg(status), where, where, where), len_result, result);
    });
}

int GetFunctionalDeviceByStatus(const char *status, const char *selector, int *len_result, char *result,
                                char *ErrMess) {
    const char *fn = "GetFunctionalDeviceByStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        need_status(fn, arg(status), true);
        static queries::RecordSql query(
            "SELECT d.devicename, t.devicetype, d.location, h.serialnb FROM functional_device d "
            "JOIN device_type t ON t.devicetypeid = d.devicetypeid "
            "LEFT JOIN hardware_device h ON h.serialid = d.serialid "
            "WHERE COALESCE(h.status, 'NO_HARDWARE') = ? AND " LOCATION_PREFIX("d.location") " ORDER BY d.devicename");
        const auto where = arg(selector);
        answer::write_list(fn, queries::records(s.db(), query, arg(status), where, where, where), len_result, result);
    });
}

int GetHWBoardCpntByStatus(const char *status, char *result, int *len_result, char *ErrMess) {
    const char *fn = "GetHWBoardCpntByStatus";
    return guarded({fn, ErrMess}, [&](Session &s) {
        need_status(fn, arg(status), false);
        static queries::RecordSql query(
            "SELECT h.snbid, h.serialnb, h.hwtype, h.location, c.cpntname, m.devicename AS motherboardname "
            "FROM hw_board_cpnt h LEFT JOIN board_cpnt c ON c.snbid = h.snbid "
            "LEFT JOIN functional_device m ON m.deviceid = c.motherboardid "
            "WHERE h.status = ? ORDER BY h.serialnb, h.snbid");
        answer::write_list(fn, queries::records(s.db(), query, arg(status)), len_result, result);
    });
}

// A piece of hardware (a position) that exists is followed by its id: its
// serial number (name) may have changed. One that is gone is found by the
// serial number (name) the history recorded.
int GetHistoryOfHWDevice(const char *serialnb, char *result, int *len_result, const char *date_from,
                         const char *date_to, char *ErrMess) {
    const char *fn = "GetHistoryOfHWDevice";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static queries::RecordSql by_id = history(kDeviceEntry, "h.hwid = ?");
        static queries::RecordSql by_record = history(kDeviceEntry, kDeviceGone);
        const Dates d = dates(fn, date_from, date_to);
        answer_history(fn, s, by_id, by_record, device_hardware(s.db(), arg(serialnb)), d, len_result, result,
                       arg(serialnb));
    });
}

// key_number 0: every piece of component hardware with that serial number.
int GetHistoryOfHWBoardCpnt(const char *serialnb, int key_number, char *result, int *len_result, const char *date_from,
                            const char *date_to, char *ErrMess) {
    const char *fn = "GetHistoryOfHWBoardCpnt";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static queries::RecordSql by_ids = history(
            kCpntEntry, "h.hwid IN (SELECT snbid FROM hw_board_cpnt WHERE serialnb = ? AND (? = 0 OR snbid = ?))");
        static queries::RecordSql by_record = history(kCpntEntry, kCpntGone);
        const Dates d = dates(fn, date_from, date_to);
        const bool known = id_of(s.db(), "SELECT snbid FROM hw_board_cpnt WHERE serialnb = ? AND (? = 0 OR snbid = ?)",
                                 arg(serialnb), key_number, key_number) != 0;
        answer::write_list(fn,
                           queries::records(s.db(), known ? by_ids : by_record, arg(serialnb), key_number, key_number,
                                            d.from, d.from, d.to, d.to, d.to),
                           len_result, result);
    });
}

int GetHistoryOfFunctionalDevice(const char *devicename, char *result, int *len_result, const char *date_from,
                                 const char *date_to, char *ErrMess) {
    const char *fn = "GetHistoryOfFunctionalDevice";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static queries::RecordSql by_id = history(kDeviceEntry, "h.position_id = ?");
        static queries::RecordSql by_record = history(kDeviceEntry, kDevicePositionGone);
        const Dates d = dates(fn, date_from, date_to);
        answer_history(fn, s, by_id, by_record, id_of(s.db(), kDeviceId, arg(devicename)), d, len_result, result,
                       arg(devicename));
    });
}

int GetHistoryOfFunctionalBoardCpntName(const char *cpntname, char *result, int *len_result, const char *date_from,
                                        const char *date_to, char *ErrMess) {
    const char *fn = "GetHistoryOfFunctionalBoardCpntName";
    return guarded({fn, ErrMess}, [&](Session &s) {
        static queries::RecordSql by_id = history(kCpntEntry, "h.position_id = ?");
        static queries::RecordSql by_record = history(kCpntEntry, kCpntPositionGone);
        const Dates d = dates(fn, date_from, date_to);
        answer_history(fn, s, by_id, by_record, id_of(s.db(), kCpntId, arg(cpntname)), d, len_result, result,
                       arg(cpntname));
    });
}

}  // extern "C"

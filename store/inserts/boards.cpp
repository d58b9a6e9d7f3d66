// Board components: a position on a motherboard (a functional device) and
// the hardware filling it, or, with motherboard "none", spare component
// hardware.
#include "store/batch/history.hpp"
#include "store/batch/lookups.hpp"
#include "store/hardware_status.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

inline constexpr char kNoBoard[] = "none";

// Component hardware is known by its serial number and type together
// (serial numbers of different makers may meet).
struct BoardCpntOp {
    struct Record {
        std::string cpntname, cpnttype;
        int replacable;
        std::string motherboard, serialnb, hwtype, responsible, comments, location;
        std::int64_t board = 0;  // 0: a spare component
        std::int64_t snbid = 0;  // spare hardware taken; 0: new hardware (when serialnb is given)
    };
    struct State {
        NamesInBatch names, hardware;
        IdCache boards;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_flag(r.replacable, "replacable");
        ref.need_name(r.cpnttype, "a component type");
        ref.check_name(r.serialnb, "a serial number");
        ref.check_name(r.hwtype, "a hardware type");
        if (r.hwtype.empty()) r.hwtype = r.cpnttype;
        if (r.motherboard.empty()) ref.refuse("a motherboard name is needed ('none' for a spare component)");
        if (r.motherboard == kNoBoard) {
            if (r.serialnb.empty()) ref.refuse("a spare component (motherboard 'none') needs a serial number");
            if (r.location.empty()) ref.refuse("a spare component (motherboard 'none') needs a location");
            if (known_hardware(db, r).step()) ref.refuse(hardware(r) + " already exists");
        } else {
            ref.need_name(r.cpntname, "a component name");
            r.board = need_id(ref, db, s.boards, kDeviceId, r.motherboard, "device (motherboard)");
            if (exists(db, "SELECT 1 FROM board_cpnt WHERE cpntname = ?", r.cpntname))
                ref.refuse("board component " + quoted(r.cpntname) + " already exists");
            s.names.claim(ref, r.cpntname, "board component");
            if (r.serialnb.empty()) {
                if (!r.responsible.empty() || !r.location.empty() || !r.comments.empty())
                    ref.refuse("responsible, location and comments describe the hardware of " + quoted(r.cpntname) +
                               ": give its serial number, or leave them empty");
                return;
            }
            take_spare(ref, db, r);
        }
        s.hardware.claim_key(ref, r.serialnb + '\0' + r.hwtype, hardware(r));
    }

    static void write(Writer &w, State &, Record &r) {
        sql::Connection &db = w.db;
        if (r.board == 0) {
            insert_hardware(db, r, kSpare);
            append_history(w, {kComponentHardware, r.snbid, r.serialnb, 0, {}, kSpare, r.location, r.comments});
            return;
        }
        if (!r.serialnb.empty()) {
            if (r.snbid != 0)
                db.run(
                    "UPDATE hw_board_cpnt SET status = ?, responsible = COALESCE(?, responsible), "
                    "location = COALESCE(?, location), comments = COALESCE(?, comments) WHERE snbid = ?",
                    kInUse, or_null(r.responsible), or_null(r.location), or_null(r.comments), r.snbid);
            else
                insert_hardware(db, r, kInUse);
        }
        auto stmt = db.prepare(
            "INSERT INTO board_cpnt (cpntname, cpnttype, replacable, motherboardid, snbid) VALUES (?, ?, ?, ?, ?) "
            "RETURNING cpntid");
        stmt.bind_all(r.cpntname, r.cpnttype, r.replacable, r.board);
        if (r.snbid != 0) stmt.bind(5, r.snbid);
        const std::int64_t cpntid = stmt.run_returning_id();
        if (r.snbid != 0)
            append_history(
                w, {kComponentHardware, r.snbid, r.serialnb, cpntid, r.cpntname, kInUse, r.location, r.comments});
    }
    static std::string subject(const Record &r) {
        return r.board == 0 ? hardware(r) : "board component " + quoted(r.cpntname);
    }

private:
    static std::string hardware(const Record &r) {
        return "component hardware " + quoted(r.serialnb) + " (type " + quoted(r.hwtype) + ")";
    }

    static sql::Prepared known_hardware(sql::Connection &db, const Record &r) {
        auto stmt = db.prepare(
            "SELECT h.snbid, h.status, c.cpntname FROM hw_board_cpnt h LEFT JOIN board_cpnt c ON c.snbid = h.snbid "
            "WHERE h.serialnb = ? AND h.hwtype = ? ORDER BY h.snbid");
        stmt.bind_all(r.serialnb, r.hwtype);
        return stmt;
    }

    // Known hardware must be spare; unknown hardware is created when written.
    static void take_spare(const RecordRef &ref, sql::Connection &db, Record &r) {
        auto stmt = known_hardware(db, r);
        if (!stmt.step()) return;
        if (!stmt->column_is_null(2))
            ref.refuse(hardware(r) + " already fills board component " + quoted(stmt->column_text(2)));
        const std::string status = stmt->column_text(1);
        if (status != kSpare) ref.refuse(hardware(r) + " is " + status + ": only spare hardware can fill a position");
        r.snbid = stmt->column_int(0);
    }

    static void insert_hardware(sql::Connection &db, Record &r, const char *status) {
        r.snbid = db.insert_id(
            "INSERT INTO hw_board_cpnt (serialnb, hwtype, status, responsible, location, comments) "
            "VALUES (?, ?, ?, ?, ?, ?) RETURNING snbid",
            r.serialnb, r.hwtype, status, or_null(r.responsible), or_null(r.location), or_null(r.comments));
    }
};

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertMultipleBoardCpnts(const char *cpntname, const char *cpnttype, int replacable, const char *motherboardname,
                             const char *serialnb, const char *hwtype, const char *responsible, const char *comments,
                             const char *location, int first, int last, char *ErrMess) {
    return batch::call<BoardCpntOp>("InsertMultipleBoardCpnts", ErrMess, Flags::Batch, first, last, [&] {
        BoardCpntOp::Record r;
        r.cpntname = arg(cpntname);
        r.cpnttype = arg(cpnttype);
        r.replacable = replacable;
        r.motherboard = arg(motherboardname);
        r.serialnb = arg(serialnb);
        r.hwtype = arg(hwtype);
        r.responsible = arg(responsible);
        r.comments = arg(comments);
        r.location = arg(location);
        return r;
    });
}

}  // extern "C"

// Deletions. Each refuses while another record still depends on the one to
// delete, and says which; what belongs to the record goes with it, in the
// same transaction. Links are deleted in links.cpp.
#include "store/batch/lookups.hpp"
#include "store/batch/positions.hpp"
#include "store/hardware_status.hpp"
#include "store/paths/tables.hpp"

#include <vector>

namespace ketral::store::deletes {

using namespace batch;

namespace {

// The first few names `sql` answers for `id`, quoted, and how many more:
// "'a', 'b', 'c' and 4 more"; empty when there is none.
std::string some_names(sql::Connection &db, const char *sql, std::int64_t id) {
    constexpr int kShown = 5;
    auto stmt = db.prepare(sql);
    stmt.bind(1, id);
    std::string out;
    int n = 0;
    for (; stmt.step(); ++n) {
        if (n >= kShown) continue;
        if (n) out += ", ";
        out += quoted(stmt->column_text(0));
    }
    if (n > kShown) out += " and " + std::to_string(n - kShown) + " more";
    return out;
}

// Addresses no port uses any more go, with their aliases.
void drop_unused_addresses(sql::Connection &db, const std::vector<std::int64_t> &ipids) {
    for (std::int64_t ipid : ipids)
        db.run("DELETE FROM ip_info WHERE ipid = ? AND NOT EXISTS (SELECT 1 FROM port WHERE ipid = ?)", ipid, ipid);
}

// A port that carries no link; its IP address goes with it unless another port has it.
struct DeletePortOp {
    struct Record {
        int portid;
        std::int64_t ipid = 0;
    };
    struct State {};
    static constexpr bool kChangesGraph = true;  // stored destination tables name ports

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        auto port = db.prepare(
            "SELECT p.port_nbr, p.port_way, p.port_type, d.devicename, COALESCE(p.ipid, 0) FROM port p "
            "JOIN functional_device d ON d.deviceid = p.deviceid WHERE p.portid = ?");
        port.bind(1, r.portid);
        if (!port.step()) ref.refuse("no port with id " + std::to_string(r.portid));
        const std::string label = port_label(port->column_text(0), static_cast<int>(port->column_int(1)),
                                             port->column_text(2), port->column_text(3));
        r.ipid = port->column_int(4);
        auto link = db.prepare(
            "SELECT l.linkid, l.portidfrom = ?, o.port_nbr, o.port_way, o.port_type, d.devicename FROM macro_link l "
            "JOIN port o ON o.portid = CASE WHEN l.portidfrom = ? THEN l.portidto ELSE l.portidfrom END "
            "JOIN functional_device d ON d.deviceid = o.deviceid "
            "WHERE l.portidfrom = ? OR l.portidto = ? ORDER BY l.linkid");
        link.bind_all(r.portid, r.portid, r.portid, r.portid);
        if (link.step())
            ref.refuse(label + " carries link " + std::to_string(link->column_int(0)) +
                       (link->column_int(1) != 0 ? " to " : " from ") +
                       port_label(link->column_text(2), static_cast<int>(link->column_int(3)), link->column_text(4),
                                  link->column_text(5)) +
                       ": delete the link first (DeleteLinkRow)");
    }
    static void write(Writer &w, State &, Record &r) {
        paths::drop_routes_of_port(w.db, r.portid);
        one_changed(w.db.run("DELETE FROM port WHERE portid = ?", r.portid));
        if (r.ipid != 0) drop_unused_addresses(w.db, {r.ipid});
    }
    static std::string subject(const Record &r) { return "port " + std::to_string(r.portid); }
};

// A functional device with its ports, their links, its IP addresses (unless
// another device's port has them), its boot images and its board
// components; its hardware and that of its components become SPARE.
struct DeleteDeviceOp {
    struct Record {
        int deviceid;
        Position p;
    };
    struct State {};
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        if (!find_position(db, static_cast<std::int64_t>(r.deviceid), r.p))
            ref.refuse("no device with id " + std::to_string(r.deviceid));
    }
    static void write(Writer &w, State &, Record &r) {
        sql::Connection &db = w.db;
        const std::int64_t id = r.p.deviceid;
        const std::string comments = "device " + quoted(r.p.devicename) + " deleted";
        if (r.p.serialid != 0) take_out(w, r.p, kSpare, comments);
        release_components(w, id, comments);
        std::vector<std::int64_t> ipids;
        {
            auto stmt = db.prepare("SELECT DISTINCT ipid FROM port WHERE deviceid = ? AND ipid IS NOT NULL");
            stmt.bind(1, id);
            while (stmt.step()) ipids.push_back(stmt->column_int(0));
        }
        db.run(
            "DELETE FROM macro_link WHERE portidfrom IN (SELECT portid FROM port WHERE deviceid = ?) "
            "OR portidto IN (SELECT portid FROM port WHERE deviceid = ?)",
            id, id);
        paths::drop_routes_of_device(db, id);
        db.run("DELETE FROM port WHERE deviceid = ?", id);
        one_changed(db.run("DELETE FROM functional_device WHERE deviceid = ?", id));
        drop_unused_addresses(db, ipids);
    }
    static std::string subject(const Record &r) { return "device " + quoted(r.p.devicename); }
};

struct DeleteDeviceTypeOp {
    struct Record {
        std::string devicetype;
        std::int64_t id = 0;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.devicetype, "a device type");
        IdCache once;
        r.id = batch::need_id(ref, db, once, kDeviceTypeId, r.devicetype, "device type");
        const std::string devices =
            some_names(db, "SELECT devicename FROM functional_device WHERE devicetypeid = ? ORDER BY devicename", r.id);
        if (!devices.empty())
            ref.refuse("device type " + quoted(r.devicetype) + " is the type of devices " + devices +
                       ": delete them or change their type first");
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("DELETE FROM device_type WHERE devicetypeid = ?", r.id));
    }
    static std::string subject(const Record &r) { return "device type " + quoted(r.devicetype); }
};

// Hardware that fills no position. The history keeps it, with a last entry.
struct DeleteHardwareOp {
    struct Record {
        std::string serialnb;
        std::int64_t id = 0;
        std::string status, location;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.serialnb, "a serial number");
        auto hw = db.prepare(
            "SELECT h.serialid, h.status, COALESCE(h.location, ''), d.devicename FROM hardware_device h "
            "LEFT JOIN functional_device d ON d.serialid = h.serialid WHERE h.serialnb = ?");
        hw.bind(1, r.serialnb);
        if (!hw.step()) ref.refuse("no hardware with serial number " + quoted(r.serialnb));
        if (!hw->column_is_null(3))
            ref.refuse("hardware " + quoted(r.serialnb) + " is in use in device " + quoted(hw->column_text(3)) +
                       ": take it out first (SwapTwoDevices)");
        r.id = hw->column_int(0);
        r.status = hw->column_text(1);
        r.location = hw->column_text(2);
        if (r.status == kInUse) ref.refuse("hardware " + quoted(r.serialnb) + " is IN_USE");
    }
    static void write(Writer &w, State &, Record &r) {
        append_history(
            w,
            {kDeviceHardware, r.id, r.serialnb, 0, {}, r.status.c_str(), r.location, std::string("hardware deleted")});
        one_changed(w.db.run("DELETE FROM hardware_device WHERE serialid = ?", r.id));
    }
    static std::string subject(const Record &r) { return "hardware " + quoted(r.serialnb); }
};

struct DeleteSubsystemOp {
    struct Record {
        std::string name;
        std::int64_t id = 0;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.name, "a subsystem name");
        IdCache once;
        r.id = batch::need_id(ref, db, once, kSubsystemId, r.name, "subsystem");
        static const struct {
            const char *sql, *what;
        } kUsers[] = {
            {"SELECT system_name FROM subsystem WHERE parentid = ? ORDER BY system_name", "is the parent of"},
            {"SELECT d.devicename FROM device_system s JOIN functional_device d ON d.deviceid = s.deviceid "
             "WHERE s.systemid = ? ORDER BY d.devicename",
             "is in the system list of devices"},
            {"SELECT t.devicetype FROM device_type_system s JOIN device_type t ON t.devicetypeid = s.devicetypeid "
             "WHERE s.systemid = ? ORDER BY t.devicetype",
             "is in the system list of device types"},
        };
        for (const auto &user : kUsers) {
            const std::string names = some_names(db, user.sql, r.id);
            if (!names.empty()) ref.refuse("subsystem " + quoted(r.name) + " " + user.what + " " + names);
        }
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("DELETE FROM subsystem WHERE systemid = ?", r.id));
    }
    static std::string subject(const Record &r) { return "subsystem " + quoted(r.name); }
};

struct DeleteBootImageOp {
    struct Record {
        std::string devicename;
        std::int64_t id = 0;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.devicename, "a device name");
        IdCache once;
        r.id = batch::need_id(ref, db, once, kDeviceId, r.devicename, "device");
        if (!db.prepare("SELECT 1 FROM boot_image WHERE deviceid = ?").bind(1, r.id).step())
            ref.refuse("device " + quoted(r.devicename) + " has no boot images");
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("DELETE FROM boot_image WHERE deviceid = ?", r.id));
    }
    static std::string subject(const Record &r) { return "the boot images of device " + quoted(r.devicename); }
};

struct DeleteAliasOp {
    struct Record {
        std::string alias;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_name(r.alias, "an IP alias");
        if (!db.prepare("SELECT 1 FROM ip_alias WHERE ipalias = ?").bind(1, r.alias).step())
            ref.refuse("no IP alias " + quoted(r.alias));
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("DELETE FROM ip_alias WHERE ipalias = ?", r.alias));
    }
    static std::string subject(const Record &r) { return "IP alias " + quoted(r.alias); }
};

}  // namespace

}  // namespace ketral::store::deletes

using namespace ketral::store;
using namespace ketral::store::deletes;

extern "C" {

int DeletePortRow(int portid, char *ErrMess) {
    return batch::call_now<DeletePortOp>("DeletePortRow", ErrMess, [&] { return DeletePortOp::Record{portid}; });
}

int DeleteFunctionalDevice(int deviceid, char *ErrMess) {
    return batch::call_now<DeleteDeviceOp>("DeleteFunctionalDevice", ErrMess, [&] {
        return DeleteDeviceOp::Record{deviceid, {}};
    });
}

int DeleteFunctionalDeviceType(const char *devicetype, char *ErrMess) {
    return batch::call_now<DeleteDeviceTypeOp>("DeleteFunctionalDeviceType", ErrMess, [&] {
        return DeleteDeviceTypeOp::Record{std::string(arg(devicetype))};
    });
}

int DeleteHWDevice(const char *serialnb, char *ErrMess) {
    return batch::call_now<DeleteHardwareOp>("DeleteHWDevice", ErrMess, [&] {
        return DeleteHardwareOp::Record{std::string(arg(serialnb)), 0, {}, {}};
    });
}

int DeleteSystemName(const char *system_name, char *ErrMess) {
    return batch::call_now<DeleteSubsystemOp>("DeleteSystemName", ErrMess,
                                              [&] { return DeleteSubsystemOp::Record{std::string(arg(system_name))}; });
}

int DeleteBootImage(const char *devicename, char *ErrMess) {
    return batch::call_now<DeleteBootImageOp>("DeleteBootImage", ErrMess,
                                              [&] { return DeleteBootImageOp::Record{std::string(arg(devicename))}; });
}

int DeleteIPAlias(const char *ipalias, char *ErrMess) {
    return batch::call_now<DeleteAliasOp>("DeleteIPAlias", ErrMess,
                                          [&] { return DeleteAliasOp::Record{std::string(arg(ipalias))}; });
}

}  // extern "C"

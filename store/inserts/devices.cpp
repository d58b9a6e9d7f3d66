// Device types, functional devices (with the hardware that fills them) and
// spare hardware.
#include <array>

#include "store/batch/history.hpp"
#include "store/batch/lookups.hpp"
#include "store/hardware_status.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

struct DeviceTypeOp {
    struct Record {
        std::string system_list, name;
        int nbrofinput, nbrofoutput;
        std::string description, rgbcolor;
        std::vector<std::int64_t> systems;
    };
    struct State {
        NamesInBatch names;
        IdCache systems;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.name, "a device type name");
        if (r.nbrofinput < 0) ref.refuse("nbrofinput cannot be negative (" + std::to_string(r.nbrofinput) + ")");
        if (r.nbrofoutput < 0) ref.refuse("nbrofoutput cannot be negative (" + std::to_string(r.nbrofoutput) + ")");
        if (exists(db, kDeviceTypeId, r.name)) ref.refuse("device type '" + r.name + "' already exists");
        r.systems = resolve_list(ref, db, s.systems, kSubsystemId, r.system_list, "subsystem", "system list");
        if (r.description.empty()) r.description = r.name;
        s.names.claim(ref, r.name, "device type");
    }
    static void write(Writer &w, State &, Record &r) {
        const std::int64_t id = w.db.insert_id(
            "INSERT INTO device_type (devicetype, nbrofinput, nbrofoutput, description, rgbcolor) "
            "VALUES (?, ?, ?, ?, ?) RETURNING devicetypeid",
            r.name, r.nbrofinput, r.nbrofoutput, r.description, or_null(r.rgbcolor));
        add_members(w.db, kDeviceTypeSystems, id, r.systems);
    }
    static std::string subject(const Record &r) { return "device type '" + r.name + "'"; }
};

// A functional device is a position; a serial number puts hardware in it:
// a new piece, or a spare one, which becomes IN_USE with a history entry.
struct FunctionalDeviceOp {
    struct Record {
        std::string system_list, name, type;
        int dnode, promiscuous_mode;
        std::string serialnb, hwtype, responsible, comments, location, function_list;
        std::int64_t type_id = 0;
        std::vector<std::int64_t> systems, functions;
        // The lists as the device's row keeps them (join_sorted), written with
        // it, so that the triggers that keep them find nothing to change.
        std::string stored_systems, stored_functions;
        std::int64_t serialid = 0;  // spare hardware taken; 0: new hardware (when serialnb is given)
    };
    struct State {
        NamesInBatch names, serials;
        IdCache types, systems, functions;
        struct TypeSystems {
            std::vector<std::int64_t> ids;
            std::string stored;
        };
        std::unordered_map<std::int64_t, TypeSystems> type_systems;
        std::unordered_set<std::string> existing;  // the records' names taken in the database (prefetch)
        ReservedIds device_ids, hardware_ids;
    };
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.name, "a device name");
        ref.need_name(r.type, "a device type");
        ref.need_flag(r.dnode, "dnode");
        ref.need_flag(r.promiscuous_mode, "promiscuous_mode");
        ref.check_name(r.serialnb, "a serial number");
        ref.check_name(r.hwtype, "a hardware type");
        if (s.existing.count(r.name)) ref.refuse("device '" + r.name + "' already exists");
        r.type_id = need_id(ref, db, s.types, kDeviceTypeId, r.type, "device type");
        r.systems = resolve_list(ref, db, s.systems, kSubsystemId, r.system_list, "subsystem", "system list");
        if (r.systems.empty()) {
            const State::TypeSystems &of_type = type_systems(db, s, r.type_id);
            r.systems = of_type.ids;
            r.stored_systems = of_type.stored;
        } else {
            r.stored_systems = stored_list(r.system_list);
        }
        r.functions =
            resolve_list(ref, db, s.functions, kFunctionId, r.function_list, "device function", "function list");
        r.stored_functions = stored_list(r.function_list);
        check_hardware(ref, db, s, r);
        s.names.claim(ref, r.name, "device");
    }

    static void write(Writer &w, State &s, Record &r) {
        static const sql::BulkTable kHardware("hardware_device",
                                              "serialid, serialnb, hwtype, status, responsible, location", 0);
        static const sql::BulkTable kDevices("functional_device",
                                             "deviceid, devicename, devicetypeid, dnode, promiscuous_mode, serialid, "
                                             "location, responsible, comments, system_list, function_list",
                                             1);
        sql::Connection &db = w.db;
        if (!r.serialnb.empty()) {
            if (r.serialid != 0) {
                db.send(
                    "UPDATE hardware_device SET status = ?, hwtype = COALESCE(hwtype, ?), "
                    "responsible = COALESCE(?, responsible), location = COALESCE(?, location) WHERE serialid = ?",
                    kInUse, or_null(r.hwtype), or_null(r.responsible), or_null(r.location), r.serialid);
            } else {
                r.serialid = s.hardware_ids.take();
                db.append(kHardware, r.serialid, r.serialnb, or_null(r.hwtype), kInUse, or_null(r.responsible),
                          or_null(r.location));
            }
        }
        const std::int64_t id = s.device_ids.take();
        db.append(kDevices, id, r.name, r.type_id, r.dnode, r.promiscuous_mode,
                  r.serialid != 0 ? std::optional<std::int64_t>(r.serialid) : std::nullopt, or_null(r.location),
                  or_null(r.responsible), or_null(r.comments), or_null(r.stored_systems), or_null(r.stored_functions));
        add_members(db, kDeviceSystems, id, r.systems);
        add_members(db, kDeviceFunctions, id, r.functions);
        if (r.serialid != 0)
            append_history(w, {kDeviceHardware, r.serialid, r.serialnb, id, r.name, kInUse, r.location, r.comments});
    }
    static std::string subject(const Record &r) { return "device '" + r.name + "'"; }
    // Which of the records' names the database has, in one statement.
    static void prefetch(sql::Connection &db, State &s, RecordList<Record> &records) {
        auto stmt =
            db.prepare(with_name_list(db, "SELECT devicename FROM functional_device WHERE devicename IN ({names})"));
        stmt.bind(1, names_json(records, [](const Record &r) { return std::array{&r.name}; }));
        while (stmt.step()) s.existing.emplace(stmt->column_view(0));
        // The keys of the new devices and of the new hardware that fills them.
        std::size_t serials = 0;
        for (std::size_t at = 0; at < records.size(); ++at) serials += records[at].serialnb.empty() ? 0 : 1;
        s.device_ids = ReservedIds(db.reserve_ids("functional_device", "deviceid", records.size()));
        if (serials) s.hardware_ids = ReservedIds(db.reserve_ids("hardware_device", "serialid", serials));
    }

private:
    // A device given no system list belongs to its type's subsystems.
    static const State::TypeSystems &type_systems(sql::Connection &db, State &s, std::int64_t type) {
        auto [at, fresh] = s.type_systems.try_emplace(type);
        if (fresh) {
            auto stmt = db.prepare(
                "SELECT t.systemid, s.system_name FROM device_type_system t JOIN subsystem s ON s.systemid = "
                "t.systemid "
                "WHERE t.devicetypeid = ? ORDER BY t.systemid");
            stmt.bind(1, type);
            std::vector<std::string> names;
            while (stmt.step()) {
                at->second.ids.push_back(stmt->column_int(0));
                names.push_back(stmt->column_text(1));
            }
            at->second.stored = join_sorted(names);
        }
        return at->second;
    }
    static std::string stored_list(std::string_view given) {
        std::vector<std::string> names = split_list(given);
        return join_sorted(names);
    }

    static void check_hardware(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        if (r.serialnb.empty()) {
            if (!r.hwtype.empty())
                ref.refuse("a hardware type needs a serial number (hwtype '" + r.hwtype + "' for '" + r.name + "')");
            return;
        }
        auto stmt = db.prepare(
            "SELECT h.serialid, h.status, COALESCE(h.hwtype, ''), f.devicename FROM hardware_device h "
            "LEFT JOIN functional_device f ON f.serialid = h.serialid WHERE h.serialnb = ?");
        stmt.bind(1, r.serialnb);
        if (stmt.step()) {
            const std::string hardware = "hardware '" + r.serialnb + "'";
            if (!stmt->column_is_null(3)) ref.refuse(hardware + " already fills device '" + stmt->column_text(3) + "'");
            const std::string status = stmt->column_text(1);
            if (status != kSpare) ref.refuse(hardware + " is " + status + ": only spare hardware can fill a position");
            const std::string stored_type = stmt->column_text(2);
            if (!r.hwtype.empty() && !stored_type.empty() && stored_type != r.hwtype)
                ref.refuse(hardware + " is of type '" + stored_type + "', not '" + r.hwtype + "'");
            r.serialid = stmt->column_int(0);
        }
        s.serials.claim(ref, r.serialnb, "serial number");
    }
};

// Hardware that fills no position yet, registered as SPARE.
struct SpareDeviceOp {
    struct Record {
        std::string hwname, hwtype, serialnb, responsible, comments, location;
    };
    struct State {
        NamesInBatch serials;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.serialnb, "a serial number");
        ref.check_name(r.hwname, "a hardware name");
        ref.check_name(r.hwtype, "a hardware type");
        if (exists(db, "SELECT 1 FROM hardware_device WHERE serialnb = ?", r.serialnb))
            ref.refuse("hardware '" + r.serialnb + "' already exists");
        s.serials.claim(ref, r.serialnb, "serial number");
    }
    static void write(Writer &w, State &, Record &r) {
        const std::int64_t id = w.db.insert_id(
            "INSERT INTO hardware_device (serialnb, hwname, hwtype, status, responsible, location, comments) "
            "VALUES (?, ?, ?, ?, ?, ?, ?) RETURNING serialid",
            r.serialnb, or_null(r.hwname), or_null(r.hwtype), kSpare, or_null(r.responsible), or_null(r.location),
            or_null(r.comments));
        append_history(w, {kDeviceHardware, id, r.serialnb, 0, {}, kSpare, r.location, r.comments});
    }
    static std::string subject(const Record &r) { return "hardware '" + r.serialnb + "'"; }
};

DeviceTypeOp::Record device_type(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                                 const char *description, const char *rgbcolor) {
    return {std::string(arg(system_list)), std::string(arg(devicetype)), nbrofinput, nbrofoutput,
            std::string(arg(description)), std::string(arg(rgbcolor)),   {}};
}

FunctionalDeviceOp::Record functional_device(const char *system_list, const char *devicename, const char *devicetype,
                                             int dnode, int promiscuous_mode, const char *serialnb, const char *hwtype,
                                             const char *responsible, const char *comments, const char *location,
                                             const char *function_list) {
    FunctionalDeviceOp::Record r;
    r.system_list = arg(system_list);
    r.name = arg(devicename);
    r.type = arg(devicetype);
    r.dnode = dnode;
    r.promiscuous_mode = promiscuous_mode;
    r.serialnb = arg(serialnb);
    r.hwtype = arg(hwtype);
    r.responsible = arg(responsible);
    r.comments = arg(comments);
    r.location = arg(location);
    r.function_list = arg(function_list);
    return r;
}

SpareDeviceOp::Record spare_device(const char *hwname, const char *hwtype, const char *serialnb,
                                   const char *responsible, const char *comments, const char *location) {
    return {std::string(arg(hwname)),      std::string(arg(hwtype)),   std::string(arg(serialnb)),
            std::string(arg(responsible)), std::string(arg(comments)), std::string(arg(location))};
}

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertDeviceType(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                     const char *description, const char *rgbcolor, int last_rows, char *ErrMess) {
    return batch::call<DeviceTypeOp>("InsertDeviceType", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return device_type(system_list, devicetype, nbrofinput, nbrofoutput, description, rgbcolor);
    });
}

int InsertMultipleDeviceTypes(const char *system_list, const char *devicetype, int nbrofinput, int nbrofoutput,
                              const char *description, const char *rgbcolor, int first, int last, char *ErrMess) {
    return batch::call<DeviceTypeOp>("InsertMultipleDeviceTypes", ErrMess, Flags::Batch, first, last, [&] {
        return device_type(system_list, devicetype, nbrofinput, nbrofoutput, description, rgbcolor);
    });
}

int InsertFunctionalDevice(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                           int promiscuous_mode, const char *serialnb, const char *hwtype, const char *responsible,
                           const char *comments, const char *location, const char *function_list, int last_rows,
                           char *ErrMess) {
    return batch::call<FunctionalDeviceOp>("InsertFunctionalDevice", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return functional_device(system_list, devicename, devicetype, dnode, promiscuous_mode, serialnb, hwtype,
                                 responsible, comments, location, function_list);
    });
}

int InsertMultipleFunctionalDevices(const char *system_list, const char *devicename, const char *devicetype, int dnode,
                                    int promiscuous_mode, const char *serialnb, const char *hwtype,
                                    const char *responsible, const char *comments, const char *location,
                                    const char *function_list, int first, int last, char *ErrMess) {
    return batch::call<FunctionalDeviceOp>("InsertMultipleFunctionalDevices", ErrMess, Flags::Batch, first, last, [&] {
        return functional_device(system_list, devicename, devicetype, dnode, promiscuous_mode, serialnb, hwtype,
                                 responsible, comments, location, function_list);
    });
}

int InsertSpareDevice(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                      const char *comments, const char *location, int last_rows, char *ErrMess) {
    return batch::call<SpareDeviceOp>("InsertSpareDevice", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return spare_device(hwname, hwtype, serialnb, responsible, comments, location);
    });
}

int InsertMultipleSpareDevices(const char *hwname, const char *hwtype, const char *serialnb, const char *responsible,
                               const char *comments, const char *location, int first, int last, char *ErrMess) {
    return batch::call<SpareDeviceOp>("InsertMultipleSpareDevices", ErrMess, Flags::Batch, first, last, [&] {
        return spare_device(hwname, hwtype, serialnb, responsible, comments, location);
    });
}

}  // extern "C"

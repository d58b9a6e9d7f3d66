// Batched updates of functional devices (attributes, type, system list) and
// of their ports (speed, phy, PXE booting).
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

// dnode, promiscuous_mode, location and the function list, set as given (an
// empty location clears it, an empty list leaves no function). The hardware
// filling the device moves with it to the new location.
struct DeviceAttributesOp {
    struct Record {
        std::string devicename;
        int dnode, promiscuous_mode;
        std::string location, function_list;
        std::int64_t id = 0;
        std::vector<std::int64_t> functions;
    };
    struct State {
        IdCache devices, functions;
    };
    static constexpr bool kChangesGraph = true;  // dnode decides where paths end

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        ref.need_flag(r.dnode, "dnode");
        ref.need_flag(r.promiscuous_mode, "promiscuous_mode");
        r.id = need_id(ref, db, s.devices, kDeviceId, r.devicename, "device");
        r.functions =
            resolve_list(ref, db, s.functions, kFunctionId, r.function_list, "device function", "function list");
    }
    static void write(Writer &w, State &, Record &r) {
        sql::Connection &db = w.db;
        one_changed(
            db.run("UPDATE functional_device SET dnode = ?, promiscuous_mode = ?, location = ? WHERE deviceid = ?",
                   r.dnode, r.promiscuous_mode, or_null(r.location), r.id));
        if (!r.location.empty())
            db.run(
                "UPDATE hardware_device SET location = ? "
                "WHERE serialid = (SELECT serialid FROM functional_device WHERE deviceid = ?)",
                r.location, r.id);
        replace_members(db, kDeviceFunctions, r.id, r.functions);
    }
    static std::string subject(const Record &r) { return "device " + quoted(r.devicename); }
};

struct DeviceTypeOfDeviceOp {
    struct Record {
        std::string devicename, devicetype;
        std::int64_t id = 0, type = 0;
    };
    struct State {
        IdCache devices, types;
    };
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        ref.need_name(r.devicetype, "a device type");
        r.id = need_id(ref, db, s.devices, kDeviceId, r.devicename, "device");
        r.type = need_id(ref, db, s.types, kDeviceTypeId, r.devicetype, "device type");
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("UPDATE functional_device SET devicetypeid = ? WHERE deviceid = ?", r.type, r.id));
    }
    static std::string subject(const Record &r) { return "device " + quoted(r.devicename); }
};

// The list replaces the device's subsystems; an empty list gives it its
// type's subsystems, as when the device was inserted.
struct DeviceSystemListOp {
    struct Record {
        std::string devicename, system_list;
        std::int64_t id = 0;
        std::vector<std::int64_t> systems;
        bool from_type = false;
    };
    struct State {
        IdCache devices, systems;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        r.id = need_id(ref, db, s.devices, kDeviceId, r.devicename, "device");
        r.systems = resolve_list(ref, db, s.systems, kSubsystemId, r.system_list, "subsystem", "system list");
        r.from_type = r.systems.empty();
    }
    static void write(Writer &w, State &, Record &r) {
        w.db.run("DELETE FROM device_system WHERE deviceid = ?", r.id);
        if (r.from_type) {
            w.db.run(
                "INSERT INTO device_system (deviceid, systemid) SELECT d.deviceid, t.systemid "
                "FROM functional_device d JOIN device_type_system t ON t.devicetypeid = d.devicetypeid "
                "WHERE d.deviceid = ?",
                r.id);
            return;
        }
        add_members(w.db, kDeviceSystems, r.id, r.systems);
    }
    static std::string subject(const Record &r) { return "the system list of device " + quoted(r.devicename); }
};

// A port, known by (port_nbr, port_way, port_type) on its device: its
// speed, phy (empty clears it) and PXE booting flag.
struct PortOp {
    struct Record {
        std::string devicename, nbr;
        int way;
        std::string type;
        int speed;
        std::string phy;
        int pxi_booting;
        std::int64_t portid = 0;
    };
    struct State {
        DevicePorts ports;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        ref.need_name(r.nbr, "a port number");
        ref.check_name(r.type, "a port type");
        ref.need_way(r.way, "port_way");
        if (r.speed < 0) ref.refuse("speed cannot be negative (" + std::to_string(r.speed) + ")");
        ref.need_flag(r.pxi_booting, "pxi_booting");
        r.portid = s.ports.port(ref, db, r.devicename, r.nbr, r.way, r.type);
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("UPDATE port SET speed = ?, phy = ?, pxi_booting = ? WHERE portid = ?", r.speed,
                             or_null(r.phy), r.pxi_booting, r.portid));
    }
    static std::string subject(const Record &r) { return port_label(r.nbr, r.way, r.type, r.devicename); }
};

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int UpdateMultipleAttributesDevices(const char *devicename, int dnode, int promiscuous_mode, const char *location,
                                    const char *function_list, int first, int last, char *ErrMess) {
    return batch::call<DeviceAttributesOp>("UpdateMultipleAttributesDevices", ErrMess, Flags::Batch, first, last, [&] {
        return DeviceAttributesOp::Record{std::string(arg(devicename)),
                                          dnode,
                                          promiscuous_mode,
                                          std::string(arg(location)),
                                          std::string(arg(function_list)),
                                          0,
                                          {}};
    });
}

int UpdateMultipleDTypeDevices(const char *devicename, const char *devicetype, int first, int last, char *ErrMess) {
    return batch::call<DeviceTypeOfDeviceOp>("UpdateMultipleDTypeDevices", ErrMess, Flags::Batch, first, last, [&] {
        return DeviceTypeOfDeviceOp::Record{std::string(arg(devicename)), std::string(arg(devicetype))};
    });
}

int UpdateMultipleDeviceSystemList(const char *devicename, const char *system_list, int first, int last,
                                   char *ErrMess) {
    return batch::call<DeviceSystemListOp>("UpdateMultipleDeviceSystemList", ErrMess, Flags::Batch, first, last, [&] {
        return DeviceSystemListOp::Record{std::string(arg(devicename)), std::string(arg(system_list)), 0, {}};
    });
}

int UpdateMultiplePorts(const char *devicename, const char *port_nbr, int port_way, const char *port_type, int speed,
                        const char *phy, int pxi_booting, int first, int last, char *ErrMess) {
    return batch::call<PortOp>("UpdateMultiplePorts", ErrMess, Flags::Batch, first, last, [&] {
        return PortOp::Record{std::string(arg(devicename)),
                              std::string(arg(port_nbr)),
                              port_way,
                              std::string(arg(port_type)),
                              speed,
                              std::string(arg(phy)),
                              pxi_booting};
    });
}

}  // extern "C"

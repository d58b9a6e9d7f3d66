// Attribute updates of the catalog records: device types (attributes and
// system lists), composite link types (their simple types), IP addresses
// (subnet and IP name) and boot images. Every value is set as given; an
// empty text clears it (except where a default applies).
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

// An empty description takes the type's name, as when the type was inserted.
struct DeviceTypeAttributesOp {
    struct Record {
        std::string devicetype, description;
        int nbrofinput, nbrofoutput;
        std::string rgbcolor;
        std::int64_t id = 0;
    };
    struct State {
        IdCache types;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicetype, "a device type");
        if (r.nbrofinput < 0) ref.refuse("nbrofinput cannot be negative (" + std::to_string(r.nbrofinput) + ")");
        if (r.nbrofoutput < 0) ref.refuse("nbrofoutput cannot be negative (" + std::to_string(r.nbrofoutput) + ")");
        r.id = need_id(ref, db, s.types, kDeviceTypeId, r.devicetype, "device type");
        if (r.description.empty()) r.description = r.devicetype;
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(
            w.db.run("UPDATE device_type SET description = ?, nbrofinput = ?, nbrofoutput = ?, rgbcolor = ? "
                     "WHERE devicetypeid = ?",
                     r.description, r.nbrofinput, r.nbrofoutput, or_null(r.rgbcolor), r.id));
    }
    static std::string subject(const Record &r) { return "device type " + quoted(r.devicetype); }
};

// The list replaces the type's subsystems; an empty list leaves it none.
struct DeviceTypeSystemListOp {
    struct Record {
        std::string devicetype, system_list;
        std::int64_t id = 0;
        std::vector<std::int64_t> systems;
    };
    struct State {
        IdCache types, systems;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicetype, "a device type");
        r.id = need_id(ref, db, s.types, kDeviceTypeId, r.devicetype, "device type");
        r.systems = resolve_list(ref, db, s.systems, kSubsystemId, r.system_list, "subsystem", "system list");
    }
    static void write(Writer &w, State &, Record &r) { replace_members(w.db, kDeviceTypeSystems, r.id, r.systems); }
    static std::string subject(const Record &r) { return "the system list of device type " + quoted(r.devicetype); }
};

// The list replaces the simple types a composite type is made of.
struct CompositeLinkTypeOp {
    struct Record {
        std::string lktype, link_list;
        std::int64_t id = 0;
        std::vector<std::int64_t> members;
    };
    struct Type {
        std::int64_t id;
        bool composite;
    };
    struct State {
        std::unordered_map<std::string, Type> types;
    };
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.lktype, "a link type");
        const Type type = find(ref, db, s, r.lktype, r.link_list);
        if (!type.composite)
            ref.refuse("link type " + quoted(r.lktype) + " is simple: only a composite type has a link list");
        r.id = type.id;
        const std::vector<std::string> names = split_list(r.link_list);
        if (names.empty()) ref.refuse("the link list of " + quoted(r.lktype) + " names no link type");
        for (const std::string &name : names) {
            const Type member = find(ref, db, s, name, r.link_list);
            if (member.composite)
                ref.refuse(quoted(name) + " is a composite link type: a composite is made of simple types");
            r.members.push_back(member.id);
        }
    }
    static void write(Writer &w, State &, Record &r) { replace_members(w.db, kLinkTypeMembers, r.id, r.members); }
    static std::string subject(const Record &r) { return "the link list of link type " + quoted(r.lktype); }

private:
    static Type find(const RecordRef &ref, sql::Connection &db, State &s, const std::string &name,
                     const std::string &list) {
        const auto found = s.types.find(name);
        if (found != s.types.end()) return found->second;
        auto stmt = db.prepare(
            "SELECT t.linktypeid, EXISTS (SELECT 1 FROM link_type_member m WHERE m.compositeid = t.linktypeid) "
            "FROM link_type t WHERE t.lktype = ?");
        stmt.bind(1, name);
        if (!stmt.step()) ref.refuse("no link type named " + quoted(name) + " (link list " + quoted(list) + ")");
        const Type type{stmt->column_int(0), stmt->column_int(1) != 0};
        s.types.emplace(name, type);
        return type;
    }
};

// The subnet and the IP name of an address.
struct IpAttributesOp {
    struct Record {
        std::string ipaddress, subnet, ipname;
        std::int64_t id = 0;
    };
    struct State {
        IdCache ips;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.ipaddress, "an IP address");
        ref.check_name(r.subnet, "a subnet");
        ref.check_name(r.ipname, "an IP name");
        r.id = s.ips.find(db, "SELECT ipid FROM ip_info WHERE ipaddress = ?", r.ipaddress);
        if (r.id == 0) ref.refuse("no IP address " + quoted(r.ipaddress));
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run("UPDATE ip_info SET subnet = ?, ipname = ? WHERE ipid = ?", or_null(r.subnet),
                             or_null(r.ipname), r.id));
    }
    static std::string subject(const Record &r) { return "IP address " + quoted(r.ipaddress); }
};

// Changes the boot images a device has (InsertMultipleBootImages gives them).
struct BootImageOp {
    struct Record {
        std::string devicename, boot_image, kernel_image, initrd_image, physical_location, boot_protocol;
        std::int64_t deviceid = 0;
    };
    struct State {
        IdCache devices;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        r.deviceid = need_id(ref, db, s.devices, kDeviceId, r.devicename, "device");
        if (!db.prepare("SELECT 1 FROM boot_image WHERE deviceid = ?").bind(1, r.deviceid).step())
            ref.refuse("device " + quoted(r.devicename) + " has no boot images (InsertMultipleBootImages gives them)");
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(
            w.db.run("UPDATE boot_image SET boot_image = ?, kernel_image = ?, initrd_image = ?, "
                     "physical_location = ?, boot_protocol = ? WHERE deviceid = ?",
                     or_null(r.boot_image), or_null(r.kernel_image), or_null(r.initrd_image),
                     or_null(r.physical_location), or_null(r.boot_protocol), r.deviceid));
    }
    static std::string subject(const Record &r) { return "the boot images of device " + quoted(r.devicename); }
};

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int UpdateMultipleDeviceTypeAttributes(const char *devicetype, const char *description, int nbrofinput, int nbrofoutput,
                                       const char *rgbcolor, int first, int last, char *ErrMess) {
    return batch::call<DeviceTypeAttributesOp>(
        "UpdateMultipleDeviceTypeAttributes", ErrMess, Flags::Batch, first, last, [&] {
            return DeviceTypeAttributesOp::Record{std::string(arg(devicetype)), std::string(arg(description)),
                                                  nbrofinput, nbrofoutput, std::string(arg(rgbcolor))};
        });
}

int UpdateMultipleDeviceTypeSystemList(const char *devicetype, const char *system_list, int first, int last,
                                       char *ErrMess) {
    return batch::call<DeviceTypeSystemListOp>(
        "UpdateMultipleDeviceTypeSystemList", ErrMess, Flags::Batch, first, last, [&] {
            return DeviceTypeSystemListOp::Record{std::string(arg(devicetype)), std::string(arg(system_list)), 0, {}};
        });
}

int UpdateMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *ErrMess) {
    return batch::call<CompositeLinkTypeOp>(
        "UpdateMultipleCompositeLinkTypes", ErrMess, Flags::Batch, first, last, [&] {
            return CompositeLinkTypeOp::Record{std::string(arg(lktype)), std::string(arg(link_list)), 0, {}};
        });
}

int UpdateMultipleAttributeMacIPs(const char *ipaddress, const char *subnet, const char *ipname, int first, int last,
                                  char *ErrMess) {
    return batch::call<IpAttributesOp>("UpdateMultipleAttributeMacIPs", ErrMess, Flags::Batch, first, last, [&] {
        return IpAttributesOp::Record{std::string(arg(ipaddress)), std::string(arg(subnet)), std::string(arg(ipname))};
    });
}

int UpdateBootImage(const char *devicename, const char *boot_image, const char *kernel_image, const char *initrd_image,
                    const char *physical_location, const char *boot_protocol, char *ErrMess) {
    return batch::call_now<BootImageOp>("UpdateBootImage", ErrMess, [&] {
        return BootImageOp::Record{std::string(arg(devicename)),        std::string(arg(boot_image)),
                                   std::string(arg(kernel_image)),      std::string(arg(initrd_image)),
                                   std::string(arg(physical_location)), std::string(arg(boot_protocol))};
    });
}

}  // extern "C"

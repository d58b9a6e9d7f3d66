// Boot images of devices and aliases of IP addresses.
#include "store/batch/lookups.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

// One set of boot images per device; UpdateBootImage changes it.
struct BootImageOp {
    struct Record {
        std::string devicename, boot_image, kernel_image, initrd_image, physical_location, boot_protocol;
        std::int64_t deviceid = 0;
    };
    struct State {
        NamesInBatch devices;
        IdCache ids;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        r.deviceid = need_id(ref, db, s.ids, kDeviceId, r.devicename, "device");
        if (db.prepare("SELECT 1 FROM boot_image WHERE deviceid = ?").bind(1, r.deviceid).step())
            ref.refuse("device '" + r.devicename + "' already has boot images (UpdateBootImage changes them)");
        s.devices.claim(ref, r.devicename, "device");
    }
    static void write(Writer &w, State &, Record &r) {
        w.db.run(
            "INSERT INTO boot_image (deviceid, boot_image, kernel_image, initrd_image, physical_location, "
            "boot_protocol) VALUES (?, ?, ?, ?, ?, ?)",
            r.deviceid, or_null(r.boot_image), or_null(r.kernel_image), or_null(r.initrd_image),
            or_null(r.physical_location), or_null(r.boot_protocol));
    }
    static std::string subject(const Record &r) { return "the boot images of device '" + r.devicename + "'"; }
};

// An alias names a known address, given by the address itself or, when
// that is empty, by its IP name.
struct IpAliasOp {
    struct Record {
        std::string ipaddress, ipname, alias;
        std::int64_t ipid = 0;
    };
    struct State {
        NamesInBatch aliases;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.alias, "an IP alias");
        ref.check_name(r.ipaddress, "an IP address");
        ref.check_name(r.ipname, "an IP name");
        if (!r.ipaddress.empty()) {
            auto stmt = db.prepare("SELECT ipid, ipname FROM ip_info WHERE ipaddress = ?");
            stmt.bind(1, r.ipaddress);
            if (!stmt.step()) ref.refuse("no IP address '" + r.ipaddress + "'");
            const std::string name = stmt->column_text(1);
            if (!r.ipname.empty() && !stmt->column_is_null(1) && name != r.ipname)
                ref.refuse("IP address '" + r.ipaddress + "' has IP name '" + name + "', not '" + r.ipname + "'");
            r.ipid = stmt->column_int(0);
        } else if (!r.ipname.empty()) {
            auto stmt = db.prepare("SELECT ipid FROM ip_info WHERE ipname = ? LIMIT 2");
            stmt.bind(1, r.ipname);
            if (!stmt.step()) ref.refuse("no IP address has the IP name '" + r.ipname + "'");
            r.ipid = stmt->column_int(0);
            if (stmt.step()) ref.refuse("several IP addresses have the IP name '" + r.ipname + "': give the address");
        } else {
            ref.refuse("an IP address (or an IP name) is needed for the alias '" + r.alias + "'");
        }
        if (exists(db, "SELECT 1 FROM ip_alias WHERE ipalias = ?", r.alias))
            ref.refuse("IP alias '" + r.alias + "' already exists");
        s.aliases.claim(ref, r.alias, "IP alias");
    }
    static void write(Writer &w, State &, Record &r) {
        w.db.run("INSERT INTO ip_alias (ipid, ipalias) VALUES (?, ?)", r.ipid, r.alias);
    }
    static std::string subject(const Record &r) { return "IP alias '" + r.alias + "'"; }
};

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertMultipleBootImages(const char *devicename, const char *boot_image, const char *kernel_image,
                             const char *initrd_image, const char *physical_location, const char *boot_protocol,
                             int first, int last, char *ErrMess) {
    return batch::call<BootImageOp>("InsertMultipleBootImages", ErrMess, Flags::Batch, first, last, [&] {
        return BootImageOp::Record{std::string(arg(devicename)),        std::string(arg(boot_image)),
                                   std::string(arg(kernel_image)),      std::string(arg(initrd_image)),
                                   std::string(arg(physical_location)), std::string(arg(boot_protocol))};
    });
}

int InsertMultipleIPAliases(const char *ipaddress, const char *ipname, const char *ipalias, int first, int last,
                            char *ErrMess) {
    return batch::call<IpAliasOp>("InsertMultipleIPAliases", ErrMess, Flags::Batch, first, last, [&] {
        return IpAliasOp::Record{std::string(arg(ipaddress)), std::string(arg(ipname)), std::string(arg(ipalias))};
    });
}

}  // extern "C"

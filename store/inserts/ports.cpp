// Ports of functional devices with their IP and MAC data, a device's
// interfaces and ports in one record (InsertTestFunctionalDevice), and the
// ports of spare hardware.
#include <array>
#include <cstring>

#include "store/batch/lookups.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

// "... already exists" (in the database) or "... already comes in record N of this batch".
std::string taken(std::size_t number) {
    return number == 0 ? " already exists" : " already comes in record " + std::to_string(number) + " of this batch";
}

struct PortOp {
    struct Record {
        std::string devicename, nbr;
        int admin_status, way, speed, pxi_booting;
        std::string type, bia, ipaddress, ipname, subnet, macaddress, phy;
        std::int64_t deviceid = 0;
    };
    struct Device {
        std::int64_t id;
        std::unordered_map<std::string, std::size_t> ports;  // key -> record number, 0: in the database
    };
    // An address as the batch knows it: its id once written, its name and
    // subnet (the first given wins; later records must agree).
    struct Ip {
        std::int64_t id = 0;
        std::string ipname, subnet;
        bool stale = false;  // known in the database, name or subnet added by the batch
    };
    struct State {
        std::unordered_map<std::string, Device> devices;
        std::unordered_map<std::string, Ip> ips;
        ReservedIds ip_ids;  // for the addresses the batch brings (prefetch)
    };
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        ref.need_name(r.nbr, "a port number");
        ref.check_name(r.type, "a port type");
        ref.need_way(r.way, "port_way");
        ref.need_flag(r.admin_status, "admin_status");
        ref.need_flag(r.pxi_booting, "pxi_booting");
        if (r.speed < 0) ref.refuse("speed cannot be negative (" + std::to_string(r.speed) + ")");
        ref.check_name(r.ipaddress, "an IP address");
        ref.check_name(r.ipname, "an IP name");
        ref.check_name(r.subnet, "a subnet");
        ref.check_name(r.macaddress, "a MAC address");
        ref.check_name(r.bia, "a burnt-in address");
        Device &device = find_device(ref, db, s, r.devicename);
        r.deviceid = device.id;
        const auto [at, fresh] = device.ports.emplace(port_key(r.nbr, r.way, r.type), ref.number());
        if (!fresh) ref.refuse(port_label(r.nbr, r.way, r.type, r.devicename) + taken(at->second));
        check_ip(ref, db, s, r);
    }

    static void write(Writer &w, State &s, Record &r) {
        std::int64_t ipid = 0;
        if (!r.ipaddress.empty()) ipid = write_ip(w.db, s, s.ips.at(r.ipaddress), r.ipaddress);
        static const sql::BulkTable kPorts("port",
                                           "deviceid, port_nbr, port_way, port_type, speed, admin_status, pxi_booting, "
                                           "phy, bia, macaddress, ipid",
                                           2);
        w.db.append(kPorts, r.deviceid, r.nbr, r.way, r.type, r.speed, r.admin_status, r.pxi_booting, or_null(r.phy),
                    or_null(r.bia), or_null(r.macaddress),
                    ipid != 0 ? std::optional<std::int64_t>(ipid) : std::nullopt);
    }
    // Every device the records name, with its ports, in one statement.
    static void prefetch(sql::Connection &db, State &s, RecordList<Record> &records) {
        auto stmt = db.prepare(with_name_list(
            db, std::string("SELECT d.devicename, ") + kPortsOfDevice + "WHERE d.devicename IN ({names})"));
        stmt.bind(1, names_json(records, [](const Record &r) { return std::array{&r.devicename}; }));
        while (stmt.step()) add_port(s.devices, stmt->column_text(0), *stmt, 1);
        // Keys for the addresses new to the database, at most one per address the records give.
        std::unordered_set<std::string_view> addresses;
        for (std::size_t at = 0; at < records.size(); ++at)
            if (!records[at].ipaddress.empty()) addresses.insert(records[at].ipaddress);
        if (!addresses.empty()) s.ip_ids = ReservedIds(db.reserve_ids("ip_info", "ipid", addresses.size()));
    }
    static std::string subject(const Record &r) { return port_label(r.nbr, r.way, r.type, r.devicename); }

private:
    // The device and its ports, read once per batch.
    static Device &find_device(const RecordRef &ref, sql::Connection &db, State &s, const std::string &name) {
        const auto found = s.devices.find(name);
        if (found != s.devices.end()) return found->second;
        auto stmt = db.prepare(std::string("SELECT ") + kPortsOfDevice + "WHERE d.devicename = ?");
        stmt.bind(1, name);
        if (!stmt.step()) ref.refuse("no device named '" + name + "'");
        do add_port(s.devices, name, *stmt, 0);
        while (stmt.step());
        return s.devices.at(name);
    }

    // A device and its ports (the columns after the SELECT, from column
    // `at`: device id, port number, way, type); a device without ports has
    // one row with NULL ports.
    static constexpr const char *kPortsOfDevice =
        "d.deviceid, p.port_nbr, p.port_way, p.port_type "
        "FROM functional_device d LEFT JOIN port p ON p.deviceid = d.deviceid ";
    static void add_port(std::unordered_map<std::string, Device> &devices, const std::string &name,
                         const sql::Statement &row, int at) {
        Device &device = devices.try_emplace(name, Device{row.column_int(at), {}}).first->second;
        if (!row.column_is_null(at + 1))
            device.ports.emplace(
                port_key(row.column_view(at + 1), static_cast<int>(row.column_int(at + 2)), row.column_view(at + 3)),
                0);
    }

    static void check_ip(const RecordRef &ref, sql::Connection &db, State &s, const Record &r) {
        if (r.ipaddress.empty()) {
            if (!r.ipname.empty() || !r.subnet.empty())
                ref.refuse("an IP name or subnet needs an IP address (" +
                           port_label(r.nbr, r.way, r.type, r.devicename) + ")");
            return;
        }
        auto [at, fresh] = s.ips.try_emplace(r.ipaddress);
        Ip &ip = at->second;
        if (fresh) {
            auto stmt =
                db.prepare("SELECT ipid, COALESCE(ipname, ''), COALESCE(subnet, '') FROM ip_info WHERE ipaddress = ?");
            stmt.bind(1, r.ipaddress);
            if (stmt.step()) ip = Ip{stmt->column_int(0), stmt->column_text(1), stmt->column_text(2), false};
        }
        agree(ref, ip, &Ip::ipname, r.ipname, r.ipaddress, "IP name");
        agree(ref, ip, &Ip::subnet, r.subnet, r.ipaddress, "subnet");
    }

    static void agree(const RecordRef &ref, Ip &ip, std::string Ip::*field, const std::string &given,
                      const std::string &address, const char *what) {
        std::string &known = ip.*field;
        if (given.empty() || given == known) return;
        if (!known.empty())
            ref.refuse("IP address '" + address + "' has " + what + " '" + known + "', not '" + given + "'");
        known = given;
        if (ip.id != 0) ip.stale = true;
    }

    static std::int64_t write_ip(sql::Connection &db, State &s, Ip &ip, const std::string &address) {
        static const sql::BulkTable kAddresses("ip_info", "ipid, ipaddress, subnet, ipname", 1);
        if (ip.id == 0 && !s.ip_ids.empty()) {
            ip.id = s.ip_ids.take();
            db.append(kAddresses, ip.id, address, or_null(ip.subnet), or_null(ip.ipname));
        } else if (ip.id == 0) {
            ip.id = db.insert_id("INSERT INTO ip_info (ipaddress, subnet, ipname) VALUES (?, ?, ?) RETURNING ipid",
                                 address, or_null(ip.subnet), or_null(ip.ipname));
        } else if (ip.stale) {
            db.send("UPDATE ip_info SET subnet = ?, ipname = ? WHERE ipid = ?", or_null(ip.subnet), or_null(ip.ipname),
                    ip.id);
            ip.stale = false;
        }
        return ip.id;
    }
};

// A packed list as the caller handed it: its bytes, copied within its length.
struct Packed {
    const char *name;
    std::string bytes;
    bool readable;

    Packed(const char *name, const char *data, int length)
        : name(name), readable(length == 0 || (length > 0 && data != nullptr)) {
        if (readable && length > 0) bytes.assign(data, static_cast<std::size_t>(length));
    }

    // The elements; each must end with its NUL within the length.
    std::vector<std::string> items(const RecordRef &ref) const {
        if (!readable) ref.refuse(std::string("the ") + name + " list is unreadable (no buffer, or a negative length)");
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at < bytes.size()) {
            const void *nul = std::memchr(bytes.data() + at, '\0', bytes.size() - at);
            if (!nul)
                ref.refuse(std::string("the ") + name + " list does not end with a NUL within its " +
                           std::to_string(bytes.size()) + " bytes");
            const std::size_t end = static_cast<std::size_t>(static_cast<const char *>(nul) - bytes.data());
            out.emplace_back(bytes, at, end - at);
            at = end + 1;
        }
        return out;
    }
};

// An existing device's IP interfaces and ports in one record: port i is
// (portnb[i], port_way[i], port_list[i] or untyped when the list is shorter)
// and IP interface i (ipadd[i], subnet[i], ipname[i]) goes to port i.
struct TestDeviceOp {
    struct Record {
        std::string devicename;
        Packed ipadd, subnet, ipname, portnb, port_list;
        std::vector<int> ways;
        bool ways_readable;
        std::vector<PortOp::Record> ports;
    };
    using State = PortOp::State;
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.devicename, "a device name");
        if (!r.ways_readable) ref.refuse("the port_way array is unreadable (no buffer, or a negative count)");
        const auto ipadd = r.ipadd.items(ref), subnet = r.subnet.items(ref), ipname = r.ipname.items(ref);
        const auto portnb = r.portnb.items(ref), types = r.port_list.items(ref);
        if (subnet.size() != ipadd.size() || ipname.size() != ipadd.size())
            ref.refuse("the ipadd, subnet and ipname lists differ in length (" + std::to_string(ipadd.size()) + ", " +
                       std::to_string(subnet.size()) + ", " + std::to_string(ipname.size()) + ")");
        if (r.ways.size() != portnb.size())
            ref.refuse("the portnb list and the port_way array differ in length (" + std::to_string(portnb.size()) +
                       ", " + std::to_string(r.ways.size()) + ")");
        if (types.size() > portnb.size())
            ref.refuse("the port_list gives " + std::to_string(types.size()) + " port types for " +
                       std::to_string(portnb.size()) + " ports");
        if (ipadd.size() > portnb.size())
            ref.refuse(std::to_string(ipadd.size()) + " IP interfaces for " + std::to_string(portnb.size()) +
                       " ports: IP interface i goes to port i");
        if (!exists(db, kDeviceId, r.devicename)) ref.refuse("no device named '" + r.devicename + "'");
        for (std::size_t i = 0; i < portnb.size(); ++i) {
            PortOp::Record port{r.devicename, portnb[i], 1,  r.ways[i], 0,  0, i < types.size() ? types[i] : "",
                                "",           "",        "", "",        "", ""};
            if (i < ipadd.size()) {
                port.ipaddress = ipadd[i];
                port.subnet = subnet[i];
                port.ipname = ipname[i];
            }
            PortOp::check(ref, db, s, port);
            r.ports.push_back(std::move(port));
        }
    }
    static void write(Writer &w, State &s, Record &r) {
        for (PortOp::Record &port : r.ports) PortOp::write(w, s, port);
    }
    static std::string subject(const Record &r) { return "a port of '" + r.devicename + "'"; }
};

// Ports of hardware that fills no position, kept with their addresses.
struct SparePortOp {
    struct Record {
        std::string serialnb, nbr;
        int way;
        std::string type, bia, macaddress;
        std::int64_t serialid = 0;
    };
    struct Hardware {
        std::int64_t id;
        std::unordered_map<std::string, std::size_t> ports;  // key -> record number, 0: in the database
    };
    struct State {
        std::unordered_map<std::string, Hardware> hardware;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.serialnb, "a serial number");
        ref.need_name(r.nbr, "a port number");
        ref.check_name(r.type, "a port type");
        ref.need_way(r.way, "port_way");
        ref.check_name(r.bia, "a burnt-in address");
        ref.check_name(r.macaddress, "a MAC address");
        Hardware &hw = find_hardware(ref, db, s, r.serialnb);
        r.serialid = hw.id;
        const auto [at, fresh] = hw.ports.emplace(port_key(r.nbr, r.way, r.type), ref.number());
        if (!fresh) ref.refuse(subject(r) + taken(at->second));
    }
    static void write(Writer &w, State &, Record &r) {
        w.db.send(
            "INSERT INTO spare_port (serialid, port_nbr, port_way, port_type, bia, macaddress) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            r.serialid, r.nbr, r.way, r.type, or_null(r.bia), or_null(r.macaddress));
    }
    static std::string subject(const Record &r) {
        return "port " + r.nbr + " (way " + std::to_string(r.way) + ", type '" + r.type + "') of hardware '" +
               r.serialnb + "'";
    }

private:
    static Hardware &find_hardware(const RecordRef &ref, sql::Connection &db, State &s, const std::string &serialnb) {
        const auto found = s.hardware.find(serialnb);
        if (found != s.hardware.end()) return found->second;
        auto stmt = db.prepare(
            "SELECT h.serialid, f.devicename FROM hardware_device h "
            "LEFT JOIN functional_device f ON f.serialid = h.serialid WHERE h.serialnb = ?");
        stmt.bind(1, serialnb);
        if (!stmt.step()) ref.refuse("no hardware with serial number '" + serialnb + "'");
        if (!stmt->column_is_null(1))
            ref.refuse("hardware '" + serialnb + "' fills device '" + stmt->column_text(1) +
                       "': its ports are the device's (InsertPort)");
        Hardware hw{stmt->column_int(0), {}};
        auto ports = db.prepare("SELECT port_nbr, port_way, port_type FROM spare_port WHERE serialid = ?");
        ports.bind(1, hw.id);
        while (ports.step())
            hw.ports.emplace(
                port_key(ports->column_text(0), static_cast<int>(ports->column_int(1)), ports->column_text(2)), 0);
        return s.hardware.emplace(serialnb, std::move(hw)).first->second;
    }
};

PortOp::Record port(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed,
                    int pxi_booting, const char *port_type, const char *bia, const char *ipaddress, const char *ipname,
                    const char *subnet, const char *macaddress, const char *phy) {
    return {std::string(arg(devicename)),
            std::string(arg(port_nbr)),
            admin_status,
            port_way,
            speed,
            pxi_booting,
            std::string(arg(port_type)),
            std::string(arg(bia)),
            std::string(arg(ipaddress)),
            std::string(arg(ipname)),
            std::string(arg(subnet)),
            std::string(arg(macaddress)),
            std::string(arg(phy))};
}

SparePortOp::Record spare_port(const char *serialnb, const char *port_nbr, int port_way, const char *port_type,
                               const char *bia, const char *macaddress) {
    return {std::string(arg(serialnb)),  std::string(arg(port_nbr)), port_way,
            std::string(arg(port_type)), std::string(arg(bia)),      std::string(arg(macaddress))};
}

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertPort(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed, int pxi_booting,
               const char *port_type, const char *bia, const char *ipaddress, const char *ipname, const char *subnet,
               const char *macaddress, const char *phy, int last_rows, char *ErrMess) {
    return batch::call<PortOp>("InsertPort", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return port(devicename, port_nbr, admin_status, port_way, speed, pxi_booting, port_type, bia, ipaddress, ipname,
                    subnet, macaddress, phy);
    });
}

int InsertMultiplePorts(const char *devicename, const char *port_nbr, int admin_status, int port_way, int speed,
                        int pxi_booting, const char *port_type, const char *bia, const char *ipaddress,
                        const char *ipname, const char *subnet, const char *macaddress, const char *phy, int first,
                        int last, char *ErrMess) {
    return batch::call<PortOp>("InsertMultiplePorts", ErrMess, Flags::Batch, first, last, [&] {
        return port(devicename, port_nbr, admin_status, port_way, speed, pxi_booting, port_type, bia, ipaddress, ipname,
                    subnet, macaddress, phy);
    });
}

int InsertTestFunctionalDevice(const char *devicename, const char *ipadd, int ipadd_len, const char *subnet,
                               int subnet_len, const char *ipname, int ipname_len, const char *portnb, int portnb_len,
                               const char *port_list, int port_list_len, const int *port_way, int port_way_count,
                               int last_rows, char *ErrMess) {
    return batch::call<TestDeviceOp>("InsertTestFunctionalDevice", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        const bool ways_readable = port_way_count == 0 || (port_way_count > 0 && port_way != nullptr);
        std::vector<int> ways;
        if (ways_readable && port_way_count > 0) ways.assign(port_way, port_way + port_way_count);
        return TestDeviceOp::Record{std::string(arg(devicename)),
                                    Packed("ipadd", ipadd, ipadd_len),
                                    Packed("subnet", subnet, subnet_len),
                                    Packed("ipname", ipname, ipname_len),
                                    Packed("portnb", portnb, portnb_len),
                                    Packed("port_list", port_list, port_list_len),
                                    std::move(ways),
                                    ways_readable,
                                    {}};
    });
}

int InsertSparePort(const char *serialnb, const char *port_nbr, int port_way, const char *port_type, const char *bia,
                    const char *macaddress, int last_rows, char *ErrMess) {
    return batch::call<SparePortOp>("InsertSparePort", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return spare_port(serialnb, port_nbr, port_way, port_type, bia, macaddress);
    });
}

int InsertMultipleSparePorts(const char *serialnb, const char *port_nbr, int port_way, const char *port_type,
                             const char *bia, const char *macaddress, int first, int last, char *ErrMess) {
    return batch::call<SparePortOp>("InsertMultipleSparePorts", ErrMess, Flags::Batch, first, last, [&] {
        return spare_port(serialnb, port_nbr, port_way, port_type, bia, macaddress);
    });
}

}  // extern "C"

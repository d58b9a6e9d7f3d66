// The schema of the configuration database: its tables, version and upgrades. The SQL is portable; the backend-specific
// pieces are the type of the self-numbered keys ("{id}") and of texts (TEXT).
#include "store/schema.hpp"

#include <cctype>
#include <stdexcept>

#include "store/failure.hpp"
#include "store/hardware_status.hpp"
#include "store/text.hpp"

namespace ketral::store {

namespace {

// The portable column list for `db`: "{id}" and each TEXT become the
// backend's types, "{status}" the check of the hardware status words.
std::string expand(const char *columns, const sql::Connection &db) {
    std::string out(columns);
    static const std::string status = status_check();
    replace_all(out, "{status}", status);
    replace_all(out, "{id}", db.auto_id_type());
    const std::string_view text_type = db.text_type();
    if (text_type == "TEXT") return out;
    const auto word_char = [&out](size_t i) {
        return i < out.size() && (std::isalnum(static_cast<unsigned char>(out[i])) || out[i] == '_');
    };
    for (auto at = out.find("TEXT"); at != std::string::npos; at = out.find("TEXT", at + 1)) {
        if ((at > 0 && word_char(at - 1)) || word_char(at + 4)) continue;
        out.replace(at, 4, text_type);
        at += text_type.size() - 1;
    }
    return out;
}

}  // namespace

const std::vector<Table> &schema_tables() {
    static const std::vector<Table> tables = {
        {"schema_version", "version INTEGER NOT NULL", {}},
        // Subsystems form a tree; a parent with children cannot be deleted.
        {"subsystem",
         "systemid {id}, system_name TEXT NOT NULL UNIQUE, "
         "parentid INTEGER REFERENCES subsystem (systemid)",
         {{"subsystem_parent_idx", "parentid", false}}},
        {"device_function", "functionid {id}, function_name TEXT NOT NULL UNIQUE", {}},
        {"device_type",
         "devicetypeid {id}, devicetype TEXT NOT NULL UNIQUE, "
         "nbrofinput INTEGER NOT NULL DEFAULT 0 CHECK (nbrofinput >= 0), "
         "nbrofoutput INTEGER NOT NULL DEFAULT 0 CHECK (nbrofoutput >= 0), "
         "description TEXT, rgbcolor TEXT",
         {}},
        // The system list of a device type.
        {"device_type_system",
         "devicetypeid INTEGER NOT NULL REFERENCES device_type (devicetypeid) ON DELETE CASCADE, "
         "systemid INTEGER NOT NULL REFERENCES subsystem (systemid), "
         "PRIMARY KEY (devicetypeid, systemid)",
         {{"device_type_system_system_idx", "systemid", false}}},
        // A piece of hardware, known by its serial number, in use or not.
        {"hardware_device",
         "serialid {id}, serialnb TEXT NOT NULL UNIQUE, hwname TEXT, hwtype TEXT, "
         "status TEXT NOT NULL {status}, "
         "responsible TEXT, location TEXT, comments TEXT",
         {{"hardware_device_status_idx", "status, location", false},
          {"hardware_device_type_idx", "hwtype", false},
          {"hardware_device_location_idx", "location", false}}},
        // A position in the installation; serialid is the hardware filling it.
        // system_list and function_list are derived: the names of its
        // subsystems and functions joined with ',' in no set order, kept by
        // triggers (kDeviceLists), so that a device's row is one row to read.
        {"functional_device",
         "deviceid {id}, devicename TEXT NOT NULL UNIQUE, "
         "devicetypeid INTEGER NOT NULL REFERENCES device_type (devicetypeid), "
         "dnode INTEGER NOT NULL DEFAULT 0 CHECK (dnode IN (0, 1)), "
         "promiscuous_mode INTEGER NOT NULL DEFAULT 1 CHECK (promiscuous_mode IN (0, 1)), "
         "serialid INTEGER UNIQUE REFERENCES hardware_device (serialid), "
         "location TEXT, responsible TEXT, comments TEXT, system_list TEXT, function_list TEXT",
         {{"functional_device_type_idx", "devicetypeid", false},
          {"functional_device_location_idx", "location", false}}},
        // The system list and the function list of a functional device.
        {"device_system",
         "deviceid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "systemid INTEGER NOT NULL REFERENCES subsystem (systemid), "
         "PRIMARY KEY (deviceid, systemid)",
         {{"device_system_system_idx", "systemid", false}}},
        {"functional_device_function",
         "deviceid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "functionid INTEGER NOT NULL REFERENCES device_function (functionid), "
         "PRIMARY KEY (deviceid, functionid)",
         {{"functional_device_function_function_idx", "functionid", false}}},
        {"ip_info",
         "ipid {id}, ipaddress TEXT NOT NULL UNIQUE, subnet TEXT, ipname TEXT",
         {{"ip_info_ipname_idx", "ipname", false}}},
        {"ip_alias",
         "aliasid {id}, ipid INTEGER NOT NULL REFERENCES ip_info (ipid) ON DELETE CASCADE, "
         "ipalias TEXT NOT NULL UNIQUE",
         {{"ip_alias_ip_idx", "ipid", false}}},
        // A port is (port_nbr, port_way, port_type) on its device; way 1 in, 2 out;
        // an untyped port has port_type '' so that the key stays unique.
        {"port",
         "portid {id}, "
         "deviceid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "port_nbr TEXT NOT NULL, port_way INTEGER NOT NULL CHECK (port_way IN (1, 2)), "
         "port_type TEXT NOT NULL DEFAULT '', speed INTEGER NOT NULL DEFAULT 0, "
         "admin_status INTEGER NOT NULL DEFAULT 1 CHECK (admin_status IN (0, 1)), "
         "pxi_booting INTEGER NOT NULL DEFAULT 0 CHECK (pxi_booting IN (0, 1)), "
         "phy TEXT, bia TEXT, macaddress TEXT, ipid INTEGER REFERENCES ip_info (ipid), "
         "UNIQUE (deviceid, port_nbr, port_way, port_type)",
         {{"port_ip_idx", "ipid", false}}},
        // Ports of spare hardware, kept until the hardware fills a position.
        {"spare_port",
         "spareportid {id}, "
         "serialid INTEGER NOT NULL REFERENCES hardware_device (serialid) ON DELETE CASCADE, "
         "port_nbr TEXT NOT NULL, port_way INTEGER NOT NULL CHECK (port_way IN (1, 2)), "
         "port_type TEXT NOT NULL DEFAULT '', bia TEXT, macaddress TEXT, "
         "UNIQUE (serialid, port_nbr, port_way, port_type)",
         {}},
        // linktypeid is the link type number; a composite type lists its simple types.
        {"link_type", "linktypeid {id}, lktype TEXT NOT NULL UNIQUE", {}},
        {"link_type_member",
         "compositeid INTEGER NOT NULL REFERENCES link_type (linktypeid) ON DELETE CASCADE, "
         "simpleid INTEGER NOT NULL REFERENCES link_type (linktypeid), "
         "PRIMARY KEY (compositeid, simpleid), CHECK (compositeid <> simpleid)",
         {{"link_type_member_simple_idx", "simpleid", false}}},
        // A link from an output port to an input port; each port carries at
        // most one link in its direction.
        {"macro_link",
         "linkid {id}, "
         "portidfrom INTEGER NOT NULL UNIQUE REFERENCES port (portid) ON DELETE CASCADE, "
         "portidto INTEGER NOT NULL UNIQUE REFERENCES port (portid) ON DELETE CASCADE, "
         "linktypeid INTEGER NOT NULL REFERENCES link_type (linktypeid), "
         "bidirectional INTEGER NOT NULL DEFAULT 0 CHECK (bidirectional IN (0, 1)), "
         "lkused INTEGER NOT NULL DEFAULT 1 CHECK (lkused IN (0, 1)), "
         "link_info TEXT, CHECK (portidfrom <> portidto)",
         {{"macro_link_type_idx", "linktypeid", false}}},
        // Board components: the hardware, then the position on a motherboard.
        {"hw_board_cpnt",
         "snbid {id}, serialnb TEXT NOT NULL, hwtype TEXT, "
         "status TEXT NOT NULL {status}, "
         "responsible TEXT, location TEXT, comments TEXT",
         {{"hw_board_cpnt_serialnb_idx", "serialnb", false},
          {"hw_board_cpnt_status_idx", "status, location", false},
          {"hw_board_cpnt_type_idx", "hwtype", false}}},
        {"board_cpnt",
         "cpntid {id}, cpntname TEXT NOT NULL UNIQUE, cpnttype TEXT NOT NULL, "
         "replacable INTEGER NOT NULL DEFAULT 0 CHECK (replacable IN (0, 1)), "
         "motherboardid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "snbid INTEGER UNIQUE REFERENCES hw_board_cpnt (snbid)",
         {{"board_cpnt_motherboard_idx", "motherboardid", false}, {"board_cpnt_type_idx", "cpnttype", false}}},
        // A link on a board; each end is a component or the motherboard itself.
        {"micro_link",
         "linkid {id}, "
         "cpntfrom INTEGER REFERENCES board_cpnt (cpntid) ON DELETE CASCADE, "
         "motherboardfrom INTEGER REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "port_nbrfrom INTEGER NOT NULL, "
         "cpntto INTEGER REFERENCES board_cpnt (cpntid) ON DELETE CASCADE, "
         "motherboardto INTEGER REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "port_nbrto INTEGER NOT NULL, "
         "linktypeid INTEGER NOT NULL REFERENCES link_type (linktypeid), "
         "bidirectional INTEGER NOT NULL DEFAULT 0 CHECK (bidirectional IN (0, 1)), "
         "lkused INTEGER NOT NULL DEFAULT 1 CHECK (lkused IN (0, 1)), "
         "CHECK ((cpntfrom IS NULL) <> (motherboardfrom IS NULL)), "
         "CHECK ((cpntto IS NULL) <> (motherboardto IS NULL))",
         {{"micro_link_cpntfrom_idx", "cpntfrom, port_nbrfrom", true},
          {"micro_link_cpntto_idx", "cpntto, port_nbrto", true},
          {"micro_link_boardfrom_idx", "motherboardfrom, port_nbrfrom", true},
          {"micro_link_boardto_idx", "motherboardto, port_nbrto", true},
          {"micro_link_type_idx", "linktypeid", false}}},
        {"boot_image",
         "deviceid INTEGER PRIMARY KEY REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "boot_image TEXT, kernel_image TEXT, initrd_image TEXT, physical_location TEXT, boot_protocol TEXT",
         {}},
        // Append-only. No foreign key: the history outlives its hardware and
        // positions, so it keeps their ids and names as they were.
        {"history",
         "historyid {id}, hw_kind TEXT NOT NULL CHECK (hw_kind IN ('device', 'component')), "
         "hwid INTEGER NOT NULL, serialnb TEXT NOT NULL, position_id INTEGER, position_name TEXT, "
         "status TEXT NOT NULL, location TEXT, event_date TEXT NOT NULL, comments TEXT",
         {{"history_hw_idx", "hw_kind, hwid, event_date", false},
          {"history_serialnb_idx", "hw_kind, serialnb", false},
          {"history_position_idx", "hw_kind, position_id", false},
          {"history_position_name_idx", "hw_kind, position_name", false}}},
        // One row: the writes committed by this library, and the changes of the
        // network among them (devices, ports, links, link use and direction,
        // the device flags that decide paths). A stored table built at an
        // older network count is stale.
        {"database_state", "writes INTEGER NOT NULL, network INTEGER NOT NULL", {}},
        // Per switch: the output port(s) on a shortest path to each reachable
        // device. Derived data, millions of rows: no foreign key and no
        // secondary index to maintain row by row; the deletes of devices and
        // ports remove the rows that name them (store/paths/tables.cpp).
        {"routing_table",
         "switchid INTEGER NOT NULL, destinationid INTEGER NOT NULL, portid INTEGER NOT NULL, "
         "nbr_links INTEGER NOT NULL CHECK (nbr_links > 0), "
         "PRIMARY KEY (switchid, destinationid, portid)",
         {},
         true},
        // Per output port of a device: the end devices reachable through it.
        {"destination_table",
         "destid {id}, "
         "deviceid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "portid INTEGER NOT NULL REFERENCES port (portid) ON DELETE CASCADE, "
         "destinationid INTEGER NOT NULL REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "nbr_links INTEGER NOT NULL CHECK (nbr_links > 0), "
         "UNIQUE (portid, destinationid)",
         {{"destination_table_device_idx", "deviceid", false},
          {"destination_table_destination_idx", "destinationid", false}}},
        // The devices whose destination table is built (even when it holds no
        // row), with its limit and the network count it was built at.
        {"destination_device",
         "deviceid INTEGER PRIMARY KEY REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "max_links INTEGER NOT NULL CHECK (max_links >= 0), network INTEGER NOT NULL DEFAULT 0",
         {}},
        // The switches whose routing table is built, likewise.
        {"routing_switch",
         "switchid INTEGER PRIMARY KEY REFERENCES functional_device (deviceid) ON DELETE CASCADE, "
         "max_links INTEGER NOT NULL CHECK (max_links >= 0), network INTEGER NOT NULL DEFAULT 0",
         {}},
    };
    return tables;
}

namespace {

// A list column of functional_device kept from a member table (deviceid, key)
// and the table that names the keys.
struct DeviceList {
    const char *column;
    const char *members;
    const char *names;
    const char *key;
    const char *name;
};

const DeviceList kDeviceLists[] = {
    {"system_list", "device_system", "subsystem", "systemid", "system_name"},
    {"function_list", "functional_device_function", "device_function", "functionid", "function_name"},
};

// The statement that sets the list of the devices `which` selects (an IN
// list), where it changes: a device written with its list as the database
// would join it is left alone.
std::string refresh_list(const sql::Connection &db, const DeviceList &list, const std::string &which) {
    const std::string joined = "(SELECT " + db.joined_texts(std::string("n.") + list.name) + " FROM " + list.members +
                               " m JOIN " + list.names + " n ON n." + list.key + " = m." + list.key +
                               " WHERE m.deviceid = functional_device.deviceid)";
    return std::string("UPDATE functional_device SET ") + list.column + " = " + joined + " WHERE deviceid IN (" +
           which + ") AND " + list.column + " IS DISTINCT FROM " + joined;
}

// The triggers of a list: members added, removed or changed, names changed.
struct ListTrigger {
    const char *suffix;
    const char *event;
    bool on_names;
    const char *which;  // the devices to refresh; "{members}" and "{key}" stand for the list's
};

const ListTrigger kListTriggers[] = {
    {"added", "INSERT", false, "{new.deviceid}"},
    {"removed", "DELETE", false, "{old.deviceid}"},
    {"moved", "UPDATE", false, "{old.deviceid} UNION {new.deviceid}"},
    {"renamed", "UPDATE", true, "SELECT deviceid FROM {members} WHERE {key} IN ({new.{key}})"},
};

std::string trigger_name(const DeviceList &list, const ListTrigger &trigger) {
    return std::string(list.column) + "_" + trigger.suffix;
}

void keep_device_lists(sql::Connection &db) {
    for (const DeviceList &list : kDeviceLists)
        for (const ListTrigger &trigger : kListTriggers) {
            std::string which = trigger.which;
            replace_all(which, "{members}", list.members);
            replace_all(which, "{key}", list.key);
            db.create_change_trigger(trigger_name(list, trigger), trigger.event,
                                     trigger.on_names ? list.names : list.members, refresh_list(db, list, which));
        }
}

void create_table(sql::Connection &db, const Table &table) {
    db.execute("CREATE TABLE IF NOT EXISTS " + std::string(table.name) + " (" + expand(table.columns, db) + ")" +
               std::string(table.key_ordered ? db.key_ordered_table() : ""));
    for (const Index &index : table.indexes)
        db.execute(std::string(index.unique ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " IF NOT EXISTS " + index.name +
                   " ON " + table.name + " (" + index.columns + ")");
}

const Table &table_named(std::string_view name) {
    for (const Table &table : schema_tables())
        if (name == table.name) return table;
    throw std::logic_error("no table " + std::string(name));
}

// Version 2: the counts of writes and network changes, and the network count
// each stored table was built at. Tables built before are taken as stale
// (their limit unknown for routing tables: rebuilt without one).
void upgrade_1_to_2(sql::Connection &db) {
    create_table(db, table_named("database_state"));
    db.run("INSERT INTO database_state (writes, network) VALUES (1, 1)");
    db.execute("ALTER TABLE destination_device ADD COLUMN network INTEGER NOT NULL DEFAULT 0");
    create_table(db, table_named("routing_switch"));
    db.run(
        "INSERT INTO routing_switch (switchid, max_links, network) SELECT DISTINCT switchid, 0, 0 FROM routing_table");
}

// Version 3: routing_table keyed by (switchid, destinationid, portid), in
// key order, without routeid, foreign keys or secondary indexes. The rows
// are kept: set aside, the table made anew, copied back in key order.
void upgrade_2_to_3(sql::Connection &db) {
    db.execute(
        "CREATE TABLE routing_table_kept AS SELECT switchid, destinationid, portid, nbr_links FROM routing_table; "
        "DROP TABLE routing_table");
    create_table(db, table_named("routing_table"));
    db.execute(
        "INSERT INTO routing_table (switchid, destinationid, portid, nbr_links) "
        "SELECT switchid, destinationid, portid, nbr_links FROM routing_table_kept "
        "ORDER BY switchid, destinationid, portid; "
        "DROP TABLE routing_table_kept");
}

// Version 4: functional_device carries its system and function lists,
// filled from the member tables and kept by triggers from then on.
void upgrade_3_to_4(sql::Connection &db) {
    for (const DeviceList &list : kDeviceLists) {
        db.execute("ALTER TABLE functional_device ADD COLUMN " +
                   expand((list.column + std::string(" TEXT")).c_str(), db));
        db.execute(refresh_list(db, list, "SELECT deviceid FROM " + std::string(list.members)));
    }
    keep_device_lists(db);
}

}  // namespace

const std::vector<UpgradeStep> &upgrade_steps() {
    static const std::vector<UpgradeStep> steps = {{1, &upgrade_1_to_2}, {2, &upgrade_2_to_3}, {3, &upgrade_3_to_4}};
    return steps;
}

int stored_version(sql::Connection &db) {
    if (!db.has_table("schema_version")) return 0;
    auto stmt = db.prepare("SELECT MAX(version) FROM schema_version");
    return stmt.step() ? static_cast<int>(stmt->column_int(0)) : 0;
}

void upgrade_schema(sql::Connection &db, int version, int target, const std::vector<UpgradeStep> &steps) {
    for (int at = version; at < target; ++at) {
        const UpgradeStep *step = nullptr;
        for (const UpgradeStep &s : steps)
            if (s.from == at) step = &s;
        if (!step)
            throw Failure("CreateTableSchema: no upgrade from schema version " + std::to_string(at) + " to " +
                          std::to_string(at + 1));
        step->apply(db);
    }
    db.run("UPDATE schema_version SET version = ?", target);
}

void create_schema(sql::Connection &db) {
    sql::Transaction transaction(db);
    const int version = stored_version(db);
    if (version > kSchemaVersion)
        throw Failure("CreateTableSchema: the database schema is version " + std::to_string(version) +
                      ", newer than this library's (" + std::to_string(kSchemaVersion) + ")");
    if (version == 0) {
        for (const Table &table : schema_tables()) create_table(db, table);
        keep_device_lists(db);
        db.run("DELETE FROM database_state");
        db.run("INSERT INTO database_state (writes, network) VALUES (1, 1)");
        db.run("DELETE FROM schema_version");
        db.run("INSERT INTO schema_version (version) VALUES (?)", kSchemaVersion);
    } else if (version < kSchemaVersion) {
        upgrade_schema(db, version, kSchemaVersion, upgrade_steps());
    }
    transaction.commit();
}

void drop_schema(sql::Connection &db) {
    sql::Transaction transaction(db);
    const auto &tables = schema_tables();
    for (auto it = tables.rbegin(); it != tables.rend(); ++it)
        db.execute("DROP TABLE IF EXISTS " + std::string(it->name));
    for (const DeviceList &list : kDeviceLists)
        for (const ListTrigger &trigger : kListTriggers) db.drop_change_trigger(trigger_name(list, trigger));
    transaction.commit();
}

void check_schema(sql::Connection &db) {
    const int version = stored_version(db);
    if (version == kSchemaVersion) return;
    if (version == 0) throw Failure(kNoSchema);
    if (version < kSchemaVersion)
        throw Failure("old schema (version " + std::to_string(version) + "): call CreateTableSchema to upgrade it");
    throw Failure("the database schema is version " + std::to_string(version) + ", newer than this library's (" +
                  std::to_string(kSchemaVersion) + ")");
}

}  // namespace ketral::store

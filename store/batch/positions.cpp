#include "store/batch/positions.hpp"

#include <vector>

#include "store/batch/lookups.hpp"
#include "store/hardware_status.hpp"

namespace ketral::store::batch {

namespace {

const char *const kPositionSql =
    "SELECT d.deviceid, d.devicename, COALESCE(d.location, ''), COALESCE(d.serialid, 0), "
    "COALESCE(h.serialnb, ''), COALESCE(h.location, '') "
    "FROM functional_device d LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE ";

bool read_position(sql::Prepared &stmt, Position &out) {
    if (!stmt.step()) return false;
    out.deviceid = stmt->column_int(0);
    out.devicename = stmt->column_text(1);
    out.location = stmt->column_text(2);
    out.serialid = stmt->column_int(3);
    out.serialnb = stmt->column_text(4);
    out.hw_location = stmt->column_text(5);
    return true;
}

std::string hardware_location(sql::Connection &db, std::int64_t serialid) {
    auto stmt = db.prepare("SELECT COALESCE(location, '') FROM hardware_device WHERE serialid = ?");
    stmt.bind(1, serialid);
    return stmt.step() ? stmt->column_text(0) : std::string();
}

}  // namespace

bool find_position(sql::Connection &db, std::string_view devicename, Position &out) {
    auto stmt = db.prepare(std::string(kPositionSql) + "d.devicename = ?");
    stmt.bind(1, devicename);
    return read_position(stmt, out);
}

bool find_position(sql::Connection &db, std::int64_t deviceid, Position &out) {
    auto stmt = db.prepare(std::string(kPositionSql) + "d.deviceid = ?");
    stmt.bind(1, deviceid);
    return read_position(stmt, out);
}

void save_addresses(sql::Connection &db, std::int64_t deviceid, std::int64_t serialid) {
    db.run(
        "INSERT INTO spare_port (serialid, port_nbr, port_way, port_type, bia, macaddress) "
        "SELECT ?, port_nbr, port_way, port_type, bia, macaddress FROM port "
        "WHERE deviceid = ? AND (COALESCE(bia, '') <> '' OR COALESCE(macaddress, '') <> '') "
        "ON CONFLICT (serialid, port_nbr, port_way, port_type) "
        "DO UPDATE SET bia = excluded.bia, macaddress = excluded.macaddress",
        serialid, deviceid);
}

void take_out(Writer &w, const Position &p, const char *status, const std::string &comments) {
    sql::Connection &db = w.db;
    save_addresses(db, p.deviceid, p.serialid);
    db.run("UPDATE port SET bia = NULL, macaddress = NULL WHERE deviceid = ?", p.deviceid);
    // Each UPDATE must find its row: the checks that found it ran in this transaction.
    one_changed(db.run("UPDATE functional_device SET serialid = NULL WHERE deviceid = ? AND serialid = ?", p.deviceid,
                       p.serialid));
    one_changed(db.run("UPDATE hardware_device SET status = ? WHERE serialid = ?", status, p.serialid));
    append_history(
        w, {kDeviceHardware, p.serialid, p.serialnb, p.deviceid, p.devicename, status, p.hw_location, comments});
}

void put_in(Writer &w, const Position &p, std::int64_t serialid, const std::string &serialnb,
            const std::string &comments) {
    sql::Connection &db = w.db;
    db.run(
        "UPDATE port SET "
        "bia = (SELECT s.bia FROM spare_port s WHERE s.serialid = ? AND s.port_nbr = port.port_nbr "
        "AND s.port_way = port.port_way AND s.port_type = port.port_type), "
        "macaddress = (SELECT s.macaddress FROM spare_port s WHERE s.serialid = ? AND s.port_nbr = port.port_nbr "
        "AND s.port_way = port.port_way AND s.port_type = port.port_type) "
        "WHERE deviceid = ?",
        serialid, serialid, p.deviceid);
    db.run(
        "DELETE FROM spare_port WHERE serialid = ? AND EXISTS (SELECT 1 FROM port p WHERE p.deviceid = ? "
        "AND p.port_nbr = spare_port.port_nbr AND p.port_way = spare_port.port_way "
        "AND p.port_type = spare_port.port_type)",
        serialid, p.deviceid);
    one_changed(db.run("UPDATE hardware_device SET status = ?, location = COALESCE(?, location) WHERE serialid = ?",
                       kInUse, or_null(p.location), serialid));
    one_changed(db.run("UPDATE functional_device SET serialid = ? WHERE deviceid = ? AND serialid IS NULL", serialid,
                       p.deviceid));
    append_history(w, {kDeviceHardware, serialid, serialnb, p.deviceid, p.devicename, kInUse,
                       hardware_location(db, serialid), comments});
}

void release_components(Writer &w, std::int64_t deviceid, const std::string &comments) {
    struct Held {
        std::int64_t cpntid, snbid;
        std::string cpntname, serialnb, location;
    };
    std::vector<Held> held;
    {
        auto stmt = w.db.prepare(
            "SELECT c.cpntid, c.cpntname, h.snbid, h.serialnb, COALESCE(h.location, '') FROM board_cpnt c "
            "JOIN hw_board_cpnt h ON h.snbid = c.snbid WHERE c.motherboardid = ? ORDER BY c.cpntid");
        stmt.bind(1, deviceid);
        while (stmt.step())
            held.push_back({stmt->column_int(0), stmt->column_int(2), stmt->column_text(1), stmt->column_text(3),
                            stmt->column_text(4)});
    }
    for (const Held &h : held) {
        w.db.run("UPDATE board_cpnt SET snbid = NULL WHERE cpntid = ?", h.cpntid);
        w.db.run("UPDATE hw_board_cpnt SET status = ? WHERE snbid = ?", kSpare, h.snbid);
        append_history(w,
                       {kComponentHardware, h.snbid, h.serialnb, h.cpntid, h.cpntname, kSpare, h.location, comments});
    }
}

}  // namespace ketral::store::batch

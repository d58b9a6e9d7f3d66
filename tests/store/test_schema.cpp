// The schema: created whole, created again without change, upgraded step by
// step, dropped whole; and the rules its keys promise.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "store/guard.hpp"
#include "store/schema.hpp"
#include "store/sql/sqlite.hpp"

namespace store = ketral::store;
namespace sql = ketral::store::sql;
using sql::DbErrorKind;

namespace {

std::unique_ptr<sql::Connection> fresh_schema() {
    auto db = sql::open_sqlite(":memory:");
    store::create_schema(*db);
    return db;
}

// Every object of the database with its definition.
std::vector<std::string> catalog(sql::Connection &db) {
    std::vector<std::string> out;
    auto stmt = db.prepare("SELECT type || ' ' || name || ' ' || COALESCE(sql, '') FROM sqlite_master ORDER BY name");
    while (stmt.step()) out.push_back(stmt->column_text(0));
    return out;
}

std::set<std::string> names_of(sql::Connection &db, const char *type) {
    std::set<std::string> out;
    auto stmt = db.prepare("SELECT name FROM sqlite_master WHERE type = ? AND name NOT LIKE 'sqlite_%'");
    stmt.bind(1, type);
    while (stmt.step()) out.insert(stmt->column_text(0));
    return out;
}

std::string failure_of(const std::function<void()> &f) {
    try {
        f();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(Schema, CreatesEveryTableAndIndexAndStoresItsVersion) {
    auto db = fresh_schema();
    std::set<std::string> tables, indexes;
    for (const store::Table &t : store::schema_tables()) {
        tables.insert(t.name);
        for (const store::Index &i : t.indexes) indexes.insert(i.name);
    }
    EXPECT_EQ(names_of(*db, "table"), tables);
    EXPECT_EQ(names_of(*db, "index"), indexes);
    EXPECT_EQ(store::stored_version(*db), store::kSchemaVersion);
    EXPECT_NO_THROW(store::check_schema(*db));
}

TEST(Schema, CreatingAgainChangesNothing) {
    auto db = fresh_schema();
    db->run("INSERT INTO device_function (function_name) VALUES (?)", "DHCP");
    const auto before = catalog(*db);
    store::create_schema(*db);
    EXPECT_EQ(catalog(*db), before);
    auto count = db->prepare("SELECT COUNT(*) FROM device_function");
    count.step();
    EXPECT_EQ(count->column_int(0), 1);
    auto versions = db->prepare("SELECT COUNT(*) FROM schema_version");
    versions.step();
    EXPECT_EQ(versions->column_int(0), 1);
}

TEST(Schema, DropRemovesEverythingEvenWithLinkedData) {
    auto db = fresh_schema();
    db->execute(
        "INSERT INTO subsystem (systemid, system_name) VALUES (1, 'DAQ');"
        "INSERT INTO subsystem (systemid, system_name, parentid) VALUES (2, 'DAQ_SUB', 1);"
        "INSERT INTO device_type (devicetypeid, devicetype) VALUES (1, 'switch');"
        "INSERT INTO device_type_system VALUES (1, 1);"
        "INSERT INTO hardware_device (serialid, serialnb, status) VALUES (1, 'SN1', 'IN_USE');"
        "INSERT INTO functional_device (deviceid, devicename, devicetypeid, serialid) VALUES (1, 'sw01', 1, 1);"
        "INSERT INTO functional_device (deviceid, devicename, devicetypeid) VALUES (2, 'sw02', 1);"
        "INSERT INTO port (portid, deviceid, port_nbr, port_way) VALUES (1, 1, '1', 2), (2, 2, '1', 1);"
        "INSERT INTO link_type (linktypeid, lktype) VALUES (1, 'data');"
        "INSERT INTO macro_link (portidfrom, portidto, linktypeid) VALUES (1, 2, 1);");
    store::drop_schema(*db);
    EXPECT_TRUE(names_of(*db, "table").empty());
    EXPECT_TRUE(names_of(*db, "index").empty());
    EXPECT_EQ(store::stored_version(*db), 0);
    EXPECT_NO_THROW(store::drop_schema(*db));  // nothing left to drop is fine
    EXPECT_EQ(failure_of([&] { store::check_schema(*db); }), store::kNoSchema);
}

// ---- versions ----------------------------------------------------------------

namespace {
std::vector<int> applied;
void step_from_1(sql::Connection &db) {
    applied.push_back(1);
    db.execute("CREATE TABLE added_in_2 (i INTEGER)");
}
void step_from_2(sql::Connection &) { applied.push_back(2); }
}  // namespace

TEST(SchemaVersion, UpgradeAppliesEachStepInOrderAndStoresTheTarget) {
    auto db = fresh_schema();
    applied.clear();
    const std::vector<store::UpgradeStep> steps = {{2, &step_from_2}, {1, &step_from_1}};
    store::upgrade_schema(*db, 1, 3, steps);
    EXPECT_EQ(applied, (std::vector<int>{1, 2}));
    EXPECT_EQ(store::stored_version(*db), 3);
    EXPECT_TRUE(db->has_table("added_in_2"));
}

TEST(SchemaVersion, MissingStepIsRefused) {
    auto db = fresh_schema();
    applied.clear();
    const std::vector<store::UpgradeStep> steps = {{1, &step_from_1}};
    EXPECT_EQ(failure_of([&] { store::upgrade_schema(*db, 1, 3, steps); }),
              "CreateTableSchema: no upgrade from schema version 2 to 3");
}

TEST(SchemaVersion, OlderAndNewerSchemasAreNamed) {
    auto db = fresh_schema();
    db->run("UPDATE schema_version SET version = ?", store::kSchemaVersion + 1);
    const std::string newer = "the database schema is version " + std::to_string(store::kSchemaVersion + 1) +
                              ", newer than this library's (" + std::to_string(store::kSchemaVersion) + ")";
    EXPECT_EQ(failure_of([&] { store::check_schema(*db); }), newer);
    EXPECT_EQ(failure_of([&] { store::create_schema(*db); }), "CreateTableSchema: " + newer);
    EXPECT_EQ(store::stored_version(*db), store::kSchemaVersion + 1);
    db->run("UPDATE schema_version SET version = ?", 1);
    EXPECT_EQ(failure_of([&] { store::check_schema(*db); }),
              "old schema (version 1): call CreateTableSchema to upgrade it");
}

// ---- what the keys promise --------------------------------------------------------

struct RuleCase {
    const char *name;
    const char *statement;
    DbErrorKind kind;
};

class SchemaRule : public testing::TestWithParam<RuleCase> {};

TEST_P(SchemaRule, IsEnforcedByTheDatabase) {
    auto db = fresh_schema();
    db->execute(
        "INSERT INTO subsystem (systemid, system_name) VALUES (1, 'DAQ');"
        "INSERT INTO subsystem (systemid, system_name, parentid) VALUES (2, 'DAQ_SUB', 1);"
        "INSERT INTO device_type (devicetypeid, devicetype) VALUES (1, 'switch');"
        "INSERT INTO hardware_device (serialid, serialnb, status) VALUES (1, 'SN1', 'IN_USE');"
        "INSERT INTO functional_device (deviceid, devicename, devicetypeid, serialid) VALUES (1, 'sw01', 1, 1);"
        "INSERT INTO functional_device (deviceid, devicename, devicetypeid) VALUES (2, 'sw02', 1);"
        "INSERT INTO port (portid, deviceid, port_nbr, port_way) VALUES (1, 1, '1', 2), (2, 2, '1', 1),"
        "  (3, 2, '2', 1);"
        "INSERT INTO link_type (linktypeid, lktype) VALUES (1, 'data');"
        "INSERT INTO macro_link (portidfrom, portidto, linktypeid) VALUES (1, 2, 1);"
        "INSERT INTO hw_board_cpnt (snbid, serialnb, status) VALUES (1, 'C1', 'IN_USE');"
        "INSERT INTO board_cpnt (cpntid, cpntname, cpnttype, motherboardid, snbid) VALUES (1, 'c1', 'fpga', 1, 1);"
        "INSERT INTO micro_link (cpntfrom, port_nbrfrom, motherboardto, port_nbrto, linktypeid)"
        "  VALUES (1, 1, 1, 1, 1);");
    try {
        db->prepare(GetParam().statement).run();
        FAIL() << "accepted: " << GetParam().statement;
    } catch (const sql::DbError &e) {
        EXPECT_EQ(e.kind(), GetParam().kind) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SchemaRule,
    testing::Values(
        RuleCase{"device_name_unique", "INSERT INTO functional_device (devicename, devicetypeid) VALUES ('sw01', 1)",
                 DbErrorKind::Duplicate},
        RuleCase{"serialnb_unique", "INSERT INTO hardware_device (serialnb, status) VALUES ('SN1', 'SPARE')",
                 DbErrorKind::Duplicate},
        RuleCase{"hardware_fills_one_position", "UPDATE functional_device SET serialid = 1 WHERE deviceid = 2",
                 DbErrorKind::Duplicate},
        RuleCase{"port_key_unique", "INSERT INTO port (deviceid, port_nbr, port_way) VALUES (1, '1', 2)",
                 DbErrorKind::Duplicate},
        RuleCase{"one_link_out_of_a_port", "INSERT INTO macro_link (portidfrom, portidto, linktypeid) VALUES (1, 3, 1)",
                 DbErrorKind::Duplicate},
        RuleCase{"one_link_into_a_port", "INSERT INTO macro_link (portidfrom, portidto, linktypeid) VALUES (3, 2, 1)",
                 DbErrorKind::Duplicate},
        RuleCase{"one_micro_link_per_component_port",
                 "INSERT INTO micro_link (cpntfrom, port_nbrfrom, motherboardto, port_nbrto, linktypeid)"
                 " VALUES (1, 1, 1, 2, 1)",
                 DbErrorKind::Duplicate},
        RuleCase{"micro_link_end_is_one_thing",
                 "INSERT INTO micro_link (cpntfrom, motherboardfrom, port_nbrfrom, cpntto, port_nbrto, linktypeid)"
                 " VALUES (1, 1, 5, 1, 6, 1)",
                 DbErrorKind::InvalidValue},
        RuleCase{"port_of_missing_device", "INSERT INTO port (deviceid, port_nbr, port_way) VALUES (99, '1', 1)",
                 DbErrorKind::MissingReference},
        RuleCase{"port_way_in_or_out", "INSERT INTO port (deviceid, port_nbr, port_way) VALUES (1, '9', 3)",
                 DbErrorKind::InvalidValue},
        RuleCase{"hardware_status_known", "INSERT INTO hardware_device (serialnb, status) VALUES ('SN2', 'BROKEN')",
                 DbErrorKind::InvalidValue},
        RuleCase{"type_in_use", "DELETE FROM device_type WHERE devicetypeid = 1", DbErrorKind::StillReferenced},
        RuleCase{"hardware_in_use", "DELETE FROM hardware_device WHERE serialid = 1", DbErrorKind::StillReferenced},
        RuleCase{"link_type_in_use", "DELETE FROM link_type WHERE linktypeid = 1", DbErrorKind::StillReferenced},
        RuleCase{"subsystem_with_children", "DELETE FROM subsystem WHERE systemid = 1", DbErrorKind::StillReferenced}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SchemaKeys, DeletingADeviceTakesItsPortsAndLinksButNotTheHistory) {
    auto db = fresh_schema();
    db->execute(
        "INSERT INTO device_type (devicetypeid, devicetype) VALUES (1, 'switch');"
        "INSERT INTO hardware_device (serialid, serialnb, status) VALUES (1, 'SN1', 'SPARE');"
        "INSERT INTO functional_device (deviceid, devicename, devicetypeid) VALUES (1, 'sw01', 1), (2, 'sw02', 1);"
        "INSERT INTO port (portid, deviceid, port_nbr, port_way) VALUES (1, 1, '1', 2), (2, 2, '1', 1);"
        "INSERT INTO link_type (linktypeid, lktype) VALUES (1, 'data');"
        "INSERT INTO macro_link (portidfrom, portidto, linktypeid) VALUES (1, 2, 1);"
        "INSERT INTO history (hw_kind, hwid, serialnb, position_id, position_name, status, event_date)"
        "  VALUES ('device', 1, 'SN1', 1, 'sw01', 'IN_USE', '2024-01-01T00:00:00Z');");
    db->run("DELETE FROM functional_device WHERE deviceid = ?", 1);
    db->run("DELETE FROM hardware_device WHERE serialid = ?", 1);
    auto count = [&](const char *table) {
        auto stmt = db->prepare(std::string("SELECT COUNT(*) FROM ") + table);
        stmt.step();
        return stmt->column_int(0);
    };
    EXPECT_EQ(count("port"), 1);
    EXPECT_EQ(count("macro_link"), 0);
    EXPECT_EQ(count("history"), 1);
}

TEST(SchemaKeys, NumbersOfDeletedRecordsAreNotReused) {
    auto db = fresh_schema();
    const char *insert = "INSERT INTO device_function (function_name) VALUES (?) RETURNING functionid";
    db->insert_id(insert, "a");
    const auto last = db->insert_id(insert, "b");
    db->run("DELETE FROM device_function WHERE functionid = ?", last);
    EXPECT_GT(db->insert_id(insert, "c"), last);
}

// Updates, swaps and deletes on a real SQLite file: every batched update
// writes nothing until its batch closes and nothing at all when a record
// fails; renames are seen by every query and by the connectivity graph;
// swaps move hardware, its addresses and its history; refused deletes leave
// every table as it was, accepted ones take what belongs to the record.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/store/sqlite_file.hpp"

namespace {

// The same outside a function (constant arguments only).
#define CALL_C(fn, ...) [](char *error_) { return fn(__VA_ARGS__, error_); }
// A batched update: its record values; first and last come from the test.
#define BATCH(fn, ...) [](int first_, int last_, char *error_) { return fn(__VA_ARGS__, first_, last_, error_); }
using namespace ketral_test;
using BatchFn = std::function<int(int first, int last, char *)>;

// Two readout boards feed switch sw01, which feeds sw02. Every piece of
// hardware has an entry in the history; sw01 carries a board component.
const char *const kInstallation = R"(
INSERT INTO subsystem VALUES (1, 'DAQ', NULL), (2, 'TFC', NULL), (3, 'DAQ_RO', 1);
INSERT INTO device_function VALUES (1, 'readout'), (2, 'switching');
INSERT INTO device_type VALUES (1, 'SWITCH', 2, 2, 'SWITCH', NULL), (2, 'READOUT', 0, 1, 'readout board', '#fff');
INSERT INTO device_type_system VALUES (1, 1), (2, 3);
INSERT INTO hardware_device VALUES (1, 'HW-SW1', 'sw one', 'switch', 'IN_USE', 'ana', 'rack1', NULL),
    (2, 'HW-SW2', 'sw two', 'switch', 'IN_USE', 'ana', 'rack2', NULL),
    (3, 'HW-SP', 'spare sw', 'switch', 'SPARE', 'ana', 'store', NULL),
    (4, 'HW-RO1', 'ro one', 'ro', 'IN_USE', 'ben', 'rack1', NULL),
    (5, 'HW-DEAD', 'dead', 'switch', 'DESTROYED', NULL, 'bin', NULL);
INSERT INTO functional_device (deviceid, devicename, devicetypeid, dnode, promiscuous_mode, serialid,
    location, responsible, comments) VALUES (1, 'sw01', 1, 0, 1, 1, 'rack1', 'ana', NULL),
    (2, 'sw02', 1, 0, 1, 2, 'rack2', 'ana', NULL), (3, 'ro01', 2, 0, 1, 4, 'rack1', 'ben', NULL),
    (4, 'ro02', 2, 0, 1, NULL, 'rack1', NULL, NULL);
INSERT INTO device_system VALUES (1, 1), (2, 1), (3, 3), (4, 3);
INSERT INTO functional_device_function VALUES (1, 2), (3, 1);
INSERT INTO ip_info VALUES (1, '10.0.0.1', '255.0.0.0', 'sw01'), (2, '10.0.0.3', '255.0.0.0', 'ro01');
INSERT INTO ip_alias VALUES (1, 1, 'gw');
INSERT INTO port (portid, deviceid, port_nbr, port_way, port_type, speed, admin_status, pxi_booting, phy, bia,
                  macaddress, ipid) VALUES
    (1, 3, '0', 2, 'data', 1000, 1, 0, NULL, 'ro:b0', 'ro:m0', 2), (2, 1, '1', 1, 'data', 1000, 1, 0, NULL, 's1:b1', 's1:m1', NULL),
    (3, 1, '2', 2, 'data', 1000, 1, 0, NULL, 's1:b2', NULL, 1), (4, 2, '1', 1, 'data', 1000, 1, 0, NULL, 's2:b1', NULL, NULL),
    (5, 2, '2', 2, 'data', 1000, 1, 0, NULL, NULL, NULL, NULL);
INSERT INTO spare_port VALUES (1, 3, '1', 1, 'data', 'sp:b1', 'sp:m1');
INSERT INTO link_type VALUES (1, 'data'), (2, 'ctrl'), (3, 'mixed');
INSERT INTO link_type_member VALUES (3, 1), (3, 2);
INSERT INTO macro_link VALUES (1, 1, 2, 1, 0, 1, 'ro to sw'), (2, 3, 4, 1, 0, 1, NULL);
INSERT INTO hw_board_cpnt VALUES (1, 'C-1', 'FPGA', 'IN_USE', NULL, 'rack1', NULL), (2, 'C-1', 'PLL', 'SPARE', NULL, 'store', NULL);
INSERT INTO board_cpnt VALUES (1, 'sw01-fpga', 'FPGA', 1, 1, 1);
INSERT INTO boot_image VALUES (3, 'b', 'k', 'i', 'p', 'tftp');
INSERT INTO history (hw_kind, hwid, serialnb, position_id, position_name, status, location, event_date, comments) VALUES
    ('device', 1, 'HW-SW1', 1, 'sw01', 'IN_USE', 'rack1', '2024-01-10T08:00:00Z', NULL),
    ('device', 2, 'HW-SW2', 2, 'sw02', 'IN_USE', 'rack2', '2024-02-10T08:00:00Z', NULL),
    ('device', 3, 'HW-SP', NULL, NULL, 'SPARE', 'store', '2024-03-10T08:00:00Z', NULL),
    ('device', 4, 'HW-RO1', 3, 'ro01', 'IN_USE', 'rack1', '2024-01-10T09:00:00Z', NULL),
    ('component', 1, 'C-1', 1, 'sw01-fpga', 'IN_USE', 'rack1', '2024-01-10T08:00:00Z', NULL);
)";

class Changes : public testing::Test, protected SqliteFile {
protected:
    Changes() : SqliteFile("changes") {}
    void SetUp() override {
        ok(CALL(DBConnexion, path_.c_str(), "", ""));
        ok([](char *e) { return CreateTableSchema(e); });
        execute(kInstallation);
    }
    void TearDown() override {
        char error[KETRAL_ERROR_CAPACITY];
        DBDeconnexion(error);
    }

    // What the connectivity graph answers: the ports of ro01 that lead to devices named *sw*.
    static std::string reachable_from_ro01() {
        std::vector<char> result(4096);
        int length = static_cast<int>(result.size());
        char error[KETRAL_ERROR_CAPACITY];
        const int rc = GetConnOutBetweenDeviceDeviceType("ro01", "sw", 0, &length, result.data(), 0, 0, error);
        if (rc != 0) return std::string("failed: ") + error;
        std::string out(result.data(), static_cast<size_t>(length));
        for (char &c : out)
            if (c == '\0') c = ' ';
        return out;
    }
};

// A text answer (in/out length, then the buffer) with its items separated by blanks.
std::string answer(const std::function<int(int *, char *, char *)> &query) {
    std::vector<char> result(20000);
    int length = static_cast<int>(result.size());
    char error[KETRAL_ERROR_CAPACITY];
    if (query(&length, result.data(), error) != 0) return std::string("failed: ") + error;
    std::string out(result.data(), static_cast<size_t>(length));
    while (!out.empty() && out.back() == '\0') out.pop_back();
    for (char &c : out)
        if (c == '\0') c = ' ';
    return out;
}
#define ANSWER(fn, ...) answer([&](int *len_, char *res_, char *err_) { return fn(__VA_ARGS__, len_, res_, err_); })
#define ANSWER_RL(fn, ...) answer([&](int *len_, char *res_, char *err_) { return fn(__VA_ARGS__, res_, len_, err_); })
#define HISTORY(fn, key, from, to) \
    answer([&](int *len_, char *res_, char *err_) { return fn(key, res_, len_, from, to, err_); })

// ---- every batched update: nothing until the batch closes, nothing at all on a failure ----

struct BatchedUpdate {
    const char *name;
    BatchFn good;         // a record that changes something
    BatchFn bad;          // a record refused after the good one
    const char *refusal;  // its message after "<name>: record 2: "
};

const BatchedUpdate kBatchedUpdates[] = {
    {"UpdateMultiplePorts", BATCH(UpdateMultiplePorts, "sw01", "1", 1, "data", 10000, "LR", 1),
     BATCH(UpdateMultiplePorts, "sw01", "9", 1, "data", 0, "", 0),
     "port 9 (way 1, type 'data') of 'sw01' does not exist"},
    {"UpdateMultipleAttributeMacIPs", BATCH(UpdateMultipleAttributeMacIPs, "10.0.0.1", "255.255.0.0", "core"),
     BATCH(UpdateMultipleAttributeMacIPs, "10.9.9.9", "", ""), "no IP address '10.9.9.9'"},
    {"UpdateMultipleIPAddresses", BATCH(UpdateMultipleIPAddresses, "10.0.0.1", "10.0.1.1"),
     BATCH(UpdateMultipleIPAddresses, "10.0.0.3", "10.0.1.1"),
     "IP address '10.0.1.1' already comes in record 1 of this batch"},
    {"UpdateMultipleCompositeLinkTypes", BATCH(UpdateMultipleCompositeLinkTypes, "mixed", "data"),
     BATCH(UpdateMultipleCompositeLinkTypes, "data", "ctrl"),
     "link type 'data' is simple: only a composite type has a link list"},
    {"UpdateMultipleLinkTypeNames", BATCH(UpdateMultipleLinkTypeNames, "ctrl", "control"),
     BATCH(UpdateMultipleLinkTypeNames, "data", "a,b"),
     "',' is not allowed in the new name (lists separate names with it): 'a,b'"},
    {"UpdateMultipleDeviceTypeAttributes", BATCH(UpdateMultipleDeviceTypeAttributes, "SWITCH", "big", 4, 4, "#000"),
     BATCH(UpdateMultipleDeviceTypeAttributes, "SWITCH", "", -1, 0, ""), "nbrofinput cannot be negative (-1)"},
    {"UpdateMultipleDeviceTypes", BATCH(UpdateMultipleDeviceTypes, "READOUT", "RO"),
     BATCH(UpdateMultipleDeviceTypes, "READOUT", "RO2"), "device type 'READOUT' was renamed by record 1 of this batch"},
    {"UpdateMultipleAttributesDevices", BATCH(UpdateMultipleAttributesDevices, "ro02", 1, 0, "rack9", "readout"),
     BATCH(UpdateMultipleAttributesDevices, "ro02", 2, 0, "", ""), "dnode must be 0 or 1, not 2"},
    {"UpdateMultipleDevNamesDevices", BATCH(UpdateMultipleDevNamesDevices, "ro02", "ro99"),
     BATCH(UpdateMultipleDevNamesDevices, "sw01", "sw02"), "device 'sw02' already exists"},
    {"UpdateMultipleDTypeDevices", BATCH(UpdateMultipleDTypeDevices, "ro02", "SWITCH"),
     BATCH(UpdateMultipleDTypeDevices, "ro02", "NOPE"), "no device type named 'NOPE'"},
    {"UpdateMultipleDeviceSystemList", BATCH(UpdateMultipleDeviceSystemList, "ro02", "TFC"),
     BATCH(UpdateMultipleDeviceSystemList, "ro02", "DAQ,NOPE"), "no subsystem named 'NOPE' (system list 'DAQ,NOPE')"},
    {"UpdateMultipleDeviceTypeSystemList", BATCH(UpdateMultipleDeviceTypeSystemList, "SWITCH", "TFC"),
     BATCH(UpdateMultipleDeviceTypeSystemList, "NOPE", "DAQ"), "no device type named 'NOPE'"},
    {"UpdateMultipleBidirectionalLinks",
     BATCH(UpdateMultipleBidirectionalLinks, "ro01", "sw01", "0", "data", "1", "data", 1),
     BATCH(UpdateMultipleBidirectionalLinks, "ro01", "sw01", "0", "data", "1", "data", 3),
     "bidirectional must be 0 or 1, not 3"},
    {"UpdateMultipleLkUsedLinks", BATCH(UpdateMultipleLkUsedLinks, "ro01", "sw01", "0", "data", "1", "data", 0),
     BATCH(UpdateMultipleLkUsedLinks, "sw02", "sw01", "2", "data", "1", "data", 0),
     "no link from port 2 (way 2, type 'data') of 'sw02' to port 1 (way 1, type 'data') of 'sw01'"},
    {"UpdateMultipleLkTypeLinks", BATCH(UpdateMultipleLkTypeLinks, "ro01", "sw01", "0", "data", "1", "data", "ctrl"),
     BATCH(UpdateMultipleLkTypeLinks, "ro01", "sw01", "0", "data", "1", "data", "nope"), "no link type named 'nope'"},
    {"UpdateMultipleLkInfoLinks", BATCH(UpdateMultipleLkInfoLinks, "ro01", "sw01", "0", "data", "1", "data", "fibre"),
     BATCH(UpdateMultipleLkInfoLinks, "ro01", "nodev", "0", "data", "1", "data", ""), "no device named 'nodev'"},
};

class Batched : public Changes, public testing::WithParamInterface<BatchedUpdate> {
protected:
    Fn with(const BatchFn &f, int first, int last) {
        return [=](char *e) { return f(first, last, e); };
    }
};

TEST_P(Batched, NothingIsWrittenBeforeTheBatchClosesNorAtAllWhenARecordFails) {
    const BatchedUpdate &u = GetParam();
    const auto before = snapshot();
    ok(with(u.good, 1, 0));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(refused(with(u.bad, 0, 1)), std::string(u.name) + ": record 2: " + u.refusal);
    // The batch is gone with its first record.
    EXPECT_EQ(refused(with(u.good, 0, 1)),
              std::string(u.name) + ": no batch is open: its first record comes with first = 1");
    EXPECT_EQ(snapshot(), before);
    // The session goes on: a new batch is written when it closes.
    ok(with(u.good, 1, 1));
    EXPECT_NE(snapshot(), before) << "the update changed nothing";
}

TEST_P(Batched, AnotherOperationWaitsForTheOpenBatchAndDisconnectingDiscardsIt) {
    const BatchedUpdate &u = GetParam();
    const auto before = snapshot();
    ok(with(u.good, 1, 0));
    const std::string message = refused(CALL(UpdateSubsystemName, "TFC", "TTC"));
    EXPECT_EQ(message.rfind(std::string("UpdateSubsystemName: a batch of ") + u.name + " is open (1 record)", 0), 0u)
        << message;
    ok([](char *e) { return DBDeconnexion(e); });
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Updates, Batched, testing::ValuesIn(kBatchedUpdates),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- renames ------------------------------------------------------------------------

struct Rename {
    const char *name;
    Fn rename;
    std::function<std::string()> seen;  // a query showing the record, or what points to it, under its new name
    const char *expected;
    std::function<std::string()> old;  // a query by the old name, which finds nothing now
};

std::string nothing() { return "NO_ROWS_SELECTED"; }

const Rename kRenames[] = {
    {"device", CALL_C(UpdateMultipleDevNamesDevices, "sw01", "core01", 1, 1),
     [] { return ANSWER(GetMacroConnectivityRow_lkid, 1); }, R"("node_to":"core01")",
     [] { return ANSWER(GetDeviceRow_devicename, "sw01"); }},
    {"device type", CALL_C(UpdateMultipleDeviceTypes, "SWITCH", "L2", 1, 1),
     [] { return ANSWER(GetDeviceRow_devicename, "sw01"); }, R"("devicetype":"L2")",
     [] { return ANSWER(GetDeviceTypeRow, "SWITCH"); }},
    {"link type", CALL_C(UpdateMultipleLinkTypeNames, "data", "payload", 1, 1),
     [] { return ANSWER(GetMacroConnectivityRow_lkid, 1); }, R"("lktype":"payload")",
     [] { return ANSWER(GetLkTypeRow_lkname, "data"); }},
    {"IP address", CALL_C(UpdateMultipleIPAddresses, "10.0.0.1", "10.1.1.1", 1, 1),
     [] { return ANSWER(GetIPAliasRow, "gw"); }, R"("ipaddress":"10.1.1.1")",
     [] { return ANSWER(GetIPInfoRow, "10.0.0.1"); }},
    {"IP alias", CALL_C(UpdateIPalias, "gw", "gateway"), [] { return ANSWER(GetIPAliasesPerIPName, "sw01"); },
     "gateway", [] { return ANSWER(GetIPAliasRow, "gw"); }},
    {"device function", CALL_C(UpdateDeviceFunctionName, "switching", "L2"),
     [] { return ANSWER(GetDeviceRow_devicename, "sw01"); }, R"("function_list":"L2")",
     [] { return ANSWER(GetDeviceNamesPerFunction, "switching"); }},
    {"subsystem", CALL_C(UpdateSubsystemName, "DAQ", "DAQ2"), [] { return ANSWER(GetDeviceTypeRow, "SWITCH"); },
     R"("system_list":"DAQ2")", nothing},
    {"serial number", CALL_C(UpdateHWSerialNB, "HW-SW1", "HW-SW1b"),
     [] { return ANSWER(GetDeviceRow_devicename, "sw01"); }, R"("serialnb":"HW-SW1b")",
     [] { return ANSWER(GetHWDeviceRow_serialnb, "HW-SW1"); }},
    {"component serial number", CALL_C(UpdateHWSerialNB, "C-9", "C-10"),
     [] { return ANSWER(GetBoardCpntRow_cpntname, "sw02-pll"); }, R"("serialnb":"C-10")",
     [] { return ANSWER(GetHWCpntRow_serialnb, "C-9"); }},
};

class Renames : public Changes, public testing::WithParamInterface<Rename> {};

TEST_P(Renames, TheNewNameIsSeenAndTheOldOneIsGone) {
    const Rename &r = GetParam();
    execute(
        "INSERT INTO hw_board_cpnt VALUES (3, 'C-9', 'PLL', 'IN_USE', NULL, 'rack2', NULL);"
        "INSERT INTO board_cpnt VALUES (2, 'sw02-pll', 'PLL', 1, 2, 3);");
    ok(r.rename);
    const std::string seen = r.seen();
    EXPECT_NE(seen.find(r.expected), std::string::npos) << seen;
    EXPECT_EQ(r.old(), "NO_ROWS_SELECTED");
}

INSTANTIATE_TEST_SUITE_P(Updates, Renames, testing::ValuesIn(kRenames), [](const auto &info) {
    std::string name = info.param.name;
    for (char &c : name)
        if (c == ' ') c = '_';
    return name;
});

TEST_F(Changes, TheGraphSeesRenamesAndLinkChanges) {
    EXPECT_EQ(reachable_from_ro01(), "sw01|0:out:data|1 sw02|0:out:data|2 ");
    ok(CALL(UpdateMultipleDevNamesDevices, "sw01", "core01", 1, 1));
    EXPECT_EQ(reachable_from_ro01(), "sw02|0:out:data|2 ");
    ok(CALL(UpdateMultipleDevNamesDevices, "core01", "sw01", 1, 1));
    ok(CALL(UpdateMultipleLkUsedLinks, "sw01", "sw02", "2", "data", "1", "data", 0, 1, 1));
    EXPECT_EQ(reachable_from_ro01(), "sw01|0:out:data|1 ");
    ok(CALL(DeleteLinkRow, 1, 0));
    EXPECT_EQ(reachable_from_ro01(), "");
}

TEST_F(Changes, ABatchOfRenamesSeesItsEarlierRecords) {
    // A chain, and an exchange through a free name.
    ok(CALL(UpdateMultipleDevNamesDevices, "ro01", "tmp", 1, 0));
    ok(CALL(UpdateMultipleDevNamesDevices, "ro02", "ro01", 0, 0));
    ok(CALL(UpdateMultipleDevNamesDevices, "tmp", "ro02", 0, 0));
    ok(CALL(UpdateMultipleDevNamesDevices, "sw01", "a", 0, 0));
    ok(CALL(UpdateMultipleDevNamesDevices, "a", "b", 0, 1));
    EXPECT_EQ(rows("SELECT deviceid, devicename FROM functional_device ORDER BY deviceid"),
              (std::vector<std::string>{"1|b", "2|sw02", "3|ro02", "4|ro01"}));
    const auto before = snapshot();
    ok(CALL(UpdateMultipleDevNamesDevices, "b", "c", 1, 0));
    EXPECT_EQ(refused(CALL(UpdateMultipleDevNamesDevices, "b", "d", 0, 1)),
              "UpdateMultipleDevNamesDevices: record 2: device 'b' was renamed by record 1 of this batch");
    ok(CALL(UpdateMultipleDevNamesDevices, "sw02", "x", 1, 0));
    EXPECT_EQ(refused(CALL(UpdateMultipleDevNamesDevices, "ro01", "x", 0, 1)),
              "UpdateMultipleDevNamesDevices: record 2: device 'x' already comes in record 1 of this batch");
    EXPECT_EQ(refused(CALL(UpdateMultipleDevNamesDevices, "ro01", "a|b", 1, 1)),
              "UpdateMultipleDevNamesDevices: record 1: '|' is not allowed in the new name: 'a|b'");
    EXPECT_EQ(refused(CALL(UpdateSubsystemName, "TFC", "DAQ")), "UpdateSubsystemName: subsystem 'DAQ' already exists");
    EXPECT_EQ(refused(CALL(UpdateHWSerialNB, "C-1", "C-2")),
              "UpdateHWSerialNB: several pieces of component hardware have the serial number 'C-1': it names none "
              "of them alone");
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Changes, AConflictWrittenMeanwhileFailsTheBatchNamingItsRecord) {
    ok(CALL(UpdateMultipleAttributesDevices, "ro01", 1, 1, "x", "", 1, 0));
    ok(CALL(UpdateMultipleAttributesDevices, "ro02", 1, 1, "y", "", 0, 0));
    execute("DELETE FROM functional_device WHERE deviceid = 4");  // by another process
    EXPECT_EQ(refused(CALL(UpdateMultipleAttributesDevices, "sw02", 1, 1, "z", "", 0, 1)),
              "UpdateMultipleAttributesDevices: record 2: no device named 'ro02'");
    EXPECT_EQ(one("SELECT location FROM functional_device WHERE deviceid = 3"), "rack1");
    ok(CALL(UpdateMultipleDevNamesDevices, "sw02", "sw09", 1, 0));
    execute("INSERT INTO functional_device (devicename, devicetypeid) VALUES ('sw09', 1)");
    EXPECT_EQ(refused(CALL(UpdateMultipleDevNamesDevices, "ro01", "ro09", 0, 1)),
              "UpdateMultipleDevNamesDevices: record 1: device 'sw09' already exists");
    EXPECT_EQ(one("SELECT devicename FROM functional_device WHERE deviceid = 3"), "ro01");
}

// ---- swaps -------------------------------------------------------------------------------

TEST_F(Changes, TwoDevicesExchangeTheirHardwareAndItsAddresses) {
    ok(CALL(SwapTwoDevices, "sw01", "sw02", "moved"));
    EXPECT_EQ(rows("SELECT d.devicename, h.serialnb, h.status, h.location FROM functional_device d "
                   "JOIN hardware_device h ON h.serialid = d.serialid WHERE d.deviceid IN (1, 2) ORDER BY 1"),
              (std::vector<std::string>{"sw01|HW-SW2|IN_USE|rack1", "sw02|HW-SW1|IN_USE|rack2"}));
    // Addresses are the hardware's: they follow it port by port (key by key).
    EXPECT_EQ(rows("SELECT deviceid, port_nbr, bia, macaddress FROM port WHERE deviceid IN (1, 2) ORDER BY 1, 2"),
              (std::vector<std::string>{"1|1|s2:b1|NULL", "1|2|NULL|NULL", "2|1|s1:b1|s1:m1", "2|2|s1:b2|NULL"}));
    EXPECT_EQ(rows("SELECT serialid, port_nbr FROM spare_port WHERE serialid IN (1, 2)"), std::vector<std::string>{});
    EXPECT_EQ(rows("SELECT serialnb, position_name, status, location, comments FROM history "
                   "WHERE event_date > '2025' ORDER BY historyid"),
              (std::vector<std::string>{"HW-SW2|sw01|IN_USE|rack1|moved", "HW-SW1|sw02|IN_USE|rack2|moved"}));
    EXPECT_EQ(ANSWER_RL(GetHWLastFunctionalDevice, "HW-SW1"), "sw02");
    EXPECT_EQ(ANSWER_RL(GetFunctionalDeviceLastHW, "sw01"), "HW-SW2");
}

TEST_F(Changes, ASpareTakesAPositionAndTheHardwareItReplacesGoesOut) {
    ok(CALL(SwapTwoDevices, "sw01", "HW-SP", "IN_REPAIR: fan"));
    EXPECT_EQ(rows("SELECT serialnb, status, location FROM hardware_device WHERE serialid IN (1, 3) ORDER BY 1"),
              (std::vector<std::string>{"HW-SP|IN_USE|rack1", "HW-SW1|IN_REPAIR|rack1"}));
    EXPECT_EQ(one("SELECT serialid FROM functional_device WHERE deviceid = 1"), "3");
    // The spare's address comes in; the old hardware keeps its own in its spare ports.
    EXPECT_EQ(rows("SELECT port_nbr, bia, macaddress FROM port WHERE deviceid = 1 ORDER BY 1"),
              (std::vector<std::string>{"1|sp:b1|sp:m1", "2|NULL|NULL"}));
    EXPECT_EQ(rows("SELECT serialid, port_nbr, port_way, bia, macaddress FROM spare_port ORDER BY 1, 2"),
              (std::vector<std::string>{"1|1|1|s1:b1|s1:m1", "1|2|2|s1:b2|NULL"}));
    EXPECT_EQ(rows("SELECT serialnb, position_name, status, comments FROM history WHERE event_date > '2025' "
                   "ORDER BY historyid"),
              (std::vector<std::string>{"HW-SW1|sw01|IN_REPAIR|IN_REPAIR: fan", "HW-SP|sw01|IN_USE|fan"}));
    // Back again: the repaired hardware comes in, with its addresses; the spare goes out.
    ok(CALL(SwapTwoDevices, "sw01", "HW-SW1", "repaired"));
    EXPECT_EQ(rows("SELECT port_nbr, bia, macaddress FROM port WHERE deviceid = 1 ORDER BY 1"),
              (std::vector<std::string>{"1|s1:b1|s1:m1", "2|s1:b2|NULL"}));
    EXPECT_EQ(rows("SELECT serialid, port_nbr, bia, macaddress FROM spare_port ORDER BY 1, 2"),
              (std::vector<std::string>{"3|1|sp:b1|sp:m1"}));
    EXPECT_EQ(one("SELECT status FROM hardware_device WHERE serialid = 3"), "SPARE");
    // An empty position simply takes the spare.
    ok(CALL(SwapTwoDevices, "ro02", "HW-SP", ""));
    EXPECT_EQ(one("SELECT h.serialnb, h.status, h.location FROM functional_device d JOIN hardware_device h "
                  "ON h.serialid = d.serialid WHERE d.devicename = 'ro02'"),
              "HW-SP|IN_USE|rack1");
}

TEST_F(Changes, RefusedSwapsChangeNothing) {
    const auto before = snapshot();
    const struct {
        const char *device, *other, *comments, *message;
    } cases[] = {
        {"nope", "sw02", "", "no device named 'nope'"},
        {"sw01", "nope", "", "no device named 'nope' and no hardware with serial number 'nope'"},
        {"sw01", "sw01", "", "device 'sw01' cannot be swapped with itself"},
        {"sw01", "ro02", "", "device 'ro02' has no hardware to exchange"},
        {"sw01", "sw02", "TEST: bench",
         "the comment gives the status TEST to hardware taken out of its position, "
         "and an exchange of two devices takes none out"},
        {"sw01", "HW-SW2", "",
         "hardware 'HW-SW2' fills device 'sw02': give that device's name to exchange the "
         "hardware of the two"},
        {"sw01", "HW-SW1", "", "hardware 'HW-SW1' already fills 'sw01'"},
        {"sw01", "HW-DEAD", "", "hardware 'HW-DEAD' is DESTROYED: it cannot take a position"},
        {"sw01", "HW-SP", "IN_USE: no", "hardware taken out of its position cannot stay IN_USE"},
        {"ro02", "HW-SP", "IN_REPAIR",
         "device 'ro02' has no hardware to take out, to which the status IN_REPAIR of "
         "the comment would apply"},
        {"sw01", "", "", "a second device name or a serial number is needed"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(refused(CALL(SwapTwoDevices, c.device, c.other, c.comments)),
                  std::string("SwapTwoDevices: ") + c.message);
    execute("INSERT INTO hardware_device VALUES (9, 'ro02', NULL, NULL, 'SPARE', NULL, NULL, NULL)");
    EXPECT_EQ(refused(CALL(SwapTwoDevices, "sw01", "ro02", "")),
              "SwapTwoDevices: 'ro02' names both a device and a serial number: the swap cannot tell which");
    execute("DELETE FROM hardware_device WHERE serialid = 9");
    EXPECT_EQ(snapshot(), before);
}

// ---- deletes ------------------------------------------------------------------------------

TEST_F(Changes, RefusedDeletesLeaveEverythingInPlace) {
    const auto before = snapshot();
    const struct {
        Fn call;
        const char *message;
    } cases[] = {
        {CALL(DeletePortRow, 2),
         "DeletePortRow: port 1 (way 1, type 'data') of 'sw01' carries link 1 from port 0 "
         "(way 2, type 'data') of 'ro01': delete the link first (DeleteLinkRow)"},
        {CALL(DeletePortRow, 3),
         "DeletePortRow: port 2 (way 2, type 'data') of 'sw01' carries link 2 to port 1 "
         "(way 1, type 'data') of 'sw02': delete the link first (DeleteLinkRow)"},
        {CALL(DeletePortRow, 99), "DeletePortRow: no port with id 99"},
        {CALL(DeleteFunctionalDevice, 99), "DeleteFunctionalDevice: no device with id 99"},
        {CALL(DeleteFunctionalDeviceType, "SWITCH"),
         "DeleteFunctionalDeviceType: device type 'SWITCH' is the type "
         "of devices 'sw01', 'sw02': delete them or change their type first"},
        {CALL(DeleteFunctionalDeviceType, "NOPE"), "DeleteFunctionalDeviceType: no device type named 'NOPE'"},
        {CALL(DeleteHWDevice, "HW-SW1"),
         "DeleteHWDevice: hardware 'HW-SW1' is in use in device 'sw01': take it out "
         "first (SwapTwoDevices)"},
        {CALL(DeleteHWDevice, "NOPE"), "DeleteHWDevice: no hardware with serial number 'NOPE'"},
        {CALL(DeleteSystemName, "DAQ"), "DeleteSystemName: subsystem 'DAQ' is the parent of 'DAQ_RO'"},
        {CALL(DeleteSystemName, "DAQ_RO"),
         "DeleteSystemName: subsystem 'DAQ_RO' is in the system list of devices "
         "'ro01', 'ro02'"},
        {CALL(DeleteBootImage, "ro02"), "DeleteBootImage: device 'ro02' has no boot images"},
        {CALL(DeleteIPAlias, "nope"), "DeleteIPAlias: no IP alias 'nope'"},
        {CALL(DeleteLinkRow, 99, 0), "DeleteLinkRow: no macro link with id 99"},
        {CALL(DeleteLinkRow, 1, 1), "DeleteLinkRow: no micro link with id 1"},
        {CALL(DeleteLinkRow, 1, 2), "DeleteLinkRow: link_kind must be 0 (macro link) or 1 (micro link), not 2"},
    };
    for (const auto &c : cases) EXPECT_EQ(refused(c.call), c.message);
    execute("DELETE FROM device_system WHERE systemid = 3");
    execute("INSERT INTO device_type_system VALUES (1, 3)");
    EXPECT_EQ(refused(CALL(DeleteSystemName, "DAQ_RO")),
              "DeleteSystemName: subsystem 'DAQ_RO' is in the system list of device types 'READOUT', 'SWITCH'");
}

TEST_F(Changes, DeletesTakeTheirRecordAndWhatBelongsToIt) {
    const struct {
        Fn call;
        const char *gone;  // counts what must be gone
    } cases[] = {
        {CALL(DeleteLinkRow, 2, 0), "SELECT COUNT(*) FROM macro_link WHERE linkid = 2"},
        {CALL(DeletePortRow, 5), "SELECT COUNT(*) FROM port WHERE portid = 5"},
        {CALL(DeleteIPAlias, "gw"), "SELECT COUNT(*) FROM ip_alias"},
        {CALL(DeleteBootImage, "ro01"), "SELECT COUNT(*) FROM boot_image"},
        {CALL(DeleteSystemName, "TFC"), "SELECT COUNT(*) FROM subsystem WHERE system_name = 'TFC'"},
        {CALL(DeleteHWDevice, "HW-SP"), "SELECT COUNT(*) FROM hardware_device h JOIN spare_port s USING (serialid)"},
    };
    for (const auto &c : cases) {
        ok(c.call);
        EXPECT_EQ(one(c.gone), "0") << c.gone;
    }
    // Deleted hardware keeps its history, closed by a last entry.
    EXPECT_EQ(rows("SELECT status, comments FROM history WHERE serialnb = 'HW-SP' ORDER BY historyid"),
              (std::vector<std::string>{"SPARE|NULL", "SPARE|hardware deleted"}));
    EXPECT_NE(HISTORY(GetHistoryOfHWDevice, "HW-SP", "", "").find("hardware deleted"), std::string::npos);
    ok(CALL(DeleteLinkRow, 1, 0));
    ok(CALL(DeletePortRow, 1));
    // ro01's port had the address 10.0.0.3: it went with the port.
    EXPECT_EQ(one("SELECT COUNT(*) FROM ip_info WHERE ipaddress = '10.0.0.3'"), "0");
}

TEST_F(Changes, DeletingADeviceTakesItsPartsAndFreesItsHardware) {
    execute("INSERT INTO port (portid, deviceid, port_nbr, port_way, ipid) VALUES (6, 2, 'm', 1, 1)");
    EXPECT_EQ(reachable_from_ro01(), "sw01|0:out:data|1 sw02|0:out:data|2 ");
    ok(CALL(DeleteFunctionalDevice, 1));
    EXPECT_EQ(one("SELECT COUNT(*) FROM functional_device WHERE deviceid = 1"), "0");
    EXPECT_EQ(one("SELECT COUNT(*) FROM port WHERE deviceid = 1"), "0");
    EXPECT_EQ(one("SELECT COUNT(*) FROM macro_link"), "0");
    EXPECT_EQ(one("SELECT COUNT(*) FROM board_cpnt"), "0");
    // 10.0.0.1 stays: a port of sw02 has it too.
    EXPECT_EQ(one("SELECT COUNT(*) FROM ip_info WHERE ipaddress = '10.0.0.1'"), "1");
    // The hardware goes back to SPARE, with its addresses, and the history says why.
    EXPECT_EQ(one("SELECT status FROM hardware_device WHERE serialid = 1"), "SPARE");
    EXPECT_EQ(rows("SELECT port_nbr, bia, macaddress FROM spare_port WHERE serialid = 1 ORDER BY 1"),
              (std::vector<std::string>{"1|s1:b1|s1:m1", "2|s1:b2|NULL"}));
    EXPECT_EQ(one("SELECT status FROM hw_board_cpnt WHERE snbid = 1"), "SPARE");
    EXPECT_EQ(rows("SELECT hw_kind, serialnb, position_name, status, comments FROM history WHERE event_date > '2025' "
                   "ORDER BY historyid"),
              (std::vector<std::string>{"device|HW-SW1|sw01|SPARE|device 'sw01' deleted",
                                        "component|C-1|sw01-fpga|SPARE|device 'sw01' deleted"}));
    EXPECT_EQ(reachable_from_ro01(), "");
    // The position's history outlives it.
    EXPECT_EQ(ANSWER_RL(GetFunctionalDeviceLastHW, "sw01"), "HW-SW1");
    ok(CALL(DeleteFunctionalDevice, 2));
    EXPECT_EQ(one("SELECT COUNT(*) FROM ip_info"), "1");
    EXPECT_EQ(one("SELECT COUNT(*) FROM ip_alias"), "0");
}

}  // namespace

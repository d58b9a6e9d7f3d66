// The inserts on a real SQLite file: the batch protocol of every batched and
// single insert (all or nothing, the failing record named, duplicates in the
// database and within the batch, flags and open batches), then what each
// kind of record writes, read back with plain SQL on a second connection.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/store/sqlite_file.hpp"

namespace {

#define CALL0(fn) [](char *error_) { return fn(error_); }
using namespace ketral_test;

std::string str(const char *prefix, int i) { return prefix + std::to_string(i); }

// A database file, written by the library and read back through its own connection.
class Inserts : public testing::Test, protected SqliteFile {
protected:
    Inserts() : SqliteFile("inserts") {}
    void SetUp() override {
        ok(CALL(DBConnexion, path_.c_str(), "", ""));
        ok(CALL0(CreateTableSchema));
        install();
    }
    void TearDown() override {
        char error[KETRAL_ERROR_CAPACITY];
        DBDeconnexion(error);
    }

    // Subsystems, a function, link types, a device type, devices sw0..sw5
    // with ports o1..o4 (out) and i1..i4 (in), an address, spare hardware.
    static void install() {
        ok(CALL(InsertSubsystem, "DAQ", ""));
        ok(CALL(InsertSubsystem, "TFC", "DAQ"));
        ok(CALL(InsertSimpleDeviceFunction, "DHCP", 1));
        ok(CALL(InsertSimpleLinkType, "data", 0));
        ok(CALL(InsertSimpleLinkType, "ctl", 1));
        ok(CALL(InsertDeviceType, "DAQ", "SW", 8, 8, "", "", 1));
        for (int d = 0; d < 6; ++d)
            ok(CALL(InsertFunctionalDevice, "", str("sw", d).c_str(), "SW", 0, 1, "", "", "", "", "rack1", "",
                    d == 5 ? 1 : 0));
        for (int d = 0; d < 6; ++d)
            for (int p = 1; p <= 4; ++p)
                for (int way = 1; way <= 2; ++way) {
                    const bool first = d == 0 && p == 1 && way == 1, last = d == 5 && p == 4 && way == 2;
                    const bool ip = d == 0 && p == 1 && way == 2;
                    ok(CALL(InsertMultiplePorts, str("sw", d).c_str(), str(way == 1 ? "i" : "o", p).c_str(), 1, way,
                            1000, 0, "data", "", ip ? "10.0.0.1" : "", ip ? "sw0-o1" : "", ip ? "255.0.0.0" : "", "",
                            "", first, last));
                }
        ok(CALL(InsertSpareDevice, "spare", "PC", "SPARE1", "me", "", "store", 1));
    }
};

// ---- the batch protocol, per batched insert ---------------------------------------

struct BatchCase {
    const char *op;
    std::function<int(int i, int first, int last, char *error)> record;  // valid and distinct for i = 1..4
    std::function<int(int first, int last, char *error)> bad;            // refused by its checks
    const char *bad_message;
    const char *count;  // the records of this kind written so far
};

const BatchCase kBatches[] = {
    {"InsertMultipleDeviceTypes",
     [](int i, int f, int l, char *e) {
         return InsertMultipleDeviceTypes("DAQ", str("T", i).c_str(), 1, 1, "", "", f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleDeviceTypes("NOPE", "TX", 1, 1, "", "", f, l, e); },
     "no subsystem named 'NOPE' (system list 'NOPE')", "SELECT COUNT(*) FROM device_type WHERE devicetype LIKE 'T%'"},
    {"InsertMultipleFunctionalDevices",
     [](int i, int f, int l, char *e) {
         return InsertMultipleFunctionalDevices("DAQ", str("d", i).c_str(), "SW", 0, 1, str("SN", i).c_str(), "", "",
                                                "", "", "", f, l, e);
     },
     [](int f, int l, char *e) {
         return InsertMultipleFunctionalDevices("", "dx", "NOPE", 0, 1, "", "", "", "", "", "", f, l, e);
     },
     "no device type named 'NOPE'", "SELECT COUNT(*) FROM functional_device WHERE devicename LIKE 'd%'"},
    {"InsertMultiplePorts",
     [](int i, int f, int l, char *e) {
         return InsertMultiplePorts("sw0", str("p", i).c_str(), 1, 1, 0, 0, "data", "", "", "", "", "", "", f, l, e);
     },
     [](int f, int l, char *e) {
         return InsertMultiplePorts("nope", "p", 1, 1, 0, 0, "", "", "", "", "", "", "", f, l, e);
     },
     "no device named 'nope'", "SELECT COUNT(*) FROM port WHERE port_nbr LIKE 'p%'"},
    {"InsertMultipleMacroLinks",
     [](int i, int f, int l, char *e) {
         return InsertMultipleMacroLinks("sw0", "sw1", str("o", i).c_str(), str("i", i).c_str(), "data", "data", "data",
                                         "", 0, f, l, e);
     },
     [](int f, int l, char *e) {
         return InsertMultipleMacroLinks("sw0", "sw1", "o1", "i1", "data", "data", "nope", "", 0, f, l, e);
     },
     "no link type named 'nope'", "SELECT COUNT(*) FROM macro_link"},
    {"InsertMultipleSpareDevices",
     [](int i, int f, int l, char *e) {
         return InsertMultipleSpareDevices("hw", "PC", str("NEW", i).c_str(), "", "", "", f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleSpareDevices("hw", "PC", "", "", "", "", f, l, e); },
     "a serial number is needed", "SELECT COUNT(*) FROM hardware_device WHERE serialnb LIKE 'NEW%'"},
    {"InsertMultipleSparePorts",
     [](int i, int f, int l, char *e) {
         return InsertMultipleSparePorts("SPARE1", str("p", i).c_str(), 1, "data", "b", "m", f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleSparePorts("NOPE", "p1", 1, "data", "b", "m", f, l, e); },
     "no hardware with serial number 'NOPE'", "SELECT COUNT(*) FROM spare_port"},
    {"InsertMultipleBoardCpnts",
     [](int i, int f, int l, char *e) {
         return InsertMultipleBoardCpnts(str("c", i).c_str(), "FPGA", 0, "sw2", "", "", "", "", "", f, l, e);
     },
     [](int f, int l, char *e) {
         return InsertMultipleBoardCpnts("cx", "FPGA", 0, "nope", "", "", "", "", "", f, l, e);
     },
     "no device (motherboard) named 'nope'", "SELECT COUNT(*) FROM board_cpnt"},
    {"InsertMultipleMicroLinks",
     [](int i, int f, int l, char *e) { return InsertMultipleMicroLinks("sw3", "sw3", i, i, "data", 0, f, l, e); },
     [](int f, int l, char *e) { return InsertMultipleMicroLinks("sw3", "nope", 1, 1, "data", 0, f, l, e); },
     "no board component or device named 'nope'", "SELECT COUNT(*) FROM micro_link"},
    {"InsertMultipleBootImages",
     [](int i, int f, int l, char *e) {
         return InsertMultipleBootImages(str("sw", i).c_str(), "b", "k", "i", "x", "tftp", f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleBootImages("nope", "b", "k", "i", "x", "tftp", f, l, e); },
     "no device named 'nope'", "SELECT COUNT(*) FROM boot_image"},
    {"InsertMultipleIPAliases",
     [](int i, int f, int l, char *e) {
         return InsertMultipleIPAliases("10.0.0.1", "", str("alias", i).c_str(), f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleIPAliases("10.9.9.9", "", "ax", f, l, e); },
     "no IP address '10.9.9.9'", "SELECT COUNT(*) FROM ip_alias"},
    {"InsertMultipleSimpleLinkTypes",
     [](int i, int f, int l, char *e) { return InsertMultipleSimpleLinkTypes(str("lk", i).c_str(), f, l, e); },
     [](int f, int l, char *e) { return InsertMultipleSimpleLinkTypes("a|b", f, l, e); },
     "'|' is not allowed in a link type name: 'a|b'", "SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'lk%'"},
    {"InsertMultipleCompositeLinkTypes",
     [](int i, int f, int l, char *e) {
         return InsertMultipleCompositeLinkTypes(str("cl", i).c_str(), "data, ctl", f, l, e);
     },
     [](int f, int l, char *e) { return InsertMultipleCompositeLinkTypes("cx", "data,nope", f, l, e); },
     "no link type named 'nope' (link list 'data,nope')", "SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'cl%'"},
};

class Batch : public Inserts, public testing::WithParamInterface<BatchCase> {
protected:
    Fn rec(int i, int first, int last) const {
        return [=](char *e) { return GetParam().record(i, first, last, e); };
    }
    Fn bad(int first, int last) const {
        return [=](char *e) { return GetParam().bad(first, last, e); };
    }
    std::string op(const std::string &rest) const { return std::string(GetParam().op) + ": " + rest; }
    long written() const { return count(GetParam().count); }
};

TEST_P(Batch, WritesEveryRecordWhenItCloses) {
    ok(rec(1, 1, 0));
    ok(rec(2, 0, 0));
    EXPECT_EQ(written(), 0);
    ok(rec(3, 0, 1));
    EXPECT_EQ(written(), 3);
}

TEST_P(Batch, FailingRecordWritesNothingDiscardsTheBatchAndIsNamed) {
    ok(rec(1, 1, 0));
    ok(rec(2, 0, 0));
    ok(rec(3, 0, 0));
    EXPECT_EQ(refused(bad(0, 1)), op("record 4: ") + GetParam().bad_message);
    EXPECT_EQ(written(), 0);
    EXPECT_EQ(refused(rec(4, 0, 1)), op("no batch is open: its first record comes with first = 1"));
    EXPECT_EQ(written(), 0);
}

TEST_P(Batch, RecordTwiceInTheBatchIsRefused) {
    ok(rec(1, 1, 0));
    const std::string message = refused(rec(1, 0, 1));
    EXPECT_EQ(message.rfind(op("record 2: "), 0), 0u) << message;
    EXPECT_NE(message.find("record 1 of this batch"), std::string::npos) << message;
    EXPECT_EQ(written(), 0);
}

TEST_P(Batch, RecordAlreadyInTheDatabaseIsRefused) {
    ok(rec(1, 1, 1));
    const std::string message = refused(rec(1, 1, 1));
    EXPECT_EQ(message.rfind(op("record 1: "), 0), 0u) << message;
    EXPECT_NE(message.find("already"), std::string::npos) << message;
    EXPECT_EQ(written(), 1);
}

TEST_P(Batch, OtherOperationOrSecondOpeningIsRefusedAndTheBatchGoesOn) {
    ok(rec(1, 1, 0));
    EXPECT_EQ(refused(CALL(InsertSimpleDeviceFunction, "F9", 1)),
              std::string("InsertSimpleDeviceFunction: a batch of ") + GetParam().op +
                  " is open (1 record): close it with last = 1 (or disconnect to discard it) before another operation");
    EXPECT_EQ(refused(rec(2, 1, 0)), op(std::string("a batch of ") + GetParam().op +
                                        " is already open (1 record): close it with last = 1 (or disconnect to "
                                        "discard it) before opening another"));
    ok(rec(2, 0, 1));
    EXPECT_EQ(written(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM device_function WHERE function_name = 'F9'"), 0);
}

TEST_P(Batch, FlagsOtherThanZeroOrOneAreRefused) {
    EXPECT_EQ(refused(rec(1, 2, 1)), op("first must be 0 or 1, not 2"));
    EXPECT_EQ(refused(rec(1, 1, -1)), op("last must be 0 or 1, not -1"));
    EXPECT_EQ(written(), 0);
}

TEST_P(Batch, DisconnectingDiscardsTheOpenBatch) {
    ok(rec(1, 1, 0));
    ok(CALL0(DBDeconnexion));
    ok(CALL(DBConnexion, path_.c_str(), "", ""));
    EXPECT_EQ(refused(rec(2, 0, 1)), op("no batch is open: its first record comes with first = 1"));
    EXPECT_EQ(written(), 0);
}

INSTANTIATE_TEST_SUITE_P(Inserts, Batch, testing::ValuesIn(kBatches),
                         [](const testing::TestParamInfo<BatchCase> &info) { return std::string(info.param.op); });

// ---- single inserts: records gather until last_rows = 1 ---------------------------

struct SingleCase {
    const char *op;
    std::function<int(int i, int last, char *error)> record;
    std::function<int(int last, char *error)> bad;
    const char *bad_message;
    const char *count;
};

const SingleCase kSingles[] = {
    {"InsertDeviceType",
     [](int i, int l, char *e) { return InsertDeviceType("DAQ", str("T", i).c_str(), 1, 1, "", "", l, e); },
     [](int l, char *e) { return InsertDeviceType("DAQ", "TX", -1, 1, "", "", l, e); },
     "nbrofinput cannot be negative (-1)", "SELECT COUNT(*) FROM device_type WHERE devicetype LIKE 'T%'"},
    {"InsertFunctionalDevice",
     [](int i, int l, char *e) {
         return InsertFunctionalDevice("", str("d", i).c_str(), "SW", 0, 1, "", "", "", "", "", "", l, e);
     },
     [](int l, char *e) { return InsertFunctionalDevice("", "dx", "SW", 0, 1, "", "", "", "", "", "NOPE", l, e); },
     "no device function named 'NOPE' (function list 'NOPE')",
     "SELECT COUNT(*) FROM functional_device WHERE devicename LIKE 'd%'"},
    {"InsertSpareDevice",
     [](int i, int l, char *e) { return InsertSpareDevice("hw", "PC", str("NEW", i).c_str(), "", "", "", l, e); },
     [](int l, char *e) { return InsertSpareDevice("hw", "PC", "SPARE1", "", "", "", l, e); },
     "hardware 'SPARE1' already exists", "SELECT COUNT(*) FROM hardware_device WHERE serialnb LIKE 'NEW%'"},
    {"InsertSimpleLinkType", [](int i, int l, char *e) { return InsertSimpleLinkType(str("lk", i).c_str(), l, e); },
     [](int l, char *e) { return InsertSimpleLinkType("data", l, e); }, "link type 'data' already exists",
     "SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'lk%'"},
    {"InsertCompositeLinkType",
     [](int i, int l, char *e) { return InsertCompositeLinkType(str("cl", i).c_str(), "data", l, e); },
     [](int l, char *e) { return InsertCompositeLinkType("cx", " , ", l, e); },
     "the link list of 'cx' names no link type", "SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'cl%'"},
    {"InsertPort",
     [](int i, int l, char *e) {
         return InsertPort("sw1", str("p", i).c_str(), 1, 2, 0, 0, "", "", "", "", "", "", "", l, e);
     },
     [](int l, char *e) { return InsertPort("sw1", "o1", 1, 2, 0, 0, "data", "", "", "", "", "", "", l, e); },
     "port o1 (way 2, type 'data') of 'sw1' already exists", "SELECT COUNT(*) FROM port WHERE port_nbr LIKE 'p%'"},
    {"InsertMacroLink",
     [](int i, int l, char *e) {
         return InsertMacroLink("sw2", "sw3", str("o", i).c_str(), str("i", i).c_str(), "data", "data", "data", "", 1,
                                l, e);
     },
     [](int l, char *e) { return InsertMacroLink("sw2", "sw3", "i1", "i1", "data", "data", "data", "", 0, l, e); },
     "port i1 (way 1, type 'data') of 'sw2' is an input: a link starts at an output port (way 2)",
     "SELECT COUNT(*) FROM macro_link"},
    {"InsertSparePort",
     [](int i, int l, char *e) { return InsertSparePort("SPARE1", str("p", i).c_str(), 2, "", "b", "m", l, e); },
     [](int l, char *e) { return InsertSparePort("SPARE1", "p", 3, "", "b", "m", l, e); },
     "port_way must be 1 (input) or 2 (output), not 3", "SELECT COUNT(*) FROM spare_port"},
    {"InsertSimpleDeviceFunction",
     [](int i, int l, char *e) { return InsertSimpleDeviceFunction(str("F", i).c_str(), l, e); },
     [](int l, char *e) { return InsertSimpleDeviceFunction("a,b", l, e); },
     "',' is not allowed in a function name (lists separate names with it): 'a,b'",
     "SELECT COUNT(*) FROM device_function WHERE function_name LIKE 'F%'"},
    {"InsertTestFunctionalDevice",
     [](int i, int l, char *e) {
         const std::string nbr = str("t", i) + '\0';
         const int way = 1;
         return InsertTestFunctionalDevice("sw4", "", 0, "", 0, "", 0, nbr.data(), static_cast<int>(nbr.size()), "", 0,
                                           &way, 1, l, e);
     },
     [](int l, char *e) {
         return InsertTestFunctionalDevice("nope", "", 0, "", 0, "", 0, "", 0, "", 0, nullptr, 0, l, e);
     },
     "no device named 'nope'", "SELECT COUNT(*) FROM port WHERE port_nbr LIKE 't%'"},
};

class Single : public Inserts, public testing::WithParamInterface<SingleCase> {
protected:
    Fn rec(int i, int last) const {
        return [=](char *e) { return GetParam().record(i, last, e); };
    }
    Fn bad(int last) const {
        return [=](char *e) { return GetParam().bad(last, e); };
    }
    std::string op(const std::string &rest) const { return std::string(GetParam().op) + ": " + rest; }
    long written() const { return count(GetParam().count); }
};

TEST_P(Single, RecordsGatherUntilLastRows) {
    ok(rec(1, 0));
    ok(rec(2, 0));
    EXPECT_EQ(written(), 0);
    ok(rec(3, 1));
    EXPECT_EQ(written(), 3);
}

TEST_P(Single, ARecordAloneIsWrittenAtOnceAndRefusedUnnumbered) {
    ok(rec(1, 1));
    EXPECT_EQ(written(), 1);
    EXPECT_EQ(refused(bad(1)), op(GetParam().bad_message));
    EXPECT_EQ(written(), 1);
}

TEST_P(Single, AFailingGatheredRecordDropsTheGatheredOnes) {
    ok(rec(1, 0));
    ok(bad(0));  // gathered: records are checked when the batch closes
    EXPECT_EQ(refused(rec(2, 1)), op("record 2: ") + GetParam().bad_message);
    EXPECT_EQ(written(), 0);
    ok(rec(2, 1));
    EXPECT_EQ(written(), 1);
}

INSTANTIATE_TEST_SUITE_P(Inserts, Single, testing::ValuesIn(kSingles),
                         [](const testing::TestParamInfo<SingleCase> &info) { return std::string(info.param.op); });

// ---- names ---------------------------------------------------------------------------

struct NameCase {
    const char *name;
    Fn call;
    const char *message;
};

TEST_F(Inserts, BarsInNamesAreRefused) {
    const NameCase cases[] = {
        {"device", CALL(InsertFunctionalDevice, "", "a|b", "SW", 0, 1, "", "", "", "", "", "", 1),
         "InsertFunctionalDevice: '|' is not allowed in a device name: 'a|b'"},
        {"port number", CALL(InsertPort, "sw0", "1|2", 1, 1, 0, 0, "", "", "", "", "", "", "", 1),
         "InsertPort: '|' is not allowed in a port number: '1|2'"},
        {"port type", CALL(InsertPort, "sw0", "9", 1, 1, 0, 0, "x|y", "", "", "", "", "", "", 1),
         "InsertPort: '|' is not allowed in a port type: 'x|y'"},
        {"serial", CALL(InsertSpareDevice, "", "", "S|1", "", "", "", 1),
         "InsertSpareDevice: '|' is not allowed in a serial number: 'S|1'"},
        {"subsystem", CALL(InsertSubsystem, "A|B", ""),
         "InsertSubsystem: '|' is not allowed in a subsystem name: 'A|B'"},
        {"component", CALL(InsertMultipleBoardCpnts, "c|1", "FPGA", 0, "sw0", "", "", "", "", "", 1, 1),
         "InsertMultipleBoardCpnts: record 1: '|' is not allowed in a component name: 'c|1'"},
        {"alias", CALL(InsertMultipleIPAliases, "10.0.0.1", "", "a|b", 1, 1),
         "InsertMultipleIPAliases: record 1: '|' is not allowed in an IP alias: 'a|b'"},
        {"blank", CALL(InsertSubsystem, " DAQ2", ""),
         "InsertSubsystem: a subsystem name cannot begin or end with a blank: ' DAQ2'"},
    };
    for (const NameCase &c : cases) EXPECT_EQ(refused(c.call), c.message) << c.name;
    // Free texts are not names.
    ok(CALL(InsertFunctionalDevice, "", "dfree", "SW", 0, 1, "", "", "a|b", "c|d", "e|f", "", 1));
}

// ---- device types and devices -----------------------------------------------------------

TEST_F(Inserts, DeviceTypeKeepsItsSystemsAndDefaultsItsDescription) {
    ok(CALL(InsertDeviceType, " TFC , DAQ,,TFC", "T1", 2, 3, "", "#fff", 1));
    EXPECT_EQ(one("SELECT nbrofinput, nbrofoutput, description, rgbcolor FROM device_type WHERE devicetype = 'T1'"),
              "2|3|T1|#fff");
    EXPECT_EQ(rows("SELECT s.system_name FROM device_type_system x JOIN subsystem s USING (systemid) "
                   "JOIN device_type t USING (devicetypeid) WHERE t.devicetype = 'T1' ORDER BY 1"),
              (std::vector<std::string>{"DAQ", "TFC"}));
    EXPECT_EQ(refused(CALL(InsertDeviceType, "DAQ,VELO", "T2", 0, 0, "", "", 1)),
              "InsertDeviceType: no subsystem named 'VELO' (system list 'DAQ,VELO')");
}

TEST_F(Inserts, DeviceSystemsDefaultToItsTypesAndFunctionsAreKept) {
    ok(CALL(InsertDeviceType, "TFC,DAQ", "T1", 0, 0, "", "", 1));
    ok(CALL(InsertFunctionalDevice, "", "d1", "T1", 1, 0, "", "", "ana", "note", "hall", "DHCP", 0));
    ok(CALL(InsertFunctionalDevice, "TFC", "d2", "T1", 0, 1, "", "", "", "", "", "", 1));
    const std::string systems =
        "SELECT s.system_name FROM device_system x JOIN subsystem s USING (systemid) "
        "JOIN functional_device d USING (deviceid) WHERE d.devicename = ";
    EXPECT_EQ(rows(systems + "'d1' ORDER BY 1"), (std::vector<std::string>{"DAQ", "TFC"}));
    EXPECT_EQ(rows(systems + "'d2'"), (std::vector<std::string>{"TFC"}));
    EXPECT_EQ(one("SELECT dnode, promiscuous_mode, responsible, comments, location, serialid FROM functional_device "
                  "WHERE devicename = 'd1'"),
              "1|0|ana|note|hall|NULL");
    EXPECT_EQ(one("SELECT f.function_name FROM functional_device_function JOIN device_function f USING (functionid) "
                  "JOIN functional_device d USING (deviceid) WHERE d.devicename = 'd1'"),
              "DHCP");
}

TEST_F(Inserts, NewHardwareFillsItsDeviceInUseWithItsHistory) {
    ok(CALL(InsertFunctionalDevice, "", "d1", "SW", 0, 1, "SN1", "PC", "ana", "first", "rack9", "", 1));
    EXPECT_EQ(one("SELECT h.serialnb, h.hwtype, h.status, h.location, h.responsible FROM functional_device d "
                  "JOIN hardware_device h USING (serialid) WHERE d.devicename = 'd1'"),
              "SN1|PC|IN_USE|rack9|ana");
    EXPECT_EQ(rows("SELECT hw_kind, serialnb, position_name, status, location, comments FROM history"),
              (std::vector<std::string>{"device|SPARE1|NULL|SPARE|store|NULL", "device|SN1|d1|IN_USE|rack9|first"}));
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM history WHERE event_date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]T*Z'"), 2);
}

TEST_F(Inserts, SpareHardwareIsTakenAndOtherHardwareRefused) {
    ok(CALL(InsertFunctionalDevice, "", "d1", "SW", 0, 1, "SPARE1", "", "", "", "hall", "", 1));
    EXPECT_EQ(one("SELECT status, location, hwtype FROM hardware_device WHERE serialnb = 'SPARE1'"), "IN_USE|hall|PC");
    EXPECT_EQ(count("SELECT COUNT(*) FROM hardware_device"), 1);
    EXPECT_EQ(rows("SELECT status, position_name FROM history ORDER BY historyid"),
              (std::vector<std::string>{"SPARE|NULL", "IN_USE|d1"}));

    EXPECT_EQ(refused(CALL(InsertFunctionalDevice, "", "d2", "SW", 0, 1, "SPARE1", "", "", "", "", "", 1)),
              "InsertFunctionalDevice: hardware 'SPARE1' already fills device 'd1'");
    ok(CALL(InsertSpareDevice, "", "PC", "SN2", "", "", "", 1));
    execute("UPDATE hardware_device SET status = 'IN_REPAIR' WHERE serialnb = 'SN2'");
    EXPECT_EQ(refused(CALL(InsertFunctionalDevice, "", "d2", "SW", 0, 1, "SN2", "", "", "", "", "", 1)),
              "InsertFunctionalDevice: hardware 'SN2' is IN_REPAIR: only spare hardware can fill a position");
    ok(CALL(InsertSpareDevice, "", "PC", "SN3", "", "", "", 1));
    EXPECT_EQ(refused(CALL(InsertFunctionalDevice, "", "d2", "SW", 0, 1, "SN3", "PSU", "", "", "", "", 1)),
              "InsertFunctionalDevice: hardware 'SN3' is of type 'PC', not 'PSU'");
    EXPECT_EQ(refused(CALL(InsertFunctionalDevice, "", "d2", "SW", 0, 1, "", "PSU", "", "", "", "", 1)),
              "InsertFunctionalDevice: a hardware type needs a serial number (hwtype 'PSU' for 'd2')");
    ok(CALL(InsertMultipleFunctionalDevices, "", "d3", "SW", 0, 1, "SN9", "", "", "", "", "", 1, 0));
    EXPECT_EQ(refused(CALL(InsertMultipleFunctionalDevices, "", "d4", "SW", 0, 1, "SN9", "", "", "", "", "", 0, 1)),
              "InsertMultipleFunctionalDevices: record 2: serial number 'SN9' already comes in record 1 of this batch");
    EXPECT_EQ(count("SELECT COUNT(*) FROM functional_device WHERE devicename IN ('d2', 'd3', 'd4')"), 0);
}

// ---- ports and links --------------------------------------------------------------------

TEST_F(Inserts, PortsShareAnAddressWhoseNameAndSubnetMustAgree) {
    ok(CALL(InsertMultiplePorts, "sw1", "e1", 1, 1, 100, 1, "", "b1", "10.0.0.2", "", "", "aa:01", "LX", 1, 0));
    ok(CALL(InsertMultiplePorts, "sw1", "e2", 0, 1, 0, 0, "", "", "10.0.0.2", "sw1-e", "255.0.0.0", "", "", 0, 0));
    ok(CALL(InsertMultiplePorts, "sw1", "e3", 1, 1, 0, 0, "", "", "10.0.0.1", "", "", "", "", 0, 1));
    EXPECT_EQ(
        rows("SELECT p.port_nbr, p.port_type, p.speed, p.admin_status, p.pxi_booting, p.bia, p.macaddress, p.phy, "
             "i.ipaddress, i.ipname, i.subnet FROM port p JOIN ip_info i USING (ipid) "
             "WHERE p.port_nbr LIKE 'e%' ORDER BY 1"),
        (std::vector<std::string>{"e1||100|1|1|b1|aa:01|LX|10.0.0.2|sw1-e|255.0.0.0",
                                  "e2||0|0|0|NULL|NULL|NULL|10.0.0.2|sw1-e|255.0.0.0",
                                  "e3||0|1|0|NULL|NULL|NULL|10.0.0.1|sw0-o1|255.0.0.0"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM ip_info"), 2);
    EXPECT_EQ(refused(CALL(InsertPort, "sw1", "e4", 1, 1, 0, 0, "", "", "10.0.0.1", "other", "", "", "", 1)),
              "InsertPort: IP address '10.0.0.1' has IP name 'sw0-o1', not 'other'");
    EXPECT_EQ(refused(CALL(InsertPort, "sw1", "e4", 1, 1, 0, 0, "", "", "", "named", "", "", "", 1)),
              "InsertPort: an IP name or subnet needs an IP address (port e4 (way 1, type '') of 'sw1')");
    EXPECT_EQ(refused(CALL(InsertPort, "sw1", "e4", 1, 1, -5, 0, "", "", "", "", "", "", "", 1)),
              "InsertPort: speed cannot be negative (-5)");
    EXPECT_EQ(refused(CALL(InsertPort, "sw1", "", 1, 1, 0, 0, "", "", "", "", "", "", "", 1)),
              "InsertPort: a port number is needed");
}

TEST_F(Inserts, MacroLinksGoFromAnOutputToAFreeInput) {
    ok(CALL(InsertMacroLink, "sw0", "sw1", "o1", "i1", "data", "data", "ctl", "fibre 3", 1, 1));
    EXPECT_EQ(one("SELECT pf.port_nbr, df.devicename, pt.port_nbr, dt.devicename, t.lktype, m.bidirectional, m.lkused, "
                  "m.link_info FROM macro_link m JOIN port pf ON pf.portid = m.portidfrom "
                  "JOIN functional_device df ON df.deviceid = pf.deviceid JOIN port pt ON pt.portid = m.portidto "
                  "JOIN functional_device dt ON dt.deviceid = pt.deviceid JOIN link_type t USING (linktypeid)"),
              "o1|sw0|i1|sw1|ctl|1|1|fibre 3");
    const NameCase cases[] = {
        {"to is output", CALL(InsertMacroLink, "sw0", "sw1", "o2", "o2", "data", "data", "data", "", 0, 1),
         "InsertMacroLink: port o2 (way 2, type 'data') of 'sw1' is an output: a link ends at an input port (way 1)"},
        {"missing port", CALL(InsertMacroLink, "sw0", "sw1", "o9", "i2", "data", "data", "data", "", 0, 1),
         "InsertMacroLink: port o9 (way 2, type 'data') of 'sw0' does not exist"},
        {"wrong type", CALL(InsertMacroLink, "sw0", "sw1", "o2", "i2", "", "data", "data", "", 0, 1),
         "InsertMacroLink: port o2 (way 2, type '') of 'sw0' does not exist"},
        {"from linked", CALL(InsertMacroLink, "sw0", "sw2", "o1", "i1", "data", "data", "data", "", 0, 1),
         "InsertMacroLink: port o1 (way 2, type 'data') of 'sw0' already carries a link"},
        {"to linked", CALL(InsertMacroLink, "sw2", "sw1", "o1", "i1", "data", "data", "data", "", 0, 1),
         "InsertMacroLink: port i1 (way 1, type 'data') of 'sw1' already carries a link"},
        {"no device", CALL(InsertMacroLink, "sw0", "sw9", "o2", "i2", "data", "data", "data", "", 0, 1),
         "InsertMacroLink: no device named 'sw9'"},
        {"bidirectional", CALL(InsertMacroLink, "sw0", "sw1", "o2", "i2", "data", "data", "data", "", 2, 1),
         "InsertMacroLink: bidirectional must be 0 or 1, not 2"},
    };
    for (const NameCase &c : cases) EXPECT_EQ(refused(c.call), c.message) << c.name;
    ok(CALL(InsertMultipleMacroLinks, "sw2", "sw3", "o1", "i1", "data", "data", "data", "", 0, 1, 0));
    EXPECT_EQ(refused(CALL(InsertMultipleMacroLinks, "sw4", "sw3", "o1", "i1", "data", "data", "data", "", 0, 0, 1)),
              "InsertMultipleMacroLinks: record 2: port i1 (way 1, type 'data') of 'sw3' already carries the link "
              "of record 1 of this batch");
    EXPECT_EQ(count("SELECT COUNT(*) FROM macro_link"), 1);
}

TEST_F(Inserts, AConflictWrittenMeanwhileFailsTheWriteNamingItsRecord) {
    ok(CALL(InsertMultipleDeviceTypes, "", "T1", 0, 0, "", "", 1, 0));
    ok(CALL(InsertMultipleDeviceTypes, "", "T2", 0, 0, "", "", 0, 0));
    execute("INSERT INTO device_type (devicetype) VALUES ('T2')");
    EXPECT_EQ(refused(CALL(InsertMultipleDeviceTypes, "", "T3", 0, 0, "", "", 0, 1)),
              "InsertMultipleDeviceTypes: record 2: device type 'T2' already exists");
    EXPECT_EQ(rows("SELECT devicetype FROM device_type WHERE devicetype LIKE 'T%'"), std::vector<std::string>{"T2"});
}

// ---- a device's ports and interfaces from packed lists ------------------------------------

// A packed list in a buffer of exactly its length, so that a read past it is caught.
std::unique_ptr<char[]> packed(const std::string &bytes) {
    auto buffer = std::make_unique<char[]>(bytes.size() + 1);
    std::memcpy(buffer.get(), bytes.data(), bytes.size());
    return buffer;
}

TEST_F(Inserts, TestDeviceReadsItsListsWithinTheirLengths) {
    const std::string ips("10.1.0.1\0\0", 10), subnets("255.0.0.0\0\0", 11), names("\0\0", 2);
    const std::string ports("a\0b\0c\0", 6), types("ctl\0\0", 5);
    const int ways[] = {1, 2, 2};
    static const int kWay3 = 3;
    ok(CALL(InsertTestFunctionalDevice, "sw4", packed(ips).get(), 10, packed(subnets).get(), 11, packed(names).get(), 2,
            packed(ports).get(), 6, packed(types).get(), 5, ways, 3, 1));
    EXPECT_EQ(rows("SELECT p.port_nbr, p.port_way, p.port_type, COALESCE(i.ipaddress, '-'), COALESCE(i.ipname, '-'), "
                   "COALESCE(i.subnet, '-') FROM port p JOIN functional_device d USING (deviceid) "
                   "LEFT JOIN ip_info i USING (ipid) WHERE d.devicename = 'sw4' AND p.port_nbr IN ('a', 'b', 'c') "
                   "ORDER BY 1"),
              (std::vector<std::string>{"a|1|ctl|10.1.0.1|-|255.0.0.0", "b|2||-|-|-", "c|2||-|-|-"}));

    // Only the given length is read: what follows it is not a list element.
    const std::string longer("d\0e\0", 4);
    ok(CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, longer.data(), 2, "", 0, ways, 1, 1));
    EXPECT_EQ(rows("SELECT port_nbr FROM port WHERE port_nbr IN ('d', 'e')"), std::vector<std::string>{"d"});

    const NameCase cases[] = {
        {"no final NUL",
         CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, packed(std::string("f\0g", 3)).get(), 3, "", 0,
              ways, 2, 1),
         "InsertTestFunctionalDevice: the portnb list does not end with a NUL within its 3 bytes"},
        {"ip lengths",
         CALL(InsertTestFunctionalDevice, "sw4", packed(ips).get(), 10, packed(subnets).get(), 11, "", 0,
              packed(ports).get(), 6, "", 0, ways, 3, 1),
         "InsertTestFunctionalDevice: the ipadd, subnet and ipname lists differ in length (2, 2, 0)"},
        {"ways",
         CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, packed(ports).get(), 6, "", 0, ways, 2, 1),
         "InsertTestFunctionalDevice: the portnb list and the port_way array differ in length (3, 2)"},
        {"types",
         CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, packed(std::string("x\0", 2)).get(), 2,
              packed(types).get(), 5, ways, 1, 1),
         "InsertTestFunctionalDevice: the port_list gives 2 port types for 1 ports"},
        {"more ips",
         CALL(InsertTestFunctionalDevice, "sw4", packed(ips).get(), 10, packed(subnets).get(), 11, packed(names).get(),
              2, "", 0, "", 0, ways, 0, 1),
         "InsertTestFunctionalDevice: 2 IP interfaces for 0 ports: IP interface i goes to port i"},
        {"negative", CALL(InsertTestFunctionalDevice, "sw4", "", -1, "", 0, "", 0, "", 0, "", 0, ways, 0, 1),
         "InsertTestFunctionalDevice: the ipadd list is unreadable (no buffer, or a negative length)"},
        {"null", CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, nullptr, 4, "", 0, ways, 0, 1),
         "InsertTestFunctionalDevice: the portnb list is unreadable (no buffer, or a negative length)"},
        {"null ways", CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, "", 0, "", 0, nullptr, 2, 1),
         "InsertTestFunctionalDevice: the port_way array is unreadable (no buffer, or a negative count)"},
        {"way 3",
         CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, packed(std::string("x\0", 2)).get(), 2, "", 0,
              &kWay3, 1, 1),
         "InsertTestFunctionalDevice: port_way must be 1 (input) or 2 (output), not 3"},
        {"empty number",
         CALL(InsertTestFunctionalDevice, "sw4", "", 0, "", 0, "", 0, packed(std::string("\0", 1)).get(), 1, "", 0,
              ways, 1, 1),
         "InsertTestFunctionalDevice: a port number is needed"},
    };
    for (const NameCase &c : cases) EXPECT_EQ(refused(c.call), c.message) << c.name;
}

// ---- boards, spares, catalogs ---------------------------------------------------------------

TEST_F(Inserts, BoardComponentsFillPositionsOrWaitAsSpares) {
    ok(CALL(InsertMultipleBoardCpnts, "x", "FPGA", 0, "none", "C1", "", "ana", "new", "store", 1, 0));
    ok(CALL(InsertMultipleBoardCpnts, "pll", "PLL", 1, "sw0", "", "", "", "", "", 0, 1));
    EXPECT_EQ(one("SELECT serialnb, hwtype, status, location, comments FROM hw_board_cpnt"), "C1|FPGA|SPARE|store|new");
    EXPECT_EQ(one("SELECT cpnttype, replacable, snbid FROM board_cpnt WHERE cpntname = 'pll'"), "PLL|1|NULL");

    ok(CALL(InsertMultipleBoardCpnts, "fpga", "FPGA", 1, "sw0", "C1", "", "", "", "rack1", 1, 0));
    ok(CALL(InsertMultipleBoardCpnts, "dsp", "DSP", 0, "sw1", "C2", "", "", "", "", 0, 1));
    EXPECT_EQ(rows("SELECT c.cpntname, d.devicename, h.serialnb, h.hwtype, h.status, COALESCE(h.location, '-') "
                   "FROM board_cpnt c JOIN functional_device d ON d.deviceid = c.motherboardid "
                   "JOIN hw_board_cpnt h USING (snbid) ORDER BY 1"),
              (std::vector<std::string>{"dsp|sw1|C2|DSP|IN_USE|-", "fpga|sw0|C1|FPGA|IN_USE|rack1"}));
    EXPECT_EQ(rows("SELECT serialnb, COALESCE(position_name, '-'), status FROM history WHERE hw_kind = 'component' "
                   "ORDER BY historyid"),
              (std::vector<std::string>{"C1|-|SPARE", "C1|fpga|IN_USE", "C2|dsp|IN_USE"}));

    const NameCase cases[] = {
        {"in use", CALL(InsertMultipleBoardCpnts, "f2", "FPGA", 0, "sw2", "C1", "", "", "", "", 1, 1),
         "InsertMultipleBoardCpnts: record 1: component hardware 'C1' (type 'FPGA') already fills board component "
         "'fpga'"},
        {"spare location", CALL(InsertMultipleBoardCpnts, "x", "FPGA", 0, "none", "C5", "", "", "", "", 1, 1),
         "InsertMultipleBoardCpnts: record 1: a spare component (motherboard 'none') needs a location"},
        {"spare serial", CALL(InsertMultipleBoardCpnts, "x", "FPGA", 0, "none", "", "", "", "", "store", 1, 1),
         "InsertMultipleBoardCpnts: record 1: a spare component (motherboard 'none') needs a serial number"},
        {"known spare", CALL(InsertMultipleBoardCpnts, "x", "DSP", 0, "none", "C2", "", "", "", "store", 1, 1),
         "InsertMultipleBoardCpnts: record 1: component hardware 'C2' (type 'DSP') already exists"},
        {"no hardware", CALL(InsertMultipleBoardCpnts, "f3", "FPGA", 0, "sw2", "", "", "", "", "hall", 1, 1),
         "InsertMultipleBoardCpnts: record 1: responsible, location and comments describe the hardware of 'f3': give "
         "its serial number, or leave them empty"},
        {"taken name", CALL(InsertMultipleBoardCpnts, "pll", "PLL", 0, "sw2", "", "", "", "", "", 1, 1),
         "InsertMultipleBoardCpnts: record 1: board component 'pll' already exists"},
        {"no board", CALL(InsertMultipleBoardCpnts, "f4", "PLL", 0, "", "", "", "", "", "", 1, 1),
         "InsertMultipleBoardCpnts: record 1: a motherboard name is needed ('none' for a spare component)"},
    };
    for (const NameCase &c : cases) EXPECT_EQ(refused(c.call), c.message) << c.name;
}

TEST_F(Inserts, MicroLinksJoinPortsOnOneBoard) {
    ok(CALL(InsertMultipleBoardCpnts, "fpga", "FPGA", 0, "sw0", "", "", "", "", "", 1, 0));
    ok(CALL(InsertMultipleBoardCpnts, "pll", "PLL", 0, "sw0", "", "", "", "", "", 0, 0));
    ok(CALL(InsertMultipleBoardCpnts, "dsp", "DSP", 0, "sw1", "", "", "", "", "", 0, 1));
    ok(CALL(InsertMultipleMicroLinks, "fpga", "pll", 1, 2, "data", 0, 1, 0));
    ok(CALL(InsertMultipleMicroLinks, "sw0", "fpga", 0, 1, "ctl", 1, 0, 1));
    EXPECT_EQ(rows("SELECT COALESCE(cf.cpntname, bf.devicename), m.port_nbrfrom, COALESCE(ct.cpntname, bt.devicename), "
                   "m.port_nbrto, t.lktype, m.bidirectional FROM micro_link m "
                   "LEFT JOIN board_cpnt cf ON cf.cpntid = m.cpntfrom LEFT JOIN functional_device bf ON bf.deviceid = "
                   "m.motherboardfrom "
                   "LEFT JOIN board_cpnt ct ON ct.cpntid = m.cpntto LEFT JOIN functional_device bt ON bt.deviceid = "
                   "m.motherboardto "
                   "JOIN link_type t USING (linktypeid) ORDER BY m.linkid"),
              (std::vector<std::string>{"fpga|1|pll|2|data|0", "sw0|0|fpga|1|ctl|1"}));
    const NameCase cases[] = {
        {"other board", CALL(InsertMultipleMicroLinks, "fpga", "dsp", 5, 5, "data", 0, 1, 1),
         "InsertMultipleMicroLinks: record 1: 'fpga' and 'dsp' are not on the same board"},
        {"port used", CALL(InsertMultipleMicroLinks, "fpga", "sw0", 1, 7, "data", 0, 1, 1),
         "InsertMultipleMicroLinks: record 1: port 1 of 'fpga' already carries a micro link from it"},
        {"negative", CALL(InsertMultipleMicroLinks, "fpga", "pll", -1, 7, "data", 0, 1, 1),
         "InsertMultipleMicroLinks: record 1: port numbers of a micro link cannot be negative (-1, 7)"},
    };
    for (const NameCase &c : cases) EXPECT_EQ(refused(c.call), c.message) << c.name;
    ok(CALL(InsertMultipleBoardCpnts, "sw1", "PLL", 0, "sw0", "", "", "", "", "", 1, 1));
    EXPECT_EQ(refused(CALL(InsertMultipleMicroLinks, "sw1", "pll", 8, 8, "data", 0, 1, 1)),
              "InsertMultipleMicroLinks: record 1: 'sw1' names both a board component and a device: micro links "
              "cannot tell them apart");
}

TEST_F(Inserts, CatalogsAndAddressesByTheirNames) {
    ok(CALL(InsertSubsystem, "VELO", "TFC"));
    EXPECT_EQ(one("SELECT p.system_name FROM subsystem s JOIN subsystem p ON p.systemid = s.parentid "
                  "WHERE s.system_name = 'VELO'"),
              "TFC");
    EXPECT_EQ(refused(CALL(InsertSubsystem, "RICH", "NOPE")),
              "InsertSubsystem: no subsystem named 'NOPE' (the parent of 'RICH')");
    ok(CALL(InsertCompositeLinkType, "both", "data,ctl", 1));
    EXPECT_EQ(rows("SELECT s.lktype FROM link_type_member m JOIN link_type c ON c.linktypeid = m.compositeid "
                   "JOIN link_type s ON s.linktypeid = m.simpleid WHERE c.lktype = 'both' ORDER BY 1"),
              (std::vector<std::string>{"ctl", "data"}));
    EXPECT_EQ(refused(CALL(InsertCompositeLinkType, "all", "both,data", 1)),
              "InsertCompositeLinkType: 'both' is a composite link type: a composite is made of simple types");

    ok(CALL(InsertMultipleIPAliases, "", "sw0-o1", "gw", 1, 0));
    ok(CALL(InsertMultipleIPAliases, "10.0.0.1", "sw0-o1", "gw2", 0, 1));
    EXPECT_EQ(rows("SELECT a.ipalias, i.ipaddress FROM ip_alias a JOIN ip_info i USING (ipid) ORDER BY 1"),
              (std::vector<std::string>{"gw|10.0.0.1", "gw2|10.0.0.1"}));
    EXPECT_EQ(refused(CALL(InsertMultipleIPAliases, "10.0.0.1", "other", "gw3", 1, 1)),
              "InsertMultipleIPAliases: record 1: IP address '10.0.0.1' has IP name 'sw0-o1', not 'other'");

    ok(CALL(InsertMultipleBootImages, "sw0", "boot.img", "vmlinuz", "", "/srv", "tftp", 1, 1));
    EXPECT_EQ(one("SELECT boot_image, kernel_image, initrd_image, physical_location, boot_protocol FROM boot_image"),
              "boot.img|vmlinuz|NULL|/srv|tftp");

    ok(CALL(InsertMultipleSparePorts, "SPARE1", "0", 2, "data", "b0", "aa:00", 1, 1));
    EXPECT_EQ(one("SELECT port_nbr, port_way, port_type, bia, macaddress FROM spare_port"), "0|2|data|b0|aa:00");
    ok(CALL(InsertFunctionalDevice, "", "d1", "SW", 0, 1, "SPARE1", "", "", "", "", "", 1));
    EXPECT_EQ(refused(CALL(InsertSparePort, "SPARE1", "1", 2, "data", "b1", "aa:01", 1)),
              "InsertSparePort: hardware 'SPARE1' fills device 'd1': its ports are the device's (InsertPort)");
}

}  // namespace

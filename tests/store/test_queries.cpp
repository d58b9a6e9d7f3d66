// Every row, lookup, integer-list, string-list and loader query on a small
// database written with plain SQL: the answer's exact bytes, and the size
// protocol (a buffer one short gets the exact size and nothing written; that
// size then succeeds).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "store/export.hpp"
#include "store/guard.hpp"

using namespace std::string_literals;
using ketral::store::Session;

namespace {

const char *const kInstallation = R"(
INSERT INTO subsystem VALUES (1, 'DAQ', NULL), (2, 'DAQ_RO', 1), (3, 'TFC', NULL);
INSERT INTO device_function VALUES (1, 'readout'), (2, 'switching');
INSERT INTO device_type VALUES (1, 'READOUT', 0, 2, 'readout board', '#1f77b4'), (2, 'SWITCH', 2, 1, NULL, NULL);
INSERT INTO device_type_system VALUES (1, 2), (2, 1), (2, 3);
INSERT INTO hardware_device VALUES (1, 'HW-1', 'board', 'ro_board', 'IN_USE', 'ana', 'rack1', NULL),
    (2, 'HW-SP', 'spare', 'ro_board', 'SPARE', 'ana', 'store', NULL), (3, 'HW-X', 'x', 'psu', 'IN_REPAIR', NULL, 'store', NULL);
INSERT INTO functional_device (deviceid, devicename, devicetypeid, dnode, promiscuous_mode, serialid,
    location, responsible, comments) VALUES (1, 'ro01', 1, 0, 1, 1, 'rack1', 'ana', NULL),
    (2, 'ro02', 1, 0, 1, NULL, 'rack1', NULL, NULL),
    (3, 'sw01', 2, 1, 0, NULL, 'hall', NULL, 'a "b"');
INSERT INTO device_system VALUES (1, 2), (2, 2), (3, 1), (3, 3);
INSERT INTO functional_device_function VALUES (1, 1), (3, 2), (3, 1);
INSERT INTO ip_info VALUES (1, '10.0.0.1', '255.0.0.0', 'sw01');
INSERT INTO ip_alias VALUES (1, 1, 'gw');
INSERT INTO port VALUES (1, 1, '0', 2, 'data', 0, 1, 0, NULL, NULL, 'aa:01', NULL),
    (2, 3, '1', 1, 'data', 0, 1, 0, NULL, NULL, NULL, NULL), (3, 3, 'u0', 2, '', 10, 1, 0, 'LR', NULL, NULL, 1);
INSERT INTO spare_port VALUES (1, 2, '0', 2, 'data', NULL, 'cc:01');
INSERT INTO link_type VALUES (1, 'data'), (2, 'ctrl'), (3, 'both'), (4, 'nested');
INSERT INTO link_type_member VALUES (3, 2), (3, 1), (4, 3), (4, 1);
INSERT INTO macro_link VALUES (1, 1, 2, 1, 0, 1, 'fibre');
INSERT INTO hw_board_cpnt VALUES (1, 'C-1', 'FPGA', 'IN_USE', NULL, 'hall', NULL), (2, 'C-2', 'FPGA', 'SPARE', NULL, 'store', NULL);
INSERT INTO board_cpnt VALUES (1, 'fpga', 'FPGA', 1, 3, 1), (2, 'pll', 'PLL', 0, 3, NULL);
INSERT INTO micro_link VALUES (1, 1, NULL, 1, 2, NULL, 2, 2, 0, 1), (2, NULL, 3, 4, 1, NULL, 3, 2, 0, 1);
INSERT INTO boot_image VALUES (3, 'b', 'k', 'i', 'p', 'tftp');
)";

class Queries : public testing::Test {
protected:
    static void SetUpTestSuite() {
        char error[KETRAL_ERROR_CAPACITY];
        ASSERT_EQ(DBConnexion(":memory:", "", "", error), 0) << error;
        ASSERT_EQ(CreateTableSchema(error), 0) << error;
        Session::instance().db().execute(kInstallation);
    }
    static void TearDownTestSuite() {
        char error[KETRAL_ERROR_CAPACITY];
        DBDeconnexion(error);
    }
};

constexpr char kSentinel = '#';

// ---- text answers: rows and string lists ----------------------------------------------

using TextCall = std::function<int(int *len, char *result, char *error)>;

struct TextQuery {
    const char *name;
    TextCall call;
    std::string bytes;  // the whole answer with its NULs
};

std::string row(const char *json) { return std::string(json) + '\0'; }
const std::string kNoRows = "NO_ROWS_SELECTED\0"s;

// What one call leaves: return, length, buffer, message.
struct TextOutcome {
    int rc;
    int len;
    std::vector<char> buffer;
    std::string error;
};

TextOutcome run(const TextCall &call, int capacity) {
    TextOutcome out{0, capacity, std::vector<char>(static_cast<size_t>(capacity) + 8, kSentinel), ""};
    char error[KETRAL_ERROR_CAPACITY];
    out.rc = call(&out.len, out.buffer.data(), error);
    out.error = error;
    return out;
}

class TextQueries : public Queries, public testing::WithParamInterface<TextQuery> {};

TEST_P(TextQueries, AnswerAndSizeProtocol) {
    const TextQuery &q = GetParam();
    const int size = static_cast<int>(q.bytes.size());

    TextOutcome roomy = run(q.call, 5000);
    ASSERT_EQ(roomy.rc, 0) << roomy.error;
    EXPECT_EQ(roomy.len, size);
    EXPECT_EQ(std::string(roomy.buffer.data(), static_cast<size_t>(size)), q.bytes);
    EXPECT_EQ(roomy.error, "");

    TextOutcome short_one = run(q.call, size - 1);
    EXPECT_NE(short_one.rc, 0);
    EXPECT_EQ(short_one.len, size);
    EXPECT_EQ(short_one.error, std::string(q.name) + ": the answer needs " + std::to_string(size) +
                                   " bytes, the buffer holds " + std::to_string(size - 1));
    for (char c : short_one.buffer) ASSERT_EQ(c, kSentinel);

    TextOutcome exact = run(q.call, short_one.len);
    ASSERT_EQ(exact.rc, 0) << exact.error;
    EXPECT_EQ(std::string(exact.buffer.data(), static_cast<size_t>(size)), q.bytes);
    EXPECT_EQ(exact.buffer[static_cast<size_t>(size)], kSentinel);
}

#define TEXT_QUERY(Fn, ...) #Fn, [](int *len, char *res, char *err) { return Fn(__VA_ARGS__, len, res, err); }
#define TEXT_QUERY0(Fn) #Fn, [](int *len, char *res, char *err) { return Fn(len, res, err); }

const TextQuery kTextQueries[] = {
    // Row queries
    {TEXT_QUERY(GetDeviceTypeRow, "SWITCH"),
     row(R"({"devicetypeid":2,"devicetype":"SWITCH","nbrofinput":2,"nbrofoutput":1,"description":null,)"
         R"("rgbcolor":null,"system_list":"DAQ,TFC"})")},
    {TEXT_QUERY(GetDeviceRow_devicename, "sw01"),
     row(R"({"deviceid":3,"devicename":"sw01","devicetypeid":2,"devicetype":"SWITCH","dnode":1,"promiscuous_mode":0,)"
         R"("serialid":null,"serialnb":null,"hwtype":null,"responsible":null,"location":"hall","comments":"a \"b\"",)"
         R"("system_list":"DAQ,TFC","function_list":"readout,switching"})")},
    {TEXT_QUERY(GetDeviceRow_devid, 1),
     row(R"({"deviceid":1,"devicename":"ro01","devicetypeid":1,"devicetype":"READOUT","dnode":0,"promiscuous_mode":1,)"
         R"("serialid":1,"serialnb":"HW-1","hwtype":"ro_board","responsible":"ana","location":"rack1","comments":null,)"
         R"("system_list":"DAQ_RO","function_list":"readout"})")},
    {TEXT_QUERY(GetBootImageRow_devicename, "sw01"),
     row(R"({"deviceid":3,"devicename":"sw01","boot_image":"b","kernel_image":"k","initrd_image":"i",)"
         R"("physical_location":"p","boot_protocol":"tftp"})")},
    {TEXT_QUERY(GetBoardCpntRow_cpntname, "fpga"),
     row(R"({"cpntid":1,"cpntname":"fpga","cpnttype":"FPGA","replacable":1,"motherboardid":3,)"
         R"("motherboardname":"sw01","snbid":1,"serialnb":"C-1","hwtype":"FPGA"})")},
    {TEXT_QUERY(GetBoardCpntRow_cpntid, 2),
     row(R"({"cpntid":2,"cpntname":"pll","cpnttype":"PLL","replacable":0,"motherboardid":3,)"
         R"("motherboardname":"sw01","snbid":null,"serialnb":null,"hwtype":null})")},
    {TEXT_QUERY(GetHWCpntRow_serialnb, "C-1"),
     row(R"({"snbid":1,"serialnb":"C-1","hwtype":"FPGA","status":"IN_USE","responsible":null,"location":"hall",)"
         R"("comments":null,"cpntid":1,"cpntname":"fpga"})")},
    {TEXT_QUERY(GetHWCpntRow_snbid, 2),
     row(R"({"snbid":2,"serialnb":"C-2","hwtype":"FPGA","status":"SPARE","responsible":null,"location":"store",)"
         R"("comments":null,"cpntid":null,"cpntname":null})")},
    {TEXT_QUERY(GetHWDeviceRow_serialnb, "HW-1"),
     row(R"({"serialid":1,"serialnb":"HW-1","hwname":"board","hwtype":"ro_board","status":"IN_USE",)"
         R"("responsible":"ana","location":"rack1","comments":null,"deviceid":1,"devicename":"ro01"})")},
    {TEXT_QUERY(GetIPAliasRow, "gw"),
     row(R"({"aliasid":1,"ipalias":"gw","ipid":1,"ipaddress":"10.0.0.1","ipname":"sw01","subnet":"255.0.0.0"})")},
    {TEXT_QUERY(GetPortRow_pid, 3),
     row(R"({"portid":3,"deviceid":3,"devicename":"sw01","port_nbr":"u0","port_way":2,"port_type":"","speed":10,)"
         R"("admin_status":1,"pxi_booting":0,"phy":"LR","bia":null,"macaddress":null,"ipid":1,)"
         R"("ipaddress":"10.0.0.1","subnet":"255.0.0.0","ipname":"sw01"})")},
    {TEXT_QUERY(GetPortRow_devid, 1, "0", 2, "data"),
     row(R"({"portid":1,"deviceid":1,"devicename":"ro01","port_nbr":"0","port_way":2,"port_type":"data","speed":0,)"
         R"("admin_status":1,"pxi_booting":0,"phy":null,"bia":null,"macaddress":"aa:01","ipid":null,)"
         R"("ipaddress":null,"subnet":null,"ipname":null})")},
    {TEXT_QUERY(GetSparePortRow_snb, "HW-SP", "0", 2, "data"),
     row(R"({"spareportid":1,"serialid":2,"serialnb":"HW-SP","port_nbr":"0","port_way":2,"port_type":"data",)"
         R"("bia":null,"macaddress":"cc:01"})")},
    {TEXT_QUERY(GetMacroConnectivityRow_lkid, 1),
     row(R"({"linkid":1,"portidfrom":1,"deviceidfrom":1,"node_from":"ro01","port_nbrfrom":"0","port_wayfrom":2,)"
         R"("port_typefrom":"data","portidto":2,"deviceidto":3,"node_to":"sw01","port_nbrto":"1","port_wayto":1,)"
         R"("port_typeto":"data","linktypeid":1,"lktype":"data","bidirectional":0,"lkused":1,"link_info":"fibre"})")},
    {TEXT_QUERY(GetMacroConnectivityRow_node, 3, "1", 1, "data"),
     row(R"({"linkid":1,"portidfrom":1,"deviceidfrom":1,"node_from":"ro01","port_nbrfrom":"0","port_wayfrom":2,)"
         R"("port_typefrom":"data","portidto":2,"deviceidto":3,"node_to":"sw01","port_nbrto":"1","port_wayto":1,)"
         R"("port_typeto":"data","linktypeid":1,"lktype":"data","bidirectional":0,"lkused":1,"link_info":"fibre"})")},
    {TEXT_QUERY(GetMicroConnectivityRow_lkid, 2),
     row(R"({"linkid":2,"cpntfrom":null,"motherboardfrom":3,"node_from":"sw01","port_nbrfrom":4,"cpntto":1,)"
         R"("motherboardto":null,"node_to":"fpga","port_nbrto":3,"linktypeid":2,"lktype":"ctrl","bidirectional":0,)"
         R"("lkused":1})")},
    {TEXT_QUERY(GetMicroConnectivityRow_node, 1, 1, 2),
     row(R"({"linkid":1,"cpntfrom":1,"motherboardfrom":null,"node_from":"fpga","port_nbrfrom":1,"cpntto":2,)"
         R"("motherboardto":null,"node_to":"pll","port_nbrto":2,"linktypeid":2,"lktype":"ctrl","bidirectional":0,)"
         R"("lkused":1})")},
    {TEXT_QUERY(GetIPInfoRow, "10.0.0.1"),
     row(R"({"ipid":1,"ipaddress":"10.0.0.1","subnet":"255.0.0.0","ipname":"sw01","portid":3,"deviceid":3,)"
         R"("devicename":"sw01","port_nbr":"u0"})")},
    {TEXT_QUERY(GetLkTypeRow_lkname, "both"), row(R"({"linktypeid":3,"lktype":"both","link_list":"ctrl,data"})")},
    {TEXT_QUERY(GetLkTypeRow_lknb, 2), row(R"({"linktypeid":2,"lktype":"ctrl","link_list":null})")},
    // A row query that finds nothing
    {TEXT_QUERY(GetDeviceRow_devicename, "nope"), kNoRows},
    // String lists
    {TEXT_QUERY(GetDeviceNamesPerType, "READOUT"), "ro01\0ro02\0"s},
    {TEXT_QUERY(GetFreeDeviceNamesPerType, "READOUT"), "ro02\0"s},
    {TEXT_QUERY(GetDeviceNamesPerLocation, "rack1"), "ro01\0ro02\0"s},
    {TEXT_QUERY(GetDeviceNamesPerFunction, "readout"), "ro01\0sw01\0"s},
    {TEXT_QUERY(GetBoardCpntPerType, "FPGA"), "fpga\0"s},
    {TEXT_QUERY(GetCpntNamesPerBoard, "sw01"), "fpga\0pll\0"s},
    {TEXT_QUERY(GetSpareHWPerLocation, "store"),
     row(R"({"serialid":2,"serialnb":"HW-SP","hwname":"spare","hwtype":"ro_board","location":"store",)"
         R"("responsible":"ana","comments":null})")},
    {TEXT_QUERY(GetSpareHWCpntPerLocation, "store"),
     row(R"({"snbid":2,"serialnb":"C-2","hwtype":"FPGA","location":"store","responsible":null,"comments":null})")},
    {TEXT_QUERY(GetSpareHWPerType, "ro_board"),
     row(R"({"serialid":2,"serialnb":"HW-SP","hwname":"spare","hwtype":"ro_board","location":"store",)"
         R"("responsible":"ana","comments":null})")},
    {TEXT_QUERY(GetSpareHWCpntPerType, "FPGA"),
     row(R"({"snbid":2,"serialnb":"C-2","hwtype":"FPGA","location":"store","responsible":null,"comments":null})")},
    {TEXT_QUERY(GetPortInfoPerSpare, "HW-SP"),
     row(R"({"spareportid":1,"port_nbr":"0","port_way":2,"port_type":"data","bia":null,"macaddress":"cc:01"})")},
    {TEXT_QUERY(GetIPAliasesPerIPName, "sw01"), "gw\0"s},
    {TEXT_QUERY0(GetAvailableFunctions), "readout\0switching\0"s},
    {TEXT_QUERY0(GetListOfSubsystems), "DAQ\0DAQ_RO\0TFC\0"s},
    {TEXT_QUERY0(GetSpareHWTypeList), "ro_board\0"s},
    {TEXT_QUERY(GetLkTypeDecomposition_lknb, 3), "ctrl\0data\0"s},
    {TEXT_QUERY(GetLkTypeDecomposition_lknb, 4), "ctrl\0data\0"s},  // a composite inside is unfolded
    {TEXT_QUERY(GetLkTypeDecomposition_lknb, 1), "data\0"s},        // a simple type is made of itself
    {TEXT_QUERY(GetMacIPAddPerDevID, 3),
     row(R"({"portid":3,"port_nbr":"u0","port_way":2,"port_type":"","macaddress":null,"bia":null,)"
         R"("ipaddress":"10.0.0.1","subnet":"255.0.0.0","ipname":"sw01"})")},
    // A list that finds nothing
    {TEXT_QUERY(GetDeviceNamesPerType, "NONE"), kNoRows},
};

INSTANTIATE_TEST_SUITE_P(Every, TextQueries, testing::ValuesIn(kTextQueries), [](const auto &info) {
    return std::string(info.param.name) + "_" + std::to_string(info.index);
});

// ---- integer lists -------------------------------------------------------------------------

using IntCall = std::function<int(int *count, int *result, char *error)>;

struct IntQuery {
    const char *name;
    IntCall call;
    std::vector<int> ids;  // empty: the -1, -1 marker
};

#define INT_QUERY(Fn, ...) #Fn, [](int *count, int *res, char *err) { return Fn(__VA_ARGS__, count, res, err); }

class IntQueries : public Queries, public testing::WithParamInterface<IntQuery> {};

TEST_P(IntQueries, AnswerAndSizeProtocol) {
    const IntQuery &q = GetParam();
    char error[KETRAL_LKINFO_ERROR_CAPACITY];
    std::vector<int> array(100, 7777);
    int count = 90;
    ASSERT_EQ(q.call(&count, array.data(), error), 0) << error;
    if (q.ids.empty()) {
        EXPECT_EQ(count, 0);
        EXPECT_EQ(array[0], -1);
        EXPECT_EQ(array[1], -1);
        EXPECT_EQ(array[2], 7777);
        return;
    }
    const int n = static_cast<int>(q.ids.size());
    EXPECT_EQ(count, n);
    EXPECT_EQ(std::vector<int>(array.begin(), array.begin() + n), q.ids);
    EXPECT_EQ(array[static_cast<size_t>(n)], 7777);

    std::fill(array.begin(), array.end(), 7777);
    count = n - 1;
    EXPECT_NE(q.call(&count, array.data(), error), 0);
    EXPECT_EQ(count, n);
    EXPECT_EQ(std::string(error), std::string(q.name) + ": the answer needs " + std::to_string(n) +
                                      " entries, the array holds " + std::to_string(n - 1));
    EXPECT_EQ(array[0], 7777);
}

const IntQuery kIntQueries[] = {
    {INT_QUERY(GetPortIDPerDevID, 3), {2, 3}},
    {INT_QUERY(GetDeviceIDsPerType, "READOUT"), {1, 2}},
    {INT_QUERY(GetLkFromDevID, 1), {1}},
    {INT_QUERY(GetLkToDevID, 3), {1}},
    {INT_QUERY(GetLkToDevID, 1), {}},
    {INT_QUERY(GetMicroLkFromCpntID, 1, 0), {1}},
    {INT_QUERY(GetMicroLkFromCpntID, 3, 1), {2}},
    {INT_QUERY(GetMicroLkToCpntID, 1, 0), {2}},
    {INT_QUERY(GetMicroLkToCpntID, 3, 1), {}},
    {INT_QUERY(GetLkIDsPerLkInfo, "fibre"), {1}},
    {INT_QUERY(GetLkIDsPerLkInfo, "fib"), {}},
};

INSTANTIATE_TEST_SUITE_P(Every, IntQueries, testing::ValuesIn(kIntQueries), [](const auto &info) {
    return std::string(info.param.name) + "_" + std::to_string(info.index);
});

// ---- lookups -----------------------------------------------------------------------------------

TEST_F(Queries, NameLookups) {
    char name[KETRAL_NAME_CAPACITY];
    char error[KETRAL_ERROR_CAPACITY];
    ASSERT_EQ(GetDeviceName_deviceid(3, name, error), 0) << error;
    EXPECT_STREQ(name, "sw01");
    ASSERT_EQ(GetCpntName_cpntid(2, name, error), 0) << error;
    EXPECT_STREQ(name, "pll");
    EXPECT_NE(GetDeviceName_deviceid(0, name, error), 0);
    EXPECT_STREQ(error, "GetDeviceName_deviceid: no device with id 0");
}

TEST_F(Queries, IdLookups) {
    char error[KETRAL_ERROR_CAPACITY];
    int id = -1;
    ASSERT_EQ(GetDeviceID_devicename("ro02", &id, error), 0) << error;
    EXPECT_EQ(id, 2);
    ASSERT_EQ(GetCpntID_cpntname("fpga", &id, error), 0) << error;
    EXPECT_EQ(id, 1);
    ASSERT_EQ(GetPortID_portinfo(3, "u0", "", 2, &id, error), 0) << error;
    EXPECT_EQ(id, 3);
    id = -1;
    EXPECT_NE(GetPortID_portinfo(3, "u0", "", 1, &id, error), 0);
    EXPECT_STREQ(error, "GetPortID_portinfo: device 3 has no port 'u0' (way 1, type '')");
    EXPECT_EQ(id, -1);
    EXPECT_NE(GetCpntID_cpntname(nullptr, &id, error), 0);
    EXPECT_STREQ(error, "GetCpntID_cpntname: no board component named ''");
}

// ---- loaders -------------------------------------------------------------------------------------

// A loader's answer as rows "int|...|text|...", columns in the order given.
struct LoaderAnswer {
    int rc;
    std::string error;
    std::vector<int> sizes;  // the counts and lengths as left
    std::vector<std::string> rows;
};

std::vector<std::string> split(const std::vector<char> &packed, int length) {
    std::vector<std::string> items;
    for (int at = 0; at < length;) {
        items.emplace_back(packed.data() + at);
        at += static_cast<int>(items.back().size()) + 1;
    }
    return items;
}

// LoadConnectivityTable with `rows` entries per array and `bytes` per text list.
LoaderAnswer connectivity(const char *selector, int rows, int bytes) {
    std::vector<std::vector<int>> ints(6, std::vector<int>(static_cast<size_t>(rows) + 1, 7777));
    std::vector<std::vector<char>> texts(3, std::vector<char>(static_cast<size_t>(bytes) + 1, kSentinel));
    int n = rows, l1 = bytes, l2 = bytes, l3 = bytes;
    char error[KETRAL_ERROR_CAPACITY];
    LoaderAnswer a;
    a.rc = LoadConnectivityTable(selector, &n, ints[0].data(), ints[1].data(), ints[2].data(), &l1, &l2,
                                 texts[0].data(), texts[1].data(), ints[3].data(), ints[4].data(), ints[5].data(),
                                 texts[2].data(), &l3, error);
    a.error = error;
    a.sizes = {n, l1, l2, l3};
    if (a.rc != 0) {
        for (const auto &t : texts) EXPECT_EQ(t[0], kSentinel);
        return a;
    }
    const auto from = split(texts[0], l1), to = split(texts[1], l2), info = split(texts[2], l3);
    for (int i = 0; i < n; ++i)
        a.rows.push_back(std::to_string(ints[0][i]) + "|" + std::to_string(ints[1][i]) + "|" +
                         std::to_string(ints[2][i]) + "|" + from[i] + "|" + to[i] + "|" + std::to_string(ints[3][i]) +
                         "|" + std::to_string(ints[4][i]) + "|" + std::to_string(ints[5][i]) + "|" + info[i]);
    return a;
}

TEST_F(Queries, ConnectivityTable) {
    const std::vector<std::string> all = {"1|1|3|0:out:data|1:in:data|0|1|1|fibre"};
    for (const char *selector : {"", "ALL", "DAQ", "DAQ_RO", "TFC"}) {
        const LoaderAnswer a = connectivity(selector, 10, 100);
        ASSERT_EQ(a.rc, 0) << a.error;
        EXPECT_EQ(a.rows, all) << selector;
        EXPECT_EQ(a.sizes, (std::vector<int>{1, 11, 10, 6})) << selector;
    }
    // Every size too small is raised at once.
    const LoaderAnswer small = connectivity("ALL", 0, 5);
    EXPECT_NE(small.rc, 0);
    EXPECT_EQ(small.sizes, (std::vector<int>{1, 11, 10, 6}));
    EXPECT_EQ(small.error,
              "LoadConnectivityTable: the answer needs 1 rows, the arrays hold 0, 11 bytes of port_from, "
              "the buffer holds 5, 10 bytes of port_to, the buffer holds 5, 6 bytes of lkinfo, the "
              "buffer holds 5");
    EXPECT_EQ(connectivity("ALL", 1, 11).rc, 0);

    const LoaderAnswer unknown = connectivity("DAQ_X", 10, 100);
    EXPECT_EQ(unknown.error, "LoadConnectivityTable: no subsystem named 'DAQ_X'");
}

using IdNameCall = std::function<int(int *rows, int *ids, int *len, char *names, char *error)>;

LoaderAnswer id_names(const IdNameCall &call, int rows, int bytes) {
    std::vector<int> ids(static_cast<size_t>(rows) + 1, 7777);
    std::vector<char> names(static_cast<size_t>(bytes) + 1, kSentinel);
    int n = rows, len = bytes;
    char error[KETRAL_ERROR_CAPACITY];
    LoaderAnswer a;
    a.rc = call(&n, ids.data(), &len, names.data(), error);
    a.error = error;
    a.sizes = {n, len};
    if (a.rc != 0) return a;
    const auto items = split(names, len);
    for (int i = 0; i < n; ++i) a.rows.push_back(std::to_string(ids[i]) + "|" + items[i]);
    return a;
}

struct IdNameLoader {
    const char *name;
    IdNameCall call;
    std::vector<std::string> rows;
};

class IdNameLoaders : public Queries, public testing::WithParamInterface<IdNameLoader> {};

TEST_P(IdNameLoaders, RowsAndSizes) {
    const IdNameLoader &l = GetParam();
    const LoaderAnswer a = id_names(l.call, 100, 1000);
    ASSERT_EQ(a.rc, 0) << a.error;
    EXPECT_EQ(a.rows, l.rows);
    int bytes = 0;
    for (const auto &r : l.rows) bytes += static_cast<int>(r.size() - r.find('|'));  // name + NUL
    EXPECT_EQ(a.sizes, (std::vector<int>{static_cast<int>(l.rows.size()), bytes}));

    const LoaderAnswer small = id_names(l.call, 1, bytes - 1);
    EXPECT_NE(small.rc, 0);
    EXPECT_EQ(small.sizes, a.sizes);
    EXPECT_EQ(id_names(l.call, a.sizes[0], a.sizes[1]).rows, l.rows);
}

const IdNameLoader kIdNameLoaders[] = {
    {"MatchAll",
     [](int *n, int *ids, int *len, char *names, char *err) {
         return MatchDeviceIDDeviceName("ALL", n, ids, len, names, err);
     },
     {"1|ro01", "2|ro02", "3|sw01"}},
    {"MatchSubsystemAndBelow",
     [](int *n, int *ids, int *len, char *names, char *err) {
         return MatchDeviceIDDeviceName("DAQ", n, ids, len, names, err);
     },
     {"1|ro01", "2|ro02", "3|sw01"}},
    {"MatchLeafSubsystem",
     [](int *n, int *ids, int *len, char *names, char *err) {
         return MatchDeviceIDDeviceName("TFC", n, ids, len, names, err);
     },
     {"3|sw01"}},
    {"DeviceTypesAll",
     [](int *n, int *ids, int *len, char *names, char *err) {
         return LoadDeviceTypeTable("", len, names, n, ids, err);
     },
     {"1|READOUT", "2|SWITCH"}},
    {"DeviceTypesOfSubsystem",
     [](int *n, int *ids, int *len, char *names, char *err) {
         return LoadDeviceTypeTable("DAQ_RO", len, names, n, ids, err);
     },
     {"1|READOUT"}},
    {"LinkTypes",
     [](int *n, int *ids, int *len, char *names, char *err) { return LoadLinkTypeTable(n, ids, len, names, err); },
     {"1|data", "2|ctrl", "3|both", "4|nested"}},
};

INSTANTIATE_TEST_SUITE_P(Every, IdNameLoaders, testing::ValuesIn(kIdNameLoaders),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace

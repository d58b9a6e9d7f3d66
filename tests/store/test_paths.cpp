// The path family's contract at the C edge: answers too large for the
// caller's buffers raise every size to its exact need at once and write
// nothing; the second call with those sizes succeeds; searches past their
// limits are refused; the connectivity cache follows its flags.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "store/export.hpp"
#include "store/guard.hpp"
#include "store/paths/network.hpp"
#include "store/session.hpp"

namespace store = ketral::store;

namespace {

constexpr char kGuard = '#';

// A buffer of `capacity` bytes (or ints) followed by guard bytes.
template <typename T>
struct Guarded {
    explicit Guarded(int capacity) { resize(capacity); }
    void resize(int capacity) {
        this->capacity = capacity;
        bytes.assign(static_cast<std::size_t>(capacity) * sizeof(T) + 32, kGuard);
    }
    T *data() { return reinterpret_cast<T *>(bytes.data()); }
    bool untouched_from(int at) const {
        for (std::size_t i = static_cast<std::size_t>(at) * sizeof(T); i < bytes.size(); ++i)
            if (bytes[i] != kGuard) return false;
        return true;
    }
    std::vector<std::string> texts(int length) const {
        std::vector<std::string> out;
        for (int at = 0; at < length;) {
            out.emplace_back(bytes.data() + at);
            at += static_cast<int>(out.back().size()) + 1;
        }
        return out;
    }
    int capacity;
    std::vector<char> bytes;
};

// Three devices, a -> b over two parallel links, b -> c over two: four paths of two links.
class PathCalls : public testing::Test {
protected:
    void SetUp() override {
        char error[KETRAL_ERROR_CAPACITY];
        ASSERT_EQ(DBConnexion(":memory:", "", "", error), 0) << error;
        ASSERT_EQ(CreateTableSchema(error), 0) << error;
        auto &db = store::Session::instance().db();
        db.execute(
            "INSERT INTO device_type (devicetype) VALUES ('T');"
            "INSERT INTO functional_device (devicename, devicetypeid) VALUES ('a', 1), ('b', 1), ('c', 1);"
            "INSERT INTO link_type (lktype) VALUES ('data');"
            "INSERT INTO port (deviceid, port_nbr, port_way, port_type) VALUES "
            "(1, '1', 2, 'x'), (1, '2', 2, 'x'), (2, '1', 1, 'x'), (2, '2', 1, 'x'), (2, '3', 2, ''), (2, '4', 2, ''),"
            "(3, '1', 1, ''), (3, '2', 1, '');"
            "INSERT INTO macro_link (portidfrom, portidto, linktypeid, link_info) VALUES "
            "(1, 3, 1, 'first'), (2, 4, 1, NULL), (5, 7, 1, 'a longer link information'), (6, 8, 1, '');");
    }
    void TearDown() override {
        char error[KETRAL_ERROR_CAPACITY];
        DBDeconnexion(error);
        for (const char *name : {"KETRAL_PATH_ROW_LIMIT", "KETRAL_PATH_STEP_LIMIT", "KETRAL_ANSWER_BYTE_LIMIT"})
            unsetenv(name);
    }

    // The nine columns of GetConnectivityBetweenDevices, with guards.
    struct Pair {
        explicit Pair(int rows, int bytes)
            : n(rows),
              pathid(rows),
              link_pos(rows),
              lkid(rows),
              lktype(rows),
              node_from(bytes),
              node_to(bytes),
              port_from(bytes),
              port_to(bytes),
              lkinfo(bytes) {
            lens = {bytes, bytes, bytes, bytes, bytes};
        }
        int call(const char *from, const char *to, std::string &message, int reload = 0, int del = 0) {
            char error[KETRAL_ERROR_CAPACITY];
            const int rc = GetConnectivityBetweenDevices(from, to, &n, &lens[2], &lens[0], &lens[3], &lens[1], &lens[4],
                                                         node_from.data(), node_to.data(), port_from.data(),
                                                         lkid.data(), port_to.data(), lktype.data(), pathid.data(),
                                                         link_pos.data(), lkinfo.data(), reload, del, error);
            message = error;
            return rc;
        }
        bool untouched() const {
            for (const auto *ints : {&pathid, &link_pos, &lkid, &lktype})
                if (!ints->untouched_from(0)) return false;
            for (const auto *texts : {&node_from, &node_to, &port_from, &port_to, &lkinfo})
                if (!texts->untouched_from(0)) return false;
            return true;
        }
        int n;
        std::vector<int> lens;  // node_from, node_to, port_from, port_to, lkinfo
        Guarded<int> pathid, link_pos, lkid, lktype;
        Guarded<char> node_from, node_to, port_from, port_to, lkinfo;
    };
};

}  // namespace

TEST_F(PathCalls, TooSmallRaisesEverySizeToItsExactNeedAtOnceAndWritesNothing) {
    Pair small(1, 2);
    std::string message;
    ASSERT_NE(small.call("a", "c", message), 0);
    EXPECT_EQ(message,
              "GetConnectivityBetweenDevices: the answer needs 8 rows, the arrays hold 1, 16 bytes of node_from, the "
              "buffer holds 2, 16 bytes of node_to, the buffer holds 2, 16 bytes of port_from, the buffer holds 2, "
              "16 bytes of port_to, the buffer holds 2, 68 bytes of lkinfo, the buffer holds 2");
    EXPECT_EQ(small.n, 8);
    EXPECT_EQ(small.lens, (std::vector<int>{16, 16, 16, 16, 68}));
    EXPECT_TRUE(small.untouched());

    // Exactly the sizes asked for: the second call succeeds and stays within them.
    Pair exact(small.n, 0);
    exact.lens = small.lens;
    for (int k = 0; k < 5; ++k) {
        Guarded<char> *texts[] = {&exact.node_from, &exact.node_to, &exact.port_from, &exact.port_to, &exact.lkinfo};
        texts[k]->resize(small.lens[static_cast<std::size_t>(k)]);
    }
    ASSERT_EQ(exact.call("a", "c", message), 0) << message;
    EXPECT_EQ(exact.n, 8);
    EXPECT_EQ(exact.lens, small.lens);
    for (const auto *ints : {&exact.pathid, &exact.link_pos, &exact.lkid, &exact.lktype})
        EXPECT_TRUE(ints->untouched_from(8));
    EXPECT_TRUE(exact.lkinfo.untouched_from(68));
    EXPECT_EQ(std::vector<int>(exact.pathid.data(), exact.pathid.data() + 8),
              (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(std::vector<int>(exact.link_pos.data(), exact.link_pos.data() + 8),
              (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(std::vector<int>(exact.lkid.data(), exact.lkid.data() + 8), (std::vector<int>{1, 3, 1, 4, 2, 3, 2, 4}));
    EXPECT_EQ(exact.node_from.texts(16), (std::vector<std::string>{"a", "b", "a", "b", "a", "b", "a", "b"}));
    EXPECT_EQ(exact.port_to.texts(16), (std::vector<std::string>{"1", "1", "1", "2", "2", "1", "2", "2"}));
    EXPECT_EQ(exact.lkinfo.texts(68), (std::vector<std::string>{"first", "a longer link information", "first", "", "",
                                                                "a longer link information", "", ""}));
}

TEST_F(PathCalls, OnlyTheColumnsTooSmallAreRaised) {
    Pair answer(100, 1000);
    answer.lens[4] = 10;  // lkinfo only
    std::string message;
    ASSERT_NE(answer.call("a", "c", message), 0);
    EXPECT_EQ(message, "GetConnectivityBetweenDevices: the answer needs 68 bytes of lkinfo, the buffer holds 10");
    EXPECT_EQ(answer.n, 100);
    EXPECT_EQ(answer.lens, (std::vector<int>{1000, 1000, 1000, 1000, 68}));
}

TEST_F(PathCalls, NoPathAnswersZeroRows) {
    Pair answer(10, 100);
    std::string message;
    ASSERT_EQ(answer.call("c", "a", message), 0) << message;
    EXPECT_EQ(answer.n, 0);
    EXPECT_EQ(answer.lens, (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST_F(PathCalls, AllPathsCountTooSmallAsksForEveryRow) {
    int n = 3;
    Guarded<int> link_pos(3), pathid(3), lkid(3);
    char error[KETRAL_ERROR_CAPACITY];
    ASSERT_NE(GetAllPathsPerDevice("a", "", &n, link_pos.data(), pathid.data(), lkid.data(), 0, 0, error), 0);
    EXPECT_STREQ(error, "GetAllPathsPerDevice: the answer needs 8 rows, the arrays hold 3");
    EXPECT_EQ(n, 8);
    EXPECT_TRUE(pathid.untouched_from(0));
}

struct LimitCase {
    const char *name;
    const char *variable;
    const char *value;
    std::string message;
};

class PathLimits : public PathCalls, public testing::WithParamInterface<LimitCase> {};

TEST_P(PathLimits, AreRefusedWithTheLimitNamed) {
    const LimitCase &c = GetParam();
    setenv(c.variable, c.value, 1);
    Pair answer(100, 1000);
    std::string message;
    ASSERT_NE(answer.call("a", "c", message), 0);
    EXPECT_EQ(message, c.message);
    unsetenv(c.variable);
    ASSERT_EQ(answer.call("a", "c", message), 0) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathLimits,
    testing::Values(
        LimitCase{"rows", "KETRAL_PATH_ROW_LIMIT", "7",
                  "GetConnectivityBetweenDevices: the paths from 'a' to 'c' take more than 7 rows (links over all "
                  "paths), the limit KETRAL_PATH_ROW_LIMIT; narrow the query"},
        LimitCase{"steps", "KETRAL_PATH_STEP_LIMIT", "5",
                  "GetConnectivityBetweenDevices: the search for the paths from 'a' to 'c' tried more than 5 links, "
                  "the limit KETRAL_PATH_STEP_LIMIT; narrow the query"},
        LimitCase{"bytes", "KETRAL_ANSWER_BYTE_LIMIT", "50",
                  "GetConnectivityBetweenDevices: the answer would need 68 bytes of lkinfo, more than the limit "
                  "KETRAL_ANSWER_BYTE_LIMIT (50); narrow the query"},
        LimitCase{"not_a_number", "KETRAL_PATH_ROW_LIMIT", "many",
                  "GetConnectivityBetweenDevices: KETRAL_PATH_ROW_LIMIT must be a positive whole number without "
                  "blanks, not 'many'"},
        LimitCase{"blank_before", "KETRAL_PATH_ROW_LIMIT", " 7",
                  "GetConnectivityBetweenDevices: KETRAL_PATH_ROW_LIMIT must be a positive whole number without "
                  "blanks, not ' 7'"},
        LimitCase{"signed", "KETRAL_PATH_STEP_LIMIT", "+5",
                  "GetConnectivityBetweenDevices: KETRAL_PATH_STEP_LIMIT must be a positive whole number without "
                  "blanks, not '+5'"},
        LimitCase{"past_64_bits", "KETRAL_PATH_STEP_LIMIT", "18446744073709551616",
                  "GetConnectivityBetweenDevices: KETRAL_PATH_STEP_LIMIT must be a positive whole number without "
                  "blanks, not '18446744073709551616'"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PathCalls, CacheIsBuiltOnUseFreedOnRequestAndDroppedByWriters) {
    auto &session = store::Session::instance();
    EXPECT_FALSE(session.connectivity);
    Pair answer(100, 1000);
    std::string message;
    ASSERT_EQ(answer.call("a", "c", message), 0);
    ASSERT_TRUE(session.connectivity);
    const auto *built = session.connectivity.get();
    ASSERT_EQ(answer.call("a", "c", message), 0);
    EXPECT_EQ(session.connectivity.get(), built);  // warm
    session.connectivity.reset();
    EXPECT_FALSE(session.connectivity);
    ASSERT_EQ(answer.call("a", "c", message, 0, 1), 0);
    EXPECT_FALSE(session.connectivity);  // freed after the call
    // Freed after a failed call too.
    ASSERT_NE(answer.call("a", "nowhere", message, 0, 1), 0);
    EXPECT_FALSE(session.connectivity);
}

TEST_F(PathCalls, SecondCallAnswersWhatTheFirstFound) {
    Pair small(1, 1);
    std::string message;
    ASSERT_NE(small.call("a", "c", message), 0);
    // A change no library write announced (another process, say) between the two calls.
    store::Session::instance().db().execute("UPDATE macro_link SET lkused = 0 WHERE linkid = 1");
    Pair larger(small.n, 1000);
    ASSERT_EQ(larger.call("a", "c", message), 0) << message;
    EXPECT_EQ(larger.n, 8);
    // The next query sees the graph as loaded until reload_connectivity = 1 ...
    ASSERT_EQ(larger.call("a", "c", message), 0);
    EXPECT_EQ(larger.n, 8);
    ASSERT_EQ(larger.call("a", "c", message, 1), 0);
    EXPECT_EQ(larger.n, 4);
}

TEST_F(PathCalls, TextListsRaiseTheirLengthExactly) {
    char error[KETRAL_ERROR_CAPACITY];
    Guarded<char> result(4);
    int length = 4;
    ASSERT_NE(GetConnOutBetweenDeviceDeviceType("a", "c", 0, &length, result.data(), 0, 0, error), 0);
    const std::string expected = std::string("c|1:out:x|2") + '\0' + "c|2:out:x|2" + '\0';
    EXPECT_EQ(length, static_cast<int>(expected.size()));
    EXPECT_TRUE(result.untouched_from(0));
    result.resize(length);
    ASSERT_EQ(GetConnOutBetweenDeviceDeviceType("a", "c", 0, &length, result.data(), 0, 0, error), 0) << error;
    EXPECT_EQ(std::string(result.bytes.data(), static_cast<std::size_t>(length)), expected);
    EXPECT_TRUE(result.untouched_from(length));

    length = 1;
    Guarded<char> names(1);
    ASSERT_NE(GetDestinationNamePerDevPort("a", "2", "x", &length, names.data(), error), 0);
    EXPECT_STREQ(error, "GetDestinationNamePerDevPort: the answer needs 2 bytes, the buffer holds 1");
    EXPECT_EQ(length, 2);
}

TEST_F(PathCalls, MicroAnswersLeaveTheUnusedListsAlone) {
    auto &db = store::Session::instance().db();
    db.execute(
        "INSERT INTO board_cpnt (cpntname, cpnttype, motherboardid) VALUES ('chip', 'ASIC', 2);"
        "INSERT INTO micro_link (motherboardfrom, port_nbrfrom, cpntto, port_nbrto, linktypeid) VALUES (2, 1, 1, 7, 1);"
        "INSERT INTO micro_link (cpntfrom, port_nbrfrom, motherboardto, port_nbrto, linktypeid) VALUES (1, 8, 2, 2, "
        "1);");
    int n = 1, len_a = 3, len_b = 3, len_c = 5, len_d = 5;
    Guarded<int> ints1(1), ints2(1);
    Guarded<char> a(3), b(3), c(5), d(5);
    char error[KETRAL_ERROR_CAPACITY];
    ASSERT_NE(
        GetMicroConnectBetweenBoardCpntAndMotherBoard("chip", 0, ints1.data(), ints2.data(), &n, a.data(), &len_a,
                                                      b.data(), &len_b, c.data(), &len_c, d.data(), &len_d, error),
        0);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(len_a, 7);  // "chip", "b"
    EXPECT_EQ(len_b, 7);  // "b", "chip"
    EXPECT_EQ(len_c, 5);
    EXPECT_EQ(len_d, 5);
    ints1.resize(2);
    ints2.resize(2);
    a.resize(7);
    b.resize(7);
    ASSERT_EQ(
        GetMicroConnectBetweenBoardCpntAndMotherBoard("chip", 0, ints1.data(), ints2.data(), &n, a.data(), &len_a,
                                                      b.data(), &len_b, c.data(), &len_c, d.data(), &len_d, error),
        0)
        << error;
    EXPECT_EQ(std::vector<int>(ints1.data(), ints1.data() + 2), (std::vector<int>{8, 1}));
    EXPECT_EQ(std::vector<int>(ints2.data(), ints2.data() + 2), (std::vector<int>{2, 7}));
    EXPECT_EQ(a.texts(7), (std::vector<std::string>{"chip", "b"}));
    EXPECT_TRUE(c.untouched_from(0));
    EXPECT_TRUE(d.untouched_from(0));
}

// The guard and the connection functions: messages that fit their buffer,
// the not-connected and no-schema refusals, and what a connection change does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "store/guard.hpp"
#include "store/sql/errors.hpp"

namespace store = ketral::store;
using store::Call;
using store::Needs;
using store::Session;

namespace {

constexpr char kSentinel = '#';

// An error buffer of `capacity` bytes followed by guard bytes that must stay untouched.
struct Buffer {
    explicit Buffer(int capacity, std::string initial = "")
        : capacity(capacity), bytes(static_cast<size_t>(capacity) + 16, kSentinel) {
        initial.push_back('\0');
        std::copy_n(initial.begin(), std::min(initial.size(), static_cast<size_t>(capacity)), bytes.begin());
    }
    char *data() { return bytes.data(); }
    std::string text() const { return std::string(bytes.data(), strnlen(bytes.data(), capacity)); }
    bool terminated() const { return std::memchr(bytes.data(), '\0', static_cast<size_t>(capacity)) != nullptr; }
    bool tail_untouched() const {
        for (size_t i = capacity; i < bytes.size(); ++i)
            if (bytes[i] != kSentinel) return false;
        return true;
    }
    int capacity;
    std::vector<char> bytes;
};

class Disconnected : public testing::Test {
protected:
    void SetUp() override { disconnect(); }
    void TearDown() override { disconnect(); }
    static void disconnect() {
        char error[KETRAL_ERROR_CAPACITY];
        ASSERT_EQ(DBDeconnexion(error), 0);
    }
    static int connect(const std::string &database, std::string *message = nullptr) {
        Buffer error(KETRAL_ERROR_CAPACITY);
        const int rc = DBConnexion(database.c_str(), "", "", error.data());
        if (message) *message = error.text();
        return rc;
    }
    static std::string fail_message(const std::function<int(char *)> &call) {
        Buffer error(KETRAL_ERROR_CAPACITY, "stale text");
        EXPECT_NE(call(error.data()), 0);
        EXPECT_TRUE(error.terminated());
        EXPECT_TRUE(error.tail_untouched());
        return error.text();
    }
};

}  // namespace

// ---- write_message -----------------------------------------------------------

struct MessageCase {
    const char *name;
    int capacity;
    std::string message;
    std::string written;
};

class WriteMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(WriteMessage, FitsTheCapacityWithItsNul) {
    const MessageCase &c = GetParam();
    Buffer buffer(c.capacity, "old");
    store::write_message(buffer.data(), c.capacity, c.message);
    EXPECT_EQ(buffer.text(), c.written);
    EXPECT_TRUE(buffer.terminated());
    EXPECT_TRUE(buffer.tail_untouched());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteMessage,
    testing::Values(MessageCase{"fits", 10, "abc", "abc"}, MessageCase{"exactly_fits", 4, "abc", "abc"},
                    MessageCase{"one_too_long", 4, "abcd", "abc"}, MessageCase{"only_the_nul", 1, "abc", ""},
                    MessageCase{"long", 1000, std::string(5000, 'm'), std::string(999, 'm')},
                    // "aé€": never cut inside a character.
                    MessageCase{"utf8_boundary", 5, "a\xC3\xA9\xE2\x82\xAC", "a\xC3\xA9"},
                    MessageCase{"utf8_whole", 7, "a\xC3\xA9\xE2\x82\xAC", "a\xC3\xA9\xE2\x82\xAC"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WriteMessageEdges, NoCapacityOrNoBufferWritesNothing) {
    Buffer buffer(8, "keep");
    store::write_message(buffer.data(), 0, "x");
    EXPECT_EQ(buffer.text(), "keep");
    store::write_message(nullptr, 100, "x");  // must not crash
}

// ---- guarded -----------------------------------------------------------------

struct ThrowCase {
    const char *name;
    std::function<void()> thrower;
    std::string message;
};

class GuardedThrow : public testing::TestWithParam<ThrowCase> {};

TEST_P(GuardedThrow, BecomesNonZeroAndOneMessage) {
    Buffer error(KETRAL_ERROR_CAPACITY, "stale");
    const int rc = store::guarded(Call{"Op", error.data(), Needs::Nothing}, [&](Session &) { GetParam().thrower(); });
    EXPECT_NE(rc, 0);
    EXPECT_EQ(error.text(), GetParam().message);
    EXPECT_TRUE(error.tail_untouched());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuardedThrow,
    testing::Values(ThrowCase{"failure_as_is", [] { throw store::Failure("Op: no device named 'sw07'"); },
                              "Op: no device named 'sw07'"},
                    ThrowCase{"database_error_named",
                              [] {
                                  throw ketral::store::sql::sqlite_error(2067, ketral::store::sql::Verb::Insert,
                                                                         "UNIQUE constraint failed: port.port_nbr");
                              },
                              "Op: a port with this port_nbr already exists"},
                    ThrowCase{"std_exception", [] { throw std::out_of_range("index 9"); },
                              "Op: internal error: index 9"},
                    ThrowCase{"out_of_memory", [] { throw std::bad_alloc(); }, "Op: out of memory"},
                    ThrowCase{"anything", [] { throw 42; }, "Op: internal error"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Guarded, SuccessClearsTheErrorBuffer) {
    Buffer error(KETRAL_ERROR_CAPACITY, "stale message");
    EXPECT_EQ(store::guarded(Call{"Op", error.data(), Needs::Nothing}, [](Session &) {}), 0);
    EXPECT_EQ(error.text(), "");
}

TEST(Guarded, LongMessageIsCutToTheCapacityItIsGiven) {
    const std::string long_text = "Op: " + std::string(20000, 'z');
    for (int capacity : {KETRAL_ERROR_CAPACITY, KETRAL_LKINFO_ERROR_CAPACITY}) {
        Buffer error(capacity);
        store::guarded(Call{"Op", error.data(), Needs::Nothing, capacity},
                       [&](Session &) { throw store::Failure(long_text); });
        EXPECT_EQ(error.text(), long_text.substr(0, capacity - 1));
        EXPECT_TRUE(error.tail_untouched());
    }
}

TEST_F(Disconnected, NeedsAreCheckedBeforeTheBodyRuns) {
    bool ran = false;
    auto body = [&](Session &) { ran = true; };
    EXPECT_EQ(fail_message([&](char *e) {
                  return store::guarded(Call{"Op", e, Needs::Connection}, body);
              }),
              store::kNotConnected);
    EXPECT_EQ(fail_message([&](char *e) {
                  return store::guarded(Call{"Op", e, Needs::Schema}, body);
              }),
              store::kNotConnected);
    EXPECT_FALSE(ran);

    ASSERT_EQ(connect(":memory:"), 0);
    EXPECT_EQ(fail_message([&](char *e) {
                  return store::guarded(Call{"Op", e, Needs::Schema}, body);
              }),
              store::kNoSchema);
    EXPECT_FALSE(ran);
    char error[KETRAL_ERROR_CAPACITY];
    EXPECT_EQ(store::guarded(Call{"Op", error, Needs::Connection}, body), 0);
    EXPECT_TRUE(ran);
}

TEST_F(Disconnected, AFailingBodyLeavesNoTransactionOpen) {
    ASSERT_EQ(connect(":memory:"), 0);
    char error[KETRAL_ERROR_CAPACITY];
    const int rc = store::guarded(Call{"Op", error, Needs::Connection}, [](Session &session) {
        session.db().execute("CREATE TABLE t (i INTEGER)");
        session.db().begin();
        session.db().run("INSERT INTO t (i) VALUES (?)", 1);
        throw store::Failure("Op: stop");
    });
    EXPECT_NE(rc, 0);
    store::guarded(Call{"Op", error, Needs::Connection}, [](Session &session) {
        EXPECT_FALSE(session.db().in_transaction());
        auto count = session.db().prepare("SELECT COUNT(*) FROM t");
        count.step();
        EXPECT_EQ(count->column_int(0), 0);
    });
}

// ---- the contract functions through the guard ----------------------------------

struct ContractCase {
    const char *name;
    std::function<int(char *)> call;
};

// One function of each family: every call on a closed connection or a
// database without schema is refused the same way.
const ContractCase kContractCases[] = {
    {"CreateRoutingTable", [](char *e) { return CreateRoutingTable("sw01", 0, e); }},
    {"GetDeviceTypeRow",
     [](char *e) {
         char result[64];
         int len = sizeof result;
         return GetDeviceTypeRow("switch", &len, result, e);
     }},
    {"InsertMultiplePorts",
     [](char *e) { return InsertMultiplePorts("sw01", "1", 1, 2, 1000, 0, "", "", "", "", "", "", "", 1, 1, e); }},
    {"UpdateMultiplePorts", [](char *e) { return UpdateMultiplePorts("sw01", "1", 2, "", 10, "", 0, 1, 1, e); }},
    {"DeleteLinkRow", [](char *e) { return DeleteLinkRow(1, 0, e); }},
    {"GetAllPathsPerDevice",
     [](char *e) {
         int n = 4, pos[4], path[4], lk[4];
         return GetAllPathsPerDevice("sw01", "", &n, pos, path, lk, 0, 0, e);
     }},
};

class ContractRefusal : public testing::TestWithParam<ContractCase> {
protected:
    void SetUp() override {
        char error[KETRAL_ERROR_CAPACITY];
        ASSERT_EQ(DBDeconnexion(error), 0);
    }
    void TearDown() override { SetUp(); }
};

TEST_P(ContractRefusal, NotConnectedThenNoSchema) {
    Buffer error(KETRAL_ERROR_CAPACITY, "stale");
    EXPECT_NE(GetParam().call(error.data()), 0);
    EXPECT_EQ(error.text(), store::kNotConnected);

    ASSERT_EQ(DBConnexion(":memory:", "", "", error.data()), 0);
    EXPECT_NE(GetParam().call(error.data()), 0);
    EXPECT_EQ(error.text(), store::kNoSchema);
    EXPECT_TRUE(error.tail_untouched());
}

INSTANTIATE_TEST_SUITE_P(Families, ContractRefusal, testing::ValuesIn(kContractCases),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- connection ------------------------------------------------------------------

TEST_F(Disconnected, DisconnectingTwiceSucceedsAndDiscardsTheBatch) {
    struct Batch : store::PendingBatch {
        explicit Batch(bool &gone) : gone(gone) {}
        ~Batch() override { gone = true; }
        const std::string &operation() const override { return name; }
        bool &gone;
        std::string name = "InsertMultiplePorts";
    };
    bool gone = false;
    ASSERT_EQ(connect(":memory:"), 0);
    char error[KETRAL_ERROR_CAPACITY];
    store::guarded(Call{"Op", error, Needs::Connection},
                   [&](Session &session) { session.batch = std::make_unique<Batch>(gone); });
    Buffer out(KETRAL_ERROR_CAPACITY, "stale");
    EXPECT_EQ(DBDeconnexion(out.data()), 0);
    EXPECT_TRUE(gone);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(DBDeconnexion(out.data()), 0);
    EXPECT_EQ(out.text(), "");
}

TEST_F(Disconnected, AnotherDatabaseIsRefusedWhileOneIsOpenAndAFailedConnexionLeavesNone) {
    ASSERT_EQ(connect(":memory:"), 0);
    std::string message;
    EXPECT_NE(connect("/nonexistent-dir/ketral.db", &message), 0);
    EXPECT_EQ(message,
              "DBConnexion: an SQLite database in memory is open: call DBDeconnexion first to connect to another "
              "database");
    char error[KETRAL_ERROR_CAPACITY];
    EXPECT_EQ(CreateTableSchema(error), 0);  // the first connection is still open
    ASSERT_EQ(DBDeconnexion(error), 0);
    EXPECT_NE(connect("/nonexistent-dir/ketral.db", &message), 0);
    EXPECT_EQ(message, "DBConnexion: cannot open the database file '/nonexistent-dir/ketral.db'");
    EXPECT_EQ(fail_message([](char *e) { return CreateTableSchema(e); }), store::kNotConnected);
    EXPECT_NE(connect("", &message), 0);
    EXPECT_EQ(message, "DBConnexion: no database given (an SQLite file path, or :memory:)");
}

TEST_F(Disconnected, ALongPathIsCutToTheErrorBuffer) {
    const std::string path = "/nonexistent-dir/" + std::string(3000, 'p');
    const std::string message = fail_message([&](char *e) { return DBConnexion(path.c_str(), "", "", e); });
    EXPECT_EQ(message.size(), static_cast<size_t>(KETRAL_ERROR_CAPACITY - 1));
    EXPECT_EQ(message.rfind("DBConnexion: ", 0), 0u);
}

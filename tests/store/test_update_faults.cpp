// A process killed (SIGKILL) in the middle of a change: in a child process
// SQLite hooks kill it while a batch is being written, at the commit of a
// large batch (its pages already in the write-ahead log), and in the middle
// of single updates. The parent then finds the database as it was, intact,
// and writes to it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/store/sqlite_file.hpp"

namespace {

constexpr int kPorts = 3000;

// Device sw (hardware HW-1) has output ports p1..p3000 linked to the input
// ports of device peer; HW-2 is spare.
const char *const kInstallation = R"(
INSERT INTO device_type VALUES (1, 'T', 0, 0, 'T', NULL);
INSERT INTO link_type VALUES (1, 'data');
INSERT INTO hardware_device VALUES (1, 'HW-1', NULL, 't', 'IN_USE', NULL, 'rack', NULL),
    (2, 'HW-2', NULL, 't', 'SPARE', NULL, 'store', NULL);
INSERT INTO functional_device (deviceid, devicename, devicetypeid, dnode, promiscuous_mode, serialid,
    location, responsible, comments) VALUES (1, 'sw', 1, 0, 1, 1, 'rack', NULL, NULL),
    (2, 'peer', 1, 0, 1, NULL, 'rack', NULL, NULL);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
INSERT INTO port (portid, deviceid, port_nbr, port_way, port_type, speed, bia)
    SELECT i, 1, 'p' || i, 2, 'data', 1000, 'b' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
INSERT INTO port (portid, deviceid, port_nbr, port_way, port_type, speed) SELECT 3000 + i, 2, 'p' || i, 1, 'data', 1000 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
INSERT INTO macro_link (portidfrom, portidto, linktypeid) SELECT i, 3000 + i, 1 FROM n;
)";

// ---- the child's hooks, set in every SQLite connection it opens -------------------------------

enum class KillAt { Never, Write, Commit };

struct Trap {
    KillAt at = KillAt::Never;
    sqlite3 *db = nullptr;
    sqlite3_int64 armed_changes = 0;
    sqlite3_int64 after = 0;  // rows written in the open transaction before the kill
} trap;

int on_progress(void *) {
    if (trap.at == KillAt::Write && trap.db && !sqlite3_get_autocommit(trap.db) &&
        sqlite3_total_changes64(trap.db) - trap.armed_changes >= trap.after)
        raise(SIGKILL);
    return 0;
}

int on_commit(void *) {
    if (trap.at == KillAt::Commit) raise(SIGKILL);
    return 0;
}

int install_trap(sqlite3 *db, const char **, const sqlite3_api_routines *) {
    trap.db = db;
    sqlite3_progress_handler(db, 50, on_progress, nullptr);
    sqlite3_commit_hook(db, on_commit, nullptr);
    // A small page cache: a large transaction spills its pages into the log before it commits.
    sqlite3_exec(db, "PRAGMA cache_size = 8", nullptr, nullptr, nullptr);
    return SQLITE_OK;
}

void arm(KillAt at, sqlite3_int64 after = 0) {
    trap.armed_changes = trap.db ? sqlite3_total_changes64(trap.db) : 0;
    trap.after = after;
    trap.at = at;
}

int check(int rc) {
    if (rc != 0) _exit(10);
    return rc;
}

// The batch of port updates: every output port of sw, the trap armed before the last record.
void update_ports(KillAt at, sqlite3_int64 after) {
    char error[KETRAL_ERROR_CAPACITY];
    for (int i = 1; i <= kPorts; ++i) {
        if (i == kPorts) arm(at, after);
        const std::string nbr = "p" + std::to_string(i);
        check(UpdateMultiplePorts("sw", nbr.c_str(), 2, "data", 10, "LR", 1, i == 1, i == kPorts, error));
    }
}

struct Fault {
    const char *name;
    std::function<void()> work;  // run in the child; the child must die in it
    bool fills_log;              // the killed transaction has written pages into the log
};

const Fault kFaults[] = {
    {"BatchKilledWhileWriting", [] { update_ports(KillAt::Write, kPorts / 2); }, true},
    {"LargeBatchKilledAtItsCommit", [] { update_ports(KillAt::Commit, 0); }, true},
    {"DeviceDeletionKilledWhileWriting",
     [] {
         char error[KETRAL_ERROR_CAPACITY];
         arm(KillAt::Write, kPorts);
         check(DeleteFunctionalDevice(1, error));
     },
     true},
    {"SwapKilledWhileWriting",
     [] {
         char error[KETRAL_ERROR_CAPACITY];
         arm(KillAt::Write, kPorts + 1);
         check(SwapTwoDevices("sw", "HW-2", "IN_REPAIR: killed", error));
     },
     true},
    {"RenameKilledAtItsCommit",
     [] {
         char error[KETRAL_ERROR_CAPACITY];
         arm(KillAt::Commit);
         check(UpdateMultipleDevNamesDevices("sw", "core", 1, 1, error));
     },
     false},
};

class Killed : public testing::TestWithParam<Fault>, protected ketral_test::SqliteFile {
protected:
    Killed() : SqliteFile(std::string("killed-") + GetParam().name) {}
    void SetUp() override {
        char error[KETRAL_ERROR_CAPACITY];
        ASSERT_EQ(DBConnexion(path_.c_str(), "", "", error), 0) << error;
        ASSERT_EQ(CreateTableSchema(error), 0) << error;
        ASSERT_EQ(DBDeconnexion(error), 0) << error;
        sqlite3 *raw = nullptr;
        sqlite3_open(path_.c_str(), &raw);
        ASSERT_EQ(sqlite3_exec(raw, kInstallation, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
        // Everything in the database file itself, the log empty.
        sqlite3_exec(raw, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    void TearDown() override {
        char error[KETRAL_ERROR_CAPACITY];
        DBDeconnexion(error);
    }
};

TEST_P(Killed, LeavesTheDatabaseAsItWasAndUsable) {
    const Fault &fault = GetParam();
    const auto before = snapshot(true);
    ASSERT_NE(std::find(before.begin(), before.end(), "integrity|ok"), before.end());

    const pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(install_trap));
        char error[KETRAL_ERROR_CAPACITY];
        if (DBConnexion(path_.c_str(), "", "", error) != 0) _exit(11);
        fault.work();
        _exit(12);  // not killed: the trap never fired
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child exited with " << WEXITSTATUS(status);
    ASSERT_EQ(WTERMSIG(status), SIGKILL);
    if (fault.fills_log) {
        EXPECT_GT(log_size(), 0) << "the killed transaction wrote nothing to the log";
    }

    EXPECT_EQ(snapshot(true), before);

    // The library works on it again.
    char error[KETRAL_ERROR_CAPACITY];
    ASSERT_EQ(DBConnexion(path_.c_str(), "", "", error), 0) << error;
    ASSERT_EQ(UpdateMultiplePorts("sw", "p7", 2, "data", 25, "SX", 0, 1, 1, error), 0) << error;
    ASSERT_EQ(SwapTwoDevices("sw", "HW-2", "", error), 0) << error;
    ASSERT_EQ(DBDeconnexion(error), 0) << error;
    const auto after = snapshot(true);
    EXPECT_NE(std::find(after.begin(), after.end(), "port|7|1|p7|2|data|25|1|0|SX|NULL|NULL|NULL"), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "hardware_device|2|HW-2|NULL|t|IN_USE|NULL|rack|NULL"),
              after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "integrity|ok"), after.end());
}

INSTANTIATE_TEST_SUITE_P(Changes, Killed, testing::ValuesIn(kFaults),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace

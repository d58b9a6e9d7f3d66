// What the library's tests on a real SQLite file share: calling a contract
// function and reading its message, and a temporary database file read and
// written behind the library's back through the test's own connections, as
// another process would.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/export.hpp"
#include "store/schema.hpp"

// A call of a contract function with its error buffer appended.
#define CALL(fn, ...) [&](char *error_) { return fn(__VA_ARGS__, error_); }

namespace ketral_test {

using Fn = std::function<int(char *)>;

// The message a call leaves, read only within its buffer.
inline std::string message_of(const Fn &f, int *rc) {
    char error[KETRAL_ERROR_CAPACITY];
    std::memset(error, '#', sizeof error);
    *rc = f(error);
    return std::string(error, strnlen(error, sizeof error));
}

inline void ok(const Fn &f) {
    int rc = 0;
    const std::string message = message_of(f, &rc);
    ASSERT_EQ(rc, 0) << message;
    ASSERT_EQ(message, "");
}

inline std::string refused(const Fn &f) {
    int rc = 0;
    const std::string message = message_of(f, &rc);
    EXPECT_NE(rc, 0) << "accepted, expected a refusal";
    return message;
}

// A database file of its own per test, removed (with its log) before and after.
class SqliteFile {
public:
    explicit SqliteFile(const std::string &stem)
        : path_(testing::TempDir() + stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++serial()) +
                ".sqlite") {
        remove_files();
    }
    ~SqliteFile() { remove_files(); }
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // Runs `sql` on a connection of its own, waiting for the library's writer.
    void execute(const std::string &sql) const {
        const Handle db = open(SQLITE_OPEN_READWRITE);
        sqlite3_busy_timeout(db.get(), 5000);
        ASSERT_EQ(sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db.get());
    }

    // Rows of `sql` on a fresh connection (committed data only), columns joined with '|'.
    std::vector<std::string> rows(const std::string &sql) const {
        const Handle db = open(SQLITE_OPEN_READONLY);
        return read(db.get(), sql, "");
    }
    std::string one(const std::string &sql) const {
        const auto r = rows(sql);
        return r.empty() ? "(none)" : r.front();
    }
    long count(const std::string &sql) const { return std::stol(one(sql)); }

    // Every row of every table, sorted, each after its table's name and a '|';
    // with the integrity check's answer ("integrity|ok") when asked.
    std::vector<std::string> snapshot(bool integrity = false) const {
        const Handle db = open(SQLITE_OPEN_READWRITE);  // may have to recover a killed writer's log
        std::vector<std::string> all;
        if (integrity) all = read(db.get(), "PRAGMA integrity_check", "integrity|");
        for (const auto &table : ketral::store::schema_tables())
            for (std::string &row :
                 read(db.get(), std::string("SELECT * FROM ") + table.name, std::string(table.name) + "|"))
                all.push_back(std::move(row));
        std::sort(all.begin(), all.end());
        return all;
    }

    off_t log_size() const {
        struct stat st {};
        return stat((path_ + "-wal").c_str(), &st) == 0 ? st.st_size : 0;
    }

protected:
    const std::string path_;

private:
    using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

    static int &serial() {
        static int n = 0;
        return n;
    }
    Handle open(int flags) const {
        sqlite3 *raw = nullptr;
        sqlite3_open_v2(path_.c_str(), &raw, flags, nullptr);
        return Handle(raw, sqlite3_close);
    }
    static std::vector<std::string> read(sqlite3 *db, const std::string &sql, const std::string &label) {
        sqlite3_stmt *stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        std::vector<std::string> out;
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row = label;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (c) row += '|';
                const auto *text = sqlite3_column_text(stmt, c);
                row += text ? reinterpret_cast<const char *>(text) : "NULL";
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return out;
    }
    void remove_files() const {
        for (const char *suffix : {"", "-wal", "-shm"}) unlink((path_ + suffix).c_str());
    }
};

}  // namespace ketral_test

// The SQL layer on SQLite: values in and out, the statement cache,
// transactions, and backend errors in our words.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include <unistd.h>

#include "store/sql/sqlite.hpp"

namespace sql = ketral::store::sql;
using sql::ColumnType;
using sql::DbErrorKind;

namespace {

std::unique_ptr<sql::Connection> memory_db() { return sql::open_sqlite(":memory:"); }

// What a failing statement raised.
struct Raised {
    DbErrorKind kind;
    std::string message;
};

template <typename F>
std::optional<Raised> raised_by(F &&f) {
    try {
        f();
    } catch (const sql::DbError &e) {
        return Raised{e.kind(), e.what()};
    }
    return std::nullopt;
}

std::filesystem::path temp_path(const std::string &name) {
    auto dir = std::filesystem::temp_directory_path() / ("ketral_sql_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir / name;
}

}  // namespace

// ---- values in and out --------------------------------------------------

struct ValueCase {
    const char *name;
    std::function<void(sql::Prepared &)> bind;
    ColumnType type;
    bool is_null;
    std::int64_t as_int;
    std::string as_text;
};

class BoundValue : public testing::TestWithParam<ValueCase> {};

TEST_P(BoundValue, ComesBackWithItsTypeAndValue) {
    auto db = memory_db();
    db->execute("CREATE TABLE v (x)");
    {
        auto insert = db->prepare("INSERT INTO v (x) VALUES (?)");
        GetParam().bind(insert);
        EXPECT_FALSE(insert.step());
    }
    auto select = db->prepare("SELECT x FROM v");
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select->column_type(0), GetParam().type);
    EXPECT_EQ(select->column_is_null(0), GetParam().is_null);
    EXPECT_EQ(select->column_int(0), GetParam().as_int);
    EXPECT_EQ(select->column_text(0), GetParam().as_text);
    EXPECT_FALSE(select.step());
}

INSTANTIATE_TEST_SUITE_P(
    Sqlite, BoundValue,
    testing::Values(
        ValueCase{"int", [](sql::Prepared &p) { p.bind(1, 42); }, ColumnType::Integer, false, 42, "42"},
        ValueCase{"int64", [](sql::Prepared &p) { p.bind(1, std::int64_t{-5000000000}); }, ColumnType::Integer, false,
                  -5000000000, "-5000000000"},
        ValueCase{"text", [](sql::Prepared &p) { p.bind(1, std::string("sw07")); }, ColumnType::Text, false, 0, "sw07"},
        // An empty text stays a text: an empty view must not bind NULL.
        ValueCase{"empty_view", [](sql::Prepared &p) { p.bind(1, std::string_view()); }, ColumnType::Text, false, 0,
                  ""},
        ValueCase{"utf8", [](sql::Prepared &p) { p.bind(1, "Zürich ➜ 北"); }, ColumnType::Text, false, 0,
                  "Zürich ➜ 北"},
        ValueCase{"embedded_nul", [](sql::Prepared &p) { p.bind(1, std::string("a\0b", 3)); }, ColumnType::Text, false,
                  0, std::string("a\0b", 3)},
        ValueCase{"null", [](sql::Prepared &p) { p.bind(1, nullptr); }, ColumnType::Null, true, 0, ""},
        ValueCase{"null_pointer_text", [](sql::Prepared &p) { p.bind(1, static_cast<const char *>(nullptr)); },
                  ColumnType::Null, true, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Statement, BindAllNumbersTheParametersInOrderAndNamesTheColumns) {
    auto db = memory_db();
    auto stmt = db->prepare("SELECT ? AS a, ? AS b, ? AS c, ? + ? + ?");
    stmt.bind_all(7, std::string("x"), nullptr, 9LL, std::size_t{3}, true);
    ASSERT_TRUE(stmt.step());
    ASSERT_EQ(stmt->column_count(), 4);
    EXPECT_EQ(stmt->column_name(0), "a");
    EXPECT_EQ(stmt->column_name(2), "c");
    EXPECT_EQ(stmt->column_int(0), 7);
    EXPECT_EQ(stmt->column_text(1), "x");
    EXPECT_TRUE(stmt->column_is_null(2));
    EXPECT_EQ(stmt->column_int(3), 9 + 3 + 1);
}

TEST(Statement, AValueIsNeverPartOfTheSqlText) {
    auto db = memory_db();
    db->execute("CREATE TABLE t (name TEXT)");
    const std::string hostile = "x'); DROP TABLE t; --";
    db->run("INSERT INTO t (name) VALUES (?)", hostile);
    auto stmt = db->prepare("SELECT name FROM t");
    ASSERT_TRUE(stmt.step());
    EXPECT_EQ(stmt->column_text(0), hostile);
    EXPECT_TRUE(db->has_table("t"));
}

TEST(Statement, PrepareTakesExactlyOneStatement) {
    auto db = memory_db();
    EXPECT_TRUE(raised_by([&] { db->prepare("SELECT 1; SELECT 2"); }).has_value());
    EXPECT_TRUE(raised_by([&] { db->prepare("  -- nothing  "); }).has_value());
    EXPECT_FALSE(raised_by([&] { db->prepare("SELECT 1;  \n"); }).has_value());
}

// ---- the statement cache -------------------------------------------------

TEST(StatementCache, SameTextIsCompiledOnceAndComesBackCleared) {
    auto db = memory_db();
    const std::size_t before = db->cached_statements();
    {
        auto stmt = db->prepare("SELECT ?");
        stmt.bind(1, 5);
        ASSERT_TRUE(stmt.step());
    }
    auto again = db->prepare("SELECT ?");
    EXPECT_EQ(db->cached_statements(), before + 1);
    // Released statements are rewound with their bindings cleared.
    ASSERT_TRUE(again.step());
    EXPECT_TRUE(again->column_is_null(0));
}

TEST(StatementCache, NestedUseOfTheSameTextGetsItsOwnStatement) {
    auto db = memory_db();
    db->execute("CREATE TABLE n (i INTEGER)");
    for (int i = 1; i <= 3; ++i) db->run("INSERT INTO n (i) VALUES (?)", i);
    const char *text = "SELECT i FROM n WHERE i >= ? ORDER BY i";
    auto outer = db->prepare(text);
    outer.bind(1, 1);
    int pairs = 0;
    while (outer.step()) {
        auto inner = db->prepare(text);
        inner.bind(1, static_cast<int>(outer->column_int(0)));
        while (inner.step()) ++pairs;
    }
    EXPECT_EQ(pairs, 3 + 2 + 1);
}

TEST(StatementCache, ClearingKeepsStatementsInUse) {
    auto db = memory_db();
    db->prepare("SELECT 1");
    auto busy = db->prepare("SELECT 2");
    db->clear_statement_cache();
    EXPECT_EQ(db->cached_statements(), 1u);
    ASSERT_TRUE(busy.step());
    EXPECT_EQ(busy->column_int(0), 2);
}

// ---- transactions ----------------------------------------------------------

namespace {
std::int64_t count_rows(sql::Connection &db) {
    auto stmt = db.prepare("SELECT COUNT(*) FROM t");
    stmt.step();
    return stmt->column_int(0);
}
}  // namespace

TEST(Transactions, CommitKeepsAndScopeExitRollsBack) {
    auto db = memory_db();
    db->execute("CREATE TABLE t (i INTEGER)");
    {
        sql::Transaction tx(*db);
        db->run("INSERT INTO t (i) VALUES (?)", 1);
        EXPECT_TRUE(db->in_transaction());
        tx.commit();
    }
    EXPECT_FALSE(db->in_transaction());
    try {
        sql::Transaction tx(*db);
        db->run("INSERT INTO t (i) VALUES (?)", 2);
        db->run("INSERT INTO t (i) VALUES (?)", 3);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error &) {}
    EXPECT_FALSE(db->in_transaction());
    EXPECT_EQ(count_rows(*db), 1);
}

TEST(Transactions, InsertIdAndChangesReportTheLastStatement) {
    auto db = memory_db();
    db->execute("CREATE TABLE t (id INTEGER PRIMARY KEY, i INTEGER)");
    const char *insert = "INSERT INTO t (i) VALUES (?) RETURNING id";
    EXPECT_EQ(db->insert_id(insert, 10), 1);
    EXPECT_EQ(db->insert_id(insert, 10), 2);
    EXPECT_EQ(db->run("UPDATE t SET i = ? WHERE i = ?", 11, 10), 2);
    EXPECT_EQ(db->changes(), 2);
}

// Rows of integers go in many to a statement, the rest one by one: fewer
// than a statement's worth, exactly two statements' worth, and some over.
class IntRows : public testing::TestWithParam<std::int64_t> {};

TEST_P(IntRows, EveryRowGoesInOnceWithItsValues) {
    auto db = memory_db();
    db->execute("CREATE TABLE t (a INTEGER PRIMARY KEY, b INTEGER NOT NULL) WITHOUT ROWID");
    const std::int64_t rows = GetParam();
    std::vector<std::int64_t> values;
    for (std::int64_t a = 1; a <= rows; ++a) values.insert(values.end(), {a, -a * a});
    db->insert_int_rows(sql::BulkTable("t", "a, b", 0), values);
    auto sums = db->prepare("SELECT COUNT(*), SUM(a), SUM(b) FROM t");
    ASSERT_TRUE(sums.step());
    EXPECT_EQ(sums->column_int(0), rows);
    EXPECT_EQ(sums->column_int(1), rows * (rows + 1) / 2);
    EXPECT_EQ(sums->column_int(2), -rows * (rows + 1) * (2 * rows + 1) / 6);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, IntRows, testing::Values(5, 128, 133));

// ---- errors ----------------------------------------------------------------

struct ErrorCase {
    const char *name;
    const char *statement;
    DbErrorKind kind;
    const char *message;
};

class DatabaseError : public testing::TestWithParam<ErrorCase> {};

TEST_P(DatabaseError, IsClassifiedAndWorded) {
    auto db = memory_db();
    db->execute(
        "CREATE TABLE parent (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
        "CREATE TABLE child (id INTEGER PRIMARY KEY, parentid INTEGER NOT NULL REFERENCES parent (id), "
        "  n INTEGER CHECK (n > 0));"
        "INSERT INTO parent (id, name) VALUES (1, 'p');"
        "INSERT INTO child (parentid, n) VALUES (1, 1);");
    const auto raised = raised_by([&] { db->prepare(GetParam().statement).run(); });
    ASSERT_TRUE(raised.has_value());
    EXPECT_EQ(raised->kind, GetParam().kind);
    EXPECT_EQ(raised->message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, DatabaseError,
                         testing::Values(ErrorCase{"duplicate", "INSERT INTO parent (name) VALUES ('p')",
                                                   DbErrorKind::Duplicate, "a parent with this name already exists"},
                                         ErrorCase{"missing_parent", "INSERT INTO child (parentid, n) VALUES (9, 1)",
                                                   DbErrorKind::MissingReference, "a referenced record does not exist"},
                                         ErrorCase{"still_referenced", "DELETE FROM parent WHERE id = 1",
                                                   DbErrorKind::StillReferenced, "the record is still referenced"},
                                         ErrorCase{"not_null", "INSERT INTO parent (name) VALUES (NULL)",
                                                   DbErrorKind::MissingValue, "parent.name is required"},
                                         ErrorCase{"check", "INSERT INTO child (parentid, n) VALUES (1, 0)",
                                                   DbErrorKind::InvalidValue, "the value (n > 0) is not allowed"},
                                         ErrorCase{"syntax", "SELEC 1", DbErrorKind::Other,
                                                   "database error: near \"SELEC\": syntax error"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(DatabaseError, NamesTheSubjectTheCallerGives) {
    const sql::DbError duplicate =
        sql::sqlite_error(SQLITE_CONSTRAINT_UNIQUE, sql::Verb::Insert, "UNIQUE constraint failed: x.y");
    EXPECT_EQ(duplicate.message_for("device 'sw07'"), "device 'sw07' already exists");
    const sql::DbError referenced = sql::sqlite_error(SQLITE_CONSTRAINT_FOREIGNKEY, sql::Verb::Delete, "");
    EXPECT_EQ(referenced.message_for("device type 'switch'"), "device type 'switch' is still referenced");
    const sql::DbError busy = sql::sqlite_error(SQLITE_BUSY, sql::Verb::Update, "database is locked");
    EXPECT_EQ(busy.message_for("anything"), busy.what());
}

struct CodeCase {
    int code;
    sql::Verb verb;
    DbErrorKind kind;
};

TEST(DatabaseError, SqliteCodesMapToKinds) {
    const CodeCase cases[] = {
        {SQLITE_CONSTRAINT_UNIQUE, sql::Verb::Insert, DbErrorKind::Duplicate},
        {SQLITE_CONSTRAINT_PRIMARYKEY, sql::Verb::Update, DbErrorKind::Duplicate},
        {SQLITE_CONSTRAINT_FOREIGNKEY, sql::Verb::Insert, DbErrorKind::MissingReference},
        {SQLITE_CONSTRAINT_FOREIGNKEY, sql::Verb::Update, DbErrorKind::MissingReference},
        {SQLITE_CONSTRAINT_FOREIGNKEY, sql::Verb::Delete, DbErrorKind::StillReferenced},
        {SQLITE_CONSTRAINT_NOTNULL, sql::Verb::Insert, DbErrorKind::MissingValue},
        {SQLITE_CONSTRAINT_CHECK, sql::Verb::Insert, DbErrorKind::InvalidValue},
        {SQLITE_BUSY, sql::Verb::Other, DbErrorKind::Busy},
        {SQLITE_BUSY_SNAPSHOT, sql::Verb::Other, DbErrorKind::Busy},
        {SQLITE_LOCKED, sql::Verb::Other, DbErrorKind::Busy},
        {SQLITE_READONLY, sql::Verb::Insert, DbErrorKind::ReadOnly},
        {SQLITE_IOERR_WRITE, sql::Verb::Insert, DbErrorKind::IO},
        {SQLITE_FULL, sql::Verb::Insert, DbErrorKind::Full},
        {SQLITE_NOTADB, sql::Verb::Other, DbErrorKind::Corrupt},
        {SQLITE_CORRUPT, sql::Verb::Other, DbErrorKind::Corrupt},
        {SQLITE_CANTOPEN, sql::Verb::Other, DbErrorKind::CantOpen},
        {SQLITE_ERROR, sql::Verb::Other, DbErrorKind::Other},
    };
    for (const CodeCase &c : cases) EXPECT_EQ(sql::classify_sqlite(c.code, c.verb), c.kind) << "code " << c.code;
}

// ---- opening ---------------------------------------------------------------

TEST(Open, FileIsCreatedInWalModeWithForeignKeys) {
    const auto path = temp_path("open.sqlite");
    std::filesystem::remove(path);
    auto db = sql::open_sqlite(path.string());
    EXPECT_TRUE(std::filesystem::exists(path));
    auto mode = db->prepare("PRAGMA journal_mode");
    ASSERT_TRUE(mode.step());
    EXPECT_EQ(mode->column_text(0), "wal");
    auto fk = db->prepare("PRAGMA foreign_keys");
    ASSERT_TRUE(fk.step());
    EXPECT_EQ(fk->column_int(0), 1);
}

TEST(Open, MissingDirectoryAndNonDatabaseFileFail) {
    const auto missing = raised_by([] { sql::open_sqlite("/nonexistent-dir/x/db.sqlite"); });
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->kind, DbErrorKind::CantOpen);

    const auto junk = temp_path("junk.sqlite");
    std::ofstream(junk) << std::string(4096, 'j');
    const auto not_db = raised_by([&] { sql::open_sqlite(junk.string()); });
    ASSERT_TRUE(not_db.has_value());
    EXPECT_EQ(not_db->kind, DbErrorKind::Corrupt);
}

TEST(Open, WriterWaitsForTheBusyTimeoutThenFailsAsBusy) {
    const auto path = temp_path("busy.sqlite");
    std::filesystem::remove(path);
    auto first = sql::open_sqlite(path.string());
    auto second = sql::open_sqlite(path.string());
    first->execute("CREATE TABLE t (i INTEGER)");
    sql::Transaction holding(*first);
    const auto start = std::chrono::steady_clock::now();
    const auto raised = raised_by([&] { second->begin(); });
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(raised.has_value());
    EXPECT_EQ(raised->kind, DbErrorKind::Busy);
    EXPECT_GE(waited, std::chrono::milliseconds(sql::kSqliteBusyTimeoutMs - 500));
    // Readers are not blocked by the writer (WAL).
    auto read = second->prepare("SELECT COUNT(*) FROM t");
    EXPECT_TRUE(read.step());
}

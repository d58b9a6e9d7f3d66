// The PostgreSQL backend: placeholders, credentials kept out of messages,
// SQLSTATEs worded as SQLite's codes; and, given a server
// (KETRAL_TEST_PG_URL, set by tests/e2e/test_postgresql.py), the SQL layer on
// it: values in and out, the cache, transactions, ids, errors, a lost server.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "store/sql/postgresql.hpp"

namespace sql = ketral::store::sql;
using sql::ColumnType;
using sql::DbErrorKind;

namespace {

template <typename F>
std::optional<sql::DbError> raised_by(F &&f) {
    try {
        f();
    } catch (const sql::DbError &e) {
        return e;
    }
    return std::nullopt;
}

}  // namespace

// ---- without a server ------------------------------------------------------

TEST(Placeholders, AreNumberedOutsideQuotesAndComments) {
    struct Case {
        const char *in;
        const char *out;
        int count;
    };
    const Case cases[] = {
        {"SELECT 1", "SELECT 1", 0},
        {"SELECT ?, ?", "SELECT $1, $2", 2},
        {"WHERE a = ? AND b IN (?, ?)", "WHERE a = $1 AND b IN ($2, $3)", 3},
        {"SELECT '?' || ?", "SELECT '?' || $1", 1},
        {"SELECT 'it''s ?', ?", "SELECT 'it''s ?', $1", 1},
        {"SELECT \"odd?name\" FROM t WHERE x = ?", "SELECT \"odd?name\" FROM t WHERE x = $1", 1},
        {"SELECT ? -- why?\n, ?", "SELECT $1 -- why?\n, $2", 2},
        {"SELECT /* ? */ ?", "SELECT /* ? */ $1", 1},
        {"SELECT 'unclosed ?", "SELECT 'unclosed ?", 0},
    };
    for (const Case &c : cases) {
        int count = -1;
        EXPECT_EQ(sql::numbered_placeholders(c.in, count), c.out) << c.in;
        EXPECT_EQ(count, c.count) << c.in;
    }
}

TEST(Sqlstate, MapsToTheKindsOfSqliteCodes) {
    struct Case {
        const char *sqlstate;
        sql::Verb verb;
        DbErrorKind kind;
    };
    const Case cases[] = {
        {"23505", sql::Verb::Insert, DbErrorKind::Duplicate},
        {"23505", sql::Verb::Update, DbErrorKind::Duplicate},
        {"23503", sql::Verb::Insert, DbErrorKind::MissingReference},
        {"23503", sql::Verb::Update, DbErrorKind::MissingReference},
        {"23503", sql::Verb::Delete, DbErrorKind::StillReferenced},
        {"23502", sql::Verb::Insert, DbErrorKind::MissingValue},
        {"23514", sql::Verb::Insert, DbErrorKind::InvalidValue},
        {"22P02", sql::Verb::Insert, DbErrorKind::InvalidValue},
        {"22001", sql::Verb::Update, DbErrorKind::InvalidValue},
        {"55P03", sql::Verb::Update, DbErrorKind::Busy},
        {"40P01", sql::Verb::Update, DbErrorKind::Busy},
        {"40001", sql::Verb::Other, DbErrorKind::Busy},
        {"25006", sql::Verb::Insert, DbErrorKind::ReadOnly},
        {"53100", sql::Verb::Insert, DbErrorKind::Full},
        {"58030", sql::Verb::Other, DbErrorKind::IO},
        {"XX001", sql::Verb::Other, DbErrorKind::Corrupt},
        {"XX000", sql::Verb::Other, DbErrorKind::Other},
        {"08006", sql::Verb::Other, DbErrorKind::Lost},
        {"08003", sql::Verb::Insert, DbErrorKind::Lost},
        {"57P01", sql::Verb::Other, DbErrorKind::Lost},
        {"", sql::Verb::Other, DbErrorKind::Lost},
        {"3D000", sql::Verb::Other, DbErrorKind::CantOpen},
        {"28P01", sql::Verb::Other, DbErrorKind::CantOpen},
        {"42601", sql::Verb::Other, DbErrorKind::Other},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sql::classify_sqlstate(c.sqlstate, c.verb), c.kind) << "SQLSTATE " << c.sqlstate;
}

// A PostgreSQL report and the SQLite failure of the same fault read the same.
TEST(Sqlstate, ReportsReadAsSqliteFailuresDo) {
    struct Case {
        sql::ServerReport report;
        sql::Verb verb;
        int sqlite_code;
        const char *sqlite_detail;
    };
    const Case cases[] = {
        {{"23505", "duplicate key value violates unique constraint \"port_deviceid_port_nbr_key\"",
          "Key (deviceid, port_nbr)=(3, a) already exists.", "port", "", "port_deviceid_port_nbr_key"},
         sql::Verb::Insert,
         SQLITE_CONSTRAINT_UNIQUE,
         "UNIQUE constraint failed: port.deviceid, port.port_nbr"},
        {{"23503", "insert or update on table \"port\" violates foreign key constraint \"port_deviceid_fkey\"",
          "Key (deviceid)=(9) is not present in table \"functional_device\".", "port", "", "port_deviceid_fkey"},
         sql::Verb::Insert,
         SQLITE_CONSTRAINT_FOREIGNKEY,
         "FOREIGN KEY constraint failed"},
        {{"23503", "update or delete on table \"device_type\" violates foreign key constraint", "", "functional_device",
          "", ""},
         sql::Verb::Delete,
         SQLITE_CONSTRAINT_FOREIGNKEY,
         "FOREIGN KEY constraint failed"},
        {{"23502", "null value in column \"devicename\" of relation \"functional_device\" violates not-null constraint",
          "", "functional_device", "devicename", ""},
         sql::Verb::Insert,
         SQLITE_CONSTRAINT_NOTNULL,
         "NOT NULL constraint failed: functional_device.devicename"},
        {{"55P03", "canceling statement due to lock timeout", "", "", "", ""},
         sql::Verb::Update,
         SQLITE_BUSY,
         "database is locked"},
    };
    for (const Case &c : cases) {
        const sql::DbError pg = sql::postgresql_error(c.report, c.verb);
        const sql::DbError lite = sql::sqlite_error(c.sqlite_code, c.verb, c.sqlite_detail);
        EXPECT_EQ(pg.kind(), lite.kind()) << c.report.sqlstate;
        EXPECT_STREQ(pg.what(), lite.what()) << c.report.sqlstate;
        EXPECT_EQ(pg.message_for("port 'a'"), lite.message_for("port 'a'")) << c.report.sqlstate;
    }
    const sql::DbError lost =
        sql::postgresql_error({"", "server closed the connection unexpectedly", "", "", "", ""}, sql::Verb::Insert);
    EXPECT_EQ(lost.kind(), DbErrorKind::Lost);
    EXPECT_STREQ(lost.what(), "the connection to the database server was lost: call DBConnexion to connect again");
    const sql::DbError other =
        sql::postgresql_error({"42601", "syntax error at or near \"SELEC\"", "", "", "", ""}, sql::Verb::Other);
    EXPECT_STREQ(other.what(), "database error: syntax error at or near \"SELEC\"");
}

// ---- on a server -----------------------------------------------------------

class PgLayer : public testing::Test {
protected:
    void SetUp() override {
        const char *url = std::getenv("KETRAL_TEST_PG_URL");
        if (!url || !*url) GTEST_SKIP() << "KETRAL_TEST_PG_URL not set (tests/e2e/test_postgresql.py sets it)";
        url_ = url;
        db = sql::open_postgresql(url_, "", "");
        db->execute("DROP TABLE IF EXISTS child, parent, t, v CASCADE");
    }

    std::string url_;
    std::unique_ptr<sql::Connection> db;
};

TEST_F(PgLayer, ValuesComeBackWithTheirTypes) {
    db->execute("CREATE TABLE v (i INTEGER, b BIGINT, s TEXT, r DOUBLE PRECISION)");
    db->run("INSERT INTO v (i, b, s, r) VALUES (?, ?, ?, 2.5)", 42, std::int64_t{-5000000000}, "Zürich ➜ 北");
    db->run("INSERT INTO v (i, b, s, r) VALUES (?, ?, ?, NULL)", nullptr, 0, std::string_view());
    auto stmt = db->prepare("SELECT i, b, s, r, i IS NULL AS flag, (SELECT SUM(b) FROM v) AS total FROM v ORDER BY b");
    ASSERT_TRUE(stmt.step());
    EXPECT_EQ(stmt->column_count(), 6);
    EXPECT_EQ(stmt->column_name(5), "total");
    EXPECT_EQ(stmt->column_type(0), ColumnType::Integer);
    EXPECT_EQ(stmt->column_int(0), 42);
    EXPECT_EQ(stmt->column_int(1), -5000000000);
    EXPECT_EQ(stmt->column_type(2), ColumnType::Text);
    EXPECT_EQ(stmt->column_text(2), "Zürich ➜ 北");
    EXPECT_EQ(stmt->column_type(3), ColumnType::Real);
    EXPECT_EQ(stmt->column_text(3), "2.5");
    // A truth value reads as SQLite's 0 and 1; a sum of integers is an integer.
    EXPECT_EQ(stmt->column_type(4), ColumnType::Integer);
    EXPECT_EQ(stmt->column_text(4), "0");
    EXPECT_EQ(stmt->column_type(5), ColumnType::Integer);
    EXPECT_EQ(stmt->column_int(5), -5000000000);
    ASSERT_TRUE(stmt.step());
    EXPECT_TRUE(stmt->column_is_null(0));
    EXPECT_EQ(stmt->column_type(0), ColumnType::Null);
    EXPECT_EQ(stmt->column_int(0), 0);
    EXPECT_EQ(stmt->column_type(2), ColumnType::Text);  // an empty text is not NULL
    EXPECT_EQ(stmt->column_text(2), "");
    EXPECT_EQ(stmt->column_int(4), 1);
    EXPECT_FALSE(stmt.step());
}

TEST_F(PgLayer, TheSameTextTakesOtherKindsOfValues) {
    // Prepared once per kind of binding: NULL, then an integer, then a text.
    const char *text = "SELECT COALESCE(?, 'none')";
    for (int round = 0; round < 2; ++round) {
        {
            auto stmt = db->prepare(text);
            stmt.bind(1, nullptr);
            ASSERT_TRUE(stmt.step());
            EXPECT_EQ(stmt->column_text(0), "none");
        }
        auto stmt = db->prepare(text);
        stmt.bind(1, "x");
        ASSERT_TRUE(stmt.step());
        EXPECT_EQ(stmt->column_text(0), "x");
    }
    auto is_null = db->prepare("SELECT CAST(? AS INTEGER) IS NULL, ? + 1");
    is_null.bind_all(5, 6);
    ASSERT_TRUE(is_null.step());
    EXPECT_EQ(is_null->column_int(0), 0);
    EXPECT_EQ(is_null->column_int(1), 7);
}

TEST_F(PgLayer, AValueIsNeverPartOfTheSqlText) {
    db->execute("CREATE TABLE t (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, name TEXT)");
    const std::string hostile = "x'); DROP TABLE t; --?";
    db->run("INSERT INTO t (name) VALUES (?)", hostile);
    auto stmt = db->prepare("SELECT name FROM t WHERE name = ? AND name <> '?'");
    stmt.bind(1, hostile);
    ASSERT_TRUE(stmt.step());
    EXPECT_EQ(stmt->column_text(0), hostile);
    EXPECT_TRUE(db->has_table("t"));
    EXPECT_FALSE(db->has_table("nope"));
}

TEST_F(PgLayer, CachedStatementsNestAndComeBackCleared) {
    db->execute("CREATE TABLE t (i INTEGER)");
    for (int i = 1; i <= 3; ++i) db->run("INSERT INTO t (i) VALUES (?)", i);
    const char *text = "SELECT i FROM t WHERE i >= ? ORDER BY i";
    const std::size_t before = db->cached_statements();
    auto outer = db->prepare(text);
    outer.bind(1, 1);
    int pairs = 0;
    while (outer.step()) {
        auto inner = db->prepare(text);
        inner.bind(1, outer->column_int(0));
        while (inner.step()) ++pairs;
    }
    EXPECT_EQ(pairs, 3 + 2 + 1);
    EXPECT_EQ(db->cached_statements(), before + 1);
    db->clear_statement_cache();
    auto again = db->prepare("SELECT COUNT(*) FROM t WHERE i >= ?");
    again.bind(1, 2);
    ASSERT_TRUE(again.step());
    EXPECT_EQ(again->column_int(0), 2);
}

TEST_F(PgLayer, InsertIdsChangesAndTransactions) {
    db->execute("CREATE TABLE t (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, i INTEGER)");
    const char *insert = "INSERT INTO t (i) VALUES (?) RETURNING id";
    EXPECT_EQ(db->insert_id(insert, 10), 1);
    EXPECT_EQ(db->insert_id(insert, 10), 2);
    EXPECT_EQ(db->run("UPDATE t SET i = ? WHERE i = ?", 11, 10), 2);
    auto read = db->prepare("SELECT COUNT(*) FROM t");
    read.step();
    EXPECT_EQ(db->changes(), 2);  // a SELECT leaves the count of the last change
    read.reset();
    {
        sql::Transaction tx(*db);
        EXPECT_EQ(db->insert_id(insert, 12), 3);
        EXPECT_TRUE(db->in_transaction());
    }
    EXPECT_FALSE(db->in_transaction());
    // Numbers are never reused, even those of a rolled-back insert.
    EXPECT_EQ(db->insert_id(insert, 13), 4);
    auto count = db->prepare("SELECT COUNT(*) FROM t");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count->column_int(0), 3);
}

TEST_F(PgLayer, IntRowsGoInByCopyAndTheirFailureReadsAsAnInsert) {
    db->execute("CREATE TABLE t (a INTEGER, b BIGINT, PRIMARY KEY (a, b))");
    const sql::BulkTable kRows("t", "a, b", 0);
    // More than one chunk of COPY data, negative and 64-bit values among them.
    std::vector<std::int64_t> rows;
    for (std::int64_t a = 0; a < 20000; ++a) rows.insert(rows.end(), {a, a % 2 ? -a : a << 33});
    {
        sql::Transaction tx(*db);
        db->insert_int_rows(kRows, rows);
        tx.commit();
    }
    auto sums = db->prepare("SELECT COUNT(*), SUM(a), SUM(b) FROM t WHERE a IN (0, 1, 19998, 19999)");
    ASSERT_TRUE(sums.step());
    EXPECT_EQ(sums->column_int(0), 4);
    EXPECT_EQ(sums->column_int(1), 39998);
    EXPECT_EQ(sums->column_int(2), (std::int64_t{19998} << 33) - 1 - 19999);
    sums.reset();
    const auto duplicate = raised_by([&] {
        sql::Transaction tx(*db);
        db->insert_int_rows(kRows, {7, -7});
    });
    ASSERT_TRUE(duplicate.has_value());
    EXPECT_EQ(duplicate->kind(), DbErrorKind::Duplicate);
    EXPECT_FALSE(db->in_transaction());
    ASSERT_TRUE(sums.step());  // the connection goes on
    EXPECT_EQ(sums->column_int(0), 4);
}

TEST_F(PgLayer, CommitAfterAFailedStatementFails) {
    db->execute("CREATE TABLE t (i INTEGER UNIQUE)");
    db->begin();
    db->run("INSERT INTO t (i) VALUES (?)", 1);
    EXPECT_TRUE(raised_by([&] { db->run("INSERT INTO t (i) VALUES (?)", 1); }).has_value());
    EXPECT_TRUE(raised_by([&] { db->commit(); }).has_value());
    EXPECT_FALSE(db->in_transaction());
    auto count = db->prepare("SELECT COUNT(*) FROM t");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count->column_int(0), 0);
}

TEST_F(PgLayer, ErrorsReadAsOnSqlite) {
    db->execute(
        "CREATE TABLE parent (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
        "CREATE TABLE child (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
        "  parentid INTEGER NOT NULL REFERENCES parent (id), n INTEGER CHECK (n > 0));"
        "INSERT INTO parent (name) VALUES ('p');"
        "INSERT INTO child (parentid, n) VALUES (1, 1);");
    struct Case {
        const char *statement;
        DbErrorKind kind;
        const char *message;
    };
    // The same statements and messages as the SQLite backend's (test_sql.cpp).
    const Case cases[] = {
        {"INSERT INTO parent (name) VALUES ('p')", DbErrorKind::Duplicate, "a parent with this name already exists"},
        {"INSERT INTO child (parentid, n) VALUES (9, 1)", DbErrorKind::MissingReference,
         "a referenced record does not exist"},
        {"DELETE FROM parent WHERE id = 1", DbErrorKind::StillReferenced, "the record is still referenced"},
        {"INSERT INTO parent (name) VALUES (NULL)", DbErrorKind::MissingValue, "parent.name is required"},
        {"INSERT INTO child (parentid, n) VALUES (1, 0)", DbErrorKind::InvalidValue,
         "the value (child_n_check) is not allowed"},
        {"SELEC 1", DbErrorKind::Other, "database error: syntax error at or near \"SELEC\""},
    };
    for (const Case &c : cases) {
        const auto raised = raised_by([&] { db->prepare(c.statement).run(); });
        ASSERT_TRUE(raised.has_value()) << c.statement;
        EXPECT_EQ(raised->kind(), c.kind) << c.statement;
        EXPECT_STREQ(raised->what(), c.message) << c.statement;
    }
    // A text the server cannot hold is refused, not cut short.
    const auto nul = raised_by([&] { db->run("INSERT INTO parent (name) VALUES (?)", std::string("a\0b", 3)); });
    ASSERT_TRUE(nul.has_value());
    EXPECT_EQ(nul->kind(), DbErrorKind::InvalidValue);
}

TEST_F(PgLayer, ALostServerConnectionSaysSoOnEveryCall) {
    // Another session ends ours, as a server restart would.
    auto killer = sql::open_postgresql(url_, "", "");
    auto pid = db->prepare("SELECT pg_backend_pid()");
    ASSERT_TRUE(pid.step());
    const std::int64_t ours = pid->column_int(0);
    pid.reset();
    killer->prepare("SELECT pg_terminate_backend(CAST(? AS INTEGER))").bind(1, ours).run();
    for (int call = 0; call < 2; ++call) {
        const auto lost = raised_by([&] { db->prepare("SELECT 1").run(); });
        ASSERT_TRUE(lost.has_value());
        EXPECT_EQ(lost->kind(), DbErrorKind::Lost);
        EXPECT_FALSE(db->in_transaction());
    }
}

TEST(PgOpen, ARefusalNamesNoPassword) {
    const char *url = std::getenv("KETRAL_TEST_PG_TCP_URL");
    if (!url || !*url) GTEST_SKIP() << "KETRAL_TEST_PG_TCP_URL not set";
    const auto refused = raised_by([&] { sql::open_postgresql(url, "ketral_user", "Wr0ng-Pa55"); });
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->kind(), DbErrorKind::CantOpen);
    EXPECT_NE(refused->detail().find("password authentication failed"), std::string::npos) << refused->detail();
    EXPECT_EQ(refused->detail().find("Wr0ng-Pa55"), std::string::npos);
}

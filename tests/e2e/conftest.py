"""Fixtures for the end-to-end tests: libketralpython on our storage library.

The suite runs with PYTHONPATH=<build>/lib, where the module sits next to
the real libketral.so. The library keeps one connection for the whole
process, so every test ends disconnected.

Every test that uses ``db`` (or ``database``) runs on both backends: on
SQLite in a fresh file, and on PostgreSQL in a fresh database of a private
server started once for the session (pg_server.py): a fresh schema of one
database, the only one on the library's search path. A test marked
``sqlite_only`` reads or writes the SQLite file itself and runs on SQLite
alone; ``postgresql_only`` the other way round.

``backend``   "sqlite" or "postgresql".
``database``  the test's fresh database as the library takes it: an SQLite file
              path, or a postgresql:// URL (user in it).
``db``        a KETRAL on ``database``, connected; disconnected after the test.
``db_path``   the SQLite file (sqlite_only tests).
``peek``      peek(sql, *params) -> rows of the database (committed), through
              Python's sqlite3 or psycopg2 beside the library's connection;
              `?` placeholders on both.
``sql``       sql(script) runs statements without parameters on the database.
``pg_server`` the session's PostgreSQL server (pg_server.Server).
"""
import contextlib
import itertools
import sqlite3

import pytest

import libketralpython
import pg_server as servers

BACKENDS = ("sqlite", "postgresql")
PG_USER = servers.SUPERUSER
PG_DATABASE = "ketral_tests"  # each test has a fresh schema in it


def pytest_configure(config):
    config.addinivalue_line("markers", "sqlite_only: reads or writes the SQLite file itself; runs on SQLite alone")
    config.addinivalue_line("markers", "postgresql_only: about the PostgreSQL backend alone")


def pytest_generate_tests(metafunc):
    if "backend" not in metafunc.fixturenames:
        return
    backends = BACKENDS
    if metafunc.definition.get_closest_marker("sqlite_only"):
        backends = ("sqlite",)
    elif metafunc.definition.get_closest_marker("postgresql_only"):
        backends = ("postgresql",)
    metafunc.parametrize("backend", backends, indirect=True)


@pytest.fixture
def backend(request):
    return request.param


# The tests' own SQL is SQLite's: PostgreSQL gets its group_concat, in the
# public schema, which peek and sql see behind the test's own.
GROUP_CONCAT = [
    "CREATE FUNCTION group_concat_step(acc text, value text, sep text) RETURNS text LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT CASE WHEN value IS NULL THEN acc WHEN acc IS NULL THEN value ELSE acc || sep || value END $$",
    "CREATE AGGREGATE group_concat(text, text) (SFUNC = group_concat_step, STYPE = text)",
    "CREATE FUNCTION group_concat_step(acc text, value text) RETURNS text LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT group_concat_step(acc, value, ',') $$",
    "CREATE AGGREGATE group_concat(text) (SFUNC = group_concat_step, STYPE = text)",
]


@pytest.fixture(scope="session")
def pg_server():
    with servers.running() as server:
        server.admin(f"CREATE DATABASE {PG_DATABASE}")
        with contextlib.closing(server.connect(PG_DATABASE)) as conn, conn.cursor() as cur:
            for statement in GROUP_CONCAT:
                cur.execute(statement)
        yield server


class Database:
    """The test's fresh database on one backend. On PostgreSQL it is a fresh
    schema of the session's database, first on the connection's search path."""

    def __init__(self, backend, url, path=None, server=None, schema=None):
        self.backend, self.url, self.path, self.server, self.schema = backend, url, path, server, schema

    def connect(self):
        if self.backend == "sqlite":
            return contextlib.closing(sqlite3.connect(self.path))
        conn = self.server.connect(PG_DATABASE)
        with conn.cursor() as cur:
            cur.execute(f"SET search_path = {self.schema}, public")
        return contextlib.closing(conn)

    def rows(self, sql, params=()):
        with self.connect() as conn:
            if self.backend == "sqlite":
                rows = conn.execute(sql, params).fetchall()
                conn.commit()
                return rows
            if params:
                sql = sql.replace("%", "%%").replace("?", "%s")
            with conn.cursor() as cur:
                cur.execute(sql, params or None)
                return cur.fetchall() if cur.description else []

    def script(self, script):
        with self.connect() as conn:
            if self.backend == "sqlite":
                conn.executescript(script)
                conn.commit()
            else:
                with conn.cursor() as cur:
                    cur.execute(script)

    def table_names(self):
        if self.backend == "sqlite":
            rows = self.rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")
        else:
            rows = self.rows("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()")
        return {name for (name,) in rows}


_numbers = itertools.count(1)


@pytest.fixture
def testdb(request, backend, tmp_path):
    if backend == "sqlite":
        path = str(tmp_path / "config.sqlite")
        yield Database(backend, path, path=path)
        return
    server = request.getfixturevalue("pg_server")
    schema = f"test{next(_numbers)}"
    server.admin(f"CREATE SCHEMA {schema}", dbname=PG_DATABASE)
    # The library sees that schema alone: options=-c search_path=<schema>.
    url = server.url(PG_DATABASE) + f"&user={PG_USER}&options=-csearch_path%3D{schema}"
    yield Database(backend, url, server=server, schema=schema)
    # Nothing may hold the schema any more (an open batch keeps a transaction).
    libketralpython.KETRAL("", "", "").DBDeconnexion()
    server.admin("SET lock_timeout = '10s'", f"DROP SCHEMA {schema} CASCADE", dbname=PG_DATABASE)


@pytest.fixture
def database(testdb):
    return testdb.url


@pytest.fixture
def db_path(testdb):
    if testdb.backend != "sqlite":
        pytest.fail("db_path is the SQLite file: mark the test sqlite_only")
    return testdb.path


@pytest.fixture(autouse=True)
def _disconnected_after():
    yield
    libketralpython.KETRAL("", "", "").DBDeconnexion()


@pytest.fixture
def db(testdb):
    # PostgreSQL: the user also comes as the second string, as a script gives it.
    ketral = libketralpython.KETRAL(testdb.url, PG_USER if testdb.backend == "postgresql" else "", "")
    assert ketral.DBConnexion() == 0
    yield ketral
    ketral.DBDeconnexion()


@pytest.fixture
def peek(testdb):
    return lambda sql, *params: testdb.rows(sql, params)


@pytest.fixture
def sql(testdb):
    return testdb.script

"""Fixtures for the end-to-end tests: libketralpython on our storage library.

The suite runs with PYTHONPATH=<build>/lib, where the module sits next to
the real libketral.so. The library keeps one connection for the whole
process, so every test ends disconnected.

``db_path``  a fresh SQLite file name in the test's temporary folder.
``db``       a KETRAL on db_path, connected; disconnected after the test.
``peek``     peek(sql, *params) -> rows of db_path (committed) through Python's own
             sqlite3 module, beside the library's connection.
"""
import contextlib
import sqlite3

import pytest

import libketralpython


@pytest.fixture
def db_path(tmp_path):
    return str(tmp_path / "config.sqlite")


@pytest.fixture(autouse=True)
def _disconnected_after():
    yield
    libketralpython.KETRAL("", "", "").DBDeconnexion()


@pytest.fixture
def db(db_path):
    ketral = libketralpython.KETRAL(db_path, "", "")
    assert ketral.DBConnexion() == 0
    yield ketral
    ketral.DBDeconnexion()


@pytest.fixture
def peek(db_path):
    def rows(sql, *params):
        with contextlib.closing(sqlite3.connect(db_path)) as conn:
            rows = conn.execute(sql, params).fetchall()
            conn.commit()
            return rows

    return rows

"""Databases this process may read but not write: a read-only file, and any
file in a read-only folder (a WAL file there opens as an immutable snapshot).
Every query answers, every write fails as read-only, and the file's journal
mode is never changed. Run as another user than the file's owner (root
writes whatever the file modes say)."""
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import textwrap

import pytest

import libketralpython

LIB = os.path.dirname(os.path.abspath(libketralpython.__file__))
FLAGS = [1000, 1, 0]

# Runs as the reader: every answer it prints, then the write's refusal.
READER = textwrap.dedent("""
    import sys
    sys.path.insert(0, sys.argv[1])
    import libketralpython
    kt = libketralpython.KETRAL(sys.argv[2], "", "")
    kt.DBConnexion()
    print(list(kt.GetDeviceNamesPerType("NODE")))
    print(list(kt.GetDestinationNamePerDevPort("sw", "1", "")))
    print(kt.GetDeviceRow_devicename("n1")[:13])
    try:
        kt.InsertSubsystem("NEW", "")
    except RuntimeError as failure:
        print(failure)
""")


def describe(path):
    kt = libketralpython.KETRAL(path, "", "")
    kt.DBConnexion()
    kt.CreateTableSchema()
    kt.InsertDeviceType("", "NODE", 1, 1, "", "", 1)
    kt.InsertDeviceType("", "SW", 4, 4, "", "", 1)
    for name, kind in (("n1", "NODE"), ("n2", "NODE"), ("sw", "SW")):
        kt.InsertFunctionalDevice("", name, kind, 0, 0, "", "", "", "", "", "", 1)
    flags = libketralpython.IntVec()
    flags.extend(FLAGS)
    for device, nbr, way in (("n1", "0", 2), ("n2", "0", 2), ("sw", "1", 1), ("sw", "2", 1), ("sw", "9", 2)):
        kt.InsertPort(device, nbr, "", way, "", "", "", "", "", flags, "", 1)
    kt.InsertSimpleLinkType("data", 1)
    kt.InsertMacroLink("n1", "sw", "0", "1", "", "", "data", 1, "", 1)
    kt.InsertMacroLink("n2", "sw", "0", "2", "", "", "data", 1, "", 1)
    kt.DBDeconnexion()


@pytest.fixture
def folder():
    made = tempfile.mkdtemp(prefix="ketral-ro-")
    os.chmod(made, 0o755)
    yield made
    os.chmod(made, 0o755)
    shutil.rmtree(made)


def as_reader(path):
    command = [sys.executable, "-c", READER, LIB, path]
    if os.geteuid() == 0:
        command = ["runuser", "-u", "nobody", "--"] + command
    done = subprocess.run(command, capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stderr
    return done.stdout.splitlines()


def journal_mode(path):
    with open(path, "rb") as f:
        header = f.read(20)
    return "wal" if header[18:20] == b"\x02\x02" else "rollback"


@pytest.mark.parametrize("journal", ["delete", "wal"])
@pytest.mark.parametrize("where", ["read-only file", "read-only folder"])
def test_a_database_the_process_cannot_write_opens_for_reading(folder, journal, where):
    path = os.path.join(folder, "site.sqlite")
    describe(path)
    with sqlite3.connect(path) as conn:
        conn.execute(f"PRAGMA journal_mode = {journal}")
    mode = journal_mode(path)
    if where == "read-only file":
        os.chmod(folder, 0o777)
        os.chmod(path, 0o444)
    else:
        if os.geteuid() == 0:
            shutil.chown(path, "nobody")
        os.chmod(folder, 0o555)
    lines = as_reader(path)
    assert lines == ["['n1', 'n2']", "['n1']", '{"deviceid":1', "InsertSubsystem: the database is read-only"]
    assert journal_mode(path) == mode
    assert sorted(os.listdir(folder)) in (["site.sqlite"], ["site.sqlite", "site.sqlite-shm", "site.sqlite-wal"])

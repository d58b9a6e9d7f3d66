"""Several processes on one database, on both backends: two scripts writing
different batches at the same time lose nothing; a script renaming a device
over and over never shows a reader a half-done rename."""
import contextlib
import subprocess
import sys
import textwrap

import pytest

import libketralpython

DEVICES = 150  # per writer

# Connects, says "ready", waits for "go" on its input, then runs its part.
PREAMBLE = """
import sys
import libketralpython
kt = libketralpython.KETRAL(sys.argv[1], "", "")
kt.DBConnexion()
print("ready", flush=True)
sys.stdin.readline()
"""

WRITER = PREAMBLE + textwrap.dedent("""
    prefix, n = sys.argv[2], int(sys.argv[3])
    for k in range(n):
        kt.InsertMultipleFunctionalDevices("DAQ", f"{prefix}{k}", "NODE", 0, 1, f"{prefix}-HW{k}", "pc", "", "hall",
                                           "", "", int(k == 0), int(k == n - 1))
    flags = libketralpython.IntVec()
    flags.extend([1000, 1, 0])
    records = [(f"{prefix}{k}", str(p), 1, "data", "", "", "", "", "", flags, "") for k in range(n) for p in (1, 2)]
    for i, record in enumerate(records):
        kt.InsertMultiplePorts(*record, int(i == 0), int(i == len(records) - 1))
    print("ok", flush=True)
""")

RENAMER = PREAMBLE + textwrap.dedent("""
    names = ["n0"] + [f"renamed{i}" for i in range(1, int(sys.argv[2]) + 1)]
    for old, new in zip(names, names[1:]):
        kt.UpdateMultipleDevNamesDevices(old, new, 1, 1)
    print("ok", names[-1], flush=True)
""")

# Reads the names of the type until told to stop (a second line on its
# input); every answer must hold the 20 devices, n0 under one of its names.
READER = PREAMBLE + textwrap.dedent("""
    import select
    reads = 0
    while not select.select([sys.stdin], [], [], 0)[0]:
        names = list(kt.GetDeviceNamesPerType("NODE"))
        # n0 under one of its names, the others as they are.
        assert len(names) == 20 and set(names) >= {f"n{k}" for k in range(1, 20)}, names
        assert kt.GetDeviceID_devicename("n7") > 0
        reads += 1
    print("ok", reads, flush=True)
""")


@contextlib.contextmanager
def children(*scripts):
    """Starts each (script, args...) with the database; yields them once all are ready."""
    procs = [subprocess.Popen([sys.executable, "-c", script, *map(str, args)], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) for script, *args in scripts]
    try:
        for proc in procs:
            assert proc.stdout.readline() == "ready\n", proc.stderr.read()
        yield procs
    finally:
        for proc in procs:
            if proc.poll() is None:
                proc.kill()
            proc.wait(60)
            for stream in (proc.stdin, proc.stdout, proc.stderr):
                stream.close()


def go(proc):
    proc.stdin.write("go\n")
    proc.stdin.flush()


def finish(proc):
    out, err = proc.communicate(timeout=300)
    assert proc.returncode == 0, err
    return out.split()


@pytest.fixture
def kt(db):
    db.CreateTableSchema()
    db.InsertSubsystem("DAQ", "")
    db.InsertMultipleDeviceTypes("DAQ", "NODE", 2, 0, "", "", 1, 1)
    return db


def test_two_writers_at_once_lose_nothing(kt, database, peek):
    kt.DBDeconnexion()
    with children((WRITER, database, "a", DEVICES), (WRITER, database, "b", DEVICES)) as procs:
        for proc in procs:
            go(proc)
        assert [finish(proc) for proc in procs] == [["ok"], ["ok"]]
    names = {name for (name,) in peek("SELECT devicename FROM functional_device")}
    assert names == {f"{p}{k}" for p in "ab" for k in range(DEVICES)}
    assert peek("SELECT COUNT(*) FROM port p JOIN functional_device d ON d.deviceid = p.deviceid "
                "JOIN hardware_device h ON h.serialid = d.serialid "
                "WHERE h.serialnb = SUBSTR(d.devicename, 1, 1) || '-HW' || SUBSTR(d.devicename, 2)") == \
        [(4 * DEVICES,)]
    assert peek("SELECT COUNT(*) FROM history") == [(2 * DEVICES,)]  # one per new hardware


def test_a_rename_is_seen_whole_by_a_reader(kt, database):
    records = [("DAQ", f"n{k}", "NODE", 0, 1, "", "", "", "hall", "", "") for k in range(20)]
    for k, record in enumerate(records):
        kt.InsertMultipleFunctionalDevices(*record, int(k == 0), int(k == len(records) - 1))
    kt.DBDeconnexion()
    renames = 60
    with children((RENAMER, database, renames), (READER, database)) as (renamer, reader):
        go(renamer)
        go(reader)
        assert finish(renamer) == ["ok", f"renamed{renames}"]
        go(reader)  # stop reading
        status, reads = finish(reader)
        assert status == "ok" and int(reads) > 0
    kt.DBConnexion()
    assert kt.GetDeviceID_devicename(f"renamed{renames}") == 1
    assert sorted(kt.GetDeviceNamesPerType("NODE")) == sorted([f"renamed{renames}"] + [f"n{k}" for k in range(1, 20)])

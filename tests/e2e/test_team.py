"""A team on one database, on both backends: several processes mixing swaps,
deletes, re-inserts and batches for a bounded time, then the invariants of
hardware and positions, every success with its effect, a busy close that
keeps its batch, conflicts named by what changed, and answers built from
the network that follow every committed change."""
import os
import re
import sqlite3
import subprocess
import sys
import textwrap
import time

import pytest

import libketralpython

SECONDS = 4      # how long the racing processes run
MOST = 400       # and at most this many rounds each
SWAPPED = "Successful update"

PREAMBLE = textwrap.dedent("""
    import sys, time
    import libketralpython
    kt = libketralpython.KETRAL(sys.argv[1], "", "")
    kt.DBConnexion()
    seconds, most = float(sys.argv[2]), int(sys.argv[3])
    end = time.monotonic() + seconds
    rounds = 0
    def going():
        global rounds
        rounds += 1
        return rounds <= most and time.monotonic() < end
""")

# Swaps the hardware of base0 and base1; prints the comment of every swap
# that reported success, and every refusal.
SWAPPER = PREAMBLE + textwrap.dedent("""
    tag = sys.argv[4]
    while going():
        comment = f"{tag}{rounds}"
        try:
            if kt.SwapTwoDevices("base0", "base1", comment).startswith("Successful update"):
                print("ok", comment, flush=True)
        except RuntimeError as refused:
            print("refused", str(refused).replace(" ", "_"), flush=True)
""")

# Deletes base0, inserts it again and fills it from a spare, over and over.
RECYCLER = PREAMBLE + textwrap.dedent("""
    spares = ["SP0", "SP1", "SP2"]
    while going():
        try:
            kt.DeleteFunctionalDevice(kt.GetDeviceID_devicename("base0"))
            kt.InsertFunctionalDevice("", "base0", "BASE", 0, 0, "", "", "", "hall", "", "", 1)
            spare = [s for s in spares if kt.GetHWDeviceStatus(s) == "SPARE"][0]
            kt.SwapTwoDevices("base0", spare, "refill")
        except RuntimeError as refused:
            print("refused", str(refused).replace(" ", "_"), flush=True)
    print("done", rounds - 1, flush=True)
""")


def run_all(database, *scripts):
    procs = [subprocess.Popen([sys.executable, "-c", script, database, str(SECONDS), str(MOST), *args],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
             for script, *args in scripts]
    outputs = []
    for proc in procs:
        out, err = proc.communicate(timeout=120)
        assert proc.returncode == 0, err
        outputs.append([line.split(" ", 1) for line in out.splitlines()])
    return outputs


@pytest.fixture
def kt(db):
    assert db.CreateTableSchema() == 0
    db.InsertDeviceType("", "BASE", 1, 1, "", "", 1)
    for name, serial in (("base0", "HW0"), ("base1", "HW1")):
        db.InsertFunctionalDevice("", name, "BASE", 0, 0, serial, "board", "", "hall", "", "", 1)
    for serial in ("SP0", "SP1", "SP2"):
        db.InsertSpareDevice("board", "board", serial, "", "store", "", 1)
    return db


def hardware_is_consistent(peek):
    """Every piece fills at most one position, IN_USE exactly when it fills one."""
    filled = peek("SELECT h.serialnb, h.status, COUNT(d.deviceid) FROM hardware_device h "
                  "LEFT JOIN functional_device d ON d.serialid = h.serialid GROUP BY h.serialnb, h.status")
    wrong = [(serial, status, n) for serial, status, n in filled if n > 1 or (status == "IN_USE") != (n == 1)]
    assert not wrong, wrong
    # No history entry puts hardware IN_USE at a position after that position was deleted.
    late = peek("SELECT h.serialnb, h.position_name, h.comments FROM history h "
                "WHERE h.status = 'IN_USE' AND h.position_id NOT IN (SELECT deviceid FROM functional_device) "
                "AND h.historyid > (SELECT MAX(x.historyid) FROM history x WHERE x.position_id = h.position_id "
                "AND x.comments LIKE 'device % deleted')")
    assert not late, late


def test_racing_swaps_and_deletes_keep_every_success_and_the_hardware_consistent(kt, database, peek):
    kt.DBDeconnexion()
    first, second, recycler = run_all(database, (SWAPPER, "a"), (SWAPPER, "b"), (RECYCLER,))
    hardware_is_consistent(peek)
    # Every swap that reported success exchanged two pieces: two entries with its comment, each
    # piece entering the position the other left.
    succeeded = [comment for kind, comment in first + second if kind == "ok"]
    assert succeeded
    for comment in succeeded:
        entries = peek("SELECT serialnb, position_name FROM history WHERE comments = ? AND status = 'IN_USE' "
                       "ORDER BY historyid", comment)
        assert len(entries) == 2 and entries[0][0] != entries[1][0] and entries[0][1] != entries[1][1], entries
    # Per position, no piece enters twice in a row without having left.
    entering = peek("SELECT position_id, serialnb FROM history WHERE status = 'IN_USE' AND position_id IS NOT NULL "
                    "ORDER BY position_id, historyid")
    repeats = [a for a, b in zip(entering, entering[1:]) if a == b]
    assert not repeats, repeats
    # A refusal says what is wrong; never a duplicate key for a change that did not happen.
    for kind, message in first + second + recycler:
        assert kind in ("ok", "refused", "done")
        assert "already_exists" not in message, message
    refused = sum(kind == "refused" for kind, _ in first + second + recycler)
    print(f"swaps that succeeded {len(succeeded)}, refusals {refused}, recycling rounds {recycler[-1][1]}")


LOCKER = {
    "sqlite": textwrap.dedent("""
        import sqlite3, sys, time
        conn = sqlite3.connect(sys.argv[1], isolation_level=None)
        conn.execute("BEGIN IMMEDIATE")
        print("locked", flush=True)
        time.sleep(float(sys.argv[2]))
        conn.execute("COMMIT")
    """),
    "postgresql": textwrap.dedent("""
        import psycopg2, sys, time
        conn = psycopg2.connect(sys.argv[1])
        conn.autocommit = True
        cur = conn.cursor()
        cur.execute("SELECT pg_advisory_lock(hashtext('libketral ' || current_schema()))")
        print("locked", flush=True)
        time.sleep(float(sys.argv[2]))
    """),
}


def test_a_busy_close_keeps_its_batch_for_the_same_call_again(kt, database, testdb):
    records = [("", f"n{k}", "BASE", 0, 0, "", "", "", "hall", "", "") for k in range(3)]
    for k, record in enumerate(records[:2]):
        kt.InsertMultipleFunctionalDevices(*record, int(k == 0), 0)
    if testdb.backend == "sqlite":
        # No transaction stays open between a batch's calls: the log can be emptied meanwhile.
        with sqlite3.connect(database) as conn:
            assert conn.execute("PRAGMA wal_checkpoint(TRUNCATE)").fetchone()[0] == 0
    locker = subprocess.Popen([sys.executable, "-c", LOCKER[testdb.backend], database, "7"],
                              stdout=subprocess.PIPE, text=True)
    try:
        assert locker.stdout.readline() == "locked\n"
        with pytest.raises(RuntimeError) as busy:
            kt.InsertMultipleFunctionalDevices(*records[2], 0, 1)
        assert str(busy.value) == ("InsertMultipleFunctionalDevices: the database is busy (locked by another "
                                   "connection); the batch is kept (2 records): send this record again to write it")
    finally:
        locker.wait(30)
        locker.stdout.close()
    assert kt.InsertMultipleFunctionalDevices(*records[2], 0, 1) == "Successful insertion"
    assert sorted(kt.GetDeviceNamesPerType("BASE")) == ["base0", "base1", "n0", "n1", "n2"]


CHANGER = textwrap.dedent("""
    import sys
    import libketralpython
    kt = libketralpython.KETRAL(sys.argv[1], "", "")
    kt.DBConnexion()
    for call in sys.argv[2:]:
        eval(call)
""")


def other_process(database, *calls):
    done = subprocess.run([sys.executable, "-c", CHANGER, database, *calls], capture_output=True, text=True,
                          timeout=60)
    assert done.returncode == 0, done.stderr


def test_a_change_made_meanwhile_is_named_at_the_close(kt, database):
    kt.InsertDeviceType("", "DD", 1, 1, "", "", 1)
    kt.InsertMultipleFunctionalDevices("", "dd1", "DD", 0, 0, "", "", "", "", "", "", 1, 0)
    other_process(database, 'kt.DeleteFunctionalDeviceType("DD")')
    with pytest.raises(RuntimeError, match=r"^InsertMultipleFunctionalDevices: record 1: no device type named 'DD'$"):
        kt.InsertMultipleFunctionalDevices("", "dd2", "DD", 0, 0, "", "", "", "", "", "", 0, 1)
    assert list(kt.GetDeviceNamesPerType("BASE")) == ["base0", "base1"]


def test_answers_from_the_network_follow_changes_committed_elsewhere(kt, database, peek):
    kt.InsertDeviceType("", "SW", 4, 4, "", "", 1)
    kt.InsertFunctionalDevice("", "sw", "SW", 0, 0, "", "", "", "", "", "", 1)
    iv = libketralpython.IntVec()
    iv.extend([1000, 1, 0])
    for device, nbr, way in (("base0", "0", 2), ("base1", "0", 2), ("sw", "3", 1), ("sw", "9", 1)):
        kt.InsertPort(device, nbr, "", way, "", "", "", "", "", iv, "", 1)
    kt.InsertSimpleLinkType("data", 1)
    kt.InsertMacroLink("base0", "sw", "0", "3", "", "", "data", 0, "", 1)
    kt.InsertMacroLink("base1", "sw", "0", "9", "", "", "data", 0, "", 1)
    assert list(kt.GetDestinationNamePerDevPort("base0", "0", "")) == ["sw"]
    assert kt.CreateRoutingTable("base0", 0) == 0
    assert len(kt.GetConnectivityBetweenDevices("base0", "sw", 0, 0)) == 1
    stale = ("SELECT f.devicename FROM routing_switch r JOIN functional_device f ON f.deviceid = r.switchid "
             "WHERE r.network < (SELECT network FROM database_state)")
    assert peek(stale) == []
    # Another process takes the link out of use: the graph, the stale mark and the stored table follow.
    other_process(database, 'kt.UpdateMultipleLkUsedLinks("base0", "sw", "0", "", "3", "", 0, 1, 1)')
    assert peek(stale) == [("base0",)]
    assert len(kt.GetConnectivityBetweenDevices("base0", "sw", 0, 0)) == 0
    assert len(kt.GetDestinationNamePerDevPort("base0", "0", "")) == 0
    assert kt.CreateRoutingTable("base0", 0) == 0 and peek(stale) == []
    # A device deleted elsewhere is gone from the next answer, without a reload flag.
    other_process(database, f'kt.DeleteFunctionalDevice({int(kt.GetDeviceID_devicename("base1"))})')
    assert kt.CreateRoutingTable("sw", 0) == 0
    assert kt.CreateDestinationTable("sw", 0) == 0


@pytest.mark.sqlite_only
def test_a_write_to_a_removed_database_file_fails(db, db_path):
    db.CreateTableSchema()
    for suffix in ("", "-wal", "-shm"):
        if os.path.exists(db_path + suffix):
            os.remove(db_path + suffix)
    with pytest.raises(RuntimeError, match=r"^InsertSubsystem: the database file '.*' was removed or replaced since "
                                           r"it was opened: nothing was written; call DBConnexion to open it again$"):
        db.InsertSubsystem("DAQ", "")

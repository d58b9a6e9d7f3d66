"""Describing the benchmark network through the module's batched inserts,
against Python's own sqlite3 module writing the same rows.

Both sides start from a fresh SQLite file with our schema (CreateTableSchema),
the subsystem and the link types already in, and insert the device types,
the functional devices, the ports and the macro links of bench/network.py:

- ours: InsertMultipleDeviceTypes, InsertMultipleFunctionalDevices,
  InsertMultiplePorts, InsertMultipleMacroLinks, one batch per kind, one call
  per record (each record checked as it comes, each batch written in one
  transaction when it closes);
- reference: sqlite3 with executemany in one transaction, the same pragmas
  (WAL, synchronous = NORMAL, foreign keys on), names resolved to ids by
  subqueries in the INSERT statements (device type and subsystem by name, a
  port by its device's name, its number, way and type).

Rows are records: device types + devices + ports + links. Each side runs
ROUNDS times, alternating, on a fresh file each time; the best time counts,
both elapsed and processor time (the machine may be shared).

    PYTHONPATH=build/lib /usr/bin/python3 bench/insert_network.py [S] [ROUNDS]
"""
import contextlib
import os
import sqlite3
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
import network  # noqa: E402
import libketralpython  # noqa: E402
from calls import batch, int_vec  # noqa: E402,F401  (the module-call helpers, shared with the tests)

SUBSYSTEM = "DAQ"
PORT_FLAGS = (1000, 1, 0)  # speed, admin_status, pxi_booting


def prepare(db):
    """Our schema, the subsystem and the link types, on an open connection."""
    db.CreateTableSchema()
    db.InsertSubsystem(SUBSYSTEM, "")
    batch(db.InsertMultipleSimpleLinkTypes, [(t,) for t in network.LINK_TYPES])


def fresh_database(folder, name):
    """A new file, prepared."""
    path = os.path.join(folder, name)
    db = libketralpython.KETRAL(path, "", "")
    db.DBConnexion()
    prepare(db)
    return path, db


def describe(db, net):
    """The network through the batched inserts on an open connection, one batch per kind; answers its Clock."""
    flags = int_vec(PORT_FLAGS)
    ports = [(dev, nbr, way, ptype, "", "", "", "", "", flags, "") for dev, nbr, way, ptype in net.ports]
    links = [(src, dst, pf, pt, network.PORT_TYPE, network.PORT_TYPE, lktype, bidir, "")
             for src, dst, pf, pt, lktype, bidir, _used in net.links]
    with Clock() as clock:
        batch(db.InsertMultipleDeviceTypes, net.device_types)
        batch(db.InsertMultipleFunctionalDevices, net.devices)
        batch(db.InsertMultiplePorts, ports)
        batch(db.InsertMultipleMacroLinks, links)
    return clock


def ours(net, folder):
    path, db = fresh_database(folder, "ours.sqlite")
    clock = describe(db, net)
    db.DBDeconnexion()
    return path, clock


def best_of(rounds, run):
    """(best seconds, last result) of `rounds` calls of run()."""
    best, result = float("inf"), None
    for _ in range(rounds):
        start = time.perf_counter()
        result = run()
        best = min(best, time.perf_counter() - start)
    return best, result


class Clock:
    """Elapsed (wall) and processor time of the process, in seconds."""

    def __enter__(self):
        self.wall, self.cpu = time.perf_counter(), time.process_time()
        return self

    def __exit__(self, *_exc):
        self.wall, self.cpu = time.perf_counter() - self.wall, time.process_time() - self.cpu


def text_or_none(text):
    return text if text else None


def reference(net, folder):
    path, db = fresh_database(folder, "reference.sqlite")
    db.DBDeconnexion()
    speed, admin, pxi = PORT_FLAGS
    port_id = ("(SELECT p.portid FROM port p JOIN functional_device d ON d.deviceid = p.deviceid "
               "WHERE d.devicename = ? AND p.port_nbr = ? AND p.port_way = {} AND p.port_type = ?)")
    with contextlib.closing(sqlite3.connect(path, isolation_level=None)) as conn:
        conn.execute("PRAGMA foreign_keys = ON")
        conn.execute("PRAGMA journal_mode = WAL")
        conn.execute("PRAGMA synchronous = NORMAL")
        clock = Clock().__enter__()
        conn.execute("BEGIN IMMEDIATE")
        conn.executemany(
            "INSERT INTO device_type (devicetype, nbrofinput, nbrofoutput, description, rgbcolor) VALUES (?, ?, ?, ?, ?)",
            ((t, nin, nout, desc or t, text_or_none(rgb)) for _s, t, nin, nout, desc, rgb in net.device_types))
        conn.executemany(
            "INSERT INTO device_type_system (devicetypeid, systemid) SELECT t.devicetypeid, s.systemid "
            "FROM device_type t, subsystem s WHERE t.devicetype = ? AND s.system_name = ?",
            ((t, s) for systems, t, *_rest in net.device_types for s in systems.split(",")))
        conn.executemany(
            "INSERT INTO functional_device (devicename, devicetypeid, dnode, promiscuous_mode, location, responsible, "
            "comments) VALUES (?, (SELECT devicetypeid FROM device_type WHERE devicetype = ?), ?, ?, ?, ?, ?)",
            ((name, dtype, dnode, promisc, text_or_none(loc), text_or_none(resp), text_or_none(comments))
             for _s, name, dtype, dnode, promisc, _sn, _hw, resp, loc, comments, _f in net.devices))
        conn.executemany(
            "INSERT INTO device_system (deviceid, systemid) SELECT d.deviceid, s.systemid "
            "FROM functional_device d, subsystem s WHERE d.devicename = ? AND s.system_name = ?",
            ((name, s) for systems, name, *_rest in net.devices for s in systems.split(",")))
        conn.executemany(
            "INSERT INTO port (deviceid, port_nbr, port_way, port_type, speed, admin_status, pxi_booting) "
            "VALUES ((SELECT deviceid FROM functional_device WHERE devicename = ?), ?, ?, ?, ?, ?, ?)",
            ((dev, nbr, way, ptype, speed, admin, pxi) for dev, nbr, way, ptype in net.ports))
        conn.executemany(
            "INSERT INTO macro_link (portidfrom, portidto, linktypeid, bidirectional, link_info) VALUES ("
            + port_id.format(2) + ", " + port_id.format(1)
            + ", (SELECT linktypeid FROM link_type WHERE lktype = ?), ?, NULL)",
            ((src, pf, network.PORT_TYPE, dst, pt, network.PORT_TYPE, lktype, bidir)
             for src, dst, pf, pt, lktype, bidir, _used in net.links))
        conn.execute("COMMIT")
        clock.__exit__()
    return path, clock


def counts(path):
    tables = ("device_type", "device_type_system", "functional_device", "device_system", "port", "macro_link")
    with contextlib.closing(sqlite3.connect(path)) as conn:
        return {t: conn.execute(f"SELECT COUNT(*) FROM {t}").fetchone()[0] for t in tables}


def main():
    scale = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    net = network.generate(scale)
    rows = len(net.device_types) + len(net.devices) + len(net.ports) + len(net.links)
    print(f"S={scale}: {len(net.device_types)} device types, {len(net.devices)} devices, "
          f"{len(net.ports)} ports, {len(net.links)} links = {rows} rows")
    best = {side: {"wall": float("inf"), "cpu": float("inf")} for side in ("ours", "reference")}
    for _ in range(rounds):
        for side, run in (("ours", ours), ("reference", reference)):
            with tempfile.TemporaryDirectory() as folder:
                path, clock = run(net, folder)
                written = counts(path)
            for kind in ("wall", "cpu"):
                best[side][kind] = min(best[side][kind], getattr(clock, kind))
            print(f"  {side:9s} wall {clock.wall:6.3f} s  cpu {clock.cpu:6.3f} s  {written}")
    for kind, title in (("wall", "elapsed time"), ("cpu", "processor time")):
        ours_rate, ref_rate = (rows / best[side][kind] for side in ("ours", "reference"))
        print(f"{title} (best of {rounds}): ours {ours_rate:9,.0f} rows/s, reference {ref_rate:9,.0f} rows/s, "
              f"ratio {ours_rate / ref_rate:.2f}")


if __name__ == "__main__":
    main()

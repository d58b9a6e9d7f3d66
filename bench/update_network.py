"""Changing the benchmark network through the module's batched updates,
against Python's own sqlite3 module making the same changes.

The network of bench/network.py is written once (as bench/insert_network.py's
reference does) and copied for every run. Each side then, in one batch (one
transaction) per kind:

- sets the speed, phy and PXE flag of every port (UpdateMultiplePorts),
- sets the link information of every link (UpdateMultipleLkInfoLinks),
- renames every device (UpdateMultipleDevNamesDevices);

ours with one call per record (each checked as it comes), the reference
with executemany and names resolved by subqueries in the UPDATE statements.
The best of ROUNDS runs counts, elapsed and processor time.

    PYTHONPATH=build/lib /usr/bin/python3 bench/update_network.py [S] [ROUNDS]
"""
import contextlib
import os
import shutil
import sqlite3
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import insert_network  # noqa: E402
import network  # noqa: E402
import libketralpython  # noqa: E402

PORT_ID = ("(SELECT p.portid FROM port p JOIN functional_device d ON d.deviceid = p.deviceid "
           "WHERE d.devicename = ? AND p.port_nbr = ? AND p.port_way = {} AND p.port_type = ?)")


def changes(net):
    ports = [(dev, nbr, way, ptype, 10000, "LR", 1) for dev, nbr, way, ptype in net.ports]
    links = [(src, dst, pf, network.PORT_TYPE, pt, network.PORT_TYPE, f"link {i}")
             for i, (src, dst, pf, pt, _t, _b, _u) in enumerate(net.links)]
    renames = [(name, name + "-new") for _s, name, *_rest in net.devices]
    return ports, links, renames


def ours(path, net):
    ports, links, renames = changes(net)
    db = libketralpython.KETRAL(path, "", "")
    db.DBConnexion()
    with insert_network.Clock() as clock:
        insert_network.batch(db.UpdateMultiplePorts, ports)
        insert_network.batch(db.UpdateMultipleLkInfoLinks, links)
        insert_network.batch(db.UpdateMultipleDevNamesDevices, renames)
    db.DBDeconnexion()
    return clock


def reference(path, net):
    ports, links, renames = changes(net)
    with contextlib.closing(sqlite3.connect(path, isolation_level=None)) as conn:
        conn.execute("PRAGMA foreign_keys = ON")
        conn.execute("PRAGMA synchronous = NORMAL")
        with insert_network.Clock() as clock:
            for sql, rows in (
                ("UPDATE port SET speed = ?, phy = ?, pxi_booting = ? WHERE portid = " + PORT_ID.format("?"),
                 ((speed, phy, pxi, dev, nbr, way, ptype) for dev, nbr, way, ptype, speed, phy, pxi in ports)),
                ("UPDATE macro_link SET link_info = ? WHERE portidfrom = " + PORT_ID.format(2) +
                 " AND portidto = " + PORT_ID.format(1),
                 ((info, src, pf, tf, dst, pt, tt) for src, dst, pf, tf, pt, tt, info in links)),
                ("UPDATE functional_device SET devicename = ? WHERE devicename = ?",
                 ((new, old) for old, new in renames)),
            ):
                conn.execute("BEGIN IMMEDIATE")
                conn.executemany(sql, rows)
                conn.execute("COMMIT")
    return clock


def fingerprint(path):
    with contextlib.closing(sqlite3.connect(path)) as conn:
        return conn.execute(
            "SELECT (SELECT COUNT(*) FROM port WHERE speed = 10000 AND phy = 'LR' AND pxi_booting = 1), "
            "(SELECT COUNT(*) FROM macro_link WHERE link_info LIKE 'link %'), "
            "(SELECT COUNT(*) FROM functional_device WHERE devicename LIKE '%-new')").fetchone()


def main():
    scale = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    net = network.generate(scale)
    rows = len(net.ports) + len(net.links) + len(net.devices)
    print(f"S={scale}: {len(net.ports)} ports, {len(net.links)} links, {len(net.devices)} devices = {rows} records")
    best = {side: {"wall": float("inf"), "cpu": float("inf")} for side in ("ours", "reference")}
    with tempfile.TemporaryDirectory() as folder:
        base, _clock = insert_network.reference(net, folder)
        for _ in range(rounds):
            for side, run in (("ours", ours), ("reference", reference)):
                path = os.path.join(folder, side + ".sqlite")
                shutil.copy(base, path)
                clock = run(path, net)
                for kind in ("wall", "cpu"):
                    best[side][kind] = min(best[side][kind], getattr(clock, kind))
                print(f"  {side:9s} wall {clock.wall:6.3f} s  cpu {clock.cpu:6.3f} s  changed {fingerprint(path)}")
                for suffix in ("", "-wal", "-shm"):
                    with contextlib.suppress(FileNotFoundError):
                        os.remove(path + suffix)
    for kind, title in (("wall", "elapsed time"), ("cpu", "processor time")):
        ours_rate, ref_rate = (rows / best[side][kind] for side in ("ours", "reference"))
        print(f"{title} (best of {rounds}): ours {ours_rate:9,.0f} records/s, reference {ref_rate:9,.0f} records/s, "
              f"ratio {ours_rate / ref_rate:.2f}")


if __name__ == "__main__":
    main()

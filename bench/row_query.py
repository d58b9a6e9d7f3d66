"""GetDeviceRow_devicename through the module, against Python's sqlite3.

The benchmark network (bench/network.py, S = 500: about 13,000 devices) is
written into a fresh SQLite file with our schema. Then, side by side in the
same run, over the same random device names:

  ours       KETRAL.GetDeviceRow_devicename(name): the module, the library's
             guard, its cached statements, its JSON writer;
  reference  Python's sqlite3 on the same file: the same statements (the
             device and its type and hardware, then its system list and its
             function list), a dict and json.dumps into the same text.

Both answers are checked equal first. Prints queries per second of both and
their ratio (ours / reference; 1.0 or more means ours is at least as fast).

  /usr/bin/python3 bench/row_query.py [S] [--build DIR]
"""
import argparse
import contextlib
import json
import os
import random
import sqlite3
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))
import network  # noqa: E402

QUERIES = 50000
ROUNDS = 5

# The statements GetDeviceRow_devicename runs (store/queries/rows.cpp).
DEVICE = (
    "SELECT d.deviceid, d.devicename, d.devicetypeid, t.devicetype, d.dnode, d.promiscuous_mode, d.serialid, "
    "h.serialnb, h.hwtype, d.responsible, d.location, d.comments "
    "FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
    "LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE d.devicename = ?")
# The two lists, sorted by name after reading (as the library does).
SYSTEMS = ("SELECT s.system_name FROM device_system ds JOIN subsystem s ON s.systemid = ds.systemid "
           "WHERE ds.deviceid = ?")
FUNCTIONS = ("SELECT f.function_name FROM functional_device_function df "
             "JOIN device_function f ON f.functionid = df.functionid WHERE df.deviceid = ?")


def populate(path, net):
    """The network written with executemany into our schema (already created)."""
    with contextlib.closing(sqlite3.connect(path)) as db:
        systems = sorted({s for t in net.device_types for s in t[0].split(",")})
        db.executemany("INSERT INTO subsystem (system_name) VALUES (?)", [(s,) for s in systems])
        system_id = dict(db.execute("SELECT system_name, systemid FROM subsystem"))
        db.executemany("INSERT INTO device_type (devicetype, nbrofinput, nbrofoutput, description, rgbcolor) "
                       "VALUES (?, ?, ?, ?, ?)", [t[1:] for t in net.device_types])
        type_id = dict(db.execute("SELECT devicetype, devicetypeid FROM device_type"))
        db.executemany("INSERT INTO device_type_system VALUES (?, ?)",
                       [(type_id[t[1]], system_id[s]) for t in net.device_types for s in t[0].split(",")])
        functions = sorted({f for d in net.devices for f in d[10].split(",") if f})
        db.executemany("INSERT INTO device_function (function_name) VALUES (?)", [(f,) for f in functions])
        function_id = dict(db.execute("SELECT function_name, functionid FROM device_function"))
        db.executemany("INSERT INTO functional_device (devicename, devicetypeid, dnode, promiscuous_mode, "
                       "responsible, location, comments) VALUES (?, ?, ?, ?, ?, ?, ?)",
                       [(d[1], type_id[d[2]], d[3], d[4], d[7], d[8], d[9] or None) for d in net.devices])
        device_id = dict(db.execute("SELECT devicename, deviceid FROM functional_device"))
        db.executemany("INSERT INTO device_system VALUES (?, ?)",
                       [(device_id[d[1]], system_id[s]) for d in net.devices for s in d[0].split(",")])
        db.executemany("INSERT INTO functional_device_function VALUES (?, ?)",
                       [(device_id[d[1]], function_id[f]) for d in net.devices for f in d[10].split(",") if f])
        db.executemany("INSERT INTO port (deviceid, port_nbr, port_way, port_type) VALUES (?, ?, ?, ?)",
                       [(device_id[p[0]], p[1], p[2], p[3]) for p in net.ports])
        db.executemany("INSERT INTO link_type (lktype) VALUES (?)", [(t,) for t in net.link_types])
        link_type_id = dict(db.execute("SELECT lktype, linktypeid FROM link_type"))
        port_id = {(dev, nbr, way): pid for pid, dev, nbr, way in db.execute(
            "SELECT p.portid, d.devicename, p.port_nbr, p.port_way FROM port p "
            "JOIN functional_device d ON d.deviceid = p.deviceid")}
        db.executemany("INSERT INTO macro_link (portidfrom, portidto, linktypeid, bidirectional, lkused) "
                       "VALUES (?, ?, ?, ?, ?)",
                       [(port_id[(src, pf, network.OUT)], port_id[(dst, pt, network.IN)], link_type_id[t], bidir, used)
                        for src, dst, pf, pt, t, bidir, used in net.links])
        db.commit()


def reference(path):
    """The same row through Python's sqlite3: one function of the name."""
    db = sqlite3.connect(path, check_same_thread=False)
    keys = [c[0] for c in db.execute(DEVICE, ("",)).description]
    execute = db.execute
    dumps = json.JSONEncoder(ensure_ascii=False, separators=(",", ":")).encode

    def row(name):
        found = execute(DEVICE, (name,)).fetchone()
        if found is None:
            raise RuntimeError("NO_ROWS_SELECTED")
        record = dict(zip(keys, found))
        record["system_list"] = ",".join(sorted([r[0] for r in execute(SYSTEMS, (found[0],))]))
        record["function_list"] = ",".join(sorted([r[0] for r in execute(FUNCTIONS, (found[0],))]))
        return dumps(record)

    return db, row


def rates(queries, names):
    """Best queries per second of each query over ROUNDS passes over `names`,
    the passes of the queries alternating so that both see the same load."""
    best = [float("inf")] * len(queries)
    for _ in range(ROUNDS):
        for k, query in enumerate(queries):
            start = time.perf_counter()
            for name in names:
                query(name)
            best[k] = min(best[k], time.perf_counter() - start)
    return [len(names) / b for b in best]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("scale", nargs="?", type=int, default=500)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="build folder (its lib/ holds the module)")
    args = parser.parse_args()
    sys.path.insert(0, os.path.join(args.build, "lib"))
    import libketralpython

    net = network.generate(args.scale)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "bench.sqlite")
        ketral = libketralpython.KETRAL(path, "", "")
        ketral.DBConnexion()
        ketral.CreateTableSchema()
        start = time.perf_counter()
        populate(path, net)
        print(f"S={args.scale}: {len(net.devices)} devices, {len(net.ports)} ports, {len(net.links)} links "
              f"written in {time.perf_counter() - start:.1f} s")

        rng = random.Random(1208)
        names = [d[1] for d in rng.choices(net.devices, k=QUERIES)]
        db, ref = reference(path)
        try:
            for name in names[:1000]:
                mine, theirs = ketral.GetDeviceRow_devicename(name), ref(name)
                if mine != theirs:
                    sys.exit(f"answers differ for {name}:\n  ours      {mine}\n  reference {theirs}")
            print("answers identical on 1000 names, e.g.", ketral.GetDeviceRow_devicename(names[0]))
            ours, theirs = rates([ketral.GetDeviceRow_devicename, ref], names)
        finally:
            db.close()
            ketral.DBDeconnexion()
    print(f"ours       {ours:10,.0f} queries/s")
    print(f"reference  {theirs:10,.0f} queries/s")
    print(f"ratio      {ours / theirs:10.2f}")


if __name__ == "__main__":
    main()

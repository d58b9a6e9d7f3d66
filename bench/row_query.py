"""GetDeviceRow_devicename through the module, against Python's sqlite3.

The benchmark network (bench/network.py, S = 500: about 13,000 devices) is
described with the module's batched inserts into a fresh SQLite file. Then, side by side in the
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
from insert_network import batch, int_vec  # noqa: E402

QUERIES = 50000
ROUNDS = 5

# The statements GetDeviceRow_devicename runs (store/queries/rows.cpp).
DEVICE = (
    "SELECT d.deviceid, d.devicename, d.devicetypeid, t.devicetype, d.dnode, d.promiscuous_mode, d.serialid, "
    "h.serialnb, h.hwtype, d.responsible, d.location, d.comments "
    "FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
    "LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE d.devicename = ?")
# Both lists in one statement, each sorted by name after reading (as the library does).
LISTS = ("SELECT 0, s.system_name FROM device_system ds JOIN subsystem s ON s.systemid = ds.systemid "
         "WHERE ds.deviceid = ? UNION ALL "
         "SELECT 1, f.function_name FROM functional_device_function df "
         "JOIN device_function f ON f.functionid = df.functionid WHERE df.deviceid = ?")


def populate(ketral, net, int_vec):
    """The network described with the module's batched inserts (and the links
    out of use with their batched update)."""
    for system in sorted({s for t in net.device_types for s in t[0].split(",")}):
        ketral.InsertSubsystem(system, "")
    batch(ketral.InsertMultipleSimpleLinkTypes, [(t,) for t in net.link_types])
    batch(ketral.InsertMultipleDeviceTypes, net.device_types)
    batch(ketral.InsertMultipleFunctionalDevices, net.devices)
    flags = int_vec([1000, 1, 0])  # speed, admin_status, pxi_booting
    batch(ketral.InsertMultiplePorts,
          [(dev, nbr, way, ptype, "", "", "", "", "", flags, "") for dev, nbr, way, ptype in net.ports])
    batch(ketral.InsertMultipleMacroLinks,
          [(src, dst, pf, pt, network.PORT_TYPE, network.PORT_TYPE, lktype, bidir, "")
           for src, dst, pf, pt, lktype, bidir, _used in net.links])
    batch(ketral.UpdateMultipleLkUsedLinks,
          [(src, dst, pf, network.PORT_TYPE, pt, network.PORT_TYPE, 0)
           for src, dst, pf, pt, _lktype, _bidir, used in net.links if not used])


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
        lists = ([], [])
        for k, item in execute(LISTS, (found[0], found[0])):
            lists[k].append(item)
        record["system_list"] = ",".join(sorted(lists[0]))
        record["function_list"] = ",".join(sorted(lists[1]))
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

        populate(ketral, net, int_vec)
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

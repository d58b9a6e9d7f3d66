"""The library on its two backends, side by side: SQLite (a file) and
PostgreSQL (a private server of this run, over its unix socket).

On each backend, ROUNDS times on a fresh database:

  insert  the benchmark network (bench/network.py) described through the
          module's batched inserts, exactly as bench/insert_network.py does
          (device types, functional devices, ports, macro links: one batch
          per kind, one call per record, each batch written in one
          transaction when it closes);
  query   GetDeviceRow_devicename over the same QUERIES random device names
          of the network just written, as bench/row_query.py asks them.

Then, once on each backend, the mesh searches of bench/mesh.py (every
search answers or is refused by name within about 10 s at the default
limits).

The best round counts. The server runs with the settings a production
server would have (fsync on), except synchronous_commit = off: a commit does
not wait for its WAL flush, as SQLite's WAL with synchronous = NORMAL does
not wait for its fsync.

  PYTHONPATH=build/lib /usr/bin/python3 bench/backends.py [S] [--rounds R] [--queries Q]
"""
import argparse
import contextlib
import os
import random
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
import insert_network  # noqa: E402
import mesh  # noqa: E402
import network  # noqa: E402
import pg_server  # noqa: E402
import libketralpython  # noqa: E402

from insert_network import Clock, batch, int_vec  # noqa: E402

SERVER_SETTINGS = {"fsync": "on", "full_page_writes": "on", "synchronous_commit": "off", "shared_buffers": "128MB"}


class Sqlite:
    name = "sqlite"

    def __init__(self, folder):
        self.folder, self.count = folder, 0

    def fresh(self):
        self.count += 1
        return os.path.join(self.folder, f"bench{self.count}.sqlite"), ""


class Postgresql:
    name = "postgresql"

    def __init__(self, server):
        self.server, self.count = server, 0

    def fresh(self):
        self.count += 1
        name = f"bench{self.count}"
        self.server.admin(f"CREATE DATABASE {name}")
        return self.server.url(name), pg_server.SUPERUSER


def insert(kt, net):
    """The timed part of insert_network.ours, on an open connection."""
    flags = int_vec(insert_network.PORT_FLAGS)
    ports = [(dev, nbr, way, ptype, "", "", "", "", "", flags, "") for dev, nbr, way, ptype in net.ports]
    links = [(src, dst, pf, pt, network.PORT_TYPE, network.PORT_TYPE, lktype, bidir, "")
             for src, dst, pf, pt, lktype, bidir, _used in net.links]
    with Clock() as clock:
        batch(kt.InsertMultipleDeviceTypes, net.device_types)
        batch(kt.InsertMultipleFunctionalDevices, net.devices)
        batch(kt.InsertMultiplePorts, ports)
        batch(kt.InsertMultipleMacroLinks, links)
    return clock


def query(kt, names):
    with Clock() as clock:
        for name in names:
            kt.GetDeviceRow_devicename(name)
    return clock


def run(backend, net, names, rounds):
    best = {"insert": Clock(), "query": Clock()}
    for clock in best.values():
        clock.wall = clock.cpu = float("inf")
    answers = None
    for _ in range(rounds):
        url, user = backend.fresh()
        kt = libketralpython.KETRAL(url, user, "")
        kt.DBConnexion()
        kt.CreateTableSchema()
        kt.InsertSubsystem(insert_network.SUBSYSTEM, "")
        batch(kt.InsertMultipleSimpleLinkTypes, [(t,) for t in network.LINK_TYPES])
        timed = {"insert": insert(kt, net), "query": query(kt, names)}
        answers = [kt.GetDeviceRow_devicename(name) for name in names[:200]]
        kt.DBDeconnexion()
        for part, clock in timed.items():
            best[part].wall = min(best[part].wall, clock.wall)
            best[part].cpu = min(best[part].cpu, clock.cpu)
        print(f"  {backend.name:10s} insert {timed['insert'].wall:7.2f} s (cpu {timed['insert'].cpu:6.2f})  "
              f"query {timed['query'].wall:6.2f} s (cpu {timed['query'].cpu:5.2f})", flush=True)
    return best, answers


def mesh_searches(backend):
    """mesh.run on a fresh database of the backend."""
    url, user = backend.fresh()
    kt = libketralpython.KETRAL(url, user, "")
    kt.DBConnexion()
    kt.CreateTableSchema()
    results = mesh.run(kt)
    kt.DBDeconnexion()
    return results


def round_trip(server, count=5000):
    """Seconds of one statement's round trip to the server (SELECT 1, prepared)."""
    with contextlib.closing(server.connect()) as conn, conn.cursor() as cur:
        cur.execute("PREPARE one AS SELECT 1")
        with Clock() as clock:
            for _ in range(count):
                cur.execute("EXECUTE one")
                cur.fetchone()
    return clock.wall / count


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("scale", nargs="?", type=int, default=100)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--queries", type=int, default=20000)
    args = parser.parse_args()

    net = network.generate(args.scale)
    rows = len(net.device_types) + len(net.devices) + len(net.ports) + len(net.links)
    names = [d[1] for d in random.Random(1208).choices(net.devices, k=args.queries)]
    print(f"S={args.scale}: {len(net.devices)} devices, {len(net.ports)} ports, {len(net.links)} links = {rows} rows; "
          f"{len(names)} row queries")
    with tempfile.TemporaryDirectory() as folder, pg_server.running(SERVER_SETTINGS) as server:
        results, meshes = {}, {}
        for backend in (Sqlite(folder), Postgresql(server)):
            results[backend.name] = run(backend, net, names, args.rounds)
            meshes[backend.name] = mesh_searches(backend)
        trip = round_trip(server)
    (lite, lite_answers), (pg, pg_answers) = results["sqlite"], results["postgresql"]
    if lite_answers != pg_answers:
        sys.exit("the two backends answer differently")
    print(f"answers identical on {len(lite_answers)} names")
    print(f"one round trip to the server (SELECT 1): {trip * 1e6:.0f} us")
    print(f"{'best of ' + str(args.rounds):22s}{'sqlite':>12s}{'postgresql':>12s}{'ratio':>8s}")
    for part, count, unit in (("insert", rows, "rows/s"), ("query", len(names), "queries/s")):
        for kind in ("wall", "cpu"):
            a, b = count / getattr(lite[part], kind), count / getattr(pg[part], kind)
            label = f"{part} {unit} ({'elapsed' if kind == 'wall' else 'cpu'})"
            print(f"{label:22s}{a:12,.0f}{b:12,.0f}{a / b:8.1f}")
    print(f"\nmesh of {mesh.MESH} (seconds)  {'sqlite':>10s}  {'postgresql':>10s}  outcome (sqlite / postgresql)")
    for name in meshes["sqlite"]:
        (a, what_a), (b, what_b) = meshes["sqlite"][name], meshes["postgresql"][name]
        outcome = what_a if what_a == what_b else f"{what_a} / {what_b}"
        print(f"{name:24s}{a:10.2f}  {b:10.2f}  {outcome}")


if __name__ == "__main__":
    main()

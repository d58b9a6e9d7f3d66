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

and, on the same server, the reference a hand-written script would be:
psycopg2 with execute_values (page size 1000) in one transaction, names
resolved in the INSERTs (INSERT ... SELECT over each page's VALUES, joined
to the tables that hold the names), into a four-table schema with its
keys (device types, devices, ports, links), and the row query as one SELECT
with its join per name, the row joined into text, timed in turn with ours
(blocks of 200 names each), so that both see the same load of the machine.

Then, once on each backend, the mesh searches of bench/mesh.py (every
search answers or is refused by name within about 10 s at the default
limits).

Then the routing tables: the network at S, written by the same batched
inserts on each backend (every link in use), gets CreateRoutingTable (no
limit) for every switch (502 at S = 500) through the module on each backend, timed from a new connection
(its first call reads the graph). The reference is igraph's BFS and Python's
sqlite3 storing the same rows into a table keyed as ours, in one transaction
(bench/paths.py igraph_stored; the next hops it derives in Python are shown
apart, not counted). All three must store the same rows (count and
checksum). Beside them, what the PostgreSQL server takes for the rows alone
(psycopg2's COPY, a transaction per switch, into a table keyed as ours and
into one without index). Then one DeleteFunctionalDevice of a device that is
a destination in every table, on each backend, beside a plain scan of the
table by destination on SQLite.

The best round counts. The server runs with the settings a production
server would have (fsync on), except synchronous_commit = off: a commit does
not wait for its WAL flush, as SQLite's WAL with synchronous = NORMAL does
not wait for its fsync.

  PYTHONPATH=build/lib /usr/bin/python3 bench/backends.py [S] [--rounds R] [--queries Q] [--parts P]

P lists the sections to run, comma-separated: insert (with query), mesh,
routing (default all). The figures of the routing tables are at S = 500:
  PYTHONPATH=build/lib /usr/bin/python3 bench/backends.py 500 --parts routing
"""
import argparse
import contextlib
import io
import os
import random
import sqlite3
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
import insert_network  # noqa: E402
import mesh  # noqa: E402
import network  # noqa: E402
import paths  # noqa: E402
import pg_server  # noqa: E402
import libketralpython  # noqa: E402
from psycopg2.extras import execute_values  # noqa: E402

from insert_network import Clock  # noqa: E402

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
        self.server.admin(f"CREATE DATABASE {self.latest()}")
        return self.server.url(self.latest()), pg_server.SUPERUSER

    def latest(self):
        return f"bench{self.count}"


def prepared(url, user):
    """A connection to a fresh database with the schema, the subsystem and the link types."""
    kt = libketralpython.KETRAL(url, user, "")
    kt.DBConnexion()
    insert_network.prepare(kt)
    return kt


def query(kt, names, others=None, block=200):
    """The row queries timed; with others ({label: row function}), theirs in turn with ours, block by block,
    so that all see the same load of the machine. Answers {"query": ours, label: theirs} clocks."""
    sides = {"query": lambda name: kt.GetDeviceRow_devicename(name), **(others or {})}
    clocks = {label: Clock() for label in sides}
    for clock in clocks.values():
        clock.wall = clock.cpu = 0.0
    for at in range(0, len(names), block):
        part = names[at:at + block]
        for label, row in sides.items():
            with Clock() as clock:
                for name in part:
                    row(name)
            clocks[label].wall += clock.wall
            clocks[label].cpu += clock.cpu
    return clocks


# The four tables of the hand-written reference, with their keys.
REFERENCE_SCHEMA = """
CREATE TABLE device_type (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, name TEXT NOT NULL UNIQUE,
    nbrofinput INTEGER NOT NULL, nbrofoutput INTEGER NOT NULL, description TEXT, rgbcolor TEXT);
CREATE TABLE device (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, name TEXT NOT NULL UNIQUE,
    typeid INTEGER NOT NULL REFERENCES device_type (id), dnode INTEGER NOT NULL, promiscuous_mode INTEGER NOT NULL,
    location TEXT, responsible TEXT, comments TEXT);
CREATE INDEX device_type_idx ON device (typeid);
CREATE TABLE port (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    deviceid INTEGER NOT NULL REFERENCES device (id), port_nbr TEXT NOT NULL, port_way INTEGER NOT NULL,
    port_type TEXT NOT NULL, speed INTEGER NOT NULL, admin_status INTEGER NOT NULL, pxi_booting INTEGER NOT NULL,
    UNIQUE (deviceid, port_nbr, port_way, port_type));
CREATE TABLE link (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    portidfrom INTEGER NOT NULL UNIQUE REFERENCES port (id), portidto INTEGER NOT NULL UNIQUE REFERENCES port (id),
    lktype TEXT NOT NULL, bidirectional INTEGER NOT NULL);
"""


def reference_insert(server, net):
    """The network written by psycopg2's execute_values into the four tables, one transaction: each page of
    rows is one INSERT ... SELECT over its VALUES, names resolved to keys by joins (planned once per page,
    where a subquery per row would be planned a thousand times)."""
    name = "reference"
    server.admin(f"DROP DATABASE IF EXISTS {name}", f"CREATE DATABASE {name}")
    speed, admin, pxi = insert_network.PORT_FLAGS
    with contextlib.closing(server.connect(name)) as conn:
        with conn.cursor() as cur:
            cur.execute(REFERENCE_SCHEMA)
        conn.commit()
        with Clock() as clock, conn.cursor() as cur:
            execute_values(cur, "INSERT INTO device_type (name, nbrofinput, nbrofoutput, description, rgbcolor) "
                           "VALUES %s", [(t, nin, nout, desc or t, rgb or None)
                                         for _s, t, nin, nout, desc, rgb in net.device_types], page_size=1000)
            execute_values(cur, "INSERT INTO device (name, typeid, dnode, promiscuous_mode, location, responsible, "
                           "comments) SELECT v.name, t.id, v.dnode, v.promisc, v.loc, v.resp, v.comments "
                           "FROM (VALUES %s) AS v (name, type, dnode, promisc, loc, resp, comments) "
                           "JOIN device_type t ON t.name = v.type",
                           [(n, t, dnode, promisc, loc or None, resp or None, comments or None)
                            for _s, n, t, dnode, promisc, _sn, _hw, resp, loc, comments, _f in net.devices],
                           page_size=1000)
            execute_values(cur, "INSERT INTO port (deviceid, port_nbr, port_way, port_type, speed, admin_status, "
                           "pxi_booting) SELECT d.id, v.nbr, v.way, v.type, v.speed, v.admin, v.pxi "
                           "FROM (VALUES %s) AS v (device, nbr, way, type, speed, admin, pxi) "
                           "JOIN device d ON d.name = v.device",
                           [(dev, nbr, way, ptype, speed, admin, pxi) for dev, nbr, way, ptype in net.ports],
                           page_size=1000)
            # A link's two ports, each by its key, in a subquery per end (OFFSET 0 keeps it one: flattened into
            # the page's join, the planner hashes the fresh ports by number first, 3 s a page).
            port_id = ("CROSS JOIN LATERAL (SELECT p.id FROM device d JOIN port p ON p.deviceid = d.id "
                       "WHERE d.name = v.d{0} AND p.port_nbr = v.n{0} AND p.port_way = {1} "
                       "AND p.port_type = v.ptype OFFSET 0) AS p{0}")
            execute_values(cur, "INSERT INTO link (portidfrom, portidto, lktype, bidirectional) "
                           "SELECT pfrom.id, pto.id, v.lktype, v.bidir "
                           "FROM (VALUES %s) AS v (dfrom, nfrom, dto, nto, ptype, lktype, bidir) "
                           + port_id.format("from", 2) + " " + port_id.format("to", 1),
                           [(src, pf, dst, pt, network.PORT_TYPE, lktype, bidir)
                            for src, dst, pf, pt, lktype, bidir, _used in net.links],
                           page_size=1000)
            conn.commit()
        with conn.cursor() as cur:
            cur.execute("SELECT (SELECT COUNT(*) FROM device_type) + (SELECT COUNT(*) FROM device) "
                        "+ (SELECT COUNT(*) FROM port) + (SELECT COUNT(*) FROM link)")
            stored = cur.fetchone()[0]
    return clock, stored, name


class ReferenceRows:
    """The reference's row query: one SELECT with its join per name, the row joined into text."""
    SELECT = ("SELECT d.id, d.name, t.name, d.dnode, d.promiscuous_mode, d.location, d.responsible, d.comments "
              "FROM device d JOIN device_type t ON t.id = d.typeid WHERE d.name = $1")

    def __init__(self, server, dbname):
        self.conn = server.connect(dbname)
        self.cur = self.conn.cursor()
        self.cur.execute(f"PREPARE row_of (text) AS {self.SELECT}")

    def __call__(self, name):
        self.cur.execute("EXECUTE row_of (%s)", (name,))
        return "|".join("" if v is None else str(v) for v in self.cur.fetchone())

    def close(self):
        self.conn.close()


class SameRows(ReferenceRows):
    """What GetDeviceRow_devicename answers, read by hand from our database: the device with its type, its
    hardware and its subsystems and functions, in one SELECT."""
    SELECT = ("SELECT d.deviceid, d.devicename, d.devicetypeid, t.devicetype, d.dnode, d.promiscuous_mode, "
              "d.serialid, h.serialnb, h.hwtype, d.responsible, d.location, d.comments, d.system_list, d.function_list "
              "FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
              "LEFT JOIN hardware_device h ON h.serialid = d.serialid WHERE d.devicename = $1")


def reference(server, net, rounds):
    """The reference's inserts, best of the rounds; its database stays for the row queries."""
    best = None
    for _ in range(rounds):
        timed, stored, dbname = reference_insert(server, net)
        print(f"  {'reference':10s} insert {timed.wall:7.2f} s (cpu {timed.cpu:6.2f})  ({stored} rows)", flush=True)
        if best is None or timed.wall < best.wall:
            best = timed
    return best, dbname


def run(backend, net, names, rounds, reference_row=None):
    best = {"insert": Clock(), "query": Clock(), "reference query": Clock(), "same row by hand": Clock()}
    for clock in best.values():
        clock.wall = clock.cpu = float("inf")
    answers = None
    for _ in range(rounds):
        kt = prepared(*backend.fresh())
        timed = {"insert": insert_network.describe(kt, net)}
        same_row = SameRows(backend.server, backend.latest()) if reference_row else None
        timed.update(query(kt, names, {"reference query": reference_row, "same row by hand": same_row}
                           if reference_row else None))
        if same_row:
            same_row.close()
        answers = [kt.GetDeviceRow_devicename(name) for name in names[:200]]
        kt.DBDeconnexion()
        for part, clock in timed.items():
            best[part].wall = min(best[part].wall, clock.wall)
            best[part].cpu = min(best[part].cpu, clock.cpu)
        alongside = "".join(f"  {label} {timed[label].wall:6.2f} s (cpu {timed[label].cpu:5.2f})"
                            for label in ("reference query", "same row by hand") if label in timed)
        print(f"  {backend.name:10s} insert {timed['insert'].wall:7.2f} s (cpu {timed['insert'].cpu:6.2f})  "
              f"query {timed['query'].wall:6.2f} s (cpu {timed['query'].cpu:5.2f}){alongside}", flush=True)
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


def routing_tables(gen, folder, pg):
    """The routing-table section: answers {side: (seconds, (rows, checksum))}."""
    lite_path, lite_clock = insert_network.ours(gen, folder)
    url, user = pg.fresh()
    kt = prepared(url, user)
    pg_clock = insert_network.describe(kt, gen)
    kt.DBDeconnexion()
    print(f"  network loaded: sqlite {lite_clock.wall:.1f} s, postgresql {pg_clock.wall:.1f} s", flush=True)
    net = paths.Network(lite_path)
    names = [net.names[s] for s in net.switches]
    print(f"  CreateRoutingTable x {len(names)} switches", flush=True)
    timed = {"sqlite": paths.create_routing_tables(lite_path, "", names),
             "postgresql": paths.create_routing_tables(url, user, names)}
    with contextlib.closing(sqlite3.connect(lite_path)) as lite, \
            contextlib.closing(pg.server.connect(pg.latest())) as conn:
        stored = {"sqlite": paths.stored_rows(lite.cursor()), "postgresql": paths.stored_rows(conn.cursor())}
        # Deleting a device removes its rows as destination by a key seek per switch; a scan would read them all.
        farm = [net.ids[k] for k, t in enumerate(net.types) if t == "FARM_NODE"]
        with Clock() as scan:
            lite.execute("SELECT COUNT(*) FROM routing_table WHERE destinationid = ?", (farm[1],)).fetchone()
        copies = copy_alone(lite, conn)
    results = {side: (timed[side], stored[side]) for side in timed}
    results["reference"] = paths.igraph_stored(net, os.path.join(folder, "reference.sqlite"))
    results["delete"] = {"sqlite": delete_device(lite_path, "", farm[0]),
                         "postgresql": delete_device(url, user, farm[0]), "scan": scan.wall}
    results["copy"] = copies
    return results


def copy_alone(lite, conn):
    """What the server takes for the rows alone: psycopg2's COPY of the stored rows, a transaction per switch,
    into a table keyed as ours and into one without index. Answers {table: seconds}."""
    by_switch = {}
    for row in lite.execute("SELECT switchid, destinationid, portid, nbr_links FROM routing_table ORDER BY 1, 2, 3"):
        by_switch.setdefault(row[0], []).append("\t".join(map(str, row)))
    payloads = ["\n".join(lines) + "\n" for lines in by_switch.values()]
    times = {}
    with conn.cursor() as cur:
        for table, like in (("keyed", "INCLUDING ALL"), ("plain", "")):
            cur.execute(f"CREATE TABLE copy_{table} (LIKE routing_table {like})")
            with Clock() as clock:
                for payload in payloads:
                    cur.execute("BEGIN")
                    cur.copy_expert(f"COPY copy_{table} FROM STDIN", io.StringIO(payload))
                    cur.execute("COMMIT")
            times[table] = clock.wall
    return times


def delete_device(database, user, deviceid):
    """Seconds of DeleteFunctionalDevice on a new connection."""
    kt = libketralpython.KETRAL(database, user, "")
    kt.DBConnexion()
    with Clock() as clock:
        kt.DeleteFunctionalDevice(deviceid)
    kt.DBDeconnexion()
    return clock.wall


def print_routing(results):
    delete, copies = results.pop("delete"), results.pop("copy")
    (lite, rows), (pg, _), (parts, _) = results["sqlite"], results["postgresql"], results["reference"]
    print(f"\nrouting tables: {rows[0]:,} rows stored, the same on every side "
          f"(count and checksum): {len({r for _t, r in results.values()}) == 1}")
    ref = paths.reference_seconds(parts)
    print(f"  ours sqlite                   {lite:8.2f} s")
    print(f"  ours postgresql               {pg:8.2f} s")
    print(f"  igraph + sqlite3 (reference)  {ref:8.2f} s  (BFS {parts['bfs']:.2f} s, storing {parts['store']:.2f} s; "
          f"its next hops in Python {parts['python']:.2f} s more)")
    print(f"  reference / ours sqlite       {ref / lite:8.2f}  (ours is faster above 1)")
    print(f"  ours postgresql / sqlite      {pg / lite:8.2f}")
    print(f"  the rows alone on postgresql (psycopg2 COPY, a transaction per switch): {copies['keyed']:.2f} s into "
          f"a table keyed as ours, {copies['plain']:.2f} s into one without index")
    print(f"  then DeleteFunctionalDevice of a farm node (a destination in every table): sqlite "
          f"{delete['sqlite'] * 1000:.1f} ms, postgresql {delete['postgresql'] * 1000:.1f} ms; a scan of the table "
          f"by destination (sqlite) {delete['scan'] * 1000:.0f} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("scale", nargs="?", type=int, default=100)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--queries", type=int, default=20000)
    parser.add_argument("--parts", default="insert,mesh,routing")
    args = parser.parse_args()
    parts = set(args.parts.split(","))

    net = network.generate(args.scale)
    rows = len(net.device_types) + len(net.devices) + len(net.ports) + len(net.links)
    names = [d[1] for d in random.Random(1208).choices(net.devices, k=args.queries)]
    print(f"S={args.scale}: {len(net.devices)} devices, {len(net.ports)} ports, {len(net.links)} links = {rows} rows; "
          f"{len(names)} row queries")
    with tempfile.TemporaryDirectory() as folder, pg_server.running(SERVER_SETTINGS) as server:
        backends = (Sqlite(folder), Postgresql(server))
        results = None
        if "insert" in parts:
            ref_insert, ref_db = reference(server, net, args.rounds)
            reference_row = ReferenceRows(server, ref_db)
            results = {b.name: run(b, net, names, args.rounds, reference_row if b.name == "postgresql" else None)
                       for b in backends}
            results["reference"] = ref_insert
            reference_row.close()
        meshes = {b.name: mesh_searches(b) for b in backends} if "mesh" in parts else None
        routing = routing_tables(net, folder, backends[1]) if "routing" in parts else None
        trip = round_trip(server)
    print(f"one round trip to the server (SELECT 1): {trip * 1e6:.0f} us")
    if results:
        print_inserts(results, rows, len(names), args.rounds)
    if meshes:
        print_meshes(meshes)
    if routing:
        print_routing(routing)


def print_inserts(results, rows, queries, rounds):
    (lite, lite_answers), (pg, pg_answers) = results["sqlite"], results["postgresql"]
    ref = {"insert": results["reference"], "query": pg["reference query"]}
    if lite_answers != pg_answers:
        sys.exit("the two backends answer differently")
    print(f"answers identical on {len(lite_answers)} names")
    print(f"{'best of ' + str(rounds):22s}{'sqlite':>12s}{'postgresql':>12s}{'reference':>12s}{'pg/ref':>8s}")
    for part, count, unit in (("insert", rows, "rows/s"), ("query", queries, "queries/s")):
        for kind in ("wall", "cpu"):
            a, b, c = (count / getattr(side[part], kind) for side in (lite, pg, ref))
            label = f"{part} {unit} ({'elapsed' if kind == 'wall' else 'cpu'})"
            print(f"{label:22s}{a:12,.0f}{b:12,.0f}{c:12,.0f}{b / c:8.2f}")
    for kind in ("wall", "cpu"):
        hand = queries / getattr(pg["same row by hand"], kind)
        ours = queries / getattr(pg["query"], kind)
        label = f"query, our row by hand ({'elapsed' if kind == 'wall' else 'cpu'})"
        print(f"{label:46s}{ours:12,.0f}{hand:12,.0f}{ours / hand:8.2f}")


def print_meshes(meshes):
    print(f"\nmesh of {mesh.MESH} (seconds)  {'sqlite':>10s}  {'postgresql':>10s}  outcome (sqlite / postgresql)")
    for name in meshes["sqlite"]:
        (a, what_a), (b, what_b) = meshes["sqlite"][name], meshes["postgresql"][name]
        outcome = what_a if what_a == what_b else f"{what_a} / {what_b}"
        print(f"{name:24s}{a:10.2f}  {b:10.2f}  {outcome}")

if __name__ == "__main__":
    main()

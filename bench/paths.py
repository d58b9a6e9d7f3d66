"""Paths and routing tables on the benchmark network, beside python3-igraph
and python3-networkx computing the same answers, in one run.

The network of bench/network.py is written through the module's batched
inserts (bench/insert_network.py), and the links out of use are marked with
UpdateMultipleLkUsedLinks. Then, each side by side with its references:

1. routing tables of every switch in memory: ours (bench/graph_bench.cpp,
   the graph code CreateRoutingTable runs) against igraph (BFS distances from
   every switch, next hops derived in Python) and networkx (the same with its
   BFS); entries, first hops and a checksum of (port, links) must agree;
2. the same tables computed and stored: CreateRoutingTable for every switch
   through the module (one transaction per switch), against igraph + Python
   sqlite3 writing the same rows into a table keyed as ours, in one
   transaction (igraph_stored, also the reference of bench/backends.py);
3. every path from one readout board to the ends of the network:
   GetAllPathsPerDevice through the module on a warm cache, against
   networkx all_simple_paths and igraph get_all_simple_paths;
4. GetConnectivityBetweenDevices for a board and a farm node through the
   module on a warm cache, against networkx all_simple_paths.

Paths are sequences of links: two parallel links give two paths, as in
networkx on a multigraph. Times are the best of ROUNDS.

    PYTHONPATH=build/lib /usr/bin/python3 bench/paths.py [S] [ROUNDS] [BUILD_DIR] [DATABASE] [PARTS]

DATABASE keeps the written network for the next run (written when missing);
PARTS chooses what runs (default 1234).
"""
import contextlib
import ctypes
import json
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import insert_network  # noqa: E402
from insert_network import best_of  # noqa: E402
import network  # noqa: E402

import igraph  # noqa: E402
import networkx as nx  # noqa: E402

import libketralpython  # noqa: E402

SWITCH_TYPES = ("AGG_SWITCH", "CORE_SWITCH")


# ---- the database ---------------------------------------------------------------------

def build_database(net, folder):
    path, clock = insert_network.ours(net, folder)
    elapsed = getattr(clock, "wall", clock)
    kt = libketralpython.KETRAL(path, "", "")
    kt.DBConnexion()
    unused = [(src, dst, pf, network.PORT_TYPE, pt, network.PORT_TYPE, 0)
              for src, dst, pf, pt, _t, _b, used in net.links if not used]
    insert_network.batch(kt.UpdateMultipleLkUsedLinks, unused)
    kt.DBDeconnexion()
    with contextlib.closing(sqlite3.connect(path)) as conn:
        conn.execute("PRAGMA wal_checkpoint(TRUNCATE)")
    return path, elapsed, len(unused)


class Network:
    """The links of the database as both references take them."""

    def __init__(self, path):
        with contextlib.closing(sqlite3.connect(path)) as conn:
            devices = conn.execute("SELECT d.deviceid, d.devicename, t.devicetype FROM functional_device d "
                                   "JOIN device_type t ON t.devicetypeid = d.devicetypeid ORDER BY d.deviceid").fetchall()
            links = conn.execute("SELECT l.linkid, pf.deviceid, pt.deviceid, l.portidfrom, l.portidto, l.bidirectional "
                                 "FROM macro_link l JOIN port pf ON pf.portid = l.portidfrom "
                                 "JOIN port pt ON pt.portid = l.portidto WHERE l.lkused = 1 ORDER BY l.linkid").fetchall()
        self.index = {dev_id: k for k, (dev_id, _n, _t) in enumerate(devices)}
        self.ids = [dev_id for dev_id, _n, _t in devices]
        self.names = [name for _i, name, _t in devices]
        self.types = [dtype for _i, _n, dtype in devices]
        # Arcs: (from, to, port the source leaves by, link id); a bidirectional link both ways.
        self.arcs = []
        for linkid, dfrom, dto, pfrom, pto, bidir in links:
            a, b = self.index[dfrom], self.index[dto]
            self.arcs.append((a, b, pfrom, linkid))
            if bidir:
                self.arcs.append((b, a, pto, linkid))
        self.out = [[] for _ in devices]
        for a, b, port, _l in self.arcs:
            self.out[a].append((port, b))
        self.switches = [k for k, t in enumerate(self.types) if t in SWITCH_TYPES]

    def igraph(self):
        return igraph.Graph(n=len(self.ids), edges=[(a, b) for a, b, _p, _l in self.arcs], directed=True)

    def networkx(self):
        g = nx.MultiDiGraph()
        g.add_nodes_from(range(len(self.ids)))
        g.add_edges_from((a, b) for a, b, _p, _l in self.arcs)
        return g


# ---- routing tables -----------------------------------------------------------------------

def next_hops(net, source, dist_of):
    """[(destination, links, [ports])] of `source`, from dist_of(node) -> distances by node (or None for a
    node nothing leaves, which reaches only itself)."""
    d_source = dist_of(source)
    first = [(port, v, dist_of(v)) for port, v in net.out[source] if v != source]
    table = []
    for dest, d in enumerate(d_source):
        if dest == source or d is None or d == float("inf"):
            continue
        ports = sorted({port for port, v, dv in first
                        if (dest == v if dv is None else dv[dest] + 1 == d)})
        table.append((dest, d, ports))
    return table


def summary(net, tables):
    entries = sum(len(t) for t in tables)
    hops = sum(len(ports) for t in tables for _d, _n, ports in t)
    checksum = sum(port * n for t in tables for _d, n, ports in t for port in ports)
    return {"entries": entries, "hops": hops, "checksum": checksum}


def igraph_routing(net, g):
    """Distances from every switch and every first-hop node that leads on (one igraph call), then the
    next hops in Python. Answers (bfs seconds, tables)."""
    sources = sorted(set(net.switches) | {v for s in net.switches for _p, v in net.out[s] if net.out[v]})
    start = time.perf_counter()
    rows = g.distances(source=sources, mode="out")
    bfs = time.perf_counter() - start
    row_of = dict(zip(sources, rows))
    tables = [next_hops(net, s, lambda n: row_of.get(n)) for s in net.switches]
    return bfs, tables


def networkx_routing(net, g):
    sources = sorted(set(net.switches) | {v for s in net.switches for _p, v in net.out[s] if net.out[v]})
    n = len(net.ids)
    row_of = {}
    for s in sources:
        row = [float("inf")] * n
        for node, d in nx.single_source_shortest_path_length(g, s).items():
            row[node] = d
        row_of[s] = row
    return [next_hops(net, s, lambda v: row_of.get(v)) for s in net.switches]


def routing_in_memory(net, path, rounds, build_dir):
    print("\n1. Routing tables of every switch, in memory")
    out = subprocess.run([os.path.join(build_dir, "graph_bench"), path, str(rounds), *SWITCH_TYPES],
                         check=True, capture_output=True, text=True).stdout
    ours = json.loads(out)
    g = net.igraph()
    ig_walk, _ = best_of(rounds, lambda: [g.bfs(s, mode="out") for s in net.switches])
    ig_total, (ig_bfs, ig_tables) = best_of(rounds, lambda: igraph_routing(net, g))
    ig = summary(net, ig_tables)
    gx = net.networkx()
    nx_total, nx_tables = best_of(1, lambda: networkx_routing(net, gx))
    nxs = summary(net, nx_tables)
    print(f"   {len(net.switches)} switches: {ours['entries']:,} entries (switch, destination), "
          f"{ours['hops']:,} first hops")
    print(f"   ours      {ours['routing_s']:8.3f} s  (graph loaded from the database in {ours['load_s']:.3f} s)")
    print(f"   igraph    {ig_walk:8.3f} s  a BFS from every switch (Graph.bfs: the reached nodes only)")
    print(f"   igraph    {ig_bfs:8.3f} s  BFS distances from every switch (Graph.distances); {ig_total:.3f} s with "
          f"the next hops in Python")
    print(f"   networkx  {nx_total:8.3f} s  BFS and next hops")
    for name, s in (("igraph", ig), ("networkx", nxs)):
        same = all(s[k] == ours[k] for k in ("entries", "hops", "checksum"))
        print(f"   {name} answers the same tables: {same} ({s['entries']:,} entries, {s['hops']:,} hops)")
    print(f"   ratio: {ig_walk / ours['routing_s']:.1f}x faster than igraph's BFS walks alone, "
          f"{ig_bfs / ours['routing_s']:.1f}x than its distances, "
          f"{ig_total / ours['routing_s']:.1f}x than igraph with next hops, "
          f"{nx_total / ours['routing_s']:.0f}x than networkx")
    return ig_tables


# The count and a checksum of stored routing rows, from a DB-API cursor: table, switch, destination, port, links.
ROWS_CHECK = "SELECT COUNT(*), SUM({1} * 7 + {2} * 3 + {3} * {4}) FROM {0}"
OURS = ("routing_table", "switchid", "destinationid", "portid", "nbr_links")
REFERENCE = ("routing", "switch", "destination", "port", "links")


def stored_rows(cursor, columns=OURS):
    cursor.execute(ROWS_CHECK.format(*columns))
    count, checksum = cursor.fetchone()
    return count, int(checksum or 0)


def igraph_stored(net, path):
    """The reference for stored routing tables: igraph's BFS and the next hops (igraph_routing), stored by
    Python's sqlite3 into a new file at `path`, in a table (switch, destination, port, links) keyed as ours
    (PRIMARY KEY (switch, destination, port) WITHOUT ROWID), with executemany in one transaction for all
    switches, with our pragmas (WAL, synchronous = NORMAL). Answers ({"bfs": igraph's BFS distances,
    "python": the graph, next hops and rows made in Python, "store": sqlite3 storing the rows} in seconds,
    (rows, checksum))."""
    with contextlib.closing(sqlite3.connect(path, isolation_level=None)) as conn:
        conn.execute("PRAGMA journal_mode = WAL")
        conn.execute("PRAGMA synchronous = NORMAL")
        conn.execute("CREATE TABLE routing (switch INTEGER NOT NULL, destination INTEGER NOT NULL, "
                     "port INTEGER NOT NULL, links INTEGER NOT NULL, "
                     "PRIMARY KEY (switch, destination, port)) WITHOUT ROWID")
        start = time.perf_counter()
        bfs, tables = igraph_routing(net, net.igraph())
        rows = [(net.ids[s], net.ids[d], port, n)
                for s, table in zip(net.switches, tables) for d, n, ports in table for port in ports]
        computed = time.perf_counter() - start
        start = time.perf_counter()
        conn.execute("BEGIN IMMEDIATE")
        conn.executemany("INSERT INTO routing (switch, destination, port, links) VALUES (?, ?, ?, ?)", rows)
        conn.execute("COMMIT")
        times = {"bfs": bfs, "python": computed - bfs, "store": time.perf_counter() - start}
        return times, stored_rows(conn.cursor(), REFERENCE)


def reference_seconds(times):
    """The reference proper, of igraph_stored's times: igraph's BFS and the storing. The next hops it derives in
    Python come on top and are shown apart."""
    return times["bfs"] + times["store"]


def create_routing_tables(database, user, names):
    """CreateRoutingTable (no limit) for each of `names` through the module, on a new connection (its first call
    reads the graph). Answers the seconds."""
    kt = libketralpython.KETRAL(database, user, "")
    kt.DBConnexion()
    start = time.perf_counter()
    for name in names:
        kt.CreateRoutingTable(name, 0)
    elapsed = time.perf_counter() - start
    kt.DBDeconnexion()
    return elapsed


def routing_stored(net, path, folder):
    print("\n2. Routing tables of every switch, computed and stored")
    ours_path = os.path.join(folder, "ours_rt.sqlite")
    shutil.copy(path, ours_path)
    names = [net.names[s] for s in net.switches]
    ours = create_routing_tables(ours_path, "", names)
    ref_times, ref_rows = igraph_stored(net, os.path.join(folder, "ref_rt.sqlite"))
    ref = reference_seconds(ref_times)
    with contextlib.closing(sqlite3.connect(ours_path)) as conn:
        ours_rows = stored_rows(conn.cursor())
    print(f"   {ours_rows[0]:,} rows stored (one per switch, destination and port)")
    print(f"   ours (CreateRoutingTable x {len(names)})  {ours:8.3f} s")
    print(f"   igraph + sqlite3                  {ref:8.3f} s  (BFS {ref_times['bfs']:.3f} s, storing "
          f"{ref_times['store']:.3f} s; its next hops in Python {ref_times['python']:.3f} s more)")
    print(f"   same rows: {ours_rows == ref_rows}; ratio {ref / ours:.2f}x")


# ---- paths ----------------------------------------------------------------------------------

def all_paths(net, kt, rounds, board):
    print(f"\n3. Every path from readout board {net.names[board]} to the ends of the network")
    name = net.names[board]
    start = time.perf_counter()
    rows = kt.GetAllPathsPerDevice(name, "", 0, 0)
    cold = time.perf_counter() - start
    ours, rows = best_of(rounds, lambda: kt.GetAllPathsPerDevice(name, "", 0, 0))
    ours_paths = int(rows[len(rows) - 1].split("|")[0]) if len(rows) else 0
    library, lib_rows = best_of(rounds, lambda: library_all_paths(name, len(rows)))
    assert lib_rows == len(rows)
    gx, g = net.networkx(), net.igraph()
    ends = [v for v in range(len(net.ids)) if not net.out[v]]
    nx_time, nx_paths = best_of(1, lambda: sum(1 for _ in nx.all_simple_paths(gx, board, ends)))
    ig_time, ig_list = best_of(rounds, lambda: g.get_all_simple_paths(board, to=ends, mode="out"))
    print(f"   ours      {ours:8.3f} s  {ours_paths:,} paths, {len(rows):,} rows, through the module (first call, "
          f"building the graph: {cold:.3f} s)")
    print(f"   ours      {library:8.3f} s  the library call alone, buffers large enough (ctypes)")
    print(f"   networkx  {nx_time:8.3f} s  {nx_paths:,} paths")
    print(f"   igraph    {ig_time:8.3f} s  {len(ig_list):,} paths of devices (parallel links merged: "
          f"{ours_paths / max(len(ig_list), 1):.0f}x fewer)")
    print(f"   ratio: {nx_time / ours:.0f}x faster than networkx through the module, {nx_time / library:.0f}x for the "
          f"library call; igraph takes {ig_time / ours:.2f}x our module time, {ig_time / library:.2f}x our library "
          f"time, for {len(ig_list) / max(ours_paths, 1):.3f}x the paths")


def library_all_paths(name, capacity):
    """GetAllPathsPerDevice called straight in the library the module loaded (same connection)."""
    lib = ctypes.CDLL(os.path.join(os.path.dirname(libketralpython.__file__), "libketral.so"))
    n = ctypes.c_int(capacity)
    arrays = [(ctypes.c_int * capacity)() for _ in range(3)]
    error = ctypes.create_string_buffer(1000)
    if lib.GetAllPathsPerDevice(name.encode(), b"", ctypes.byref(n), *arrays, 0, 0, error) != 0:
        raise RuntimeError(error.value.decode())
    return n.value

def between(net, kt, rounds, board, farm):
    a, b = net.names[board], net.names[farm]
    print(f"\n4. Every path between {a} and {b}")
    kt.GetConnectivityBetweenDevices(a, b, 0, 0)  # warm
    ours, rows = best_of(rounds, lambda: kt.GetConnectivityBetweenDevices(a, b, 0, 0))
    ours_paths = len({r.split("|", 1)[0] for r in rows})
    gx = net.networkx()
    nx_time, nx_paths = best_of(rounds, lambda: sum(1 for _ in nx.all_simple_paths(gx, board, b_index(net, b))))
    print(f"   ours      {ours * 1000:8.3f} ms  {ours_paths} paths, {len(rows)} rows")
    print(f"   networkx  {nx_time * 1000:8.3f} ms  {nx_paths} paths")
    print(f"   ratio: {nx_time / ours:.0f}x faster than networkx")


def b_index(net, name):
    return net.names.index(name)


def main():
    scale = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    build_dir = sys.argv[3] if len(sys.argv) > 3 else os.path.join(os.path.dirname(__file__), "..", "build")
    kept = sys.argv[4] if len(sys.argv) > 4 and sys.argv[4] else None
    parts = sys.argv[5] if len(sys.argv) > 5 else "1234"
    gen = network.generate(scale)
    with tempfile.TemporaryDirectory() as folder:
        if kept and os.path.exists(kept):
            path, note = kept, f"read from {kept}"
        else:
            path, elapsed, unused = build_database(gen, folder)
            note = f"{unused} out of use, written through the module in {elapsed:.1f} s"
            if kept:
                shutil.copy(path, kept)
        net = Network(path)
        print(f"S={scale}: {len(gen.devices):,} devices, {len(gen.ports):,} ports, {len(gen.links):,} links ({note})")
        if "1" in parts:
            routing_in_memory(net, path, rounds, build_dir)
        if "2" in parts:
            routing_stored(net, path, folder)

        # A readout board whose links are all in use, and the first farm node reached from both cores.
        board = next(b for b in (net.index[i] for i in net.ids) if net.types[b] == "READOUT" and len(net.out[b]) == 4)
        farm = next(f for f in range(len(net.ids)) if net.types[f] == "FARM_NODE"
                    and sum(1 for a, b, _p, _l in net.arcs if b == f) == 2)
        kt = libketralpython.KETRAL(path, "", "")
        kt.DBConnexion()
        if "3" in parts:
            all_paths(net, kt, rounds, board)
        if "4" in parts:
            between(net, kt, rounds, board, farm)
        kt.DBDeconnexion()


if __name__ == "__main__":
    main()

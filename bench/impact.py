"""Failure impact on the benchmark network (bench/network.py), against the
targets: one impact query <= 0.1 s, the whole-network weak points <= 1 s.

The network's devices and links go to bench/impact_bench.cpp as a text
file, in the order the library loads them (devices and links by id, so node
k is the k-th device and link ids follow the links); the links out of use
are left out of the graph as the library leaves them. impact_bench times
the graph code: setup (end devices, who reaches one), an impact query for
every 97th device and every 97th link, and the weak points; the best of
ROUNDS each.

Then through the module, as a script sees it: the network written through
the module's batched inserts (as bench/paths.py writes it), and on a warm
connectivity cache GetFailureImpactOfDevice of a core switch and of an
aggregation switch, GetFailureImpactOfLink of an uplink, and GetWeakPoints.

    PYTHONPATH=build/lib /usr/bin/python3 bench/impact.py [S] [ROUNDS] [BUILD_DIR] [DATABASE]

DATABASE keeps the written network for the next run (written when missing).
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import network  # noqa: E402
from insert_network import best_of  # noqa: E402

QUERY_TARGET_S, REPORT_TARGET_S = 0.1, 1.0


def through_the_module(net, path, rounds):
    import libketralpython
    kt = libketralpython.KETRAL(path, "", "")
    kt.DBConnexion()
    uplink = 1 + next(k for k, link in enumerate(net.links) if link[4] == "uplink" and link[6])
    calls = [
        ("GetFailureImpactOfDevice core00", lambda: kt.GetFailureImpactOfDevice("core00", 0, 0), QUERY_TARGET_S),
        ("GetFailureImpactOfDevice agg0000", lambda: kt.GetFailureImpactOfDevice("agg0000", 0, 0), QUERY_TARGET_S),
        (f"GetFailureImpactOfLink {uplink} (uplink)", lambda: kt.GetFailureImpactOfLink(uplink, 0, 0), QUERY_TARGET_S),
        ("GetWeakPoints", lambda: kt.GetWeakPoints(0, 0), REPORT_TARGET_S),
    ]
    kt.GetWeakPoints(0, 0)  # the connectivity cache loaded before the clock starts
    print(f"\nthrough the module, warm cache, best of {rounds}")
    for label, call, target in calls:
        seconds, answer = best_of(rounds, call)
        cut = sum(1 for item in answer if item.endswith("|cut_off"))
        print(f"{label:40s}{seconds:8.4f}  target {target:.2f} {'met' if seconds <= target else 'MISSED'}"
              f"  {len(answer):,} items ({cut:,} cut off)")
    kt.DBDeconnexion()


def write_graph(net, path, servers=False):
    """servers: the farm and storage nodes as end devices (dnode = 1) on
    links both ways, servers dual-homed on the two cores."""
    node = {d[1]: k for k, d in enumerate(net.devices)}
    ends = set(net.farm_nodes + net.storage_nodes) if servers else set()
    with open(path, "w") as out:
        out.write(f"nodes {len(net.devices)}\n")
        for d in net.devices:
            out.write(f"end {1 if d[1] in ends else d[3]}\n")  # dnode
        for k, (src, dst, _pf, _pt, _t, bidir, used) in enumerate(net.links, start=1):
            out.write(f"link {k} {node[src]} {node[dst]} {1 if dst in ends else bidir} {used}\n")


def graph_code(net, folder, build_dir, rounds, servers):
    path = os.path.join(folder, "servers.txt" if servers else "graph.txt")
    write_graph(net, path, servers)
    out = subprocess.run([os.path.join(build_dir, "impact_bench"), path, str(rounds)],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)


def main():
    scale = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    build_dir = sys.argv[3] if len(sys.argv) > 3 else os.path.join(os.path.dirname(__file__), "..", "build")
    net = network.generate(scale)
    with tempfile.TemporaryDirectory() as folder:
        results = [graph_code(net, folder, build_dir, rounds, servers) for servers in (False, True)]
        database = sys.argv[4] if len(sys.argv) > 4 else None
        if database and os.path.exists(database):
            written = database
        else:
            import paths  # the benchmark network written through the module, links out of use marked
            written, _elapsed, _unused = paths.build_database(net, folder)
            if database:
                shutil.copy(written, database)
        report(results, scale, rounds)
        through_the_module(net, written, rounds)


def report(results, scale, rounds):
    plain, servers = results
    print(f"S={scale}: {plain['nodes']:,} devices, {plain['links']:,} links. The graph code, best of {rounds}; "
          "'servers': the farm and storage nodes as dual-homed end devices")
    print(f"{'':32s}{'network':>10s}{'servers':>10s}{'target':>10s}")
    rows = [
        ("devices reaching an end device", "reaching", None, "{:10,d}"),
        ("setup (ends, who reaches one)", "setup_s", None, "{:10.4f}"),
        (f"impact query, mean of {plain['queries']}", "query_mean_s", None, "{:10.4f}"),
        ("impact query, slowest", "query_worst_s", QUERY_TARGET_S, "{:10.4f}"),
        ("weak points, whole network", "report_s", REPORT_TARGET_S, "{:10.4f}"),
        ("weak points: devices", "weak_devices", None, "{:10,d}"),
        ("weak points: links", "weak_links", None, "{:10,d}"),
    ]
    for label, key, target, form in rows:
        line = f"{label:32s}" + form.format(plain[key]) + form.format(servers[key])
        if target is not None:
            met = max(plain[key], servers[key]) <= target
            line += f"{target:10.2f}  {'met' if met else 'MISSED'}"
        print(line)


if __name__ == "__main__":
    main()

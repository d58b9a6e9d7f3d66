"""Path searches on a mesh, where enumerating paths explodes: each search
must answer, or be refused by name, within about 10 s at the default limits
(KETRAL_PATH_STEP_LIMIT, KETRAL_PATH_ROW_LIMIT).

The mesh: 16 devices m00..m15, every pair linked both ways. Searches:

  behind the start   m00 -> gw -> dest is the only way to dest; the mesh can
                     reach dest only back through m00, so a search that
                     skips devices that cannot reach the destination never
                     enters it: 2 rows
  through the mesh   m00 to end, end hanging off m15 only: every device
                     reaches it, so nothing is skipped; refused by a limit
  to the ends        GetAllPathsPerDevice from m00: every Hamiltonian path
                     of the mesh; refused by a limit
  steps alone        "through the mesh" with the row limit at its ceiling
                     (2^31 - 1): the step limit alone ends it

bench/backends.py runs these on both backends, side by side; alone:

    PYTHONPATH=build/lib /usr/bin/python3 bench/mesh.py [DATABASE]
"""
import os
import resource
import sys
import tempfile
import time

import libketralpython

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from insert_network import batch, int_vec  # noqa: E402

MESH = 16
DATA = "data"


def describe(kt):
    """Writes the mesh and its two spurs through the module."""
    mesh = [f"m{i:02d}" for i in range(MESH)]
    flags = int_vec([1000, 1, 0])
    kt.InsertSubsystem("MESH", "")
    batch(kt.InsertMultipleDeviceTypes, [("MESH", "NODE", MESH, MESH, "", "")])
    batch(kt.InsertMultipleFunctionalDevices,
          [("MESH", name, "NODE", 0, 0, "", "", "", "", "", "") for name in mesh + ["gw", "dest", "end"]])
    ports, links = [], []

    def link(a, b, bidirectional):
        ports.append((a, f"to_{b}", 2, DATA, "", "", "", "", "", flags, ""))
        ports.append((b, f"from_{a}", 1, DATA, "", "", "", "", "", flags, ""))
        links.append((a, b, f"to_{b}", f"from_{a}", DATA, DATA, DATA, bidirectional, ""))

    for i, a in enumerate(mesh):
        for b in mesh[i + 1:]:
            link(a, b, 1)
    link("m00", "gw", 0)
    link("gw", "dest", 0)
    link(mesh[-1], "end", 0)
    batch(kt.InsertMultipleSimpleLinkTypes, [(DATA,)])
    batch(kt.InsertMultiplePorts, ports)
    batch(kt.InsertMultipleMacroLinks, links)


def rows_unbounded(search):
    """The search with KETRAL_PATH_ROW_LIMIT at its ceiling."""
    def run(kt):
        kept = os.environ.get("KETRAL_PATH_ROW_LIMIT")
        os.environ["KETRAL_PATH_ROW_LIMIT"] = str(2**31 - 1)
        try:
            return search(kt)
        finally:
            if kept is None:
                del os.environ["KETRAL_PATH_ROW_LIMIT"]
            else:
                os.environ["KETRAL_PATH_ROW_LIMIT"] = kept
    return run


def through_the_mesh(kt):
    return kt.GetConnectivityBetweenDevices("m00", "end", 0, 0)


SEARCHES = [
    ("behind the start", lambda kt: kt.GetConnectivityBetweenDevices("m00", "dest", 0, 0)),
    ("through the mesh", through_the_mesh),
    ("to the ends", lambda kt: kt.GetAllPathsPerDevice("m00", "", 0, 0)),
    ("steps alone", rows_unbounded(through_the_mesh)),
]


def peak_rss_mb():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def run(kt):
    """{search: (seconds, outcome)} on a connected KETRAL with a fresh schema."""
    describe(kt)
    kt.GetConnectivityBetweenDevices("m00", "gw", 0, 0)  # the graph loaded before the clock starts
    results = {}
    for name, search in SEARCHES:
        start = time.perf_counter()
        try:
            outcome = f"{len(search(kt))} rows"
        except RuntimeError as e:
            text = str(e)
            outcome = "refused: " + next((v for v in ("KETRAL_PATH_STEP_LIMIT", "KETRAL_PATH_ROW_LIMIT",
                                                      "KETRAL_ANSWER_BYTE_LIMIT") if v in text), text)
        results[name] = (time.perf_counter() - start, outcome)
    return results


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(folder, "mesh.sqlite")
        kt = libketralpython.KETRAL(path, "", "")
        kt.DBConnexion()
        kt.DropTableSchema()
        kt.CreateTableSchema()
        for name, (seconds, outcome) in run(kt).items():
            print(f"{name:20s}{seconds:8.2f} s  {outcome}")
        kt.DBDeconnexion()
    print(f"peak memory of the process: {peak_rss_mb():.0f} MB")


if __name__ == "__main__":
    main()

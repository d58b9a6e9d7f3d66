"""Path searches on a mesh of 12 devices (every pair linked both ways),
through the module: a destination the mesh reaches only back through the
start costs no search of the mesh; where every device leads on, the default
limits refuse the search by name."""
import pytest

import libketralpython

from calls import batch, int_vec  # noqa: E402

MESH = [f"m{i:02d}" for i in range(12)]


@pytest.fixture
def kt(db, monkeypatch):
    for name in ("KETRAL_PATH_ROW_LIMIT", "KETRAL_PATH_STEP_LIMIT"):
        monkeypatch.delenv(name, raising=False)
    db.CreateTableSchema()
    db.InsertSubsystem("MESH", "")
    batch(db.InsertMultipleDeviceTypes, [("MESH", "NODE", 20, 20, "", "")])
    batch(db.InsertMultipleFunctionalDevices,
          [("MESH", name, "NODE", 0, 0, "", "", "", "", "", "") for name in MESH + ["gw", "dest"]])
    flags = int_vec([1000, 1, 0])
    pairs = [(a, b, 1) for i, a in enumerate(MESH) for b in MESH[i + 1:]] + [("m00", "gw", 0), ("gw", "dest", 0)]
    batch(db.InsertMultiplePorts,
          [p for a, b, _ in pairs for p in ((a, f"to_{b}", 2, "data", "", "", "", "", "", flags, ""),
                                            (b, f"from_{a}", 1, "data", "", "", "", "", "", flags, ""))])
    batch(db.InsertMultipleSimpleLinkTypes, [("data",)])
    batch(db.InsertMultipleMacroLinks,
          [(a, b, f"to_{b}", f"from_{a}", "data", "data", "data", bidir, "") for a, b, bidir in pairs])
    return db


def test_a_mesh_behind_the_start_is_never_searched(kt, monkeypatch):
    # The 12 links of m00 and the one of gw looked at; the mesh's ~10^8 paths are never entered.
    monkeypatch.setenv("KETRAL_PATH_STEP_LIMIT", "20")
    rows = kt.GetConnectivityBetweenDevices("m00", "dest", 0, 0)
    assert [r.split("|")[2] + ">" + r.split("|")[5] for r in rows] == ["m00>gw", "gw>dest"]


@pytest.mark.parametrize("search,limit", [
    # Every Hamiltonian path of the mesh: 11! paths of 11 links.
    (lambda kt: kt.GetAllPathsPerDevice("m01", "", 0, 0),
     "GetAllPathsPerDevice: the paths from 'm01' take more than 10000000 rows (links over all paths), "
     "the limit KETRAL_PATH_ROW_LIMIT; narrow the query"),
    (lambda kt: kt.GetConnectivityBetweenDevices("m01", "m11", 0, 0),
     "GetConnectivityBetweenDevices: the paths from 'm01' to 'm11' take more than 10000000 rows"),
])
def test_a_search_every_device_leads_on_from_is_refused_at_the_default_limits(kt, search, limit):
    with pytest.raises(RuntimeError, match="^" + limit.replace("(", "\\(").replace(")", "\\)")):
        search(kt)


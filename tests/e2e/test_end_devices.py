"""End devices (dnode = 1) through the module: a path may end at one but
never passes through it. The network: a server linked both ways to two core
switches that are not linked to each other, and a board on each core (each
on one bidirectional link)."""
import pytest

import libketralpython

from calls import batch, int_vec  # noqa: E402

IN, OUT = 1, 2
DEVICES = ["core1", "core2", "srv", "b1", "b2"]
LINKS = [  # from, to (both ways)
    ("b1", "core1"), ("core1", "srv"), ("srv", "core2"), ("core2", "b2"),
]


def install(kt, server_dnode):
    kt.InsertSubsystem("DAQ", "")
    batch(kt.InsertMultipleDeviceTypes, [("DAQ", "NODE", 4, 4, "", "")])
    batch(kt.InsertMultipleFunctionalDevices,
          [("DAQ", name, "NODE", server_dnode if name == "srv" else 0, 0, "", "", "", "", "", "") for name in DEVICES])
    flags = int_vec([1000, 1, 0])
    batch(kt.InsertMultiplePorts,
          [p for a, b in LINKS for p in ((a, f"to_{b}", OUT, "data", "", "", "", "", "", flags, ""),
                                        (b, f"from_{a}", IN, "data", "", "", "", "", "", flags, ""))])
    batch(kt.InsertMultipleSimpleLinkTypes, [("data",)])
    batch(kt.InsertMultipleMacroLinks,
          [(a, b, f"to_{b}", f"from_{a}", "data", "data", "data", 1, "") for a, b in LINKS])


def hops(rows):
    """Each path as 'a>b>c', from connectivity rows."""
    paths = {}
    for row in rows:
        f = row.split("|")
        paths.setdefault(int(f[0]), [f[2]]).append(f[5])
    return [">".join(p) for _, p in sorted(paths.items())]


# What each query answers without and with the server marked as an end device.
CASES = [
    ("paths between the boards", lambda kt: hops(kt.GetConnectivityBetweenDevices("b1", "b2", 0, 0)),
     ["b1>core1>srv>core2>b2"], []),
    ("paths from a board to the ends", lambda kt: len(kt.GetAllPathsPerDevice("b1", "", 0, 0)),
     4, 2),  # rows: b1>core1>srv>core2>b2, or b1>core1>srv
    ("ends behind the core's port facing the server",
     lambda kt: list(kt.GetDestinationNamePerDevPort("core1", "to_srv", "data")), ["b2"], ["srv"]),
    ("connections out of a core to the boards",
     lambda kt: list(kt.GetConnOutBetweenDeviceDeviceType("core1", "b", 0, 0, 0)),
     ["b1|from_b1:in:data|1", "b2|to_srv:out:data|3"], ["b1|from_b1:in:data|1"]),
    ("paths from the server itself", lambda kt: hops(kt.GetConnectivityBetweenDevices("srv", "b1", 0, 0)),
     ["srv>core1>b1"], ["srv>core1>b1"]),
]


@pytest.mark.parametrize("what,query,plain,marked", CASES, ids=[c[0] for c in CASES])
@pytest.mark.parametrize("server_dnode", [0, 1])
def test_a_dual_homed_server_is_an_end_only_when_marked(db, what, query, plain, marked, server_dnode):
    db.CreateTableSchema()
    install(db, server_dnode)
    assert query(db) == (marked if server_dnode else plain)


def test_changing_the_flag_changes_the_paths_at_once(db):
    db.CreateTableSchema()
    install(db, 0)
    assert hops(db.GetConnectivityBetweenDevices("b1", "b2", 0, 0)) == ["b1>core1>srv>core2>b2"]
    # The cached graph goes with the write: no reload asked.
    db.UpdateMultipleAttributesDevices("srv", 1, 0, "", "", 1, 1)
    assert hops(db.GetConnectivityBetweenDevices("b1", "b2", 0, 0)) == []
    db.UpdateMultipleAttributesDevices("srv", 0, 0, "", "", 1, 1)
    assert hops(db.GetConnectivityBetweenDevices("b1", "b2", 0, 0)) == ["b1>core1>srv>core2>b2"]

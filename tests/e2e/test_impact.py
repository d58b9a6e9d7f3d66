"""Failure impact and weak points through the module, on the network of
test_paths.py: two boards on two switches joined by a peer link, redundant
cores, two nodes; sw2 -> core2 out of use; apart, a ring r1 -> r2 -> r3 <-> r1
with a spur r2 -> r4 (its only end). Link ids follow test_paths.LINKS."""
import pytest

import libketralpython
from test_paths import install


@pytest.fixture
def kt(db, sql):
    db.CreateTableSchema()
    install(db, sql)
    return db


@pytest.mark.parametrize("lose,expected", [
    # Either core still leads to both nodes; the devices whose shortest paths used core1 lose some.
    (lambda kt: kt.GetFailureImpactOfDevice("core1", 0, 0),
     ["ro1|degraded", "ro2|degraded", "sw1|degraded", "sw2|degraded"]),
    # The ring's only end is behind r2.
    (lambda kt: kt.GetFailureImpactOfDevice("r2", 0, 0), ["r1|cut_off", "r3|cut_off"]),
    # One of ro1's two parallel links (link 1): a way left, half the shortest paths gone.
    (lambda kt: kt.GetFailureImpactOfLink(1, 0, 0), ["ro1|degraded"]),
    # ro2's only link, by its port.
    (lambda kt: kt.GetFailureImpactOfPort("ro2", "0", 2, "data", 0, 0), ["ro2|cut_off"]),
    # sw2's uplink to core1: sw2 goes over the peer link, one link longer.
    (lambda kt: kt.GetFailureImpactOfPort("sw2", "u1", 2, "data", 0, 0), ["ro2|degraded", "sw2|degraded"]),
    # The link out of use, and a node that leads nowhere: nothing changes.
    (lambda kt: kt.GetFailureImpactOfLink(7, 0, 0), []),
    (lambda kt: kt.GetFailureImpactOfDevice("n2", 0, 0), ["core1|degraded", "core2|degraded", "ro1|degraded",
                                                          "ro2|degraded", "sw1|degraded", "sw2|degraded"]),
    # The port of n1 core1 reaches it by: core1 and everything routed through it go the long way.
    (lambda kt: kt.GetFailureImpactOfPort("n1", "a", 1, "data", 0, 1),
     ["core1|degraded", "ro1|degraded", "ro2|degraded", "sw1|degraded", "sw2|degraded"]),
], ids=["core", "ring switch", "parallel link", "single link by port", "uplink by port", "unused link", "an end device",
                                  "port of an end device"])
def test_impact_of_a_failure(kt, lose, expected):
    assert list(lose(kt)) == expected


def test_weak_points_are_every_single_point_of_failure(kt):
    assert list(kt.GetWeakPoints(0, 0)) == [
        "device|r4|3", "link|17|3",           # the ring's end and its spur
        "device|r2|2", "link|14|2",           # r1 and r3 lead on only through r2
        "device|r1|1", "device|sw1|1", "device|sw2|1",
        "link|3|1", "link|16|1",              # ro2's only link; r3's only way out
    ]


def test_a_failure_follows_the_network_as_it_changes(kt):
    assert list(kt.GetFailureImpactOfDevice("sw1", 0, 0)) == ["ro1|cut_off"]
    # A second uplink for ro1, through sw2: sw1 is no longer a weak point.
    kt.InsertMultiplePorts("ro1", "9", 2, "data", "", "", "", "", "", _flags(), "", 1, 1)
    kt.InsertMultiplePorts("sw2", "9", 1, "data", "", "", "", "", "", _flags(), "", 1, 1)
    kt.InsertMultipleMacroLinks("ro1", "sw2", "9", "9", "data", "data", "data", 0, "", 1, 1)
    assert "device|sw1|1" not in list(kt.GetWeakPoints(0, 0))


def _flags():
    vec = libketralpython.IntVec()
    vec.extend([1000, 1, 0])
    return vec


@pytest.mark.parametrize("call,message", [
    (lambda kt: kt.GetFailureImpactOfDevice("nowhere", 0, 0), "^GetFailureImpactOfDevice: no device named 'nowhere'$"),
    (lambda kt: kt.GetFailureImpactOfLink(99, 0, 0), "^GetFailureImpactOfLink: no macro link with id 99$"),
    (lambda kt: kt.GetFailureImpactOfPort("sw1", "9", 2, "data", 0, 0),
     "^GetFailureImpactOfPort: no port '9' \\(output\\) of type 'data' on 'sw1'$"),
    (lambda kt: kt.GetFailureImpactOfPort("sw1", "u1", 3, "data", 0, 0),
     "^GetFailureImpactOfPort: port_way must be 1 \\(input\\) or 2 \\(output\\), not 3$"),
    (lambda kt: kt.GetWeakPoints(2, 0), "^GetWeakPoints: reload_connectivity must be 0 or 1, not 2$"),
])
def test_refusals_name_what_is_missing(kt, call, message):
    with pytest.raises(RuntimeError, match=message):
        call(kt)

"""Paths, connectivity, routing and destination tables, and micro connectivity,
through the module on small hand-drawn networks written with the module's
inserts. Paths and tables are checked against a brute force written here,
which reads the links straight from the database."""
import collections
import json
import re

import pytest

import libketralpython

from calls import batch, int_vec  # noqa: E402


def ports(device, way, names, ptype="data"):
    flags = int_vec([1000, 1, 0])
    return [(device, str(n), way, ptype, "", "", "", "", "", flags, "") for n in names]


IN, OUT = 1, 2

# Two boards on two switches joined by a bidirectional peer link; each switch
# up to two redundant cores joined both ways; both cores down to two nodes.
# sw2 -> core2 is out of use. Apart, a ring r1 -> r2 -> r3 -> r1 whose last
# link is bidirectional, with a spur r2 -> r4.
DEVICES = [  # name, type, subsystem
    ("ro1", "BOARD", "DAQ_RO"), ("ro2", "BOARD", "DAQ_RO"),
    ("sw1", "SWITCH", "DAQ"), ("sw2", "SWITCH", "DAQ"),
    ("core1", "CORE", "DAQ"), ("core2", "CORE", "DAQ"),
    ("n1", "NODE", "FARM"), ("n2", "NODE", "FARM"),
    ("r1", "RING", "TFC"), ("r2", "RING", "TFC"), ("r3", "RING", "TFC"), ("r4", "RING", "TFC"),
]
PORTS = (ports("ro1", OUT, [0, 1]) + ports("ro2", OUT, [0])
         + ports("sw1", IN, [1, 2]) + ports("sw1", OUT, ["u1", "u2", "p"])
         + ports("sw2", IN, [1, "p"]) + ports("sw2", OUT, ["u1", "u2"])
         + ports("core1", IN, ["i1", "i2"]) + ports("core1", OUT, ["o1", "o2", "x"])
         + ports("core2", IN, ["i1", "i2", "x"]) + ports("core2", OUT, ["o1", "o2"])
         + ports("n1", IN, ["a", "b"]) + ports("n2", IN, ["a", "b"])
         + ports("r1", IN, [0], "") + ports("r1", OUT, [1], "") + ports("r2", IN, [0], "") + ports("r2", OUT, [1, 2], "")
         + ports("r3", IN, [0], "") + ports("r3", OUT, [1], "") + ports("r4", IN, [0], ""))
LINKS = [  # node_from, node_to, port_from, port_to, type_from, type_to, lktype, bidirectional, link_info
    ("ro1", "sw1", "0", "1", "data", "data", "data", 0, ""),
    ("ro1", "sw1", "1", "2", "data", "data", "data", 0, "second fibre"),
    ("ro2", "sw2", "0", "1", "data", "data", "data", 0, ""),
    ("sw1", "core1", "u1", "i1", "data", "data", "uplink", 0, ""),
    ("sw1", "core2", "u2", "i1", "data", "data", "uplink", 0, ""),
    ("sw2", "core1", "u1", "i2", "data", "data", "uplink", 0, ""),
    ("sw2", "core2", "u2", "i2", "data", "data", "uplink", 0, "spare, unplugged"),
    ("sw1", "sw2", "p", "p", "data", "data", "peer", 1, "peer|A"),
    ("core1", "core2", "x", "x", "data", "data", "core", 1, ""),
    ("core1", "n1", "o1", "a", "data", "data", "data", 0, ""),
    ("core1", "n2", "o2", "a", "data", "data", "data", 0, ""),
    ("core2", "n1", "o1", "b", "data", "data", "data", 0, ""),
    ("core2", "n2", "o2", "b", "data", "data", "data", 0, ""),
    ("r1", "r2", "1", "0", "", "", "data", 0, ""),
    ("r2", "r3", "1", "0", "", "", "data", 0, ""),
    ("r3", "r1", "1", "0", "", "", "data", 1, ""),
    ("r2", "r4", "2", "0", "", "", "data", 0, ""),
]
UNUSED = ("sw2", "u2")  # the output port whose link is out of use

# A board (sw1) with components: sw1 port 1 -> phy0 -> fpga -> pll -> sw1 port 3
# (that last link out of use), fpga <-> phy1 -> sw1 port 2.
CPNTS = [("phy0", "PHY"), ("phy1", "PHY"), ("fpga", "FPGA"), ("pll", "PLL")]
MICRO = [  # node_from, node_to, port_from, port_to, lktype, bidirectional
    ("sw1", "phy0", 1, 0, "data", 0),
    ("phy0", "fpga", 1, 0, "data", 0),
    ("fpga", "pll", 1, 0, "data", 0),
    ("pll", "sw1", 1, 3, "data", 0),
    ("fpga", "phy1", 2, 0, "data", 1),
    ("phy1", "sw1", 1, 2, "data", 0),
]


def install(kt, sql):
    for name, parent in [("DAQ", ""), ("DAQ_RO", "DAQ"), ("FARM", ""), ("TFC", "")]:
        kt.InsertSubsystem(name, parent)
    types = sorted({(t, s) for _, t, s in DEVICES})
    batch(kt.InsertMultipleDeviceTypes, [(s, t, 4, 4, "", "") for t, s in types])
    batch(kt.InsertMultipleFunctionalDevices,
          [(s, name, t, 0, 1, "", "", "", "hall", "", "") for name, t, s in DEVICES])
    batch(kt.InsertMultiplePorts, PORTS)
    batch(kt.InsertMultipleSimpleLinkTypes, [(t,) for t in ["data", "uplink", "peer", "core"]])
    batch(kt.InsertMultipleMacroLinks, LINKS)
    batch(kt.InsertMultipleBoardCpnts,
          [(name, ctype, 0, "sw1", "", "", "", "", "") for name, ctype in CPNTS])
    batch(kt.InsertMultipleMicroLinks, MICRO)
    # No insert marks a link out of use.
    sql(f"""UPDATE macro_link SET lkused = 0 WHERE portidfrom = (SELECT p.portid FROM port p
                  JOIN functional_device d ON d.deviceid = p.deviceid
                  WHERE d.devicename = '{UNUSED[0]}' AND p.port_nbr = '{UNUSED[1]}');
                  UPDATE micro_link SET lkused = 0 WHERE port_nbrto = 3""")


@pytest.fixture
def kt(db, sql):
    db.CreateTableSchema()
    install(db, sql)
    return db


# ---- brute force over the links as stored ----------------------------------------

Link = collections.namedtuple("Link", "id src dst nbr_from nbr_to type_from type_to bidir used lktype info")


def links_of(peek):
    rows = peek("""SELECT l.linkid, df.devicename, dt.devicename, pf.port_nbr, pt.port_nbr, pf.port_type,
                          pt.port_type, l.bidirectional, l.lkused, l.linktypeid, l.link_info
                   FROM macro_link l JOIN port pf ON pf.portid = l.portidfrom JOIN port pt ON pt.portid = l.portidto
                   JOIN functional_device df ON df.deviceid = pf.deviceid
                   JOIN functional_device dt ON dt.deviceid = pt.deviceid""")
    return {r[0]: Link(*r) for r in rows}


def moves(links, at):
    """(link, backward, next device) for every way out of `at`."""
    for link in links.values():
        if not link.used:
            continue
        if link.src == at:
            yield link, False, link.dst
        if link.bidir and link.dst == at:
            yield link, True, link.src


def brute_paths(links, start, stop):
    """Every simple path from `start` as a tuple of (lkid, backward); `stop(path, device, stuck)`
    says whether the path ends here (recorded) and whether to go on."""
    found = []

    def walk(path, visited):
        options = [(l, b, n) for l, b, n in moves(links, visited[-1]) if n not in visited]
        if path:
            record, go_on = stop(visited[-1], not options)
            if record:
                found.append(tuple(path))
            if not go_on:
                return
        for link, back, nxt in options:
            walk(path + [(link.id, back)], visited + [nxt])

    walk([], [start])
    return found


def to_device(target):
    return lambda at, stuck: (at == target, at != target)


def to_ends(at, stuck):
    return stuck, True


# ---- answers as paths --------------------------------------------------------------

def split_row(row, ints):
    """A row's nine fields (lkinfo last, it may hold '|'); the fields at `ints` as ints."""
    fields = row.split("|", 8)
    assert len(fields) == 9, row
    return [int(f) if k in ints else f for k, f in enumerate(fields)]


def paths_of(rows):
    """{pathid: [row, ...]} in link order; checks the numbering."""
    by_path = collections.defaultdict(list)
    for r in rows:
        by_path[r["pathid"]].append(r)
    assert sorted(by_path) == list(range(1, len(by_path) + 1))
    for rs in by_path.values():
        assert [r["link_pos"] for r in rs] == list(range(1, len(rs) + 1))
    return by_path


PAIR_COLUMNS = ["pathid", "link_pos", "node_from", "port_from", "lkid", "node_to", "port_to", "lktype", "lkinfo"]
TYPE_COLUMNS = ["node_from", "node_to", "port_from", "port_to", "pathid", "link_pos", "lkid", "lktype", "lkinfo"]


def parse(rows, columns):
    ints = {k for k, c in enumerate(columns) if c in ("pathid", "link_pos", "lkid", "lktype")}
    return [dict(zip(columns, split_row(r, ints))) for r in rows]


def as_steps(links, by_path):
    """The paths as (lkid, backward) tuples, each row checked against its link."""
    out = []
    for _, rs in sorted(by_path.items()):
        steps = []
        for k, r in enumerate(rs):
            link = links[r["lkid"]]
            back = r["node_from"] == link.dst and r["node_to"] == link.src
            assert back or (r["node_from"], r["node_to"]) == (link.src, link.dst)
            assert r["lktype"] == link.lktype
            if k:
                assert rs[k - 1]["node_to"] == r["node_from"]
            steps.append((link.id, back))
        out.append(tuple(steps))
    return out


PAIRS = [("ro1", "n1"), ("ro2", "n2"), ("ro1", "sw2"), ("sw2", "sw1"), ("r1", "r3"), ("r3", "r2"), ("r2", "r1"),
         ("n1", "ro1"), ("ro1", "r1"), ("core2", "core1")]


@pytest.mark.parametrize("source,target", PAIRS)
def test_connectivity_between_two_devices_is_every_simple_path(kt, peek, source, target):
    links = links_of(peek)
    plain = parse(kt.GetConnectivityBetweenDevices(source, target, 0, 0), PAIR_COLUMNS)
    found = as_steps(links, paths_of(plain))
    expected = brute_paths(links, source, to_device(target))
    assert sorted(found) == sorted(expected)
    assert len(set(found)) == len(found)
    for r in plain:
        link = links[r["lkid"]]
        forward = r["node_from"] == link.src
        assert (r["port_from"], r["port_to"]) == ((link.nbr_from, link.nbr_to) if forward else (link.nbr_to, link.nbr_from))
        assert r["lkinfo"] == (link.info or "")


@pytest.mark.parametrize("source,target", PAIRS[:6])
def test_detailed_connectivity_adds_full_ports_and_the_link_described(kt, peek, source, target):
    links = links_of(peek)
    names = dict(peek("SELECT linktypeid, lktype FROM link_type"))
    plain = parse(kt.GetConnectivityBetweenDevices(source, target, 0, 0), PAIR_COLUMNS)
    detailed = parse(kt.GetDetailedConnectivityBetweenDevices(source, target, 0, 0), PAIR_COLUMNS)
    assert len(detailed) == len(plain) > 0
    for p, d in zip(plain, detailed):
        for column in ("pathid", "link_pos", "node_from", "node_to", "lkid", "lktype"):
            assert p[column] == d[column]
        link = links[d["lkid"]]
        back = d["node_from"] != link.src
        out_port = link.nbr_from + ":out" + (":" + link.type_from if link.type_from else "")
        in_port = link.nbr_to + ":in" + (":" + link.type_to if link.type_to else "")
        assert (d["port_from"], d["port_to"]) == ((in_port, out_port) if back else (out_port, in_port))
        assert json.loads(d["lkinfo"]) == {"lktype": names[link.lktype], "bidirectional": link.bidir,
                                           "backward": int(back), "link_info": link.info}


def test_golden_paths_through_the_redundant_cores(kt):
    rows = kt.GetConnectivityBetweenDevices("ro2", "n2", 0, 0)
    paths = collections.defaultdict(list)
    for r in rows:
        f = r.split("|")
        paths[int(f[0])].append(f[2])
    # ro2 -> sw2 -> core1 (sw2 -> core2 is out of use), or over the peer link backwards to sw1; depth
    # first, links by id (the core link was written before the links down to the nodes).
    assert [p + ["n2"] for p in paths.values()] == [
        ["ro2", "sw2", "core1", "core2", "n2"],
        ["ro2", "sw2", "core1", "n2"],
        ["ro2", "sw2", "sw1", "core1", "core2", "n2"],
        ["ro2", "sw2", "sw1", "core1", "n2"],
        ["ro2", "sw2", "sw1", "core2", "core1", "n2"],
        ["ro2", "sw2", "sw1", "core2", "n2"],
    ]
    assert rows[0].startswith("1|1|ro2|0|")


@pytest.mark.parametrize("source,nto,nto_dtype,targets", [
    ("ro1", "NODE", 1, ["n1", "n2"]),
    ("ro2", "CORE", 1, ["core1", "core2"]),
    ("ro1", "core", 0, ["core1", "core2"]),
    ("r1", "r", 0, ["r2", "r3", "r4"]),
    ("n1", "BOARD", 1, []),
])
def test_connectivity_towards_a_type_or_a_name_part(kt, peek, source, nto, nto_dtype, targets):
    links = links_of(peek)
    rows = parse(kt.GetDetailedConnBetweenDeviceDevType(source, nto, nto_dtype, 0, 0), TYPE_COLUMNS)
    found = as_steps(links, paths_of(rows))
    # Every path to every selected device, going on through one to reach another.
    expected = brute_paths(links, source, lambda at, stuck: (at in targets, True))
    assert sorted(found) == sorted(expected)
    for r in rows:
        assert set(json.loads(r["lkinfo"])) == {"lktype", "bidirectional", "backward", "link_info"}


def shortest_first_ports(links, source, with_peer_back=True):
    """{device: (links, {port text of the source})} by a BFS from every neighbour."""
    def dist_from(start):
        dist, frontier = {start: 0}, [start]
        while frontier:
            nxt = []
            for at in frontier:
                for _, _, n in moves(links, at):
                    if n not in dist:
                        dist[n] = dist[at] + 1
                        nxt.append(n)
            frontier = nxt
        return dist

    d_source = dist_from(source)
    out = {}
    for link, back, n in moves(links, source):
        nbr, way, ptype = (link.nbr_to, "in", link.type_to) if back else (link.nbr_from, "out", link.type_from)
        port = f"{nbr}:{way}" + (f":{ptype}" if ptype else "")
        for dest, dd in dist_from(n).items():
            if dest != source and dd + 1 == d_source.get(dest):
                out.setdefault(dest, (d_source[dest], set()))[1].add(port)
    return out


@pytest.mark.parametrize("source,nto,nto_dtype", [("ro1", "NODE", 1), ("sw2", "CORE", 1), ("sw2", "n", 0),
                                                  ("r3", "r", 0), ("n1", "NODE", 1)])
def test_connections_out_name_the_ports_on_shortest_paths(kt, peek, source, nto, nto_dtype):
    links = links_of(peek)
    types = dict(peek("SELECT d.devicename, t.devicetype FROM functional_device d JOIN device_type t "
                      "ON t.devicetypeid = d.devicetypeid"))
    chosen = [d for d in types if (types[d] == nto if nto_dtype else nto in d)]
    expected = sorted((n, dev, port) for dev, (n, ps) in shortest_first_ports(links, source).items()
                      if dev in chosen for port in ps)
    texts = list(kt.GetConnOutBetweenDeviceDeviceType(source, nto, nto_dtype, 0, 0))
    assert texts == [f"{dev}|{port}|{n}" for n, dev, port in expected]


def test_golden_connections_out(kt):
    assert list(kt.GetConnOutBetweenDeviceDeviceType("sw2", "NODE", 1, 0, 0)) == [
        "n1|u1:out:data|2", "n2|u1:out:data|2"]
    assert list(kt.GetConnOutBetweenDeviceDeviceType("sw1", "NODE", 1, 0, 0)) == [
        "n1|u1:out:data|2", "n1|u2:out:data|2", "n2|u1:out:data|2", "n2|u2:out:data|2"]


@pytest.mark.parametrize("source", ["ro1", "ro2", "sw2", "core2", "r1", "r2", "r4", "n1"])
def test_all_paths_of_a_device_end_where_they_cannot_go_on(kt, peek, source):
    links = links_of(peek)
    rows = [dict(zip(["pathid", "lkid", "link_pos"], map(int, r.split("|"))))
            for r in kt.GetAllPathsPerDevice(source, "", 0, 0)]
    by_path = collections.defaultdict(list)
    for r in rows:
        by_path[r["pathid"]].append(r)
    assert sorted(by_path) == list(range(1, len(by_path) + 1))
    found = []
    for _, rs in sorted(by_path.items()):
        assert [r["link_pos"] for r in rs] == list(range(1, len(rs) + 1))
        at, steps = source, []
        for r in rs:
            link = links[r["lkid"]]
            back = link.src != at
            assert (link.dst if back else link.src) == at
            steps.append((link.id, back))
            at = link.src if back else link.dst
        found.append(tuple(steps))
    assert sorted(found) == sorted(brute_paths(links, source, to_ends))


@pytest.mark.parametrize("system,allowed", [
    ("DAQ", {"ro1", "ro2", "sw1", "sw2", "core1", "core2"}),  # DAQ_RO is below DAQ
    ("DAQ_RO", {"ro1", "ro2"}),
    ("ALL", None),
])
def test_all_paths_within_a_subsystem(kt, peek, system, allowed):
    links = links_of(peek)
    inside = {k: l for k, l in links.items() if allowed is None or (l.src in allowed and l.dst in allowed)}
    rows = kt.GetAllPathsPerDevice("ro1", system, 0, 0)
    paths = collections.defaultdict(list)
    for r in rows:
        pathid, lkid, _ = map(int, r.split("|"))
        paths[pathid].append(lkid)
    expected = brute_paths(inside, "ro1", to_ends)
    assert sorted(tuple(p) for p in paths.values()) == sorted(tuple(l for l, _ in p) for p in expected)


def test_unknown_names_and_bad_flags_are_refused(kt):
    with pytest.raises(RuntimeError, match="^GetConnectivityBetweenDevices: no device named 'nowhere'$"):
        kt.GetConnectivityBetweenDevices("ro1", "nowhere", 0, 0)
    with pytest.raises(RuntimeError, match="^GetAllPathsPerDevice: no subsystem named 'XYZ'$"):
        kt.GetAllPathsPerDevice("ro1", "XYZ", 0, 0)
    with pytest.raises(RuntimeError, match="^GetDetailedConnBetweenDeviceDevType: no device type named 'ROUTER'$"):
        kt.GetDetailedConnBetweenDeviceDevType("ro1", "ROUTER", 1, 0, 0)
    with pytest.raises(RuntimeError, match="reload_connectivity must be 0 or 1, not 2"):
        kt.GetAllPathsPerDevice("ro1", "", 2, 0)
    with pytest.raises(RuntimeError, match="nto_dtype must be 1"):
        kt.GetDetailedConnBetweenDeviceDevType("ro1", "NODE", 3, 0, 0)


def test_cache_reload_and_delete(kt, sql):
    before = list(kt.GetConnectivityBetweenDevices("ro2", "n2", 0, 0))
    assert len({r.split("|")[0] for r in before}) == 6
    # Another process takes the peer link out of use: the cache does not see it...
    sql("UPDATE macro_link SET lkused = 0 WHERE link_info = 'peer|A'")
    assert list(kt.GetConnectivityBetweenDevices("ro2", "n2", 0, 0)) == before
    # ...until reloaded: only ro2 -> sw2 -> core1 (-> core2) -> n2 remain.
    assert len({r.split("|")[0] for r in kt.GetConnectivityBetweenDevices("ro2", "n2", 1, 0)}) == 2
    # Freed after a call, the cache is rebuilt by the next one.
    sql("UPDATE macro_link SET lkused = 1")
    assert len({r.split("|")[0] for r in kt.GetConnectivityBetweenDevices("ro2", "n2", 0, 1)}) == 2
    assert len({r.split("|")[0] for r in kt.GetConnectivityBetweenDevices("ro2", "n2", 0, 0)}) == 8


def test_library_writes_keep_the_cache_current(kt):
    assert not kt.GetConnectivityBetweenDevices("n1", "r1", 0, 0)
    batch(kt.InsertMultiplePorts, ports("n1", OUT, ["z"]) + ports("r1", IN, [9], ""))
    kt.InsertMultipleMacroLinks("n1", "r1", "z", "9", "data", "", "data", 0, "", 1, 1)
    rows = kt.GetConnectivityBetweenDevices("n1", "r1", 0, 0)
    assert [r.split("|")[2] + ">" + r.split("|")[5] for r in rows] == ["n1>r1"]


# ---- routing and destination tables ------------------------------------------------

def stored_routes(peek, switch):
    rows = peek("""SELECT d.devicename, p.port_nbr, p.port_way, p.port_type, r.nbr_links FROM routing_table r
                   JOIN functional_device s ON s.deviceid = r.switchid
                   JOIN functional_device d ON d.deviceid = r.destinationid JOIN port p ON p.portid = r.portid
                   WHERE s.devicename = ?""", switch)
    out = {}
    for dest, nbr, way, ptype, n in rows:
        port = f"{nbr}:{'out' if way == 2 else 'in'}" + (f":{ptype}" if ptype else "")
        assert out.setdefault(dest, (n, set()))[0] == n
        out[dest][1].add(port)
    return out


@pytest.mark.parametrize("switch", ["sw1", "sw2", "core1", "core2", "r2", "ro1"])
def test_routing_table_holds_every_port_on_a_shortest_path(kt, peek, switch):
    links = links_of(peek)
    kt.CreateRoutingTable(switch, 0)
    assert stored_routes(peek, switch) == shortest_first_ports(links, switch)
    kt.CreateRoutingTable(switch, 1)  # replaces the rows: neighbours only
    assert stored_routes(peek, switch) == {d: v for d, v in shortest_first_ports(links, switch).items() if v[0] == 1}


def test_golden_routing_table_of_a_switch(kt, peek):
    assert kt.CreateRoutingTable("sw2", 0) == 0
    assert stored_routes(peek, "sw2") == {
        "sw1": (1, {"p:in:data"}),          # the peer link, followed backwards
        "core1": (1, {"u1:out:data"}),
        "core2": (2, {"u1:out:data", "p:in:data"}),  # via core1, or via sw1 (the direct uplink is unused)
        "n1": (2, {"u1:out:data"}),
        "n2": (2, {"u1:out:data"}),
    }


def is_end(links, device):
    out = {n for _, _, n in moves(links, device) if n != device}
    if not out:
        return True
    every = out | {l.src for l in links.values() if l.used and l.dst == device} \
        | {l.dst for l in links.values() if l.used and l.bidir and l.src == device}
    return len(every - {device}) == 1


def expected_destinations(links, source, max_links=0):
    out = collections.defaultdict(dict)
    for link, back, first in moves(links, source):
        port = (link.nbr_to, 1, link.type_to) if back else (link.nbr_from, 2, link.type_from)
        dist, frontier = {first: 1}, [first]
        while frontier:
            nxt = []
            for at in frontier:
                if max_links and dist[at] >= max_links:
                    continue
                for _, _, n in moves(links, at):
                    if n != source and n not in dist:
                        dist[n] = dist[at] + 1
                        nxt.append(n)
            frontier = nxt
        for dest, d in dist.items():
            if is_end(links, dest):
                out[port][dest] = d
    return dict(out)


def stored_destinations(peek, device):
    rows = peek("""SELECT p.port_nbr, p.port_way, p.port_type, d.devicename, t.nbr_links FROM destination_table t
                   JOIN functional_device s ON s.deviceid = t.deviceid
                   JOIN functional_device d ON d.deviceid = t.destinationid JOIN port p ON p.portid = t.portid
                   WHERE s.devicename = ?""", device)
    out = collections.defaultdict(dict)
    for nbr, way, ptype, dest, n in rows:
        out[(nbr, way, ptype)][dest] = n
    return dict(out)


@pytest.mark.parametrize("device", ["ro1", "sw1", "sw2", "core1", "r1", "r3", "n1"])
@pytest.mark.parametrize("max_links", [0, 2])
def test_destination_table_holds_the_ends_behind_each_port(kt, peek, device, max_links):
    links = links_of(peek)
    kt.CreateDestinationTable(device, max_links)
    assert stored_destinations(peek, device) == expected_destinations(links, device, max_links)


def test_destination_names_build_the_table_when_none_is_stored(kt, peek):
    assert not stored_destinations(peek, "ro1")
    assert list(kt.GetDestinationNamePerDevPort("ro1", "1", "data")) == ["n1", "n2"]
    assert stored_destinations(peek, "ro1") == {("0", 2, "data"): {"n1": 3, "n2": 3},
                                               ("1", 2, "data"): {"n1": 3, "n2": 3}}
    # A stored table is answered as stored, even when limited.
    kt.CreateDestinationTable("sw2", 1)
    assert list(kt.GetDestinationNamePerDevPort("sw2", "u1", "data")) == []
    kt.CreateDestinationTable("sw2", 2)
    assert list(kt.GetDestinationNamePerDevPort("sw2", "u1", "data")) == ["n1", "n2"]
    # r2's spur leads to the end r4; its ring port to no end at all.
    assert list(kt.GetDestinationNamePerDevPort("r2", "2", "")) == ["r4"]
    assert list(kt.GetDestinationNamePerDevPort("r2", "1", "")) == []


@pytest.mark.parametrize("call,message", [
    (lambda kt: kt.CreateRoutingTable("", -1), "CreateRoutingTable: max_links must be 0 (no limit) or a number of links, not -1"),
    (lambda kt: kt.CreateRoutingTable("nowhere", 0), "CreateRoutingTable: no device named 'nowhere'"),
    (lambda kt: kt.CreateDestinationTable("sw1", -3), "CreateDestinationTable: max_links must be 0 (no limit) or a number of links, not -3"),
    (lambda kt: kt.GetDestinationNamePerDevPort("sw1", "9", "data"), "GetDestinationNamePerDevPort: no port '9' of type 'data' on 'sw1'"),
    (lambda kt: kt.GetDestinationNamePerDevPort("nowhere", "1", ""), "GetDestinationNamePerDevPort: no device named 'nowhere'"),
])
def test_table_refusals(kt, call, message):
    with pytest.raises(RuntimeError, match="^" + re.escape(message) + "$"):
        call(kt)


# ---- micro connectivity -------------------------------------------------------------

@pytest.mark.parametrize("direction,expected", [
    (2, ["2|0|fpga|phy1", "1|2|phy1|sw1"]),   # the way through pll is out of use
    (1, ["1|0|sw1|phy0", "1|0|phy0|fpga"]),
    (0, ["2|0|fpga|phy1", "1|2|phy1|sw1", "1|0|sw1|phy0", "1|0|phy0|fpga"]),
])
def test_micro_paths_between_a_component_and_its_board(kt, direction, expected):
    assert list(kt.GetMicroConnectBetweenBoardCpntAndMotherBoard("fpga", direction)) == expected


@pytest.mark.parametrize("args,expected", [
    # Both paths stop where the only way on is back to sw1, the start.
    ((1, 0, "sw1"), ["1|0|sw1|phy0", "1|0|phy0|fpga", "1|0|fpga|pll",
                     "1|0|sw1|phy0", "1|0|phy0|fpga", "2|0|fpga|phy1"]),
    ((1, 2, "sw1"), ["1|0|sw1|phy0", "1|0|phy0|fpga"]),
    ((-1, 0, "phy1"), ["0|2|phy1|fpga", "1|0|fpga|pll", "1|2|phy1|sw1", "1|0|sw1|phy0", "1|0|phy0|fpga",
                       "1|0|fpga|pll"]),
    ((0, 0, "phy1"), ["0|2|phy1|fpga", "1|0|fpga|pll"]),  # backwards over the bidirectional link
    ((7, 0, "fpga"), []),
])
def test_micro_paths_from_a_port(kt, args, expected):
    assert list(kt.GetMicroConnectFromPortid(*args)) == expected


def test_micro_paths_to_a_component_type(kt, peek):
    (board,) = peek("SELECT deviceid FROM functional_device WHERE devicename = 'sw1'")[0]
    (fpga,) = peek("SELECT cpntid FROM board_cpnt WHERE cpntname = 'fpga'")[0]
    assert list(kt.GetMicroConnectToCpntType(board, 1, "PHY")) == ["1|0|sw1|phy0", "1|0|sw1|phy0", "1|0|phy0|fpga",
                                                                  "2|0|fpga|phy1"]
    # To phy1, and on through it and the board to phy0.
    assert list(kt.GetMicroConnectToCpntType(fpga, 0, "PHY")) == ["2|0|fpga|phy1", "2|0|fpga|phy1", "1|2|phy1|sw1",
                                                                 "1|0|sw1|phy0"]
    assert list(kt.GetMicroConnectToCpntType(fpga, 0, "DAC")) == []


@pytest.mark.parametrize("call,message", [
    (lambda kt: kt.GetMicroConnectBetweenBoardCpntAndMotherBoard("fpga", 3), "the direction must be 2"),
    (lambda kt: kt.GetMicroConnectBetweenBoardCpntAndMotherBoard("sw1", 2), "no board component named 'sw1'"),
    (lambda kt: kt.GetMicroConnectFromPortid(1, -1, "sw1"), "the longest path must be 0 (no limit)"),
    (lambda kt: kt.GetMicroConnectFromPortid(1, 0, "nothing"), "no board component or device named 'nothing'"),
    (lambda kt: kt.GetMicroConnectToCpntType(999, 0, "PHY"), "no board component with id 999"),
    (lambda kt: kt.GetMicroConnectToCpntType(1, 2, "PHY"), "the option must be 0"),
])
def test_micro_refusals(kt, call, message):
    with pytest.raises(RuntimeError, match=re.escape(message)):
        call(kt)

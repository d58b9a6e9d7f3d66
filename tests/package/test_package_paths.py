"""Paths as objects holding their links, destinations, micro connectivity,
and the stored routing and destination tables read back as rows."""
import pytest

from ketraldb import (INPUT, OUTPUT, Destination, DetailedLink, Impact, KetralError, Path, PathLink, PortRef, Reach,
                      Route, WeakPoint)


def test_paths_between_two_devices(site):
    paths = site.paths("ro01", "node02")
    assert len(paths) == 1 and isinstance(paths[0], Path)
    path = paths[0]
    assert path.pathid == 1 and path.devices == ("ro01", "sw01", "sw02", "node02")
    assert str(path) == "1: ro01 -> sw01 -> sw02 -> node02"
    assert len(path) == 3 and all(isinstance(link, PathLink) for link in path)
    first = path[0]
    assert (first.link_pos, first.node_from, first.port_from, first.node_to, first.port_to) == (1, "ro01", "0", "sw01", "1")
    assert first.lkinfo == "fibre 1" and first.lktype == site.link_type("data")["linktypeid"]
    assert path.lkids == tuple(link.lkid for link in path)
    assert site.paths("node01", "ro01") == []


def test_a_bidirectional_link_is_followed_backwards_in_detailed_paths(site):
    (path,) = site.detailed_paths("sw02", "node01")
    assert path.devices == ("sw02", "sw01", "node01")
    peer = path[0]
    assert isinstance(peer, DetailedLink)
    assert peer.port_from == PortRef("p", INPUT, "data") and peer.port_to == PortRef("p", OUTPUT, "data")
    assert peer.lkinfo == {"lktype": "peer", "bidirectional": 1, "backward": 1, "link_info": None}
    to_nodes = site.detailed_paths_to("ro02", "NODE")
    assert sorted(p.devices[-1] for p in to_nodes) == ["node01", "node02"]
    assert [p.devices for p in site.detailed_paths_to("ro02", "node0", nto_dtype=False)] == [p.devices for p in to_nodes]


def test_all_paths_reaches_and_destinations(site):
    paths = site.all_paths("ro01")
    assert [len(p) for p in paths] == [3, 2] and [p.pathid for p in paths] == [1, 2]
    assert paths[0].lkids[0] == site.link_at("ro01", "0", OUTPUT, "data")["linkid"]
    assert str(paths[0]).startswith("1: link ")
    assert site.all_paths("ro01", "FARM") == []
    reaches = site.reaches("ro01", "NODE")
    assert reaches == [Reach("node01", PortRef("0", OUTPUT, "data"), 2), Reach("node02", PortRef("0", OUTPUT, "data"), 3)]
    assert site.destinations("sw01", "9", "data") == ["node01"]
    assert site.destinations("sw01", "p", "data") == ["node02"]
    with pytest.raises(KetralError, match="no port"):
        site.destinations("sw01", "7", "data")


def test_micro_paths_on_a_board(site):
    with site.batch("board_components") as components:
        for name in ("fpga", "phy0", "phy1"):
            components.add(f"ro01/{name}", name[:3].upper(), "ro01")
    with site.batch("micro_links") as links:
        links.add("ro01", "ro01/fpga", 0, 0, "data")
        links.add("ro01/fpga", "ro01/phy0", 1, 0, "data")
        links.add("ro01/fpga", "ro01/phy1", 2, 0, "data", bidirectional=True)
    to_board = site.micro_paths_to_motherboard("ro01/phy1", 0)
    assert [p.devices for p in to_board] == [("ro01", "ro01/fpga", "ro01/phy1")]  # nothing leads back to the board
    from_board = site.micro_paths_from("ro01")
    assert [p.devices for p in from_board] == [("ro01", "ro01/fpga", "ro01/phy0"), ("ro01", "ro01/fpga", "ro01/phy1")]
    assert from_board[0][0] == (0, 0, "ro01", "ro01/fpga") and from_board[0].pathid is None
    to_phys = site.micro_paths_to_type("ro01", "PHY", motherboard=True)
    assert [p.devices[-1] for p in to_phys] == ["ro01/phy0", "ro01/phy1"]
    assert site.micro_paths_to_type("ro01/phy1", "PHY") == [Path(None, ((0, 2, "ro01/phy1", "ro01/fpga"), (1, 0, "ro01/fpga", "ro01/phy0")))]
    fpga = site.component_id("ro01/fpga")
    assert len(site.micro_link_ids_from(fpga)) == 2 == len(site.micro_link_ids_from("ro01/fpga"))
    assert site.micro_link_ids_from("ro01", motherboard=True) == site.micro_link_ids_to(fpga)
    (first,) = site.micro_link_ids_from("ro01", motherboard=True)
    assert site.micro_link_by_id(first)["node_to"] == "ro01/fpga"
    assert site.micro_link_at("ro01/fpga", 1, OUTPUT)["node_to"] == "ro01/phy0"
    site.delete_link(first, micro=True)
    assert site.micro_link_by_id(first) is None


def test_routing_and_destination_tables_read_back_as_rows(site, peek):
    routes = site.routing_table("sw01")  # none stored yet: built without a limit
    assert all(isinstance(r, Route) for r in routes)
    assert [(r.destination, str(r.port), r.nbr_links) for r in routes] == [
        ("node01", "9:out:data", 1), ("node02", "p:out:data", 2), ("sw02", "p:out:data", 1)]
    assert routes[0].destinationid == site.device_id("node01")
    assert routes[0].portid == site.port_id("sw01", "9", OUTPUT, "data")
    stored = "SELECT destinationid, portid, nbr_links FROM routing_table WHERE switchid = ? ORDER BY 1, 2"
    sw01 = site.device_id("sw01")
    assert peek(stored, sw01) == sorted((r.destinationid, r.portid, r.nbr_links) for r in routes)
    site.create_routing_table("sw01", max_links=1)
    assert [r.destination for r in site.routing_table("sw01")] == ["node01", "sw02"]

    site.create_destination_table("sw01")
    table = site.destination_table("sw01")
    assert all(isinstance(d, Destination) for d in table)
    assert [(str(d.port), d.destination, d.nbr_links) for d in table] == [("9:out:data", "node01", 1),
                                                                       ("p:out:data", "node02", 2)]
    assert site.destination_table("ro01") == [
        Destination(site.port_id("ro01", "0", OUTPUT, "data"), PortRef("0", OUTPUT, "data"),
                    site.device_id("node01"), "node01", 2),
        Destination(site.port_id("ro01", "0", OUTPUT, "data"), PortRef("0", OUTPUT, "data"),
                    site.device_id("node02"), "node02", 3)]
    assert site.destination_table("node01") == [] and site.routing_table("node01") == []


def test_the_tables_read_back_follow_a_change_of_the_network(site, peek):
    site.create_routing_table("sw01", max_links=2)
    site.create_destination_table("sw01")
    site.set_link_used("sw01", "sw02", "p", "p", False, "data", "data")  # the peer link out of use
    assert [r.destination for r in site.routing_table("sw01")] == ["node01"]
    assert [d.destination for d in site.destination_table("sw01")] == ["node01"]
    assert site.destinations("sw01", "p", "data") == []
    assert peek("SELECT count(*) FROM routing_table WHERE switchid = ?", site.device_id("sw01")) == [(1,)]
    assert peek("SELECT max_links FROM routing_switch WHERE switchid = ?", site.device_id("sw01")) == [(2,)]


def test_the_readers_refuse_an_unknown_device(site):
    with pytest.raises(KetralError, match="^GetRoutingTableRows: no device named 'sw99'$"):
        site.routing_table("sw99")
    with pytest.raises(TypeError, match=r"^destination_table\(\) argument 'devicename' must be str, not int$"):
        site.destination_table(3)


def test_failure_impact_and_weak_points(site):
    impact = site.failure_impact_of_device("sw01")
    assert all(isinstance(i, Impact) for i in impact)
    cut_off = [i.device for i in impact if i.effect == "cut_off"]
    assert {"ro01", "ro02"} <= set(cut_off) and cut_off == sorted(cut_off)
    link = site.link_at("ro01", "0", OUTPUT, "data")["linkid"]
    assert Impact("ro01", "cut_off") in site.failure_impact_of_link(link)
    assert site.failure_impact_of_port("ro01", "0", OUTPUT, "data") == site.failure_impact_of_link(link)
    points = site.weak_points()
    assert all(isinstance(p, WeakPoint) for p in points)
    assert WeakPoint("device", "sw01", len(cut_off)) in points
    assert WeakPoint("link", str(link), 1) in points

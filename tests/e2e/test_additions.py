"""The functions beyond the described ones (docs/additions.md) on both
backends: a switch's routing table and a device's destination table read
back, equal to what is stored, and fresh after a change of the links."""
import pytest

from test_paths import batch, int_vec


# ro -> sw; sw -> n1 and sw -> n2 over two parallel links to n2
@pytest.fixture
def net(db):
    db.CreateTableSchema()
    db.InsertSimpleLinkType("data", 1)
    db.InsertDeviceType("", "TT", 2, 2, "", "", 1)
    batch(db.InsertMultipleFunctionalDevices, [("", n, "TT", 0, 0, "", "", "", "", "", "") for n in
                                               ("ro", "sw", "n1", "n2")])
    flags = int_vec([0, 1, 0])
    batch(db.InsertMultiplePorts, [(d, p, w, "", "", "", "", "", "", flags, "") for d, p, w in
                                   [("ro", "0", 2), ("sw", "0", 1), ("sw", "1", 2), ("sw", "2", 2), ("sw", "3", 2),
                                    ("n1", "0", 1), ("n2", "0", 1), ("n2", "1", 1)]])
    batch(db.InsertMultipleMacroLinks, [(a, b, pa, pb, "", "", "data", 0, "") for a, b, pa, pb in
                                        [("ro", "sw", "0", "0"), ("sw", "n1", "1", "0"), ("sw", "n2", "2", "0"),
                                         ("sw", "n2", "3", "1")]])
    return db


def test_the_routing_table_read_back_is_the_stored_one(net, peek):
    rows = [r.split("|") for r in net.GetRoutingTableRows("sw")]  # none stored: built without a limit
    assert [(r[1], r[3], r[4]) for r in rows] == [("n1", "1:out", "1"), ("n2", "2:out", "1"), ("n2", "3:out", "1")]
    device = dict(peek("SELECT devicename, deviceid FROM functional_device"))
    port = dict(peek("SELECT port_nbr, portid FROM port WHERE deviceid = ? AND port_way = 2", device["sw"]))
    assert [(int(r[0]), int(r[2])) for r in rows] == [(device[r[1]], port[r[3][0]]) for r in rows]
    stored = peek("SELECT destinationid, portid, nbr_links FROM routing_table WHERE switchid = ? ORDER BY 1, 2",
                  device["sw"])
    assert stored == sorted((int(r[0]), int(r[2]), int(r[4])) for r in rows)
    net.CreateRoutingTable("ro", 1)
    assert [r.split("|")[1] for r in net.GetRoutingTableRows("ro")] == ["sw"]  # the stored limit


def test_a_table_read_back_is_built_again_with_its_limit_after_a_change_of_the_network(net, peek):
    net.CreateRoutingTable("ro", 2)
    net.CreateDestinationTable("ro", 0)
    assert [r.split("|")[1] for r in net.GetRoutingTableRows("ro")] == ["n1", "n2", "sw"]
    rows = [r.split("|") for r in net.GetDestinationTableRows("ro")]
    assert [(r[1], r[3], r[4]) for r in rows] == [("0:out", "n1", "2"), ("0:out", "n2", "2")]
    net.UpdateMultipleLkUsedLinks("sw", "n1", "1", "", "0", "", 0, 1, 1)
    assert [r.split("|")[1] for r in net.GetRoutingTableRows("ro")] == ["n2", "sw"]
    assert [r.split("|")[3] for r in net.GetDestinationTableRows("ro")] == ["n2"]
    assert list(net.GetDestinationNamePerDevPort("ro", "0", "")) == ["n2"]
    assert peek("SELECT max_links FROM routing_switch") == [(2,)]
    assert peek("SELECT count(*) FROM routing_table") == [(2,)]


def test_the_readers_refuse_unknown_devices_and_answer_empty_tables(net):
    with pytest.raises(RuntimeError, match="^GetRoutingTableRows: no device named 'x'$"):
        net.GetRoutingTableRows("x")
    with pytest.raises(RuntimeError, match="^GetDestinationTableRows: no device named 'x'$"):
        net.GetDestinationTableRows("x")
    assert list(net.GetRoutingTableRows("n1")) == [] and list(net.GetDestinationTableRows("n1")) == []


def test_hardware_state_changes_status_and_location_with_a_history_entry(db, peek):
    db.CreateTableSchema()
    db.InsertDeviceType("", "TT", 1, 1, "", "", 1)
    db.InsertFunctionalDevice("", "d1", "TT", 0, 0, "HW-IN", "", "", "rack", "", "", 1)
    db.InsertSpareDevice("spare", "", "HW-1", "", "store room", "", 1)
    assert db.UpdateHWStatusLocation("HW-1", "IN_REPAIR", "", "fan") == "Successful update"
    assert db.UpdateHWStatusLocation("HW-1", "SPARE", "room 2", "repaired") == "Successful update"
    assert peek("SELECT status, location FROM hardware_device WHERE serialnb = 'HW-1'") == [("SPARE", "room 2")]
    assert peek("SELECT status, location, position_id, comments FROM history WHERE serialnb = 'HW-1' "
                "ORDER BY historyid") == [("SPARE", "store room", None, None), ("IN_REPAIR", "store room", None, "fan"),
                                          ("SPARE", "room 2", None, "repaired")]
    for args, message in [(("HW-IN", "SPARE", "", ""), "hardware 'HW-IN' fills device 'd1'"),
                          (("HW-1", "IN_USE", "", ""), "hardware 'HW-1' fills no position"),
                          (("HW-1", "spare", "", ""), "'spare' is not a status word")]:
        with pytest.raises(RuntimeError, match="^UpdateHWStatusLocation: " + message):
            db.UpdateHWStatusLocation(*args)
    assert peek("SELECT status FROM hardware_device WHERE serialnb = 'HW-IN'") == [("IN_USE",)]


def delete_port(kt, ids):
    kt.DeleteLinkRow(ids.link("sw", "3"), 0)
    kt.DeletePortRow(ids.port("sw", "3"))


# What goes, and how many of the six stored routing rows stay (ro's: sw, n1, n2; sw's: n1 by port 1, n2 by 2 and 3).
DELETES = {
    "destination": (lambda kt, ids: kt.DeleteFunctionalDevice(ids.device("n1")), 4),
    "port": (delete_port, 5),
    "switch": (lambda kt, ids: kt.DeleteFunctionalDevice(ids.device("sw")), 2),
}


class Ids:
    def __init__(self, peek):
        self.peek = peek

    def device(self, name):
        return self.peek("SELECT deviceid FROM functional_device WHERE devicename = ?", name)[0][0]

    def port(self, name, nbr):
        return self.peek("SELECT portid FROM port WHERE deviceid = ? AND port_nbr = ? AND port_way = 2",
                         self.device(name), nbr)[0][0]

    def link(self, name, nbr):
        return self.peek("SELECT linkid FROM macro_link WHERE portidfrom = ?", self.port(name, nbr))[0][0]


@pytest.mark.parametrize("what", DELETES)
def test_deletes_leave_no_routing_row_naming_what_went(net, peek, what):
    net.CreateRoutingTable("ro", 2)
    net.CreateRoutingTable("sw", 0)
    assert peek("SELECT count(*) FROM routing_table") == [(6,)]

    delete, left = DELETES[what]
    delete(net, Ids(peek))
    assert peek("SELECT count(*) FROM routing_table") == [(left,)]
    assert peek("SELECT count(*) FROM routing_table r WHERE "
                "NOT EXISTS (SELECT 1 FROM functional_device d WHERE d.deviceid = r.switchid) OR "
                "NOT EXISTS (SELECT 1 FROM functional_device d WHERE d.deviceid = r.destinationid) OR "
                "NOT EXISTS (SELECT 1 FROM port p WHERE p.portid = r.portid)") == [(0,)]

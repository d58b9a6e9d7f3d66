"""Describing a small installation through the module on the real library,
with the batched and the single inserts; what they wrote is read back with
Python's own sqlite3 or psycopg2 beside the library."""
import re

import pytest

import libketralpython

from calls import batch, int_vec, str_vec  # noqa: E402

INSERTED = "Successful insertion"


def raises_exactly(message):
    return pytest.raises(RuntimeError, match="^" + re.escape(message) + "$")


FLAGS = int_vec([1000, 1, 0])  # speed, admin_status, pxi_booting

DEVICE_TYPES = [  # system_list, devicetype, nbrofinput, nbrofoutput, description, rgbcolor
    ("DAQ", "SWITCH", 4, 4, "", "#ff0000"),
    ("DAQ, TFC", "READOUT", 0, 2, "readout board", ""),
]
DEVICES = [  # system_list, name, type, dnode, promiscuous, serialnb, hwtype, responsible, location, comments, functions
    ("", "sw01", "SWITCH", 0, 1, "HW-SW01", "switch", "ana", "rack1", "core", "DHCP,NFS"),
    ("TFC", "ro01", "READOUT", 1, 0, "", "", "", "rack2", "", ""),
    ("", "ro02", "READOUT", 1, 0, "", "", "", "rack2", "", ""),
]
PORTS = [  # devicename, port_nbr, port_way, port_type, bia, ipname, ipaddress, macaddress, subnet, flags, phy
    ("ro01", "0", 2, "data", "", "", "", "", "", FLAGS, ""),
    ("ro01", "1", 2, "data", "", "", "", "", "", FLAGS, ""),
    ("ro02", "0", 2, "data", "", "", "", "", "", FLAGS, ""),
    ("sw01", "1", 1, "data", "", "", "", "", "", FLAGS, ""),
    ("sw01", "2", 1, "data", "", "", "", "", "", FLAGS, ""),
    ("sw01", "3", 1, "data", "", "", "", "", "", FLAGS, ""),
    ("sw01", "u0", 2, "", "b-u0", "sw01", "10.0.0.1", "aa:00:00:00:00:01", "255.255.0.0", FLAGS, "SX"),
]
LINKS = [  # node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto, lktype, bidirectional, link_info
    ("ro01", "sw01", "0", "1", "data", "data", "data", 0, "fibre 1"),
    ("ro01", "sw01", "1", "2", "data", "data", "data", 0, ""),
    ("ro02", "sw01", "0", "3", "data", "data", "data", 0, ""),
]


@pytest.fixture
def described(db):
    """The installation, described call by call."""
    assert db.CreateTableSchema() == 0
    assert db.InsertSubsystem("DAQ", "") == INSERTED + " "
    assert db.InsertSubsystem("TFC", "DAQ") == INSERTED + " "
    db.InsertSimpleDeviceFunction("DHCP", 0)
    db.InsertSimpleDeviceFunction("NFS", 1)
    batch(db.InsertMultipleSimpleLinkTypes, [("data",), ("ctl",)])
    db.InsertSimpleLinkType("mgmt", 1)
    db.InsertCompositeLinkType("mixed", "data,ctl", 1)
    assert batch(db.InsertMultipleDeviceTypes, DEVICE_TYPES) == [INSERTED + " "] * 2
    db.InsertDeviceType("", "PC", 2, 0, "", "", 1)
    batch(db.InsertMultipleSpareDevices, [("pc", "PC", "HW-PC", "bob", "store", "new"),
                                          ("pc", "PC", "HW-SP1", "bob", "store", "")])
    batch(db.InsertMultipleSparePorts, [("HW-SP1", "eth0", 1, "", "b-sp", "aa:00:00:00:00:09")])
    assert batch(db.InsertMultipleFunctionalDevices, DEVICES) == [INSERTED] * 3
    db.InsertFunctionalDevice("", "pc01", "PC", 0, 1, "HW-PC", "", "bob", "rack3", "", "", 1)
    assert batch(db.InsertMultiplePorts, PORTS) == [INSERTED] * len(PORTS)
    db.InsertPort("pc01", "eth0", "", 1, "", "pc01", "10.0.1.1", "aa:00:00:00:00:02", "255.255.0.0", FLAGS, "", 1)
    db.InsertTestFunctionalDevice("pc01", str_vec(["10.0.1.2"]), str_vec(["255.255.0.0"]), str_vec(["pc01-2"]),
                                  str_vec(["eth1", "eth2"]), str_vec(["mgmt"]), int_vec([1, 2]), 1)
    batch(db.InsertMultipleMacroLinks, LINKS)
    db.InsertMacroLink("sw01", "pc01", "u0", "eth0", "", "", "mixed", 1, "uplink", 1)
    batch(db.InsertMultipleBoardCpnts, [("fpga", "FPGA", 1, "ro01", "C-1", "", "ana", "rack2", ""),
                                        ("pll", "PLL", 0, "ro01", "", "", "", "", ""),
                                        ("", "FPGA", 1, "none", "C-9", "", "ana", "store", "spare one")])
    batch(db.InsertMultipleMicroLinks, [("fpga", "pll", 1, 0, "data", 0), ("ro01", "fpga", 0, 2, "ctl", 1)])
    batch(db.InsertMultipleBootImages, [("pc01", "pc.img", "vmlinuz", "initrd", "/srv/boot", "tftp")])
    assert batch(db.InsertMultipleIPAliases, [("10.0.1.1", "pc01", "pc01-alias"), ("", "sw01", "gw")]) == \
        [INSERTED + " "] * 2
    return db


def test_catalogs(described, peek):
    assert peek("SELECT s.system_name, p.system_name FROM subsystem s LEFT JOIN subsystem p "
                "ON p.systemid = s.parentid ORDER BY s.systemid") == [("DAQ", None), ("TFC", "DAQ")]
    assert peek("SELECT function_name FROM device_function ORDER BY 1") == [("DHCP",), ("NFS",)]
    assert peek("SELECT lktype FROM link_type ORDER BY linktypeid") == [("data",), ("ctl",), ("mgmt",), ("mixed",)]
    assert peek("SELECT c.lktype, s.lktype FROM link_type_member m JOIN link_type c ON c.linktypeid = m.compositeid "
                "JOIN link_type s ON s.linktypeid = m.simpleid ORDER BY 2") == [("mixed", "ctl"), ("mixed", "data")]
    assert peek("SELECT t.devicetype, t.nbrofinput, t.nbrofoutput, t.description, t.rgbcolor, "
                "(SELECT GROUP_CONCAT(system_name, ',') FROM (SELECT s.system_name FROM device_type_system x "
                " JOIN subsystem s USING (systemid) WHERE x.devicetypeid = t.devicetypeid ORDER BY 1) v) "
                "FROM device_type t ORDER BY t.devicetypeid") == [
        ("SWITCH", 4, 4, "SWITCH", "#ff0000", "DAQ"),
        ("READOUT", 0, 2, "readout board", None, "DAQ,TFC"),
        ("PC", 2, 0, "PC", None, None)]


def test_devices_and_their_hardware(described, peek):
    assert peek("SELECT d.devicename, t.devicetype, d.dnode, d.promiscuous_mode, h.serialnb, d.location, "
                "(SELECT GROUP_CONCAT(system_name, ',') FROM (SELECT s.system_name FROM device_system x "
                " JOIN subsystem s USING (systemid) WHERE x.deviceid = d.deviceid ORDER BY 1) v), "
                "(SELECT GROUP_CONCAT(function_name, ',') FROM (SELECT f.function_name FROM functional_device_function x "
                " JOIN device_function f USING (functionid) WHERE x.deviceid = d.deviceid ORDER BY 1) v) "
                "FROM functional_device d JOIN device_type t USING (devicetypeid) "
                "LEFT JOIN hardware_device h USING (serialid) ORDER BY d.deviceid") == [
        ("sw01", "SWITCH", 0, 1, "HW-SW01", "rack1", "DAQ", "DHCP,NFS"),
        ("ro01", "READOUT", 1, 0, None, "rack2", "TFC", None),
        ("ro02", "READOUT", 1, 0, None, "rack2", "DAQ,TFC", None),
        ("pc01", "PC", 0, 1, "HW-PC", "rack3", None, None)]
    # New hardware and a spare taken are IN_USE where their device is; the other spare waits.
    assert peek("SELECT serialnb, hwtype, status, location FROM hardware_device ORDER BY serialid") == [
        ("HW-PC", "PC", "IN_USE", "rack3"), ("HW-SP1", "PC", "SPARE", "store"),
        ("HW-SW01", "switch", "IN_USE", "rack1")]
    assert peek("SELECT hw_kind, serialnb, position_name, status FROM history ORDER BY historyid") == [
        ("device", "HW-PC", None, "SPARE"), ("device", "HW-SP1", None, "SPARE"),
        ("device", "HW-SW01", "sw01", "IN_USE"), ("device", "HW-PC", "pc01", "IN_USE"),
        ("component", "C-1", "fpga", "IN_USE"), ("component", "C-9", None, "SPARE")]
    assert peek("SELECT h.serialnb, s.port_nbr, s.port_way, s.bia, s.macaddress FROM spare_port s "
                "JOIN hardware_device h USING (serialid)") == [("HW-SP1", "eth0", 1, "b-sp", "aa:00:00:00:00:09")]


def test_ports_addresses_and_links(described, peek):
    assert peek("SELECT d.devicename, p.port_nbr, p.port_way, p.port_type, p.speed, p.bia, p.macaddress, p.phy, "
                "i.ipaddress, i.ipname, i.subnet FROM port p JOIN functional_device d USING (deviceid) "
                "JOIN ip_info i USING (ipid) ORDER BY p.portid") == [
        ("sw01", "u0", 2, "", 1000, "b-u0", "aa:00:00:00:00:01", "SX", "10.0.0.1", "sw01", "255.255.0.0"),
        ("pc01", "eth0", 1, "", 1000, None, "aa:00:00:00:00:02", None, "10.0.1.1", "pc01", "255.255.0.0"),
        ("pc01", "eth1", 1, "mgmt", 0, None, None, None, "10.0.1.2", "pc01-2", "255.255.0.0")]
    assert peek("SELECT COUNT(*) FROM port") == [(len(PORTS) + 3,)]
    assert peek("SELECT df.devicename, pf.port_nbr, dt.devicename, pt.port_nbr, t.lktype, m.bidirectional, "
                "m.link_info FROM macro_link m JOIN port pf ON pf.portid = m.portidfrom "
                "JOIN functional_device df ON df.deviceid = pf.deviceid JOIN port pt ON pt.portid = m.portidto "
                "JOIN functional_device dt ON dt.deviceid = pt.deviceid JOIN link_type t USING (linktypeid) "
                "ORDER BY m.linkid") == [
        ("ro01", "0", "sw01", "1", "data", 0, "fibre 1"), ("ro01", "1", "sw01", "2", "data", 0, None),
        ("ro02", "0", "sw01", "3", "data", 0, None), ("sw01", "u0", "pc01", "eth0", "mixed", 1, "uplink")]
    assert peek("SELECT a.ipalias, i.ipaddress FROM ip_alias a JOIN ip_info i USING (ipid) ORDER BY 1") == [
        ("gw", "10.0.0.1"), ("pc01-alias", "10.0.1.1")]
    assert peek("SELECT d.devicename, b.boot_image, b.kernel_image, b.initrd_image, b.physical_location, "
                "b.boot_protocol FROM boot_image b JOIN functional_device d USING (deviceid)") == [
        ("pc01", "pc.img", "vmlinuz", "initrd", "/srv/boot", "tftp")]


def test_board_components_and_micro_links(described, peek):
    assert peek("SELECT c.cpntname, c.cpnttype, c.replacable, d.devicename, h.serialnb, h.status "
                "FROM board_cpnt c JOIN functional_device d ON d.deviceid = c.motherboardid "
                "LEFT JOIN hw_board_cpnt h USING (snbid) ORDER BY c.cpntid") == [
        ("fpga", "FPGA", 1, "ro01", "C-1", "IN_USE"), ("pll", "PLL", 0, "ro01", None, None)]
    assert peek("SELECT serialnb, hwtype, status, location, comments FROM hw_board_cpnt ORDER BY snbid") == [
        ("C-1", "FPGA", "IN_USE", "rack2", None), ("C-9", "FPGA", "SPARE", "store", "spare one")]
    assert peek("SELECT COALESCE(cf.cpntname, bf.devicename), m.port_nbrfrom, COALESCE(ct.cpntname, bt.devicename), "
                "m.port_nbrto, t.lktype, m.bidirectional FROM micro_link m "
                "LEFT JOIN board_cpnt cf ON cf.cpntid = m.cpntfrom "
                "LEFT JOIN functional_device bf ON bf.deviceid = m.motherboardfrom "
                "LEFT JOIN board_cpnt ct ON ct.cpntid = m.cpntto "
                "LEFT JOIN functional_device bt ON bt.deviceid = m.motherboardto "
                "JOIN link_type t USING (linktypeid) ORDER BY m.linkid") == [
        ("fpga", 1, "pll", 0, "data", 0), ("ro01", 0, "fpga", 2, "ctl", 1)]


def test_a_failing_record_writes_nothing_of_its_batch(described, peek):
    rows = [("ro02", "9", 1, "data", "", "", "", "", "", FLAGS, ""),
            ("ro02", "8", 1, "data", "", "", "", "", "", FLAGS, ""),
            ("ro01", "0", 2, "data", "", "", "", "", "", FLAGS, "")]
    with raises_exactly("InsertMultiplePorts: record 3: port 0 (way 2, type 'data') of 'ro01' already exists"):
        batch(described.InsertMultiplePorts, rows)
    assert peek("SELECT COUNT(*) FROM port WHERE port_nbr IN ('8', '9')") == [(0,)]
    with raises_exactly("InsertMultiplePorts: no batch is open: its first record comes with first = 1"):
        described.InsertMultiplePorts(*rows[0], 0, 1)


def test_one_batch_at_a_time(described, peek):
    batch(described.InsertMultiplePorts, [("ro02", "5", 2, "", "", "", "", "", "", FLAGS, ""),
                                          ("sw01", "5", 1, "", "", "", "", "", "", FLAGS, "")])
    described.InsertMultipleMacroLinks("ro02", "sw01", "5", "5", "", "", "data", 0, "", 1, 0)
    with raises_exactly("InsertPort: a batch of InsertMultipleMacroLinks is open (1 record): close it with "
                        "last = 1 (or disconnect to discard it) before another operation"):
        described.InsertPort("ro02", "6", "", 2, "", "", "", "", "", FLAGS, "", 1)
    # The open batch goes on; its first record was checked, the last one fails it.
    with raises_exactly("InsertMultipleMacroLinks: record 2: no device named 'nobody'"):
        described.InsertMultipleMacroLinks("nobody", "sw01", "0", "1", "", "", "data", 0, "", 0, 1)
    assert peek("SELECT COUNT(*) FROM macro_link") == [(len(LINKS) + 1,)]
    assert peek("SELECT COUNT(*) FROM port WHERE port_nbr = '6'") == [(0,)]
    # Single inserts gather until last_rows = 1.
    described.InsertSimpleLinkType("lk1", 0)
    described.InsertSimpleLinkType("lk2", 0)
    assert peek("SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'lk%'") == [(0,)]
    described.InsertSimpleLinkType("lk3", 1)
    assert peek("SELECT COUNT(*) FROM link_type WHERE lktype LIKE 'lk%'") == [(3,)]


@pytest.mark.parametrize("call, message", [
    (lambda db: db.InsertFunctionalDevice("", "NO_ROWS_SELECTED_rack7", "PC", 0, 0, "", "", "", "", "", "", 1),
     "InsertFunctionalDevice: a device name cannot begin with NO_ROWS_SELECTED, the answer of a query that finds "
     "nothing: 'NO_ROWS_SELECTED_rack7'"),
    (lambda db: db.InsertSubsystem("NO_ROWS_SELECTED", ""),
     "InsertSubsystem: a subsystem name cannot begin with NO_ROWS_SELECTED, the answer of a query that finds "
     "nothing: 'NO_ROWS_SELECTED'"),
    (lambda db: db.UpdateMultipleDevNamesDevices("pc01", "NO_ROWS_SELECTED!", 1, 1),
     "UpdateMultipleDevNamesDevices: record 1: the new name cannot begin with NO_ROWS_SELECTED, the answer of a "
     "query that finds nothing: 'NO_ROWS_SELECTED!'"),
])
def test_no_name_can_pass_for_an_empty_answer(described, call, message):
    with raises_exactly(message):
        call(described)
    assert list(described.GetDeviceNamesPerType("PC")) == ["pc01"]


def test_texts_that_are_not_utf8_are_refused_and_answers_are_always_utf8(described, testdb):
    with raises_exactly("InsertFunctionalDevice: a device name is not valid UTF-8: 'bad\ufffdname'"):
        described.InsertFunctionalDevice("", b"bad\xffname", "PC", 0, 0, "", "", "", "", "", "", 1)
    with raises_exactly("InsertFunctionalDevice: a text argument is not valid UTF-8"):
        described.InsertFunctionalDevice("", "pc02", "PC", 0, 0, "", "", "", "", b"\xc3(", "", 1)
    with raises_exactly("GetDeviceRow_devicename: a text argument is not valid UTF-8"):
        described.GetDeviceRow_devicename(b"pc\xff")
    # Bytes another program stored come back as U+FFFD, and the rest of the list with them.
    if testdb.backend == "sqlite":
        testdb.rows("UPDATE functional_device SET devicename = CAST(X'7063ff3031' AS TEXT) WHERE devicename = 'pc01'")
        assert list(described.GetDeviceNamesPerType("PC")) == ["pc\ufffd01"]
        (deviceid,), = testdb.rows("SELECT deviceid FROM functional_device WHERE devicetypeid = "
                                   "(SELECT devicetypeid FROM device_type WHERE devicetype = 'PC')")
        assert described.GetDeviceName_deviceid(deviceid) == "pc\ufffd01"


def test_a_nul_inside_a_list_element_ends_the_element(described, peek):
    assert described.InsertTestFunctionalDevice(
        "sw01", str_vec(["10.0.0.9\x0010.6.6.6"]), str_vec(["255.0.0.0"]), str_vec(["n1\x00evil"]),
        str_vec(["t9\x00t10"]), str_vec([]), int_vec([1]), 1) == "Successful insertion"
    assert peek("SELECT ipaddress, ipname FROM ip_info WHERE ipaddress LIKE '10.0.0.%' OR ipaddress LIKE '10.6%' ORDER BY 1") == [
        ("10.0.0.1", "sw01"), ("10.0.0.9", "n1")]
    assert peek("SELECT COUNT(*) FROM port WHERE port_nbr IN ('t9', 't10')") == [(1,)]

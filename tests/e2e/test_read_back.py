"""Every row, lookup, integer-list, string-list and loader query, read back
through the module from a small installation written with the module's
inserts into a temporary SQLite file."""
import json
import re

import pytest

import libketralpython

NO_ROWS = "NO_ROWS_SELECTED"

def script_value(value):
    """A list as the module takes it (port flags: an IntVec)."""
    if isinstance(value, list):
        vec = libketralpython.IntVec()
        vec.extend(value)
        return vec
    return value


def batch(method, records):
    """Every record through one batch of `method` (first = 1 ... last = 1)."""
    for k, record in enumerate(records):
        method(*map(script_value, record), 1 if k == 0 else 0, 1 if k == len(records) - 1 else 0)


def install(kt):
    """The installation, described with the module's inserts; the ids the
    queries are asked about follow from the order of the records."""
    for name, parent in [("DAQ", ""), ("DAQ_RO", "DAQ"), ("TFC", "")]:
        kt.InsertSubsystem(name, parent)
    for k, name in enumerate(["readout", "switching", "DHCP"]):
        kt.InsertSimpleDeviceFunction(name, int(k == 2))
    batch(kt.InsertMultipleDeviceTypes, [
        ("DAQ_RO", "READOUT", 0, 2, "readout board", "#1f77b4"),
        ("DAQ", "SWITCH", 2, 1, "switch", ""),
        ("TFC", "NODE", 1, 0, "", "")])
    # system_list, devicename, devicetype, dnode, promiscuous_mode, serialnb, hwtype, responsible, location,
    # comments, function_list
    batch(kt.InsertMultipleFunctionalDevices, [
        ("DAQ_RO", "ro01", "READOUT", 0, 1, "HW-RO-1", "ro_board", "ana", "rack1", 'says "hi"', "readout"),
        ("DAQ_RO", "ro02", "READOUT", 0, 1, "", "", "ana", "rack1", "", ""),
        ("DAQ", "sw01", "SWITCH", 1, 0, "HW-SW-1", "switch", "ben", "rack1", "", "switching,DHCP"),
        ("TFC", "node01", "NODE", 0, 1, "HW-BROKEN", "psu_old", "ben", "farm", "", "")])
    # hwname, hwtype, serialnb, responsible, location, comments
    batch(kt.InsertMultipleSpareDevices, [
        ("spare ro", "ro_board", "HW-SP-1", "ana", "store room", "tested"),
        ("spare psu", "psu", "HW-SP-2", "ben", "store room", ""),
        ("lab ro", "ro_board", "HW-SP-3", "ana", "lab", ""),
        ("new psu", "psu_old", "HW-NODE", "ben", "lab", "")])
    # HW-NODE takes node01's position; HW-BROKEN goes to repair (spare no more).
    kt.SwapTwoDevices("node01", "HW-NODE", "IN_REPAIR: fan broken")
    # devicename, port_nbr, port_way, port_type, bia, ipname, ipaddress, macaddress, subnet,
    # [speed, admin_status, pxi_booting], phy
    batch(kt.InsertMultiplePorts, [
        ("ro01", "0", 2, "data", "aa:00", "", "", "aa:00:00:00:00:01", "", [1000, 1, 0], "SX"),
        ("ro01", "1", 2, "data", "", "", "", "", "", [1000, 1, 0], "SX"),
        ("ro02", "0", 2, "data", "", "", "", "", "", [1000, 1, 0], ""),
        ("sw01", "1", 1, "data", "", "", "", "", "", [1000, 1, 0], ""),
        ("sw01", "2", 1, "data", "", "", "", "", "", [1000, 1, 0], ""),
        ("sw01", "u0", 2, "", "", "sw01", "10.0.0.1", "bb:00:00:00:00:01", "255.255.255.0", [10000, 1, 1], "LR"),
        ("node01", "0", 1, "", "", "node01", "10.0.0.9", "", "255.255.255.0", [10000, 0, 0], "")])
    # serialnb, port_nbr, port_way, port_type, bia, macaddress
    batch(kt.InsertMultipleSparePorts, [
        ("HW-SP-1", "0", 2, "data", "cc:00", "cc:00:00:00:00:01"),
        ("HW-SP-1", "1", 2, "data", "cc:01", "cc:00:00:00:00:02")])
    batch(kt.InsertMultipleSimpleLinkTypes, [("data",), ("uplink",)])
    batch(kt.InsertMultipleCompositeLinkTypes, [("mixed", "data,uplink")])
    # node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto, lktype, bidirectional, link_info
    batch(kt.InsertMultipleMacroLinks, [
        ("ro01", "sw01", "0", "1", "data", "data", "data", 0, ""),
        ("ro01", "sw01", "1", "2", "data", "data", "data", 0, "fibre A"),
        ("sw01", "node01", "u0", "0", "", "", "uplink", 1, "trunk|1")])
    # cpntname, cpnttype, replacable, motherboardname, serialnb, hwtype, responsible, location, comments
    batch(kt.InsertMultipleBoardCpnts, [
        ("sw01-fpga", "FPGA", 1, "sw01", "C-1", "FPGA", "ben", "rack1", ""),
        ("sw01-pll", "PLL", 0, "sw01", "", "", "", "", ""),
        ("", "FPGA", 0, "none", "C-2", "FPGA", "ben", "store room", ""),
        ("", "PLL", 0, "none", "C-DUP", "PLL", "ben", "lab", ""),
        ("", "PLL", 0, "none", "C-DUP", "PLL2", "ben", "lab", "second")])
    batch(kt.InsertMultipleMicroLinks, [("sw01-fpga", "sw01-pll", 1, 2, "data", 0), ("sw01", "sw01-fpga", 5, 3, "data", 1)])
    batch(kt.InsertMultipleBootImages, [("node01", "boot.img", "vmlinuz", "initrd.img", "/srv/boot", "tftp")])
    batch(kt.InsertMultipleIPAliases, [("10.0.0.1", "", "sw01-mgmt"), ("10.0.0.1", "", "gateway"),
                                      ("10.0.0.9", "", "n1")])
    kt.UpdateMultipleLkUsedLinks("ro01", "sw01", "1", "data", "2", "data", 0, 1, 1)


def add_nodes(kt, names, location="farm", comments=""):
    """More devices of type NODE, in one batch."""
    batch(kt.InsertMultipleFunctionalDevices,
          [("TFC", name, "NODE", 0, 1, "", "", "ben", location, comments, "") for name in names])


@pytest.fixture
def kt(db):
    """The KETRAL of a database holding the installation."""
    db.CreateTableSchema()
    install(db)
    return db


def raises_exactly(message):
    return pytest.raises(RuntimeError, match="^" + re.escape(message) + "$")


# ---- row queries ---------------------------------------------------------------

ROWS = [
    ("GetDeviceTypeRow", ("READOUT",),
     {"devicetypeid": 1, "devicetype": "READOUT", "nbrofinput": 0, "nbrofoutput": 2, "description": "readout board",
      "rgbcolor": "#1f77b4", "system_list": "DAQ_RO"}),
    ("GetDeviceRow_devicename", ("sw01",),
     {"deviceid": 3, "devicename": "sw01", "devicetypeid": 2, "devicetype": "SWITCH", "dnode": 1,
      "promiscuous_mode": 0, "serialid": 2, "serialnb": "HW-SW-1", "hwtype": "switch", "responsible": "ben",
      "location": "rack1", "comments": None, "system_list": "DAQ", "function_list": "DHCP,switching"}),
    ("GetDeviceRow_deviceid", (2,),
     {"deviceid": 2, "devicename": "ro02", "devicetypeid": 1, "devicetype": "READOUT", "dnode": 0,
      "promiscuous_mode": 1, "serialid": None, "serialnb": None, "hwtype": None, "responsible": "ana",
      "location": "rack1", "comments": None, "system_list": "DAQ_RO", "function_list": ""}),
    ("GetBootImageRow_devicename", ("node01",),
     {"deviceid": 4, "devicename": "node01", "boot_image": "boot.img", "kernel_image": "vmlinuz",
      "initrd_image": "initrd.img", "physical_location": "/srv/boot", "boot_protocol": "tftp"}),
    ("GetBoardCpntRow_cpntname", ("sw01-fpga",),
     {"cpntid": 1, "cpntname": "sw01-fpga", "cpnttype": "FPGA", "replacable": 1, "motherboardid": 3,
      "motherboardname": "sw01", "snbid": 1, "serialnb": "C-1", "hwtype": "FPGA"}),
    ("GetBoardCpntRow_cpntid", (2,),
     {"cpntid": 2, "cpntname": "sw01-pll", "cpnttype": "PLL", "replacable": 0, "motherboardid": 3,
      "motherboardname": "sw01", "snbid": None, "serialnb": None, "hwtype": None}),
    ("GetHWCpntRow_serialnb", ("C-1",),
     {"snbid": 1, "serialnb": "C-1", "hwtype": "FPGA", "status": "IN_USE", "responsible": "ben", "location": "rack1",
      "comments": None, "cpntid": 1, "cpntname": "sw01-fpga"}),
    ("GetHWCpntRow_snbid", (4,),
     {"snbid": 4, "serialnb": "C-DUP", "hwtype": "PLL2", "status": "SPARE", "responsible": "ben", "location": "lab",
      "comments": "second", "cpntid": None, "cpntname": None}),
    ("GetHWDeviceRow_serialnb", ("HW-RO-1",),
     {"serialid": 1, "serialnb": "HW-RO-1", "hwname": None, "hwtype": "ro_board", "status": "IN_USE",
      "responsible": "ana", "location": "rack1", "comments": None, "deviceid": 1, "devicename": "ro01"}),
    ("GetIPAliasRow", ("gateway",),
     {"aliasid": 2, "ipalias": "gateway", "ipid": 1, "ipaddress": "10.0.0.1", "ipname": "sw01",
      "subnet": "255.255.255.0"}),
    ("GetPortRow_pid", (6,),
     {"portid": 6, "deviceid": 3, "devicename": "sw01", "port_nbr": "u0", "port_way": 2, "port_type": "",
      "speed": 10000, "admin_status": 1, "pxi_booting": 1, "phy": "LR", "bia": None,
      "macaddress": "bb:00:00:00:00:01", "ipid": 1, "ipaddress": "10.0.0.1", "subnet": "255.255.255.0",
      "ipname": "sw01"}),
    ("GetPortRow_devid", (1, "0", 2, "data"),
     {"portid": 1, "deviceid": 1, "devicename": "ro01", "port_nbr": "0", "port_way": 2, "port_type": "data",
      "speed": 1000, "admin_status": 1, "pxi_booting": 0, "phy": "SX", "bia": "aa:00",
      "macaddress": "aa:00:00:00:00:01", "ipid": None, "ipaddress": None, "subnet": None, "ipname": None}),
    ("GetSparePortRow_snb", ("HW-SP-1", "0", 2, "data"),
     {"spareportid": 1, "serialid": 4, "serialnb": "HW-SP-1", "port_nbr": "0", "port_way": 2, "port_type": "data",
      "bia": "cc:00", "macaddress": "cc:00:00:00:00:01"}),
    ("GetMacroConnectivityRow_lkid", (3,),
     {"linkid": 3, "portidfrom": 6, "deviceidfrom": 3, "node_from": "sw01", "port_nbrfrom": "u0", "port_wayfrom": 2,
      "port_typefrom": "", "portidto": 7, "deviceidto": 4, "node_to": "node01", "port_nbrto": "0", "port_wayto": 1,
      "port_typeto": "", "linktypeid": 2, "lktype": "uplink", "bidirectional": 1, "lkused": 1,
      "link_info": "trunk|1"}),
    ("GetMicroConnectivityRow_lkid", (2,),
     {"linkid": 2, "cpntfrom": None, "motherboardfrom": 3, "node_from": "sw01", "port_nbrfrom": 5, "cpntto": 1,
      "motherboardto": None, "node_to": "sw01-fpga", "port_nbrto": 3, "linktypeid": 1, "lktype": "data",
      "bidirectional": 1, "lkused": 1}),
    ("GetIPInfoRow", ("10.0.0.9",),
     {"ipid": 2, "ipaddress": "10.0.0.9", "subnet": "255.255.255.0", "ipname": "node01", "portid": 7,
      "deviceid": 4, "devicename": "node01", "port_nbr": "0"}),
    ("GetLkTypeRow_lkname", ("mixed",), {"linktypeid": 3, "lktype": "mixed", "link_list": "data,uplink"}),
    ("GetLkTypeRow_lknb", (1,), {"linktypeid": 1, "lktype": "data", "link_list": None}),
]

# A key of every row query that names nothing.
ROWS_MISSING = [
    ("GetDeviceTypeRow", ("NOPE",)), ("GetDeviceRow_devicename", ("nope",)), ("GetDeviceRow_deviceid", (99,)),
    ("GetBootImageRow_devicename", ("ro01",)), ("GetBoardCpntRow_cpntname", ("x",)),
    ("GetBoardCpntRow_cpntid", (0,)), ("GetHWCpntRow_serialnb", ("C-404",)), ("GetHWCpntRow_snbid", (-1,)),
    ("GetHWDeviceRow_serialnb", ("",)), ("GetIPAliasRow", ("sw01",)), ("GetPortRow_pid", (99,)),
    ("GetPortRow_devid", (1, "0", 2, "")), ("GetSparePortRow_snb", ("HW-SP-1", "0", 1, "data")),
    ("GetMacroConnectivityRow_lkid", (9,)), ("GetMicroConnectivityRow_lkid", (9,)), ("GetIPInfoRow", ("10.0.0.2",)),
    ("GetLkTypeRow_lkname", ("Data",)), ("GetLkTypeRow_lknb", (99,)),
    ("GetMacroConnectivityRow_node", (4, "0", 2, "")), ("GetMicroConnectivityRow_node", (2, 2, 2)),
]


class TestRows:
    @pytest.mark.parametrize("method, args, record", ROWS, ids=[r[0] for r in ROWS])
    def test_record(self, kt, method, args, record):
        text = getattr(kt, method)(*args)
        assert json.loads(text) == record
        assert list(json.loads(text)) == list(record)  # keys in column order

    @pytest.mark.parametrize("method, args", ROWS_MISSING, ids=[r[0] for r in ROWS_MISSING])
    def test_nothing_found(self, kt, method, args):
        with raises_exactly(NO_ROWS):
            getattr(kt, method)(*args)

    @pytest.mark.parametrize("args, linkid", [
        ((3, "u0", 2, ""), 3),     # the link leaving an output port
        ((4, "0", 1, ""), 3),      # the link reaching an input port
        ((3, "2", 1, "data"), 2),
    ])
    def test_macro_link_at_a_port(self, kt, args, linkid):
        assert json.loads(kt.GetMacroConnectivityRow_node(*args))["linkid"] == linkid

    @pytest.mark.parametrize("args, linkid", [((1, 1, 2), 1), ((2, 2, 1), 1), ((1, 3, 1), 2)])
    def test_micro_link_at_a_component_port(self, kt, args, linkid):
        assert json.loads(kt.GetMicroConnectivityRow_node(*args))["linkid"] == linkid

    @pytest.mark.parametrize("method, args", [("GetMacroConnectivityRow_node", (3, "u0", 3, "")),
                                              ("GetMicroConnectivityRow_node", (1, 1, 0))])
    def test_port_way_must_be_in_or_out(self, kt, method, args):
        with raises_exactly(f"{method}: port_way must be 1 (input) or 2 (output), not {args[2]}"):
            getattr(kt, method)(*args)

    def test_ambiguous_component_serial_number_is_refused(self, kt):
        with raises_exactly("GetHWCpntRow_serialnb: 2 board components have serial number 'C-DUP'; "
                            "ask by snbid (GetHWCpntRow_snbid)"):
            kt.GetHWCpntRow_serialnb("C-DUP")

    def test_texts_are_escaped_and_utf8_kept(self, kt):
        comment = 'quote " backslash \\ tab \t newline \n bell \x07 é 漢'
        add_nodes(kt, ["node-text"], comments=comment)
        text = kt.GetDeviceRow_devicename("node-text")
        assert json.loads(text)["comments"] == comment
        assert "é 漢" in text and "\\u0007" in text

    def test_record_larger_than_the_first_buffer(self, kt):
        comment = "x" * 5000
        add_nodes(kt, ["node-long"], comments=comment)
        assert json.loads(kt.GetDeviceRow_devicename("node-long"))["comments"] == comment


# ---- lookups ---------------------------------------------------------------------

class TestLookups:
    @pytest.mark.parametrize("method, args, answer", [
        ("GetDeviceName_deviceid", (3,), "sw01"),
        ("GetCpntName_cpntid", (2,), "sw01-pll"),
        ("GetDeviceID_devicename", ("node01",), 4),
        ("GetCpntID_cpntname", ("sw01-fpga",), 1),
        ("GetPortID_portinfo", (3, "u0", "", 2), 6),
        ("GetPortID_portinfo", (1, "1", "data", 2), 2),
    ])
    def test_found(self, kt, method, args, answer):
        assert getattr(kt, method)(*args) == answer

    @pytest.mark.parametrize("method, args, message", [
        ("GetDeviceName_deviceid", (99,), "no device with id 99"),
        ("GetCpntName_cpntid", (7,), "no board component with id 7"),
        ("GetDeviceID_devicename", ("sw99",), "no device named 'sw99'"),
        ("GetCpntID_cpntname", ("",), "no board component named ''"),
        ("GetPortID_portinfo", (3, "u0", "data", 2), "device 3 has no port 'u0' (way 2, type 'data')"),
    ])
    def test_not_found_fails_naming_the_key(self, kt, method, args, message):
        with raises_exactly(f"{method}: {message}"):
            getattr(kt, method)(*args)

    def test_name_too_long_for_the_name_buffer_fails(self, kt):
        add_nodes(kt, ["n" * 1000, "m" * 999])
        with raises_exactly("GetDeviceName_deviceid: the answer needs 1001 bytes, the buffer holds 1000"):
            kt.GetDeviceName_deviceid(5)
        assert kt.GetDeviceName_deviceid(6) == "m" * 999


# ---- integer lists ---------------------------------------------------------------

INT_LISTS = [
    ("GetPortIDPerDevID", (3,), [4, 5, 6]),
    ("GetDeviceIDsPerType", ("READOUT",), [1, 2]),
    ("GetLkFromDevID", (1,), [1, 2]),
    ("GetLkToDevID", (3,), [1, 2]),
    ("GetLkFromDevID", (3,), [3]),
    ("GetMicroLkFromCpntID", (1, 0), [1]),
    ("GetMicroLkFromCpntID", (3, 1), [2]),
    ("GetMicroLkToCpntID", (1, 0), [2]),
    ("GetMicroLkToCpntID", (2, 0), [1]),
    ("GetLkIDsPerLkInfo", ("fibre A",), [2]),
    ("GetLkIDsPerLkInfo", ("",), [1]),
]
INT_LISTS_EMPTY = [
    ("GetPortIDPerDevID", (99,)), ("GetDeviceIDsPerType", ("NODE_X",)), ("GetLkFromDevID", (4,)),
    ("GetLkToDevID", (1,)), ("GetMicroLkFromCpntID", (2, 0)), ("GetMicroLkToCpntID", (3, 1)),
    ("GetLkIDsPerLkInfo", ("fibre",)),
]


class TestIntLists:
    @pytest.mark.parametrize("method, args, ids", INT_LISTS)
    def test_ids(self, kt, method, args, ids):
        assert list(getattr(kt, method)(*args)) == ids

    @pytest.mark.parametrize("method, args", INT_LISTS_EMPTY)
    def test_empty(self, kt, method, args):
        with raises_exactly(NO_ROWS):
            getattr(kt, method)(*args)

    @pytest.mark.parametrize("method", ["GetMicroLkFromCpntID", "GetMicroLkToCpntID"])
    def test_option_is_component_or_motherboard(self, kt, method):
        with raises_exactly(f"{method}: option must be 0 (a board component id) or 1 (a motherboard device id), "
                            "not 2"):
            getattr(kt, method)(1, 2)

    def test_more_ids_than_the_first_array(self, kt):
        batch(kt.InsertMultiplePorts, [("ro02", str(n), 1, "bulk", "", "", "", "", "", [0, 1, 0], "")
                                       for n in range(1500)])
        ids = list(kt.GetPortIDPerDevID(2))
        assert len(ids) == 1501 and ids == sorted(ids)


# ---- string lists ------------------------------------------------------------------

def spare(serialid, serialnb, hwname, hwtype, location, responsible, comments):
    return {"serialid": serialid, "serialnb": serialnb, "hwname": hwname, "hwtype": hwtype, "location": location,
            "responsible": responsible, "comments": comments}


def spare_cpnt(snbid, serialnb, hwtype, location, comments=None):
    return {"snbid": snbid, "serialnb": serialnb, "hwtype": hwtype, "location": location, "responsible": "ben",
            "comments": comments}


SP1 = spare(4, "HW-SP-1", "spare ro", "ro_board", "store room", "ana", "tested")
SP2 = spare(5, "HW-SP-2", "spare psu", "psu", "store room", "ben", None)
SP3 = spare(6, "HW-SP-3", "lab ro", "ro_board", "lab", "ana", None)

STRING_LISTS = [
    ("GetDeviceNamesPerType", ("READOUT",), ["ro01", "ro02"]),
    ("GetFreeDeviceNamesPerType", ("READOUT",), ["ro02"]),
    ("GetDeviceNamesPerLocation", ("rack1",), ["ro01", "ro02", "sw01"]),
    ("GetDeviceNamesPerFunction", ("switching",), ["sw01"]),
    ("GetBoardCpntPerType", ("PLL",), ["sw01-pll"]),
    ("GetCpntNamesPerBoard", ("sw01",), ["sw01-fpga", "sw01-pll"]),
    ("GetIPAliasesPerIPName", ("sw01",), ["gateway", "sw01-mgmt"]),
    ("GetAvailableFunctions", (), ["DHCP", "readout", "switching"]),
    ("GetListOfSubsystems", (), ["DAQ", "DAQ_RO", "TFC"]),
    ("GetSpareHWTypeList", (), ["psu", "ro_board"]),
    ("GetLkTypeDecomposition_lknb", (3,), ["data", "uplink"]),
    ("GetLkTypeDecomposition_lknb", (2,), ["uplink"]),          # a simple type is made of itself
]
RECORD_LISTS = [
    ("GetSpareHWPerLocation", ("store room",), [SP1, SP2]),
    ("GetSpareHWPerType", ("ro_board",), [SP1, SP3]),
    ("GetSpareHWCpntPerLocation", ("lab",), [spare_cpnt(3, "C-DUP", "PLL", "lab"),
                                             spare_cpnt(4, "C-DUP", "PLL2", "lab", "second")]),
    ("GetSpareHWCpntPerType", ("FPGA",), [spare_cpnt(2, "C-2", "FPGA", "store room")]),
    ("GetPortInfoPerSpare", ("HW-SP-1",), [
        {"spareportid": 1, "port_nbr": "0", "port_way": 2, "port_type": "data", "bia": "cc:00",
         "macaddress": "cc:00:00:00:00:01"},
        {"spareportid": 2, "port_nbr": "1", "port_way": 2, "port_type": "data", "bia": "cc:01",
         "macaddress": "cc:00:00:00:00:02"}]),
    ("GetMacIPAddPerDevID", (1,), [
        {"portid": 1, "port_nbr": "0", "port_way": 2, "port_type": "data", "macaddress": "aa:00:00:00:00:01",
         "bia": "aa:00", "ipaddress": None, "subnet": None, "ipname": None}]),
    ("GetMacIPAddPerDevID", (4,), [
        {"portid": 7, "port_nbr": "0", "port_way": 1, "port_type": "", "macaddress": None, "bia": None,
         "ipaddress": "10.0.0.9", "subnet": "255.255.255.0", "ipname": "node01"}]),
]
STRING_LISTS_EMPTY = [
    ("GetDeviceNamesPerType", ("read",)), ("GetFreeDeviceNamesPerType", ("SWITCH",)),
    ("GetDeviceNamesPerLocation", ("rack",)), ("GetDeviceNamesPerFunction", ("DNS",)),
    ("GetBoardCpntPerType", ("fpga",)), ("GetCpntNamesPerBoard", ("ro01",)), ("GetSpareHWPerLocation", ("rack1",)),
    ("GetSpareHWCpntPerLocation", ("store",)), ("GetSpareHWPerType", ("psu_old",)),
    ("GetSpareHWCpntPerType", ("CPU",)), ("GetPortInfoPerSpare", ("HW-SP-2",)), ("GetIPAliasesPerIPName", ("x",)),
    ("GetLkTypeDecomposition_lknb", (99,)), ("GetMacIPAddPerDevID", (2,)),
]


class TestStringLists:
    @pytest.mark.parametrize("method, args, items", STRING_LISTS)
    def test_names(self, kt, method, args, items):
        assert list(getattr(kt, method)(*args)) == items

    @pytest.mark.parametrize("method, args, items", RECORD_LISTS)
    def test_records(self, kt, method, args, items):
        assert [json.loads(item) for item in getattr(kt, method)(*args)] == items

    @pytest.mark.parametrize("method, args", STRING_LISTS_EMPTY)
    def test_empty(self, kt, method, args):
        with raises_exactly(NO_ROWS):
            getattr(kt, method)(*args)

    @pytest.mark.parametrize("method", ["GetAvailableFunctions", "GetListOfSubsystems", "GetSpareHWTypeList"])
    def test_empty_tables(self, db, method):
        db.CreateTableSchema()
        with raises_exactly(NO_ROWS):
            getattr(db, method)()

    def test_free_devices_count_links_in_both_directions(self, kt):
        # node01 only receives a link: it is not free.
        assert list(kt.GetDeviceNamesPerType("NODE")) == ["node01"]
        with raises_exactly(NO_ROWS):
            kt.GetFreeDeviceNamesPerType("NODE")
        add_nodes(kt, ["node02"])
        batch(kt.InsertMultiplePorts, [("node02", "0", 1, "", "", "", "", "", "", [0, 1, 0], "")])
        assert list(kt.GetFreeDeviceNamesPerType("NODE")) == ["node02"]

    def test_list_larger_than_the_first_buffer(self, kt):
        names = [f"bulk-device-{n:06d}" for n in range(3000)]  # 3000 * 19 bytes > 50000
        add_nodes(kt, names, location="hall")
        assert list(kt.GetDeviceNamesPerLocation("hall")) == names


# ---- table loaders -----------------------------------------------------------------

CONNECTIVITY = [
    "1|1|3|0:out:data|1:in:data|0|1|1|",
    "2|1|3|1:out:data|2:in:data|0|0|1|fibre A",
    "3|3|4|u0:out|0:in|1|1|2|trunk|1",
]


class TestLoaders:
    @pytest.mark.parametrize("selector, rows", [
        ("", CONNECTIVITY), ("ALL", CONNECTIVITY),
        ("DAQ", CONNECTIVITY),        # DAQ_RO is inside DAQ
        ("DAQ_RO", CONNECTIVITY[:2]),
        ("TFC", CONNECTIVITY[2:]),    # a link touching the subsystem
    ])
    def test_connectivity(self, kt, selector, rows):
        assert list(kt.LoadConnectivityTable(selector)) == rows

    @pytest.mark.parametrize("selector, rows", [
        ("ALL", ["1|ro01", "2|ro02", "3|sw01", "4|node01"]),
        ("DAQ", ["1|ro01", "2|ro02", "3|sw01"]),
        ("DAQ_RO", ["1|ro01", "2|ro02"]),
    ])
    def test_devices(self, kt, selector, rows):
        assert list(kt.MatchDeviceIDDeviceName(selector)) == rows

    @pytest.mark.parametrize("selector, rows", [
        ("", ["1|READOUT", "2|SWITCH", "3|NODE"]),
        ("DAQ", ["1|READOUT", "2|SWITCH"]),
        ("TFC", ["3|NODE"]),
    ])
    def test_device_types(self, kt, selector, rows):
        assert list(kt.LoadDeviceTypeTable(selector)) == rows

    def test_link_types(self, kt):
        assert list(kt.LoadLinkTypeTable()) == ["1|data", "2|uplink", "3|mixed"]

    @pytest.mark.parametrize("method", ["LoadConnectivityTable", "MatchDeviceIDDeviceName", "LoadDeviceTypeTable"])
    def test_unknown_subsystem_is_refused(self, kt, method):
        with raises_exactly(f"{method}: no subsystem named 'DAQ_X'"):
            getattr(kt, method)("DAQ_X")

    @pytest.mark.parametrize("method, args", [("LoadConnectivityTable", ("ALL",)), ("MatchDeviceIDDeviceName", ("",)),
                                              ("LoadDeviceTypeTable", ("",)), ("LoadLinkTypeTable", ())])
    def test_empty_tables_give_empty_lists(self, db, method, args):
        db.CreateTableSchema()
        assert list(getattr(db, method)(*args)) == []

    def test_more_name_bytes_than_the_first_buffer(self, kt):
        names = [f"long-device-name-{n:05d}" for n in range(3000)]  # 3000 * 23 bytes > 50000, 3004 rows
        add_nodes(kt, names)
        rows = list(kt.MatchDeviceIDDeviceName("TFC"))
        assert rows == ["4|node01"] + [f"{5 + k}|{name}" for k, name in enumerate(names)]

    def test_more_rows_than_the_first_arrays(self, kt):
        add_nodes(kt, [f"n{n:05d}" for n in range(10500)])
        rows = list(kt.MatchDeviceIDDeviceName("ALL"))
        assert len(rows) == 10504 and rows[-1] == "10504|n10499"

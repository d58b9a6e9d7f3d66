"""Changing an installation through the module on the real library: every
batched and single update, the swaps, the deletes, the status, assignment,
listing and history queries, the life of one board, and processes killed
in the middle of a change."""
import datetime
import json
import os
import re
import signal
import sqlite3
import subprocess
import sys
import textwrap
import time

import pytest

import libketralpython

from calls import batch, int_vec  # noqa: E402

UPDATED = "Successful update"
DELETED = "Successful deletion "
NO_ROWS = "NO_ROWS_SELECTED"


FLAGS = int_vec([1000, 1, 0])  # speed, admin_status, pxi_booting


def raises_exactly(message):
    return pytest.raises(RuntimeError, match="^" + re.escape(message) + "$")


def install(kt):
    """Readout boards ro01 (linked to sw01) and ro02 (no hardware yet), switches
    sw01 -> sw02, spares, a board component on sw01, addresses, a boot image."""
    kt.CreateTableSchema()
    kt.InsertSubsystem("DAQ", "")
    kt.InsertSubsystem("TFC", "")
    kt.InsertSubsystem("UNUSED", "")
    kt.InsertSimpleDeviceFunction("DHCP", 0)
    kt.InsertSimpleDeviceFunction("NFS", 1)
    batch(kt.InsertMultipleSimpleLinkTypes, [("data",), ("ctl",)])
    kt.InsertCompositeLinkType("mixed", "data,ctl", 1)
    batch(kt.InsertMultipleDeviceTypes, [("DAQ", "SWITCH", 4, 4, "", ""), ("DAQ", "READOUT", 0, 2, "", "")])
    batch(kt.InsertMultipleSpareDevices, [("board", "switch", "HW-B1", "ana", "store", "bought"),
                                          ("spare", "switch", "HW-SP1", "ana", "store", ""),
                                          ("old", "psu", "HW-SP2", "ben", "store room", "")])
    kt.InsertSparePort("HW-SP1", "1", 1, "data", "b-sp", "aa:00:00:00:00:09", 1)
    batch(kt.InsertMultipleFunctionalDevices, [
        ("", "sw01", "SWITCH", 0, 1, "HW-B1", "", "ana", "rack1", "installed", "DHCP"),
        ("", "sw02", "SWITCH", 0, 1, "HW-SW02", "switch", "ana", "rack2", "", ""),
        ("", "ro01", "READOUT", 0, 1, "HW-RO01", "ro", "ben", "rack1", "", ""),
        ("", "ro02", "READOUT", 0, 1, "", "", "", "rack1", "", "")])
    batch(kt.InsertMultiplePorts, [
        ("ro01", "0", 2, "data", "b-ro", "", "", "", "", FLAGS, ""),
        ("sw01", "1", 1, "data", "b-s1", "", "", "aa:00:00:00:00:01", "", FLAGS, ""),
        ("sw01", "2", 2, "data", "", "", "", "", "", FLAGS, ""),
        ("sw02", "1", 1, "data", "", "", "", "", "", FLAGS, ""),
        ("sw02", "u0", 2, "", "", "sw02", "10.0.0.2", "", "255.255.255.0", FLAGS, ""),
        ("ro02", "0", 2, "data", "", "ro02", "10.0.0.9", "", "255.255.255.0", FLAGS, "")])
    batch(kt.InsertMultipleMacroLinks, [("ro01", "sw01", "0", "1", "data", "data", "data", 0, "fibre"),
                                        ("sw01", "sw02", "2", "1", "data", "data", "data", 0, "")])
    batch(kt.InsertMultipleBoardCpnts, [("sw01-fpga", "FPGA", 1, "sw01", "C-1", "", "ana", "rack1", ""),
                                        ("", "FPGA", 1, "none", "C-SP", "", "ana", "store", ""),
                                        ("", "PLL", 1, "none", "C-1", "", "ana", "store", "same number")])
    batch(kt.InsertMultipleMicroLinks, [("sw01", "sw01-fpga", 1, 2, "data", 0)])
    batch(kt.InsertMultipleBootImages, [("ro01", "boot.img", "vmlinuz", "initrd", "/srv/boot", "tftp")])
    batch(kt.InsertMultipleIPAliases, [("10.0.0.2", "", "gw")])


@pytest.fixture
def kt(db):
    install(db)
    return db


def record(text):
    return json.loads(text)


def subset(record_text, expected):
    got = record(record_text)
    return {k: got[k] for k in expected} == expected


def history(entries):
    return [(e["serialnb"], e.get("devicename", e.get("cpntname")), e["status"], e["comments"])
            for e in map(json.loads, entries)]


TABLES = ["subsystem", "device_function", "device_type", "device_type_system", "hardware_device", "functional_device",
          "device_system", "functional_device_function", "ip_info", "ip_alias", "port", "spare_port", "link_type",
          "link_type_member", "macro_link", "hw_board_cpnt", "board_cpnt", "micro_link", "boot_image", "history"]


def snapshot(peek):
    """Every row of every table."""
    return {t: sorted(map(repr, peek(f"SELECT * FROM {t}"))) for t in TABLES}


LINK = ("ro01", "sw01", "0", "data", "1", "data")

# method, records, the query that reads the change back, its arguments, what it must show
BATCHED = [
    ("UpdateMultiplePorts", [("sw01", "1", 1, "data", 10000, "LR", 1), ("sw01", "2", 2, "data", 0, "", 0)],
     "GetPortRow_pid", (2,), {"speed": 10000, "phy": "LR", "pxi_booting": 1, "bia": "b-s1"}),
    ("UpdateMultipleAttributeMacIPs", [("10.0.0.2", "255.255.0.0", "core")],
     "GetIPInfoRow", ("10.0.0.2",), {"subnet": "255.255.0.0", "ipname": "core"}),
    # The second record takes the address the first one gave up.
    ("UpdateMultipleIPAddresses", [("10.0.0.2", "10.0.1.2"), ("10.0.0.9", "10.0.0.2")],
     "GetIPAliasRow", ("gw",), {"ipaddress": "10.0.1.2", "ipname": "sw02"}),
    ("UpdateMultipleCompositeLinkTypes", [("mixed", "ctl")], "GetLkTypeRow_lkname", ("mixed",), {"link_list": "ctl"}),
    ("UpdateMultipleLinkTypeNames", [("data", "payload")], "GetLkTypeRow_lkname", ("mixed",),
     {"link_list": "ctl,payload"}),
    ("UpdateMultipleDeviceTypeAttributes", [("SWITCH", "core switch", 8, 6, "#00ff00")], "GetDeviceTypeRow",
     ("SWITCH",), {"description": "core switch", "nbrofinput": 8, "nbrofoutput": 6, "rgbcolor": "#00ff00"}),
    ("UpdateMultipleDeviceTypes", [("READOUT", "RO")], "GetDeviceRow_devicename", ("ro01",), {"devicetype": "RO"}),
    ("UpdateMultipleAttributesDevices", [("ro01", 1, 0, "rack9", "NFS,DHCP")], "GetDeviceRow_devicename", ("ro01",),
     {"dnode": 1, "promiscuous_mode": 0, "location": "rack9", "function_list": "DHCP,NFS"}),
    ("UpdateMultipleDevNamesDevices", [("ro01", "ro11"), ("ro02", "ro01")], "GetBootImageRow_devicename", ("ro11",),
     {"boot_image": "boot.img"}),
    ("UpdateMultipleDTypeDevices", [("ro02", "SWITCH")], "GetDeviceRow_devicename", ("ro02",),
     {"devicetype": "SWITCH"}),
    ("UpdateMultipleDeviceSystemList", [("ro02", "TFC,DAQ")], "GetDeviceRow_devicename", ("ro02",),
     {"system_list": "DAQ,TFC"}),
    ("UpdateMultipleDeviceTypeSystemList", [("SWITCH", "TFC")], "GetDeviceTypeRow", ("SWITCH",),
     {"system_list": "TFC"}),
    ("UpdateMultipleBidirectionalLinks", [LINK + (1,)], "GetMacroConnectivityRow_lkid", (1,), {"bidirectional": 1}),
    ("UpdateMultipleLkUsedLinks", [LINK + (0,)], "GetMacroConnectivityRow_lkid", (1,), {"lkused": 0}),
    ("UpdateMultipleLkTypeLinks", [LINK + ("ctl",)], "GetMacroConnectivityRow_lkid", (1,), {"lktype": "ctl"}),
    ("UpdateMultipleLkInfoLinks", [LINK + ("copper",)], "GetMacroConnectivityRow_lkid", (1,), {"link_info": "copper"}),
]


@pytest.mark.parametrize("method, rows, query, args, shown", BATCHED, ids=[b[0] for b in BATCHED])
def test_batched_update(kt, method, rows, query, args, shown):
    assert batch(getattr(kt, method), rows) == [UPDATED] * len(rows)
    assert subset(getattr(kt, query)(*args), shown)


def test_a_failed_batch_leaves_nothing_and_names_its_record(kt, peek):
    before = snapshot(peek)
    kt.UpdateMultipleDevNamesDevices("ro01", "ro11", 1, 0)
    kt.UpdateMultipleDevNamesDevices("sw01", "core01", 0, 0)
    with raises_exactly("UpdateMultipleDevNamesDevices: record 3: device 'sw02' already exists"):
        kt.UpdateMultipleDevNamesDevices("ro02", "sw02", 0, 1)
    assert snapshot(peek) == before
    with raises_exactly("UpdateMultipleDevNamesDevices: no batch is open: its first record comes with first = 1"):
        kt.UpdateMultipleDevNamesDevices("ro02", "ro03", 0, 1)


SINGLE = [
    ("UpdateBootImage", ("ro01", "b2.img", "vmlinuz2", "", "/srv/b2", "pxe"), "GetBootImageRow_devicename", ("ro01",),
     {"boot_image": "b2.img", "kernel_image": "vmlinuz2", "initrd_image": None, "boot_protocol": "pxe"}),
    ("UpdateIPalias", ("gw", "gateway"), "GetIPAliasRow", ("gateway",), {"ipaddress": "10.0.0.2"}),
    ("UpdateHWSerialNB", ("HW-SW02", "HW-SW2B"), "GetDeviceRow_devicename", ("sw02",), {"serialnb": "HW-SW2B"}),
    ("UpdateDeviceFunctionName", ("DHCP", "dhcp4"), "GetDeviceRow_devicename", ("sw01",), {"function_list": "dhcp4"}),
    ("UpdateSubsystemName", ("DAQ", "DAQ2"), "GetDeviceTypeRow", ("READOUT",), {"system_list": "DAQ2"}),
]


@pytest.mark.parametrize("method, args, query, query_args, shown", SINGLE, ids=[s[0] for s in SINGLE])
def test_single_update(kt, method, args, query, query_args, shown):
    assert getattr(kt, method)(*args) == UPDATED
    assert subset(getattr(kt, query)(*query_args), shown)


REFUSED = [
    ("UpdateBootImage", ("sw01", "", "", "", "", ""),
     "UpdateBootImage: device 'sw01' has no boot images (InsertMultipleBootImages gives them)"),
    ("UpdateIPalias", ("nope", "x"), "UpdateIPalias: no IP alias named 'nope'"),
    ("UpdateHWSerialNB", ("HW-SW02", "HW-B1"), "UpdateHWSerialNB: hardware 'HW-B1' already exists"),
    ("UpdateDeviceFunctionName", ("NFS", "DHCP"), "UpdateDeviceFunctionName: device function 'DHCP' already exists"),
    ("UpdateSubsystemName", ("TFC", "A|B"), "UpdateSubsystemName: '|' is not allowed in the new name: 'A|B'"),
    ("DeleteFunctionalDeviceType", ("SWITCH",), "DeleteFunctionalDeviceType: device type 'SWITCH' is the type of "
                                                "devices 'sw01', 'sw02': delete them or change their type first"),
    ("DeleteHWDevice", ("HW-B1",), "DeleteHWDevice: hardware 'HW-B1' is in use in device 'sw01': take it out first "
                                   "(SwapTwoDevices)"),
    ("DeleteSystemName", ("DAQ",), "DeleteSystemName: subsystem 'DAQ' is in the system list of devices 'ro01', "
                                   "'ro02', 'sw01', 'sw02'"),
    ("DeleteBootImage", ("sw01",), "DeleteBootImage: device 'sw01' has no boot images"),
    ("DeleteIPAlias", ("nope",), "DeleteIPAlias: no IP alias 'nope'"),
    ("DeleteLinkRow", (7, 0), "DeleteLinkRow: no macro link with id 7"),
    ("DeleteFunctionalDevice", (0,), "DeleteFunctionalDevice: no device with id 0"),
    ("SwapTwoDevices", ("sw01", "HW-SW02", ""), "SwapTwoDevices: hardware 'HW-SW02' fills device 'sw02': give that "
                                                "device's name to exchange the hardware of the two"),
]


@pytest.mark.parametrize("method, args, message", REFUSED, ids=[r[0] for r in REFUSED])
def test_refusals_leave_everything_in_place(kt, peek, method, args, message):
    before = snapshot(peek)
    with raises_exactly(message):
        getattr(kt, method)(*args)
    assert snapshot(peek) == before


def test_refused_port_deletion_names_the_link(kt, peek):
    (portid,) = peek("SELECT portid FROM port WHERE port_nbr = '1' AND port_way = 1 AND "
                     "deviceid = (SELECT deviceid FROM functional_device WHERE devicename = 'sw01')")[0]
    with raises_exactly(f"DeletePortRow: port 1 (way 1, type 'data') of 'sw01' carries link 1 from port 0 "
                        f"(way 2, type 'data') of 'ro01': delete the link first (DeleteLinkRow)"):
        kt.DeletePortRow(portid)
    assert kt.DeleteLinkRow(1, 0) == DELETED
    assert kt.DeletePortRow(portid) == DELETED
    assert peek("SELECT COUNT(*) FROM port WHERE portid = ?", portid) == [(0,)]


def test_deletes(kt, peek):
    (free_port,) = peek("SELECT portid FROM port WHERE port_nbr = 'u0'")[0]
    assert kt.DeleteLinkRow(1, 1) == DELETED
    assert kt.DeleteIPAlias("gw") == DELETED
    # The port's address goes with it: no other port has it.
    assert kt.DeletePortRow(free_port) == DELETED
    assert kt.DeleteSystemName("UNUSED") == DELETED
    assert kt.DeleteBootImage("ro01") == DELETED
    assert kt.DeleteHWDevice("HW-SP2") == DELETED
    assert peek("SELECT (SELECT COUNT(*) FROM micro_link), (SELECT COUNT(*) FROM subsystem), "
                "(SELECT COUNT(*) FROM boot_image), (SELECT COUNT(*) FROM ip_alias), "
                "(SELECT COUNT(*) FROM ip_info WHERE ipaddress = '10.0.0.2')") == [(0, 2, 0, 0, 0)]
    # Deleted hardware: no status any more, its history kept with a last entry.
    assert kt.GetHWDeviceStatus("HW-SP2") == NO_ROWS
    assert history(kt.GetHistoryOfHWDevice("HW-SP2", "", ""))[-1] == ("HW-SP2", None, "SPARE", "hardware deleted")
    assert kt.DeleteFunctionalDevice(kt.GetDeviceID_devicename("ro02")) == DELETED
    assert kt.DeleteFunctionalDevice(kt.GetDeviceID_devicename("ro01")) == DELETED
    assert kt.DeleteFunctionalDeviceType("READOUT") == DELETED
    assert peek("SELECT devicetype FROM device_type") == [("SWITCH",)]


def test_deleting_a_device_takes_its_parts_and_frees_its_hardware(kt, peek):
    assert kt.GetConnOutBetweenDeviceDeviceType("ro01", "sw", 0, 0, 0)[0].startswith("sw01|")
    assert kt.DeleteFunctionalDevice(kt.GetDeviceID_devicename("sw01")) == DELETED
    assert peek("SELECT (SELECT COUNT(*) FROM macro_link), (SELECT COUNT(*) FROM micro_link), "
                "(SELECT COUNT(*) FROM board_cpnt), (SELECT COUNT(*) FROM port WHERE deviceid NOT IN "
                "(SELECT deviceid FROM functional_device))") == [(0, 0, 0, 0)]
    assert kt.GetHWDeviceStatus("HW-B1") == "SPARE"
    assert kt.GetHWBoardCpntStatus("C-1", peek("SELECT snbid FROM hw_board_cpnt WHERE hwtype = 'FPGA' "
                                               "AND serialnb = 'C-1'")[0][0]) == "SPARE"
    # Its addresses went with the hardware.
    assert peek("SELECT s.port_nbr, s.bia, s.macaddress FROM spare_port s JOIN hardware_device h USING (serialid) "
                "WHERE h.serialnb = 'HW-B1'") == [("1", "b-s1", "aa:00:00:00:00:01")]
    assert list(kt.GetConnOutBetweenDeviceDeviceType("ro01", "sw", 0, 0, 0)) == []
    # The position is gone; its history is not.
    assert kt.GetFunctionalDeviceStatus("sw01") == NO_ROWS
    assert kt.GetFunctionalDeviceLastHW("sw01") == "HW-B1"
    assert history(kt.GetHistoryOfFunctionalDevice("sw01", "", ""))[-1] == \
        ("HW-B1", "sw01", "SPARE", "device 'sw01' deleted")


def test_the_life_of_one_board(kt, peek):
    # Installed: registered as a spare, then taken by sw01.
    assert kt.GetHWDeviceStatus("HW-B1") == "IN_USE"
    assert kt.GetFunctionalDeviceLastHW("sw01") == "HW-B1"
    # Swapped with a spare, and sent to repair.
    assert kt.SwapTwoDevices("sw01", "HW-SP1", "IN_REPAIR: fan noise") == UPDATED
    assert (kt.GetHWDeviceStatus("HW-B1"), kt.GetHWDeviceStatus("HW-SP1")) == ("IN_REPAIR", "IN_USE")
    assert kt.GetFunctionalDeviceStatus("sw01") == "IN_USE"
    assert kt.GetHWLastFunctionalDevice("HW-B1") == "sw01"
    assert kt.GetFunctionalDeviceLastHW("sw01") == "HW-SP1"
    assert [record(r)["serialnb"] for r in kt.GetHWDeviceByStatus("IN_REPAIR", "")] == ["HW-B1"]
    # The spare's address replaced the board's on the port; the board keeps its own.
    assert subset(kt.GetPortRow_pid(2), {"bia": "b-sp", "macaddress": "aa:00:00:00:00:09"})
    # Repaired, and back in.
    assert kt.SwapTwoDevices("sw01", "HW-B1", "repaired") == UPDATED
    assert (kt.GetHWDeviceStatus("HW-B1"), kt.GetHWDeviceStatus("HW-SP1")) == ("IN_USE", "SPARE")
    assert subset(kt.GetPortRow_pid(2), {"bia": "b-s1", "macaddress": "aa:00:00:00:00:01"})
    assert history(kt.GetHistoryOfHWDevice("HW-B1", "", "")) == [
        ("HW-B1", None, "SPARE", "bought"),
        ("HW-B1", "sw01", "IN_USE", "installed"),
        ("HW-B1", "sw01", "IN_REPAIR", "IN_REPAIR: fan noise"),
        ("HW-B1", "sw01", "IN_USE", "repaired")]
    assert history(kt.GetHistoryOfFunctionalDevice("sw01", "", "")) == [
        ("HW-B1", "sw01", "IN_USE", "installed"),
        ("HW-B1", "sw01", "IN_REPAIR", "IN_REPAIR: fan noise"),
        ("HW-SP1", "sw01", "IN_USE", "fan noise"),
        ("HW-SP1", "sw01", "SPARE", "repaired"),
        ("HW-B1", "sw01", "IN_USE", "repaired")]
    # Dates bound the entries; a date is checked.
    today = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    assert len(kt.GetHistoryOfHWDevice("HW-B1", today[:7], today)) == 4
    with raises_exactly(NO_ROWS):
        kt.GetHistoryOfHWDevice("HW-B1", "", "2001-12")
    # A bound is whole fields, each in range; anything else is refused by name.
    for bad in ("last week", "2026-13", "2026-3", "2026-02-30", "2026-03-05T24", "2026-03-05T10:60",
                "2026-03-05T10:00:60", "2026-03-05T1", " 2026", "2026-03Z"):
        with raises_exactly(f"GetHistoryOfHWDevice: the earliest date '{bad}' is not a date: give whole fields of "
                            "YYYY-MM-DDTHH:MM:SSZ from the start, each in range (YYYY, YYYY-MM, YYYY-MM-DD, "
                            "YYYY-MM-DDTHH, YYYY-MM-DDTHH:MM, YYYY-MM-DDTHH:MM:SS, then Z)"):
            kt.GetHistoryOfHWDevice("HW-B1", bad, "")
    for good in ("2024-02-29", "2026-03-05 10", "2026-03-05T23:59:59Z"):
        with raises_exactly(NO_ROWS):
            kt.GetHistoryOfHWDevice("HW-B1", "", good[:4].replace("2026", "2001") + good[4:])


@pytest.mark.parametrize("comment", ["IN_REPIER: CRC errors", "in_repair: CRC errors", "Spare", "DESTROYD",
                                     "TSET run 4"])
def test_a_comment_that_misspells_a_status_is_refused_and_changes_nothing(kt, comment):
    word = comment.split(":")[0].split(" ")[0]
    with raises_exactly(f"SwapTwoDevices: the comment begins with '{word}', which is not a status word (IN_USE, "
                        "SPARE, IN_REPAIR, DESTROYED, TEST): write the status exactly as it stands, or begin the "
                        "comment with another word"):
        kt.SwapTwoDevices("sw01", "HW-SP1", comment)
    assert (kt.GetHWDeviceStatus("HW-B1"), kt.GetHWDeviceStatus("HW-SP1")) == ("IN_USE", "SPARE")


def test_a_status_word_followed_by_a_blank_gives_the_status(kt):
    assert kt.SwapTwoDevices("sw01", "HW-SP1", "TEST run 4") == UPDATED
    assert (kt.GetHWDeviceStatus("HW-B1"), kt.GetHWDeviceStatus("HW-SP1")) == ("TEST", "IN_USE")
    assert history(kt.GetHistoryOfHWDevice("HW-SP1", "", ""))[-1] == ("HW-SP1", "sw01", "IN_USE", "run 4")


def test_two_devices_exchange_their_hardware(kt):
    assert kt.SwapTwoDevices("sw01", "sw02", "moved") == UPDATED
    assert (record(kt.GetDeviceRow_devicename("sw01"))["serialnb"],
            record(kt.GetDeviceRow_devicename("sw02"))["serialnb"]) == ("HW-SW02", "HW-B1")
    assert history(kt.GetHistoryOfHWDevice("HW-SW02", "", ""))[-1] == ("HW-SW02", "sw01", "IN_USE", "moved")
    assert kt.GetHWLastFunctionalDevice("HW-B1") == "sw02"
    assert subset(kt.GetPortRow_pid(2), {"bia": None, "macaddress": None})  # HW-SW02's port 1 had none


def test_status_and_assignment_of_board_components(kt, peek):
    fpga, pll = (peek("SELECT snbid FROM hw_board_cpnt WHERE serialnb = 'C-1' AND hwtype = ?", t)[0][0]
                 for t in ("FPGA", "PLL"))
    with raises_exactly(f"GetHWBoardCpntStatus: 2 pieces of component hardware have the serial number 'C-1' "
                        f"(snbid {fpga}, {pll}): give its snbid as key_number"):
        kt.GetHWBoardCpntStatus("C-1", 0)
    assert (kt.GetHWBoardCpntStatus("C-1", fpga), kt.GetHWBoardCpntStatus("C-1", pll)) == ("IN_USE", "SPARE")
    assert kt.GetHWBoardCpntStatus("C-SP", 0) == "SPARE"
    assert kt.GetHWBoardCpntStatus("C-1", 999) == NO_ROWS
    assert kt.GetFunctionalBoardCpntStatus("sw01-fpga") == "IN_USE"
    assert kt.GetHWLastFunctionalBoardCpntName("C-1", fpga) == "sw01-fpga"
    assert kt.GetHWLastFunctionalBoardCpntName("C-SP", 0) == NO_ROWS
    assert kt.GetFunctionalBoardCpntNameLastHW("sw01-fpga") == "C-1"
    assert [(e["snbid"], e["status"]) for e in map(json.loads, kt.GetHistoryOfHWBoardCpnt("C-1", 0, "", ""))] == [
        (fpga, "IN_USE"), (pll, "SPARE")]
    assert [e["comments"] for e in map(json.loads, kt.GetHistoryOfHWBoardCpnt("C-1", pll, "", ""))] == ["same number"]
    assert history(kt.GetHistoryOfFunctionalBoardCpntName("sw01-fpga", "", "")) == [("C-1", "sw01-fpga", "IN_USE", None)]
    assert [(r["serialnb"], r["cpntname"]) for r in map(json.loads, kt.GetHWBoardCpntByStatus("SPARE"))] == [
        ("C-1", None), ("C-SP", None)]


LISTINGS = [
    ("GetHWDeviceByStatus", ("SPARE", "store"), "serialnb", ["HW-SP1", "HW-SP2"]),
    ("GetHWDeviceByStatus", ("SPARE", "store "), "serialnb", ["HW-SP2"]),
    ("GetHWDeviceByStatus", ("IN_USE", ""), "serialnb", ["HW-B1", "HW-RO01", "HW-SW02"]),
    ("GetFunctionalDeviceByStatus", ("IN_USE", "rack1"), "devicename", ["ro01", "sw01"]),
    ("GetFunctionalDeviceByStatus", ("NO_HARDWARE", ""), "devicename", ["ro02"]),
    ("GetHWBoardCpntByStatus", ("IN_USE",), "cpntname", ["sw01-fpga"]),
]


@pytest.mark.parametrize("method, args, key, names", LISTINGS)
def test_status_listings(kt, method, args, key, names):
    assert [json.loads(item)[key] for item in getattr(kt, method)(*args)] == names


def test_status_queries_answer_a_word_or_no_rows(kt):
    assert kt.GetFunctionalDeviceStatus("ro02") == "NO_HARDWARE"
    assert kt.GetFunctionalDeviceStatus("nope") == NO_ROWS
    assert kt.GetHWLastFunctionalDevice("HW-SP2") == NO_ROWS
    with raises_exactly(NO_ROWS):
        kt.GetHWDeviceByStatus("DESTROYED", "")
    with raises_exactly("GetHWDeviceByStatus: unknown status 'BROKEN' (one of IN_USE, SPARE, IN_REPAIR, DESTROYED, "
                        "TEST)"):
        kt.GetHWDeviceByStatus("BROKEN", "")


# ---- processes killed in the middle of a change ---------------------------------------------------

# A child that opens a batch of 200 port updates and then, by its mode, leaves
# it open, closes it, or swaps a device; it says "ready" before its last call
# and "done" after it.
CHILD = textwrap.dedent("""
    import sys, time
    import libketralpython
    kt = libketralpython.KETRAL(sys.argv[1], "", "")
    kt.DBConnexion()
    mode = sys.argv[2]
    if mode != "swap":
        for i in range(200):
            kt.UpdateMultiplePorts("sw01", "1", 1, "data", i + 1, "LR", 1, int(i == 0), 0)
    print("ready", flush=True)
    if mode == "close":
        kt.UpdateMultiplePorts("sw01", "2", 2, "data", 5, "", 0, 0, 1)
    elif mode == "swap":
        kt.SwapTwoDevices("sw01", "HW-SP1", "killed")
    print("done", flush=True)
    time.sleep(60)
""")


def run_child(db_path, mode, locked):
    """Runs the child; while `locked`, its writes wait for a lock held here.
    The child is killed (SIGKILL) once ready (locked) or done (not locked)."""
    lock = sqlite3.connect(db_path, isolation_level=None)
    if locked:
        lock.execute("BEGIN IMMEDIATE")
    child = subprocess.Popen([sys.executable, "-c", CHILD, db_path, mode], stdout=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "ready\n"
        if locked:
            time.sleep(0.5)  # the child's write is waiting for the lock now
        else:
            assert child.stdout.readline() == "done\n"
        child.send_signal(signal.SIGKILL)
        assert child.wait(10) == -signal.SIGKILL
    finally:
        if child.poll() is None:
            child.kill()
            child.wait(10)
        child.stdout.close()
        if lock.in_transaction:
            lock.execute("ROLLBACK")
        lock.close()


@pytest.mark.sqlite_only
@pytest.mark.parametrize("mode", ["open", "close", "swap"])
def test_a_process_killed_in_a_change_leaves_nothing_of_it(kt, db_path, peek, mode):
    kt.DBDeconnexion()
    before = snapshot(peek)
    run_child(db_path, mode, locked=True)
    assert snapshot(peek) == before
    # The database is usable.
    assert kt.DBConnexion() == 0
    assert kt.UpdateMultiplePorts("sw01", "1", 1, "data", 7, "", 0, 1, 1) == UPDATED
    assert record(kt.GetPortRow_pid(2))["speed"] == 7
    assert kt.SwapTwoDevices("sw01", "HW-SP1", "") == UPDATED


@pytest.mark.sqlite_only
@pytest.mark.parametrize("mode", ["close", "swap"])
def test_a_child_left_to_finish_its_change_writes_it(kt, db_path, peek, mode):
    kt.DBDeconnexion()
    before = snapshot(peek)
    run_child(db_path, mode, locked=False)
    assert snapshot(peek) != before

"""An installation described through the package, read back as Python
objects: records, lookups, lists, tables, status and history."""
from ketraldb import INPUT, OUTPUT, DeviceIdName, LinkRow, LinkTypeIdName, PortRef


def test_records_are_dicts_and_a_missing_record_is_none(site):
    sw01 = site.device("sw01")
    assert sw01["devicename"] == "sw01" and sw01["devicetype"] == "SWITCH" and sw01["serialnb"] == "SW-0001"
    assert sw01["location"] == "rack A2" and sw01["system_list"] == "DAQ"
    assert site.device_by_id(sw01["deviceid"]) == sw01
    assert site.device("ro01")["function_list"] == "readout"
    assert site.device("node01")["dnode"] == 1
    assert site.device("sw99") is None and site.device_by_id(999) is None
    assert site.device_type("NODE")["system_list"] == "FARM"
    assert site.hardware("RO-9999")["status"] == "SPARE"
    port = site.port("sw01", "9", OUTPUT, "data")
    assert port["speed"] == 1000 and site.port_by_id(port["portid"]) == port
    assert site.port(sw01["deviceid"], "9", OUTPUT, "data") == port
    assert site.port("sw01", "9", INPUT, "data") is None
    link = site.link_at("sw01", "p", OUTPUT, "data")
    assert (link["node_from"], link["node_to"], link["bidirectional"]) == ("sw01", "sw02", 1)
    assert site.link_by_id(link["linkid"]) == link
    assert site.link_type("peer")["link_list"] is None and site.link_type_by_id(999) is None


def test_lookups_answer_names_and_ids(site):
    sw01 = site.device_id("sw01")
    assert site.device_name(sw01) == "sw01"
    port = site.port_id("sw01", "9", OUTPUT, "data")
    assert site.port_by_id(port)["port_nbr"] == "9"
    assert sorted(site.port_ids("sw01")) == site.port_ids(sw01) and port in site.port_ids("sw01")
    assert site.link_ids_from("ro01") == [site.link_at("ro01", "0", OUTPUT, "data")["linkid"]]
    assert len(site.link_ids_to("sw01")) == 2
    assert site.link_ids_with_info("fibre 2") == [site.link_at("ro02", "0", OUTPUT, "data")["linkid"]]
    assert site.link_ids_with_info("no such text") == []


def test_lists_answer_python_lists_and_empty_ones_when_nothing_is_found(site):
    assert site.device_names_of_type("SWITCH") == ["sw01", "sw02"]
    assert site.device_names_of_type("NOTHING") == []
    assert site.device_ids_of_type("NODE") == sorted(site.device_ids_of_type("NODE"))
    assert site.device_names_at("rack B1") == ["node01", "node02"]
    assert site.device_names_with_function("readout") == ["ro01"]
    assert site.functions() == ["readout"]
    assert site.subsystems() == ["DAQ", "FARM"]
    assert site.spare_hardware_types() == ["readout"]
    assert [h["serialnb"] for h in site.spare_hardware_of_type("readout")] == ["RO-9999"]
    assert site.spare_hardware_at("store room")[0]["hwname"] == "spare readout"
    assert site.link_type_members("data") == ["data"] == site.link_type_members(site.link_type("data")["linktypeid"])
    assert site.free_device_names_of_type("SWITCH") == []


def test_whole_tables_are_named_tuples_with_the_reference_s_column_names(site):
    links = site.links()
    assert len(links) == 5 and all(isinstance(link, LinkRow) for link in links)
    first = links[0]
    assert first.deviceidfrom == site.device_id("ro01") and first.deviceidto == site.device_id("sw01")
    assert first.port_from == PortRef("0", OUTPUT, "data") and str(first.port_to) == "1:in:data"
    assert (first.bidirectional, first.lkused, first.link_info) == (0, 1, "fibre 1")
    assert [link.linkid for link in site.links("FARM")] == [links[3].linkid, links[4].linkid]
    assert DeviceIdName(site.device_id("node02"), "node02") in site.device_ids()
    assert [t.devicetype for t in site.device_types()] == ["READOUT", "SWITCH", "NODE"]
    assert [t.devicetype for t in site.device_types("FARM")] == ["NODE"]
    assert site.link_types()[:2] == [LinkTypeIdName(site.link_type("data")["linktypeid"], "data"),
                                     LinkTypeIdName(site.link_type("peer")["linktypeid"], "peer")]


def test_status_swap_and_history(site):
    assert site.device_status("ro01") == "IN_USE" and site.hardware_status("RO-9999") == "SPARE"
    assert site.device_status("nobody") is None and site.hardware_last_device("nothing") is None
    site.swap("ro01", "RO-9999", "IN_REPAIR: link errors")
    assert site.device_last_hardware("ro01") == "RO-9999"
    assert site.hardware_status("RO-0001") == "IN_REPAIR"
    assert site.hardware_last_device("RO-0001") == "ro01"
    assert [h["serialnb"] for h in site.hardware_by_status("IN_REPAIR")] == ["RO-0001"]
    assert [d["devicename"] for d in site.devices_by_status("IN_USE", "rack A")] == ["ro01", "ro02", "sw01", "sw02"]
    history = site.hardware_history("RO-0001")
    assert [(h["status"], h["devicename"]) for h in history] == [("IN_USE", "ro01"), ("IN_REPAIR", "ro01")]
    assert history[-1]["comments"] == "IN_REPAIR: link errors"
    assert [h["serialnb"] for h in site.device_history("ro01")] == ["RO-0001", "RO-0001", "RO-9999"]
    assert site.device_history("ro01", "2999") == [] and site.hardware_history("nothing") == []


def test_boards_components_and_their_hardware(site):
    with site.batch("board_components") as components:
        components.add("ro01/fpga", "FPGA", "ro01", serialnb="FP-1", replacable=True)
        components.add("ro01/optics", "OPTICS", "ro01")
        components.add("spare fpga", "FPGA", "none", serialnb="FP-2", location="store room")
    assert site.component_names_on("ro01") == ["ro01/fpga", "ro01/optics"]
    assert site.component_names_of_type("FPGA") == ["ro01/fpga"]
    fpga = site.board_component("ro01/fpga")
    assert fpga["serialnb"] == "FP-1" and site.board_component_by_id(fpga["cpntid"]) == fpga
    assert site.component_name(fpga["cpntid"]) == "ro01/fpga" and site.component_id("ro01/fpga") == fpga["cpntid"]
    hardware = site.component_hardware("FP-1")
    assert hardware["cpntname"] == "ro01/fpga" and site.component_hardware_by_id(hardware["snbid"]) == hardware
    assert site.component_status("ro01/fpga") == "IN_USE" and site.component_status("ro01/optics") == "NO_HARDWARE"
    assert site.component_hardware_status("FP-2") == "SPARE"
    assert site.component_last_hardware("ro01/fpga") == "FP-1"
    assert site.component_hardware_last_component("FP-1") == "ro01/fpga"
    assert [c["serialnb"] for c in site.spare_component_hardware_of_type("FPGA")] == ["FP-2"]
    assert [c["serialnb"] for c in site.spare_component_hardware_at("store room")] == ["FP-2"]
    assert [c["serialnb"] for c in site.component_hardware_by_status("IN_USE")] == ["FP-1"]
    assert [h["status"] for h in site.component_hardware_history("FP-1")] == ["IN_USE"]
    assert [h["serialnb"] for h in site.component_history("ro01/fpga")] == ["FP-1"]


def test_addresses_aliases_boot_images_and_spare_ports(site):
    site.insert_port("node01", "ipmi", INPUT, ipaddress="10.1.0.1", ipname="node01-ipmi", subnet="255.255.0.0",
                     macaddress="00:11:22:33:44:55")
    site.insert_ip_alias("bmc01", ipaddress="10.1.0.1")
    assert site.ip_alias("bmc01")["ipaddress"] == "10.1.0.1"
    assert site.ip_aliases_of("node01-ipmi") == ["bmc01"]
    assert site.ip_info("10.1.0.1")["devicename"] == "node01"
    assert [a["macaddress"] for a in site.mac_ip_addresses("node01")] == ["00:11:22:33:44:55"]
    site.rename_ip_alias("bmc01", "bmc-node01")
    site.update_ip_attributes("10.1.0.1", "255.255.255.0", "node01-bmc")
    site.change_ip_address("10.1.0.1", "10.1.0.2")
    assert site.ip_alias("bmc-node01")["ipname"] == "node01-bmc" and site.ip_info("10.1.0.2")["subnet"] == "255.255.255.0"
    site.delete_ip_alias("bmc-node01")
    assert site.ip_alias("bmc-node01") is None

    site.insert_boot_images("node01", "/boot/farm.img", kernel_image="/boot/vmlinuz")
    assert site.boot_images("node01")["kernel_image"] == "/boot/vmlinuz"
    site.update_boot_images("node01", "/boot/farm2.img", "/boot/vmlinuz", "", "", "pxe")
    assert site.boot_images("node01")["boot_protocol"] == "pxe"
    site.delete_boot_images("node01")
    assert site.boot_images("node01") is None

    site.insert_spare_port("RO-9999", "0", OUTPUT, "B1:A", "00:aa:bb:cc:dd:ee", port_type="data")
    assert site.spare_port("RO-9999", "0", OUTPUT, "data")["bia"] == "B1:A"
    assert [p["port_nbr"] for p in site.spare_ports("RO-9999")] == ["0"]

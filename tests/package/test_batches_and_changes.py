"""Batches as context managers, and the changes of one record: updates,
renames, deletions."""
import pytest

import ketraldb
from ketraldb import INPUT, OUTPUT, KetralError


def test_a_batch_writes_its_records_together_when_the_block_ends(kdb, peek):
    kdb.insert_device_type("SWITCH")
    with kdb.batch("devices") as devices:
        for i in range(5):
            devices.add(f"sw{i:02}", "SWITCH", location="rack 1")
        assert len(devices) == 5
        # sent one call behind: nothing is written before the block ends
        assert peek("SELECT count(*) FROM functional_device") == [(0,)]
    assert kdb.device_names_of_type("SWITCH") == ["sw00", "sw01", "sw02", "sw03", "sw04"]
    assert "closed" in repr(devices)
    with pytest.raises(KetralError, match="batch is closed"):
        devices.add("sw09", "SWITCH")


def test_a_batch_of_one_record_an_empty_batch_and_a_kind_named_by_its_single_method(kdb):
    with kdb.batch("insert_simple_link_type") as types:
        types.add("data")
    with kdb.batch("simple_link_types"):
        pass
    with kdb.batch("functions") as functions:  # the one insert without a batched function
        functions.add("readout")
        functions.add("control")
    assert [t.lktype for t in kdb.link_types()] == ["data"]
    assert kdb.functions() == ["control", "readout"]
    with pytest.raises(ValueError, match="unknown kind 'switches'"):
        kdb.batch("switches")


def test_a_block_that_raises_writes_nothing_and_the_connection_goes_on(kdb):
    kdb.insert_device_type("SWITCH")
    with pytest.raises(ZeroDivisionError):
        with kdb.batch("devices") as devices:
            devices.add("sw01", "SWITCH")
            devices.add("sw02", "SWITCH")
            devices.add("sw03", "SWITCH")
            1 / 0
    assert kdb.device_names_of_type("SWITCH") == []
    kdb.insert_device("sw04", "SWITCH")  # no batch is left open
    assert kdb.device_names_of_type("SWITCH") == ["sw04"]


def test_a_refused_record_ends_the_batch_and_writes_nothing_of_it(kdb):
    kdb.insert_device_type("SWITCH")
    with pytest.raises(KetralError, match=r"^InsertMultipleFunctionalDevices: record 2: no device type named 'ROUTER'"):
        with kdb.batch("devices") as devices:
            devices.add("sw01", "SWITCH")
            devices.add("sw02", "ROUTER")
            devices.add("sw03", "SWITCH")  # sends record 2, which the library refuses
            devices.add("sw04", "SWITCH")
    assert kdb.device_names_of_type("SWITCH") == []
    # a record the module refuses (its own check) in the middle of a batch
    kdb.insert_device("sw01", "SWITCH")
    with pytest.raises(KetralError, match="^port_way is equal to 1 or 2$"):
        with kdb.batch("ports") as ports:
            ports.add("sw01", "1", INPUT)
            ports.add("sw01", "2", 3)
            ports.add("sw01", "3", OUTPUT)
    assert kdb.port_ids("sw01") == []
    # a type refused at add(), before anything is sent
    with pytest.raises(TypeError, match=r"^insert_port\(\) argument 'port_nbr' must be str, not int$"):
        with kdb.batch("ports") as ports:
            ports.add("sw01", "1", INPUT)
            ports.add("sw01", 2, INPUT)
    assert kdb.port_ids("sw01") == []


def test_a_write_of_another_kind_inside_a_batch_is_refused_and_discards_the_batch(kdb):
    kdb.insert_device_type("SWITCH")
    with pytest.raises(KetralError, match="a batch of InsertMultipleFunctionalDevices is open"):
        with kdb.batch("devices") as devices:
            devices.add("sw01", "SWITCH")
            devices.add("sw02", "SWITCH")
            kdb.insert_subsystem("DAQ")
    assert kdb.device_names_of_type("SWITCH") == [] and kdb.subsystems() == []


def test_batched_updates_and_the_single_updates(site):
    with site.batch("rename_device") as renames:  # an exchange through a free name, in one transaction
        renames.add("node01", "tmp")
        renames.add("node02", "node01")
        renames.add("tmp", "node02")
    assert site.paths("sw02", "node01")[0].devices == ("sw02", "node01")
    with site.batch("update_port") as ports:
        ports.add("sw01", "9", OUTPUT, "data", 10000, "sfp+", False)
        ports.add("sw02", "9", OUTPUT, "data", 10000, "sfp+", True)
    assert [site.port(d, "9", OUTPUT, "data")["speed"] for d in ("sw01", "sw02")] == [10000, 10000]
    site.update_device("sw01", False, True, "rack C1", ["readout"])
    assert (site.device("sw01")["promiscuous_mode"], site.device("sw01")["location"]) == (1, "rack C1")
    site.set_link_info("ro01", "sw01", "0", "1", "fibre 1b", "data", "data")
    assert site.link_at("ro01", "0", OUTPUT, "data")["link_info"] == "fibre 1b"
    site.set_link_used("sw02", "node01", "9", "eth0", False, "data", "data")
    assert site.paths("sw01", "node01") == []
    site.rename_device_type("NODE", "FARMNODE")
    site.update_device_type("FARMNODE", "", 2, 0, "#00ff00")
    assert site.device_type("FARMNODE")["description"] == "FARMNODE"
    site.change_device_type("node01", "SWITCH")
    site.set_device_subsystems("node01", ["FARM"])
    site.set_device_type_subsystems("SWITCH", "DAQ,FARM")
    assert site.device("node01")["system_list"] == "FARM" and site.device_type("SWITCH")["system_list"] == "DAQ,FARM"
    site.insert_composite_link_type("both", ["data", "peer"])
    site.update_composite_link_type("both", "data")
    site.rename_link_type("both", "data only")
    assert site.link_type("data only")["link_list"] == "data"
    site.set_link_type("sw01", "sw02", "p", "p", "data", "data", "data")
    site.set_link_bidirectional("sw01", "sw02", "p", "p", False, "data", "data")
    assert site.link_at("sw01", "p", OUTPUT, "data")["bidirectional"] == 0
    site.rename_function("readout", "read-out")
    site.rename_subsystem("FARM", "HLT")
    site.change_serial_number("ND-0001", "ND-0001b")
    assert site.functions() == ["read-out"] and site.subsystems() == ["DAQ", "HLT"]
    assert site.hardware("ND-0001b")["devicename"] == "node02"


def test_deletions(site):
    link = site.link_at("sw02", "9", OUTPUT, "data")["linkid"]
    site.delete_link(link)
    assert site.link_by_id(link) is None
    port = site.port_id("sw02", "9", OUTPUT, "data")
    site.delete_port(port)
    assert site.port_by_id(port) is None
    site.delete_device("node02")
    assert site.device("node02") is None and site.hardware_status("ND-0002") == "SPARE"
    site.delete_hardware("ND-0002")
    assert site.hardware("ND-0002") is None
    site.insert_device_type("UNUSED")
    site.delete_device_type("UNUSED")
    site.insert_subsystem("EMPTY")
    site.delete_subsystem("EMPTY")
    assert site.device_type("UNUSED") is None and site.subsystems() == ["DAQ", "FARM"]
    with pytest.raises(KetralError, match="still|carries"):
        site.delete_port(site.port_id("sw01", "9", OUTPUT, "data"))


def test_a_batch_survives_no_connection_of_its_own(database):
    # a batch belongs to the library's one connection: closing discards it
    with ketraldb.connect(database) as db:
        db.create_schema()
        db.insert_device_type("SWITCH")
        devices = db.batch("devices")
        devices.add("sw01", "SWITCH")
        devices.add("sw02", "SWITCH")
        devices.discard()
        assert db.device_names_of_type("SWITCH") == []
        devices = db.batch("devices")
        devices.add("sw01", "SWITCH")
        devices.close()
        assert db.device_names_of_type("SWITCH") == ["sw01"]

"""Fixtures for the tests of the ketraldb package: the end-to-end fixtures
(tests/e2e/conftest.py) on SQLite, and the package on top.

The suite runs with PYTHONPATH=<build>/lib, where the package sits beside
the module and the real libketral.so.

``kdb``      a ketraldb.Database on the test's fresh SQLite file, with the schema;
             closed after the test.
``site``     ``kdb`` holding the small installation of ``describe_site``.
Every fixture of tests/e2e/conftest.py (``database``, ``peek``, ...) is here too.
"""
import pathlib
import sys

import pytest

_E2E = pathlib.Path(__file__).resolve().parent.parent / "e2e"
sys.path.insert(0, str(_E2E))  # for its pg_server module
from calls import load_file  # noqa: E402

_e2e = load_file("e2e_conftest", _E2E / "conftest.py")
globals().update({name: value for name, value in vars(_e2e).items()
                  if not name.startswith("__") and name != "pytest_generate_tests"})

import ketraldb  # noqa: E402
from ketraldb import INPUT, OUTPUT  # noqa: E402


def pytest_generate_tests(metafunc):
    if "backend" in metafunc.fixturenames:
        metafunc.parametrize("backend", ["sqlite"], indirect=True)


@pytest.fixture
def kdb(database):
    with ketraldb.connect(database) as db:
        db.create_schema()
        yield db


def describe_site(db):
    """A small installation:

        ro01 ro02 (readout) --> sw01 <==> sw02 (switches, bidirectional peer link)
                                 |          |
                                 v          v
                               node01     node02 (farm nodes)
    """
    db.insert_subsystem("DAQ")
    db.insert_subsystem("FARM", "DAQ")
    with db.batch("simple_link_types") as types:
        types.add("data")
        types.add("peer")
    db.insert_function("readout")
    with db.batch("device_types") as types:
        types.add("READOUT", 0, 1, "readout board", system_list=["DAQ"])
        types.add("SWITCH", 3, 3, "switch", system_list="DAQ")
        types.add("NODE", 1, 0, "farm node", system_list=("FARM",))
    with db.batch("devices") as devices:
        devices.add("ro01", "READOUT", serialnb="RO-0001", hwtype="readout", location="rack A1",
                    function_list=["readout"])
        devices.add("ro02", "READOUT", serialnb="RO-0002", hwtype="readout", location="rack A1")
        devices.add("sw01", "SWITCH", serialnb="SW-0001", location="rack A2")
        devices.add("sw02", "SWITCH", serialnb="SW-0002", location="rack A2")
        devices.add("node01", "NODE", serialnb="ND-0001", location="rack B1", dnode=True)
        devices.add("node02", "NODE", serialnb="ND-0002", location="rack B1", dnode=True)
    with db.batch("ports") as ports:
        for device, nbr, way in [("ro01", "0", OUTPUT), ("ro02", "0", OUTPUT), ("sw01", "1", INPUT),
                                 ("sw01", "2", INPUT), ("sw01", "9", OUTPUT), ("sw01", "p", OUTPUT),
                                 ("sw02", "p", INPUT), ("sw02", "9", OUTPUT), ("node01", "eth0", INPUT),
                                 ("node02", "eth0", INPUT)]:
            ports.add(device, nbr, way, "data", speed=1000)
    with db.batch("links") as links:
        links.add("ro01", "sw01", "0", "1", "data", "data", "data", link_info="fibre 1")
        links.add("ro02", "sw01", "0", "2", "data", "data", "data", link_info="fibre 2")
        links.add("sw01", "sw02", "p", "p", "peer", "data", "data", bidirectional=True)
        links.add("sw01", "node01", "9", "eth0", "data", "data", "data")
        links.add("sw02", "node02", "9", "eth0", "data", "data", "data")
    db.insert_spare_hardware("RO-9999", "readout", "spare readout", location="store room")
    return db


@pytest.fixture
def site(kdb):
    return describe_site(kdb)

"""load and export on both backends: a round trip gives the same file, a
load adds what is missing and changes what differs (never deletes), a dry
run writes nothing, and faults name the file's line."""
import contextlib
import pathlib
import subprocess
import sys

import pytest
import yaml

import ketraldb
from ketraldb import INPUT, OUTPUT


def enrich(database):
    """What describe_site lacks: a subsystem's child, a composite link type,
    a board component, addresses, a link out of use, hardware in repair."""
    with ketraldb.connect(database) as db:
        db.insert_composite_link_type("mixed", ["data", "peer"])
        db.insert_device_type("BOARD", 1, 1, "a board", rgbcolor="#ff0000")
        db.insert_device("rack01", "BOARD", serialnb="BD-1", hwtype="board", responsible="ann", comments="new")
        db.insert_port("rack01", "m", OUTPUT, ipaddress="10.0.0.7", ipname="rack01-m", subnet="255.255.255.0",
                       macaddress="aa:bb:cc:dd:ee:ff", bia="aa:bb:cc:dd:ee:00", phy="SFP", pxi_booting=True)
        db.insert_port("sw02", "8", INPUT)
        db.insert_link("rack01", "sw02", "m", "8", "mixed")
        db.set_link_used("rack01", "sw02", "m", "8", False)
        db.insert_board_component("cpu0", "cpu", "rack01", serialnb="CPU-1", hwtype="cpu", replacable=True)
        db.insert_spare_hardware("SW-9999", "switch", "old switch", location="lab")
        db.set_hardware_state("SW-9999", "IN_REPAIR", "", "fan")


def test_export_then_load_into_an_empty_database_then_export_gives_the_same_file(site, cli, tmp_path):
    enrich(site)
    status, first, err = cli("export")
    assert status == 0, err
    described = yaml.safe_load(first)
    assert [s["serial"] for s in described["spares"]] == ["RO-9999", "SW-9999"]
    assert {"name": "mixed", "members": ["data", "peer"]} in described["link_types"]
    with ketraldb.connect(site) as db:
        db.drop_schema()
    (tmp_path / "site.yaml").write_text(first)
    status, out, err = cli("load", tmp_path / "site.yaml")
    assert status == 0, err
    status, second, _ = cli("export")
    assert second == first
    # Loaded again: nothing differs, nothing is written.
    status, out, _ = cli("load", "--dry-run", tmp_path / "site.yaml")
    assert out.splitlines() == ["0 change(s) would be written"]
    with ketraldb.connect(site) as db:
        assert db.hardware("SW-9999")["status"] == "IN_REPAIR"
        assert db.link_at("rack01", "m", OUTPUT)["lkused"] == 0
        assert db.port(db.device_id("rack01"), "m", OUTPUT)["ipaddress"] == "10.0.0.7"


def test_load_adds_what_is_missing_changes_what_differs_and_never_deletes(site, cli, tmp_path):
    status, text, _ = cli("export")
    desc = yaml.safe_load(text)
    node01 = next(d for d in desc["devices"] if d["name"] == "node01")
    node01["location"] = "rack C9"
    node01["ports"][0]["speed"] = 10000
    node01["hardware"]["serial"] = "ND-7777"  # a swap: load leaves it to the swap and says so
    desc["devices"] = [d for d in desc["devices"] if d["name"] != "node02"]  # left out: stays
    desc["devices"].append({"name": "node03", "type": "NODE", "dnode": True,
                            "ports": [{"nbr": "eth0", "way": "in", "type": "data"}]})
    desc["links"] = [lk for lk in desc["links"] if lk["to"] != "node02"]
    desc["links"].append({"from": "sw02", "from_port": "9", "from_type": "data", "to": "node02", "to_port": "eth0",
                          "to_type": "data", "type": "data", "info": "relabelled"})
    desc["spares"][0]["location"] = "store room 2"
    desc["device_types"].append({"name": "RACK"})  # the library describes it by its name
    path = tmp_path / "changed.yaml"
    path.write_text(yaml.safe_dump(desc, sort_keys=False))

    status, out, err = cli("load", "--dry-run", path)
    assert status == 0
    assert err == (f"note: {path}:{node01_line(path)}: device node01 holds hardware ND-0001, not ND-7777: "
                   "load does not swap hardware\n")
    said = [line.split(": would ", 1)[1] for line in out.splitlines()[:-1]]
    assert sorted(said) == sorted([
        "change device node01: location 'rack C9'", "add device node03 (NODE)",
        "change port eth0 (in, data) of node01: speed 10000", "add port eth0 (in, data) of node03",
        "change the link from sw02 port 9 (data): info relabelled", "change spare RO-9999: location store room 2",
        "add device type RACK"])
    assert out.splitlines()[-1] == "7 change(s) would be written"
    assert cli("export")[1] == text  # the dry run wrote nothing

    assert cli("load", path)[0] == 0
    with ketraldb.connect(site) as db:
        assert db.device("node01")["location"] == "rack C9"
        assert db.port("node01", "eth0", INPUT, "data")["speed"] == 10000
        assert db.device("node02") is not None and db.device("node03")["dnode"] == 1
        assert db.link_at("sw02", "9", OUTPUT, "data")["link_info"] == "relabelled"
        assert db.hardware("RO-9999")["location"] == "store room 2"
        assert db.device("node01")["serialnb"] == "ND-0001" and db.hardware("ND-7777") is None
        assert [h["comments"] for h in db.hardware_history("RO-9999")][-1] == "loaded"
    assert cli("load", "--dry-run", path)[1].splitlines() == ["0 change(s) would be written"]


def node01_line(path):
    return next(n for n, line in enumerate(path.read_text().splitlines(), 1) if line == "- name: node01")


BAD = {
    "unknown key": ("devices:\n  - name: x\n    type: NODE\n    colour: red\n", 2, "unknown key 'colour'"),
    "bad way": ("devices:\n  - name: x\n    type: NODE\n    ports:\n      - nbr: 1\n        way: sideways\n", 5,
                "'way' must be in or out, not 'sideways'"),
    "missing key": ("link_types:\n  - name: data\nlinks:\n  - from: a\n    to: b\n", 4, "'from_port' is required"),
    "not YAML": ("devices:\n  - name: [x\n", 3, "not YAML"),
    "described twice": ("spares:\n  - serial: A\n  - serial: B\n  - serial: A\n", 4,
                        "spare A is already described at line 2"),
    "bad status": ("spares:\n  - serial: A\n    status: IN_USE\n", 2, "not 'IN_USE'"),
}


@pytest.mark.sqlite_only
@pytest.mark.parametrize("case", BAD)
def test_a_fault_of_the_file_names_its_line_and_writes_nothing(site, cli, tmp_path, case):
    text, line, message = BAD[case]
    path = tmp_path / "bad.yaml"
    path.write_text(text)
    before = cli("export")[1]
    status, out, err = cli("load", path)
    assert status == 1 and out == ""
    assert err.startswith(f"ketraldb load: error: {path}:{line}: ") and message in err
    assert cli("export")[1] == before


def test_a_refusal_of_the_library_names_the_line_of_the_record_and_its_batch_is_not_written(site, cli, tmp_path):
    path = tmp_path / "refused.yaml"
    path.write_text("device_types:\n  - name: RACK\n"
                    "devices:\n  - name: n1\n    type: NODE\n  - name: n2\n    type: NODE\n"
                    "  - name: n3\n    type: ROUTER\n  - name: n4\n    type: NODE\n")
    status, out, err = cli("load", path)
    assert status == 1
    assert err.startswith(f"ketraldb load: error: {path}:8: ") and "'ROUTER'" in err
    with ketraldb.connect(site) as db:
        assert db.device_type("RACK") is not None  # its own batch, written before
        assert [db.device(n) for n in ("n1", "n2", "n3", "n4")] == [None] * 4


@pytest.mark.postgresql_only
def test_the_password_of_a_server_comes_from_the_environment(pg_server, tmp_path, monkeypatch):
    user, password = "cli_shift", "S3cret-cli"
    with contextlib.suppress(Exception):
        pg_server.admin(f"DROP ROLE {user}")
    pg_server.admin(f"CREATE ROLE {user} LOGIN PASSWORD '{password}'")
    url = pg_server.url("ketral_tests", tcp=True)
    argv = [sys.executable, "-m", "ketraldb", "--database", url, "--user", user, "export"]
    env = {k: v for k, v in __import__("os").environ.items() if k != "KETRAL_PASSWORD"}
    refused = subprocess.run(argv, env=env, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    assert refused.returncode == 1 and "no password supplied" in refused.stderr  # no terminal: no prompt
    env["KETRAL_PASSWORD"] = "wrong"
    wrong = subprocess.run(argv, env=env, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    assert wrong.returncode == 1 and "password authentication failed" in wrong.stderr
    env["KETRAL_PASSWORD"] = password
    connected = subprocess.run(argv, env=env, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    assert connected.returncode == 1 and "no schema" in connected.stderr  # in, and nothing there
    assert password not in refused.stderr + connected.stderr


@pytest.mark.sqlite_only
def test_a_dry_run_on_a_missing_file_creates_nothing(cli, database, tmp_path):
    path = tmp_path / "one.yaml"
    path.write_text("link_types:\n  - name: data\n")
    status, out, _ = cli("load", "--dry-run", path)
    assert (status, out) == (0, f"{path}:2: would add link type data\n1 change(s) would be written\n")
    assert not pathlib.Path(database).exists()

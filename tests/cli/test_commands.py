"""The reading commands, pictures, the hardware life cycle and impact, on
SQLite (the site of tests/package/conftest.py):

    ro01 ro02 --> sw01 <==> sw02
                   |          |
                   v          v
                 node01     node02
"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

import pytest

import ketraldb
import libketralpython
from ketraldb._cli import parser

pytestmark = pytest.mark.sqlite_only

COMMANDS = ["load", "export", "show", "trace", "routes", "spares", "impact", "weak-points", "draw", "hardware"]
HAS_IMPACT = all(hasattr(libketralpython.KETRAL, m) for m in
                 ("GetFailureImpactOfDevice", "GetFailureImpactOfLink", "GetWeakPoints"))
needs_impact = pytest.mark.skipif(not HAS_IMPACT, reason="this build of the module has no failure impact "
                                  "(GetFailureImpactOfDevice, GetFailureImpactOfLink, GetWeakPoints)")


def test_every_command_has_its_help_and_the_package_runs_as_a_program():
    def run(*argv):
        return subprocess.run([sys.executable, "-m", "ketraldb", *argv], capture_output=True, text=True)
    top = run("--help")
    assert top.returncode == 0 and all(c in top.stdout for c in COMMANDS)
    assert set(parser()._subparsers._group_actions[0].choices) == set(COMMANDS)
    for command in COMMANDS:
        done = run(command, "--help")
        assert done.returncode == 0 and done.stdout.startswith(f"usage: ketraldb {command}"), command
    assert run("--password", "x", "spares").returncode == 2  # never on the command line


def test_show_trace_routes_and_spares_answer_from_the_database(site, cli):
    status, out, _ = cli("show", "sw01")
    assert status == 0
    lines = out.splitlines()
    assert lines[0] == "device sw01 (SWITCH)" and "hardware SW-0001  status: IN_USE" in lines
    assert "  1 in data  speed 1000, <- ro01 0 (link 1, data)" in lines
    assert "  p out data  speed 1000, -> sw02 p (link 3, peer, bidirectional)" in lines
    assert re.fullmatch(r"  \S+ SW-0001 IN_USE", lines[-1])

    status, out, _ = cli("trace", "ro01", "node02")
    assert out.splitlines()[0] == "path 1: ro01 -> sw01 -> sw02 -> node02"
    assert "  link 3: sw01 p:out:data -> sw02 p:in:data (peer)" in out.splitlines()
    assert cli("trace", "node01", "ro01")[1] == "no path from node01 to ro01\n"

    status, out, _ = cli("routes", "sw01")
    assert out.splitlines() == ["node01\tport 9:out:data\t1 link(s)", "node02\tport p:out:data\t2 link(s)",
                                "sw02\tport p:out:data\t1 link(s)"]
    with ketraldb.connect(site) as db:  # untyped spare hardware is listed too
        db.insert_spare_hardware("AA-1", location="shelf")
    assert cli("spares")[1] == "AA-1\t-\t-\tshelf\nRO-9999\treadout\tspare readout\tstore room\n"
    assert cli("spares", "readout")[1] == "RO-9999\treadout\tspare readout\tstore room\n"
    assert cli("spares", "switch")[1] == "no spare hardware of type 'switch'\n"


@pytest.mark.parametrize("argv, message", [
    (["show", "sw99"], "no device named 'sw99'"),
    (["trace", "ro01", "sw99"], "no device named 'sw99'"),
    (["draw", "sw99"], "no device named 'sw99'"),
    (["draw", "sw01", "--path", "ro01", "node01"], "draw takes one of"),
    (["draw", "sw01", "-o", "x.gif"], "svg, png or dot, not 'gif'"),
    (["hardware", "RO-9999", "--status", "BROKEN"], "'BROKEN' is not a status word"),
])
def test_bad_input_is_refused_with_a_message(site, cli, tmp_path, monkeypatch, argv, message):
    monkeypatch.chdir(tmp_path)
    status, out, err = cli(*argv)
    assert status == 1 and message in err and err.startswith(f"ketraldb {argv[0]}: error: ")


def test_a_missing_database_file_is_not_created_by_a_reading_command(cli, tmp_path):
    status, _, err = cli("show", "sw01")
    assert status == 1 and "no database file" in err
    assert not (tmp_path / "config.sqlite").exists()


def svg(path):
    """(node titles, edge ids) of a picture drawn by `dot`."""
    root = ET.parse(path).getroot()
    ns = {"s": "http://www.w3.org/2000/svg"}
    nodes = {g.get("id")[4:]: g.get("class") for g in root.iterfind(".//s:g", ns) if g.get("id", "").startswith("dev:")}
    edges = {g.get("id")[3:]: g.get("class") for g in root.iterfind(".//s:g", ns) if g.get("id", "").startswith("lk:")}
    return nodes, edges


def test_draw_a_neighbourhood_and_the_paths_as_svg_and_png(site, cli, tmp_path):
    out = tmp_path / "n.svg"
    assert cli("draw", "sw01", "-o", out)[0] == 0
    nodes, edges = svg(out)
    assert set(nodes) == {"sw01", "ro01", "ro02", "sw02", "node01"} and set(edges) == {"1", "2", "3", "4"}
    cli("draw", "sw01", "--depth", "2", "-o", out)
    nodes, edges = svg(out)
    assert set(nodes) == {"sw01", "ro01", "ro02", "sw02", "node01", "node02"} and len(edges) == 5
    cli("draw", "node02", "--depth", "0", "-o", out)
    assert svg(out) == ({"node02": "node"}, {})

    with ketraldb.connect(site) as db:  # a link out of use is not drawn
        db.set_link_used("sw01", "node01", "9", "eth0", False, "data", "data")
    cli("draw", "--path", "ro01", "node02", "-o", out)
    nodes, edges = svg(out)
    assert set(nodes) == {"ro01", "sw01", "sw02", "node02"} and set(edges) == {"1", "3", "5"}
    cli("draw", "sw01", "-o", out)
    assert "4" not in svg(out)[1]

    png = tmp_path / "p.png"
    assert cli("draw", "--path", "ro01", "node02", "-o", png)[0] == 0
    assert png.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_repaired_hardware_goes_back_to_the_spare_pool_and_moves(site, cli):
    status, out, _ = cli("hardware", "RO-9999", "--status", "in_repair", "--location", "lab", "--comment", "fan")
    assert status == 0 and out.splitlines()[0] == "hardware RO-9999: IN_REPAIR at lab"
    assert cli("spares")[1] == "no spare hardware\n"
    status, out, _ = cli("hardware", "RO-9999", "--status", "SPARE", "--location", "store room 2",
                         "--comment", "repaired")
    assert out.splitlines()[0] == "hardware RO-9999: SPARE at store room 2"
    assert [line.split(" ", 3)[3] for line in out.splitlines()[1:]] == [
        "SPARE store room", "IN_REPAIR lab: fan", "SPARE store room 2: repaired"]
    assert cli("spares", "readout")[1] == "RO-9999\treadout\tspare readout\tstore room 2\n"
    assert cli("hardware", "RO-9999", "--location", "shelf 3")[1].startswith("hardware RO-9999: SPARE at shelf 3")


@pytest.mark.parametrize("argv, message", [
    (["SW-0001", "--status", "SPARE"], "hardware 'SW-0001' fills device 'sw01': take it out with SwapTwoDevices first"),
    (["RO-9999", "--status", "IN_USE"], "hardware 'RO-9999' fills no position: it becomes IN_USE only by taking one"),
    (["RO-9999", "--location", "store room"], "hardware 'RO-9999' is already SPARE at 'store room'"),
    (["XX-1", "--status", "SPARE"], "no hardware with serial number 'XX-1'"),
    (["RO-9999", "--status", ""], "neither a status nor a location is given for hardware 'RO-9999'"),
])
def test_a_change_of_hardware_that_cannot_be_is_refused_and_not_recorded(site, cli, argv, message):
    status, out, err = cli("hardware", *argv)
    assert status == 1 and f"UpdateHWStatusLocation: {message}" in err
    with ketraldb.connect(site) as db:
        assert len(db.hardware_history("RO-9999")) == 1 and db.hardware("RO-9999")["status"] == "SPARE"


def test_destroyed_hardware_stays_as_it_is(site, cli):
    assert cli("hardware", "RO-9999", "--status", "DESTROYED")[0] == 0
    status, _, err = cli("hardware", "RO-9999", "--status", "SPARE")
    assert status == 1 and "hardware 'RO-9999' is DESTROYED" in err


@pytest.mark.skipif(HAS_IMPACT, reason="this build of the module has the failure impact methods")
def test_without_the_failure_impact_methods_the_commands_say_so(site, cli):
    for argv in (["impact", "sw01"], ["weak-points"], ["draw", "--impact", "sw01"]):
        status, _, err = cli(*argv)
        assert status == 1 and "this build of the module has no failure impact" in err


@needs_impact
def test_impact_and_weak_points_name_what_a_failure_cuts_off(site, cli, tmp_path):
    with ketraldb.connect(site) as db:
        k = db.module_object
        cut = sorted(r.split("|")[0] for r in k.GetFailureImpactOfDevice("sw01", 0, 0) if r.endswith("|cut_off"))
        weak = list(k.GetWeakPoints(0, 0))
    assert {"ro01", "ro02"} <= set(cut)
    status, out, _ = cli("impact", "sw01")
    assert status == 0 and f"  cut off ({len(cut)}): {', '.join(cut)}" in out.splitlines()
    status, out, _ = cli("weak-points")
    assert len(out.splitlines()) == len(weak) and any(line.startswith("device sw01\t") for line in out.splitlines())
    assert "no device named" not in cli("impact", "3")[2]
    assert "'sw99' is neither a device nor a link id" in cli("impact", "sw99")[2]
    picture = tmp_path / "i.svg"
    assert cli("draw", "--impact", "sw01", "-o", picture)[0] == 0
    nodes, edges = svg(picture)
    assert nodes["sw01"] == "node failed" and {n for n, c in nodes.items() if c == "node cut_off"} == set(cut)
    cli("draw", "--impact", "3", "-o", picture)
    assert svg(picture)[1]["3"] == "edge failed"

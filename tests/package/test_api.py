"""The package's surface: connection, documentation, argument checks,
errors, and what it covers of the module."""
import inspect
import os
import pathlib
import pydoc
import re
import subprocess
import sys

import pytest

import ketraldb
import libketralpython
from ketraldb import Database, KetralError

PACKAGE_DIR = pathlib.Path(ketraldb.__file__).resolve().parent


def public_methods():
    return sorted(name for name, value in inspect.getmembers(Database, callable) if not name.startswith("_"))


# --------------------------------------------------------------------------
# Connection
# --------------------------------------------------------------------------

def test_connect_answers_a_database_that_closes_at_the_end_of_a_with_block(database):
    with ketraldb.connect(database) as db:
        assert isinstance(db, Database)
        db.create_schema()
        db.insert_subsystem("DAQ")
        assert db.subsystems() == ["DAQ"]
        assert isinstance(db.module_object, libketralpython.KETRAL)
    with pytest.raises(KetralError, match="^not connected: call DBConnexion first$"):
        db.subsystems()
    db.reconnect()
    assert db.subsystems() == ["DAQ"]
    db.close()
    db.close()  # harmless


def test_connect_refuses_what_the_library_refuses_and_wrong_types(tmp_path):
    with pytest.raises(KetralError, match="cannot open the database file") as e:
        ketraldb.connect(str(tmp_path / "no" / "such" / "dir" / "x.sqlite"))
    assert isinstance(e.value, RuntimeError) and e.value.method == "DBConnexion"
    with pytest.raises(TypeError, match=r"^connect\(\) argument 'database' must be str, not PosixPath$"):
        ketraldb.connect(tmp_path / "x.sqlite")
    with pytest.raises(TypeError, match="argument 'password' must be str, not int"):
        ketraldb.connect("x.sqlite", "", 1234)


# --------------------------------------------------------------------------
# Documentation
# --------------------------------------------------------------------------

def test_help_on_the_package_shows_every_method_with_its_documentation():
    text = pydoc.render_doc(ketraldb, renderer=pydoc.plaintext)
    for name in public_methods():
        doc = inspect.getdoc(getattr(Database, name))
        assert re.search(rf"\b{name}\(", text), name
        assert doc.splitlines()[0] in text, name
    for kind in ("Path", "PortRef", "Route", "Destination", "KetralError", "Batch"):
        assert f"class {kind}" in text


def test_every_method_documents_its_arguments_result_and_failures():
    for name in public_methods():
        method = getattr(Database, name)
        doc = inspect.getdoc(method)
        signature = inspect.signature(method)
        arguments = [p for p in signature.parameters if p != "self"]
        if arguments:
            assert "Args:" in doc, name
            for argument in arguments:
                assert re.search(rf"^\s+{argument}:", doc, re.M), f"{name}: {argument}"
        if signature.return_annotation not in (None, "None", inspect.Signature.empty):
            assert "Returns:" in doc, name
        assert "Raises:" in doc, name
        for parameter in signature.parameters.values():
            assert parameter.name == "self" or parameter.annotation is not inspect.Parameter.empty, name


def test_a_batch_add_shows_the_signature_and_documentation_of_its_single_method(database):
    with ketraldb.connect(database) as db:
        batch = db.batch("ports")
        assert inspect.signature(batch.add) == inspect.signature(db.insert_port)
        assert "Database.insert_port" in inspect.getdoc(batch.add)
        assert "InsertMultiplePorts" in inspect.getdoc(batch.add)


# --------------------------------------------------------------------------
# Argument checks
# --------------------------------------------------------------------------

def test_a_wrong_type_names_the_method_the_argument_and_the_type_before_any_call(kdb, monkeypatch):
    calls = []
    monkeypatch.setattr(kdb, "_call", lambda *a: calls.append(a))
    cases = [
        (lambda: kdb.device(3), "device() argument 'devicename' must be str, not int"),
        (lambda: kdb.device_by_id("3"), "device_by_id() argument 'deviceid' must be int, not str"),
        (lambda: kdb.port(1.5, "1", 1), "port() argument 'device' must be int or str, not float"),
        (lambda: kdb.insert_port("sw01", "1", "in"), "insert_port() argument 'port_way' must be int, not str"),
        (lambda: kdb.insert_device("d1", "T", dnode="yes"), "insert_device() argument 'dnode' must be bool, not str"),
        (lambda: kdb.insert_test_device("d1", "eth0", [1]),
         "insert_test_device() argument 'portnb' must be a list or tuple of str, not str"),
        (lambda: kdb.insert_test_device("d1", [b"eth0"], [1]),
         "insert_test_device() argument 'portnb' must be a list or tuple of str; item 0 is bytes"),
        (lambda: kdb.insert_test_device("d1", ["a"], b"\x01"),
         "insert_test_device() argument 'port_way' must be a list or tuple of int, not bytes"),
        (lambda: kdb.insert_device_type("T", system_list=["DAQ", 1]),
         "insert_device_type() argument 'system_list' must be str or a list or tuple of str, not list"),
        (lambda: kdb.paths("a"), "paths(): missing a required argument: 'dev_to'"),
        (lambda: kdb.device_status("a", "b"), "device_status(): too many positional arguments"),
        (lambda: kdb.device(devicename="a", other=1), "device(): got an unexpected keyword argument 'other'"),
    ]
    for call, message in cases:
        with pytest.raises(TypeError) as e:
            call()
        assert str(e.value) == message
    with pytest.raises(OverflowError, match=r"^device_by_id\(\) argument 'deviceid': 2147483648 does not fit"):
        kdb.device_by_id(2**31)
    with pytest.raises(OverflowError, match="argument 'port_way': item 1: -2147483649 does not fit"):
        kdb.insert_test_device("d1", ["a", "b"], [1, -(2**31) - 1])
    assert calls == []


def test_lists_and_tuples_are_taken_where_the_module_wants_its_vectors(kdb):
    kdb.insert_subsystem("DAQ")
    kdb.insert_device_type("T1", system_list=("DAQ",))
    kdb.insert_device("d1", "T1")
    kdb.insert_test_device("d1", ("eth0", "eth1"), [1, 2], port_list=["data"], ipadd=["10.0.0.1"],
                           subnet=("255.0.0.0",), ipname=["d1-eth0"])
    assert [(p["port_nbr"], p["ipaddress"]) for p in kdb.mac_ip_addresses("d1")] == [("eth0", "10.0.0.1")]
    assert kdb.port("d1", "eth1", 2)["port_type"] == ""
    assert kdb.port("d1", "eth0", 1, "data")["ipname"] == "d1-eth0"


# --------------------------------------------------------------------------
# Errors
# --------------------------------------------------------------------------

def test_every_failure_is_one_exception_class_carrying_the_message(kdb):
    with pytest.raises(KetralError) as e:
        kdb.insert_port("sw07", "1", 1)
    assert str(e.value) == "InsertPort: no device named 'sw07'" and e.value.method == "InsertPort"
    with pytest.raises(KetralError, match="^port_way is equal to 1 or 2$"):  # the module's own check
        kdb.insert_port("sw07", "1", 3)
    with pytest.raises(RuntimeError):
        kdb.device_id("sw07")
    assert issubclass(KetralError, RuntimeError)


# --------------------------------------------------------------------------
# Coverage of the module, and no database of its own
# --------------------------------------------------------------------------

def test_every_method_of_the_module_is_called_by_the_package():
    source = "\n".join(p.read_text() for p in PACKAGE_DIR.glob("*.py"))
    called = set(re.findall(r'"([A-Z]\w+)"', source))
    methods = {name for name in dir(libketralpython.KETRAL) if not name.startswith("_")}
    assert methods - called == set()
    assert len(methods) >= 136


def test_the_package_never_opens_the_database_itself(database):
    for path in PACKAGE_DIR.glob("*.py"):
        assert not re.search(r"^\s*(import|from)\s+(sqlite3|psycopg2|psycopg)\b", path.read_text(), re.M), path
    script = (
        "import sys, ketraldb\n"
        f"db = ketraldb.connect({database!r}); db.create_schema(); db.insert_subsystem('DAQ')\n"
        "assert db.subsystems() == ['DAQ']; db.close()\n"
        "print(sorted(m for m in ('sqlite3', 'psycopg2', '_sqlite3') if m in sys.modules))\n"
    )
    out = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, check=True,
                         env=dict(os.environ))
    assert out.stdout.strip() == "[]"

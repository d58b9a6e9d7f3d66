"""The test double itself, called directly: what the module tests rely on."""
import ctypes
import os
import signal
import subprocess
import sys

import pytest

lib = ctypes.CDLL(os.environ["KETRAL_FAKE_LIB"])  # the same instance as the fixture's
c_int_p = ctypes.POINTER(ctypes.c_int)
lib.GetDeviceTypeRow.argtypes = [ctypes.c_char_p, c_int_p, ctypes.c_char_p, ctypes.c_char_p]
lib.GetPortIDPerDevID.argtypes = [ctypes.c_int, c_int_p, c_int_p, ctypes.c_char_p]
lib.GetLkIDsPerLkInfo.argtypes = [ctypes.c_char_p, c_int_p, c_int_p, ctypes.c_char_p]
lib.DBConnexion.argtypes = [ctypes.c_char_p] * 4
lib.InsertTestFunctionalDevice.argtypes = ([ctypes.c_char_p] + [ctypes.c_char_p, ctypes.c_int] * 5
                                           + [c_int_p, ctypes.c_int, ctypes.c_int, ctypes.c_char_p])


def row_query(capacity, key=b"key"):
    """Calls GetDeviceTypeRow with a result buffer two bytes larger than announced."""
    length = ctypes.c_int(capacity)
    result = ctypes.create_string_buffer(b"." * (capacity + 2), capacity + 2)
    error = ctypes.create_string_buffer(b"-" * 1000, 1000)
    rc = lib.GetDeviceTypeRow(key, ctypes.byref(length), result, error)
    return rc, length.value, result.raw, error.raw


def test_answer_is_written_within_the_announced_capacity(fake):
    fake.answer("GetDeviceTypeRow", rc=3, error=b"e" * 1200, texts={2: b"abcdefgh"}, ints={1: 42})
    rc, length, result, error = row_query(4)
    assert (rc, length) == (3, 42)
    assert result == b"abcd.."
    assert error == b"e" * 1000


def test_call_is_recorded_with_entry_values_and_capacities(fake):
    fake.answer("GetDeviceTypeRow", ints={1: 99})
    row_query(16, key=b'q"\\\x01\x7f\xff')
    assert fake.calls("GetDeviceTypeRow") == [[
        {"kind": "text", "value": b'q"\\\x01\x7f\xff'},
        {"kind": "inout", "value": 16},
        {"kind": "buffer", "capacity": 16},
        {"kind": "error", "capacity": 1000},
    ]]


def test_answers_are_used_in_order_then_calls_succeed_untouched(fake):
    fake.answer("GetDeviceTypeRow", rc=1, texts={2: "one"})
    fake.answer("GetDeviceTypeRow", rc=2, texts={2: "two"})
    assert fake.pending("GetDeviceTypeRow") == 2
    outcomes = [row_query(8) for _ in range(3)]
    assert [(rc, result[:4]) for rc, _, result, _ in outcomes] == [(1, b"one\0"), (2, b"two\0"), (0, b"....")]
    assert outcomes[2][1] == 8 and outcomes[2][3] == b"-" * 1000
    assert (fake.count("GetDeviceTypeRow"), fake.pending("GetDeviceTypeRow")) == (3, 0)


def test_int_arrays_are_written_within_the_count(fake):
    fake.answer("GetPortIDPerDevID", arrays={2: [5, 6, 7, 8]}, ints={1: 4})
    count = ctypes.c_int(3)
    result = (ctypes.c_int * 4)(-9, -9, -9, -9)
    lib.GetPortIDPerDevID(12, ctypes.byref(count), result, ctypes.create_string_buffer(1000))
    assert (count.value, list(result)) == (4, [5, 6, 7, -9])
    assert fake.calls("GetPortIDPerDevID")[0][:3] == [
        {"kind": "int", "value": 12}, {"kind": "inout", "value": 3}, {"kind": "array", "capacity": 3}]


def test_fixed_error_capacity_is_recorded(fake):
    count = ctypes.c_int(2)
    lib.GetLkIDsPerLkInfo(b"info", ctypes.byref(count), (ctypes.c_int * 2)(), ctypes.create_string_buffer(10000))
    assert fake.calls("GetLkIDsPerLkInfo")[0][-1] == {"kind": "error", "capacity": 10000}


def test_null_text_packed_lists_and_int_arrays_are_recorded(fake):
    lib.DBConnexion(None, b"", b"pw", ctypes.create_string_buffer(1000))
    assert [p["value"] for p in fake.calls("DBConnexion")[0][:3]] == [None, b"", b"pw"]
    lists = [b"10.0.0.1\0", b"", b"a\0b\0", b"\xff\0", b"x"]
    packed = [arg for data in lists for arg in (data, len(data))]
    lib.InsertTestFunctionalDevice(b"dev", *packed, (ctypes.c_int * 2)(1, 2), 2, 1, ctypes.create_string_buffer(1000))
    call = fake.calls("InsertTestFunctionalDevice")[0]
    assert [(p["value"], p["length"]) for p in call[1:6]] == [(data, len(data)) for data in lists]
    assert call[6:8] == [{"kind": "ints", "values": [1, 2]}, {"kind": "int", "value": 1}]


def test_reset_forgets_answers_and_calls(fake):
    fake.answer("GetDeviceTypeRow", rc=5)
    row_query(4)
    fake.answer("GetDeviceTypeRow", rc=6)
    lib.fake_reset()
    assert (fake.count("GetDeviceTypeRow"), fake.pending("GetDeviceTypeRow")) == (0, 0)
    assert row_query(4)[0] == 0


def test_unknown_function_name_is_refused(fake):
    with pytest.raises(ValueError):
        fake.answer("GetDeviceTypeRows")
    with pytest.raises(ValueError):
        fake.count("fake_reset")


@pytest.mark.parametrize("script,message", [
    (b'lib.fake_answer(b"malloc", 0)', b'unknown library function "malloc"'),
    (b'lib.fake_set_int(1, 2)', b"no queued answer"),
    (b'lib.fake_answer(b"GetDeviceTypeRow", 0); lib.fake_set_int(2, 1); call()', b"parameter 2 as inout, but it is buffer"),
    (b'lib.fake_answer(b"GetDeviceTypeRow", 0); lib.fake_set_text(7, b"x", 1); call()', b"parameter 7, which does not exist"),
])
def test_script_mistakes_abort_with_a_message(script, message):
    program = b"\n".join([
        b"import ctypes, os",
        b"lib = ctypes.CDLL(os.environ['KETRAL_FAKE_LIB'])",
        b"n = ctypes.c_int(4)",
        b"call = lambda: lib.GetDeviceTypeRow(b'k', ctypes.byref(n), ctypes.create_string_buffer(4),"
        b" ctypes.create_string_buffer(1000))",
        script,
    ])
    done = subprocess.run([sys.executable, "-c", program], capture_output=True, env=os.environ)
    assert done.returncode == -signal.SIGABRT
    assert message in done.stderr

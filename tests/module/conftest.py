"""Fixtures for the module tests: libketralpython against the test double.

The suite runs with PYTHONPATH=<build>/fake (the module built next to the
double) and KETRAL_FAKE_LIB=<build>/fake/libketral.so; the double is loaded
here before the module is imported, so both talk to one instance.

``fake`` (reset before every test) scripts the library and reads back what
the module passed to it:

    fake.answer(function, rc=0, error=None, texts=None, ints=None, arrays=None)
        Queues one answer for the next call of `function` (a contract
        function name, e.g. "GetDeviceTypeRow"); answers are used in order,
        one per call. A call with no answer queued returns 0 and writes
        nothing.
        - rc:     the return code.
        - error:  what is written into the error buffer; str is written as
                  UTF-8 followed by a NUL, bytes exactly as given (no NUL
                  added); None leaves the buffer untouched.
        - texts:  {param_index: str | bytes} written into that char buffer
                  (same str/bytes rule as error).
        - ints:   {param_index: int} left in that int* (an in/out length or
                  count, or the out id of an id lookup).
        - arrays: {param_index: [int, ...]} written into that int array.
        param_index counts the library function's parameters from 0, in the
        order of ketral/ketral.h. Nothing is ever written past the capacity
        the module passed (the entry value of the length or count, or the
        fixed capacity); a longer answer is cut there.

    fake.calls(function) -> [call, ...]
        Every call made so far, in order. A call is a list with one dict per
        parameter, in library order:
            {"kind": "text", "value": bytes | None}
            {"kind": "int", "value": int}
            {"kind": "inout", "value": int}            value at entry
            {"kind": "buffer", "capacity": int}        char buffer out
            {"kind": "array", "capacity": int}         int array out
            {"kind": "packed", "value": bytes, "length": int}
            {"kind": "ints", "values": [int, ...]}     int array in
            {"kind": "error", "capacity": int}

    fake.count(function) -> int      number of calls made
    fake.pending(function) -> int    answers queued and not yet used

A misspelt function name raises ValueError. An answer that writes into a
parameter of another kind (or one that does not exist) aborts the run with
a message on stderr naming the function and the parameter.

``db`` is ``libketralpython.KETRAL("db", "user", "pw")``.
"""
import ctypes
import json
import os

import pytest

_path = os.environ.get("KETRAL_FAKE_LIB")
if not _path:
    raise RuntimeError("KETRAL_FAKE_LIB must name the test double (build/fake/libketral.so)")
# Global: the module's references to the contract resolve to this very copy.
_lib = ctypes.CDLL(_path, mode=ctypes.RTLD_GLOBAL)

import libketralpython  # noqa: E402  (after the double is loaded)

if os.path.dirname(os.path.realpath(libketralpython.__file__)) != os.path.dirname(os.path.realpath(_path)):
    raise RuntimeError(f"{libketralpython.__file__} is not the module built beside {_path}; check PYTHONPATH")

_c_int_p = ctypes.POINTER(ctypes.c_int)
for _name, _args, _res in [
    ("fake_reset", [], None),
    ("fake_answer", [ctypes.c_char_p, ctypes.c_int], None),
    ("fake_set_error", [ctypes.c_char_p, ctypes.c_int], None),
    ("fake_set_text", [ctypes.c_int, ctypes.c_char_p, ctypes.c_int], None),
    ("fake_set_int", [ctypes.c_int, ctypes.c_int], None),
    ("fake_set_ints", [ctypes.c_int, _c_int_p, ctypes.c_int], None),
    ("fake_call_count", [ctypes.c_char_p], ctypes.c_int),
    ("fake_pending", [ctypes.c_char_p], ctypes.c_int),
    ("fake_call_record", [ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_int], ctypes.c_int),
]:
    _fn = getattr(_lib, _name)
    _fn.argtypes, _fn.restype = _args, _res


def _c_text(value):
    """str: UTF-8 and a NUL; bytes: as given."""
    return value.encode() + b"\0" if isinstance(value, str) else bytes(value)


def _bytes_of(text):
    """The record's strings carry one code point per byte."""
    return None if text is None else text.encode("latin-1")


class Fake:
    """Script and inspect the test double; see the module docstring."""

    lib = _lib

    @staticmethod
    def _name(function):
        if function.startswith("fake_") or not hasattr(_lib, function):
            raise ValueError(f"no library function named {function!r}")
        return function.encode()

    def answer(self, function, rc=0, error=None, texts=None, ints=None, arrays=None):
        _lib.fake_answer(self._name(function), rc)
        if error is not None:
            data = _c_text(error)
            _lib.fake_set_error(data, len(data))
        for index, value in (texts or {}).items():
            data = _c_text(value)
            _lib.fake_set_text(index, data, len(data))
        for index, value in (ints or {}).items():
            _lib.fake_set_int(index, value)
        for index, values in (arrays or {}).items():
            _lib.fake_set_ints(index, (ctypes.c_int * len(values))(*values), len(values))

    def count(self, function):
        return _lib.fake_call_count(self._name(function))

    def pending(self, function):
        return _lib.fake_pending(self._name(function))

    def calls(self, function):
        name = self._name(function)
        result = []
        for n in range(_lib.fake_call_count(name)):
            size = _lib.fake_call_record(name, n, None, 0)
            out = ctypes.create_string_buffer(size)
            _lib.fake_call_record(name, n, out, size)
            params = json.loads(out.value.decode("ascii"))["params"]
            for p in params:
                if p["kind"] in ("text", "packed"):
                    p["value"] = _bytes_of(p["value"])
            result.append(params)
        return result


@pytest.fixture(autouse=True)
def fake():
    _lib.fake_reset()
    return Fake()


@pytest.fixture
def db():
    return libketralpython.KETRAL("db", "user", "pw")

"""Facts of the 13 methods that read a column store or a plain list of texts
(and of the additions beyond the described methods that do), and helpers
that script and read them on the test double.

Library order, one token per parameter: aK the script argument at position K,
n the shared count, Ik the integer array of row column k, Tk the text list of
row column k and Lk its length, TC/LC and TD/LD the micro-connectivity lists
that never reach a row, e the error buffer. Row columns are numbered in row
order; a method's row joins them with "|".
"""
from collections import namedtuple

import pytest

Store = namedtuple("Store", "method args order count sizes rule tested rows_by row_buffer")


def S(method, args, order, count, sizes, rule, tested, rows_by=None, row_buffer=500):
    return Store(method, args, order.split(), count, sizes, rule, set(tested.split()), rows_by, row_buffer)


DEVICES = {"L3": 500000, "L4": 5000, "L6": 500000, "L7": 5000, "L9": 5000000}
DEVTYPE = {"L1": 1000000, "L2": 1000000, "L3": 100000, "L4": 100000, "L9": 0}
MICRO = {"L3": 10000, "L4": 10000, "LC": 5000, "LD": 5000}
MICRO_ORDER = "I1 I2 n T3 L3 T4 L4 TC LC TD LD e"

CONNECTIVITY = [
    S("GetConnectivityBetweenDevices", ("dev_a", "dev_b", 3, -4),
      "a1 a2 n L4 L3 L7 L6 L9 T3 T6 T4 I5 T7 I8 I1 I2 T9 a3 a4 e",
      2000, DEVICES, "changed", "n L3 L4 L6 L7 L9", row_buffer=1000),
    S("GetDetailedConnectivityBetweenDevices", ("dev_a", "dev_b", -3, 4),
      "a1 a2 T3 n L3 L4 L6 L7 L9 T4 T7 I5 I8 T6 I1 I2 T9 a3 a4 e",
      2000, DEVICES, "changed", "n L3 L4 L6 L7 L9", row_buffer=1000),
    S("GetDetailedConnBetweenDeviceDevType", ("dev_a", "type_b", 1, 0, 7),
      "a1 a2 a3 T1 T3 T4 n L1 L3 L2 L4 L9 I5 I6 T2 I8 I7 T9 a4 a5 e",
      60000, DEVTYPE, "changed", "n L1 L2 L3 L4 L9", row_buffer=2000),
    S("GetConnOutBetweenDeviceDeviceType", ("dev_a", "type_b", 1, 5, -6),
      "a1 a2 a3 L1 T1 a4 a5 e", None, {"L1": 1000}, "raised", "L1", rows_by=1, row_buffer=100),
]

PATHS = [
    S("GetDestinationNamePerDevPort", ("dev_a", "p1", "data"),
      "a1 a2 a3 L1 T1 e", None, {"L1": 50000}, "raised", "L1", rows_by=1),
    S("GetAllPathsPerDevice", ("dev_a", "sys", 2, -9), "a1 a2 n I3 I1 I2 a3 a4 e", 200000, {}, "raised", "n"),
    S("GetMicroConnectBetweenBoardCpntAndMotherBoard", ("cpnt_a", -8), "a1 a2 " + MICRO_ORDER,
      1000, MICRO, "raised", "n L3 L4"),
    S("GetMicroConnectFromPortid", (11, -12, "port"), "a1 a2 a3 " + MICRO_ORDER, 1000, MICRO, "raised", "n L3 L4"),
    S("GetMicroConnectToCpntType", (-13, 14, "ctype"), "a1 a2 a3 " + MICRO_ORDER, 1000, MICRO, "raised", "n L3 L4"),
]

# Additions beyond the described methods (docs/additions.md): plain lists of texts.
ADDITIONS = [
    S("GetFailureImpactOfDevice", ("dev_a", 3, -4), "a1 L1 T1 a2 a3 e", None, {"L1": 20000}, "raised", "L1",
      rows_by=1),
    S("GetFailureImpactOfLink", (42, 5, -6), "a1 L1 T1 a2 a3 e", None, {"L1": 20000}, "raised", "L1", rows_by=1),
    S("GetFailureImpactOfPort", ("dev_a", "p1", 2, "data", 7, -8), "a1 a2 a3 a4 L1 T1 a5 a6 e", None,
      {"L1": 20000}, "raised", "L1", rows_by=1),
    S("GetWeakPoints", (9, -10), "L1 T1 a1 a2 e", None, {"L1": 20000}, "raised", "L1", rows_by=1),
]

LOADERS = [
    S("LoadConnectivityTable", ("ALL",), "a1 n I1 I2 I3 L4 L5 T4 T5 I6 I7 I8 T9 L9 e",
      100000, {"L4": 100000, "L5": 100000, "L9": 5000000}, "raised", "n L4 L5 L9"),
    S("MatchDeviceIDDeviceName", ("sys",), "a1 n I1 L2 T2 e", 10000, {"L2": 50000}, "raised", "n L2"),
    S("LoadDeviceTypeTable", ("",), "a1 L2 T2 n I1 e", 10000, {"L2": 500000}, "raised", "n L2", rows_by=2),
    S("LoadLinkTypeTable", (), "n I1 L2 T2 e", 10000, {"L2": 50000}, "raised", "n L2"),
]


def each(stores, select=lambda s: True):
    chosen = [s for s in stores if select(s)]
    return pytest.mark.parametrize("store", chosen, ids=[s.method for s in chosen])


def index(store, token):
    return store.order.index(token)


def grows(token):
    """Every count and length grows for the second call except those of the
    lists that never reach a row."""
    return token not in ("LC", "LD")


def row_columns(store):
    """(number, kind) of each row column, in row order."""
    return sorted((int(t[1:]), t[0]) for t in store.order if t[0] in "IT" and t[1:].isdigit())


def invoke(db, store):
    return list(getattr(db, store.method)(*store.args))


# -- expected layouts --------------------------------------------------------

def layout(store, sizes=None):
    """What the library sees, per token: argument values, entry values of the
    count and lengths, capacities of buffers and arrays. `sizes` overrides
    the count ("n") and lengths ("Lk") of the initial layout."""
    now = {"n": store.count, **store.sizes, **(sizes or {})}
    seen = {}
    for token in store.order:
        if token[0] == "a":
            value = store.args[int(token[1:]) - 1]
            seen[token] = value.encode() if isinstance(value, str) else value
        elif token == "e":
            seen[token] = 1000
        elif token[0] == "I":
            seen[token] = now["n"]
        elif token[0] == "T":
            seen[token] = now["L" + token[1:]]
        else:
            seen[token] = now[token]
    return seen


def observed(store, call):
    assert len(call) == len(store.order)
    seen = {}
    for token, param in zip(store.order, call):
        seen[token] = param["capacity"] if "capacity" in param else param["value"]
    return seen


# -- answers -----------------------------------------------------------------

def sample_rows(store, count):
    """Rows with signed integers and some empty texts, distinct per column."""
    rows = []
    for i in range(count):
        row = {}
        for number, kind in row_columns(store):
            if kind == "I":
                row[number] = (-1) ** (i + number) * (100 * number + i)
            else:
                row[number] = "" if (i + number) % 3 == 0 else f"c{number}r{i}"
        rows.append(row)
    return rows


def joined(store, rows):
    return ["|".join(str(row[number]) for number, _ in row_columns(store)) for row in rows]


def answer(fake, store, rows, rc=0, error=None, ints=None, texts=None):
    """Queues `rows` as the library would deliver them: integer columns as
    arrays, text columns packed, the count (or the text-counted list's
    length) set to match."""
    arrays, packed = {}, {}
    for number, kind in row_columns(store):
        values = [row[number] for row in rows]
        if kind == "I":
            arrays[index(store, f"I{number}")] = values
        else:
            packed[index(store, f"T{number}")] = b"".join(v.encode() + b"\0" for v in values)
    counts = {}
    if store.count is not None:
        counts[index(store, "n")] = len(rows)
    if store.rows_by is not None:
        counts[index(store, f"L{store.rows_by}")] = len(packed[index(store, f"T{store.rows_by}")])
    packed.update(texts or {})
    counts.update(ints or {})
    fake.answer(store.method, rc=rc, error=error, texts=packed, ints=counts, arrays=arrays)


def fail_with(fake, store, sizes=None, error="no room"):
    """Queues a failure that leaves the given count and lengths."""
    fake.answer(store.method, rc=1, error=error, ints={index(store, t): v for t, v in (sizes or {}).items()})

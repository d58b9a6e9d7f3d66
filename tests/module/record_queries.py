"""Facts of the 64 record queries (rows, lookups, status, listings and
histories, integer and string lists), and the helpers that call them on the
test double.

Each method: its script arguments, the library function, the parameters that
function receives in its own order (script values, then the placeholders LEN,
RES, ERR, NAME, ID where the module's buffers go), the initial size of its
result and the size of its error buffer. Multi-argument methods get distinct
values so that a swapped pair shows.
"""
from collections import namedtuple

import pytest

LEN, RES, ERR, NAME, ID = "<len>", "<res>", "<err>", "<name>", "<id>"
NO_ROWS = "NO_ROWS_SELECTED"

Query = namedtuple("Query", "method args function params size error")


def Q(method, args, params, size, function=None, error=1000):
    return Query(method, args, function or method, params, size, error)


def K(method, size, *args):
    """The common shape: the script arguments, then length, result, error."""
    return Q(method, args, [*args, LEN, RES, ERR], size)


ROWS = [
    K("GetDeviceTypeRow", 2000, "dtype_a"),
    K("GetDeviceRow_devicename", 2000, "dev_a"),
    K("GetBootImageRow_devicename", 2000, "dev_b"),
    K("GetBoardCpntRow_cpntname", 2000, "cpnt_a"),
    K("GetHWCpntRow_serialnb", 2000, ""),
    K("GetHWDeviceRow_serialnb", 2000, "snb_b"),
    K("GetIPAliasRow", 2000, "alias_a"),
    Q("GetDeviceRow_deviceid", (41,), [41, LEN, RES, ERR], 2000, function="GetDeviceRow_devid"),
    K("GetBoardCpntRow_cpntid", 2000, 42),
    K("GetHWCpntRow_snbid", 2000, 0),
    K("GetPortRow_pid", 1000, 44),
    K("GetPortRow_devid", 1000, 45, "p1", 2, "ctrl"),
    K("GetSparePortRow_snb", 1000, "snb_c", "p2", 1, "data"),
    K("GetMacroConnectivityRow_lkid", 1000, 46),
    K("GetMicroConnectivityRow_lkid", 1000, 47),
    K("GetMacroConnectivityRow_node", 1000, 48, "p3", 2, "bmc"),
    K("GetMicroConnectivityRow_node", 1000, 49, 3, 1),
    K("GetIPInfoRow", 1000, "10.0.0.1"),
    K("GetLkTypeRow_lkname", 1000, "lk_a"),
    K("GetLkTypeRow_lknb", 1000, -5),
]

NAME_LOOKUPS = [
    Q("GetDeviceName_deviceid", (51,), [51, NAME, ERR], 1000),
    Q("GetCpntName_cpntid", (-52,), [-52, NAME, ERR], 1000),
]
ID_LOOKUPS = [
    Q("GetDeviceID_devicename", ("dev_c",), ["dev_c", ID, ERR], None),
    Q("GetCpntID_cpntname", ("",), ["", ID, ERR], None),
    # The two texts come before port_way here.
    Q("GetPortID_portinfo", (53, "p4", "ctrl", 2), [53, "p4", "ctrl", 2, ID, ERR], None),
]

STATUS = [
    Q("GetFunctionalDeviceStatus", ("dev_d",), ["dev_d", RES, ERR], 1000),
    Q("GetFunctionalBoardCpntStatus", ("cpnt_b",), ["cpnt_b", RES, ERR], 1000),
    Q("GetHWDeviceStatus", ("snb_d",), ["snb_d", RES, ERR], 1000),
    Q("GetHWBoardCpntStatus", ("snb_e", 54), ["snb_e", 54, RES, ERR], 1000),
]
# The result comes before its length.
LAST_ASSIGNMENT = [
    Q("GetHWLastFunctionalDevice", ("snb_f",), ["snb_f", RES, LEN, ERR], 1000),
    Q("GetHWLastFunctionalBoardCpntName", ("snb_g", 55), ["snb_g", 55, RES, LEN, ERR], 1000),
    Q("GetFunctionalDeviceLastHW", ("dev_e",), ["dev_e", RES, LEN, ERR], 1000),
    Q("GetFunctionalBoardCpntNameLastHW", ("cpnt_c",), ["cpnt_c", RES, LEN, ERR], 1000),
]

# Listings and histories place the length and the result their own way.
LISTINGS = [
    Q("GetHWDeviceByStatus", ("IN_USE", "loc_a"), ["IN_USE", "loc_a", LEN, RES, ERR], 50000),
    Q("GetFunctionalDeviceByStatus", ("SPARE", ""), ["SPARE", "", LEN, RES, ERR], 50000),
    Q("GetHWBoardCpntByStatus", ("BROKEN",), ["BROKEN", RES, LEN, ERR], 50000),
    Q("GetHistoryOfHWDevice", ("snb_h", "2020", "2021"), ["snb_h", RES, LEN, "2020", "2021", ERR], 500000),
    Q("GetHistoryOfHWBoardCpnt", ("snb_i", 56, "2019", "2022"), ["snb_i", 56, RES, LEN, "2019", "2022", ERR], 50000),
    Q("GetHistoryOfFunctionalDevice", ("dev_f", "2018", ""), ["dev_f", RES, LEN, "2018", "", ERR], 50000),
    Q("GetHistoryOfFunctionalBoardCpntName", ("cpnt_d", "", "2023"), ["cpnt_d", RES, LEN, "", "2023", ERR], 50000),
]

STRING_LISTS = [
    K("GetDeviceNamesPerType", 50000, "dtype_b"),
    K("GetFreeDeviceNamesPerType", 50000, "dtype_c"),
    K("GetDeviceNamesPerLocation", 50000, "loc_b"),
    K("GetDeviceNamesPerFunction", 50000, "DHCP"),
    K("GetBoardCpntPerType", 50000, "ctype_a"),
    K("GetCpntNamesPerBoard", 50000, "board_a"),
    K("GetSpareHWPerLocation", 50000, "loc_c"),
    K("GetSpareHWCpntPerLocation", 50000, "loc_d"),
    K("GetSpareHWPerType", 50000, "hwtype_a"),
    K("GetSpareHWCpntPerType", 50000, "hwtype_b"),
    K("GetPortInfoPerSpare", 50000, "spare_a"),
    K("GetIPAliasesPerIPName", 50000, "ipname_a"),
    K("GetAvailableFunctions", 50000),
    K("GetListOfSubsystems", 50000),
    K("GetSpareHWTypeList", 50000),
    K("GetLkTypeDecomposition_lknb", 5000, 57),
    K("GetMacIPAddPerDevID", 1000, 58),
]

INT_LISTS = [
    K("GetPortIDPerDevID", 1000, 61),
    K("GetDeviceIDsPerType", 2000, "dtype_d"),
    K("GetLkFromDevID", 2000, 62),
    K("GetLkToDevID", 1000, -63),
    K("GetMicroLkFromCpntID", 2000, 64, 1),
    K("GetMicroLkToCpntID", 2000, 65, 0),
    Q("GetLkIDsPerLkInfo", ("info_a",), ["info_a", LEN, RES, ERR], 10000, error=10000),
]


def each(queries):
    """Parametrises a test over the given methods, named after them."""
    return pytest.mark.parametrize("q", queries, ids=[q.method for q in queries])


def index(q, placeholder):
    return q.params.index(placeholder)


def expected_call(q, length=None, result_kind="buffer"):
    """The call as the library must receive it; `length` is the value of the
    length or count at entry, also the result's capacity (the initial size
    unless given)."""
    length = q.size if length is None else length
    expected = []
    for p in q.params:
        if p == LEN:
            expected.append({"kind": "inout", "value": length})
        elif p == RES:
            expected.append({"kind": result_kind, "capacity": length})
        elif p == NAME:
            expected.append({"kind": "buffer", "capacity": 1000})
        elif p == ID:
            expected.append({"kind": "inout", "value": -1})
        elif p == ERR:
            expected.append({"kind": "error", "capacity": q.error})
        elif isinstance(p, int):
            expected.append({"kind": "int", "value": p})
        else:
            expected.append({"kind": "text", "value": p.encode()})
    return expected


def call(db, q):
    return getattr(db, q.method)(*q.args)


def raises(db, q):
    """The message of the RuntimeError the method raises."""
    with pytest.raises(RuntimeError) as raised:
        call(db, q)
    return str(raised.value)

"""Facts of the 53 write methods, and the helpers that call them on the test double.

Each method: the kinds of its script arguments, the order in which the library
receives them, its success text and its checks in order.

Argument kinds: s text, i free int, f flag (0 or 1), w way (1 or 2),
P port_flags (IntVec: speed, admin_status, pxi_booting), L StringVec,
W IntVec of port ways. Library order: script positions from 1, p0/p1/p2 for
the values of port_flags. Checks: (kind, argument, message), the argument a
script position, p1/p2, a pair of positions for "sizes" and "pair".
"""
from collections import namedtuple

import libketralpython as lk

INSERTED = "Successful insertion"
INSERTED_BLANK = "Successful insertion "
UPDATED = "Successful update"
DELETED = "Successful deletion "

Method = namedtuple("Method", "sig lib success checks")


def M(sig, lib, success, *checks):
    return Method(sig.split(), list(lib), success, list(checks))


def seq(n):
    return range(1, n + 1)


NO_DEVTYPE_OR_NAME = "Error:No Devtype or devicename given"
IP_SIZES = "nb of ipadd, nb of subnet and nb of ipname should be equal"
PORT_SIZES = "nb of  nb of portnb and nb of port_way should be equal"
PORT_CHECKS = [("flag", "p2", "pxi_bootingis equal to 1 or 0"), ("flag", "p1", "admin_status is equal to 1 or 0")]
BATCH_UPDATE_CHECKS = [("flag", -2, "first is 1 or 0"), ("flag", -1, "last is 1 or 0")]

INSERTS = {
    "InsertDeviceType": M("s s i i s s f", seq(7), INSERTED_BLANK,
                          ("short", 2, "Error:No Devtype given"), ("flag", 7, "last is either 0 or 1")),
    "InsertFunctionalDevice": M("s s s f f s s s s s s f", [1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12], INSERTED,
                                ("short", 3, NO_DEVTYPE_OR_NAME), ("short", 2, NO_DEVTYPE_OR_NAME),
                                ("flag", 12, "Error:last_rows is 1 or 0"), ("flag", 4, "Error:dnode is 1 or 0"),
                                ("flag", 5, "Error:promismode is 1 or 0")),
    "InsertTestFunctionalDevice": M("s L L L L L W f", seq(8), INSERTED,
                                    ("flag", 8, "Error:last_rows is 1 or 0"), ("sizes", (2, 3), IP_SIZES),
                                    ("sizes", (2, 4), IP_SIZES), ("sizes", (7, 5), PORT_SIZES)),
    "InsertSpareDevice": M("s s s s s s f", [1, 2, 3, 4, 6, 5, 7], INSERTED,
                           ("short", 3, "Error: No serialnb given"), ("flag", 7, "Error:last is 1 or 0")),
    "InsertSimpleLinkType": M("s f", seq(2), INSERTED,
                              ("short", 1, "Error:No lktype given"), ("flag", 2, "Error:last_rows is 1 or 0")),
    "InsertCompositeLinkType": M("s s f", seq(3), INSERTED,
                                 ("empty", 1, "Error:No lktype given"), ("flag", 3, "Error:last is 1 or 0"),
                                 ("short", 2, "Error:list of link is empty")),
    "InsertPort": M("s s s w s s s s s P s f", [1, 2, "p1", 4, "p0", "p2", 3, 5, 7, 6, 9, 8, 11, 12], INSERTED,
                    *PORT_CHECKS, ("way", 4, "port_way is equal to 1 or 2"),
                    ("short", 1, "Error:devicename value is empty"), ("flag", 12, "Error:last_rows is 1 or 0")),
    "InsertMacroLink": M("s s s s s s s i s f", [1, 2, 3, 4, 5, 6, 7, 9, 8, 10], INSERTED,
                         ("empty", 1, "you must give a node from name"), ("empty", 2, "you must give a node to name"),
                         ("empty", 7, "you must give a lk type name"), ("flag", 10, "last_rows is 1 or 0")),
    "InsertSparePort": M("s s w s s s f", seq(7), INSERTED,
                         ("way", 3, "port_way is equal to 1 or 2"), ("short", 1, "Error:serialnb  value is empty"),
                         ("short", 5, "Error:bia  value is empty"), ("short", 6, "Error:mac  value is empty"),
                         ("flag", 7, "last_rows is 1 or 0")),
    "InsertSimpleDeviceFunction": M("s f", seq(2), INSERTED_BLANK,
                                    ("short", 1, "No function given"), ("flag", 2, "last is either 0 or 1")),
    "InsertSubsystem": M("s s", seq(2), INSERTED_BLANK),
}

BATCH_INSERTS = {
    "InsertMultipleSpareDevices": M("s s s s s s f f", [1, 2, 3, 4, 6, 5, 7, 8], INSERTED,
                                    ("short", 3, "Error: No serialnb given"), ("flag", 8, "Error:last is 1 or 0"),
                                    ("flag", 7, "Error:first is 1 or 0")),
    "InsertMultipleBoardCpnts": M("s s f s s s s s s f f", [1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11], INSERTED,
                                  ("flag", 3, "Error:replacable is 1 or 0"), ("flag", 11, "Error:last is 1 or 0"),
                                  ("flag", 10, "Error:first is 1 or 0"),
                                  ("pair", (4, 8), "Error: you should give a location"),
                                  ("pair", (8, 4), "Error: you should give the motherboardname")),
    "InsertMultipleDeviceTypes": M("s s i i s s f f", seq(8), INSERTED_BLANK,
                                   ("short", 2, "No Devtype given"), ("flag", 8, "last is either 0 or 1"),
                                   ("flag", 7, "first is 0 or 1")),
    "InsertMultipleFunctionalDevices": M("s s s f f s s s s s s f f", [1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12, 13],
                                         INSERTED,
                                         ("short", 3, "No Devtype or devicename given"),
                                         ("short", 2, "No Devtype or devicename given"),
                                         ("flag", 13, "last_rows is 1 or 0"), ("flag", 4, "dnode is 1 or 0"),
                                         ("flag", 5, "promismode is 1 or 0"), ("flag", 12, "first is equal to 0 or 1")),
    "InsertMultipleSimpleLinkTypes": M("s f f", seq(3), INSERTED,
                                       ("short", 1, "No lktype given"), ("flag", 3, "last_rows is 1 or 0"),
                                       ("flag", 2, "first is equal to 0 or 1")),
    "InsertMultipleCompositeLinkTypes": M("s s f f", seq(4), INSERTED,
                                          ("empty", 1, "No lktype given"), ("flag", 4, "last is 1 or 0"),
                                          ("short", 2, "list of link is empty"),
                                          ("flag", 3, "first is equal to 0 or 1")),
    "InsertMultiplePorts": M("s s w s s s s s s P s f f",
                             [1, 2, "p1", 3, "p0", "p2", 4, 5, 7, 6, 9, 8, 11, 12, 13], INSERTED,
                             *PORT_CHECKS, ("way", 3, "port_way is equal to 1 or 2"),
                             ("short", 1, "Error:devicename value is empty"), ("flag", 13, "last_rows is 1 or 0"),
                             ("flag", 12, "first is equal to 0 or 1")),
    "InsertMultipleSparePorts": M("s s w s s s f f", seq(8), INSERTED,
                                  ("way", 3, "port_way is equal to 1 or 2"),
                                  ("short", 1, "Error:serialnb  value is empty"),
                                  ("short", 5, "Error:bia  value is empty"), ("short", 6, "Error:mac  value is empty"),
                                  ("flag", 8, "last_rows is 1 or 0"), ("flag", 7, "first is equal to 0 or 1")),
    "InsertMultipleMacroLinks": M("s s s s s s s i s f f", [1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11], INSERTED,
                                  ("empty", 1, "you must give a node from name"),
                                  ("empty", 2, "you must give a node to name"),
                                  ("empty", 7, "you must give a lk type name"), ("flag", 11, "last is equal to 0 or 1"),
                                  ("flag", 10, "first is equal to 0 or 1")),
    "InsertMultipleMicroLinks": M("s s i i s i f f", seq(8), INSERTED,
                                  ("empty", 1, "you must give a node from name"),
                                  ("empty", 2, "you must give a node to name"),
                                  ("empty", 5, "you must give a lk type name"), ("flag", 8, "last is equal to 0 or 1"),
                                  ("flag", 7, "first is equal to 0 or 1")),
    "InsertMultipleBootImages": M("s s s s s s f f", seq(8), INSERTED,
                                  ("flag", 8, "last is equal to 0 or 1"), ("flag", 7, "first is equal to 0 or 1")),
    "InsertMultipleIPAliases": M("s s s f f", seq(5), INSERTED_BLANK,
                                 ("flag", 5, "last is either 0 or 1"), ("flag", 4, "first is 0 or 1")),
}


def batch_update(sig):
    n = len(sig.split()) + 2
    return M(sig + " f f", seq(n), UPDATED, *BATCH_UPDATE_CHECKS)


BATCH_UPDATES = {
    "UpdateMultiplePorts": batch_update("s s i s i s i"),
    "UpdateMultipleAttributeMacIPs": batch_update("s s s"),
    "UpdateMultipleIPAddresses": batch_update("s s"),
    "UpdateMultipleCompositeLinkTypes": batch_update("s s"),
    "UpdateMultipleLinkTypeNames": batch_update("s s"),
    "UpdateMultipleDeviceTypeAttributes": batch_update("s s i i s"),
    "UpdateMultipleDeviceTypes": batch_update("s s"),
    "UpdateMultipleAttributesDevices": batch_update("s i i s s"),
    "UpdateMultipleDevNamesDevices": batch_update("s s"),
    "UpdateMultipleDTypeDevices": batch_update("s s"),
    "UpdateMultipleDeviceSystemList": batch_update("s s"),
    "UpdateMultipleDeviceTypeSystemList": batch_update("s s"),
    "UpdateMultipleBidirectionalLinks": batch_update("s s s s s s i"),
    "UpdateMultipleLkUsedLinks": batch_update("s s s s s s i"),
    "UpdateMultipleLkTypeLinks": batch_update("s s s s s s s"),
    "UpdateMultipleLkInfoLinks": batch_update("s s s s s s s"),
}

SINGLE_WRITES = {
    "DeleteLinkRow": M("i i", seq(2), DELETED),
    "DeletePortRow": M("i", seq(1), DELETED),
    "DeleteFunctionalDevice": M("i", seq(1), DELETED),
    "DeleteFunctionalDeviceType": M("s", seq(1), DELETED),
    "DeleteHWDevice": M("s", seq(1), DELETED),
    "DeleteSystemName": M("s", seq(1), DELETED),
    "DeleteBootImage": M("s", seq(1), DELETED),
    "DeleteIPAlias": M("s", seq(1), DELETED),
    "UpdateBootImage": M("s s s s s s", seq(6), UPDATED),
    "UpdateIPalias": M("s s", seq(2), UPDATED),
    "UpdateHWSerialNB": M("s s", seq(2), UPDATED),
    "UpdateDeviceFunctionName": M("s s", seq(2), UPDATED),
    "UpdateSubsystemName": M("s s", seq(2), UPDATED),
    "SwapTwoDevices": M("s s s", seq(3), UPDATED),
}

METHODS = {**INSERTS, **BATCH_INSERTS, **BATCH_UPDATES, **SINGLE_WRITES}
assert len(METHODS) == 53


def with_values(name, args, changes):
    """A copy of `args` with {argument: value} applied; an argument is a script
    position from 1, counted from the end when negative, or p0/p1/p2."""
    sig = METHODS[name].sig
    args = [list(a) if isinstance(a, list) else a for a in args]
    for arg, value in changes.items():
        if isinstance(arg, str):
            args[sig.index("P")][int(arg[1])] = value
        else:
            args[arg - 1 if arg > 0 else len(sig) + arg] = value
    return args


def valid_args(name):
    """Arguments that pass every check, each one distinct from the others where its kind allows."""
    args = []
    for k, kind in enumerate(METHODS[name].sig, 1):
        args.append({
            "s": f"v{k}", "i": 100 + k, "f": 1, "w": 2, "P": [70 + k, 1, 0],
            "L": [f"a{k}", f"b{k}"], "W": [3, 4],
        }[kind])
    return args


def to_script(kind, value):
    if kind in "PW":
        vec = lk.IntVec()
        vec.extend(value)
        return vec
    if kind == "L":
        vec = lk.StringVec()
        vec.extend(value)
        return vec
    return value


def call(db, name, args):
    sig = METHODS[name].sig
    return getattr(db, name)(*[to_script(kind, value) for kind, value in zip(sig, args)])


def expected_params(name, args):
    """The library's parameters as the double records them, for the given script arguments."""
    method = METHODS[name]
    out = []
    for token in method.lib:
        if isinstance(token, str):
            flags = args[method.sig.index("P")]
            out.append(("int", flags[int(token[1])]))
            continue
        kind, value = method.sig[token - 1], args[token - 1]
        if kind == "s":
            out.append(("text", value.encode()))
        elif kind == "L":
            packed = b"".join(v.encode().split(b"\0")[0] + b"\0" for v in value)
            out.append(("packed", packed, len(packed)))
        elif kind == "W":
            out.append(("ints", value))
        else:
            out.append(("int", value))
    return out + [("error", 1000)]


def recorded_params(call_record):
    """One recorded call, each parameter reduced to what the library saw."""
    out = []
    for p in call_record:
        if p["kind"] == "packed":
            out.append(("packed", p["value"], p["length"]))
        elif p["kind"] == "ints":
            out.append(("ints", p["values"]))
        elif p["kind"] == "error":
            out.append(("error", p["capacity"]))
        else:
            out.append((p["kind"], p["value"]))
    return out

"""A tour of libketralpython, the module itself, on an SQLite file: describe a small
installation, read it back, trace its paths, swap a board, show the history.

    ro01 ro02 (readout boards) --> sw01 <==> sw02 (switches, peer link)
                                    |          |
                                    v          v
                                  node01     node02 (farm nodes)
"""
import os
import sys

import libketralpython as k


def show(title, value):
    print(f"\n== {title}")
    if isinstance(value, (str, int)):
        print("  ", value)
    else:
        for item in value:
            print("  ", item)


def port_flags(speed=1000, admin_status=1, pxi_booting=0):
    flags = k.IntVec()
    flags.extend([speed, admin_status, pxi_booting])
    return flags


def describe(db):
    db.InsertSubsystem("DAQ", "")
    for i, name in enumerate(["data", "peer"]):
        db.InsertMultipleSimpleLinkTypes(name, int(i == 0), int(i == 1))

    types = [("READOUT", 0, 1, "readout board"), ("SWITCH", 3, 3, "switch"), ("NODE", 1, 0, "farm node")]
    for i, (dtype, nin, nout, text) in enumerate(types):
        db.InsertMultipleDeviceTypes("DAQ", dtype, nin, nout, text, "#336699", int(i == 0), int(i == len(types) - 1))

    devices = [("ro01", "READOUT", "RO-0001"), ("ro02", "READOUT", "RO-0002"), ("sw01", "SWITCH", "SW-0001"),
               ("sw02", "SWITCH", "SW-0002"), ("node01", "NODE", "ND-0001"), ("node02", "NODE", "ND-0002")]
    for i, (name, dtype, serial) in enumerate(devices):
        db.InsertMultipleFunctionalDevices("DAQ", name, dtype, 0, 0, serial, dtype.lower(), "shift crew",
                                           "rack A1", "installed for the demo", "", int(i == 0),
                                           int(i == len(devices) - 1))

    ports = [("ro01", "0", 2), ("ro02", "0", 2),
             ("sw01", "1", 1), ("sw01", "2", 1), ("sw01", "9", 2), ("sw01", "p", 2),
             ("sw02", "p", 1), ("sw02", "9", 2),
             ("node01", "eth0", 1), ("node02", "eth0", 1)]
    for i, (dev, nbr, way) in enumerate(ports):
        db.InsertMultiplePorts(dev, nbr, way, "data", "", "", "", "", "", port_flags(), "", int(i == 0),
                               int(i == len(ports) - 1))

    links = [("ro01", "sw01", "0", "1", "data", 0), ("ro02", "sw01", "0", "2", "data", 0),
             ("sw01", "sw02", "p", "p", "peer", 1), ("sw01", "node01", "9", "eth0", "data", 0),
             ("sw02", "node02", "9", "eth0", "data", 0)]
    for i, (src, dst, pfrom, pto, lktype, bidir) in enumerate(links):
        db.InsertMultipleMacroLinks(src, dst, pfrom, pto, "data", "data", lktype, bidir, f"{src}->{dst}",
                                    int(i == 0), int(i == len(links) - 1))

    db.InsertSpareDevice("spare readout", "readout", "RO-9999", "shift crew", "store room", "new from the vendor", 1)


def main(path):
    if os.path.exists(path):
        os.remove(path)
    db = k.KETRAL(path, "", "")
    db.DBConnexion()
    db.CreateTableSchema()
    describe(db)

    show("device types", db.LoadDeviceTypeTable(""))
    show("the record of sw01", db.GetDeviceRow_devicename("sw01"))
    show("readout boards", db.GetDeviceNamesPerType("READOUT"))
    show("links (lkid|from|to|port from|port to|bidir|used|type|info)", db.LoadConnectivityTable(""))

    show("paths ro01 -> node02 (path|link position|from|port|lkid|to|port|type|info)",
         db.GetConnectivityBetweenDevices("ro01", "node02", 0, 0))
    show("every path from ro02 (path|lkid|link position)", db.GetAllPathsPerDevice("ro02", "", 0, 0))
    db.CreateRoutingTable("sw01", 0)
    rows = db.GetRoutingTableRows("sw01")  # destinationid|destination|portid|port|links
    show("sw01 routing table", [f"{d} via {p}, {n} link(s)" for _, d, _, p, n in (r.split("|") for r in rows)])
    show("end devices behind sw01's output port 9", db.GetDestinationNamePerDevPort("sw01", "9", "data"))

    show("spare readout hardware", db.GetSpareHWPerType("readout"))
    show("status of ro01's hardware before the swap", db.GetHWDeviceStatus("RO-0001"))
    show("swap ro01's board for the spare RO-9999",
         db.SwapTwoDevices("ro01", "RO-9999", "IN_REPAIR: link errors"))
    show("hardware now in ro01", db.GetFunctionalDeviceLastHW("ro01"))
    show("status of the old board", db.GetHWDeviceStatus("RO-0001"))
    show("history of RO-0001", db.GetHistoryOfHWDevice("RO-0001", "", ""))
    show("history of position ro01", db.GetHistoryOfFunctionalDevice("ro01", "", ""))

    db.DBDeconnexion()
    print(f"\nThe database is in {path}.")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "demo.sqlite")

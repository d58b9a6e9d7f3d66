"""A tour of the ketraldb package on an SQLite file: describe a small
installation, read it back, trace its paths, build and read a routing
table, swap a board, show the history.

    ro01 ro02 (readout boards) --> sw01 <==> sw02 (switches, peer link)
                                    |          |
                                    v          v
                                  node01     node02 (farm nodes)

The same tour on the module itself is examples/demo_module.py.
"""
import os
import sys

import ketraldb
from ketraldb import INPUT, OUTPUT


def show(title, value):
    print(f"\n== {title}")
    for item in value if isinstance(value, list) else [value]:
        print("  ", item)


def describe(db):
    db.insert_subsystem("DAQ")
    with db.batch("simple_link_types") as types:     # one transaction; first/last set by the batch
        types.add("data")
        types.add("peer")

    with db.batch("device_types") as types:
        types.add("READOUT", nbrofinput=0, nbrofoutput=1, description="readout board", system_list=["DAQ"])
        types.add("SWITCH", nbrofinput=3, nbrofoutput=3, description="switch", system_list=["DAQ"])
        types.add("NODE", nbrofinput=1, nbrofoutput=0, description="farm node", system_list=["DAQ"])

    with db.batch("devices") as devices:
        for name, dtype, serial in [("ro01", "READOUT", "RO-0001"), ("ro02", "READOUT", "RO-0002"),
                                    ("sw01", "SWITCH", "SW-0001"), ("sw02", "SWITCH", "SW-0002"),
                                    ("node01", "NODE", "ND-0001"), ("node02", "NODE", "ND-0002")]:
            devices.add(name, dtype, serialnb=serial, hwtype=dtype.lower(), responsible="shift crew",
                        location="rack A1", comments="installed for the demo")

    with db.batch("ports") as ports:
        for device, nbr, way in [("ro01", "0", OUTPUT), ("ro02", "0", OUTPUT),
                                 ("sw01", "1", INPUT), ("sw01", "2", INPUT), ("sw01", "9", OUTPUT),
                                 ("sw01", "p", OUTPUT), ("sw02", "p", INPUT), ("sw02", "9", OUTPUT),
                                 ("node01", "eth0", INPUT), ("node02", "eth0", INPUT)]:
            ports.add(device, nbr, way, port_type="data", speed=1000)

    with db.batch("links") as links:
        for src, dst, pfrom, pto, lktype, bidir in [("ro01", "sw01", "0", "1", "data", False),
                                                    ("ro02", "sw01", "0", "2", "data", False),
                                                    ("sw01", "sw02", "p", "p", "peer", True),
                                                    ("sw01", "node01", "9", "eth0", "data", False),
                                                    ("sw02", "node02", "9", "eth0", "data", False)]:
            links.add(src, dst, pfrom, pto, lktype, port_typefrom="data", port_typeto="data",
                      bidirectional=bidir, link_info=f"{src}->{dst}")

    db.insert_spare_hardware("RO-9999", hwtype="readout", hwname="spare readout", responsible="shift crew",
                             location="store room", comments="new from the vendor")


def main(path):
    if os.path.exists(path):
        os.remove(path)
    with ketraldb.connect(path) as db:
        db.create_schema()
        describe(db)

        show("device types", [f"{t.devicetypeid}: {t.devicetype}" for t in db.device_types()])
        sw01 = db.device("sw01")                        # a dict
        show("the record of sw01", f"{sw01['devicename']}: {sw01['devicetype']} in {sw01['location']}, "
                                   f"hardware {sw01['serialnb']}")
        show("readout boards", db.device_names_of_type("READOUT"))
        show("a device that does not exist", db.device("sw99"))
        show("links", [f"{link.linkid}: {link.port_from} -> {link.port_to} ({link.link_info})"
                       for link in db.links()])

        show("paths ro01 -> node02", db.paths("ro01", "node02"))
        for trace in db.detailed_paths("ro01", "node02"):
            show(f"the links of path {trace.pathid}", [f"{link.node_from} {link.port_from} -> {link.node_to} "
                                                       f"{link.port_to} ({link.lkinfo['lktype']})" for link in trace])
        show("every path from ro02", db.all_paths("ro02"))

        db.create_routing_table("sw01")                 # computed on the links and stored
        show("sw01 routing table", [f"{r.destination} via {r.port}, {r.nbr_links} link(s)"
                                    for r in db.routing_table("sw01")])
        show("end devices behind sw01's output port 9", db.destinations("sw01", "9", "data"))

        show("spare readout hardware", [h["serialnb"] for h in db.spare_hardware_of_type("readout")])
        show("status of ro01's hardware before the swap", db.hardware_status("RO-0001"))
        db.swap("ro01", "RO-9999", "IN_REPAIR: link errors")
        show("swapped ro01's board for the spare RO-9999", db.device_last_hardware("ro01"))
        show("status of the old board", db.hardware_status("RO-0001"))
        show("spare readout hardware now", [h["serialnb"] for h in db.spare_hardware_of_type("readout")])
        show("history of RO-0001", [f"{h['event_date']} {h['status']:9} {h['devicename']}: {h['comments']}"
                                    for h in db.hardware_history("RO-0001")])
        show("history of position ro01", [f"{h['event_date']} {h['serialnb']} {h['status']}"
                                          for h in db.device_history("ro01")])
    print(f"\nThe database is in {path}.")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "demo.sqlite")

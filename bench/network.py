"""The benchmark network, generated from a seed at a scale S.

20*S readout boards with 4 output ports each, spread over S aggregation
switches of 96 ports (80 inputs, 4 uplinks, 1 peer port, 11 free inputs);
pairs of aggregation switches joined by bidirectional peer links; 2 core
switches joined by a bidirectional link; 5*S farm nodes with one link from
each core; S/10 storage nodes likewise on both cores; about 1 % of devices
and links marked not in use. At S = 500: about 13,000 devices, 100,000 ports
and 47,000 links.

Rows are plain tuples in the order the module's batched inserts take them.
"""
import random
from dataclasses import dataclass, field

PORT_TYPE = "data"
IN, OUT = 1, 2

DEVICE_TYPES = [
    # system_list, devicetype, nbrofinput, nbrofoutput, description, rgbcolor
    ("DAQ", "READOUT", 0, 4, "readout board", "#1f77b4"),
    ("DAQ", "AGG_SWITCH", 91, 5, "aggregation switch", "#ff7f0e"),
    ("DAQ", "CORE_SWITCH", 0, 0, "core switch", "#2ca02c"),
    ("DAQ", "FARM_NODE", 2, 0, "farm node", "#d62728"),
    ("DAQ", "STORAGE_NODE", 2, 0, "storage node", "#9467bd"),
]
LINK_TYPES = ["data", "uplink", "peer", "core"]


@dataclass
class Network:
    scale: int
    device_types: list = field(default_factory=lambda: list(DEVICE_TYPES))
    link_types: list = field(default_factory=lambda: list(LINK_TYPES))
    devices: list = field(default_factory=list)   # (system_list, name, type, dnode, promisc, serialnb, hwtype,
                                                  #  responsible, location, comments, function_list)
    ports: list = field(default_factory=list)     # (devicename, port_nbr, port_way, port_type)
    links: list = field(default_factory=list)     # (node_from, node_to, port_from, port_to, lktype, bidir, lkused)
    readouts: list = field(default_factory=list)
    aggregations: list = field(default_factory=list)
    cores: list = field(default_factory=list)
    farm_nodes: list = field(default_factory=list)
    storage_nodes: list = field(default_factory=list)

    @property
    def switches(self):
        return self.aggregations + self.cores


def generate(scale, seed=20261208):
    rng = random.Random(seed)
    net = Network(scale)
    idle_devices = set()  # devices out of use: every link touching them is unused

    def device(name, dtype, location):
        if dtype in ("READOUT", "FARM_NODE") and rng.random() < 0.01:
            idle_devices.add(name)
        net.devices.append(("DAQ", name, dtype, 0, 0, "", "", "bench", location, "", ""))
        return name

    def port(dev, nbr, way):
        net.ports.append((dev, str(nbr), way, PORT_TYPE))

    def link(src, dst, p_from, p_to, lktype, bidirectional=0):
        idle = src in idle_devices or dst in idle_devices
        used = 0 if idle or rng.random() < 0.01 else 1
        net.links.append((src, dst, str(p_from), str(p_to), lktype, bidirectional, used))

    net.cores = [device(f"core{c:02d}", "CORE_SWITCH", "hall") for c in range(2)]
    core_in = {c: 0 for c in net.cores}
    core_out = {c: 0 for c in net.cores}

    def core_port(core, way):
        counter = core_in if way == IN else core_out
        counter[core] += 1
        nbr = ("i" if way == IN else "o") + str(counter[core])
        port(core, nbr, way)
        return nbr

    for s in range(scale):
        agg = device(f"agg{s:04d}", "AGG_SWITCH", f"rack{s // 10:03d}")
        net.aggregations.append(agg)
        for p in range(80 + 11):
            port(agg, p, IN)
        for u in range(4):
            port(agg, f"u{u}", OUT)
        # The first switch of a pair sends on its peer port, the second receives.
        port(agg, "peer", OUT if s % 2 == 0 else IN)
        for b in range(20):
            board = device(f"ro{s * 20 + b:05d}", "READOUT", f"rack{s // 10:03d}")
            net.readouts.append(board)
            for p in range(4):
                port(board, p, OUT)
                link(board, agg, p, b * 4 + p, "data")
        for u in range(4):
            core = net.cores[u % 2]
            link(agg, core, f"u{u}", core_port(core, IN), "uplink")
    # Peer links between pairs of aggregation switches; the peer port of the
    # second switch takes the link backwards.
    for a, b in zip(net.aggregations[0::2], net.aggregations[1::2]):
        link(a, b, "peer", "peer", "peer", bidirectional=1)
    link(net.cores[0], net.cores[1], core_port(net.cores[0], OUT), core_port(net.cores[1], IN), "core", 1)

    for f in range(5 * scale):
        node = device(f"farm{f:05d}", "FARM_NODE", f"farm{f // 40:03d}")
        net.farm_nodes.append(node)
        for i, core in enumerate(net.cores):
            port(node, i, IN)
            link(core, node, core_port(core, OUT), i, "data")
    for st in range(max(scale // 10, 1)):
        node = device(f"store{st:03d}", "STORAGE_NODE", "storage")
        net.storage_nodes.append(node)
        for i, core in enumerate(net.cores):
            port(node, i, IN)
            link(core, node, core_port(core, OUT), i, "data")
    return net


if __name__ == "__main__":
    import sys
    n = generate(int(sys.argv[1]) if len(sys.argv) > 1 else 500)
    print(f"S={n.scale}: {len(n.devices)} devices, {len(n.ports)} ports, {len(n.links)} links")

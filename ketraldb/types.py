"""The Python objects the package answers with.

Rows are named tuples whose fields carry the column names of the library's
reference (docs/storage.md): integers as ``int``, texts as ``str``, a port
written ``number:way[:type]`` as a ``PortRef``. Paths are ``Path`` objects
holding their links in order.
"""
from dataclasses import dataclass
from typing import Generic, Iterator, NamedTuple, Tuple, TypeVar

INPUT = 1
"""``port_way`` of an input port."""
OUTPUT = 2
"""``port_way`` of an output port."""


class PortRef(NamedTuple):
    """A port of a device: its number, its way (1 input, 2 output) and its
    type (``""`` when untyped). ``str()`` gives the library's text form,
    ``3:out:data`` or ``u0:in``."""

    port_nbr: str
    port_way: int
    port_type: str = ""

    @classmethod
    def parse(cls, text: str) -> "PortRef":
        """Reads ``number:way[:type]``, split at its first two ``:``."""
        parts = text.split(":", 2)
        if len(parts) < 2 or parts[1] not in ("in", "out"):
            raise ValueError(f"not a port text (number:in|out[:type]): {text!r}")
        return cls(parts[0], INPUT if parts[1] == "in" else OUTPUT, parts[2] if len(parts) == 3 else "")

    def __str__(self) -> str:
        way = "in" if self.port_way == INPUT else "out"
        return f"{self.port_nbr}:{way}:{self.port_type}" if self.port_type else f"{self.port_nbr}:{way}"


class LinkRow(NamedTuple):
    """A macro link as ``links()`` loads it (``LoadConnectivityTable``)."""

    linkid: int
    deviceidfrom: int
    deviceidto: int
    port_from: PortRef
    port_to: PortRef
    bidirectional: int
    lkused: int
    linktypeid: int
    link_info: str


class DeviceIdName(NamedTuple):
    """A device id and its name (``MatchDeviceIDDeviceName``)."""

    deviceid: int
    devicename: str


class DeviceTypeIdName(NamedTuple):
    """A device type id and its name (``LoadDeviceTypeTable``)."""

    devicetypeid: int
    devicetype: str


class LinkTypeIdName(NamedTuple):
    """A link type number and its name (``LoadLinkTypeTable``)."""

    linktypeid: int
    lktype: str


class PathLink(NamedTuple):
    """One link of a path, in the direction the path follows it
    (``GetConnectivityBetweenDevices``): ports by number, ``lktype`` the link
    type number, ``lkinfo`` the link's information text (``""`` when none)."""

    link_pos: int
    node_from: str
    port_from: str
    lkid: int
    node_to: str
    port_to: str
    lktype: int
    lkinfo: str


class DetailedLink(NamedTuple):
    """One link of a path with whole ports (``GetDetailedConnectivityBetweenDevices``,
    ``GetDetailedConnBetweenDeviceDevType``). ``lkinfo`` is a dict with the keys
    ``lktype`` (the type's name), ``bidirectional``, ``backward`` (1 when the
    path follows the link from its input end) and ``link_info`` (text or None)."""

    link_pos: int
    node_from: str
    port_from: PortRef
    lkid: int
    node_to: str
    port_to: PortRef
    lktype: int
    lkinfo: dict


class PathStep(NamedTuple):
    """One link of a path known by its id alone (``GetAllPathsPerDevice``)."""

    link_pos: int
    lkid: int


class MicroLink(NamedTuple):
    """One micro link of a path on a board, in the direction the path follows
    it; ``node_from``/``node_to`` are component names or the board's name."""

    port_from: int
    port_to: int
    node_from: str
    node_to: str


L = TypeVar("L")


@dataclass(frozen=True)
class Path(Generic[L]):
    """A path: its number (from 1, ``None`` for micro paths, which have
    none) and its links in order. Iterating a path gives its links;
    ``len(path)`` is its number of links."""

    pathid: "int | None"
    links: Tuple[L, ...]

    def __iter__(self) -> Iterator[L]:
        return iter(self.links)

    def __len__(self) -> int:
        return len(self.links)

    def __getitem__(self, index: int) -> L:
        return self.links[index]

    @property
    def devices(self) -> Tuple[str, ...]:
        """The devices (or board nodes) along the path, from its start to its
        end; empty for a path whose links carry only their ids."""
        if not self.links or not hasattr(self.links[0], "node_from"):
            return ()
        return (self.links[0].node_from,) + tuple(link.node_to for link in self.links)

    @property
    def lkids(self) -> Tuple[int, ...]:
        """The link ids along the path (macro paths)."""
        return tuple(link.lkid for link in self.links)

    def __str__(self) -> str:
        number = "" if self.pathid is None else f"{self.pathid}: "
        if self.devices:
            return number + " -> ".join(self.devices)
        return number + " -> ".join(f"link {lkid}" for lkid in self.lkids)


class Reach(NamedTuple):
    """A device reached from another (``GetConnOutBetweenDeviceDeviceType``):
    the destination, the port of the start device that begins a shortest
    path to it, and that path's number of links."""

    device: str
    port: PortRef
    links: int


class Route(NamedTuple):
    """A row of a switch's stored routing table: a destination, an output
    port of the switch on a shortest path to it, and that path's links."""

    destinationid: int
    destination: str
    portid: int
    port: PortRef
    nbr_links: int


class Destination(NamedTuple):
    """A row of a device's stored destination table: a port the device sends
    on, an end device reachable through it, and the fewest links to it."""

    portid: int
    port: PortRef
    destinationid: int
    destination: str
    nbr_links: int


class Impact(NamedTuple):
    """A device a failure would affect: ``effect`` is ``"cut_off"`` (it would
    reach no end device any more) or ``"degraded"`` (it keeps a way, but
    loses some of its shortest paths to an end device)."""

    device: str
    effect: str


class WeakPoint(NamedTuple):
    """A single point of failure: ``kind`` ``"device"`` (``name`` a device
    name) or ``"link"`` (``name`` a link id, as text), and ``count`` the
    devices its loss alone cuts off from every end device."""

    kind: str
    name: str
    count: int

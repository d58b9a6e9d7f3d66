"""Paths between devices, destinations, micro connectivity on boards, and
the stored routing and destination tables."""
import json
from typing import List

from ._base import group_paths, split_row
from ._checks import checked
from ._lists import Lists
from .types import (Destination, DetailedLink, Impact, MicroLink, Path, PathLink, PathStep, PortRef, Reach, Route,
                    WeakPoint)


class Paths(Lists):
    def _paths(self, rows: List[str], columns: int, make) -> List[Path]:
        ids, links = [], []
        for row in rows:
            pathid, link = make(split_row(row, columns))
            ids.append(pathid)
            links.append(link)
        return group_paths(links, lambda i: ids[i])

    @staticmethod
    def _detailed(link_pos, node_from, port_from, lkid, node_to, port_to, lktype, lkinfo) -> DetailedLink:
        return DetailedLink(int(link_pos), node_from, PortRef.parse(port_from), int(lkid), node_to,
                            PortRef.parse(port_to), int(lktype), json.loads(lkinfo))

    @checked
    def paths(self, dev_from: str, dev_to: str, reload_connectivity: bool = False,
              delete_connectivity: bool = False) -> List[Path[PathLink]]:
        """Every path from one device to another (``GetConnectivityBetweenDevices``).

        Args:
            dev_from: the device the paths start from.
            dev_to: the device they end at.
            reload_connectivity: rebuild the library's graph from the database
                first (for changes made by other processes).
            delete_connectivity: free the graph after the call.

        Returns:
            ``Path`` objects, numbered from 1, each holding its ``PathLink``
            tuples (``link_pos``, ``node_from``, ``port_from``, ``lkid``,
            ``node_to``, ``port_to``, ``lktype``, ``lkinfo``) in the direction
            the path follows them; empty when there is no path.

        Raises:
            KetralError: an unknown device, a search beyond the library's
                limits, or another failure.
        """
        rows = self._texts("GetConnectivityBetweenDevices", dev_from, dev_to, reload_connectivity,
                           delete_connectivity)
        return self._paths(rows, 9, lambda f: (int(f[0]), PathLink(int(f[1]), f[2], f[3], int(f[4]), f[5], f[6],
                                                                    int(f[7]), f[8])))

    @checked
    def detailed_paths(self, dev_from: str, dev_to: str, reload_connectivity: bool = False,
                       delete_connectivity: bool = False) -> List[Path[DetailedLink]]:
        """The paths of ``paths()`` with whole ports and link details
        (``GetDetailedConnectivityBetweenDevices``).

        Args:
            dev_from: the device the paths start from.
            dev_to: the device they end at.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Path`` objects holding ``DetailedLink`` tuples: ports as
            ``PortRef``, ``lkinfo`` a dict (``lktype`` name,
            ``bidirectional``, ``backward``, ``link_info``).

        Raises:
            KetralError: an unknown device, or another failure.
        """
        rows = self._texts("GetDetailedConnectivityBetweenDevices", dev_from, dev_to, reload_connectivity,
                           delete_connectivity)
        return self._paths(rows, 9, lambda f: (int(f[0]), self._detailed(*f[1:])))

    @checked
    def detailed_paths_to(self, devicename: str, nto: str, nto_dtype: bool = True,
                          reload_connectivity: bool = False, delete_connectivity: bool = False
                          ) -> List[Path[DetailedLink]]:
        """Every path from a device to each device of a type, or to each
        device whose name contains a text (``GetDetailedConnBetweenDeviceDevType``).

        Args:
            devicename: the device the paths start from.
            nto: a device type (``nto_dtype`` True), or a part of device
                names (``nto_dtype`` False; ``""`` selects every device).
            nto_dtype: whether ``nto`` is a device type.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Path`` objects holding ``DetailedLink`` tuples; a path's last
            ``node_to`` is its destination.

        Raises:
            KetralError: an unknown device or type, or another failure.
        """
        rows = self._texts("GetDetailedConnBetweenDeviceDevType", devicename, nto, nto_dtype, reload_connectivity,
                           delete_connectivity)

        def make(f):  # node_from|node_to|port_from|port_to|pathid|link_pos|lkid|lktype|lkinfo
            return int(f[4]), self._detailed(f[5], f[0], f[2], f[6], f[1], f[3], f[7], f[8])

        return self._paths(rows, 9, make)

    @checked
    def reaches(self, devicename: str, nto: str, nto_dtype: bool = True, reload_connectivity: bool = False,
                delete_connectivity: bool = False) -> List[Reach]:
        """For each device selected by ``nto`` that a device reaches, each of
        its ports that begins a shortest path there
        (``GetConnOutBetweenDeviceDeviceType``); nearest first.

        Args:
            devicename: the start device.
            nto: a device type (``nto_dtype`` True) or a part of device names.
            nto_dtype: whether ``nto`` is a device type.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Reach`` tuples (``device``, ``port``, ``links``).

        Raises:
            KetralError: an unknown device or type, or another failure.
        """
        rows = self._texts("GetConnOutBetweenDeviceDeviceType", devicename, nto, nto_dtype, reload_connectivity,
                           delete_connectivity)
        reaches = []
        for row in rows:
            device, rest = row.split("|", 1)
            port, links = rest.rsplit("|", 1)
            reaches.append(Reach(device, PortRef.parse(port), int(links)))
        return reaches

    @checked
    def destinations(self, devicename: str, port_nbr: str, port_type: str = "") -> List[str]:
        """The end devices reachable through a port of a device, nearest first
        (``GetDestinationNamePerDevPort``), from its stored destination table
        (built first when none is stored).

        Args:
            devicename: the device.
            port_nbr: the port number.
            port_type: the port type, ``""`` for untyped.

        Returns:
            Device names; empty when none.

        Raises:
            KetralError: an unknown device or port, or another failure.
        """
        return self._texts("GetDestinationNamePerDevPort", devicename, port_nbr, port_type)

    @checked
    def all_paths(self, devicename: str, system_name: str = "", reload_connectivity: bool = False,
                  delete_connectivity: bool = False) -> List[Path[PathStep]]:
        """Every path from a device to the ends of the network (``GetAllPathsPerDevice``).

        Args:
            devicename: the start device.
            system_name: a subsystem the paths stay in; ``""`` or ``"ALL"``: anywhere.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Path`` objects holding ``PathStep`` tuples (``link_pos``,
            ``lkid``); ``path.lkids`` lists their link ids.

        Raises:
            KetralError: an unknown device or subsystem, or another failure.
        """
        rows = self._texts("GetAllPathsPerDevice", devicename, system_name, reload_connectivity, delete_connectivity)
        return self._paths(rows, 3, lambda f: (int(f[0]), PathStep(int(f[2]), int(f[1]))))

    # ------------------------------------------------------------------
    # Micro connectivity
    # ------------------------------------------------------------------

    @staticmethod
    def _micro_paths(rows: List[str]) -> List[Path[MicroLink]]:
        """Rows in path order; each path begins with a row leaving the start."""
        paths: List[Path[MicroLink]] = []
        current: List[MicroLink] = []
        start = None
        for row in rows:
            f = split_row(row, 4)
            link = MicroLink(int(f[0]), int(f[1]), f[2], f[3])
            if start is None:
                start = link.node_from
            if link.node_from == start and current:
                paths.append(Path(None, tuple(current)))
                current = []
            current.append(link)
        if current:
            paths.append(Path(None, tuple(current)))
        return paths

    @checked
    def micro_paths_to_motherboard(self, cpntname: str, direction: int = 0) -> List[Path[MicroLink]]:
        """The paths on a board between a component and its motherboard
        (``GetMicroConnectBetweenBoardCpntAndMotherBoard``).

        Args:
            cpntname: the component.
            direction: 2: from the component to its motherboard; 1: from the
                motherboard to the component; 0: both, the first then the second.

        Returns:
            ``Path`` objects holding ``MicroLink`` tuples (``port_from``,
            ``port_to``, ``node_from``, ``node_to``).

        Raises:
            KetralError: an unknown component, another direction, or another failure.
        """
        if direction == 0:  # each direction on its own, so that each path is told apart
            return self.micro_paths_to_motherboard(cpntname, 2) + self.micro_paths_to_motherboard(cpntname, 1)
        return self._micro_paths(self._texts("GetMicroConnectBetweenBoardCpntAndMotherBoard", cpntname, direction))

    @checked
    def micro_paths_from(self, name: str, port_nbr: int = -1, max_links: int = 0) -> List[Path[MicroLink]]:
        """Every path on a board from a component or the board itself
        (``GetMicroConnectFromPortid``).

        Args:
            name: a board component, or a board (device) name.
            port_nbr: its port the paths start on; negative: every port.
            max_links: the longest path in links; 0: no limit.

        Returns:
            ``Path`` objects holding ``MicroLink`` tuples.

        Raises:
            KetralError: an unknown name, or another failure.
        """
        return self._micro_paths(self._texts("GetMicroConnectFromPortid", port_nbr, max_links, name))

    @checked
    def micro_paths_to_type(self, start: "int | str", cpnttype: str, motherboard: bool = False
                            ) -> List[Path[MicroLink]]:
        """Every path on a board from a component (or the board) to each
        component of a type (``GetMicroConnectToCpntType``).

        Args:
            start: a component's id or name, or with ``motherboard`` the
                board's device id or name.
            cpnttype: the component type the paths go to.
            motherboard: True when ``start`` is the board itself.

        Returns:
            ``Path`` objects holding ``MicroLink`` tuples.

        Raises:
            KetralError: an unknown start, or another failure.
        """
        if isinstance(start, str):
            start = self._device_id(start) if motherboard else self._component_id(start)
        return self._micro_paths(self._texts("GetMicroConnectToCpntType", start, motherboard, cpnttype))

    # ------------------------------------------------------------------
    # Routing and destination tables
    # ------------------------------------------------------------------

    @checked
    def create_routing_table(self, devicename: str, max_links: int = 0) -> None:
        """Computes and stores the routing table of a switch (``CreateRoutingTable``):
        for each device it reaches, its ports on a shortest path there.

        Args:
            devicename: the switch (any device is accepted).
            max_links: the longest path in links; 0: no limit.

        Raises:
            KetralError: an unknown device, a negative limit, or another failure.
        """
        self._write("CreateRoutingTable", devicename, max_links)

    @checked
    def create_destination_table(self, devicename: str, max_links: int = 0) -> None:
        """Computes and stores the destination table of a device
        (``CreateDestinationTable``): for each port it sends on, the end
        devices reachable through it.

        Args:
            devicename: the device.
            max_links: the longest path in links; 0: no limit.

        Raises:
            KetralError: an unknown device, a negative limit, or another failure.
        """
        self._write("CreateDestinationTable", devicename, max_links)

    @checked
    def routing_table(self, devicename: str) -> List[Route]:
        """The stored routing table of a switch, read back (``GetRoutingTableRows``):
        for every device it reaches, each of its ports on a shortest path
        there. The table is fresh: built (without a limit) when none is
        stored, built again with its limit when the network changed since it
        was stored. ``create_routing_table`` builds it with a limit.

        Args:
            devicename: the switch (any device is accepted).

        Returns:
            ``Route`` tuples (``destinationid``, ``destination``, ``portid``,
            ``port``, ``nbr_links``), by destination name, then port; empty
            when the switch reaches nothing.

        Raises:
            KetralError: an unknown device, or another failure.
        """
        routes = []
        for row in self._texts("GetRoutingTableRows", devicename):
            f = split_row(row, 5)
            routes.append(Route(int(f[0]), f[1], int(f[2]), PortRef.parse(f[3]), int(f[4])))
        return routes

    @checked
    def destination_table(self, devicename: str) -> List[Destination]:
        """The stored destination table of a device, read back
        (``GetDestinationTableRows``): for each port it sends on, the end
        devices reachable through it. Fresh as ``routing_table()`` is;
        ``create_destination_table`` builds it with a limit.

        Args:
            devicename: the device.

        Returns:
            ``Destination`` tuples (``portid``, ``port``, ``destinationid``,
            ``destination``, ``nbr_links``), by port, nearest first; empty
            when no port leads to an end device.

        Raises:
            KetralError: an unknown device, or another failure.
        """
        table = []
        for row in self._texts("GetDestinationTableRows", devicename):
            f = split_row(row, 5)
            table.append(Destination(int(f[0]), PortRef.parse(f[1]), int(f[2]), f[3], int(f[4])))
        return table

    # ------------------------------------------------------------------
    # Failure impact
    # ------------------------------------------------------------------

    def _impacts(self, method: str, *args) -> List[Impact]:
        return [Impact(*split_row(row, 2)) for row in self._texts(method, *args)]

    @checked
    def failure_impact_of_device(self, devicename: str, reload_connectivity: bool = False,
                                 delete_connectivity: bool = False) -> List[Impact]:
        """The devices the loss of a device would cut off from the end devices
        they reach, then those it would degrade (``GetFailureImpactOfDevice``).

        Args:
            devicename: the device lost.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Impact`` tuples (``device``, ``effect``: ``"cut_off"`` or
            ``"degraded"``), the cut off first, each part by name; empty
            when nothing is affected.

        Raises:
            KetralError: an unknown device, or another failure.
        """
        return self._impacts("GetFailureImpactOfDevice", devicename, reload_connectivity, delete_connectivity)

    @checked
    def failure_impact_of_link(self, lkid: int, reload_connectivity: bool = False,
                               delete_connectivity: bool = False) -> List[Impact]:
        """What the loss of a macro link would do (``GetFailureImpactOfLink``),
        as ``failure_impact_of_device``.

        Args:
            lkid: the link's id.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Impact`` tuples; empty when nothing is affected.

        Raises:
            KetralError: an unknown link, or another failure.
        """
        return self._impacts("GetFailureImpactOfLink", lkid, reload_connectivity, delete_connectivity)

    @checked
    def failure_impact_of_port(self, devicename: str, port_nbr: str, port_way: int, port_type: str = "",
                               reload_connectivity: bool = False, delete_connectivity: bool = False
                               ) -> List[Impact]:
        """What the loss of a port (every macro link it carries) would do
        (``GetFailureImpactOfPort``), as ``failure_impact_of_device``.

        Args:
            devicename: the port's device.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            port_type: the port type; ``""``: untyped.
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``Impact`` tuples; empty when nothing is affected.

        Raises:
            KetralError: an unknown port, another way, or another failure.
        """
        return self._impacts("GetFailureImpactOfPort", devicename, port_nbr, port_way, port_type,
                             reload_connectivity, delete_connectivity)

    @checked
    def weak_points(self, reload_connectivity: bool = False, delete_connectivity: bool = False) -> List[WeakPoint]:
        """Every single point of failure of the network: each device or macro
        link whose loss alone cuts some device off from every end device it
        reaches (``GetWeakPoints``).

        Args:
            reload_connectivity: rebuild the graph from the database first.
            delete_connectivity: free the graph after the call.

        Returns:
            ``WeakPoint`` tuples (``kind``, ``name``, ``count``), most devices
            cut off first; empty when there is none.

        Raises:
            KetralError: the library's failure.
        """
        points = []
        for row in self._texts("GetWeakPoints", reload_connectivity, delete_connectivity):
            kind, name, count = split_row(row, 3)
            points.append(WeakPoint(kind, name, int(count)))
        return points

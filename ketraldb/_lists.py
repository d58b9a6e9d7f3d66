"""Listings and histories, identifier lists, name lists and table loaders."""
from typing import List

from ._base import split_row
from ._checks import checked
from ._records import Records
from .types import DeviceIdName, DeviceTypeIdName, LinkRow, LinkTypeIdName


class Lists(Records):
    # ------------------------------------------------------------------
    # Status listings and histories: lists of dicts
    # ------------------------------------------------------------------

    @checked
    def hardware_by_status(self, status: str, location: str = "") -> List[dict]:
        """Hardware devices in a status (``GetHWDeviceByStatus``), by serial number.

        Args:
            status: ``IN_USE``, ``SPARE``, ``IN_REPAIR``, ``DESTROYED`` or ``TEST``.
            location: a location prefix (``"rack1"`` matches ``rack12``); ``""`` for all.

        Returns:
            One dict per piece (``serialnb``, ``hwname``, ``hwtype``,
            ``location``, ``responsible``, ``devicename``); empty when none.

        Raises:
            KetralError: an unknown status, or another failure.
        """
        return self._items("GetHWDeviceByStatus", status, location)

    @checked
    def devices_by_status(self, status: str, location: str = "") -> List[dict]:
        """Devices whose hardware is in a status (``GetFunctionalDeviceByStatus``), by name.

        Args:
            status: a status word, or ``NO_HARDWARE`` for the empty positions.
            location: a location prefix; ``""`` for all.

        Returns:
            One dict per device (``devicename``, ``devicetype``, ``location``,
            ``serialnb``); empty when none.

        Raises:
            KetralError: an unknown status, or another failure.
        """
        return self._items("GetFunctionalDeviceByStatus", status, location)

    @checked
    def component_hardware_by_status(self, status: str) -> List[dict]:
        """Component hardware in a status (``GetHWBoardCpntByStatus``).

        Args:
            status: a status word.

        Returns:
            One dict per piece (``snbid``, ``serialnb``, ``hwtype``,
            ``location``, ``cpntname``, ``motherboardname``); empty when none.

        Raises:
            KetralError: an unknown status, or another failure.
        """
        return self._items("GetHWBoardCpntByStatus", status)

    @checked
    def hardware_history(self, serialnb: str, earliest: str = "", latest: str = "") -> List[dict]:
        """The history of a hardware device, oldest first (``GetHistoryOfHWDevice``).

        Args:
            serialnb: its serial number.
            earliest: the earliest date, an ISO 8601 UTC date or a beginning
                of one (``"2026"``, ``"2026-03-05T10"``); ``""``: no bound.
            latest: the latest date, the same way (``"2026-03"`` keeps all of March).

        Returns:
            One dict per entry (``event_date``, ``serialnb``, ``status``,
            ``devicename``, ``location``, ``comments``); empty when none.

        Raises:
            KetralError: a date that is not ISO 8601, or another failure.
        """
        return self._items("GetHistoryOfHWDevice", serialnb, earliest, latest)

    @checked
    def component_hardware_history(self, serialnb: str, snbid: int = 0, earliest: str = "",
                                   latest: str = "") -> List[dict]:
        """The history of component hardware, oldest first (``GetHistoryOfHWBoardCpnt``).

        Args:
            serialnb: its serial number.
            snbid: its id, or 0 for every piece with that serial number.
            earliest: the earliest date (see ``hardware_history``); ``""``: no bound.
            latest: the latest date; ``""``: no bound.

        Returns:
            One dict per entry (``event_date``, ``snbid``, ``serialnb``,
            ``status``, ``cpntname``, ``location``, ``comments``).

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetHistoryOfHWBoardCpnt", serialnb, snbid, earliest, latest)

    @checked
    def device_history(self, devicename: str, earliest: str = "", latest: str = "") -> List[dict]:
        """The history of a device's position: every piece of hardware that
        came or went, oldest first (``GetHistoryOfFunctionalDevice``).

        Args:
            devicename: the device's name.
            earliest: the earliest date (see ``hardware_history``); ``""``: no bound.
            latest: the latest date; ``""``: no bound.

        Returns:
            One dict per entry, as ``hardware_history()``.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetHistoryOfFunctionalDevice", devicename, earliest, latest)

    @checked
    def component_history(self, cpntname: str, earliest: str = "", latest: str = "") -> List[dict]:
        """The history of a board component's position, oldest first
        (``GetHistoryOfFunctionalBoardCpntName``).

        Args:
            cpntname: the component's name.
            earliest: the earliest date; ``""``: no bound.
            latest: the latest date; ``""``: no bound.

        Returns:
            One dict per entry, as ``component_hardware_history()``.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetHistoryOfFunctionalBoardCpntName", cpntname, earliest, latest)

    # ------------------------------------------------------------------
    # Identifier lists: lists of int, ascending
    # ------------------------------------------------------------------

    @checked
    def port_ids(self, device: "int | str") -> List[int]:
        """The ids of a device's ports (``GetPortIDPerDevID``).

        Args:
            device: the device's id, or its name.

        Returns:
            Port ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetPortIDPerDevID", self._device_id(device))

    @checked
    def device_ids_of_type(self, devicetype: str) -> List[int]:
        """The ids of the devices of a type (``GetDeviceIDsPerType``).

        Args:
            devicetype: the device type's name.

        Returns:
            Device ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetDeviceIDsPerType", devicetype)

    @checked
    def link_ids_from(self, device: "int | str") -> List[int]:
        """The ids of the macro links leaving a device (``GetLkFromDevID``).

        Args:
            device: the device's id, or its name.

        Returns:
            Link ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetLkFromDevID", self._device_id(device))

    @checked
    def link_ids_to(self, device: "int | str") -> List[int]:
        """The ids of the macro links reaching a device (``GetLkToDevID``).

        Args:
            device: the device's id, or its name.

        Returns:
            Link ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetLkToDevID", self._device_id(device))

    def _micro_end(self, end: "int | str", motherboard: int) -> int:
        if isinstance(end, int):
            return end
        return self._device_id(end) if motherboard else self._component_id(end)

    @checked
    def micro_link_ids_from(self, end: "int | str", motherboard: bool = False) -> List[int]:
        """The ids of the micro links leaving one end (``GetMicroLkFromCpntID``).

        Args:
            end: a board component (its id or name), or with ``motherboard``
                a board (its device id or name).
            motherboard: True when ``end`` is the board itself.

        Returns:
            Micro link ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetMicroLkFromCpntID", self._micro_end(end, motherboard), motherboard)

    @checked
    def micro_link_ids_to(self, end: "int | str", motherboard: bool = False) -> List[int]:
        """The ids of the micro links reaching one end (``GetMicroLkToCpntID``).

        Args:
            end: a board component (its id or name), or with ``motherboard``
                a board (its device id or name).
            motherboard: True when ``end`` is the board itself.

        Returns:
            Micro link ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetMicroLkToCpntID", self._micro_end(end, motherboard), motherboard)

    @checked
    def link_ids_with_info(self, lkinfo: str) -> List[int]:
        """The ids of the macro links whose information is exactly ``lkinfo``
        (``GetLkIDsPerLkInfo``).

        Args:
            lkinfo: the whole text; ``""`` finds the links without information.

        Returns:
            Link ids, ascending; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._ints("GetLkIDsPerLkInfo", lkinfo)

    # ------------------------------------------------------------------
    # Name lists
    # ------------------------------------------------------------------

    @checked
    def device_names_of_type(self, devicetype: str) -> List[str]:
        """The names of the devices of a type, sorted (``GetDeviceNamesPerType``).

        Args:
            devicetype: the device type's name.

        Returns:
            Device names; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetDeviceNamesPerType", devicetype)

    @checked
    def free_device_names_of_type(self, devicetype: str) -> List[str]:
        """The devices of a type none of whose ports carries a link
        (``GetFreeDeviceNamesPerType``).

        Args:
            devicetype: the device type's name.

        Returns:
            Device names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetFreeDeviceNamesPerType", devicetype)

    @checked
    def device_names_at(self, location: str) -> List[str]:
        """The names of the devices at a location (whole text) (``GetDeviceNamesPerLocation``).

        Args:
            location: the location.

        Returns:
            Device names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetDeviceNamesPerLocation", location)

    @checked
    def device_names_with_function(self, function: str) -> List[str]:
        """The names of the devices that have a function (``GetDeviceNamesPerFunction``).

        Args:
            function: the function's name.

        Returns:
            Device names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetDeviceNamesPerFunction", function)

    @checked
    def component_names_of_type(self, cpnttype: str) -> List[str]:
        """The names of the board components of a type (``GetBoardCpntPerType``).

        Args:
            cpnttype: the component type.

        Returns:
            Component names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetBoardCpntPerType", cpnttype)

    @checked
    def component_names_on(self, boardname: str) -> List[str]:
        """The names of the components on a board (``GetCpntNamesPerBoard``).

        Args:
            boardname: the motherboard's device name.

        Returns:
            Component names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetCpntNamesPerBoard", boardname)

    @checked
    def spare_hardware_at(self, location: str) -> List[dict]:
        """The spare hardware devices at a location (``GetSpareHWPerLocation``).

        Args:
            location: the location (whole text).

        Returns:
            One dict per piece (``serialid``, ``serialnb``, ``hwname``,
            ``hwtype``, ``location``, ``responsible``, ``comments``); empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetSpareHWPerLocation", location)

    @checked
    def spare_hardware_of_type(self, hwtype: str) -> List[dict]:
        """The spare hardware devices of a hardware type (``GetSpareHWPerType``).

        Args:
            hwtype: the hardware type.

        Returns:
            One dict per piece, as ``spare_hardware_at()``.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetSpareHWPerType", hwtype)

    @checked
    def spare_component_hardware_at(self, location: str) -> List[dict]:
        """The spare component hardware at a location (``GetSpareHWCpntPerLocation``).

        Args:
            location: the location (whole text).

        Returns:
            One dict per piece (``snbid``, ``serialnb``, ``hwtype``,
            ``location``, ``responsible``, ``comments``); empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetSpareHWCpntPerLocation", location)

    @checked
    def spare_component_hardware_of_type(self, hwtype: str) -> List[dict]:
        """The spare component hardware of a type (``GetSpareHWCpntPerType``).

        Args:
            hwtype: the hardware type.

        Returns:
            One dict per piece, as ``spare_component_hardware_at()``.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetSpareHWCpntPerType", hwtype)

    @checked
    def spare_ports(self, serialnb: str) -> List[dict]:
        """The ports kept for a piece of spare hardware (``GetPortInfoPerSpare``).

        Args:
            serialnb: its serial number.

        Returns:
            One dict per port (``spareportid``, ``port_nbr``, ``port_way``,
            ``port_type``, ``bia``, ``macaddress``); empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetPortInfoPerSpare", serialnb)

    @checked
    def ip_aliases_of(self, ipname: str) -> List[str]:
        """The aliases of the addresses with an IP name (``GetIPAliasesPerIPName``).

        Args:
            ipname: the IP name.

        Returns:
            Aliases; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetIPAliasesPerIPName", ipname)

    @checked
    def functions(self) -> List[str]:
        """Every device function (``GetAvailableFunctions``).

        Returns:
            Function names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetAvailableFunctions")

    @checked
    def subsystems(self) -> List[str]:
        """Every subsystem (``GetListOfSubsystems``).

        Returns:
            Subsystem names, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetListOfSubsystems")

    @checked
    def spare_hardware_types(self) -> List[str]:
        """The hardware types of the spare hardware devices (``GetSpareHWTypeList``).

        Returns:
            Hardware types, sorted; empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._texts("GetSpareHWTypeList")

    @checked
    def link_type_members(self, lktype: "int | str") -> List[str]:
        """The simple types a link type is made of (``GetLkTypeDecomposition_lknb``):
        the members of a composite, or the type itself for a simple type.

        Args:
            lktype: the link type number, or its name (looked up first).

        Returns:
            Simple link type names; empty when none.

        Raises:
            KetralError: the library's failure (an unknown name too).
        """
        if isinstance(lktype, str):
            record = self._record("GetLkTypeRow_lkname", lktype)
            if record is None:
                return []
            lktype = record["linktypeid"]
        return self._texts("GetLkTypeDecomposition_lknb", lktype)

    @checked
    def mac_ip_addresses(self, device: "int | str") -> List[dict]:
        """The ports of a device that have a MAC or an IP address (``GetMacIPAddPerDevID``).

        Args:
            device: the device's id, or its name.

        Returns:
            One dict per port (``portid``, ``port_nbr``, ``port_way``,
            ``port_type``, ``macaddress``, ``bia``, ``ipaddress``, ``subnet``,
            ``ipname``); empty when none.

        Raises:
            KetralError: the library's failure.
        """
        return self._items("GetMacIPAddPerDevID", self._device_id(device))

    # ------------------------------------------------------------------
    # Table loaders: named tuples, in id order
    # ------------------------------------------------------------------

    @checked
    def links(self, subsystem: str = "") -> List[LinkRow]:
        """Every macro link with an end in a subsystem (``LoadConnectivityTable``).

        Args:
            subsystem: a subsystem (and those below it); ``""`` or ``"ALL"``: everything.

        Returns:
            ``LinkRow`` tuples (``linkid``, ``deviceidfrom``, ``deviceidto``,
            ``port_from``, ``port_to``, ``bidirectional``, ``lkused``,
            ``linktypeid``, ``link_info``), in id order.

        Raises:
            KetralError: an unknown subsystem, or another failure.
        """
        rows = []
        for row in self._texts("LoadConnectivityTable", subsystem):
            f = split_row(row, 9)
            rows.append(LinkRow(int(f[0]), int(f[1]), int(f[2]), self._port(f[3]), self._port(f[4]), int(f[5]),
                                int(f[6]), int(f[7]), f[8]))
        return rows

    @checked
    def device_ids(self, subsystem: str = "") -> List[DeviceIdName]:
        """The ids and names of the devices of a subsystem (``MatchDeviceIDDeviceName``).

        Args:
            subsystem: a subsystem (and those below it); ``""`` or ``"ALL"``: everything.

        Returns:
            ``DeviceIdName`` tuples (``deviceid``, ``devicename``), in id order.

        Raises:
            KetralError: an unknown subsystem, or another failure.
        """
        return [DeviceIdName(int(i), name) for i, name in
                (split_row(row, 2) for row in self._texts("MatchDeviceIDDeviceName", subsystem))]

    @checked
    def device_types(self, subsystem: str = "") -> List[DeviceTypeIdName]:
        """The device types of a subsystem (``LoadDeviceTypeTable``).

        Args:
            subsystem: a subsystem (and those below it); ``""`` or ``"ALL"``: everything.

        Returns:
            ``DeviceTypeIdName`` tuples (``devicetypeid``, ``devicetype``), in id order.

        Raises:
            KetralError: an unknown subsystem, or another failure.
        """
        return [DeviceTypeIdName(int(i), name) for i, name in
                (split_row(row, 2) for row in self._texts("LoadDeviceTypeTable", subsystem))]

    @checked
    def link_types(self) -> List[LinkTypeIdName]:
        """Every link type (``LoadLinkTypeTable``).

        Returns:
            ``LinkTypeIdName`` tuples (``linktypeid``, ``lktype``), in id order.

        Raises:
            KetralError: the library's failure.
        """
        return [LinkTypeIdName(int(i), name) for i, name in
                (split_row(row, 2) for row in self._texts("LoadLinkTypeTable"))]

"""Single records, identifier and name lookups, status and last assignments."""
from ._base import Base
from ._checks import checked


class Records(Base):
    # ------------------------------------------------------------------
    # Helpers that take a name or an id
    # ------------------------------------------------------------------

    def _device_id(self, device: "int | str") -> int:
        return device if isinstance(device, int) else self._call("GetDeviceID_devicename", device)

    def _component_id(self, component: "int | str") -> int:
        return component if isinstance(component, int) else self._call("GetCpntID_cpntname", component)

    # ------------------------------------------------------------------
    # Row queries: one record as a dict, or None
    # ------------------------------------------------------------------

    @checked
    def device_type(self, devicetype: str) -> "dict | None":
        """The device type named ``devicetype`` (``GetDeviceTypeRow``).

        Args:
            devicetype: the device type's name.

        Returns:
            The record as a dict (keys ``devicetypeid``, ``devicetype``,
            ``nbrofinput``, ``nbrofoutput``, ``description``, ``rgbcolor``,
            ``system_list``), or None when there is no such type.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetDeviceTypeRow", devicetype)

    @checked
    def device(self, devicename: str) -> "dict | None":
        """The device (functional position) named ``devicename`` (``GetDeviceRow_devicename``).

        Args:
            devicename: the device's name.

        Returns:
            The record as a dict (keys ``deviceid``, ``devicename``,
            ``devicetypeid``, ``devicetype``, ``dnode``, ``promiscuous_mode``,
            ``serialid``, ``serialnb``, ``hwtype``, ``responsible``,
            ``location``, ``comments``, ``system_list``, ``function_list``),
            or None when there is no such device.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetDeviceRow_devicename", devicename)

    @checked
    def device_by_id(self, deviceid: int) -> "dict | None":
        """The device whose id is ``deviceid`` (``GetDeviceRow_deviceid``); as ``device()``.

        Args:
            deviceid: the device's id.

        Returns:
            The record as a dict, or None when there is no such device.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetDeviceRow_deviceid", deviceid)

    @checked
    def boot_images(self, devicename: str) -> "dict | None":
        """The boot images of a device (``GetBootImageRow_devicename``).

        Args:
            devicename: the device's name.

        Returns:
            A dict (``deviceid``, ``devicename``, ``boot_image``,
            ``kernel_image``, ``initrd_image``, ``physical_location``,
            ``boot_protocol``), or None when the device has none.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetBootImageRow_devicename", devicename)

    @checked
    def board_component(self, cpntname: str) -> "dict | None":
        """The board component (position) named ``cpntname`` (``GetBoardCpntRow_cpntname``).

        Args:
            cpntname: the component's name.

        Returns:
            A dict (``cpntid``, ``cpntname``, ``cpnttype``, ``replacable``,
            ``motherboardid``, ``motherboardname``, ``snbid``, ``serialnb``,
            ``hwtype``), or None when there is none.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetBoardCpntRow_cpntname", cpntname)

    @checked
    def board_component_by_id(self, cpntid: int) -> "dict | None":
        """The board component whose id is ``cpntid`` (``GetBoardCpntRow_cpntid``).

        Args:
            cpntid: the component's id.

        Returns:
            A dict as ``board_component()``, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetBoardCpntRow_cpntid", cpntid)

    @checked
    def component_hardware(self, serialnb: str) -> "dict | None":
        """The component hardware with serial number ``serialnb`` (``GetHWCpntRow_serialnb``).

        Args:
            serialnb: the serial number.

        Returns:
            A dict (``snbid``, ``serialnb``, ``hwtype``, ``status``,
            ``responsible``, ``location``, ``comments``, ``cpntid``,
            ``cpntname``), or None.

        Raises:
            KetralError: the library's failure; also when several pieces
                share the serial number (ask by ``snbid`` then).
        """
        return self._record("GetHWCpntRow_serialnb", serialnb)

    @checked
    def component_hardware_by_id(self, snbid: int) -> "dict | None":
        """The component hardware whose id is ``snbid`` (``GetHWCpntRow_snbid``).

        Args:
            snbid: the component hardware's id.

        Returns:
            A dict as ``component_hardware()``, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetHWCpntRow_snbid", snbid)

    @checked
    def hardware(self, serialnb: str) -> "dict | None":
        """The hardware device with serial number ``serialnb`` (``GetHWDeviceRow_serialnb``).

        Args:
            serialnb: the serial number.

        Returns:
            A dict (``serialid``, ``serialnb``, ``hwname``, ``hwtype``,
            ``status``, ``responsible``, ``location``, ``comments``,
            ``deviceid``, ``devicename``: the position it fills, None when
            none), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetHWDeviceRow_serialnb", serialnb)

    @checked
    def ip_alias(self, ipalias: str) -> "dict | None":
        """An IP alias and its address (``GetIPAliasRow``).

        Args:
            ipalias: the alias.

        Returns:
            A dict (``aliasid``, ``ipalias``, ``ipid``, ``ipaddress``,
            ``ipname``, ``subnet``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetIPAliasRow", ipalias)

    @checked
    def port_by_id(self, portid: int) -> "dict | None":
        """The port whose id is ``portid`` (``GetPortRow_pid``).

        Args:
            portid: the port's id.

        Returns:
            A dict (``portid``, ``deviceid``, ``devicename``, ``port_nbr``,
            ``port_way``, ``port_type``, ``speed``, ``admin_status``,
            ``pxi_booting``, ``phy``, ``bia``, ``macaddress``, ``ipid``,
            ``ipaddress``, ``subnet``, ``ipname``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetPortRow_pid", portid)

    @checked
    def port(self, device: "int | str", port_nbr: str, port_way: int, port_type: str = "") -> "dict | None":
        """A port known by its device and key (``GetPortRow_devid``).

        Args:
            device: the device's id, or its name (looked up first).
            port_nbr: the port number.
            port_way: 1 (``INPUT``) or 2 (``OUTPUT``).
            port_type: the port type, ``""`` for an untyped port.

        Returns:
            A dict as ``port_by_id()``, or None.

        Raises:
            KetralError: the library's failure (an unknown device name too).
        """
        return self._record("GetPortRow_devid", self._device_id(device), port_nbr, port_way, port_type)

    @checked
    def spare_port(self, serialnb: str, port_nbr: str, port_way: int, port_type: str = "") -> "dict | None":
        """A port kept for spare hardware (``GetSparePortRow_snb``).

        Args:
            serialnb: the hardware's serial number.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            port_type: the port type, ``""`` for untyped.

        Returns:
            A dict (``spareportid``, ``serialid``, ``serialnb``,
            ``port_nbr``, ``port_way``, ``port_type``, ``bia``,
            ``macaddress``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetSparePortRow_snb", serialnb, port_nbr, port_way, port_type)

    @checked
    def link_by_id(self, lkid: int) -> "dict | None":
        """The macro link whose id is ``lkid`` (``GetMacroConnectivityRow_lkid``).

        Args:
            lkid: the link's id.

        Returns:
            A dict (``linkid``, ``portidfrom``, ``deviceidfrom``,
            ``node_from``, ``port_nbrfrom``, ``port_wayfrom``,
            ``port_typefrom``, ``portidto``, ``deviceidto``, ``node_to``,
            ``port_nbrto``, ``port_wayto``, ``port_typeto``, ``linktypeid``,
            ``lktype``, ``bidirectional``, ``lkused``, ``link_info``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetMacroConnectivityRow_lkid", lkid)

    @checked
    def link_at(self, device: "int | str", port_nbr: str, port_way: int, port_type: str = "") -> "dict | None":
        """The macro link at a port (``GetMacroConnectivityRow_node``): the link
        leaving an output port (way 2), or reaching an input port (way 1).

        Args:
            device: the device's id, or its name.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            port_type: the port type, ``""`` for untyped.

        Returns:
            A dict as ``link_by_id()``, or None when the port carries no link.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetMacroConnectivityRow_node", self._device_id(device), port_nbr, port_way, port_type)

    @checked
    def micro_link_by_id(self, lkid: int) -> "dict | None":
        """The micro link whose id is ``lkid`` (``GetMicroConnectivityRow_lkid``).

        Args:
            lkid: the micro link's id.

        Returns:
            A dict (``linkid``, ``cpntfrom``, ``motherboardfrom``,
            ``node_from``, ``port_nbrfrom``, ``cpntto``, ``motherboardto``,
            ``node_to``, ``port_nbrto``, ``linktypeid``, ``lktype``,
            ``bidirectional``, ``lkused``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetMicroConnectivityRow_lkid", lkid)

    @checked
    def micro_link_at(self, component: "int | str", port_nbr: int, port_way: int) -> "dict | None":
        """The micro link at a port of a board component (``GetMicroConnectivityRow_node``).

        Args:
            component: the component's id, or its name.
            port_nbr: the port number (an int on boards).
            port_way: 2: the link leaving the port; 1: the link reaching it.

        Returns:
            A dict as ``micro_link_by_id()``, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetMicroConnectivityRow_node", self._component_id(component), port_nbr, port_way)

    @checked
    def ip_info(self, ipaddress: str) -> "dict | None":
        """An IP address and the first port carrying it (``GetIPInfoRow``).

        Args:
            ipaddress: the address.

        Returns:
            A dict (``ipid``, ``ipaddress``, ``subnet``, ``ipname``,
            ``portid``, ``deviceid``, ``devicename``, ``port_nbr``), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetIPInfoRow", ipaddress)

    @checked
    def link_type(self, lktype: str) -> "dict | None":
        """The link type named ``lktype`` (``GetLkTypeRow_lkname``).

        Args:
            lktype: the link type's name.

        Returns:
            A dict (``linktypeid``, ``lktype``, ``link_list``: the simple
            types of a composite, None for a simple type), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetLkTypeRow_lkname", lktype)

    @checked
    def link_type_by_id(self, lknb: int) -> "dict | None":
        """The link type whose number is ``lknb`` (``GetLkTypeRow_lknb``).

        Args:
            lknb: the link type number.

        Returns:
            A dict as ``link_type()``, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._record("GetLkTypeRow_lknb", lknb)

    # ------------------------------------------------------------------
    # Lookups
    # ------------------------------------------------------------------

    @checked
    def device_name(self, deviceid: int) -> str:
        """The name of the device whose id is ``deviceid`` (``GetDeviceName_deviceid``).

        Args:
            deviceid: the device's id.

        Returns:
            The device name.

        Raises:
            KetralError: no such device (the library's message names it), or
                another failure.
        """
        return self._call("GetDeviceName_deviceid", deviceid)

    @checked
    def component_name(self, cpntid: int) -> str:
        """The name of the board component whose id is ``cpntid`` (``GetCpntName_cpntid``).

        Args:
            cpntid: the component's id.

        Returns:
            The component name.

        Raises:
            KetralError: no such component, or another failure.
        """
        return self._call("GetCpntName_cpntid", cpntid)

    @checked
    def device_id(self, devicename: str) -> int:
        """The id of the device named ``devicename`` (``GetDeviceID_devicename``).

        Args:
            devicename: the device's name.

        Returns:
            The device id.

        Raises:
            KetralError: no such device, or another failure.
        """
        return self._call("GetDeviceID_devicename", devicename)

    @checked
    def component_id(self, cpntname: str) -> int:
        """The id of the board component named ``cpntname`` (``GetCpntID_cpntname``).

        Args:
            cpntname: the component's name.

        Returns:
            The component id.

        Raises:
            KetralError: no such component, or another failure.
        """
        return self._call("GetCpntID_cpntname", cpntname)

    @checked
    def port_id(self, device: "int | str", port_nbr: str, port_way: int, port_type: str = "") -> int:
        """The id of a port known by its device and key (``GetPortID_portinfo``).

        Args:
            device: the device's id, or its name.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            port_type: the port type, ``""`` for untyped.

        Returns:
            The port id.

        Raises:
            KetralError: no such port, or another failure.
        """
        return self._call("GetPortID_portinfo", self._device_id(device), port_nbr, port_type, port_way)

    # ------------------------------------------------------------------
    # Status and last assignments: a word or a name, or None
    # ------------------------------------------------------------------

    @checked
    def device_status(self, devicename: str) -> "str | None":
        """The status of a device: that of the hardware filling it, or
        ``NO_HARDWARE`` (``GetFunctionalDeviceStatus``).

        Args:
            devicename: the device's name.

        Returns:
            ``IN_USE``, ``SPARE``, ``IN_REPAIR``, ``DESTROYED``, ``TEST`` or
            ``NO_HARDWARE``; None when there is no such device.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetFunctionalDeviceStatus", devicename)

    @checked
    def component_status(self, cpntname: str) -> "str | None":
        """The status of a board component position (``GetFunctionalBoardCpntStatus``).

        Args:
            cpntname: the component's name.

        Returns:
            A status word or ``NO_HARDWARE``; None when there is no such component.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetFunctionalBoardCpntStatus", cpntname)

    @checked
    def hardware_status(self, serialnb: str) -> "str | None":
        """The status of a hardware device (``GetHWDeviceStatus``).

        Args:
            serialnb: its serial number.

        Returns:
            ``IN_USE``, ``SPARE``, ``IN_REPAIR``, ``DESTROYED`` or ``TEST``;
            None when there is no such hardware.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetHWDeviceStatus", serialnb)

    @checked
    def component_hardware_status(self, serialnb: str, snbid: int = 0) -> "str | None":
        """The status of a piece of component hardware (``GetHWBoardCpntStatus``).

        Args:
            serialnb: its serial number.
            snbid: its id, or 0 for the one piece with that serial number.

        Returns:
            A status word; None when there is no such hardware.

        Raises:
            KetralError: the library's failure (several pieces share the
                serial number and ``snbid`` is 0, for one).
        """
        return self._status("GetHWBoardCpntStatus", serialnb, snbid)

    @checked
    def hardware_last_device(self, serialnb: str) -> "str | None":
        """The device the hardware last filled (``GetHWLastFunctionalDevice``).

        Args:
            serialnb: the hardware's serial number.

        Returns:
            The device name (the one it fills now, if any), or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetHWLastFunctionalDevice", serialnb)

    @checked
    def component_hardware_last_component(self, serialnb: str, snbid: int = 0) -> "str | None":
        """The board component the component hardware last filled
        (``GetHWLastFunctionalBoardCpntName``).

        Args:
            serialnb: the hardware's serial number.
            snbid: its id, or 0 for the one piece with that serial number.

        Returns:
            The component name, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetHWLastFunctionalBoardCpntName", serialnb, snbid)

    @checked
    def device_last_hardware(self, devicename: str) -> "str | None":
        """The serial number of the hardware that last filled a device
        (``GetFunctionalDeviceLastHW``).

        Args:
            devicename: the device's name.

        Returns:
            The serial number, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetFunctionalDeviceLastHW", devicename)

    @checked
    def component_last_hardware(self, cpntname: str) -> "str | None":
        """The serial number of the hardware that last filled a board
        component (``GetFunctionalBoardCpntNameLastHW``).

        Args:
            cpntname: the component's name.

        Returns:
            The serial number, or None.

        Raises:
            KetralError: the library's failure.
        """
        return self._status("GetFunctionalBoardCpntNameLastHW", cpntname)

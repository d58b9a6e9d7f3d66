"""Writes of one record: inserts, updates, the swap and the deletions.

Each is written at once, in its own transaction. For many records of one
kind, ``Database.batch`` writes them all in one transaction instead.
"""
from typing import Sequence

from ._base import names_text
from ._checks import checked
from ._paths import Paths


def port_flags(speed: int, admin_status: int, pxi_booting: int) -> list:
    return [speed, admin_status, pxi_booting]


class Writes(Paths):
    def _vec(self, kind: str, values: list):
        vec = getattr(self._k_module, kind)()
        vec.extend(values)
        return vec

    # ------------------------------------------------------------------
    # Inserts of one record
    # ------------------------------------------------------------------

    @checked
    def insert_subsystem(self, system_name: str, parent_name: str = "") -> None:
        """Adds a subsystem (``InsertSubsystem``).

        Args:
            system_name: its name.
            parent_name: the subsystem it belongs to; ``""``: top level.

        Raises:
            KetralError: a name taken, an unknown parent, or another failure.
        """
        self._write("InsertSubsystem", system_name, parent_name)

    @checked
    def insert_function(self, function_name: str) -> None:
        """Adds a device function (``InsertSimpleDeviceFunction``).

        Args:
            function_name: its name (2 characters at least).

        Raises:
            KetralError: a name taken, or another failure.
        """
        self._write("InsertSimpleDeviceFunction", function_name, 1)

    @checked
    def insert_simple_link_type(self, lktype: str) -> None:
        """Adds a simple link type (``InsertSimpleLinkType``).

        Args:
            lktype: its name (2 characters at least).

        Raises:
            KetralError: a name taken, or another failure.
        """
        self._write("InsertSimpleLinkType", lktype, 1)

    @checked
    def insert_composite_link_type(self, lktype: str, link_list: "str | Sequence[str]") -> None:
        """Adds a link type made of simple ones (``InsertCompositeLinkType``).

        Args:
            lktype: its name.
            link_list: the simple link types it is made of: a sequence of
                names, or one text of names separated by commas.

        Raises:
            KetralError: an unknown or composite member, or another failure.
        """
        self._write("InsertCompositeLinkType", lktype, names_text(link_list), 1)

    @checked
    def insert_device_type(self, devtype: str, nbrofinput: int = 0, nbrofoutput: int = 0, description: str = "",
                           rgbcolor: str = "", system_list: "str | Sequence[str]" = "") -> None:
        """Adds a device type (``InsertDeviceType``).

        Args:
            devtype: its name (2 characters at least).
            nbrofinput: its number of inputs.
            nbrofoutput: its number of outputs.
            description: free text; ``""``: the type's name.
            rgbcolor: free text (a colour).
            system_list: the subsystems it belongs to (names, or one text
                separated by commas); ``""``: none.

        Raises:
            KetralError: a name taken, an unknown subsystem, or another failure.
        """
        self._write("InsertDeviceType", names_text(system_list), devtype, nbrofinput, nbrofoutput, description,
                    rgbcolor, 1)

    @checked
    def insert_device(self, devicename: str, devicetype: str, serialnb: str = "", hwtype: str = "",
                      responsible: str = "", location: str = "", comments: str = "",
                      system_list: "str | Sequence[str]" = "", function_list: "str | Sequence[str]" = "",
                      dnode: bool = False, promismode: bool = False) -> None:
        """Adds a device: a position in the installation, with the hardware
        filling it when ``serialnb`` is given (``InsertFunctionalDevice``).

        Args:
            devicename: its name (2 characters at least).
            devicetype: an existing device type.
            serialnb: the serial number of its hardware; ``""``: none yet.
                Unknown hardware is created; known hardware must be SPARE.
            hwtype: the hardware type (needs ``serialnb``).
            responsible: free text.
            location: free text.
            comments: free text, also the history entry's comment.
            system_list: its subsystems; ``""``: those of its type.
            function_list: its functions (names or one text separated by commas).
            dnode: the device's ``dnode`` flag.
            promismode: the device's promiscuous mode flag.

        Raises:
            KetralError: a name taken, an unknown type, subsystem or
                function, hardware not spare, or another failure.
        """
        self._write("InsertFunctionalDevice", names_text(system_list), devicename, devicetype, dnode, promismode,
                    serialnb, hwtype, responsible, location, comments, names_text(function_list), 1)

    @checked
    def insert_test_device(self, devicename: str, portnb: Sequence[str], port_way: Sequence[int],
                           port_list: Sequence[str] = (), ipadd: Sequence[str] = (), subnet: Sequence[str] = (),
                           ipname: Sequence[str] = ()) -> None:
        """Adds the ports and IP interfaces of an existing device in one call
        (``InsertTestFunctionalDevice``): port *i* is ``portnb[i]``,
        ``port_way[i]``, type ``port_list[i]`` (untyped when the list is
        shorter); IP interface *i* (``ipadd[i]``, ``subnet[i]``,
        ``ipname[i]``) belongs to port *i*.

        Args:
            devicename: the device.
            portnb: the port numbers.
            port_way: their ways (1 input, 2 output).
            port_list: their types.
            ipadd: IP addresses.
            subnet: their subnets (as many as ``ipadd``).
            ipname: their IP names (as many as ``ipadd``).

        Raises:
            KetralError: lists of different lengths, a port taken, or another failure.
        """
        self._write("InsertTestFunctionalDevice", devicename, self._vec("StringVec", ipadd),
                    self._vec("StringVec", subnet), self._vec("StringVec", ipname), self._vec("StringVec", portnb),
                    self._vec("StringVec", port_list), self._vec("IntVec", port_way), 1)

    @checked
    def insert_spare_hardware(self, serialnb: str, hwtype: str = "", hwname: str = "", responsible: str = "",
                              location: str = "", comments: str = "") -> None:
        """Adds hardware that fills no position, as SPARE (``InsertSpareDevice``).

        Args:
            serialnb: its serial number (2 characters at least).
            hwtype: its hardware type.
            hwname: its name.
            responsible: free text.
            location: where it is kept.
            comments: free text, also the history entry's comment.

        Raises:
            KetralError: a serial number taken, or another failure.
        """
        self._write("InsertSpareDevice", hwname, hwtype, serialnb, responsible, location, comments, 1)

    @checked
    def insert_port(self, devicename: str, port_nbr: str, port_way: int, port_type: str = "", bia: str = "",
                    ipname: str = "", ipaddress: str = "", macaddress: str = "", subnet: str = "", speed: int = 0,
                    admin_status: bool = True, pxi_booting: bool = False, phy: str = "") -> None:
        """Adds a port to a device (``InsertPort``).

        Args:
            devicename: the device.
            port_nbr: the port number (a text).
            port_way: 1 (``INPUT``) or 2 (``OUTPUT``).
            port_type: the port type; ``""``: untyped.
            bia: the burnt-in address.
            ipname: the IP name of ``ipaddress``.
            ipaddress: the IP address of the port (created, or shared).
            macaddress: the MAC address.
            subnet: the subnet of ``ipaddress``.
            speed: the port's speed (not negative).
            admin_status: whether the port is administratively up.
            pxi_booting: whether the port boots by PXE.
            phy: free text.

        Raises:
            KetralError: an unknown device, a port taken, or another failure.
        """
        self._write("InsertPort", devicename, port_nbr, port_type, port_way, bia, ipname, ipaddress, macaddress,
                    subnet, self._vec("IntVec", port_flags(speed, admin_status, pxi_booting)), phy, 1)

    @checked
    def insert_spare_port(self, serialnb: str, port_nbr: str, port_way: int, bia: str, mac: str,
                          port_type: str = "") -> None:
        """Adds a port to spare hardware (``InsertSparePort``), kept for when
        it fills a position.

        Args:
            serialnb: the hardware's serial number.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            bia: the burnt-in address (2 characters at least).
            mac: the MAC address (2 characters at least).
            port_type: the port type; ``""``: untyped.

        Raises:
            KetralError: unknown hardware, hardware in a position, a port
                taken, or another failure.
        """
        self._write("InsertSparePort", serialnb, port_nbr, port_way, port_type, bia, mac, 1)

    @checked
    def insert_link(self, node_from: str, node_to: str, port_nbrfrom: str, port_nbrto: str, lktype: str,
                    port_typefrom: str = "", port_typeto: str = "", bidirectional: bool = False,
                    link_info: str = "") -> None:
        """Adds a macro link from an output port of one device to an input
        port of another (``InsertMacroLink``).

        Args:
            node_from: the device the link leaves.
            node_to: the device the link reaches.
            port_nbrfrom: the output port's number on ``node_from``.
            port_nbrto: the input port's number on ``node_to``.
            lktype: the link type's name.
            port_typefrom: the output port's type; ``""``: untyped.
            port_typeto: the input port's type; ``""``: untyped.
            bidirectional: whether paths may follow it backwards.
            link_info: free text.

        Raises:
            KetralError: an unknown device, port or type, a port already
                linked, or another failure.
        """
        self._write("InsertMacroLink", node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto,
                    lktype, bidirectional, link_info, 1)

    @checked
    def insert_board_component(self, cpntname: str, cpnttype: str, motherboardname: str, serialnb: str = "",
                               hwtype: str = "", responsible: str = "", location: str = "", comments: str = "",
                               replacable: bool = False) -> None:
        """Adds a component position on a board, or spare component hardware
        (``InsertMultipleBoardCpnts``, as a batch of one).

        Args:
            cpntname: the component's name.
            cpnttype: its type.
            motherboardname: the device it sits on, or ``"none"`` for spare
                component hardware (which then needs ``serialnb`` and ``location``).
            serialnb: the serial number of its hardware; ``""``: none.
            hwtype: the hardware type; ``""``: ``cpnttype``.
            responsible: free text.
            location: free text.
            comments: free text.
            replacable: whether the component can be replaced.

        Raises:
            KetralError: the library's or the module's refusal.
        """
        self._write("InsertMultipleBoardCpnts", cpntname, cpnttype, replacable, motherboardname, serialnb, hwtype,
                    responsible, location, comments, 1, 1)

    @checked
    def insert_micro_link(self, node_from: str, node_to: str, port_nbrfrom: int, port_nbrto: int, lktype: str,
                          bidirectional: bool = False) -> None:
        """Adds a link on a board (``InsertMultipleMicroLinks``, as a batch of one).

        Args:
            node_from: a component name, or the board's device name.
            node_to: a component name, or the board's device name.
            port_nbrfrom: the port number it leaves.
            port_nbrto: the port number it reaches.
            lktype: the link type's name.
            bidirectional: whether paths may follow it backwards.

        Raises:
            KetralError: the library's or the module's refusal.
        """
        self._write("InsertMultipleMicroLinks", node_from, node_to, port_nbrfrom, port_nbrto, lktype, bidirectional,
                    1, 1)

    @checked
    def insert_boot_images(self, devicename: str, boot_image: str, kernel_image: str = "", initrd_image: str = "",
                           physical_location: str = "", boot_protocol: str = "") -> None:
        """Gives a device its boot images (``InsertMultipleBootImages``, as a batch of one).

        Args:
            devicename: the device.
            boot_image: the boot image's path.
            kernel_image: the kernel's path.
            initrd_image: the initial ram disk's path.
            physical_location: where the images are.
            boot_protocol: the protocol.

        Raises:
            KetralError: the device has boot images already, or another failure.
        """
        self._write("InsertMultipleBootImages", devicename, boot_image, kernel_image, initrd_image,
                    physical_location, boot_protocol, 1, 1)

    @checked
    def insert_ip_alias(self, ipalias: str, ipaddress: str = "", ipname: str = "") -> None:
        """Gives an address another name (``InsertMultipleIPAliases``, as a batch of one).

        Args:
            ipalias: the new alias.
            ipaddress: the address; ``""``: the one address named ``ipname``.
            ipname: the address's IP name.

        Raises:
            KetralError: an alias taken, an unknown address, or another failure.
        """
        self._write("InsertMultipleIPAliases", ipaddress, ipname, ipalias, 1, 1)

    # ------------------------------------------------------------------
    # Updates of one record (the batched updates, as a batch of one)
    # ------------------------------------------------------------------

    @checked
    def update_port(self, devicename: str, port_nbr: str, port_way: int, port_type: str, speed: int, phy: str,
                    pxi_booting: bool) -> None:
        """Sets a port's speed, phy and PXE flag (``UpdateMultiplePorts``).

        Args:
            devicename: the device.
            port_nbr: the port number.
            port_way: 1 (input) or 2 (output).
            port_type: the port type; ``""``: untyped.
            speed: the new speed (not negative).
            phy: the new phy; ``""`` clears it.
            pxi_booting: whether the port boots by PXE.

        Raises:
            KetralError: an unknown port, or another failure.
        """
        self._write("UpdateMultiplePorts", devicename, port_nbr, port_way, port_type, speed, phy, pxi_booting, 1, 1)

    @checked
    def update_ip_attributes(self, ipaddress: str, subnet: str, ipname: str) -> None:
        """Sets the subnet and IP name of an address (``UpdateMultipleAttributeMacIPs``).

        Args:
            ipaddress: the address.
            subnet: its new subnet.
            ipname: its new IP name.

        Raises:
            KetralError: an unknown address, or another failure.
        """
        self._write("UpdateMultipleAttributeMacIPs", ipaddress, subnet, ipname, 1, 1)

    @checked
    def change_ip_address(self, ip_old: str, ip_new: str) -> None:
        """Changes an IP address itself; its ports and aliases keep it
        (``UpdateMultipleIPAddresses``).

        Args:
            ip_old: the address now.
            ip_new: the new address.

        Raises:
            KetralError: an unknown or taken address, or another failure.
        """
        self._write("UpdateMultipleIPAddresses", ip_old, ip_new, 1, 1)

    @checked
    def update_composite_link_type(self, lktype: str, link_list: "str | Sequence[str]") -> None:
        """Replaces the simple types a composite link type is made of
        (``UpdateMultipleCompositeLinkTypes``).

        Args:
            lktype: the composite type.
            link_list: its new members (names, or one text separated by commas).

        Raises:
            KetralError: the library's refusal.
        """
        self._write("UpdateMultipleCompositeLinkTypes", lktype, names_text(link_list), 1, 1)

    @checked
    def rename_link_type(self, old_name: str, new_name: str) -> None:
        """Renames a link type (``UpdateMultipleLinkTypeNames``).

        Args:
            old_name: its name now.
            new_name: its new name.

        Raises:
            KetralError: an unknown or taken name, or another failure.
        """
        self._write("UpdateMultipleLinkTypeNames", old_name, new_name, 1, 1)

    @checked
    def update_device_type(self, devicetype: str, description: str, nbrofinput: int, nbrofoutput: int,
                           rgbcolor: str) -> None:
        """Sets a device type's attributes (``UpdateMultipleDeviceTypeAttributes``).

        Args:
            devicetype: the device type.
            description: its new description; ``""``: the type's name.
            nbrofinput: its number of inputs.
            nbrofoutput: its number of outputs.
            rgbcolor: its colour.

        Raises:
            KetralError: an unknown type, or another failure.
        """
        self._write("UpdateMultipleDeviceTypeAttributes", devicetype, description, nbrofinput, nbrofoutput, rgbcolor,
                    1, 1)

    @checked
    def rename_device_type(self, old_name: str, new_name: str) -> None:
        """Renames a device type (``UpdateMultipleDeviceTypes``).

        Args:
            old_name: its name now.
            new_name: its new name.

        Raises:
            KetralError: an unknown or taken name, or another failure.
        """
        self._write("UpdateMultipleDeviceTypes", old_name, new_name, 1, 1)

    @checked
    def update_device(self, devicename: str, dnode: bool, promiscuous_mode: bool, location: str,
                      function_list: "str | Sequence[str]") -> None:
        """Sets a device's flags, location and functions (``UpdateMultipleAttributesDevices``).

        Args:
            devicename: the device.
            dnode: its ``dnode`` flag.
            promiscuous_mode: its promiscuous mode flag.
            location: its location (the hardware filling it moves there too).
            function_list: its functions, replaced; ``""``: none.

        Raises:
            KetralError: an unknown device or function, or another failure.
        """
        self._write("UpdateMultipleAttributesDevices", devicename, dnode, promiscuous_mode, location,
                    names_text(function_list), 1, 1)

    @checked
    def rename_device(self, old_name: str, new_name: str) -> None:
        """Renames a device (``UpdateMultipleDevNamesDevices``).

        Args:
            old_name: its name now.
            new_name: its new name.

        Raises:
            KetralError: an unknown or taken name, or another failure.
        """
        self._write("UpdateMultipleDevNamesDevices", old_name, new_name, 1, 1)

    @checked
    def change_device_type(self, devicename: str, devicetype: str) -> None:
        """Gives a device another type (``UpdateMultipleDTypeDevices``).

        Args:
            devicename: the device.
            devicetype: its new type.

        Raises:
            KetralError: an unknown device or type, or another failure.
        """
        self._write("UpdateMultipleDTypeDevices", devicename, devicetype, 1, 1)

    @checked
    def set_device_subsystems(self, devicename: str, system_list: "str | Sequence[str]") -> None:
        """Replaces a device's subsystems (``UpdateMultipleDeviceSystemList``).

        Args:
            devicename: the device.
            system_list: its subsystems; ``""``: those of its type.

        Raises:
            KetralError: an unknown device or subsystem, or another failure.
        """
        self._write("UpdateMultipleDeviceSystemList", devicename, names_text(system_list), 1, 1)

    @checked
    def set_device_type_subsystems(self, devicetype: str, system_list: "str | Sequence[str]") -> None:
        """Replaces a device type's subsystems (``UpdateMultipleDeviceTypeSystemList``).

        Args:
            devicetype: the device type.
            system_list: its subsystems; ``""``: none.

        Raises:
            KetralError: an unknown type or subsystem, or another failure.
        """
        self._write("UpdateMultipleDeviceTypeSystemList", devicetype, names_text(system_list), 1, 1)

    @checked
    def set_link_bidirectional(self, node_from: str, node_to: str, port_nbrfrom: str, port_nbrto: str,
                               bidirectional: bool, port_typefrom: str = "", port_typeto: str = "") -> None:
        """Sets whether a link may be followed backwards (``UpdateMultipleBidirectionalLinks``).

        Args:
            node_from: the device the link leaves.
            node_to: the device it reaches.
            port_nbrfrom: its output port on ``node_from``.
            port_nbrto: its input port on ``node_to``.
            bidirectional: the new value.
            port_typefrom: the output port's type; ``""``: untyped.
            port_typeto: the input port's type; ``""``: untyped.

        Raises:
            KetralError: no such link, or another failure.
        """
        self._write("UpdateMultipleBidirectionalLinks", node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto,
                    port_typeto, bidirectional, 1, 1)

    @checked
    def set_link_used(self, node_from: str, node_to: str, port_nbrfrom: str, port_nbrto: str, lkused: bool,
                      port_typefrom: str = "", port_typeto: str = "") -> None:
        """Takes a link into use or out of it (``UpdateMultipleLkUsedLinks``);
        paths never follow a link out of use.

        Args:
            node_from: the device the link leaves.
            node_to: the device it reaches.
            port_nbrfrom: its output port on ``node_from``.
            port_nbrto: its input port on ``node_to``.
            lkused: the new value.
            port_typefrom: the output port's type; ``""``: untyped.
            port_typeto: the input port's type; ``""``: untyped.

        Raises:
            KetralError: no such link, or another failure.
        """
        self._write("UpdateMultipleLkUsedLinks", node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto,
                    port_typeto, lkused, 1, 1)

    @checked
    def set_link_type(self, node_from: str, node_to: str, port_nbrfrom: str, port_nbrto: str, lktype: str,
                      port_typefrom: str = "", port_typeto: str = "") -> None:
        """Gives a link another link type (``UpdateMultipleLkTypeLinks``).

        Args:
            node_from: the device the link leaves.
            node_to: the device it reaches.
            port_nbrfrom: its output port on ``node_from``.
            port_nbrto: its input port on ``node_to``.
            lktype: an existing link type's name.
            port_typefrom: the output port's type; ``""``: untyped.
            port_typeto: the input port's type; ``""``: untyped.

        Raises:
            KetralError: no such link or type, or another failure.
        """
        self._write("UpdateMultipleLkTypeLinks", node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto,
                    port_typeto, lktype, 1, 1)

    @checked
    def set_link_info(self, node_from: str, node_to: str, port_nbrfrom: str, port_nbrto: str, link_info: str,
                      port_typefrom: str = "", port_typeto: str = "") -> None:
        """Sets a link's information text (``UpdateMultipleLkInfoLinks``).

        Args:
            node_from: the device the link leaves.
            node_to: the device it reaches.
            port_nbrfrom: its output port on ``node_from``.
            port_nbrto: its input port on ``node_to``.
            link_info: free text; ``""`` clears it.
            port_typefrom: the output port's type; ``""``: untyped.
            port_typeto: the input port's type; ``""``: untyped.

        Raises:
            KetralError: no such link, or another failure.
        """
        self._write("UpdateMultipleLkInfoLinks", node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto,
                    port_typeto, link_info, 1, 1)

    # ------------------------------------------------------------------
    # Single updates, the swap
    # ------------------------------------------------------------------

    @checked
    def update_boot_images(self, devicename: str, boot_image: str, kernel_image: str, initrd_image: str,
                           physical_location: str, boot_protocol: str) -> None:
        """Changes the boot images of a device that has some (``UpdateBootImage``).

        Args:
            devicename: the device.
            boot_image: the boot image's path.
            kernel_image: the kernel's path.
            initrd_image: the initial ram disk's path.
            physical_location: where the images are.
            boot_protocol: the protocol.

        Raises:
            KetralError: a device without boot images, or another failure.
        """
        self._write("UpdateBootImage", devicename, boot_image, kernel_image, initrd_image, physical_location,
                    boot_protocol)

    @checked
    def rename_ip_alias(self, old_alias: str, new_alias: str) -> None:
        """Renames an IP alias (``UpdateIPalias``).

        Args:
            old_alias: the alias now.
            new_alias: the new alias.

        Raises:
            KetralError: an unknown or taken alias, or another failure.
        """
        self._write("UpdateIPalias", old_alias, new_alias)

    @checked
    def change_serial_number(self, old_serialnb: str, new_serialnb: str) -> None:
        """Corrects a serial number; the history follows the hardware (``UpdateHWSerialNB``).

        Args:
            old_serialnb: the serial number now.
            new_serialnb: the right one.

        Raises:
            KetralError: unknown hardware, a number taken, or another failure.
        """
        self._write("UpdateHWSerialNB", old_serialnb, new_serialnb)

    @checked
    def set_hardware_state(self, serialnb: str, status: str = "", location: str = "", comments: str = "") -> None:
        """Changes the status and/or location of hardware that fills no position
        (``UpdateHWStatusLocation``, an addition): repaired hardware back to
        ``SPARE``, hardware moved to another store room. The history records it
        with ``comments``.

        Args:
            serialnb: the hardware's serial number.
            status: ``SPARE``, ``IN_REPAIR``, ``TEST`` or ``DESTROYED``; ``""`` keeps it.
            location: the new location; ``""`` keeps it.
            comments: the history entry's comment.

        Raises:
            KetralError: unknown hardware or status word, hardware filling a
                device, ``IN_USE``, destroyed hardware, nothing to change.
        """
        self._write("UpdateHWStatusLocation", serialnb, status, location, comments)

    @checked
    def rename_function(self, old_name: str, new_name: str) -> None:
        """Renames a device function (``UpdateDeviceFunctionName``).

        Args:
            old_name: its name now.
            new_name: its new name.

        Raises:
            KetralError: an unknown or taken name, or another failure.
        """
        self._write("UpdateDeviceFunctionName", old_name, new_name)

    @checked
    def rename_subsystem(self, old_name: str, new_name: str) -> None:
        """Renames a subsystem (``UpdateSubsystemName``).

        Args:
            old_name: its name now.
            new_name: its new name.

        Raises:
            KetralError: an unknown or taken name, or another failure.
        """
        self._write("UpdateSubsystemName", old_name, new_name)

    @checked
    def swap(self, devicename: str, other: str, comments: str = "") -> None:
        """Swaps hardware (``SwapTwoDevices``): with a device name as ``other``
        the two devices exchange their hardware; with the serial number of
        hardware filling no position, that hardware takes ``devicename``'s
        position and the hardware taken out becomes SPARE, or the status
        ``comments`` begins with (``"IN_REPAIR: fan broken"``).

        Args:
            devicename: the device whose hardware changes.
            other: another device, or a serial number.
            comments: the history's comment.

        Raises:
            KetralError: the library's refusal (hardware in another device,
                an ambiguous name...).
        """
        self._write("SwapTwoDevices", devicename, other, comments)

    # ------------------------------------------------------------------
    # Deletions
    # ------------------------------------------------------------------

    @checked
    def delete_link(self, lkid: int, micro: bool = False) -> None:
        """Deletes a link (``DeleteLinkRow``).

        Args:
            lkid: the link's id.
            micro: True for a micro link, False for a macro link.

        Raises:
            KetralError: no such link, or another failure.
        """
        self._write("DeleteLinkRow", lkid, micro)

    @checked
    def delete_port(self, portid: int) -> None:
        """Deletes a port that carries no link (``DeletePortRow``).

        Args:
            portid: the port's id (see ``port_id``).

        Raises:
            KetralError: a port with a link (the message names it), or another failure.
        """
        self._write("DeletePortRow", portid)

    @checked
    def delete_device(self, device: "int | str") -> None:
        """Deletes a device with its ports, their links, its addresses, boot
        images and components; its hardware becomes SPARE (``DeleteFunctionalDevice``).

        Args:
            device: the device's id, or its name.

        Raises:
            KetralError: no such device, or another failure.
        """
        self._write("DeleteFunctionalDevice", self._device_id(device))

    @checked
    def delete_device_type(self, devicetype: str) -> None:
        """Deletes a device type no device has (``DeleteFunctionalDeviceType``).

        Args:
            devicetype: the type's name.

        Raises:
            KetralError: a type in use, or another failure.
        """
        self._write("DeleteFunctionalDeviceType", devicetype)

    @checked
    def delete_hardware(self, serialnb: str) -> None:
        """Deletes hardware that fills no position; its history stays (``DeleteHWDevice``).

        Args:
            serialnb: its serial number.

        Raises:
            KetralError: hardware in use, or another failure.
        """
        self._write("DeleteHWDevice", serialnb)

    @checked
    def delete_subsystem(self, system_name: str) -> None:
        """Deletes a subsystem nothing uses (``DeleteSystemName``).

        Args:
            system_name: its name.

        Raises:
            KetralError: a subsystem in use, or another failure.
        """
        self._write("DeleteSystemName", system_name)

    @checked
    def delete_boot_images(self, devicename: str) -> None:
        """Deletes a device's boot images (``DeleteBootImage``).

        Args:
            devicename: the device.

        Raises:
            KetralError: a device without boot images, or another failure.
        """
        self._write("DeleteBootImage", devicename)

    @checked
    def delete_ip_alias(self, ipalias: str) -> None:
        """Deletes an IP alias (``DeleteIPAlias``).

        Args:
            ipalias: the alias.

        Raises:
            KetralError: no such alias, or another failure.
        """
        self._write("DeleteIPAlias", ipalias)

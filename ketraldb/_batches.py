"""Batches: many records of one kind written in one transaction, with the
``first``/``last`` flags set by the package."""
import copy
import inspect
from typing import Dict, List, Tuple

from ._errors import KetralError

# kind -> (the single-record method whose arguments a record takes, the module
# method the batch sends its records to). The inserts are named by what they
# add; every batch may also be named by its single-record method.
INSERTS: Dict[str, Tuple[str, str]] = {
    "device_types": ("insert_device_type", "InsertMultipleDeviceTypes"),
    "devices": ("insert_device", "InsertMultipleFunctionalDevices"),
    "spare_hardware": ("insert_spare_hardware", "InsertMultipleSpareDevices"),
    "simple_link_types": ("insert_simple_link_type", "InsertMultipleSimpleLinkTypes"),
    "composite_link_types": ("insert_composite_link_type", "InsertMultipleCompositeLinkTypes"),
    "ports": ("insert_port", "InsertMultiplePorts"),
    "spare_ports": ("insert_spare_port", "InsertMultipleSparePorts"),
    "links": ("insert_link", "InsertMultipleMacroLinks"),
    "board_components": ("insert_board_component", "InsertMultipleBoardCpnts"),
    "micro_links": ("insert_micro_link", "InsertMultipleMicroLinks"),
    "boot_images": ("insert_boot_images", "InsertMultipleBootImages"),
    "ip_aliases": ("insert_ip_alias", "InsertMultipleIPAliases"),
    "functions": ("insert_function", "InsertSimpleDeviceFunction"),
}
UPDATES: Dict[str, str] = {
    "update_port": "UpdateMultiplePorts",
    "update_ip_attributes": "UpdateMultipleAttributeMacIPs",
    "change_ip_address": "UpdateMultipleIPAddresses",
    "update_composite_link_type": "UpdateMultipleCompositeLinkTypes",
    "rename_link_type": "UpdateMultipleLinkTypeNames",
    "update_device_type": "UpdateMultipleDeviceTypeAttributes",
    "rename_device_type": "UpdateMultipleDeviceTypes",
    "update_device": "UpdateMultipleAttributesDevices",
    "rename_device": "UpdateMultipleDevNamesDevices",
    "change_device_type": "UpdateMultipleDTypeDevices",
    "set_device_subsystems": "UpdateMultipleDeviceSystemList",
    "set_device_type_subsystems": "UpdateMultipleDeviceTypeSystemList",
    "set_link_bidirectional": "UpdateMultipleBidirectionalLinks",
    "set_link_used": "UpdateMultipleLkUsedLinks",
    "set_link_type": "UpdateMultipleLkTypeLinks",
    "set_link_info": "UpdateMultipleLkInfoLinks",
}
# The one function without a batched form gathers with its single flag.
LAST_ONLY = {"InsertSimpleDeviceFunction"}
# Functions whose single form orders its arguments unlike the batched one.
SINGLE_TO_BATCH = {"InsertPort": lambda a: a[:2] + [a[3], a[2]] + a[4:]}


def kinds() -> Dict[str, Tuple[str, str]]:
    """Every batch kind: kind -> (single-record method, module method)."""
    table = dict(INSERTS)
    for single, module_method in INSERTS.values():
        table.setdefault(single, (single, module_method))
    for single, module_method in UPDATES.items():
        table[single] = (single, module_method)
    return table


class Batch:
    """Records of one kind, written together in one transaction.

    Made by ``Database.batch(kind)``; use it as a context manager::

        with db.batch("ports") as ports:
            ports.add("sw01", "1", INPUT, port_type="data")
            ports.add("sw01", "2", OUTPUT, port_type="data")

    ``add`` takes the arguments of the kind's single-record method (the
    same names, defaults and checks) and sends the records to the library
    one call behind, so that the last one goes with ``last`` = 1 when the
    block ends: the library checks and writes them all when the block ends
    without an exception (a refused record raises there, named by its number). A block that raises
    discards the batch: nothing of it is written. An empty batch writes
    nothing. Outside a ``with`` block, ``close()`` writes and ``discard()``
    drops what was added.

    While records are sent, the library refuses writes of another kind
    (one batch at a time); queries may be made.
    """

    kind = ""
    single = ""
    module_method = ""

    def __init__(self, database) -> None:
        self._db = database
        self._recorder = copy.copy(database)
        self._recorder._write = self._capture
        self._captured: List[tuple] = []
        self._held = None
        self._sent = 0
        self._closed = False

    def __repr__(self) -> str:
        state = "closed" if self._closed else "open"
        return f"<ketraldb batch {self.kind!r}: {len(self)} record(s), {state}>"

    def __len__(self) -> int:
        """The number of records added so far."""
        return self._sent + (self._held is not None)

    def __enter__(self) -> "Batch":
        return self

    def __exit__(self, exc_type, exc, tb) -> bool:
        if exc_type is None:
            self.close()
        else:
            self.discard()
        return False

    def _capture(self, method: str, *args) -> None:
        self._captured.append((method, list(args)))

    def _record(self, *args, **kwargs) -> list:
        """The record's module arguments, without flags, checked as the
        single-record method checks them."""
        self._captured.clear()
        getattr(self._recorder, self.single)(*args, **kwargs)
        (method, values), = self._captured
        if method == self.module_method and method not in LAST_ONLY:
            return values[:-2]  # the single-record method sent a batch of one
        values = values[:-1]  # a single insert's one flag
        return SINGLE_TO_BATCH.get(method, lambda a: a)(values)

    def add(self, *args, **kwargs) -> None:  # replaced per kind by a method of the right signature
        if self._closed:
            raise KetralError(f"the {self.kind!r} batch is closed: open another with Database.batch")
        record = self._record(*args, **kwargs)
        if self._held is not None:
            self._send(self._held, last=0)
        self._held = record

    def _send(self, record: list, last: int) -> None:
        first = int(self._sent == 0)
        flags = [last] if self.module_method in LAST_ONLY else [first, last]
        try:
            self._db._write(self.module_method, *record, *flags)
        except BaseException:
            self.discard()
            raise
        self._sent += 1

    def close(self) -> None:
        """Writes the batch: sends the last record with ``last`` = 1. Nothing
        happens for an empty or closed batch.

        Raises:
            KetralError: the library refused a record; nothing of the batch
                is written.
        """
        if self._closed:
            return
        held, self._held = self._held, None
        if held is not None:
            self._send(held, last=1)
        self._closed = True

    def discard(self) -> None:
        """Drops the batch: nothing of it is written. Records already sent are
        dropped by connecting again (the library's way to discard an open
        batch), which also frees its connectivity graph."""
        if self._closed:
            return
        self._closed = True
        self._held = None
        if self._sent:
            self._sent = 0
            self._db._discard_open_batch()


def batch_class(kind: str, single_method, module_method: str) -> type:
    """A Batch whose ``add`` has the signature and the documentation of the
    single-record method ``single_method``."""

    def add(self, *args, **kwargs) -> None:
        Batch.add(self, *args, **kwargs)

    add.__signature__ = inspect.signature(single_method)
    add.__doc__ = (f"Adds one record to the batch ({module_method}): the arguments of "
                   f"Database.{single_method.__name__}.\n\n" + inspect.getdoc(single_method))
    name = "".join(part.capitalize() for part in kind.split("_")) + "Batch"
    return type(name, (Batch,), {"add": add, "kind": kind, "single": single_method.__name__,
                                 "module_method": module_method, "__module__": __name__,
                                 "__doc__": f"A batch of {kind} (see Batch)."})

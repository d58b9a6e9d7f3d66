"""The connection object: every method of the package, by family."""
from typing import Dict, Type

import libketralpython

from ._batches import Batch, batch_class, kinds
from ._checks import checked
from ._writes import Writes


class Database(Writes):
    """A connection to the configuration database, made by ``ketraldb.connect``.

    Methods, by family (each names the module method it calls):

    - connection and schema: ``close``, ``reconnect``, ``create_schema``,
      ``drop_schema``; use the object as a context manager to close it;
    - single records (a dict, or None): ``device``, ``device_type``,
      ``port``, ``link_by_id``, ``hardware``, ...;
    - lookups: ``device_id``, ``device_name``, ``port_id``, ...;
    - status and last assignments (a word, or None): ``device_status``,
      ``hardware_status``, ``device_last_hardware``, ...;
    - listings and histories (lists of dicts): ``hardware_by_status``,
      ``device_history``, ...;
    - lists (of ids, names or dicts): ``port_ids``, ``device_names_of_type``,
      ``spare_hardware_of_type``, ...;
    - whole tables (named tuples): ``links``, ``device_ids``,
      ``device_types``, ``link_types``;
    - inserts, updates, the swap and deletions of one record:
      ``insert_...``, ``update_...``, ``rename_...``, ``set_...``,
      ``swap``, ``delete_...``; many records in one transaction with
      ``batch``;
    - paths (``Path`` objects): ``paths``, ``detailed_paths``,
      ``detailed_paths_to``, ``all_paths``, ``reaches``, ``destinations``,
      ``micro_paths_...``;
    - routing and destination tables: ``create_routing_table``,
      ``routing_table``, ``create_destination_table``, ``destination_table``;
    - failure impact: ``failure_impact_of_device``,
      ``failure_impact_of_link``, ``failure_impact_of_port``, ``weak_points``.

    Every method checks its arguments' types first (``TypeError`` naming
    the method and the argument), and raises ``KetralError`` (a
    ``RuntimeError``) with the library's message when a call fails. "No
    rows" is None for one record and an empty list for a list.

    The library keeps one connection for the whole process: a second
    ``connect`` to another database takes the connection over.
    """

    _BATCHES: Dict[str, Type[Batch]] = {}

    def __init__(self, database: str, user: str = "", password: str = "") -> None:
        super().__init__(libketralpython.KETRAL(database, user, password))
        self._k_module = libketralpython
        self._database = database

    def __repr__(self) -> str:
        where = self._database if "://" not in self._database else self._database.split("://", 1)[0] + "://..."
        return f"<ketraldb.Database {where!r}>"

    def __enter__(self) -> "Database":
        return self

    def __exit__(self, exc_type, exc, tb) -> bool:
        self.close()
        return False

    @property
    def module_object(self):
        """The module's ``KETRAL`` object behind this connection, for the
        methods of ``libketralpython`` used directly."""
        return self._k

    # ------------------------------------------------------------------
    # Connection and schema
    # ------------------------------------------------------------------

    @checked
    def reconnect(self) -> None:
        """Opens the connection again with the same strings (``DBConnexion``);
        an open batch and the connectivity graph are discarded.

        Raises:
            KetralError: the library could not connect.
        """
        self._write("DBConnexion")

    @checked
    def close(self) -> None:
        """Closes the connection (``DBDeconnexion``); an open batch is discarded.
        Closing twice is harmless.

        Raises:
            KetralError: the library's failure.
        """
        self._write("DBDeconnexion")

    @checked
    def create_schema(self) -> None:
        """Creates the schema, or upgrades an older one; on an up-to-date
        schema changes nothing (``CreateTableSchema``).

        Raises:
            KetralError: the library's failure (a newer schema, for one).
        """
        self._write("CreateTableSchema")

    @checked
    def drop_schema(self) -> None:
        """Drops every table with its data (``DropTableSchema``).

        Raises:
            KetralError: the library's failure.
        """
        self._write("DropTableSchema")

    # ------------------------------------------------------------------
    # Batches
    # ------------------------------------------------------------------

    @checked
    def batch(self, kind: str) -> Batch:
        """A batch of records of one kind, written in one transaction.

        Args:
            kind: what the batch writes. Inserts: ``"device_types"``,
                ``"devices"``, ``"spare_hardware"``, ``"simple_link_types"``,
                ``"composite_link_types"``, ``"ports"``, ``"spare_ports"``,
                ``"links"``, ``"board_components"``, ``"micro_links"``,
                ``"boot_images"``, ``"ip_aliases"``, ``"functions"``.
                Updates, by their single-record method: ``"update_port"``,
                ``"update_ip_attributes"``, ``"change_ip_address"``,
                ``"update_composite_link_type"``, ``"rename_link_type"``,
                ``"update_device_type"``, ``"rename_device_type"``,
                ``"update_device"``, ``"rename_device"``,
                ``"change_device_type"``, ``"set_device_subsystems"``,
                ``"set_device_type_subsystems"``,
                ``"set_link_bidirectional"``, ``"set_link_used"``,
                ``"set_link_type"``, ``"set_link_info"``. An insert may also
                be named by its single-record method (``"insert_port"``).

        Returns:
            A ``Batch``, to use in a ``with`` block; its ``add`` takes the
            arguments of the kind's single-record method::

                with db.batch("ports") as ports:
                    for nbr in ("1", "2"):
                        ports.add("sw01", nbr, INPUT)

            The records are written when the block ends; a block that raises
            writes nothing of them.

        Raises:
            ValueError: an unknown kind.
        """
        cls = self._BATCHES.get(kind)
        if cls is None:
            raise ValueError(f"batch(): unknown kind {kind!r}; one of {', '.join(sorted(self._BATCHES))}")
        return cls(self)

    def _discard_open_batch(self) -> None:
        self._write("DBConnexion")


Database._BATCHES = {kind: batch_class(kind, getattr(Database, single), module_method)
                     for kind, (single, module_method) in kinds().items()}

"""ketraldb: the configuration database of the installation, in Python.

A pure Python package over the extension module ``libketralpython``: the
same database and the same library, with keyword arguments, defaults, type
hints, documentation, Python answers and one exception class::

    import ketraldb
    from ketraldb import INPUT, OUTPUT

    with ketraldb.connect("site.sqlite") as db:
        db.create_schema()
        db.insert_subsystem("DAQ")
        db.insert_simple_link_type("data")
        db.insert_device_type("switch", nbrofinput=48, nbrofoutput=48, system_list=["DAQ"])
        with db.batch("devices") as devices:        # one transaction
            for name in ("sw01", "sw02"):
                devices.add(name, "switch", location="rack 1")
        db.device("sw01")["location"]               # 'rack 1'
        db.device("sw99")                           # None
        for path in db.paths("sw01", "sw02"):
            print(path)                             # 1: sw01 -> sw02

- ``connect(database, user="", password="")`` answers a ``Database``; its
  methods cover every method of the module, by family (``help(Database)``).
- Arguments are checked before the module is called: a wrong type raises
  ``TypeError`` naming the method, the argument and the type expected.
  Lists and tuples are taken where the module wants an ``IntVec`` or a
  ``StringVec``; lists of names (subsystems, functions, link types) may also
  be one text separated by commas.
- Answers are Python objects: records are dicts, rows named tuples
  (``ketraldb.types``), paths ``Path`` objects holding their links. No row
  is None (one record) or an empty list.
- Every failure of the library or of the module's checks raises
  ``KetralError``, a ``RuntimeError`` carrying the library's message.
- ``db.batch(kind)`` writes many records in one transaction and sets the
  ``first``/``last`` flags itself.

The package never opens the database itself: everything goes through the
module and the library beside it. The module stays reachable as
``db.module_object`` (a ``libketralpython.KETRAL``).
"""
from ._batches import Batch
from ._database import Database
from ._errors import KetralError
from .types import (INPUT, OUTPUT, DeviceIdName, DeviceTypeIdName, Destination, DetailedLink, Impact, LinkRow,
                    LinkTypeIdName, MicroLink, Path, PathLink, PathStep, PortRef, Reach, Route, WeakPoint)

__all__ = ["connect", "Database", "Batch", "KetralError", "INPUT", "OUTPUT", "PortRef", "LinkRow", "DeviceIdName",
           "DeviceTypeIdName", "LinkTypeIdName", "Path", "PathLink", "DetailedLink", "PathStep", "MicroLink",
           "Reach", "Route", "Destination", "Impact", "WeakPoint"]


def connect(database: str, user: str = "", password: str = "") -> Database:
    """Connects to a configuration database.

    Args:
        database: an SQLite file path (created when missing), ``":memory:"``,
            or a ``postgresql://`` URL.
        user: the PostgreSQL user; ``""``: the URL's, or libpq's default.
        password: the PostgreSQL password; ``""``: the URL's, ``~/.pgpass``
            or the ``PG*`` environment variables.

    Returns:
        A connected ``Database``; use it in a ``with`` block, or call
        ``close()``. A fresh database needs ``create_schema()`` first.

    Raises:
        TypeError: an argument that is not a ``str``.
        KetralError: the library could not connect (its message never holds
            the password).
    """
    for name, value in (("database", database), ("user", user), ("password", password)):
        if not isinstance(value, str):
            raise TypeError(f"connect() argument '{name}' must be str, not {type(value).__name__}")
    db = Database(database, user, password)
    db.reconnect()
    return db

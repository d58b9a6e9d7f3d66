"""What every family of methods shares: the call into the module, and the
turning of its answers into Python objects."""
import json
from typing import Callable, List, Sequence, TypeVar

from ._errors import KetralError
from .types import Path, PortRef

NO_ROWS = "NO_ROWS_SELECTED"

T = TypeVar("T")


def names_text(names: "str | Sequence[str]") -> str:
    """A comma-separated list of names from a text (as it is) or a sequence."""
    return names if isinstance(names, str) else ",".join(names)


def split_row(row: str, fields: int) -> List[str]:
    """A joined row's fields; the last field may itself hold '|'."""
    parts = row.split("|", fields - 1)
    if len(parts) != fields:
        raise KetralError(f"a row of {fields} fields was expected, the module answered {row!r}")
    return parts


def group_paths(links: Sequence[T], pathid_of: Callable[[int], "int | None"] = lambda i: None) -> List[Path]:
    """Links in answer order into paths: a path begins at each link whose
    ``link_pos`` is 1."""
    paths: List[Path] = []
    current: List[T] = []
    start = 0
    for i, link in enumerate(links):
        if link.link_pos == 1 and current:
            paths.append(Path(pathid_of(start), tuple(current)))
            current, start = [], i
        current.append(link)
    if current:
        paths.append(Path(pathid_of(start), tuple(current)))
    return paths


class Base:
    """The module object and the calls into it."""

    def __init__(self, module_object) -> None:
        self._k = module_object

    def _call(self, method: str, *args):
        try:
            return getattr(self._k, method)(*args)
        except RuntimeError as e:
            raise KetralError(str(e), method) from None

    def _record(self, method: str, *args) -> "dict | None":
        """A row query: the JSON record as a dict, None when no row."""
        try:
            return json.loads(self._call(method, *args))
        except KetralError as e:
            if e.message == NO_ROWS:
                return None
            raise

    def _texts(self, method: str, *args) -> List[str]:
        """A list answer as Python strings; an empty list when no row."""
        try:
            return list(self._call(method, *args))
        except KetralError as e:
            if e.message == NO_ROWS:
                return []
            raise

    def _items(self, method: str, *args) -> List[dict]:
        """A list of JSON items as dicts; an empty list when no row."""
        return [json.loads(item) for item in self._texts(method, *args)]

    def _ints(self, method: str, *args) -> List[int]:
        return [int(i) for i in self._texts(method, *args)]

    def _status(self, method: str, *args) -> "str | None":
        """A status or last-assignment text; None when nothing was found."""
        text = self._call(method, *args)
        return None if text == NO_ROWS else text

    def _write(self, method: str, *args) -> None:
        self._call(method, *args)

    @staticmethod
    def _port(text: str) -> PortRef:
        return PortRef.parse(text)

"""Argument checks from type hints: every public method of the package is
wrapped by ``checked``, which refuses a wrong type before the module is
called, naming the method, the argument and the Python type expected.

Supported hints: ``str``, ``int`` (32-bit), ``bool`` (a flag: ``bool`` or
``int``, sent as an ``int``), ``Sequence[str]`` and ``Sequence[int]`` (a
list, a tuple or any other iterable but ``str``, ``bytes`` and mappings),
and unions of these.
"""
import collections.abc
import functools
import inspect
import types
import typing

INT_MIN, INT_MAX = -(2**31), 2**31 - 1

_NOT_SEQUENCES = (str, bytes, bytearray, memoryview, collections.abc.Mapping)


class _Mismatch(Exception):
    """One argument does not fit its hint: the words after 'must be'."""


def _type_name(value: object) -> str:
    return type(value).__name__


def _check_str(value):
    if not isinstance(value, str):
        raise _Mismatch(f"str, not {_type_name(value)}")
    return value


def _check_int(value):
    if not isinstance(value, int):
        raise _Mismatch(f"int, not {_type_name(value)}")
    if not INT_MIN <= value <= INT_MAX:
        raise OverflowError(f"{value} does not fit in 32 bits ({INT_MIN} to {INT_MAX})")
    return int(value)


def _check_flag(value):
    if not isinstance(value, int):  # bool is an int
        raise _Mismatch(f"bool, not {_type_name(value)}")
    return _check_int(int(value))


def _sequence_of(item_check, item_name):
    def check(value):
        if isinstance(value, _NOT_SEQUENCES) or not isinstance(value, collections.abc.Iterable):
            raise _Mismatch(f"a list or tuple of {item_name}, not {_type_name(value)}")
        items = list(value)
        for i, item in enumerate(items):
            try:
                item_check(item)
            except _Mismatch as e:
                raise _Mismatch(f"a list or tuple of {item_name}; item {i} is {_type_name(item)}") from e
            except OverflowError as e:
                raise OverflowError(f"item {i}: {e}") from None
        return items

    return check


def _union_of(checks, names):
    def check(value):
        for one in checks:
            try:
                return one(value)
            except _Mismatch:
                continue
        raise _Mismatch(f"{' or '.join(names)}, not {_type_name(value)}")

    return check


def _describe(hint) -> str:
    origin = typing.get_origin(hint)
    if origin is collections.abc.Sequence:
        return f"a list or tuple of {_describe(typing.get_args(hint)[0])}"
    return getattr(hint, "__name__", str(hint))


def _checker(hint):
    if hint is str:
        return _check_str
    if hint is int:
        return _check_int
    if hint is bool:
        return _check_flag
    origin = typing.get_origin(hint)
    if origin is collections.abc.Sequence:
        (item,) = typing.get_args(hint)
        return _sequence_of(_checker(item), _describe(item))
    if origin in (typing.Union, types.UnionType):
        members = typing.get_args(hint)
        return _union_of([_checker(m) for m in members], [_describe(m) for m in members])
    raise TypeError(f"no check for the hint {hint!r}")


def checked(func):
    """Wraps a method so that each argument is checked against its hint first.

    A wrong type raises ``TypeError("<method>() argument '<name>' must be
    <type>, not <type>")``; an int beyond 32 bits raises ``OverflowError``
    naming the argument the same way. Flags (``bool`` hints) reach the body
    as ``int``, sequences as ``list``.
    """
    signature = inspect.signature(func)
    hints = typing.get_type_hints(func)
    checks = {name: _checker(hint) for name, hint in hints.items() if name not in ("return", "self")}
    name = func.__name__

    @functools.wraps(func)
    def wrapper(*args, **kwargs):
        try:
            bound = signature.bind(*args, **kwargs)
        except TypeError as e:
            raise TypeError(f"{name}(): {e}") from None
        arguments = bound.arguments
        for argument, value in arguments.items():
            check = checks.get(argument)
            if check is None:
                continue
            try:
                arguments[argument] = check(value)
            except _Mismatch as e:
                raise TypeError(f"{name}() argument '{argument}' must be {e}") from None
            except OverflowError as e:
                raise OverflowError(f"{name}() argument '{argument}': {e}") from None
        return func(*bound.args, **bound.kwargs)

    return wrapper

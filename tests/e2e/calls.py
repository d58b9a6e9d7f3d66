"""What the end-to-end tests share to call the module: its list types built
from Python lists, and a whole batch sent record by record."""
import pathlib
import types

import libketralpython


def int_vec(values):
    v = libketralpython.IntVec()
    v.extend(values)
    return v


def str_vec(values):
    v = libketralpython.StringVec()
    v.extend(values)
    return v


def batch(method, rows):
    """One batch: first = 1 on the first record, last = 1 on the last; the answers."""
    last = len(rows) - 1
    return [method(*row, int(i == 0), int(i == last)) for i, row in enumerate(rows)]


def load_file(name, path):
    """The Python file at `path` run as a module named `name` (another suite's conftest)."""
    module = types.ModuleType(name)
    module.__file__ = str(path)
    exec(compile(pathlib.Path(path).read_text(), str(path), "exec"), module.__dict__)
    return module

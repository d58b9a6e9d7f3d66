"""The type stub beside the module (libketralpython.pyi) against the module
itself: a method added, removed or changed without its stub fails here.

Boost.Python functions have no signature that inspect can read, so each
method is compared two ways: with the Python signature Boost.Python writes
in its doc string (argument and result types), and with a call that passes
one argument too many, whose refusal names the C++ signature (the arity).
Such a call never reaches the library.
"""
import ast
import os
import re

import pytest

import libketralpython

# The one method that calls a library function of another name.
LIBRARY_NAMES = {"GetDeviceRow_deviceid": "GetDeviceRow_devid"}

STUB = os.path.join(os.path.dirname(libketralpython.__file__), "libketralpython.pyi")


def stub_classes():
    with open(STUB) as f:
        tree = ast.parse(f.read())
    classes = {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            classes[node.name] = {item.name: item for item in node.body if isinstance(item, ast.FunctionDef)}
    return classes


def public(cls):
    return {name for name in dir(cls) if not name.startswith("_")}


def documented_signature(method):
    """(argument types, result type) from Boost.Python's doc string, the
    object itself left out: "Name( (KETRAL)arg1, (str)arg2) -> str :"."""
    first = method.__doc__.strip().splitlines()[0]
    match = re.match(r"^\w+\((.*)\) -> (\w+) :$", first)
    assert match, first
    types = re.findall(r"\((\w+)\)arg\d+", match.group(1))
    return types[1:], match.group(2)


def stub_signature(function):
    args = function.args
    assert not args.args and not args.kwonlyargs and args.vararg is None and args.kwarg is None, \
        f"{function.name}: every argument is positional-only (before /)"
    params = args.posonlyargs[1:]
    return [ast.unparse(p.annotation) for p in params], ast.unparse(function.returns)


def cxx_arity(method_name, error):
    """The number of arguments of the C++ signature a refusal names, the
    object left out."""
    text = str(error)
    signature = text.split("did not match C++ signature:", 1)[1].strip()
    match = re.match(rf"^{method_name}\((.*)\)$", signature)
    assert match, signature
    depth, count = 0, 1
    for ch in match.group(1):
        depth += ch == "<"
        depth -= ch == ">"
        count += ch == "," and depth == 0
    return count - 1


def test_the_stub_sits_beside_the_module():
    assert os.path.isfile(STUB)


def test_the_stub_names_every_class_and_method_of_the_module_and_nothing_else():
    classes = stub_classes()
    assert set(classes) == {name for name in dir(libketralpython) if not name.startswith("_")}
    assert set(classes["KETRAL"]) - {"__init__"} == public(libketralpython.KETRAL)
    for vec in ("IntVec", "StringVec"):
        module_members = public(getattr(libketralpython, vec)) | {
            name for name in ("__len__", "__getitem__", "__setitem__", "__delitem__", "__contains__", "__iter__")
            if hasattr(getattr(libketralpython, vec), name)}
        assert set(classes[vec]) - {"__init__"} == module_members


def test_each_stub_gives_the_argument_and_result_types_of_the_module():
    methods = stub_classes()["KETRAL"]
    for name in public(libketralpython.KETRAL):
        assert stub_signature(methods[name]) == documented_signature(getattr(libketralpython.KETRAL, name)), name


@pytest.mark.parametrize("name", sorted(public(libketralpython.KETRAL)))
def test_each_stub_has_the_arity_of_the_module(db, fake, name):
    function = stub_classes()["KETRAL"][name]
    arity = len(stub_signature(function)[0])
    with pytest.raises(TypeError) as e:  # Boost.Python's ArgumentError
        getattr(db, name)(*([None] * (arity + 1)))
    assert cxx_arity(name, e.value) == arity
    assert fake.count(LIBRARY_NAMES.get(name, name)) == 0


def test_the_stub_of_the_constructor_takes_three_strings():
    init = stub_classes()["KETRAL"]["__init__"]
    assert [ast.unparse(p.annotation) for p in init.args.posonlyargs[1:]] == ["str", "str", "str"]
    with pytest.raises(TypeError):
        libketralpython.KETRAL("a", "b", "c", "d")

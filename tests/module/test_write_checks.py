"""The argument checks of the write methods: every check on its boundary
values, the first failing check winning, and no library call after a failure."""
import itertools

import pytest

from write_methods import METHODS, call, valid_args, with_values

# Values each kind of check rejects and accepts. "é" is one character in two
# bytes; a text is checked as the library receives it, up to its first NUL.
REJECTED = {
    "flag": [-1, 2, -2**31, 2**31 - 1],
    "way": [-1, 0, 3],
    "short": ["", "x", "é", "x\0yz", "\0xy"],
    "empty": ["", "\0x"],
}
ACCEPTED = {
    "flag": [0, 1],
    "way": [1, 2],
    "short": ["xy", "é!"],
    "empty": ["x", " "],
}


def simple_checks(values):
    for name, method in METHODS.items():
        for kind, arg, message in method.checks:
            for value in values.get(kind, []):
                yield pytest.param(name, arg, value, message, id=f"{name}-{arg}-{value!r}")


@pytest.mark.parametrize("name, arg, value, message", simple_checks(REJECTED))
def test_a_rejected_value_raises_the_check_message_before_any_library_call(db, fake, name, arg, value, message):
    args = with_values(name, valid_args(name), {arg: value})
    with pytest.raises(RuntimeError) as raised:
        call(db, name, args)
    assert str(raised.value) == message
    assert fake.count(name) == 0


@pytest.mark.parametrize("name, arg, value, message", simple_checks(ACCEPTED))
def test_an_accepted_value_reaches_the_library(db, fake, name, arg, value, message):
    args = with_values(name, valid_args(name), {arg: value})
    assert call(db, name, args) == METHODS[name].success
    assert fake.count(name) == 1


def failing(name, check):
    """Changes that make this one check fail."""
    kind, arg, _ = check
    if kind == "sizes":
        longer = arg[0]
        extra = 5 if METHODS[name].sig[longer - 1] == "W" else "extra"
        return {longer: valid_args(name)[longer - 1] + [extra]}
    if kind == "pair":
        return {arg[0]: "none", arg[1]: ""}
    return {arg: REJECTED[kind][0]}


def check_pairs():
    for name, method in METHODS.items():
        for first, second in itertools.combinations(method.checks, 2):
            a, b = failing(name, first), failing(name, second)
            if any(k in b and b[k] != v for k, v in a.items()):
                continue  # both cannot fail at once
            yield pytest.param(name, {**a, **b}, first[2], id=f"{name}-{first[1]}-before-{second[1]}")


@pytest.mark.parametrize("name, changes, message", check_pairs())
def test_when_two_checks_fail_the_earlier_one_is_reported(db, fake, name, changes, message):
    with pytest.raises(RuntimeError) as raised:
        call(db, name, with_values(name, valid_args(name), changes))
    assert str(raised.value) == message
    assert fake.count(name) == 0

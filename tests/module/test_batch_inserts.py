"""Batched inserts: the board component pair test, and the batch flags of every
batched method reaching the library last and unchanged."""
import itertools

import pytest

from write_methods import BATCH_INSERTS, BATCH_UPDATES, call, valid_args, with_values

BOARD = "InsertMultipleBoardCpnts"


@pytest.mark.parametrize("motherboard, location, message", [
    ("none", "", "Error: you should give a location"),
    ("", "none", "Error: you should give the motherboardname"),
    ("none\0", "\0rack", "Error: you should give a location"),
    ("None", "", None),
    ("", "None", None),
    ("none ", "", None),
    ("none", "none", None),
    ("none", "rack 3", None),
    ("", "", None),
])
def test_a_board_component_needs_a_location_or_a_motherboard(db, fake, motherboard, location, message):
    args = with_values(BOARD, valid_args(BOARD), {4: motherboard, 8: location})
    if message is None:
        assert call(db, BOARD, args) == "Successful insertion"
        assert fake.count(BOARD) == 1
    else:
        with pytest.raises(RuntimeError) as raised:
            call(db, BOARD, args)
        assert str(raised.value) == message
        assert fake.count(BOARD) == 0


@pytest.mark.parametrize("name", [*BATCH_INSERTS, *BATCH_UPDATES])
def test_every_combination_of_batch_flags_goes_last_to_the_library(db, fake, name):
    combinations = list(itertools.product((0, 1), repeat=2))
    for first, last in combinations:
        call(db, name, with_values(name, valid_args(name), {-2: first, -1: last}))
    sent = [[p["value"] for p in received[-3:-1]] for received in fake.calls(name)]
    assert sent == [list(c) for c in combinations]

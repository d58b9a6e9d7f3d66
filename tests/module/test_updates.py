"""Updates, the swap and the deletions check no record value: empty texts,
zero and negative integers reach the library unchanged."""
import pytest

from write_methods import BATCH_UPDATES, METHODS, SINGLE_WRITES, call, expected_params, recorded_params


@pytest.mark.parametrize("name", [*BATCH_UPDATES, *SINGLE_WRITES])
@pytest.mark.parametrize("text, number", [("", 0), ("", -7), ("x", -2**31)])
def test_record_values_are_passed_unchecked(db, fake, name, text, number):
    args = [{"s": text, "i": number, "f": 0}[kind] for kind in METHODS[name].sig]
    assert call(db, name, args) == METHODS[name].success
    [received] = fake.calls(name)
    assert recorded_params(received) == expected_params(name, args)

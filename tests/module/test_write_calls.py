"""What every write method hands the library and what it returns: parameters in
the library's order, the exact success text, the library's message on failure."""
import pytest

from write_methods import METHODS, call, expected_params, recorded_params, valid_args, with_values


def flag_variants():
    """Each method with all its flags at 1, then with each flag alone at 0, so
    that two flags exchanged on the way to the library show."""
    for name, method in METHODS.items():
        flags = [k for k, kind in enumerate(method.sig, 1) if kind == "f"]
        if "P" in method.sig:
            flags += ["p1", "p2"]
        yield pytest.param(name, {}, id=name)
        for flag in flags:
            yield pytest.param(name, {flag: 0}, id=f"{name}-{flag}=0")


@pytest.mark.parametrize("name, changes", flag_variants())
def test_the_library_receives_every_argument_in_its_own_order(db, fake, name, changes):
    args = with_values(name, valid_args(name), changes)
    assert call(db, name, args) == METHODS[name].success
    [received] = fake.calls(name)
    assert recorded_params(received) == expected_params(name, args)


@pytest.mark.parametrize("error", ["Error: device dev_a already exists", ""])
@pytest.mark.parametrize("name", METHODS)
def test_a_library_failure_raises_its_message_once(db, fake, name, error):
    fake.answer(name, rc=-3, error=error)
    with pytest.raises(RuntimeError) as raised:
        call(db, name, valid_args(name))
    assert str(raised.value) == error
    assert fake.count(name) == 1


def test_an_error_text_without_its_nul_is_read_to_the_buffer_end_only(db, fake):
    fake.answer("InsertSubsystem", rc=1, error=b"e" * 1200)
    with pytest.raises(RuntimeError) as raised:
        db.InsertSubsystem("sys", "parent")
    assert str(raised.value) == "e" * 1000

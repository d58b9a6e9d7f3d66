"""The methods beyond the described ones (docs/additions.md) on the double:
their arguments in library order, the packed rows split into a StringVec,
one more call when the library asks for more room, failures as RuntimeError."""
import pytest

READERS = ["GetRoutingTableRows", "GetDestinationTableRows"]


@pytest.mark.parametrize("method", READERS)
def test_a_reader_passes_its_arguments_and_splits_the_rows(fake, db, method):
    fake.answer(method, texts={2: b"1|a|2|9:out|1\0" b"3|b|2|9:out|2\0"}, ints={1: 28})
    assert list(getattr(db, method)("sw01")) == ["1|a|2|9:out|1", "3|b|2|9:out|2"]
    (call,) = fake.calls(method)
    assert call[0] == {"kind": "text", "value": b"sw01"}
    assert call[1] == {"kind": "inout", "value": 50000} and call[2] == {"kind": "buffer", "capacity": 50000}


@pytest.mark.parametrize("method", READERS)
def test_a_reader_calls_once_more_with_the_room_asked_for(fake, db, method):
    fake.answer(method, rc=1, error="needs more", ints={1: 70000})
    fake.answer(method, texts={2: b"row\0"}, ints={1: 4})
    assert list(getattr(db, method)("sw01")) == ["row"]
    assert fake.calls(method)[1][2] == {"kind": "buffer", "capacity": 70000}


@pytest.mark.parametrize("method", READERS)
def test_a_reader_answers_an_empty_table_and_raises_a_failure(fake, db, method):
    fake.answer(method, ints={1: 0})
    assert list(getattr(db, method)("sw01")) == []
    fake.answer(method, rc=1, error=f"{method}: no device named 'sw99'")
    with pytest.raises(RuntimeError, match=f"^{method}: no device named 'sw99'$"):
        getattr(db, method)("sw99")
    assert fake.count(method) == 2


def test_the_hardware_state_change_passes_its_four_texts_and_answers_updated(fake, db):
    assert db.UpdateHWStatusLocation("RO-1", "SPARE", "store room", "repaired") == "Successful update"
    (call,) = fake.calls("UpdateHWStatusLocation")
    assert [a["value"] for a in call[:4]] == [b"RO-1", b"SPARE", b"store room", b"repaired"]
    fake.answer("UpdateHWStatusLocation", rc=1, error="UpdateHWStatusLocation: no hardware with serial number 'X'")
    with pytest.raises(RuntimeError, match="^UpdateHWStatusLocation: no hardware with serial number 'X'$"):
        db.UpdateHWStatusLocation("X", "SPARE", "", "")

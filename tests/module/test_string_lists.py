"""String lists, status listings and histories: NUL-separated items in one
buffer, split within the length the library left; no rows and failures
raise, a list too large for the first buffer is read again once."""
import pytest

from record_queries import LEN, LISTINGS, NO_ROWS, RES, STRING_LISTS, call, each, expected_call, index, raises

ALL = STRING_LISTS + LISTINGS
SMALLEST = [q for q in ALL if q.method == "GetMacIPAddPerDevID"]


def answer(fake, q, rc=0, text=None, length=None, error=None):
    fake.answer(q.function, rc=rc, error=error, texts=None if text is None else {index(q, RES): text},
                ints=None if length is None else {index(q, LEN): length})


@each(ALL)
def test_items_reach_the_script_in_library_order(fake, db, q):
    answer(fake, q, text=b"dev_2\0dev_1\0", length=12)
    assert list(call(db, q)) == ["dev_2", "dev_1"]
    assert fake.calls(q.function) == [expected_call(q)]


@each(ALL)
def test_list_too_large_is_read_again_once_with_the_size_asked_for(fake, db, q):
    answer(fake, q, rc=1, length=q.size + 1, error="too small")
    answer(fake, q, text=b"x\0y\0", length=4)
    assert list(call(db, q)) == ["x", "y"]
    assert fake.calls(q.function) == [expected_call(q), expected_call(q, length=q.size + 1)]


@each(ALL)
def test_failure_without_a_raised_length_is_not_repeated(fake, db, q):
    answer(fake, q, rc=1, length=q.size, error="table locked")
    assert raises(db, q) == "table locked"
    assert fake.count(q.function) == 1


@each(ALL)
def test_no_rows_raises_the_marker_whatever_follows_it(fake, db, q):
    answer(fake, q, text=NO_ROWS, length=17)
    answer(fake, q, text=NO_ROWS + "\0more\0", length=22)
    assert raises(db, q) == NO_ROWS
    assert raises(db, q) == NO_ROWS


@each(ALL[:1] + LISTINGS[3:4])
def test_no_rows_after_a_failure_wins_over_a_raised_length(fake, db, q):
    answer(fake, q, rc=1, text=NO_ROWS, length=q.size * 2, error="not this")
    assert raises(db, q) == NO_ROWS
    assert fake.count(q.function) == 1


@each(ALL[:1] + LISTINGS[2:3])
def test_second_call_no_rows_raises_whatever_it_returns(fake, db, q):
    for rc in (0, 1):
        answer(fake, q, rc=1, length=q.size + 1)
        answer(fake, q, rc=rc, text=NO_ROWS, error="not this")
        assert raises(db, q) == NO_ROWS


@each(ALL[:1] + LISTINGS[2:3])
def test_second_failure_raises_its_text_and_there_is_no_third_call(fake, db, q):
    answer(fake, q, rc=1, length=q.size + 1)
    answer(fake, q, rc=1, length=q.size * 4, error="still too small")
    answer(fake, q, text=b"never\0", length=6)
    assert raises(db, q) == "still too small"
    assert fake.count(q.function) == 2


@pytest.mark.parametrize("length,items", [
    (5, ["a", "bc"]),
    (3, ["a", "bc"]),       # an item that starts before the length is taken whole
    (2, ["a"]),
    (1, ["a"]),
    (0, []),
    (-7, []),
])
@pytest.mark.parametrize("second_call", [False, True])
def test_split_stops_where_the_length_ends(fake, db, length, items, second_call):
    q = STRING_LISTS[0]
    if second_call:
        answer(fake, q, rc=1, length=q.size + 1)
    answer(fake, q, text=b"a\0bc\0", length=length)
    assert list(call(db, q)) == items


@each(STRING_LISTS[:1] + LISTINGS[-1:])
def test_empty_items_are_kept(fake, db, q):
    answer(fake, q, text=b"\0x\0\0\0", length=5)
    assert list(call(db, q)) == ["", "x", "", ""]


@each(SMALLEST)
def test_items_of_any_size_come_back_whole(fake, db, q):
    long_item = "i" * 700  # more than a 500-byte scratch area could hold
    answer(fake, q, text=(long_item + "\0j\0").encode(), length=703)
    assert list(call(db, q)) == [long_item, "j"]


@each(SMALLEST)
def test_split_never_reads_past_the_buffer(fake, db, q):
    # The library claims more than the buffer holds and leaves no final NUL.
    answer(fake, q, text=b"a\0" + b"b" * 2000, length=99999)
    assert list(call(db, q)) == ["a", "b" * (q.size - 2)]
    answer(fake, q, rc=1, length=q.size + 1)
    answer(fake, q, text=b"c" * 5000, length=q.size + 1)
    assert list(call(db, q)) == ["c" * (q.size + 1)]


@each(SMALLEST)
def test_lowered_or_negative_length_after_a_failure_is_not_repeated(fake, db, q):
    for length in (5, -1, -2**31):
        answer(fake, q, rc=1, length=length, error="no room")
        assert raises(db, q) == "no room"
    assert fake.count(q.function) == 3

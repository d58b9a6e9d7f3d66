"""Integer lists: identifiers in an array with a count; -1 in the first two
entries means no rows, a list too large for the first array is read again
once with the count the library asked for."""
import pytest

from record_queries import INT_LISTS, LEN, NO_ROWS, RES, call, each, expected_call, index, raises

LKINFO = [q for q in INT_LISTS if q.method == "GetLkIDsPerLkInfo"]


def answer(fake, q, rc=0, ids=None, count=None, error=None):
    fake.answer(q.function, rc=rc, error=error, arrays=None if ids is None else {index(q, RES): ids},
                ints=None if count is None else {index(q, LEN): count})


def calls_of(q, *counts):
    return [expected_call(q, length=c, result_kind="array") for c in counts]


@each(INT_LISTS)
def test_ids_reach_the_script_in_array_order(fake, db, q):
    answer(fake, q, ids=[9, 3, 3, -1, 0], count=4)
    assert list(call(db, q)) == [9, 3, 3, -1]
    assert fake.calls(q.function) == calls_of(q, q.size)


@each(INT_LISTS)
def test_list_too_large_is_read_again_once_with_the_count_asked_for(fake, db, q):
    ids = list(range(q.size + 500))
    answer(fake, q, rc=1, count=q.size + 500, error="too small")
    answer(fake, q, ids=ids, count=q.size + 500)
    assert list(call(db, q)) == ids
    assert fake.calls(q.function) == calls_of(q, q.size, q.size + 500)


@each(INT_LISTS)
def test_failure_without_a_raised_count_is_not_repeated(fake, db, q):
    answer(fake, q, rc=1, count=q.size, error="ORA-2: failed")
    assert raises(db, q) == "ORA-2: failed"
    assert fake.count(q.function) == 1


@each(INT_LISTS)
def test_both_first_entries_minus_one_mean_no_rows(fake, db, q):
    answer(fake, q, ids=[-1, -1, 5], count=3)
    answer(fake, q, ids=[-1, 5], count=2)
    answer(fake, q, ids=[5, -1], count=2)
    assert raises(db, q) == NO_ROWS
    assert list(call(db, q)) == [-1, 5]
    assert list(call(db, q)) == [5, -1]


@each(INT_LISTS[:1] + LKINFO)
def test_no_rows_after_a_failure_wins_over_a_raised_count(fake, db, q):
    answer(fake, q, rc=1, ids=[-1, -1], count=q.size * 2, error="not this")
    assert raises(db, q) == NO_ROWS
    assert fake.count(q.function) == 1


@each(INT_LISTS[:1] + LKINFO)
def test_second_call_ends_it(fake, db, q):
    for rc in (0, 1):
        answer(fake, q, rc=1, count=q.size + 1)
        answer(fake, q, rc=rc, ids=[-1, -1], error="not this")
        assert raises(db, q) == NO_ROWS
    answer(fake, q, rc=1, count=q.size + 1)
    answer(fake, q, rc=1, count=q.size * 3, error="still too small")
    answer(fake, q, ids=[1], count=1)
    assert raises(db, q) == "still too small"
    assert fake.count(q.function) == 6


@pytest.mark.parametrize("count,expected", [(0, []), (-4, []), (1, [7]), (3, [7, 8, 9])])
def test_count_as_the_library_left_it(fake, db, count, expected):
    q = INT_LISTS[0]
    answer(fake, q, ids=[7, 8, 9], count=count)
    assert list(call(db, q)) == expected


@each(INT_LISTS[:1])
def test_count_beyond_the_array_is_read_within_it(fake, db, q):
    answer(fake, q, ids=[4] * q.size, count=q.size * 5)
    assert list(call(db, q)) == [4] * q.size


@each(INT_LISTS[:1])
def test_lowered_or_negative_count_after_a_failure_is_not_repeated(fake, db, q):
    for count in (1, -1, -2**31):
        answer(fake, q, rc=1, count=count, error="no room")
        assert raises(db, q) == "no room"
    assert fake.count(q.function) == 3


@each(LKINFO)
def test_long_link_info_message_arrives_whole(fake, db, q):
    message = "link info too long: " + "m" * 5000
    answer(fake, q, rc=1, error=message)
    assert raises(db, q) == message

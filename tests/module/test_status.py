"""Status and last-assignment queries: the library's text, an answer that
begins with the empty marker included; only the last-assignment queries read
again, once, when the library asks for more room."""
from record_queries import (LAST_ASSIGNMENT, LEN, NO_ROWS, RES, ROWS, STATUS, call, each, expected_call, index,
                            raises)

ALL = STATUS + LAST_ASSIGNMENT


def answer(fake, q, rc=0, text=None, length=None, error=None):
    fake.answer(q.function, rc=rc, error=error, texts=None if text is None else {index(q, RES): text},
                ints=None if length is None else {index(q, LEN): length})


@each(ALL)
def test_answer_is_the_text_the_library_wrote(fake, db, q):
    answer(fake, q, text=b"IN_USE\0rest")
    assert call(db, q) == "IN_USE"
    assert fake.calls(q.function) == [expected_call(q)]


@each(ALL)
def test_no_rows_is_returned_whole_after_success_or_failure(fake, db, q):
    answer(fake, q, text=NO_ROWS)
    answer(fake, q, rc=1, text=NO_ROWS + " for snb_f", error="not this")
    assert call(db, q) == NO_ROWS
    assert call(db, q) == NO_ROWS + " for snb_f"
    assert fake.count(q.function) == 2


@each(ALL)
def test_failure_raises_the_library_text(fake, db, q):
    answer(fake, q, rc=1, text="IN_USE", error="status unknown")
    assert raises(db, q) == "status unknown"
    assert fake.count(q.function) == 1


def test_row_query_raises_where_a_status_query_returns(fake, db):
    row, status = ROWS[0], STATUS[0]
    answer(fake, row, rc=1, text=NO_ROWS)
    answer(fake, status, rc=1, text=NO_ROWS)
    assert raises(db, row) == NO_ROWS
    assert call(db, status) == NO_ROWS


@each(STATUS)
def test_status_query_is_never_repeated(fake, db, q):
    # The status functions take no length: whatever the library did, one call.
    answer(fake, q, rc=1, error="no room")
    answer(fake, q, text="never read")
    assert raises(db, q) == "no room"
    assert fake.count(q.function) == 1


@each(STATUS[:1] + LAST_ASSIGNMENT[:1])
def test_answer_filling_the_buffer_without_nul_is_read_within_it(fake, db, q):
    answer(fake, q, text=b"s" * 1000)
    assert call(db, q) == "s" * 1000
    answer(fake, q, rc=1, text=b"NO_ROWS_SELECTED" + b"t" * 2000)
    assert call(db, q) == NO_ROWS + "t" * 984


@each(LAST_ASSIGNMENT)
def test_last_assignment_reads_again_once_with_the_size_asked_for(fake, db, q):
    answer(fake, q, rc=1, length=1500, error="too small")
    answer(fake, q, text="h" * 1499)
    assert call(db, q) == "h" * 1499
    assert fake.calls(q.function) == [expected_call(q), expected_call(q, length=1500)]


@each(LAST_ASSIGNMENT)
def test_last_assignment_without_a_raised_length_is_not_repeated(fake, db, q):
    for length in (1000, 999, -1):
        answer(fake, q, rc=1, length=length, error="no room")
        assert raises(db, q) == "no room"
    assert fake.count(q.function) == 3


@each(LAST_ASSIGNMENT[:1] + LAST_ASSIGNMENT[-1:])
def test_last_assignment_second_call_ends_it(fake, db, q):
    answer(fake, q, rc=1, length=1001)
    answer(fake, q, rc=1, text=NO_ROWS + " yet", length=5000, error="not this")
    assert call(db, q) == NO_ROWS + " yet"
    answer(fake, q, rc=1, length=1001)
    answer(fake, q, rc=1, length=5000, error="still too small")
    answer(fake, q, text="never read")
    assert raises(db, q) == "still too small"
    assert fake.count(q.function) == 4


@each(LAST_ASSIGNMENT[:1])
def test_no_rows_after_a_failure_wins_over_a_raised_length(fake, db, q):
    answer(fake, q, rc=1, text=NO_ROWS, length=3000)
    assert call(db, q) == NO_ROWS
    assert fake.count(q.function) == 1

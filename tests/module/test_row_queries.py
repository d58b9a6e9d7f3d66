"""Row queries: one record by its key, the library's text up to its first NUL;
no rows and failures raise, a record too large for the first buffer is read
again once with the size the library asked for."""
from record_queries import LEN, NO_ROWS, RES, ROWS, call, each, expected_call, index, raises


def answer(fake, q, rc=0, text=None, length=None, error=None):
    fake.answer(q.function, rc=rc, error=error, texts=None if text is None else {index(q, RES): text},
                ints=None if length is None else {index(q, LEN): length})


@each(ROWS)
def test_record_is_the_text_the_library_wrote(fake, db, q):
    answer(fake, q, text=b"id=7|name=x\0garbage")
    assert call(db, q) == "id=7|name=x"
    assert fake.calls(q.function) == [expected_call(q)]


@each(ROWS)
def test_record_too_large_is_read_again_once_with_the_size_asked_for(fake, db, q):
    record = "r" * q.size  # needs size + 1 bytes with its NUL
    answer(fake, q, rc=1, length=q.size + 1, error="too small")
    answer(fake, q, text=record)
    assert call(db, q) == record
    first, second = fake.calls(q.function)
    assert first == expected_call(q)
    assert second == expected_call(q, length=q.size + 1)


@each(ROWS)
def test_failure_without_a_raised_length_is_not_repeated(fake, db, q):
    answer(fake, q, rc=1, length=q.size, error="ORA-1: failed")
    assert raises(db, q) == "ORA-1: failed"
    assert fake.count(q.function) == 1


@each(ROWS)
def test_no_rows_raises_the_marker_whatever_follows_it(fake, db, q):
    answer(fake, q, text=NO_ROWS)
    answer(fake, q, text=NO_ROWS + " for key x")
    assert raises(db, q) == NO_ROWS
    assert raises(db, q) == NO_ROWS


@each(ROWS[:1] + ROWS[-1:])
def test_no_rows_after_a_failure_wins_over_a_raised_length(fake, db, q):
    answer(fake, q, rc=1, text=NO_ROWS, length=q.size * 3, error="not this")
    assert raises(db, q) == NO_ROWS
    assert fake.count(q.function) == 1


@each(ROWS[:1] + ROWS[-1:])
def test_second_call_no_rows_raises_whatever_it_returns(fake, db, q):
    for rc in (0, 1):
        answer(fake, q, rc=1, length=q.size + 10)
        answer(fake, q, rc=rc, text=NO_ROWS + "!", error="not this")
        assert raises(db, q) == NO_ROWS


@each(ROWS[:1] + ROWS[-1:])
def test_second_failure_raises_its_text_and_there_is_no_third_call(fake, db, q):
    answer(fake, q, rc=1, length=q.size + 10, error="first")
    answer(fake, q, rc=2, length=q.size + 500, error="second")
    answer(fake, q, text="never read")
    assert raises(db, q) == "second"
    assert fake.count(q.function) == 2


@each(ROWS[:1])
def test_record_text_edges(fake, db, q):
    answer(fake, q, text=b"\0not this")
    answer(fake, q, text=b"a\0b")
    assert call(db, q) == ""
    assert call(db, q) == "a"
    answer(fake, q, rc=1, error="")
    assert raises(db, q) == ""


@each(ROWS[:1] + ROWS[-1:])
def test_record_filling_the_buffer_without_nul_is_read_within_it(fake, db, q):
    answer(fake, q, text=b"x" * q.size)
    assert call(db, q) == "x" * q.size
    answer(fake, q, rc=1, length=q.size + 1)
    answer(fake, q, text=b"y" * (q.size + 50))
    assert call(db, q) == "y" * (q.size + 1)


@each(ROWS[:1])
def test_lowered_or_negative_length_after_a_failure_is_not_repeated(fake, db, q):
    for length in (5, 0, -1, -2**31):
        answer(fake, q, rc=1, length=length, error="no room")
        assert raises(db, q) == "no room"
    assert fake.count(q.function) == 4

"""Identifier and name lookups: one call each, the library's answer or its
error text; no length, no second call, no empty marker."""
from record_queries import ID, ID_LOOKUPS, NAME, NAME_LOOKUPS, NO_ROWS, call, each, expected_call, index, raises

LOOKUPS = NAME_LOOKUPS + ID_LOOKUPS


@each(NAME_LOOKUPS)
def test_name_is_the_text_the_library_wrote(fake, db, q):
    for text, name in [(b"dev_01\0rest", "dev_01"), (b"\0", ""), (NO_ROWS, NO_ROWS)]:
        fake.answer(q.function, texts={index(q, NAME): text})
        assert call(db, q) == name
    assert fake.calls(q.function)[0] == expected_call(q)


@each(NAME_LOOKUPS)
def test_name_filling_the_buffer_without_nul_is_read_within_it(fake, db, q):
    fake.answer(q.function, texts={index(q, NAME): b"n" * 1200})
    assert call(db, q) == "n" * 1000


@each(ID_LOOKUPS)
def test_identifier_is_the_value_the_library_left(fake, db, q):
    for written, expected in [(1234, 1234), (0, 0), (-1, -1), (None, -1)]:
        fake.answer(q.function, ints=None if written is None else {index(q, ID): written})
        assert call(db, q) == expected
    assert fake.calls(q.function)[0] == expected_call(q)


@each(LOOKUPS)
def test_failure_raises_the_library_text_once(fake, db, q):
    fake.answer(q.function, rc=1, error="no such name", texts={index(q, NAME): NO_ROWS} if NAME in q.params else None)
    fake.answer(q.function, rc=-3, error="")
    assert raises(db, q) == "no such name"
    assert raises(db, q) == ""
    assert fake.count(q.function) == 2

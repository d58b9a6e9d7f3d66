"""What every column-store and text-list method shares: the library order and
sizes of its first call, the rows it joins, and its single second call."""
import pytest

from column_stores import ADDITIONS, CONNECTIVITY, LOADERS, PATHS, answer, each, fail_with, grows, index, invoke, joined, \
    layout, observed, row_columns, sample_rows

ALL = CONNECTIVITY + PATHS + LOADERS + ADDITIONS
every = each(ALL)
with_texts = each(ALL, lambda s: bool(s.sizes))
counted = each(ALL, lambda s: s.count is not None)


def fitting(store, rows, sizes):
    """The rows with the texts of a list that has no room left empty."""
    room = {**store.sizes, **sizes}
    return [{k: ("" if kind == "T" and room[f"L{k}"] == 0 else row[k]) for k, kind in row_columns(store)}
            for row in rows]


def test_the_thirteen_methods_are_covered():
    assert len({s.method for s in CONNECTIVITY + PATHS + LOADERS}) == 13
    assert len({s.method for s in ADDITIONS}) == 4


@every
def test_first_call_gets_arguments_and_initial_sizes_in_library_order(fake, db, store):
    answer(fake, store, [])
    invoke(db, store)
    [call] = fake.calls(store.method)
    assert observed(store, call) == layout(store)


@every
def test_rows_join_the_columns_in_order(fake, db, store):
    rows = sample_rows(store, 4)
    empty_lists = {t: 64 for t, size in store.sizes.items() if size == 0}
    if empty_lists:  # a list that starts without room takes the second call
        fail_with(fake, store, empty_lists)
    answer(fake, store, rows, error="leftover text")
    assert invoke(db, store) == joined(store, rows)


@every
def test_an_empty_answer_gives_an_empty_list(fake, db, store):
    answer(fake, store, [])
    assert invoke(db, store) == []


@every
def test_a_failure_that_leaves_the_sizes_alone_is_thrown_at_once(fake, db, store):
    fail_with(fake, store, error="table locked")
    with pytest.raises(RuntimeError, match="^table locked$"):
        invoke(db, store)
    assert fake.count(store.method) == 1


def raised(stores, tested):
    return pytest.mark.parametrize("store,token", [(s, t) for s in stores for t in sorted(s.tested if tested else
                                                                                          set(s.sizes) - s.tested)],
                                   ids=lambda v: v if isinstance(v, str) else v.method)


@raised(ALL, tested=True)
def test_one_raised_size_takes_one_second_call_at_that_size(fake, db, store, token):
    bigger = {token: layout(store)[token] + 37}
    fail_with(fake, store, bigger)
    rows = fitting(store, sample_rows(store, 2), bigger)
    answer(fake, store, rows)
    assert invoke(db, store) == joined(store, rows)
    first, second = fake.calls(store.method)
    assert observed(store, second) == layout(store, bigger)


@raised(ALL, tested=False)
def test_a_raised_size_outside_the_retry_test_is_thrown(fake, db, store, token):
    fail_with(fake, store, {token: layout(store)[token] + 37}, error="names too long")
    with pytest.raises(RuntimeError, match="^names too long$"):
        invoke(db, store)
    assert fake.count(store.method) == 1


@every
def test_a_second_failure_is_thrown_and_never_retried(fake, db, store):
    token = sorted(store.tested)[0]
    fail_with(fake, store, {token: layout(store)[token] + 37})
    fail_with(fake, store, {token: layout(store)[token] + 99}, error="still no room")
    with pytest.raises(RuntimeError, match="^still no room$"):
        invoke(db, store)
    assert fake.count(store.method) == 2


@every
def test_the_second_call_announces_every_buffer_at_its_real_size(fake, db, store):
    everything = {t: store.sizes.get(t, store.count) + 37 for t in store.order if t == "n" or t[0] == "L"}
    fail_with(fake, store, everything)
    answer(fake, store, [])
    invoke(db, store)
    first, second = fake.calls(store.method)
    # Lists that keep their first buffer are announced at its size again.
    assert observed(store, second) == layout(store, {t: v for t, v in everything.items() if grows(t)})


# -- long texts, lists without their last NUL, sizes out of reason ------------

@with_texts
def test_texts_of_any_length_come_back_whole(fake, db, store):
    rows = sample_rows(store, 2)
    number = next(k for k, kind in row_columns(store) if kind == "T" and store.sizes[f"L{k}"] > 0)
    rows[0][number] = "x" * min(3000, store.sizes[f"L{number}"] // 2)
    rows = fitting(store, rows, {})
    answer(fake, store, rows)
    [row, _] = invoke(db, store)
    assert len(row) > store.row_buffer and row == joined(store, rows)[0]


@with_texts
def test_a_list_without_its_final_nul_is_not_read_past(fake, db, store):
    number, size = min(((k, store.sizes[f"L{k}"]) for k, kind in row_columns(store)
                        if kind == "T" and store.sizes[f"L{k}"] > 0), key=lambda pair: pair[1])
    rows = fitting(store, sample_rows(store, 1), {})
    rows[0][number] = "y" * size
    full = {index(store, f"T{number}"): b"y" * size}
    answer(fake, store, rows, texts=full, ints={index(store, f"L{number}"): size} if store.rows_by else None)
    assert invoke(db, store) == joined(store, rows)


@raised(ALL, tested=True)
@pytest.mark.parametrize("size", [-1, -2**31, 2**31 - 1])
def test_a_size_raised_out_of_reason_is_refused_with_the_error_text(fake, db, store, token, size):
    fail_with(fake, store, {token: size}, error="bad size")
    with pytest.raises(RuntimeError, match="^bad size$"):
        invoke(db, store)
    assert fake.count(store.method) == 1


@each(ALL, lambda s: s.count is not None and s.rows_by is None)
def test_a_count_beyond_the_arrays_is_refused(fake, db, store):
    answer(fake, store, sample_rows(store, 1), ints={index(store, "n"): store.count + 1})
    with pytest.raises(RuntimeError, match=f"^library answer of {store.count + 1} rows exceeds its "):
        invoke(db, store)


@counted
def test_a_negative_count_gives_no_rows(fake, db, store):
    answer(fake, store, sample_rows(store, 1), ints={index(store, "n"): -5})
    if store.rows_by:
        with pytest.raises(RuntimeError, match="^library answer of 1 rows exceeds its 0 integer entries$"):
            invoke(db, store)
    else:
        assert invoke(db, store) == []

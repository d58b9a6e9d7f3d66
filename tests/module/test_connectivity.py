"""Connectivity and path methods: the nto_dtype check, and the retry rule
of the device-to-device stores, which retry on any changed size."""
import pytest

from column_stores import CONNECTIVITY, LOADERS, PATHS, answer, each, fail_with, index, invoke, layout, observed, \
    sample_rows

CONN_OUT = CONNECTIVITY[3]
NTO_DTYPE = "nto_dtype is 1 if nto is a device type, 0 if it's a fixed part"


@pytest.mark.parametrize("nto_dtype", [2, -1, 2**31 - 1, -2**31])
def test_conn_out_refuses_an_nto_dtype_other_than_0_or_1_without_calling(fake, db, nto_dtype):
    with pytest.raises(RuntimeError, match=f"^{NTO_DTYPE}$"):
        db.GetConnOutBetweenDeviceDeviceType("dev_a", "type_b", nto_dtype, 0, 0)
    assert fake.count(CONN_OUT.method) == 0


@pytest.mark.parametrize("nto_dtype", [0, 1])
def test_conn_out_passes_nto_dtype_0_and_1(fake, db, nto_dtype):
    fake.answer(CONN_OUT.method, texts={4: b"a\0bc\0"}, ints={3: 5})
    assert list(db.GetConnOutBetweenDeviceDeviceType("dev_a", "type_b", nto_dtype, 0, 0)) == ["a", "bc"]
    assert fake.calls(CONN_OUT.method)[0][2] == {"kind": "int", "value": nto_dtype}


@each(CONNECTIVITY + PATHS + LOADERS, lambda s: s.count is not None)
def test_a_lowered_count_retries_only_the_device_to_device_stores(fake, db, store):
    fail_with(fake, store, {"n": 3}, error="try again")
    rows = sample_rows(store, 1)
    answer(fake, store, rows)
    if store.rule == "changed":
        invoke(db, store)
        assert observed(store, fake.calls(store.method)[1]) == layout(store, {"n": 3})
    else:
        with pytest.raises(RuntimeError, match="^try again$"):
            invoke(db, store)
        assert fake.count(store.method) == 1


@each(CONNECTIVITY, lambda s: s.rule == "changed")
def test_a_lowered_length_alone_retries_a_device_to_device_store(fake, db, store):
    fail_with(fake, store, {"L3": 10})
    answer(fake, store, [])
    assert invoke(db, store) == []
    assert observed(store, fake.calls(store.method)[1])["T3"] == 10


def test_device_type_connections_need_the_second_call_for_link_info(fake, db):
    store = CONNECTIVITY[2]
    fail_with(fake, store, {"L9": 12})
    answer(fake, store, [{1: "a", 2: "b", 3: "c", 4: "d", 5: 5, 6: -6, 7: 7, 8: -8, 9: "info"}])
    assert invoke(db, store) == ["a|b|c|d|5|-6|7|-8|info"]
    first, second = fake.calls(store.method)
    assert (first[index(store, "T9")], second[index(store, "T9")]) == ({"kind": "buffer", "capacity": 0},
                                                                         {"kind": "buffer", "capacity": 12})

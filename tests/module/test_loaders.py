"""Table loaders: rows of whole tables, and LoadDeviceTypeTable, which counts
its rows by its text column."""
import pytest

from column_stores import LOADERS, answer, index, invoke

CONNECTIVITY_TABLE, DEVICE_IDS, DEVICE_TYPES, LINK_TYPES = LOADERS


def test_a_connectivity_table_row_holds_its_nine_fields_in_order(fake, db):
    answer(fake, CONNECTIVITY_TABLE, [{1: 1, 2: 2, 3: 3, 4: "a", 5: "b", 6: 4, 7: 5, 8: 6, 9: "c"}])
    assert list(db.LoadConnectivityTable("ALL")) == ["1|2|3|a|b|4|5|6|c"]


def test_device_ids_and_names_pair_up_in_order(fake, db):
    fake.answer("MatchDeviceIDDeviceName", ints={1: 2}, arrays={2: [7, -3]}, texts={4: b"d1\0d2\0"})
    assert list(db.MatchDeviceIDDeviceName("sys")) == ["7|d1", "-3|d2"]


@pytest.mark.parametrize("store,count,names,length,rows", [
    (DEVICE_TYPES, 5, b"t1\0t2\0", 6, ["1|t1", "2|t2"]),       # one row per name, whatever the count
    (DEVICE_TYPES, 2, b"t1\0t2\0", 3, ["1|t1"]),               # names within the reported length only
    (DEVICE_TYPES, 2, b"t1\0t2\0", 0, []),
    (DEVICE_IDS, 1, b"d1\0d2\0", 6, ["1|d1"]),                 # one row per counted id
    (LINK_TYPES, 2, b"l1\0\0", 4, ["1|l1", "2|"]),
], ids=["types-by-names", "types-within-length", "types-none", "ids-by-count", "links-empty-name"])
def test_rows_are_counted_by_names_only_for_device_types(fake, db, store, count, names, length, rows):
    fake.answer(store.method, texts={index(store, "T2"): names}, arrays={index(store, "I1"): [1, 2, 3, 4, 5]},
                ints={index(store, "n"): count, index(store, "L2"): length})
    assert invoke(db, store) == rows


def test_device_types_with_more_names_than_ids_are_refused(fake, db):
    fake.answer("LoadDeviceTypeTable", texts={2: b"t1\0t2\0t3\0"}, arrays={4: [1, 2]}, ints={1: 9, 3: 2})
    with pytest.raises(RuntimeError, match="^library answer of 3 rows exceeds its 2 integer entries$"):
        db.LoadDeviceTypeTable("")

"""A batch's rows written in bulk when it closes (COPY on PostgreSQL, one
INSERT each on SQLite): what the checks cannot foresee still fails the batch
naming its record, texts arrive as given, and the keys taken for new rows
are never handed out twice."""
import json

import pytest

from calls import batch, int_vec

FLAGS = int_vec([1000, 1, 0])


@pytest.fixture
def installation(db):
    db.CreateTableSchema()
    db.InsertSubsystem("DAQ", "")
    db.InsertSimpleLinkType("data", 1)
    db.InsertDeviceType("DAQ", "BOX", 4, 4, "", "", 1)
    return db


def device(name, location="", comments="", responsible=""):
    return ("", name, "BOX", 0, 0, "", "", responsible, location, comments, "")


def port(devicename, nbr, bia=""):
    return (devicename, nbr, 2, "data", bia, "", "", "", "", FLAGS, "")


# (what, unique index the library does not know of, batch method, records, failing record)
UNFORESEEN = [
    ("ports, the fourth repeating a burnt-in address", "CREATE UNIQUE INDEX test_bia ON port (bia)",
     "InsertMultiplePorts", [port("aa", str(n), f"b{n % 3}") for n in range(1, 6)], 4),
    ("devices, the third repeating a location", "CREATE UNIQUE INDEX test_location ON functional_device (location)",
     "InsertMultipleFunctionalDevices", [device(f"d{n}", location=f"l{n % 2}") for n in range(1, 5)], 3),
]


@pytest.mark.parametrize("what, index, method, records, failing", UNFORESEEN, ids=[c[0] for c in UNFORESEEN])
def test_a_failure_no_check_foresees_names_its_record(installation, sql, peek, what, index, method, records, failing):
    batch(installation.InsertMultipleFunctionalDevices, [device("aa")])
    sql(index)
    before = peek("SELECT (SELECT COUNT(*) FROM port), (SELECT COUNT(*) FROM functional_device)")
    with pytest.raises(RuntimeError, match=f"^{method}: record {failing}: .* already exists"):
        batch(getattr(installation, method), records)
    assert peek("SELECT (SELECT COUNT(*) FROM port), (SELECT COUNT(*) FROM functional_device)") == before


def test_texts_arrive_as_given(installation):
    texts = ["tab\there", "line\nbreak", "back\\slash", "\\N", "carriage\rreturn", "quote ' \"", "grüße ✓", ""]
    batch(installation.InsertMultipleFunctionalDevices,
          [device(f"t{n}", location=t, comments=t[::-1], responsible=t) for n, t in enumerate(texts)])
    for n, text in enumerate(texts):
        row = json.loads(installation.GetDeviceRow_devicename(f"t{n}"))
        assert (row["location"], row["comments"], row["responsible"]) == ((text or None), (text[::-1] or None),
                                                                          (text or None))


def test_keys_of_new_rows_are_never_handed_out_twice(installation):
    batch(installation.InsertMultipleFunctionalDevices, [device(f"k{n}") for n in range(3)])
    ids = [json.loads(installation.GetDeviceRow_devicename(f"k{n}"))["deviceid"] for n in range(3)]
    installation.DeleteFunctionalDevice(ids[-1])
    installation.InsertFunctionalDevice("", "k3", "BOX", 0, 0, "", "", "", "", "", "", 1)
    batch(installation.InsertMultipleFunctionalDevices, [device("k4")])
    later = [json.loads(installation.GetDeviceRow_devicename(name))["deviceid"] for name in ("k3", "k4")]
    assert len(set(ids)) == 3 and ids[-1] < later[0] < later[1]


def test_a_failure_among_statements_sent_unanswered_names_its_record(installation, sql, peek):
    # Each record's function list is sent without waiting; record 3's UPDATE waits and meets record 2's failure.
    installation.InsertSimpleDeviceFunction("F1", 1)
    batch(installation.InsertMultipleFunctionalDevices, [device(name) for name in ("aa", "bb", "cc")])
    sql("CREATE UNIQUE INDEX test_function_once ON functional_device_function (functionid)")
    with pytest.raises(RuntimeError, match="^UpdateMultipleAttributesDevices: record 2: device 'bb' .*already exists"):
        batch(installation.UpdateMultipleAttributesDevices, [(name, 0, 0, "", "F1") for name in ("aa", "bb", "cc")])
    assert peek("SELECT COUNT(*) FROM functional_device_function") == [(0,)]

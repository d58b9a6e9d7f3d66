"""The module's spine: KETRAL construction, IntVec/StringVec, the error
translation and the connection and schema members."""
import pytest

from libketralpython import KETRAL, IntVec, StringVec

# Script name, arguments, library function, the texts/ints it must receive.
SPINE = [
    ("DBConnexion", (), "DBConnexion", [b"db", b"user", b"pw"]),
    ("DBDeconnexion", (), "DBDeconnexion", []),
    ("CreateTableSchema", (), "CreateTableSchema", []),
    ("DropTableSchema", (), "DropTableSchema", []),
    ("CreateDestinationTable", ("dev_1", 7), "CreateDestinationTable", [b"dev_1", 7]),
    ("CreateRoutingTable", ("sw_1", 0), "CreateRoutingTable", [b"sw_1", 0]),
]
spine = pytest.mark.parametrize("method,args,function,inputs", SPINE, ids=[row[0] for row in SPINE])


def inputs_of(call):
    """The values of a recorded call's input parameters, in order."""
    return [p["value"] for p in call if p["kind"] in ("text", "int")]


# -- construction ----------------------------------------------------------

@pytest.mark.parametrize("args", [(), ("db",), ("db", "user"), ("db", "user", "pw", "x"),
                                  (1, 2, 3), (None, "user", "pw"), ("db", "user", 3)])
def test_construction_needs_exactly_three_strings(args):
    with pytest.raises(TypeError):
        KETRAL(*args)


@pytest.mark.parametrize("strings", [("db", "user", "pw"), ("", "", ""), ("/tmp/a b.db", "é", "ü\u20ac")])
def test_connection_strings_reach_the_library_in_order(fake, strings):
    assert KETRAL(*strings).DBConnexion() == 0
    [call] = fake.calls("DBConnexion")
    assert inputs_of(call) == [s.encode() for s in strings]


def test_each_object_keeps_its_own_strings(fake):
    first, second = KETRAL("a", "b", "c"), KETRAL("x", "y", "z")
    second.DBConnexion()
    first.DBConnexion()
    assert [inputs_of(c) for c in fake.calls("DBConnexion")] == [[b"x", b"y", b"z"], [b"a", b"b", b"c"]]


# -- the connection and schema members --------------------------------------

@spine
def test_member_calls_its_function_once_and_returns_int_zero(fake, db, method, args, function, inputs):
    result = getattr(db, method)(*args)
    assert type(result) is int and result == 0
    [call] = fake.calls(function)
    assert inputs_of(call) == inputs
    assert call[-1] == {"kind": "error", "capacity": 1000}


@pytest.mark.parametrize("method,function", [("CreateRoutingTable", "CreateRoutingTable"),
                                             ("CreateDestinationTable", "CreateDestinationTable")])
@pytest.mark.parametrize("devicename,max_links", [("", -1), ("", 0), ("sw 1/é", 2**31 - 1), ("x", -2**31)])
def test_table_builders_pass_their_arguments_unchanged(fake, db, method, function, devicename, max_links):
    getattr(db, method)(devicename, max_links)
    assert inputs_of(fake.calls(function)[0]) == [devicename.encode(), max_links]


@pytest.mark.parametrize("args", [(1, 2), ("x", "2"), ("x", None), ("x",), ("x", 1, 2)])
def test_table_builders_reject_wrong_arguments_before_the_call(fake, db, args):
    with pytest.raises(TypeError):
        db.CreateRoutingTable(*args)
    assert fake.count("CreateRoutingTable") == 0


@pytest.mark.parametrize("max_links", [2**31, -2**31 - 1])
def test_max_links_beyond_32_bits_is_refused(fake, db, max_links):
    with pytest.raises(OverflowError):
        db.CreateDestinationTable("dev", max_links)
    assert fake.count("CreateDestinationTable") == 0


# -- failures become RuntimeError ---------------------------------------------

@spine
@pytest.mark.parametrize("rc", [1, -1, 42])
def test_failure_raises_runtime_error_with_the_library_text(fake, db, method, args, function, inputs, rc):
    fake.answer(function, rc=rc, error="table CONNECTIVITY: locked \u00e9")
    with pytest.raises(RuntimeError) as raised:
        getattr(db, method)(*args)
    assert str(raised.value) == "table CONNECTIVITY: locked \u00e9"
    assert fake.count(function) == 1


@pytest.mark.parametrize("error,message", [
    ("", ""),                              # an empty text
    (None, ""),                            # nothing written at all
    (b"first\0second\0", "first"),         # cut at the first NUL
    (b"x" * 1000, "x" * 1000),             # full buffer, no NUL: bounded
    (b"y" * 1500, "y" * 1000),             # longer than the buffer
])
def test_error_text_is_read_within_the_buffer(fake, db, error, message):
    fake.answer("DropTableSchema", rc=1, error=error)
    with pytest.raises(RuntimeError) as raised:
        db.DropTableSchema()
    assert str(raised.value) == message


def test_non_utf8_error_text_raises_and_the_module_goes_on(fake, db):
    fake.answer("CreateTableSchema", rc=1, error=b"bad \xff\xfe byte\0")
    with pytest.raises(RuntimeError) as raised:
        db.CreateTableSchema()
    assert str(raised.value) == "bad \\xff\\xfe byte"
    assert db.CreateTableSchema() == 0


def test_a_failure_leaves_no_trace_on_the_next_call(fake, db):
    fake.answer("DBConnexion", rc=1, error="no server")
    with pytest.raises(RuntimeError):
        db.DBConnexion()
    assert db.DBConnexion() == 0
    assert fake.count("DBConnexion") == 2


# -- IntVec and StringVec ---------------------------------------------------

SEQUENCES = [(IntVec, [3, -1, 7]), (StringVec, ["a", "", "\u00e9\u20ac"])]
sequences = pytest.mark.parametrize("cls,items", SEQUENCES, ids=["IntVec", "StringVec"])


def _extended(cls, items):
    v = cls()
    v.extend(items)
    return v


@sequences
def test_new_sequence_is_empty(cls, items):
    v = cls()
    assert len(v) == 0 and list(v) == []
    with pytest.raises(IndexError):
        v[0]


@sequences
def test_sequence_behaves_like_a_list(cls, items):
    v = cls()
    v.append(items[0])
    v.extend(items[1:])
    assert len(v) == 3 and list(v) == items
    assert [v[0], v[1], v[-1], v[-3]] == [items[0], items[1], items[2], items[0]]
    assert items[1] in v
    assert type(v[1:]) is cls and list(v[1:]) == items[1:] and list(v[:-1]) == items[:-1]
    for bad in (3, -4):
        with pytest.raises(IndexError):
            v[bad]
    v[0] = items[2]
    del v[1]
    assert list(v) == [items[2], items[2]]


@pytest.mark.parametrize("cls,wrong", [(IntVec, "1"), (IntVec, 1.5), (IntVec, None), (StringVec, 1), (StringVec, None)],
                         ids=["IntVec-str", "IntVec-float", "IntVec-None", "StringVec-int", "StringVec-None"])
def test_wrong_element_type_is_refused_and_changes_nothing(cls, wrong):
    v = _extended(cls, [1, 2] if cls is IntVec else ["a", "b"])
    before = list(v)
    with pytest.raises(TypeError, match="Attempting to append an invalid type"):
        v.append(wrong)
    with pytest.raises(TypeError, match="Incompatible Data Type"):
        v.extend([before[0], wrong])
    with pytest.raises(TypeError, match="Invalid assignment"):
        v[0] = wrong
    assert list(v) == before
    assert wrong not in v


def test_intvec_refuses_values_beyond_32_bits():
    v = IntVec()
    with pytest.raises(OverflowError):
        v.append(2**31)
    v.append(2**31 - 1)
    v.append(-2**31)
    assert list(v) == [2**31 - 1, -2**31]


@sequences
def test_copies_taken_by_the_script_are_independent(cls, items):
    v = _extended(cls, items)
    element, part = v[0], v[:]
    v[0] = items[1]
    part.append(items[2])
    assert element == items[0]
    assert list(v) == [items[1]] + items[1:]
    assert list(part) == items + [items[2]]

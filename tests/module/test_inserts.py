"""Inserts: the description default, the port flags list, the packed lists and
the integer array of InsertTestFunctionalDevice, and the vector arguments."""
import pytest

from write_methods import (INSERTED, IP_SIZES, METHODS, PORT_SIZES, call, expected_params, recorded_params,
                           to_script, valid_args, with_values)

TEST_DEVICE = "InsertTestFunctionalDevice"
PORT_INSERTS = ["InsertPort", "InsertMultiplePorts"]


@pytest.mark.parametrize("name", ["InsertDeviceType", "InsertMultipleDeviceTypes"])
@pytest.mark.parametrize("description, sent", [("", b"dtype_x"), (" ", b" "), ("own words", b"own words")])
def test_an_empty_description_takes_the_device_type(db, fake, name, description, sent):
    call(db, name, with_values(name, valid_args(name), {2: "dtype_x", 5: description}))
    [received] = fake.calls(name)
    assert received[4] == {"kind": "text", "value": sent}
    assert received[1] == {"kind": "text", "value": b"dtype_x"}


def port_flags_at(name, args, flags):
    args = list(args)
    args[METHODS[name].sig.index("P")] = flags
    return args


@pytest.mark.parametrize("name", PORT_INSERTS)
@pytest.mark.parametrize("flags", [[], [1], [1, 0]])
def test_port_flags_of_fewer_than_three_values_are_refused_before_any_other_check(db, fake, name, flags):
    args = port_flags_at(name, with_values(name, valid_args(name), {1: "", -1: 7}), flags)
    with pytest.raises(RuntimeError) as raised:
        call(db, name, args)
    assert str(raised.value) == "Error:port_flags must hold 3 values"
    assert fake.count(name) == 0


@pytest.mark.parametrize("name", PORT_INSERTS)
def test_port_flags_beyond_the_third_are_ignored_and_speed_is_not_checked(db, fake, name):
    args = port_flags_at(name, valid_args(name), [-5, 0, 1, 9, 9])
    call(db, name, args)
    [received] = fake.calls(name)
    assert [p["value"] for p in received[2:6]] == [0, 2, -5, 1]  # admin_status, port_way, speed, pxi_booting


def device_args(ipadd=(), subnet=(), ipname=(), portnb=(), port_list=(), port_way=(), last_rows=1):
    return ["dev_t", list(ipadd), list(subnet), list(ipname), list(portnb), list(port_list), list(port_way), last_rows]


def test_empty_lists_reach_the_library_as_zero_lengths(db, fake):
    assert call(db, TEST_DEVICE, device_args()) == INSERTED
    [received] = fake.calls(TEST_DEVICE)
    assert [(p["value"], p["length"]) for p in received[1:6]] == [(b"", 0)] * 5
    assert received[6] == {"kind": "ints", "values": []}


def test_list_elements_are_packed_whole_empty_ones_included_each_cut_at_a_nul(db, fake):
    # An element with a NUL would read as two at the library: it is cut there, as a str argument is.
    args = device_args(ipadd=["", "10.0.0.1\x0010.6.6.6"], subnet=["255.0.0.0", ""], ipname=["\0", "n1\0evil"],
                       portnb=["1", "2", "3"], port_list=["", "", ""], port_way=[-9, 0, 7])
    assert call(db, TEST_DEVICE, args) == INSERTED
    [received] = fake.calls(TEST_DEVICE)
    assert [(p["value"], p["length"]) for p in received[1:6]] == [
        (b"\x0010.0.0.1\0", 10), (b"255.0.0.0\0\0", 11), (b"\0n1\0", 4), (b"1\x002\x003\0", 6), (b"\0\0\0", 3)]
    assert received[6] == {"kind": "ints", "values": [-9, 0, 7]}
    assert recorded_params(received) == expected_params(TEST_DEVICE, args)


@pytest.mark.parametrize("sizes, message", [
    ((3, 3, 2, 1, 1), IP_SIZES),
    ((3, 2, 3, 1, 1), IP_SIZES),
    ((2, 3, 3, 1, 1), IP_SIZES),
    ((1, 1, 1, 2, 3), PORT_SIZES),
    ((0, 0, 0, 0, 1), PORT_SIZES),
    ((2, 2, 2, 3, 3), None),
])
@pytest.mark.parametrize("port_list_size", [0, 4])
def test_ip_lists_and_port_lists_must_match_in_size(db, fake, sizes, message, port_list_size):
    ip, sub, name, ports, ways = sizes
    args = device_args(["i"] * ip, ["s"] * sub, ["n"] * name, ["p"] * ports, ["l"] * port_list_size, [1] * ways)
    if message is None:
        assert call(db, TEST_DEVICE, args) == INSERTED
    else:
        with pytest.raises(RuntimeError) as raised:
            call(db, TEST_DEVICE, args)
        assert str(raised.value) == message
        assert fake.count(TEST_DEVICE) == 0


@pytest.mark.parametrize("name, position", [
    (TEST_DEVICE, 2), (TEST_DEVICE, 6), (TEST_DEVICE, 7), ("InsertPort", 10), ("InsertMultiplePorts", 10)])
def test_a_plain_list_is_not_taken_for_a_vector(db, fake, name, position):
    args = [to_script(kind, value) for kind, value in zip(METHODS[name].sig, valid_args(name))]
    args[position - 1] = list(args[position - 1])
    with pytest.raises(TypeError):
        getattr(db, name)(*args)
    assert fake.count(name) == 0


def test_a_subsystem_insert_sends_even_empty_names(db, fake):
    assert db.InsertSubsystem("", "") == "Successful insertion "
    assert fake.count("InsertSubsystem") == 1

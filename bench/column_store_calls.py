"""Cost of one call of the column-store methods against the test double.

Each method allocates its full initial capacity on every call (6 MB of text
lists for a device-to-device query) and joins the answer into rows. The test
double answers at once with one row, so what is measured is the module's own
work: buffers, the call, the rows. Side by side, in the same run: the module's
cheapest member (DBDeconnexion, one 1000-byte error buffer) and a ctypes call
of the double's GetConnectivityBetweenDevices with the same buffers allocated
in Python once (the double's own cost, plus ctypes).

Runs against build/fake (or the double named by KETRAL_FAKE_LIB, with the
module beside it):  /usr/bin/python3 bench/column_store_calls.py
"""
import ctypes
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FAKE = os.environ.get("KETRAL_FAKE_LIB", os.path.join(ROOT, "build", "fake", "libketral.so"))
sys.path.insert(0, os.path.dirname(FAKE))
lib = ctypes.CDLL(FAKE, mode=ctypes.RTLD_GLOBAL)
import libketralpython  # noqa: E402  (the module beside the double, after it)

CALLS = 2000
ROUNDS = 5
lib.fake_answer.argtypes = [ctypes.c_char_p, ctypes.c_int]
lib.fake_set_int.argtypes = [ctypes.c_int, ctypes.c_int]
lib.fake_set_text.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
lib.fake_set_ints.argtypes = [ctypes.c_int, ctypes.POINTER(ctypes.c_int), ctypes.c_int]


def queue(function, count_index, arrays, texts):
    """One answer of one row: the count, one value per array, one text per list."""
    lib.fake_answer(function.encode(), 0)
    lib.fake_set_int(count_index, 1)
    one = (ctypes.c_int * 1)(7)
    for index in arrays:
        lib.fake_set_ints(index, one, 1)
    for index in texts:
        lib.fake_set_text(index, b"text\0", 5)


# Method, script arguments, then the answer's parameter indices in library
# order: count, integer arrays, text lists.
METHODS = [
    ("GetConnectivityBetweenDevices", ("a", "b", 0, 0), 2, [11, 13, 14, 15], [8, 9, 10, 12, 16]),
    ("GetDetailedConnectivityBetweenDevices", ("a", "b", 0, 0), 3, [11, 12, 14, 15], [2, 9, 10, 13, 16]),
    ("GetDetailedConnBetweenDeviceDevType", ("a", "t", 1, 0, 0), 6, [12, 13, 15, 16], [3, 4, 5, 14]),
    ("GetAllPathsPerDevice", ("a", "s", 0, 0), 2, [3, 4, 5], []),
    ("LoadConnectivityTable", ("ALL",), 1, [2, 3, 4, 9, 10, 11], [7, 8, 12]),
]


def per_call(run, prepare=None):
    """Best time of one call, in microseconds, over ROUNDS rounds of CALLS."""
    best = float("inf")
    for _ in range(ROUNDS):
        lib.fake_reset()
        if prepare:
            for _ in range(CALLS):
                prepare()
        start = time.perf_counter()
        for _ in range(CALLS):
            run()
        best = min(best, time.perf_counter() - start)
    return best / CALLS * 1e6


def direct_call():
    """GetConnectivityBetweenDevices of the double through ctypes, with the
    initial sizes' buffers allocated once."""
    f = lib.GetConnectivityBetweenDevices
    n, lens = ctypes.c_int(), [ctypes.c_int() for _ in range(5)]
    sizes = [5000, 500000, 5000, 500000, 5000000]  # len4, len3, len7, len6, len9
    texts = {size: ctypes.create_string_buffer(size) for size in set(sizes)}
    ints = (ctypes.c_int * 2000)()
    error = ctypes.create_string_buffer(1000)
    ref = ctypes.byref

    def run():
        n.value = 2000
        for length, size in zip(lens, sizes):
            length.value = size
        f(b"a", b"b", ref(n), *[ref(x) for x in lens], texts[500000], texts[500000], texts[5000], ints,
          texts[5000], ints, ints, ints, texts[5000000], 0, 0, error)
    return run


def main():
    db = libketralpython.KETRAL("db", "user", "pw")
    reference = per_call(db.DBDeconnexion)
    rows = [("DBDeconnexion (module, reference)", reference),
            ("GetConnectivityBetweenDevices (ctypes, double only)", per_call(direct_call()))]
    for method, args, count, arrays, texts in METHODS:
        call = getattr(db, method)
        lib.fake_reset()
        queue(method, count, arrays, texts)
        assert len(call(*args)) == 1, method
        rows.append((method, per_call(lambda: call(*args), lambda: queue(method, count, arrays, texts))))

    print(f"{'call (one-row answer)':<52} {'us/call':>9} {'x DBDeconnexion':>16}")
    for name, us in rows:
        print(f"{name:<52} {us:9.2f} {us / reference:16.1f}")


if __name__ == "__main__":
    main()

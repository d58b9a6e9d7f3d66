"""What freshness costs on the benchmark network: one link taken out of use
(and back) by another process, then the next answers of a long-running
process, which reads the graph again and rebuilds a stale stored table.

Side by side in one run, on the same database:
  change        UpdateMultipleLkUsedLinks of one link (its write transaction
                bumps the network count: the cost of a cabling change);
  next read     GetConnectivityBetweenDevices right after a change (the graph
                read again) against the same call when nothing changed;
  stale table   GetDestinationNamePerDevPort of a core switch port after a
                change (its stored table built again) against a fresh one.

    PYTHONPATH=build/lib /usr/bin/python3 bench/freshness.py [S] [ROUNDS]
"""
import os
import subprocess
import sys
import tempfile
import textwrap
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import insert_network  # noqa: E402
import network  # noqa: E402

import libketralpython  # noqa: E402

CHANGER = textwrap.dedent("""
    import sys, time
    import libketralpython
    kt = libketralpython.KETRAL(sys.argv[1], "", "")
    kt.DBConnexion()
    link = sys.argv[2:8]
    for line in sys.stdin:
        start = time.perf_counter()
        kt.UpdateMultipleLkUsedLinks(*link, int(line), 1, 1)
        print(time.perf_counter() - start, flush=True)
""")


def timed(call):
    start = time.perf_counter()
    call()
    return time.perf_counter() - start


def main():
    scale = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    net = network.generate(scale)
    with tempfile.TemporaryDirectory() as folder:
        path, clock = insert_network.ours(net, folder)
        print(f"S = {scale}: {len(net.devices)} devices, {len(net.ports)} ports, {len(net.links)} links "
              f"written in {clock.wall:.1f} s")
        src, dst, pf, pt, _lktype, _bidir, _used = next(l for l in net.links if l[0].startswith("ro"))
        board = src
        farm = next(d[1] for d in net.devices if d[1].startswith("farm"))
        core = next(d[1] for d in net.devices if d[2] == "CORE_SWITCH")
        core_port = next(p[1] for p in net.ports if p[0] == core and p[2] == 2)
        kt = libketralpython.KETRAL(path, "", "")
        kt.DBConnexion()
        changer = subprocess.Popen([sys.executable, "-c", CHANGER, path, src, dst, pf, network.PORT_TYPE, pt,
                                    network.PORT_TYPE], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

        def change(used):
            changer.stdin.write(f"{used}\n")
            changer.stdin.flush()
            return float(changer.stdout.readline())

        paths = lambda: kt.GetConnectivityBetweenDevices(board, farm, 0, 0)  # noqa: E731
        destinations = lambda: kt.GetDestinationNamePerDevPort(core, core_port, network.PORT_TYPE)  # noqa: E731
        paths()
        destinations()
        best = {name: float("inf") for name in ("change", "paths after", "paths warm", "table after", "table fresh")}
        for r in range(rounds):
            best["change"] = min(best["change"], change(r % 2))
            best["paths after"] = min(best["paths after"], timed(paths))
            best["paths warm"] = min(best["paths warm"], timed(paths))
            change((r + 1) % 2)
            best["table after"] = min(best["table after"], timed(destinations))
            best["table fresh"] = min(best["table fresh"], timed(destinations))
        changer.stdin.close()
        changer.wait(30)
        for name, seconds in best.items():
            print(f"{name:12} {seconds * 1000:9.2f} ms")


if __name__ == "__main__":
    main()

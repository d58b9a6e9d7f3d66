"""The command line: `python3 -m ketraldb COMMAND ...` (or the installed
`ketraldb` script). `ketraldb --help` and `ketraldb COMMAND --help` tell
each command."""
from __future__ import annotations

import argparse
import getpass
import os
import sys

from . import _bulk, _draw
from . import connect
from ._errors import KetralError
from .types import OUTPUT

DEFAULT_DATABASE = "ketral.sqlite"
IMPACT_METHODS = ("GetFailureImpactOfDevice", "GetFailureImpactOfLink", "GetWeakPoints")


class CommandError(Exception):
    pass


def _password(database: str) -> str:
    """KETRAL_PASSWORD, else a prompt on a terminal for a server; never an argument."""
    if "KETRAL_PASSWORD" in os.environ:
        return os.environ["KETRAL_PASSWORD"]
    if not _is_file(database) and database != ":memory:" and sys.stdin.isatty():
        return getpass.getpass(f"password for {database.split('?')[0]} (empty: none): ")
    return ""


def _is_file(database: str) -> bool:
    return not database.lower().startswith(("postgresql://", "postgres://")) and database != ":memory:"


def _open(args, create=False):
    database = args.database
    if _is_file(database) and not create and not os.path.exists(database):
        raise CommandError(f"no database file '{database}' (give --database, or create one with load)")
    db = connect(database, args.user, _password(database))
    if create:
        db.create_schema()  # changes nothing on a database that has the schema
    return db


def _out(text=""):
    print(text)


# ---------------------------------------------------------------------------


def cmd_load(args):
    desc = _bulk.read(args.file)
    if args.dry_run and _is_file(args.database) and not os.path.exists(args.database):
        args.database = ":memory:"  # compared with an empty database, without creating the file
    with _open(args, create=True) as db:
        plan = _bulk.plan(db, desc, args.file)
        for note in plan.notes:
            print(f"note: {note}", file=sys.stderr)
        if args.dry_run:
            for step in plan.steps:
                _out(f"{args.file}:{step.line}: would {step.text}" if step.line else f"would {step.text}")
            _out(f"{len(plan.steps)} change(s) would be written")
            return
        from tqdm import tqdm
        # The bar shows itself only when the load lasts more than a moment.
        with tqdm(total=len(plan.steps), unit="record", delay=0.5, disable=None, file=sys.stderr) as bar:
            _bulk.apply(db, plan, args.file, bar)
        _out(f"{len(plan.steps)} change(s) written")


def cmd_export(args):
    with _open(args) as db:
        text = _bulk.dump(_bulk.export(db))
    if args.output in (None, "-"):
        sys.stdout.write(text)
    else:
        with open(args.output, "w", encoding="utf-8") as f:
            f.write(text)


def _device(db, name):
    row = db.device(name)
    if row is None:
        raise CommandError(f"no device named '{name}'")
    return row


def cmd_show(args):
    with _open(args) as db:
        row = _device(db, args.device)
        _out(f"device {row['devicename']} ({row['devicetype']})")
        for key in ("location", "system_list", "function_list"):
            if row.get(key):
                _out(f"  {key}: {row[key]}")
        _out(f"  dnode: {row['dnode']}  promiscuous_mode: {row['promiscuous_mode']}")
        _out(f"  status: {db.device_status(args.device)}")
        if row.get("serialnb"):
            hw = db.hardware(row["serialnb"])
            _out(f"hardware {hw['serialnb']}" + "".join(f"  {k}: {hw[k]}" for k in ("hwtype", "status", "responsible")
                                                         if hw.get(k)))
        else:
            _out("hardware: none")
        _out("ports:")
        for pid in db.port_ids(args.device):
            p = db.port_by_id(pid)
            way = "in" if p["port_way"] == 1 else "out"
            text = f"  {p['port_nbr']} {way}" + (f" {p['port_type']}" if p["port_type"] else "")
            extra = [f"{k} {p[k]}" for k in ("speed", "ipaddress", "macaddress") if p.get(k)]
            link = db.link_at(args.device, p["port_nbr"], p["port_way"], p["port_type"] or "")
            if link:
                if link["node_from"] == args.device and link["port_nbrfrom"] == p["port_nbr"] and p["port_way"] == OUTPUT:
                    peer = f"-> {link['node_to']} {link['port_nbrto']}"
                else:
                    peer = f"<- {link['node_from']} {link['port_nbrfrom']}"
                extra.append(f"{peer} (link {link['linkid']}, {link['lktype']}"
                             + (", bidirectional" if link["bidirectional"] else "")
                             + ("" if link["lkused"] else ", not in use") + ")")
            _out(text + ("  " + ", ".join(extra) if extra else ""))
        _out("history:")
        for h in db.device_history(args.device):
            _out(f"  {h['event_date']} {h['serialnb']} {h['status']}" + (f" {h['comments']}" if h.get("comments") else ""))


def cmd_trace(args):
    with _open(args) as db:
        for name in (args.dev_from, args.dev_to):
            _device(db, name)
        paths = db.detailed_paths(args.dev_from, args.dev_to)
        if not paths:
            _out(f"no path from {args.dev_from} to {args.dev_to}")
            return
        for path in paths:
            _out(f"path {path.pathid}: {' -> '.join(path.devices)}")
            for lk in path:
                _out(f"  link {lk.lkid}: {lk.node_from} {lk.port_from} -> {lk.node_to} {lk.port_to}"
                     f" ({lk.lkinfo['lktype']}{', backward' if lk.lkinfo.get('backward') else ''})")


def cmd_routes(args):
    with _open(args) as db:
        _device(db, args.switch)
        rows = db.routing_table(args.switch)
        if not rows:
            _out(f"{args.switch} reaches no device")
        for r in rows:
            _out(f"{r.destination}\tport {r.port}\t{r.nbr_links} link(s)")


def cmd_spares(args):
    with _open(args) as db:
        # Every SPARE piece, typed or not; or those of one type.
        found = db.spare_hardware_of_type(args.type) if args.type is not None else db.hardware_by_status("SPARE")
        for hw in sorted(found, key=lambda hw: hw["serialnb"]):
            _out("\t".join([hw["serialnb"], hw.get("hwtype") or "-", hw.get("hwname") or "-",
                            hw.get("location") or "-"]))
        if not found:
            _out("no spare hardware" + (f" of type '{args.type}'" if args.type is not None else ""))


def _impact_methods(db):
    k = db.module_object
    missing = [m for m in IMPACT_METHODS if not hasattr(k, m)]
    if missing:
        raise CommandError(f"this build of the module has no failure impact ({', '.join(missing)} missing)")
    return k


def impact_of(db, target: str):
    """(what failed, cut_off names, degraded names, failed link ids, failed device)."""
    k = _impact_methods(db)
    try:
        if db.device(target) is not None:
            rows = list(k.GetFailureImpactOfDevice(target, 0, 0))
            what, device, links = f"device {target}", target, set()
        elif target.isdigit():
            rows = list(k.GetFailureImpactOfLink(int(target), 0, 0))
            what, device, links = f"link {target}", None, {int(target)}
        else:
            raise CommandError(f"'{target}' is neither a device nor a link id")
    except RuntimeError as e:
        raise CommandError(str(e)) from None
    cut = [r.split("|")[0] for r in rows if r.endswith("|cut_off")]
    degraded = [r.split("|")[0] for r in rows if r.endswith("|degraded")]
    return what, cut, degraded, links, device


def cmd_impact(args):
    with _open(args) as db:
        what, cut, degraded, _, _ = impact_of(db, args.target)
        _out(f"losing {what}:")
        _out(f"  cut off ({len(cut)}): {', '.join(cut) or '-'}")
        _out(f"  degraded ({len(degraded)}): {', '.join(degraded) or '-'}")


def cmd_weak_points(args):
    with _open(args) as db:
        k = _impact_methods(db)
        try:
            rows = list(k.GetWeakPoints(0, 0))
        except RuntimeError as e:
            raise CommandError(str(e)) from None
        if not rows:
            _out("no single point of failure")
        for r in rows:
            kind, name, count = r.split("|")
            _out(f"{kind} {name}\tcuts off {count} device(s)")


def cmd_draw(args):
    modes = sum(x is not None for x in (args.device, args.path, args.impact))
    if modes != 1:
        raise CommandError("draw takes one of: DEVICE, --path FROM TO, --impact X")
    with _open(args) as db:
        net = _draw.Network(db)
        if args.device is not None:
            _device(db, args.device)
            devices = net.around(args.device, args.depth)
            text = _draw.dot_text(net, devices, title=f"{args.device} (depth {args.depth})",
                                  styles={args.device: {"penwidth": "2", "color": "blue"}})
        elif args.path is not None:
            a, b = args.path
            for name in (a, b):
                _device(db, name)
            paths = db.paths(a, b)
            if not paths:
                raise CommandError(f"no path from {a} to {b}")
            devices = {d for p in paths for d in p.devices}
            lkids = {i for p in paths for i in p.lkids}
            text = _draw.dot_text(net, devices, title=f"paths {a} -> {b}", only_links=lkids,
                                  styles={a: {"color": "blue", "penwidth": "2"}, b: {"color": "blue", "penwidth": "2"}})
        else:
            what, cut, degraded, links, device = impact_of(db, args.impact)
            styles = {n: {"style": "rounded,filled", "fillcolor": "#f4a0a0", "class": "cut_off"} for n in cut}
            styles.update({n: {"style": "rounded,filled", "fillcolor": "#f8d890", "class": "degraded"} for n in degraded})
            if device:
                styles[device] = {"style": "rounded,filled,dashed", "fillcolor": "#bbbbbb", "class": "failed"}
            link_styles = {i: {"color": "red", "style": "dashed", "penwidth": "2", "class": "failed"} for i in links}
            text = _draw.dot_text(net, set(net.names.values()), title=f"losing {what}", styles=styles,
                                  link_styles=link_styles)
    _draw.render(text, args.output, args.format)
    _out(f"wrote {args.output}")


def cmd_hardware(args):
    with _open(args) as db:
        if args.status is not None or args.location is not None:
            db.set_hardware_state(args.serial, (args.status or "").upper(), args.location or "", args.comment)
        hw = db.hardware(args.serial)
        if hw is None:
            raise CommandError(f"no hardware with serial number '{args.serial}'")
        _out(f"hardware {hw['serialnb']}: {hw['status']}" + (f" at {hw['location']}" if hw.get("location") else "")
             + (f", fills {hw['devicename']}" if hw.get("devicename") else ""))
        for h in db.hardware_history(args.serial):
            _out(f"  {h['event_date']} {h['status']} {h.get('location') or '-'}"
                 + (f" in {h['devicename']}" if h.get("devicename") else "")
                 + (f": {h['comments']}" if h.get("comments") else ""))


# ---------------------------------------------------------------------------


def parser() -> argparse.ArgumentParser:
    top = argparse.ArgumentParser(
        prog="ketraldb", description="The configuration database of an installation, from the command line.",
        epilog="The password of a PostgreSQL server comes from KETRAL_PASSWORD, or a prompt on a terminal.")
    top.add_argument("--database", default=os.environ.get("KETRAL_DATABASE", DEFAULT_DATABASE),
                     help="an SQLite file or a postgresql:// URL (default: $KETRAL_DATABASE or %(default)s)")
    top.add_argument("--user", default=os.environ.get("KETRAL_USER", ""), help="the server's user (default: $KETRAL_USER)")
    sub = top.add_subparsers(dest="command", required=True, metavar="COMMAND")

    def command(name, func, help):
        p = sub.add_parser(name, help=help, description=help)
        p.set_defaults(func=func)
        return p

    p = command("load", cmd_load, "add what a YAML file describes and the database lacks, change what differs (never deletes)")
    p.add_argument("file", help="the YAML file")
    p.add_argument("--dry-run", action="store_true", help="print what would be added or changed, write nothing")
    p = command("export", cmd_export, "write the installation as a YAML file that load reads")
    p.add_argument("-o", "--output", help="the file (default: standard output)")
    p = command("show", cmd_show, "a device: its record, hardware, ports with their links, history")
    p.add_argument("device")
    p = command("trace", cmd_trace, "the paths from one device to another")
    p.add_argument("dev_from", metavar="FROM")
    p.add_argument("dev_to", metavar="TO")
    p = command("routes", cmd_routes, "the routing table of a switch")
    p.add_argument("switch", metavar="SWITCH")
    p = command("spares", cmd_spares, "the spare hardware, of one type or all")
    p.add_argument("type", nargs="?", metavar="TYPE")
    p = command("impact", cmd_impact, "the devices the loss of a link (by id) or a device cuts off or degrades")
    p.add_argument("target", metavar="LINK|DEVICE")
    command("weak-points", cmd_weak_points, "every single point of failure of the network")
    p = command("draw", cmd_draw, "a picture (Graphviz): a device's neighbourhood, the paths between two devices, "
                "or what a failure cuts off")
    p.add_argument("device", nargs="?", metavar="DEVICE", help="draw the devices around this one")
    p.add_argument("--depth", type=int, default=1, help="links away from DEVICE (default 1)")
    p.add_argument("--path", nargs=2, metavar=("FROM", "TO"), help="draw the paths between two devices")
    p.add_argument("--impact", metavar="X", help="draw what losing device or link X cuts off")
    p.add_argument("-o", "--output", default="ketral.svg", help="the picture file (default %(default)s)")
    p.add_argument("--format", choices=("svg", "png", "dot"), help="default: the output's suffix")
    p = command("hardware", cmd_hardware, "a piece of hardware: its status and history; with --status or --location, "
                "change them (hardware filling no position)")
    p.add_argument("serial", metavar="SERIAL")
    p.add_argument("--status", help="SPARE, IN_REPAIR, TEST or DESTROYED")
    p.add_argument("--location", help="where it now is")
    p.add_argument("--comment", default="", help="the history entry's comment")
    return top


def main(argv=None) -> int:
    args = parser().parse_args(argv)
    if args.command == "draw" and args.depth < 0:
        print("ketraldb: error: --depth must be 0 or more", file=sys.stderr)
        return 2
    try:
        args.func(args)
    except (CommandError, _bulk.LoadError, _draw.DrawError, KetralError) as e:
        print(f"ketraldb {args.command}: error: {e}", file=sys.stderr)
        return 1
    return 0

"""An installation described in a YAML file: read, compared with the
database (what would be added or changed, by key), written in one batch per
kind, and written back out (export) in the same format.

The file's sections, each a list, in this order:

    subsystems:     {name, parent}
    functions:      names
    link_types:     {name, members}          (members: a composite type)
    device_types:   {name, inputs, outputs, description, color, subsystems}
    devices:        {name, type, location, subsystems, functions, dnode, promiscuous,
                     hardware: {serial, type, responsible, comments},
                     ports: [{nbr, way (in|out), type, speed, phy, pxi_booting, admin_status,
                              bia, mac, ip, ipname, subnet}]}
    links:          {from, from_port, from_type, to, to_port, to_type, type,
                     bidirectional, info, used}
    board_components: {name, type, board, serial, hwtype, responsible, location,
                       comments, replacable}
    spares:         {serial, type, name, status, location, responsible, comments}

A key left out takes its default ("", 0, false, []); export leaves out the
keys that hold their default.
"""
from __future__ import annotations

import re
from dataclasses import dataclass, field

import yaml

from ._errors import KetralError
from .types import INPUT, OUTPUT

WAYS = {"in": INPUT, "out": OUTPUT}
WAY_NAMES = {INPUT: "in", OUTPUT: "out"}
STATUSES = ("SPARE", "IN_REPAIR", "TEST", "DESTROYED")

# Each section's keys: name -> (python type, default). The first key of a
# section is its key in the database (links: their output end).
SECTIONS = {
    "subsystems": {"name": (str, ""), "parent": (str, "")},
    "link_types": {"name": (str, ""), "members": (list, [])},
    "device_types": {"name": (str, ""), "inputs": (int, 0), "outputs": (int, 0), "description": (str, ""),
                     "color": (str, ""), "subsystems": (list, [])},
    "devices": {"name": (str, ""), "type": (str, ""), "location": (str, ""), "subsystems": (list, []),
                "functions": (list, []), "dnode": (bool, False), "promiscuous": (bool, False),
                "hardware": (dict, {}), "ports": (tuple, [])},
    "links": {"from": (str, ""), "from_port": (str, ""), "from_type": (str, ""), "to": (str, ""),
              "to_port": (str, ""), "to_type": (str, ""), "type": (str, ""), "bidirectional": (bool, False),
              "info": (str, ""), "used": (bool, True)},
    "board_components": {"name": (str, ""), "type": (str, ""), "board": (str, ""), "serial": (str, ""),
                         "hwtype": (str, ""), "responsible": (str, ""), "location": (str, ""),
                         "comments": (str, ""), "replacable": (bool, False)},
    "spares": {"serial": (str, ""), "type": (str, ""), "name": (str, ""), "status": (str, "SPARE"),
               "location": (str, ""), "responsible": (str, ""), "comments": (str, "")},
}
HARDWARE = {"serial": (str, ""), "type": (str, ""), "responsible": (str, ""), "comments": (str, "")}
PORT = {"nbr": (str, ""), "way": (str, ""), "type": (str, ""), "speed": (int, 0), "phy": (str, ""),
        "pxi_booting": (bool, False), "admin_status": (bool, True), "bia": (str, ""), "mac": (str, ""),
        "ip": (str, ""), "ipname": (str, ""), "subnet": (str, "")}
REQUIRED = {"subsystems": ["name"], "link_types": ["name"], "device_types": ["name"], "devices": ["name", "type"],
            "links": ["from", "from_port", "to", "to_port", "type"], "board_components": ["name", "type", "board"],
            "spares": ["serial"]}
ORDER = ["subsystems", "functions", "link_types", "device_types", "devices", "links", "board_components", "spares"]


class LoadError(Exception):
    """A fault of the file, or a refusal of the library, named with the file's line."""


class _Item(dict):
    line = 0


class _Loader(getattr(yaml, "CSafeLoader", yaml.SafeLoader)):  # libyaml's parser when there
    pass


def _mapping(loader, node):
    item = _Item(loader.construct_mapping(node, deep=True))
    item.line = node.start_mark.line + 1
    return item


_Loader.add_constructor(yaml.resolver.BaseResolver.DEFAULT_MAPPING_TAG, _mapping)


def _convert(where, key, value, kind):
    if kind is str:
        if isinstance(value, (dict, list)) or value is None:
            raise LoadError(f"{where}: '{key}' must be a text")
        return str(value)
    if kind is bool:
        if not isinstance(value, bool):
            raise LoadError(f"{where}: '{key}' must be true or false")
        return value
    if kind is int:
        if isinstance(value, bool) or not isinstance(value, int):
            raise LoadError(f"{where}: '{key}' must be a whole number")
        return value
    if kind is tuple:  # a list of mappings
        if not isinstance(value, list):
            raise LoadError(f"{where}: '{key}' must be a list")
        return list(value)
    if kind is list:
        if isinstance(value, str):
            return [v for v in value.split(",") if v]
        if not isinstance(value, list):
            raise LoadError(f"{where}: '{key}' must be a list")
        return [str(v) for v in value]
    if not isinstance(value, dict):
        raise LoadError(f"{where}: '{key}' must be a mapping")
    return value


def _fields(where, item, keys, required=()):
    if not isinstance(item, dict):
        raise LoadError(f"{where}: expected a mapping of keys")
    unknown = sorted(set(item) - set(keys))
    if unknown:
        raise LoadError(f"{where}: unknown key '{unknown[0]}' (known: {', '.join(keys)})")
    for key in required:
        if item.get(key) in (None, ""):
            raise LoadError(f"{where}: '{key}' is required")
    out = {k: _convert(where, k, item[k], t) if k in item else (list(d) if isinstance(d, list) else d)
           for k, (t, d) in keys.items()}
    out["line"] = getattr(item, "line", 0)
    return out


def read(path: str) -> dict:
    """The file's sections, each item checked and completed with its defaults
    (and its line, under 'line'). Raises LoadError naming the line."""
    try:
        with open(path, encoding="utf-8") as f:
            doc = yaml.load(f, Loader=_Loader)
    except OSError as e:
        raise LoadError(f"{path}: {e.strerror}") from None
    except yaml.YAMLError as e:
        mark = getattr(e, "problem_mark", None)
        line = f"{mark.line + 1}" if mark else "?"
        raise LoadError(f"{path}:{line}: not YAML: {getattr(e, 'problem', e)}") from None
    if doc is None:
        doc = {}
    if not isinstance(doc, dict):
        raise LoadError(f"{path}:1: the file must be a mapping of sections ({', '.join(ORDER)})")
    unknown = sorted(set(doc) - set(ORDER))
    if unknown:
        raise LoadError(f"{path}:{doc.line}: unknown section '{unknown[0]}' (known: {', '.join(ORDER)})")
    out = {}
    for section in ORDER:
        items = doc.get(section) or []
        if not isinstance(items, list):
            raise LoadError(f"{path}:{doc.line}: section '{section}' must be a list")
        if section == "functions":
            out[section] = [str(v) for v in items]
            continue
        checked = []
        for item in items:
            where = f"{path}:{getattr(item, 'line', doc.line)}"
            fields = _fields(where, item, SECTIONS[section], REQUIRED[section])
            if section == "devices":
                fields["hardware"] = _fields(where, fields["hardware"], HARDWARE)
                ports = []
                for port in fields["ports"]:
                    pwhere = f"{path}:{getattr(port, 'line', fields['line'])}"
                    p = _fields(pwhere, port, PORT, ["nbr", "way"])
                    if p["way"] not in WAYS:
                        raise LoadError(f"{pwhere}: 'way' must be in or out, not '{p['way']}'")
                    ports.append(p)
                fields["ports"] = ports
            if section == "spares" and fields["status"] not in STATUSES:
                raise LoadError(f"{where}: a spare's status is one of {', '.join(STATUSES)}, not '{fields['status']}'")
            checked.append(fields)
        keys = {}
        for fields in checked:
            key = _key(section, fields)
            if key in keys:
                raise LoadError(f"{path}:{fields['line']}: {_what(section, fields)} is already described at line "
                                f"{keys[key]}")
            keys[key] = fields["line"]
        out[section] = checked
    return out


def _key(section, f):
    if section == "links":
        return (f["from"], f["from_port"], f["from_type"])
    return f[next(iter(SECTIONS[section]))]


def _what(section, f):
    if section == "links":
        return f"the link from {f['from']} port {f['from_port']}" + (f" ({f['from_type']})" if f["from_type"] else "")
    noun = {"subsystems": "subsystem", "link_types": "link type", "device_types": "device type",
            "devices": "device", "board_components": "board component", "spares": "spare"}[section]
    return f"{noun} {_key(section, f)}"


def _text(value):
    return "" if value is None else str(value)


def _names(value):
    if not value:
        return []
    return [v for v in (value if isinstance(value, list) else str(value).split(",")) if v]


# ---------------------------------------------------------------------------
# The plan: what a load adds and changes


@dataclass
class Step:
    """One write: `kind` the batch kind, `args`/`kwargs` its add(), `line` the
    file's line, `text` what the dry run prints."""
    kind: str
    args: tuple
    kwargs: dict
    line: int
    text: str


@dataclass
class Plan:
    steps: list = field(default_factory=list)
    notes: list = field(default_factory=list)  # differences load does not change

    def add(self, kind, line, text, *args, **kwargs):
        self.steps.append(Step(kind, args, kwargs, line, text))


def plan(db, desc: dict, path: str) -> Plan:
    """What loading `desc` would add and change in `db`, in writing order."""
    p = Plan()
    have_sub = set(db.subsystems())
    for s in desc["subsystems"]:
        if s["name"] not in have_sub:
            p.add("insert_subsystem", s["line"], f"add subsystem {s['name']}", s["name"], s["parent"])
    have_fn = set(db.functions())
    for name in desc["functions"]:
        if name not in have_fn:
            p.add("insert_function", 0, f"add function {name}", name)

    for t in desc["link_types"]:
        row = db.link_type(t["name"])
        if row is None:
            if t["members"]:
                p.add("composite_link_types", t["line"], f"add link type {t['name']} = {','.join(t['members'])}",
                      t["name"], t["members"])
            else:
                p.add("simple_link_types", t["line"], f"add link type {t['name']}", t["name"])
        elif _names(db.link_type_members(t["name"]) if row.get("link_list") else []) != t["members"] and t["members"]:
            p.add("update_composite_link_type", t["line"], f"change link type {t['name']}: members "
                  f"{','.join(t['members'])}", t["name"], t["members"])

    for t in desc["device_types"]:
        row = db.device_type(t["name"])
        if row is None:
            p.add("device_types", t["line"], f"add device type {t['name']}", t["name"], t["inputs"], t["outputs"],
                  t["description"], t["color"], t["subsystems"])
            continue
        # The library describes a type by its name when no description is given.
        description = _text(row["description"])
        now = (row["nbrofinput"], row["nbrofoutput"], "" if description == t["name"] else description,
               _text(row["rgbcolor"]))
        want = (t["inputs"], t["outputs"], t["description"], t["color"])
        if now != want:
            p.add("update_device_type", t["line"], f"change device type {t['name']}: {_diff(now, want, ('inputs', 'outputs', 'description', 'color'))}",
                  t["name"], t["description"], t["inputs"], t["outputs"], t["color"])
        if t["subsystems"] and sorted(_names(row["system_list"])) != sorted(t["subsystems"]):
            p.add("set_device_type_subsystems", t["line"], f"change device type {t['name']}: subsystems "
                  f"{','.join(t['subsystems'])}", t["name"], t["subsystems"])

    port_steps = []
    for d in desc["devices"]:
        row = db.device(d["name"])
        hw = d["hardware"]
        if row is None:
            p.add("devices", d["line"], f"add device {d['name']} ({d['type']})", d["name"], d["type"],
                  serialnb=hw["serial"], hwtype=hw["type"], responsible=hw["responsible"], location=d["location"],
                  comments=hw["comments"], system_list=d["subsystems"], function_list=d["functions"],
                  dnode=d["dnode"], promismode=d["promiscuous"])
        else:
            if row["devicetype"] != d["type"]:
                p.add("change_device_type", d["line"], f"change device {d['name']}: type {d['type']}", d["name"], d["type"])
            now = (bool(row["dnode"]), bool(row["promiscuous_mode"]), _text(row["location"]),
                   sorted(_names(row["function_list"])))
            want = (d["dnode"], d["promiscuous"], d["location"], sorted(d["functions"]))
            if now != want:
                p.add("update_device", d["line"], f"change device {d['name']}: {_diff(now, want, ('dnode', 'promiscuous', 'location', 'functions'))}",
                      d["name"], d["dnode"], d["promiscuous"], d["location"], d["functions"])
            if d["subsystems"] and sorted(_names(row["system_list"])) != sorted(d["subsystems"]):
                p.add("set_device_subsystems", d["line"], f"change device {d['name']}: subsystems "
                      f"{','.join(d['subsystems'])}", d["name"], d["subsystems"])
            if hw["serial"] and _text(row["serialnb"]) != hw["serial"]:
                p.notes.append(f"{path}:{d['line']}: device {d['name']} holds hardware "
                               f"{_text(row['serialnb']) or '(none)'}, not {hw['serial']}: load does not swap hardware")
        for port in d["ports"]:
            way = WAYS[port["way"]]
            prow = None if row is None else db.port(d["name"], port["nbr"], way, port["type"])
            label = f"port {port['nbr']} ({port['way']}{', ' + port['type'] if port['type'] else ''}) of {d['name']}"
            if prow is None:
                port_steps.append(Step("ports", (d["name"], port["nbr"], way), dict(
                    port_type=port["type"], bia=port["bia"], ipname=port["ipname"], ipaddress=port["ip"],
                    macaddress=port["mac"], subnet=port["subnet"], speed=port["speed"],
                    admin_status=port["admin_status"], pxi_booting=port["pxi_booting"], phy=port["phy"]),
                    port["line"], f"add {label}"))
                continue
            now = (prow["speed"] or 0, _text(prow["phy"]), bool(prow["pxi_booting"]))
            want = (port["speed"], port["phy"], port["pxi_booting"])
            if now != want:
                port_steps.append(Step("update_port", (d["name"], port["nbr"], way, port["type"], port["speed"],
                                                       port["phy"], port["pxi_booting"]), {}, port["line"],
                                       f"change {label}: {_diff(now, want, ('speed', 'phy', 'pxi_booting'))}"))
            now_ip = (_text(prow["ipaddress"]), _text(prow["subnet"]), _text(prow["ipname"]))
            if (port["ip"], port["subnet"], port["ipname"]) != now_ip and (port["ip"] or now_ip[0]):
                p.notes.append(f"{path}:{port['line']}: {label} has address {now_ip[0] or '(none)'}: load does not "
                               "change addresses")
    p.steps.extend(port_steps)

    for lk in desc["links"]:
        row = db.link_at(lk["from"], lk["from_port"], OUTPUT, lk["from_type"]) if db.device(lk["from"]) else None
        label = _what("links", lk)
        ends = (lk["from"], lk["to"], lk["from_port"], lk["to_port"])
        types = dict(port_typefrom=lk["from_type"], port_typeto=lk["to_type"])
        if row is None:
            p.add("links", lk["line"], f"add {label} to {lk['to']} port {lk['to_port']} ({lk['type']})", *ends,
                  lk["type"], bidirectional=lk["bidirectional"], link_info=lk["info"], **types)
            if not lk["used"]:
                p.add("set_link_used", lk["line"], f"change {label}: used false", *ends, False, **types)
            continue
        if (row["node_to"], row["port_nbrto"], _text(row["port_typeto"])) != (lk["to"], lk["to_port"], lk["to_type"]):
            p.notes.append(f"{path}:{lk['line']}: {label} leads to {row['node_to']} port {row['port_nbrto']}: "
                           "load does not move links")
            continue
        for kind, now, want, name in (("set_link_type", row["lktype"], lk["type"], "type"),
                                      ("set_link_bidirectional", bool(row["bidirectional"]), lk["bidirectional"], "bidirectional"),
                                      ("set_link_info", _text(row["link_info"]), lk["info"], "info"),
                                      ("set_link_used", bool(row["lkused"]), lk["used"], "used")):
            if now != want:
                p.add(kind, lk["line"], f"change {label}: {name} {want}", *ends, want, **types)

    for c in desc["board_components"]:
        if db.board_component(c["name"]) is None:
            p.add("board_components", c["line"], f"add board component {c['name']} on {c['board']}", c["name"],
                  c["type"], c["board"], serialnb=c["serial"], hwtype=c["hwtype"], responsible=c["responsible"],
                  location=c["location"], comments=c["comments"], replacable=c["replacable"])

    for s in desc["spares"]:
        row = db.hardware(s["serial"])
        if row is None:
            p.add("spare_hardware", s["line"], f"add spare {s['serial']}", s["serial"], s["type"], s["name"],
                  responsible=s["responsible"], location=s["location"], comments=s["comments"])
            if s["status"] != "SPARE":
                p.add("set_hardware_state", s["line"], f"change spare {s['serial']}: status {s['status']}",
                      s["serial"], s["status"], "", "loaded")
            continue
        if row["devicename"]:
            p.notes.append(f"{path}:{s['line']}: hardware {s['serial']} fills device {row['devicename']}: "
                           "load leaves it there")
            continue
        status = s["status"] if s["status"] != row["status"] else ""
        location = s["location"] if s["location"] != _text(row["location"]) else ""
        if status or location:
            p.add("set_hardware_state", s["line"], f"change spare {s['serial']}: "
                  + ", ".join(x for x in (status and f"status {status}", location and f"location {location}") if x),
                  s["serial"], status, location, "loaded")
    return p


def _diff(now, want, names):
    return ", ".join(f"{n} {w!r}" if isinstance(w, str) else f"{n} {w}" for n, a, w in zip(names, now, want) if a != w)


# Kinds written one record at a time (no batch kind of the package).
SINGLE = {"insert_subsystem", "insert_function", "set_hardware_state"}
_RECORD = re.compile(r"record (\d+)")


def apply(db, p: Plan, path: str, progress=None) -> None:
    """Writes the plan, one batch per consecutive kind. A refusal raises
    LoadError naming the file's line of the record refused."""
    i = 0
    while i < len(p.steps):
        kind = p.steps[i].kind
        group = []
        while i < len(p.steps) and p.steps[i].kind == kind:
            group.append(p.steps[i])
            i += 1
        if kind in SINGLE:
            for step in group:
                try:
                    getattr(db, kind)(*step.args, **step.kwargs)
                except KetralError as e:
                    raise LoadError(f"{path}:{step.line}: {e}") from None
                if progress:
                    progress.update(1)
            continue
        try:
            with db.batch(kind) as batch:
                for step in group:
                    batch.add(*step.args, **step.kwargs)
                    if progress:
                        progress.update(1)
        except KetralError as e:
            m = _RECORD.search(str(e))
            line = group[int(m.group(1)) - 1].line if m and int(m.group(1)) <= len(group) else group[-1].line
            raise LoadError(f"{path}:{line}: {e}") from None


# ---------------------------------------------------------------------------
# Export


def _drop_defaults(item: dict, keys: dict) -> dict:
    return {k: v for k, v in item.items() if k in keys and v != keys[k][1]}


def export(db) -> dict:
    """The database as the file's sections (keys at their defaults left out)."""
    out = {}
    out["subsystems"] = [{"name": s} for s in db.subsystems()]
    out["functions"] = list(db.functions())
    lts = []
    for lt in db.link_types():
        row = db.link_type(lt.lktype)
        members = _names(db.link_type_members(lt.lktype)) if row.get("link_list") else []
        lts.append(_drop_defaults({"name": lt.lktype, "members": members}, SECTIONS["link_types"]))
    out["link_types"] = lts
    dts = []
    for t in db.device_types():
        row = db.device_type(t.devicetype)
        dts.append(_drop_defaults({"name": t.devicetype, "inputs": row["nbrofinput"], "outputs": row["nbrofoutput"],
                                   "description": "" if row["description"] == t.devicetype else _text(row["description"]),
                                   "color": _text(row["rgbcolor"]),
                                   "subsystems": _names(row["system_list"])}, SECTIONS["device_types"]))
    out["device_types"] = dts
    devices, components = [], []
    names = {d.deviceid: d.devicename for d in db.device_ids()}
    for name in names.values():
        row = db.device(name)
        hw = _drop_defaults({"serial": _text(row["serialnb"]), "type": _text(row["hwtype"]),
                             "responsible": _text(row["responsible"]), "comments": _text(row["comments"])}, HARDWARE)
        ports = []
        for pid in db.port_ids(name):
            pr = db.port_by_id(pid)
            ports.append(_drop_defaults({
                "nbr": pr["port_nbr"], "way": WAY_NAMES[pr["port_way"]], "type": _text(pr["port_type"]),
                "speed": pr["speed"] or 0, "phy": _text(pr["phy"]), "pxi_booting": bool(pr["pxi_booting"]),
                "admin_status": bool(pr["admin_status"]), "bia": _text(pr["bia"]), "mac": _text(pr["macaddress"]),
                "ip": _text(pr["ipaddress"]), "ipname": _text(pr["ipname"]), "subnet": _text(pr["subnet"])}, PORT))
        devices.append(_drop_defaults({
            "name": name, "type": row["devicetype"], "location": _text(row["location"]),
            "subsystems": _names(row["system_list"]), "functions": _names(row["function_list"]),
            "dnode": bool(row["dnode"]), "promiscuous": bool(row["promiscuous_mode"]), "hardware": hw,
            "ports": ports}, SECTIONS["devices"]))
        for cname in db.component_names_on(name):
            c = db.board_component(cname)
            hw = db.component_hardware_by_id(c["snbid"]) if c.get("snbid") else None
            components.append(_drop_defaults({
                "name": cname, "type": _text(c.get("cpnttype")), "board": name,
                "serial": _text(hw and hw.get("serialnb")), "hwtype": _text(hw and hw.get("hwtype")),
                "responsible": _text(hw and hw.get("responsible")), "location": _text(hw and hw.get("location")),
                "comments": _text(hw and hw.get("comments")), "replacable": bool(c.get("replacable"))},
                SECTIONS["board_components"]))
    out["devices"] = devices
    links = []
    for lk in db.links():
        row = db.link_by_id(lk.linkid)
        links.append(_drop_defaults({
            "from": row["node_from"], "from_port": row["port_nbrfrom"], "from_type": _text(row["port_typefrom"]),
            "to": row["node_to"], "to_port": row["port_nbrto"], "to_type": _text(row["port_typeto"]),
            "type": row["lktype"], "bidirectional": bool(row["bidirectional"]), "info": _text(row["link_info"]),
            "used": bool(row["lkused"])}, SECTIONS["links"]))
    out["links"] = links
    out["board_components"] = components
    spares = []
    for status in STATUSES:
        for hw in db.hardware_by_status(status):
            row = db.hardware(hw["serialnb"])
            if row["devicename"]:
                continue
            spares.append(_drop_defaults({
                "serial": row["serialnb"], "type": _text(row["hwtype"]), "name": _text(row["hwname"]),
                "status": row["status"], "location": _text(row["location"]), "responsible": _text(row["responsible"]),
                "comments": _text(row["comments"])}, SECTIONS["spares"]))
    spares.sort(key=lambda s: s["serial"])
    out["spares"] = spares
    return {k: v for k, v in out.items() if v}


def dump(desc: dict) -> str:
    return yaml.safe_dump(desc, sort_keys=False, default_flow_style=False, allow_unicode=True)

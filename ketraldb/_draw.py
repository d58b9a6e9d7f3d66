"""Pictures of the network with Graphviz's `dot`: a device's neighbourhood,
the paths between two devices, what a failure cuts off."""
from __future__ import annotations

import shutil
import subprocess
from collections import deque


class DrawError(Exception):
    pass


def _quote(text) -> str:
    return '"' + str(text).replace("\\", "\\\\").replace('"', '\\"') + '"'


class Network:
    """The devices and the links in use, read once."""

    def __init__(self, db):
        self.names = {d.deviceid: d.devicename for d in db.device_ids()}
        self.links = [lk for lk in db.links() if lk.lkused]
        self.neighbours = {}
        for lk in self.links:
            a, b = self.names[lk.deviceidfrom], self.names[lk.deviceidto]
            self.neighbours.setdefault(a, set()).add(b)
            self.neighbours.setdefault(b, set()).add(a)

    def around(self, device: str, depth: int) -> set:
        """The devices at most `depth` links from `device`, whatever the links' way."""
        seen, todo = {device}, deque([(device, 0)])
        while todo:
            name, d = todo.popleft()
            if d == depth:
                continue
            for other in sorted(self.neighbours.get(name, ())):
                if other not in seen:
                    seen.add(other)
                    todo.append((other, d + 1))
        return seen


def dot_text(net: Network, devices: set, *, title: str, styles: dict | None = None,
             link_styles: dict | None = None, only_links: set | None = None) -> str:
    """The DOT text of `devices` and the links between them (or only the
    link ids `only_links`). `styles` / `link_styles`: attributes by device
    name / link id."""
    styles, link_styles = styles or {}, link_styles or {}
    lines = [f"digraph {_quote(title)} {{", "  rankdir=LR;", "  node [shape=box, style=rounded, fontname=Helvetica];",
             "  edge [fontname=Helvetica, fontsize=9];", f"  label={_quote(title)}; labelloc=t;"]
    for name in sorted(devices):
        extra = "".join(f", {k}={_quote(v)}" for k, v in styles.get(name, {}).items())
        lines.append(f"  {_quote(name)} [id={_quote('dev:' + name)}{extra}];")
    for lk in net.links:
        a, b = net.names[lk.deviceidfrom], net.names[lk.deviceidto]
        if a not in devices or b not in devices or (only_links is not None and lk.linkid not in only_links):
            continue
        attrs = {"id": f"lk:{lk.linkid}", "label": f"{lk.port_from.port_nbr} > {lk.port_to.port_nbr}"}
        if lk.bidirectional:
            attrs["dir"] = "both"
        attrs.update(link_styles.get(lk.linkid, {}))
        lines.append(f"  {_quote(a)} -> {_quote(b)} [" + ", ".join(f"{k}={_quote(v)}" for k, v in attrs.items()) + "];")
    lines.append("}")
    return "\n".join(lines) + "\n"


def render(text: str, output: str, fmt: str | None = None) -> None:
    """Writes the picture: SVG or PNG, by `fmt` or the output's suffix; DOT
    text itself for a .dot file."""
    fmt = fmt or output.rsplit(".", 1)[-1].lower()
    if fmt == "dot":
        with open(output, "w", encoding="utf-8") as f:
            f.write(text)
        return
    if fmt not in ("svg", "png"):
        raise DrawError(f"the picture's format is svg, png or dot, not '{fmt}'")
    dot = shutil.which("dot")
    if dot is None:
        raise DrawError("Graphviz's dot command is missing: run scripts/install-deps")
    done = subprocess.run([dot, f"-T{fmt}", "-o", output], input=text.encode(), capture_output=True)
    if done.returncode != 0:
        raise DrawError(f"dot failed: {done.stderr.decode(errors='replace').strip()}")

"""The rooms of store/ as docs/storage.md lists them ("Inside the library"):
no file includes a room listed above its own, nor a sibling write family."""
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]


def rooms():
    """(level, path prefix) for every room of the table, in its order."""
    text = (ROOT / "docs" / "storage.md").read_text()
    table = text[text.index("## Inside the library"):]
    found = []
    for level, cell in re.findall(r"^\| (\d+) \| (.+?) \|", table, re.M):
        for path in re.findall(r"`(store/[^`]*)`", cell):
            found.append((int(level), path.rstrip("*").rstrip(".")))
    return found


def room_of(path, known):
    matches = [(level, prefix) for level, prefix in known if path.startswith(prefix)]
    assert matches, f"{path} belongs to no room of docs/storage.md"
    return max(matches, key=lambda m: len(m[1]))


def test_every_include_goes_down_the_rooms():
    known = rooms()
    assert len(known) >= 15
    wrong = []
    for source in sorted((ROOT / "store").rglob("*.[ch]pp")):
        me = room_of(str(source.relative_to(ROOT)), known)
        for included in re.findall(r'#include "(store/[^"]+)"', source.read_text()):
            other = room_of(included, known)
            if other[1] != me[1] and other[0] >= me[0]:
                wrong.append(f"{source.relative_to(ROOT)} (room {me[0]}) includes {included} (room {other[0]})")
    assert not wrong, "\n".join(wrong)

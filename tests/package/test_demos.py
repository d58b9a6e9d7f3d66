"""Both tours run to the end: the package's (examples/demo.py) and the
module's (examples/demo_module.py)."""
import os
import pathlib
import subprocess
import sys

import pytest

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


@pytest.mark.parametrize("demo", ["demo.py", "demo_module.py"])
def test_the_demo_runs_to_the_end(tmp_path, demo):
    database = tmp_path / "demo.sqlite"
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(os.path.abspath(p) for p in env.get("PYTHONPATH", "").split(os.pathsep) if p)
    out = subprocess.run([sys.executable, str(EXAMPLES / demo), str(database)], cwd=tmp_path, env=env,
                         capture_output=True, text=True, timeout=120)
    assert out.returncode == 0, out.stderr
    text = out.stdout
    assert "ro01 -> sw01 -> sw02 -> node02" in text or "1|1|ro01|0|1|sw01|1|" in text
    assert "node02 via p:out:data, 2 link(s)" in text
    assert "RO-9999" in text and "IN_REPAIR" in text
    assert text.rstrip().endswith(f"The database is in {database}.")

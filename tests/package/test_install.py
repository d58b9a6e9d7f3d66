"""cmake --install puts the module, the library, the stub and the package
where Debian's /usr/bin/python3 finds them, and a script imports them from
there (outside the source tree and the build)."""
import os
import pathlib
import subprocess
import sys

import pytest

BUILD = os.environ.get("KETRAL_BUILD_DIR")
PYTHON = "/usr/bin/python3"
XY = f"python{sys.version_info.major}.{sys.version_info.minor}"

pytestmark = pytest.mark.skipif(not BUILD, reason="KETRAL_BUILD_DIR names the build to install (ctest sets it)")

SCRIPT = """
import sys, ketraldb, libketralpython
db = ketraldb.connect(sys.argv[1]); db.create_schema(); db.insert_subsystem("DAQ")
print(ketraldb.__file__); print(libketralpython.__file__); print(db.subsystems()); db.close()
"""


def install(prefix, env=None, destdir=None):
    env = dict(os.environ if env is None else env)
    if destdir:
        env["DESTDIR"] = str(destdir)
    command = ["cmake", "--install", BUILD] + ([] if prefix is None else ["--prefix", str(prefix)])
    subprocess.run(command, check=True, capture_output=True, env=env)


def run_script(tmp_path, env):
    out = subprocess.run([PYTHON, "-c", SCRIPT, str(tmp_path / "site.sqlite")], cwd=tmp_path, env=env,
                         capture_output=True, text=True, check=True)
    return out.stdout.splitlines()


def clean_env(**extra):
    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PYTHONUSERBASE")}
    env.update(extra)
    return env


def test_an_install_under_a_prefix_is_imported_from_there(tmp_path):
    prefix = tmp_path / "prefix"
    install(prefix)
    folder = prefix / "lib" / XY / "dist-packages"
    for name in ("libketralpython.so", "libketral.so", "libketralpython.pyi", "ketraldb/__init__.py",
                 "ketraldb/types.py", "ketraldb/py.typed"):
        assert (folder / name).is_file(), name
    assert not list(folder.glob("ketraldb/__pycache__"))
    package, module, subsystems = run_script(tmp_path, clean_env(PYTHONPATH=str(folder)))
    assert pathlib.Path(package).is_relative_to(folder) and pathlib.Path(module).is_relative_to(folder)
    assert subsystems == "['DAQ']"
    # The command line, installed beside: it finds the package without a path.
    spares = subprocess.run([str(prefix / "bin" / "ketraldb"), "--database", "site.sqlite", "spares"], cwd=tmp_path,
                            env=clean_env(), capture_output=True, text=True)
    assert (spares.returncode, spares.stdout) == (0, "no spare hardware\n"), spares.stderr


def test_a_user_install_is_found_by_python_without_a_path(tmp_path):
    user_base = tmp_path / "user"
    env = clean_env(PYTHONUSERBASE=str(user_base))
    install(user_base, env)
    folder = user_base / "lib" / XY / "site-packages"
    package, module, subsystems = run_script(tmp_path, env)
    assert pathlib.Path(package).is_relative_to(folder) and pathlib.Path(module).is_relative_to(folder)


def test_the_default_and_the_system_prefixes_use_folders_on_python_s_path(tmp_path):
    path = subprocess.run([PYTHON, "-c", "import sys; print('\\n'.join(sys.path))"], env=clean_env(),
                          capture_output=True, text=True, check=True).stdout.split()
    install("/usr/local", destdir=tmp_path / "default")  # CMake's default prefix
    install("/usr", destdir=tmp_path / "system")
    for root in (tmp_path / "default", tmp_path / "system"):
        (init,) = root.rglob("ketraldb/__init__.py")
        folder = "/" + str(init.parent.parent.relative_to(root))
        assert folder in path
        assert (init.parent.parent / "libketralpython.so").is_file()

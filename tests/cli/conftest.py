"""Fixtures for the tests of the command line (python3 -m ketraldb): every
fixture of tests/e2e/conftest.py (a test using ``database`` runs on SQLite
and on PostgreSQL, unless marked sqlite_only), and on top:

``site``  a ketraldb.Database on the test's database holding the small
          installation of tests/package/conftest.py (describe_site), closed
          before the test runs its commands.
``cli``   cli(*argv) runs the command line in this process on the test's
          database: (exit status, standard output, standard error).
"""
import pathlib
import sys

import pytest

_TESTS = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(_TESTS / "e2e"))  # for its pg_server module


from calls import load_file as _load  # noqa: E402

_e2e = _load("e2e_conftest", _TESTS / "e2e" / "conftest.py")
globals().update({name: value for name, value in vars(_e2e).items() if not name.startswith("__")})
describe_site = _load("package_conftest", _TESTS / "package" / "conftest.py").describe_site

import ketraldb  # noqa: E402
from ketraldb._cli import main  # noqa: E402


@pytest.fixture
def site(database):
    with ketraldb.connect(database) as db:
        db.create_schema()
        describe_site(db)
    return database


@pytest.fixture
def cli(database, capsys):
    def run(*argv):
        capsys.readouterr()
        status = main(["--database", database, *map(str, argv)])
        out, err = capsys.readouterr()
        return status, out, err
    return run

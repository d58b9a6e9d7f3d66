"""A private PostgreSQL server for the tests and the benchmarks.

Debian's server programs (initdb, pg_ctl) build a cluster in a temporary
folder and run it on a unix socket in that folder and on 127.0.0.1 at a free
port. The server refuses to run as root, so under root every server command
runs as the `postgres` system user (created by the package), which owns the
folder. The socket trusts local connections as the superuser `postgres`;
TCP connections need a password (scram-sha-256).
"""
import contextlib
import glob
import os
import pwd
import shutil
import socket
import subprocess
import tempfile

import psycopg2

SUPERUSER = "postgres"


def bin_dir():
    """The newest installed server's programs, or None."""
    found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"),
                   key=lambda p: int(p.split("/")[-3]) if p.split("/")[-3].isdigit() else 0)
    return os.path.dirname(found[-1]) if found else None


def free_port():
    with contextlib.closing(socket.socket()) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Server:
    """One cluster: Server(settings).start() ... stop(); kill() stops it at
    once, as a crash would (no shutdown, sessions cut)."""

    def __init__(self, settings=None):
        self.bin = bin_dir()
        if self.bin is None:
            raise RuntimeError("no PostgreSQL server installed (Debian package postgresql)")
        self.as_postgres = os.geteuid() == 0
        # Not under pytest's own temporary root: that is private to the user running the tests.
        self.root = tempfile.mkdtemp(prefix="ketral-pg-")
        self.data = os.path.join(self.root, "data")
        self.port = free_port()
        self.settings = {"fsync": "off", "synchronous_commit": "off", "full_page_writes": "off",
                         "max_connections": "50", "shared_buffers": "32MB"}
        self.settings.update(settings or {})
        if self.as_postgres:
            user = pwd.getpwnam(SUPERUSER)
            os.chown(self.root, user.pw_uid, user.pw_gid)
        self._run("initdb", "-D", self.data, "-U", SUPERUSER, "-E", "UTF8", "--no-locale", "--no-sync",
                  "--auth-local=trust", "--auth-host=scram-sha-256")

    def _run(self, program, *args):
        command = [os.path.join(self.bin, program), *args]
        if self.as_postgres:
            command = ["runuser", "-u", SUPERUSER, "--", *command]
        # The server is not ours to instrument: no sanitizer runtime preloaded into it.
        env = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "PYTHONMALLOC")}
        done = subprocess.run(command, capture_output=True, text=True, cwd=self.root, env=env)
        if done.returncode != 0:
            raise RuntimeError(f"{program} failed ({done.returncode}): {done.stderr or done.stdout}")
        return done.stdout

    def start(self):
        options = " ".join([f"-k {self.root}", f"-p {self.port}", "-c listen_addresses=127.0.0.1"]
                           + [f"-c {k}={v}" for k, v in self.settings.items()])
        self._run("pg_ctl", "-D", self.data, "-l", os.path.join(self.root, "server.log"), "-o", options,
                  "-w", "-t", "60", "start")
        return self

    def stop(self):
        self._run("pg_ctl", "-D", self.data, "-m", "fast", "-w", "stop")

    def kill(self):
        """Stops the server the hard way: every session is cut, nothing is shut down cleanly."""
        self._run("pg_ctl", "-D", self.data, "-m", "immediate", "-w", "stop")

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def url(self, dbname, tcp=False):
        """The library's connection string for `dbname` (socket, or TCP on 127.0.0.1)."""
        if tcp:
            return f"postgresql://127.0.0.1:{self.port}/{dbname}"
        return f"postgresql:///{dbname}?host={self.root}&port={self.port}"

    def connect(self, dbname="postgres"):
        """A psycopg2 connection as the superuser, in autocommit."""
        conn = psycopg2.connect(host=self.root, port=self.port, user=SUPERUSER, dbname=dbname)
        conn.autocommit = True
        return conn

    def admin(self, *statements, dbname="postgres"):
        with contextlib.closing(self.connect(dbname)) as conn, conn.cursor() as cur:
            for statement in statements:
                cur.execute(statement)

    def log(self):
        with open(os.path.join(self.root, "server.log"), encoding="utf-8", errors="replace") as f:
            return f.read()


@contextlib.contextmanager
def running(settings=None):
    server = Server(settings).start()
    try:
        yield server
    finally:
        with contextlib.suppress(RuntimeError):
            server.stop()
        server.remove()

"""The PostgreSQL backend alone: connection strings and credentials, refusals
that name no password, the SQL layer's own tests on the server, and a server
killed in the middle of a batch (its own private server, restarted)."""
import contextlib
import os
import re
import subprocess
import sys
import textwrap
import time

import pytest

import libketralpython
import pg_server as servers

pytestmark = pytest.mark.postgresql_only

USER, PASSWORD = "ketral_user", "Pa55-w0rd-of-ketral"
WRONG = "Wr0ng-Pa55"
LOST = "the connection to the database server was lost: call DBConnexion to connect again"
CANNOT = "DBConnexion: cannot connect to the PostgreSQL server: "


def raises_exactly(message):
    return pytest.raises(RuntimeError, match="^" + re.escape(message) + "$")


@pytest.fixture(scope="module")
def tcp_url(pg_server):
    """The test database over 127.0.0.1, where a password is required."""
    with contextlib.suppress(Exception):
        pg_server.admin(f"DROP ROLE {USER}")
    pg_server.admin(f"CREATE ROLE {USER} LOGIN PASSWORD '{PASSWORD}'")
    return pg_server.url("ketral_tests", tcp=True)


def refusal(url, user="", password=""):
    with pytest.raises(RuntimeError) as raised:
        libketralpython.KETRAL(url, user, password).DBConnexion()
    return str(raised.value)


class TestConnection:
    @pytest.mark.parametrize("scheme", ["postgresql://", "postgres://", "PostgreSQL://"])
    def test_either_scheme_in_any_case_selects_the_server(self, backend, database, scheme):
        kt = libketralpython.KETRAL(scheme + database[len("postgresql://"):], "", "")
        assert kt.DBConnexion() == 0
        with raises_exactly("no schema: call CreateTableSchema first"):
            kt.GetDeviceID_devicename("sw01")
        assert kt.CreateTableSchema() == 0
        assert kt.CreateTableSchema() == 0

    def test_user_and_password_come_from_the_second_and_third_strings(self, backend, tcp_url):
        kt = libketralpython.KETRAL(tcp_url, USER, PASSWORD)
        assert kt.DBConnexion() == 0
        with raises_exactly("no schema: call CreateTableSchema first"):
            kt.GetDeviceID_devicename("sw01")
        # ...and override those of the URL.
        at = tcp_url.index("127.0.0.1")
        in_url = tcp_url[:at] + f"nobody:{WRONG}@" + tcp_url[at:]
        kt.DBDeconnexion()
        assert libketralpython.KETRAL(in_url, USER, PASSWORD).DBConnexion() == 0
        at_url = tcp_url[:at] + f"{USER}:{PASSWORD}@" + tcp_url[at:]
        kt.DBDeconnexion()
        assert libketralpython.KETRAL(at_url, "", "").DBConnexion() == 0

    @pytest.mark.parametrize("how", ["argument", "url"])
    def test_a_refused_login_names_the_user_and_no_password(self, backend, pg_server, tcp_url, how):
        if how == "argument":
            message = refusal(tcp_url, USER, WRONG)
        else:
            at = tcp_url.index("127.0.0.1")
            message = refusal(tcp_url[:at] + f"{USER}:{WRONG}@" + tcp_url[at:])
        assert message.startswith(CANNOT)
        assert f'password authentication failed for user "{USER}"' in message
        assert WRONG not in message
        assert WRONG not in pg_server.log() and PASSWORD not in pg_server.log()
        # Nothing is connected after a refusal.
        with raises_exactly("not connected: call DBConnexion first"):
            libketralpython.KETRAL("", "", "").CreateTableSchema()

    @pytest.mark.parametrize("secret", ["e", USER])
    def test_a_short_password_or_one_equal_to_the_user_leaves_the_message_whole(self, backend, tcp_url, secret):
        message = refusal(tcp_url, USER, secret)
        assert message.startswith(CANNOT)
        assert f'connection to server at "127.0.0.1"' in message
        assert f'password authentication failed for user "{USER}"' in message and "***" not in message

    def test_a_password_in_the_query_string_or_the_environment_is_never_told(self, backend, tcp_url, monkeypatch):
        message = refusal(tcp_url + f"?user={USER}&password={WRONG}")
        assert message.startswith(CANNOT) and "password authentication failed" in message and WRONG not in message
        monkeypatch.setenv("PGPASSWORD", WRONG)
        message = refusal(tcp_url, USER, "")
        assert message.startswith(CANNOT) and WRONG not in message

    def test_a_missing_password_an_unknown_database_and_no_server_are_told(self, backend, pg_server, tcp_url):
        message = refusal(tcp_url, USER, "")
        assert message.startswith(CANNOT) and "no password supplied" in message
        message = refusal(pg_server.url("no_such_db") + "&user=postgres")
        assert message.startswith(CANNOT) and 'database "no_such_db" does not exist' in message
        message = refusal(f"postgresql://127.0.0.1:{servers.free_port()}/x", USER, PASSWORD)
        assert message.startswith(CANNOT) and "Connection refused" in message

    def test_the_sql_layer_on_the_server(self, backend, database, tcp_url):
        """store_tests' PostgreSQL cases (they skip without a server)."""
        build = os.path.dirname(os.path.dirname(os.path.abspath(libketralpython.__file__)))
        binary = os.path.join(build, "store_tests")
        if not os.path.exists(binary):
            pytest.skip("store_tests is not built")
        env = dict(os.environ, KETRAL_TEST_PG_URL=database, KETRAL_TEST_PG_TCP_URL=tcp_url)
        done = subprocess.run([binary, "--gtest_filter=Pg*"], env=env, capture_output=True, text=True, timeout=120)
        assert done.returncode == 0, done.stdout + done.stderr
        assert "[  PASSED  ]" in done.stdout and "SKIPPED" not in done.stdout, done.stdout


# ---- a server killed in the middle of a batch --------------------------------------------------

PORTS = 400


def ports(device, count):
    flags = libketralpython.IntVec()
    flags.extend([1000, 1, 0])
    return [(device, str(n), 1, "data", "", "", "", "", "", flags, "") for n in range(count)]


def prepare(kt):
    assert kt.CreateTableSchema() == 0
    kt.InsertSubsystem("DAQ", "")
    kt.InsertMultipleDeviceTypes("DAQ", "SWITCH", PORTS, 0, "", "", 1, 1)
    kt.InsertMultipleFunctionalDevices("DAQ", "sw01", "SWITCH", 0, 1, "", "", "", "", "", "", 1, 1)


def port_count(server):
    with contextlib.closing(server.connect("config")) as conn, conn.cursor() as cur:
        cur.execute("SELECT COUNT(*) FROM port")
        return cur.fetchone()[0]


@pytest.fixture
def own_server():
    """A server of this test's own, to kill and restart. A commit is on disk
    before it returns (an unflushed one would be lost with the server)."""
    with servers.running({"synchronous_commit": "on"}) as server:
        server.admin("CREATE DATABASE config")
        yield server


def test_server_killed_between_records_loses_the_batch_and_reconnect_works(backend, own_server):
    kt = libketralpython.KETRAL(own_server.url("config"), servers.SUPERUSER, "")
    kt.DBConnexion()
    prepare(kt)
    records = ports("sw01", PORTS)
    for k, record in enumerate(records[:100]):
        kt.InsertMultiplePorts(*record, int(k == 0), 0)
    own_server.kill()
    with raises_exactly("InsertMultiplePorts: " + LOST):
        kt.InsertMultiplePorts(*records[100], 0, 1)
    # Every later call says so too, until a new DBConnexion.
    with raises_exactly("GetDeviceID_devicename: " + LOST):
        kt.GetDeviceID_devicename("sw01")
    own_server.start()
    assert kt.DBConnexion() == 0
    assert port_count(own_server) == 0
    # The failed batch was discarded: a new one starts with first = 1.
    for k, record in enumerate(records):
        kt.InsertMultiplePorts(*record, int(k == 0), int(k == len(records) - 1))
    assert port_count(own_server) == PORTS


# Writes one batch of ports; says "closing" before its last record and then
# how the last call ended.
WRITER = textwrap.dedent("""
    import sys
    import libketralpython
    import test_postgresql as t
    kt = libketralpython.KETRAL(sys.argv[1], "postgres", "")
    kt.DBConnexion()
    records = t.ports("sw01", t.PORTS)
    for k, record in enumerate(records[:-1]):
        kt.InsertMultiplePorts(*record, int(k == 0), 0)
    print("closing", flush=True)
    try:
        kt.InsertMultiplePorts(*records[-1], 0, 1)
        print("written", flush=True)
    except RuntimeError as e:
        print(e, flush=True)
""")


def test_server_killed_while_a_batch_is_written_leaves_nothing_of_it(backend, own_server):
    kt = libketralpython.KETRAL(own_server.url("config"), servers.SUPERUSER, "")
    kt.DBConnexion()
    prepare(kt)
    kt.DBDeconnexion()
    # A port of the middle of the batch, taken here without committing: the
    # writer's transaction stops there, half its rows written, until the kill.
    holder = own_server.connect("config")
    holder.autocommit = False
    with holder.cursor() as cur:
        cur.execute("INSERT INTO port (deviceid, port_nbr, port_way, port_type) VALUES (1, %s, 1, 'data')",
                    (str(PORTS // 2),))
    env = dict(os.environ, PYTHONPATH=os.pathsep.join([os.path.dirname(__file__), os.environ.get("PYTHONPATH", "")]))
    child = subprocess.Popen([sys.executable, "-c", WRITER, own_server.url("config")], stdout=subprocess.PIPE,
                             text=True, env=env)
    try:
        assert child.stdout.readline() == "closing\n"
        with contextlib.closing(own_server.connect("config")) as watch, watch.cursor() as cur:
            for _ in range(200):
                cur.execute("SELECT COUNT(*) FROM pg_stat_activity WHERE application_name = 'libketral' "
                            "AND wait_event_type = 'Lock'")
                if cur.fetchone()[0] == 1:
                    break
                time.sleep(0.02)
            else:
                pytest.fail("the writer never waited for the held port")
        own_server.kill()
        assert child.stdout.readline() == "InsertMultiplePorts: " + LOST + "\n"
        assert child.wait(30) == 0
    finally:
        if child.poll() is None:
            child.kill()
            child.wait(10)
        child.stdout.close()
        holder.close()
    own_server.start()
    assert port_count(own_server) == 0
    assert kt.DBConnexion() == 0
    records = ports("sw01", PORTS)
    for k, record in enumerate(records):
        kt.InsertMultiplePorts(*record, int(k == 0), int(k == len(records) - 1))
    assert port_count(own_server) == PORTS

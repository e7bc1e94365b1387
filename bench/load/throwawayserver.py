"""A PostgreSQL server of the load script's own: a new cluster in a temporary folder, listening on a
Unix socket in that folder only, so the run never meets a real server. Run as root, the server runs as
the user postgres, since it refuses to run as root. The role "tarvex" is the cluster's superuser and
logs in without a password. The server ends with the script (a fast shutdown when the script stops, and
the kernel's signal should the script itself be killed), and the folder is removed.
"""

import ctypes
import json
import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

SUPERUSER = "tarvex"
PORT = 5432
_PR_SET_PDEATHSIG = 1


def _binaries():
    # Debian keeps the server's programs out of PATH, one folder per major version.
    folders = [bin for bin in Path("/usr/lib/postgresql").glob("*/bin")
               if (bin / "initdb").exists() and (bin / "postgres").exists() and bin.parent.name.isdigit()]
    if not folders:
        raise RuntimeError("PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb): apt-get install postgresql")
    return max(folders, key=lambda bin: int(bin.parent.name))


def _end_with_this_script():
    # Runs in the server's process before it starts: the kernel sends it an immediate shutdown
    # when the script dies without stopping it.
    ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGQUIT)


class ThrowawayServer:
    def __init__(self):
        self._bin = _binaries()
        self.folder = Path(tempfile.mkdtemp(prefix="tarvex-load-pg-"))
        self._process = None
        self._as_server = {}
        if os.geteuid() == 0:
            account = pwd.getpwnam("postgres")
            os.chown(self.folder, account.pw_uid, account.pw_gid)
            self._as_server = {"user": account.pw_uid, "group": account.pw_gid, "extra_groups": []}

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exception):
        self.stop()

    def _start(self):
        data = self.folder / "data"
        initdb = subprocess.run([self._bin / "initdb", "-D", data, "-U", SUPERUSER, "-E", "UTF8", "--locale=C",
                                 "--no-sync", "--no-instructions", "--auth-local=trust"],
                                capture_output=True, text=True, **self._as_server)
        if initdb.returncode != 0:
            raise RuntimeError("initdb failed: " + initdb.stdout + initdb.stderr)
        with open(self.folder / "log", "ab") as log:
            self._process = subprocess.Popen(
                [self._bin / "postgres", "-D", data, "-k", self.folder, "-p", str(PORT), "-c", "listen_addresses=",
                 "-c", "fsync=off", "-c", "full_page_writes=off"],
                stdout=log, stderr=subprocess.STDOUT, preexec_fn=_end_with_this_script, **self._as_server)
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            ready = subprocess.run([self._bin / "pg_isready", "-q", "-h", self.folder, "-p", str(PORT)])
            if ready.returncode == 0:
                return
            if self._process.poll() is not None:
                break
            time.sleep(0.1)
        raise RuntimeError("the server did not start: " + (self.folder / "log").read_text(errors="replace"))

    def stop(self):
        if self._process and self._process.poll() is None:
            self._process.send_signal(signal.SIGINT)  # the server's fast shutdown
            try:
                self._process.wait(30)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def db_options(self, database):
        """Section [db] of options.ini for a database of this server."""
        return f"[db]\ndriver=postgresql\nhost={self.folder}\nport={PORT}\nname={database}\nuser={SUPERUSER}\n"

    def psql(self, sql, database="postgres"):
        """Runs SQL as the superuser; returns what psql printed, unaligned and without headers."""
        done = subprocess.run([self._bin / "psql", "-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-h", self.folder,
                               "-p", str(PORT), "-U", SUPERUSER, "-d", database, "-c", sql],
                              capture_output=True, text=True, encoding="utf-8",
                              env={**os.environ, "PGCLIENTENCODING": "UTF8"})
        if done.returncode != 0:
            raise RuntimeError(f"psql failed on {sql!r}: {done.stderr}")
        return done.stdout

    def table_rows(self, database, table):
        """Every row of the table by id, each a dict of column (lower case) to its value as text or None."""
        text = self.psql(f"SELECT json_agg(t ORDER BY id) FROM {table} t", database).strip()
        # Numbers are kept as the server wrote them, so a changed digit shows.
        rows = json.loads(text, parse_float=str, parse_int=str) if text else None
        return {row["id"]: row for row in rows or []}

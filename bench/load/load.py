#!/usr/bin/env python3
"""Several offices on one register: editors and generate runs against one PostgreSQL server at once.

Starts a throwaway server, puts the demo register and some hundred synthetic airlines on it, and for
--seconds runs --editors tarvex_loadeditor processes, which save airline fields, and --generators loops
of `tarvex-cli generate all`, each into an app folder of its own. Then it checks that the saves form
one chain per field from the register before the run to the register after it, that nothing else
changed, and that every output written meanwhile is whole. Exits 1 on any violation.
"""

import argparse
import os
import shutil
import signal
import statistics
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parents[1]
sys.path.insert(0, str(HERE.parent / "wholeprocess"))

import makeregister  # noqa: E402
from outputcheck import OutputCheck  # noqa: E402
from savechain import chain_violations, read_log, unsaved_changes  # noqa: E402
from throwawayserver import PORT, SUPERUSER, ThrowawayServer  # noqa: E402

DATABASE = "load"
TABLES = ("tbMain", "tbComm", "tbFee")


def arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=int, default=120, help="how long the processes run (default 120)")
    parser.add_argument("--build", type=Path, default=SOURCE / "build",
                        help="the build folder holding cli/tarvex-cli and bench/tarvex_loadeditor (default build/)")
    parser.add_argument("--editors", type=int, default=6, help="editing processes (default 6)")
    parser.add_argument("--generators", type=int, default=2, help="loops of generate all (default 2)")
    parser.add_argument("--airlines", type=int, default=300, help="synthetic airlines beside the demo ones")
    return parser.parse_args()


def run(command):
    done = subprocess.run([str(part) for part in command], capture_output=True, encoding="utf-8", errors="replace")
    if done.returncode != 0:
        raise RuntimeError(f"{' '.join(map(str, command))} exited {done.returncode}: {done.stderr.strip()}")
    return done.stdout


def write_options(app_dir, db_section=""):
    app_dir.mkdir(parents=True, exist_ok=True)
    options = (SOURCE / "resources" / "demo-options.ini").read_text(encoding="utf-8")
    (app_dir / "options.ini").write_text(options + "\n" + db_section, encoding="utf-8")


def make_register(cli, server, folder, airlines):
    """The demo register and `airlines` synthetic ones, three conditions each, copied to the server."""
    seed = folder / "seed"
    write_options(seed)
    run([cli, "--app-dir", seed, "init-db", "--demo"])
    register = seed / "DB" / "Tarvex.mdb"
    connection = sqlite3.connect(register)
    try:
        first_id = 1 + connection.execute("SELECT max(id) FROM tbMain").fetchone()[0]
    finally:
        connection.close()
    makeregister.fill(register, airlines, 3 * airlines, first_id)
    add_fees(register)
    server.psql(f"CREATE DATABASE {DATABASE}")
    write_options(seed, server.db_options(DATABASE))
    run([cli, "--app-dir", seed, "init-db"])
    run([cli, "--app-dir", seed, "copy-register", "--to-server"])


def add_fees(register):
    # Fee rows too, so the check after the run covers a third table that no one edits.
    connection = sqlite3.connect(register)
    try:
        with connection:
            connection.execute("INSERT INTO tbFee (FeeId, FeeCondition, FeePCT, FeeSumm, FeeVal) "
                               "SELECT id, 'Сбор за оформление ' || AirCode, CASE WHEN id % 2 = 0 THEN 2.5 END, "
                               "CASE WHEN id % 2 = 1 THEN 300 END, CASE WHEN id % 2 = 1 THEN 'RUB' END "
                               "FROM tbMain WHERE id % 4 = 0")
    finally:
        connection.close()


def snapshot(server):
    return {table: server.table_rows(DATABASE, table) for table in TABLES}


class GenerateLoop(threading.Thread):
    """Runs `generate all` into its own app folder until the deadline, checking each run's files."""

    def __init__(self, number, cli, app_dir, deadline, outputs):
        super().__init__(name=f"generate-{number}", daemon=True)
        self._label = f"generator {number}"
        self._cli, self._app_dir, self._deadline, self._outputs = cli, app_dir, deadline, outputs
        self.seconds = []  # each run's, start to exit
        self.failures = []
        self._process = None
        self._halted = False
        self._lock = threading.Lock()  # no run starts once halted

    def run(self):
        while time.monotonic() < self._deadline:
            started = time.monotonic()
            with self._lock:
                if self._halted:
                    return
                self._process = subprocess.Popen(
                    [str(self._cli), "--app-dir", str(self._app_dir), "generate", "all"],
                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, encoding="utf-8", errors="replace")
            out, err = self._process.communicate()
            if self._halted:
                return
            self.seconds.append(time.monotonic() - started)
            label = f"{self._label} run {len(self.seconds)}"
            written = [Path(line) for line in out.splitlines() if line]
            if self._process.returncode != 0 or not written:
                # The script check's warnings (kind, output, ... separated by tabs) are no failure.
                message = [line for line in err.splitlines() if not line.startswith("warning\t")]
                self.failures.append(f"{label}: exit {self._process.returncode}: {' / '.join(message)}")
            # The next run replaces the files: a second name keeps this run's for the check.
            kept = self._app_dir / "runs" / str(len(self.seconds))
            kept.mkdir(parents=True)
            for path in written:
                try:
                    os.link(path, kept / path.name)
                    self._outputs.submit(label, kept / path.name)
                except OSError:
                    self._outputs.submit(label, path)  # the check says what is wrong with it

    def halt(self):
        """Ends the run under way, if any, and starts no other."""
        with self._lock:
            self._halted = True
            if self._process and self._process.poll() is None:
                self._process.kill()


def stop_all(editors, generators):
    for loop in generators:
        loop.halt()
        loop.join()
    for process in editors:
        if process.poll() is None:
            process.kill()
            process.wait()


def run_load(options, cli, editor, server, folder):
    deadline = time.monotonic() + options.seconds
    airlines = len(server.table_rows(DATABASE, "tbMain"))
    outputs = OutputCheck(airlines)
    outputs.start()
    editors, generators = [], []
    try:
        for number in range(1, options.editors + 1):
            editors.append(subprocess.Popen(
                [str(editor), "--host", str(server.folder), "--port", str(PORT), "--name", DATABASE, "--user", SUPERUSER,
                 "--process", str(number), "--seconds", str(options.seconds), "--log", str(folder / f"editor-{number}.log")],
                stderr=subprocess.PIPE, encoding="utf-8", errors="replace"))
        for number in range(1, options.generators + 1):
            app_dir = folder / f"generate-{number}"
            write_options(app_dir, server.db_options(DATABASE))
            (app_dir / "Files").mkdir()
            generators.append(GenerateLoop(number, cli, app_dir, deadline, outputs))
            generators[-1].start()
        editor_failures = []
        for number, process in enumerate(editors, 1):
            _, err = process.communicate()
            if process.returncode != 0:
                editor_failures.append(f"editor {number}: exit {process.returncode}: {err.strip()}")
        for loop in generators:
            loop.join()
        outputs.finish()
    finally:
        stop_all(editors, generators)
    return editor_failures, generators, outputs


def report(options, logs, editor_failures, generators, outputs, before, after):
    saves = [save for log in logs for save in log.saves]
    refused = [one for log in logs for one in log.refused]
    errors = [error for log in logs for error in log.errors]
    saved_cells = {(airline, name) for airline, name, _, _ in saves}
    violations = chain_violations(saves, refused, before["tbMain"], after["tbMain"])
    changes = [f"{table}: {change}" for table in TABLES
               for change in unsaved_changes(before[table], after[table], saved_cells if table == "tbMain" else set())]
    generate_failures = [failure for loop in generators for failure in loop.failures]

    print(f"processes:            {options.editors} editors, {options.generators} generate loops, {options.seconds} s")
    print(f"saves:                {len(saves)}")
    print(f"refused conflicts:    {len(refused)}")
    print(f"other errors:         {len(errors)}")
    print(f"rows checked:         {sum(len(after[table]) for table in TABLES)} "
          f"({', '.join(f'{table} {len(after[table])}' for table in TABLES)}; {len(saved_cells)} fields saved)")
    print(f"chain violations:     {len(violations)}")
    print(f"unsaved changes:      {len(changes)}")
    run_seconds = sorted(seconds for loop in generators for seconds in loop.seconds)
    print(f"generate runs:        {len(run_seconds)} ({len(generate_failures)} failed), "
          f"median {statistics.median(run_seconds or [0]):.2f} s, longest {max(run_seconds or [0]):.2f} s")
    print(f"outputs checked:      {outputs.checked}")
    print(f"incomplete outputs:   {len(outputs.problems)}")
    problems = editor_failures + violations + changes + generate_failures + outputs.problems
    for line in sorted(set(errors))[:10] + problems[:50]:
        print("  " + line)
    return 1 if problems else 0


def main():
    options = arguments()
    cli = options.build / "cli" / "tarvex-cli"
    editor = options.build / "bench" / "tarvex_loadeditor"
    for program in (cli, editor):
        if not program.is_file():
            sys.exit(f"{program} is missing: build with -DTARVEX_BUILD_BENCH=ON, or name the build with --build")
    # Ctrl-C and a plain kill both end in the clean-up below, even where the shell ignores SIGINT.
    signal.signal(signal.SIGINT, signal.default_int_handler)
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    folder = Path(tempfile.mkdtemp(prefix="tarvex-load-"))
    try:
        with ThrowawayServer() as server:
            make_register(cli, server, folder, options.airlines)
            before = snapshot(server)
            editor_failures, generators, outputs = run_load(options, cli, editor, server, folder)
            after = snapshot(server)
            logs = []
            for number in range(1, options.editors + 1):
                try:
                    logs.append(read_log(folder / f"editor-{number}.log"))
                except (OSError, ValueError) as error:
                    editor_failures.append(f"editor {number}: {error}")
            return report(options, logs, editor_failures, generators, outputs, before, after)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit("interrupted: the server and the processes were stopped")

#!/usr/bin/env python3
"""Whole-process benchmark: each `tarvex-cli generate` command against the cheapest program that does its
work, on registers of several sizes.

Builds a Release tarvex-cli (unless --cli names one) and the two C baselines, makes the registers once,
then for each size and command runs the command and its baseline alternately, and prints the median wall
time and peak memory of each, their ratios, and how each grows from one size to the next.

With --engines sqlite,postgresql the same registers are also copied to a throwaway PostgreSQL server, and
each command runs on the server's register too, alternately with the others; its outputs must be the
same as from the register file, and its figures are also given as ratios to the file's.
"""

import argparse
import contextlib
import os
import shutil
import signal
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE_ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE.parent / "load"))

from makeregister import make_app_dir  # noqa: E402
from sameoutputs import output_differences  # noqa: E402
from throwawayserver import ThrowawayServer  # noqa: E402

COMMANDS = ("csv", "smartkey", "smartflow", "excel")
ENGINES = ("sqlite", "postgresql")
ENGINE_NAMES = {"sqlite": "SQLite", "postgresql": "PostgreSQL"}
BASELINE_NAMES = {
    "csv": "sqlite3 shell listing",
    "smartkey": "raw C-API walk",
    "smartflow": "raw C-API walk",
    "excel": "C API + libxlsxwriter",
}


class RunFailed(Exception):
    pass


def progress(text):
    print(text, file=sys.stderr, flush=True)


def run_checked(arguments, **options):
    try:
        subprocess.run(arguments, check=True, **options)
    except (OSError, subprocess.CalledProcessError) as error:
        raise RunFailed(f"{' '.join(map(str, arguments))}: {error}") from error


def build_cli(build_dir):
    configure = ["cmake", "-S", str(SOURCE_ROOT), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
                 "-DTARVEX_BUILD_TESTS=OFF"]
    if shutil.which("ninja"):
        configure += ["-G", "Ninja"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    progress(f"building tarvex-cli (Release) in {build_dir}")
    run_checked(configure, stdout=subprocess.DEVNULL)
    jobs = str(min(4, os.cpu_count() or 1))
    run_checked(["cmake", "--build", str(build_dir), "--target", "tarvex-cli", "--parallel", jobs],
                stdout=subprocess.DEVNULL)
    cli = build_dir / "cli" / "tarvex-cli"
    if not cli.is_file():
        raise RunFailed(f"the build made no {cli}")
    return cli


def build_baselines(folder):
    compiler = os.environ.get("CC", "cc")
    walk = folder / "walk"
    workbook = folder / "workbook"
    common = [compiler, "-std=c11", "-O2", "-Wall", "-Wextra", "-Werror"]
    run_checked(common + ["-o", str(walk), str(HERE / "walk.c"), str(HERE / "registerwalk.c"), "-lsqlite3"])
    run_checked(common + ["-o", str(workbook), str(HERE / "workbook.c"), str(HERE / "registerwalk.c"),
                          "-lxlsxwriter", "-lsqlite3"])
    return walk, workbook


def register_counts(database):
    connection = sqlite3.connect(f"file:{database}?mode=ro", uri=True)
    try:
        return connection.execute("SELECT (SELECT count(*) FROM tbMain), (SELECT count(*) FROM tbComm)").fetchone()
    finally:
        connection.close()


def register_app_dir(cli, cache, airlines, conditions):
    """The app folder of a register of this size, made now unless the cache holds it already."""
    app_dir = cache / f"{airlines}x{conditions}"
    database = app_dir / "DB" / "Tarvex.mdb"
    if database.is_file() and register_counts(database) == (airlines, conditions):
        return app_dir
    progress(f"making the register of {airlines} airlines and {conditions} conditions")
    shutil.rmtree(app_dir, ignore_errors=True)
    partial = cache / f"{app_dir.name}.partial"
    shutil.rmtree(partial, ignore_errors=True)
    make_app_dir(cli, partial, airlines, conditions)
    partial.rename(app_dir)  # only a complete register gets the cached name
    return app_dir


def server_app_dir(cli, server, file_app_dir, scratch):
    """An app folder whose register is a copy of file_app_dir's on a new database of the server."""
    database = f"register_{file_app_dir.name}"
    app_dir = scratch / f"server-{file_app_dir.name}"
    progress(f"copying the register {file_app_dir.name} to the server's database {database}")
    (app_dir / "DB").mkdir(parents=True)
    shutil.copyfile(file_app_dir / "DB" / "Tarvex.mdb", app_dir / "DB" / "Tarvex.mdb")  # copy-register's source
    (app_dir / "options.ini").write_text(server.db_options(database), encoding="utf-8")
    server.psql(f"CREATE DATABASE {database}")
    for arguments in (["init-db"], ["copy-register", "--to-server"]):
        run_checked([cli, "--app-dir", app_dir] + arguments, stdout=subprocess.DEVNULL)
    return app_dir


@dataclass
class Sample:
    seconds: float
    peak_mib: float


def measured(arguments, stdout_path, scratch):
    """Runs the program under /usr/bin/time. The wall time is taken by this script's clock (time's own %e
    has 10 ms steps); the peak resident memory is time's %M."""
    time_file = scratch / "time.txt"
    stderr_path = scratch / "stderr.txt"
    with open(stdout_path, "wb") as stdout, open(stderr_path, "wb") as stderr:
        start = time.perf_counter()
        finished = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", str(time_file)] + [str(a) for a in arguments],
                                  stdout=stdout, stderr=stderr)
        seconds = time.perf_counter() - start
    if finished.returncode != 0:
        tail = stderr_path.read_text(errors="replace")[-2000:]
        raise RunFailed(f"{' '.join(map(str, arguments))} exited with {finished.returncode}:\n{tail}")
    peak_kib = int(time_file.read_text().split()[-1])
    return Sample(seconds, peak_kib / 1024)


def require_file(path, what):
    if not path.is_file() or path.stat().st_size == 0:
        raise RunFailed(f"{what} left no output at {path}")


class Bench:
    def __init__(self, cli, walk, workbook, scratch):
        self.cli = cli
        self.walk = walk
        self.workbook = workbook
        self.scratch = scratch

    def _generate(self, command, app_dir):
        """Runs the command once; returns its sample and the files it named, each checked to be there."""
        stdout_path = self.scratch / "cli-stdout.txt"
        sample = measured([self.cli, "--app-dir", app_dir, "generate", command], stdout_path, self.scratch)
        written = [Path(line) for line in stdout_path.read_text().splitlines() if line.strip()]
        if not written:
            raise RunFailed(f"tarvex-cli generate {command} named no written file")
        for path in written:
            require_file(path, f"tarvex-cli generate {command}")
        return sample, written

    def run_command(self, command, app_dir):
        sample, written = self._generate(command, app_dir)
        for path in written:
            path.unlink()  # so that the next run must write it again
        return sample

    def outputs(self, command, app_dir):
        """What one run of the command writes, as {file name: bytes}."""
        _, written = self._generate(command, app_dir)
        contents = {path.name: path.read_bytes() for path in written}
        for path in written:
            path.unlink()
        return contents

    def require_same_outputs(self, command, app_dirs):
        """Stops the benchmark unless every engine's run writes what the register file's run writes."""
        expected = self.outputs(command, app_dirs["sqlite"])
        for engine, app_dir in app_dirs.items():
            if engine == "sqlite":
                continue
            differences = output_differences(expected, self.outputs(command, app_dir))
            if differences:
                raise RunFailed(f"generate {command} on {ENGINE_NAMES[engine]} wrote other outputs than on SQLite "
                                f"for the register {app_dirs['sqlite'].name}: {', '.join(differences)}")

    def run_baseline(self, command, app_dir, airlines):
        database = app_dir / "DB" / "Tarvex.mdb"
        output = self.scratch / "baseline-output"
        output.unlink(missing_ok=True)
        if command == "csv":
            sample = measured(["sqlite3", database, "SELECT AirCode,AirName,AccCode FROM tbMain ORDER BY AirCode,id"],
                              output, self.scratch)
            lines = output.read_bytes().count(b"\n")
            if lines != airlines:
                raise RunFailed(f"the sqlite3 listing printed {lines} lines, not {airlines}")
        elif command == "excel":
            workbook = self.scratch / "baseline.xlsx"
            workbook.unlink(missing_ok=True)
            sample = measured([self.workbook, database, workbook], output, self.scratch)
            require_file(workbook, "the libxlsxwriter program")
        else:
            sample = measured([self.walk, database], output, self.scratch)
            if not output.read_text().startswith(f"{airlines} airlines,"):
                raise RunFailed(f"the walk read {output.read_text().strip()!r}, not {airlines} airlines")
        return sample


@dataclass
class Result:
    command: str
    engine: str
    airlines: int
    seconds: float
    peak_mib: float
    baseline_seconds: float
    baseline_peak_mib: float


def median_result(command, engine, airlines, samples, baseline_samples):
    return Result(command, engine, airlines, statistics.median(s.seconds for s in samples),
                  statistics.median(s.peak_mib for s in samples), statistics.median(s.seconds for s in baseline_samples),
                  statistics.median(s.peak_mib for s in baseline_samples))


@dataclass
class Column:
    header: str
    right_aligned: bool
    cell: object  # row -> text


def print_markdown(columns, rows):
    print("| " + " | ".join(column.header for column in columns) + " |")
    print("|" + "|".join("---:" if column.right_aligned else "---" for column in columns) + "|")
    for row in rows:
        print("| " + " | ".join(column.cell(row) for column in columns) + " |")


def print_table(results, arguments):
    print(f"Medians of {arguments.runs} alternating runs, {arguments.conditions_per_airline} conditions per airline.\n")
    on_file = {(r.command, r.airlines): r for r in results if r.engine == "sqlite"}

    def against_file(r, figure):
        return "" if r.engine == "sqlite" else f"{getattr(r, figure) / getattr(on_file[(r.command, r.airlines)], figure):.2f}"

    columns = [Column("command", False, lambda r: r.command)]
    if len(arguments.engines) > 1:
        columns.append(Column("register", False, lambda r: ENGINE_NAMES[r.engine]))
    columns += [
        Column("airlines", True, lambda r: f"{r.airlines:,}"),
        Column("time ms", True, lambda r: f"{r.seconds * 1000:,.0f}"),
        Column("peak MiB", True, lambda r: f"{r.peak_mib:.1f}"),
        Column("baseline", False, lambda r: BASELINE_NAMES[r.command]),
        Column("baseline ms", True, lambda r: f"{r.baseline_seconds * 1000:,.0f}"),
        Column("baseline MiB", True, lambda r: f"{r.baseline_peak_mib:.1f}"),
        Column("time ratio", True, lambda r: f"{r.seconds / r.baseline_seconds:.2f}"),
        Column("memory ratio", True, lambda r: f"{r.peak_mib / r.baseline_peak_mib:.2f}"),
    ]
    if len(arguments.engines) > 1:
        columns += [Column("time / SQLite", True, lambda r: against_file(r, "seconds")),
                    Column("memory / SQLite", True, lambda r: against_file(r, "peak_mib"))]
    print_markdown(columns, results)


def print_growth(results, arguments):
    sizes = arguments.sizes
    if len(sizes) < 2:
        return
    print("\nGrowth of the median time from one size to the next (linear would be the size ratio):\n")
    by_key = {(r.command, r.engine, r.airlines): r for r in results}
    pairs = [(by_key[(command, engine, smaller)], by_key[(command, engine, larger)])
             for command in arguments.commands for engine in arguments.engines
             for smaller, larger in zip(sizes, sizes[1:])]
    columns = [Column("command", False, lambda pair: pair[0].command)]
    if len(arguments.engines) > 1:
        columns.append(Column("register", False, lambda pair: ENGINE_NAMES[pair[0].engine]))
    columns += [
        Column("sizes", False, lambda pair: f"{pair[1].airlines:,} / {pair[0].airlines:,}"),
        Column("size ratio", True, lambda pair: f"{pair[1].airlines / pair[0].airlines:.1f}"),
        Column("time ratio", True, lambda pair: f"{pair[1].seconds / pair[0].seconds:.2f}"),
        Column("baseline time ratio", True, lambda pair: f"{pair[1].baseline_seconds / pair[0].baseline_seconds:.2f}"),
    ]
    print_markdown(columns, pairs)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", type=Path, help="an existing tarvex-cli to measure instead of building one")
    parser.add_argument("--build-dir", type=Path, default=SOURCE_ROOT / "build-wholeprocess",
                        help="where the Release tarvex-cli is built (default: %(default)s)")
    parser.add_argument("--registers", type=Path,
                        help="a folder that keeps the registers between runs (default: a temporary folder)")
    parser.add_argument("--sizes", default="1000,10000,40000", help="airline counts (default: %(default)s)")
    parser.add_argument("--conditions-per-airline", type=int, default=3, help="(default: %(default)s)")
    parser.add_argument("--runs", type=int, default=5, help="runs of each program per size (default: %(default)s)")
    parser.add_argument("--commands", default=",".join(COMMANDS), help="(default: %(default)s)")
    parser.add_argument("--engines", default="sqlite",
                        help="where the register is kept: sqlite, or sqlite,postgresql to measure a throwaway "
                             "PostgreSQL server's copy of it too (default: %(default)s)")
    arguments = parser.parse_args()
    arguments.sizes = sorted(int(size) for size in arguments.sizes.split(","))
    arguments.commands = arguments.commands.split(",")
    engines = set(arguments.engines.split(","))
    unknown = (set(arguments.commands) - set(COMMANDS)) | (engines - set(ENGINES))
    if unknown:
        parser.error(f"unknown commands or engines {sorted(unknown)}")
    arguments.engines = [engine for engine in ENGINES if engine in engines]  # SQLite first, as the rows are
    if "sqlite" not in arguments.engines:
        parser.error("the engines must include sqlite: the other engines are measured against it")
    if arguments.runs < 1 or min(arguments.sizes) < 1 or arguments.conditions_per_airline < 1:
        parser.error("sizes, runs and conditions must be positive")
    return arguments


def measure_size(bench, command, app_dirs, airlines, runs):
    """Runs the command on each engine's register and the baseline alternately; one result per engine."""
    samples = {engine: [] for engine in app_dirs}
    baseline_samples = []
    for _ in range(runs):
        for engine, app_dir in app_dirs.items():
            samples[engine].append(bench.run_command(command, app_dir))
        baseline_samples.append(bench.run_baseline(command, app_dirs["sqlite"], airlines))
    return [median_result(command, engine, airlines, samples[engine], baseline_samples) for engine in app_dirs]


def main():
    arguments = parse_arguments()
    if not Path("/usr/bin/time").is_file():
        raise RunFailed("/usr/bin/time is missing (Debian package time)")
    # Ctrl-C and a plain kill both unwind through the clean-up, which stops the server.
    signal.signal(signal.SIGINT, signal.default_int_handler)
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    needs_server = "postgresql" in arguments.engines
    with tempfile.TemporaryDirectory(prefix="tarvex-wholeprocess-") as temporary, \
            (ThrowawayServer() if needs_server else contextlib.nullcontext()) as server:
        scratch = Path(temporary)
        cli = arguments.cli.resolve() if arguments.cli else build_cli(arguments.build_dir.resolve())
        if not cli.is_file():
            raise RunFailed(f"no tarvex-cli at {cli}")
        walk, workbook = build_baselines(scratch)
        cache = arguments.registers.resolve() if arguments.registers else scratch / "registers"
        cache.mkdir(parents=True, exist_ok=True)
        bench = Bench(cli, walk, workbook, scratch)
        results = []
        for airlines in arguments.sizes:
            app_dirs = {"sqlite": register_app_dir(cli, cache, airlines, airlines * arguments.conditions_per_airline)}
            if needs_server:
                app_dirs["postgresql"] = server_app_dir(cli, server, app_dirs["sqlite"], scratch)
            for command in arguments.commands:
                if needs_server:
                    progress(f"{command} at {airlines} airlines: comparing the outputs")
                    bench.require_same_outputs(command, app_dirs)
                progress(f"{command} at {airlines} airlines")
                results += measure_size(bench, command, app_dirs, airlines, arguments.runs)
    print_table(results, arguments)
    print_growth(results, arguments)


if __name__ == "__main__":
    try:
        main()
    except (RunFailed, RuntimeError, subprocess.CalledProcessError) as failure:
        sys.exit(f"wholeprocess: {failure}")
    except KeyboardInterrupt:
        sys.exit("wholeprocess: interrupted; the server, if any, was stopped")

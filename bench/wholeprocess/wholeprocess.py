#!/usr/bin/env python3
"""Whole-process benchmark: each `tarvex-cli generate` command against the cheapest program that does its
work, on registers of several sizes.

Builds a Release tarvex-cli (unless --cli names one) and the two C baselines, makes the registers once,
then for each size and command runs the command and its baseline alternately, and prints the median wall
time and peak memory of each, their ratios, and how each grows from one size to the next.
"""

import argparse
import os
import shutil
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

from makeregister import make_app_dir

HERE = Path(__file__).resolve().parent
SOURCE_ROOT = HERE.parents[1]
COMMANDS = ("csv", "smartkey", "smartflow", "excel")
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

    def run_command(self, command, app_dir):
        stdout_path = self.scratch / "cli-stdout.txt"
        sample = measured([self.cli, "--app-dir", app_dir, "generate", command], stdout_path, self.scratch)
        written = [Path(line) for line in stdout_path.read_text().splitlines() if line.strip()]
        if not written:
            raise RunFailed(f"tarvex-cli generate {command} named no written file")
        for path in written:
            require_file(path, f"tarvex-cli generate {command}")
            path.unlink()  # so that the next run must write it again
        return sample

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
    airlines: int
    seconds: float
    peak_mib: float
    baseline_seconds: float
    baseline_peak_mib: float


def median_result(command, airlines, samples, baseline_samples):
    return Result(command, airlines, statistics.median(s.seconds for s in samples),
                  statistics.median(s.peak_mib for s in samples), statistics.median(s.seconds for s in baseline_samples),
                  statistics.median(s.peak_mib for s in baseline_samples))


def print_table(results, runs, conditions_per_airline):
    print(f"Medians of {runs} alternating runs, {conditions_per_airline} conditions per airline.\n")
    print("| command | airlines | time ms | peak MiB | baseline | baseline ms | baseline MiB | time ratio | memory ratio |")
    print("|---|---:|---:|---:|---|---:|---:|---:|---:|")
    for r in results:
        print(f"| {r.command} | {r.airlines:,} | {r.seconds * 1000:,.0f} | {r.peak_mib:.1f} | "
              f"{BASELINE_NAMES[r.command]} | {r.baseline_seconds * 1000:,.0f} | {r.baseline_peak_mib:.1f} | "
              f"{r.seconds / r.baseline_seconds:.2f} | {r.peak_mib / r.baseline_peak_mib:.2f} |")


def print_growth(results, commands, sizes):
    if len(sizes) < 2:
        return
    print("\nGrowth of the median time from one size to the next (linear would be the size ratio):\n")
    print("| command | sizes | size ratio | time ratio | baseline time ratio |")
    print("|---|---|---:|---:|---:|")
    by_key = {(r.command, r.airlines): r for r in results}
    for command in commands:
        for smaller, larger in zip(sizes, sizes[1:]):
            small, large = by_key[(command, smaller)], by_key[(command, larger)]
            print(f"| {command} | {larger:,} / {smaller:,} | {larger / smaller:.1f} | "
                  f"{large.seconds / small.seconds:.2f} | {large.baseline_seconds / small.baseline_seconds:.2f} |")


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
    arguments = parser.parse_args()
    arguments.sizes = sorted(int(size) for size in arguments.sizes.split(","))
    arguments.commands = arguments.commands.split(",")
    unknown = set(arguments.commands) - set(COMMANDS)
    if unknown or arguments.runs < 1 or min(arguments.sizes) < 1 or arguments.conditions_per_airline < 1:
        parser.error(f"unknown commands {sorted(unknown)}" if unknown else "sizes, runs and conditions must be positive")
    return arguments


def main():
    arguments = parse_arguments()
    if not Path("/usr/bin/time").is_file():
        raise RunFailed("/usr/bin/time is missing (Debian package time)")
    with tempfile.TemporaryDirectory(prefix="tarvex-wholeprocess-") as temporary:
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
            app_dir = register_app_dir(cli, cache, airlines, airlines * arguments.conditions_per_airline)
            for command in arguments.commands:
                progress(f"{command} at {airlines} airlines")
                samples, baseline_samples = [], []
                for _ in range(arguments.runs):
                    samples.append(bench.run_command(command, app_dir))
                    baseline_samples.append(bench.run_baseline(command, app_dir, airlines))
                results.append(median_result(command, airlines, samples, baseline_samples))
    print_table(results, arguments.runs, arguments.conditions_per_airline)
    print_growth(results, arguments.commands, arguments.sizes)


if __name__ == "__main__":
    try:
        main()
    except (RunFailed, RuntimeError, subprocess.CalledProcessError) as failure:
        sys.exit(f"wholeprocess: {failure}")

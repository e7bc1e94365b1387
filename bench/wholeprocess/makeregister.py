"""Makes an app folder holding a synthetic register, shaped like the in-process benchmarks' one.

The empty register comes from `tarvex-cli init-db`, so its tables are exactly the program's own;
this module only fills them. Airlines and conditions are stored in shuffled order so that neither
table is in code or owner order on disk; the random sequence is seeded, so a size always gives the
same register.
"""

import random
import sqlite3
import subprocess
import sys
from pathlib import Path

SEED = 20241209


def _letter_code(rng):
    return rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ")


def _airline_rows(rng, airlines, first_id):
    ids = list(range(first_id, first_id + airlines))
    rng.shuffle(ids)
    for airline_id in ids:
        comment = "Договор до конца года, только BSP" if airline_id % 3 == 0 else None
        yield (airline_id, _letter_code(rng), f"Авиакомпания №{airline_id}", comment,
               str(100 + airline_id % 900), 1, 1)


def _condition_rows(rng, airlines, conditions, first_id):
    # Each airline gets at least one condition; the rest go to random owners.
    owners = [first_id + (i if i < airlines else rng.randint(0, airlines - 1)) for i in range(conditions)]
    rng.shuffle(owners)
    for i, owner in enumerate(owners):
        percent = i % 2 == 0
        yield (owner, f"Условие продажи {i}, все тарифы", "7.5" if percent else None, None if percent else 500,
               "" if percent else "EUR", f"RM COMMISSION {i}", None if percent else 4, "300 руб.")


def fill(database, airlines, conditions, first_id=1):
    """Adds the airlines, with ids from first_id on, and their conditions to the register's rows."""
    rng = random.Random(SEED)
    connection = sqlite3.connect(database)
    try:
        with connection:
            connection.executemany(
                "INSERT INTO tbMain (id, AirCode, AirName, Comment, AccCode, BSP, Script) VALUES (?, ?, ?, ?, ?, ?, ?)",
                _airline_rows(rng, airlines, first_id))
            connection.executemany(
                "INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?)", _condition_rows(rng, airlines, conditions, first_id))
        stored = connection.execute("SELECT (SELECT count(*) FROM tbMain WHERE id >= ?), "
                                    "(SELECT count(*) FROM tbComm WHERE ComId >= ?)", (first_id, first_id)).fetchone()
    finally:
        connection.close()
    if stored != (airlines, conditions):
        raise RuntimeError(f"{database}: stored {stored}, expected {(airlines, conditions)}")


def make_app_dir(cli, app_dir, airlines, conditions):
    """Creates app_dir with DB/Tarvex.mdb holding the register; returns the register's path."""
    app_dir = Path(app_dir)
    app_dir.mkdir(parents=True)
    subprocess.run([str(cli), "--app-dir", str(app_dir), "init-db"], check=True, stdout=subprocess.DEVNULL)
    database = app_dir / "DB" / "Tarvex.mdb"
    if not database.is_file():
        raise RuntimeError(f"init-db made no register at {database}")
    fill(database, airlines, conditions)
    return database


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit("usage: makeregister.py TARVEX-CLI APP-DIR AIRLINES CONDITIONS")
    print(make_app_dir(sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])))

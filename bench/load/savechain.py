"""The editors' logs, and the check that the register after the run is exactly the register before it
with the logged saves applied.

Each save logs the value its editor read and the token it wrote; tokens are never reused within one
airline's field. So for every (airline, field) the saves must form one chain starting at the value
before the run, each save's "from" being the previous save's "to", and the stored value must be the
last "to": a save that overwrote another unseen (a lost update) makes two saves share a "from", and a
refused save that wrote anything leaves a value no chain holds.
"""

from dataclasses import dataclass, field
from urllib.parse import unquote


@dataclass
class EditorLog:
    saves: list = field(default_factory=list)  # (airline id, field, from, to)
    refused: list = field(default_factory=list)  # (airline id, field, to)
    errors: list = field(default_factory=list)
    counts: tuple = None  # (saves, conflicts, errors) as the editor counted them


def read_log(path):
    log = EditorLog()
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            kind, *values = line.rstrip("\n").split("\t")
            if kind == "save":
                airline, name, before, after = values
                log.saves.append((airline, name.lower(), unquote(before), unquote(after)))
            elif kind == "refused":
                airline, name, after = values
                log.refused.append((airline, name.lower(), unquote(after)))
            elif kind == "error":
                log.errors.append(unquote(values[0]))
            elif kind == "counts":
                log.counts = tuple(int(value) for value in values)
            else:
                raise ValueError(f"{path}: unknown line {line!r}")
    if log.counts is None:
        raise ValueError(f"{path}: the editor did not finish (no counts line)")
    if log.counts != (len(log.saves), len(log.refused), len(log.errors)):
        raise ValueError(f"{path}: counts {log.counts} do not match the logged lines")
    return log


def _text(value):
    # A text field shows NULL and the empty text alike.
    return "" if value is None else value


def chain_violations(saves, refused, before, after):
    """What breaks the chains of tbMain's edited fields; `before` and `after` are its rows by id."""
    by_cell = {}
    for airline, name, value_before, value_after in saves:
        by_cell.setdefault((airline, name), []).append((value_before, value_after))
    refused_tokens = {(airline, name, token) for airline, name, token in refused}
    violations = []
    for (airline, name), cell_saves in sorted(by_cell.items()):
        if airline not in before or airline not in after:
            violations.append(f"airline {airline}: saved but missing before or after the run")
            continue
        next_value = {}
        for value_before, value_after in cell_saves:
            if value_before in next_value:
                violations.append(f"airline {airline} {name}: two saves from {value_before!r} "
                                  f"(to {next_value[value_before]!r} and {value_after!r}): one was lost")
            next_value[value_before] = value_after
        value = _text(before[airline][name])
        followed = 0
        while value in next_value and followed <= len(cell_saves):
            value = next_value[value]
            followed += 1
        if followed != len(cell_saves):
            violations.append(f"airline {airline} {name}: {len(cell_saves) - followed} of {len(cell_saves)} saves "
                              f"are off the chain from {_text(before[airline][name])!r}")
        stored = _text(after[airline][name])
        if stored != value:
            violations.append(f"airline {airline} {name}: stored {stored!r}, the last save wrote {value!r}")
        if (airline, name, stored) in refused_tokens:
            violations.append(f"airline {airline} {name}: holds {stored!r}, which a refused save tried to write")
    return violations


def unsaved_changes(before, after, saved_cells=frozenset()):
    """Rows that appeared, vanished or changed in a column no save touched; rows by id, cells (id, column)."""
    changes = []
    for row_id in sorted(before.keys() | after.keys(), key=int):
        if row_id not in after or row_id not in before:
            changes.append(f"row {row_id} {'vanished' if row_id not in after else 'appeared'}")
            continue
        for column, value in before[row_id].items():
            if (row_id, column) not in saved_cells and after[row_id].get(column) != value:
                changes.append(f"row {row_id} {column}: {value!r} became {after[row_id].get(column)!r}")
    return changes

"""Whether two runs of `tarvex-cli generate` wrote the same files: the same names, and each file's bytes
the same. A workbook is compared part by part, leaving out docProps/core.xml (it holds the moment of
writing) and the ZIP container itself (its timestamps and compression may differ)."""

import io
import zipfile

_MOMENT_PART = "docProps/core.xml"


def _workbook_parts(data):
    with zipfile.ZipFile(io.BytesIO(data)) as package:
        return {name: package.read(name) for name in package.namelist() if name != _MOMENT_PART}


def _differences(name, expected, actual):
    if not name.endswith(".xlsx"):
        return [] if expected == actual else [name]
    expected_parts, actual_parts = _workbook_parts(expected), _workbook_parts(actual)
    names = sorted(expected_parts.keys() | actual_parts.keys())
    return [f"{name}:{part}" for part in names if expected_parts.get(part) != actual_parts.get(part)]


def output_differences(expected, actual):
    """The files (and workbook parts) that differ between two {file name: bytes} maps; empty when none."""
    names = sorted(expected.keys() | actual.keys())
    missing = [f"{name} (written by one run only)" for name in names if name not in expected or name not in actual]
    both = [name for name in names if name in expected and name in actual]
    return missing + [difference for name in both for difference in _differences(name, expected[name], actual[name])]

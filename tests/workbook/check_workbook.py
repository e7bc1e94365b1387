"""Reads a commission workbook with openpyxl and compares it with expectations.

Usage: check_workbook.py BOOK.xlsx EXPECTATIONS.json
Prints one line per mismatch and exits with 1 when there is any.

Expectations (all keys optional but sheet_title):
  sheet_title, max_row, max_column
  cells:   {"A1": "text" or null for an empty cell}
  merges:  ["A1:F2", ...]  the exact set of merged areas
  styles:  {"A4": "airline", ...} with the names of STYLES below
  column_widths: {"A": 9.4140625}
  row_heights:   {"2": 28.35}
"""

import json
import sys

import openpyxl

NO_FRAME = (None, None, None, None)
MEDIUM_FRAME = ("medium", "medium", "medium", "medium")

# name: (font size, bold, horizontal, vertical, wrap, frame, fill colour)
STYLES = {
    "default": (10, False, None, None, None, NO_FRAME, None),
    "title": (16, True, "center", "center", False, NO_FRAME, None),
    "header": (12, True, "center", "center", False, MEDIUM_FRAME, None),
    "condition": (12, False, "general", "bottom", True, MEDIUM_FRAME, None),
    "airline": (12, False, "center", "center", True, MEDIUM_FRAME, None),
    "comment": (12, False, "left", "top", True, MEDIUM_FRAME, "FFFFFFE1"),
}


def describe_style(cell):
    border = cell.border
    frame = (border.left.style, border.top.style, border.right.style, border.bottom.style)
    fill = cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else None
    alignment = cell.alignment
    return (
        float(cell.font.sz),
        bool(cell.font.b),
        alignment.horizontal,
        alignment.vertical,
        alignment.wrap_text,
        frame,
        fill,
    )


def main(book_path, expectations_path):
    with open(expectations_path, encoding="utf-8") as f:
        expected = json.load(f)
    book = openpyxl.load_workbook(book_path)
    problems = []

    def check(what, actual, wanted):
        if actual != wanted:
            problems.append(f"{what}: got {actual!r}, expected {wanted!r}")

    check("sheet names", book.sheetnames, [expected["sheet_title"]])
    sheet = book.worksheets[0]
    if "max_row" in expected:
        check("max_row", sheet.max_row, expected["max_row"])
    if "max_column" in expected:
        check("max_column", sheet.max_column, expected["max_column"])
    for ref, text in expected.get("cells", {}).items():
        check(f"cell {ref}", sheet[ref].value, text)
    if "merges" in expected:
        check("merges", sorted(str(r) for r in sheet.merged_cells.ranges), sorted(expected["merges"]))
    for ref, name in expected.get("styles", {}).items():
        size, bold, horizontal, vertical, wrap, frame, fill = STYLES[name]
        wanted = (float(size), bold, horizontal, vertical, wrap, frame, fill)
        actual = describe_style(sheet[ref])
        if name == "default":  # alignment of the default style is whatever the reader assumes
            actual = actual[:2] + wanted[2:5] + actual[5:]
        check(f"style of {ref} ({name})", actual, wanted)
    for column, width in expected.get("column_widths", {}).items():
        check(f"width of {column}", sheet.column_dimensions[column].width, width)
    for row, height in expected.get("row_heights", {}).items():
        check(f"height of row {row}", sheet.row_dimensions[int(row)].height, height)

    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

#!/usr/bin/python3
"""Reads a workbook written by make_workbook.py back with openpyxl and says where it differs
from what was meant: sheet names, the used range that openpyxl takes from <dimension>, and
the values (with their types: integers, floats, text, dates) of the header and the first
data rows. Usage: check_workbook.py PATH ROWS [DATA-ROWS-TO-CHECK]  (default 20)"""
import datetime
import sys

import openpyxl

import make_workbook as mw


def as_read(v):
    """A value as openpyxl gives it back: date cells as datetimes, a whole number (written
    without a decimal point, as Excel writes it) as an int."""
    if isinstance(v, datetime.date):
        return datetime.datetime.combine(v, datetime.time())
    if isinstance(v, float) and v.is_integer():
        return int(v)
    return v


def expected_row(r):
    """Row r of the data as openpyxl gives it."""
    return tuple(as_read(v) for v in mw.values(r))


def same(a, b):
    # 1 == 1.0 == True in Python: the types must agree as well.
    return type(a) is type(b) and a == b


def differences(path, rows, checked):
    """Lines naming each difference; empty when the workbook reads back as meant."""
    found = []
    wb = openpyxl.load_workbook(path, read_only=True, data_only=True)
    if wb.sheetnames != ["Sheet1"]:
        found.append("sheets %r" % wb.sheetnames)
    ws = wb["Sheet1"]
    if (ws.max_row, ws.max_column) != (rows + 1, len(mw.HEADERS)):
        found.append("used range %d x %d, meant %d x %d" % (ws.max_row, ws.max_column, rows + 1, len(mw.HEADERS)))
    meant = [tuple(mw.HEADERS)] + [expected_row(r) for r in range(1, min(rows, checked) + 1)]
    got = list(ws.iter_rows(max_row=len(meant), values_only=True))
    for n, (g, m) in enumerate(zip(got, meant), 1):
        if len(g) != len(m) or not all(same(a, b) for a, b in zip(g, m)):
            found.append("row %d: %r, meant %r" % (n, g, m))
    if len(got) != len(meant):
        found.append("%d rows read, meant %d" % (len(got), len(meant)))
    wb.close()
    return found


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: check_workbook.py PATH ROWS [DATA-ROWS-TO-CHECK]")
    problems = differences(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]) if len(sys.argv) == 4 else 20)
    for line in problems[:5]:
        print(line, file=sys.stderr)
    sys.exit(1 if problems else 0)

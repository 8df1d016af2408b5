#!/usr/bin/python3
"""Checks that a table holds exactly the rows of a workbook's Sheet1, value by value, after an
import that paired every field with the column of the same name.

    /usr/bin/python3 check_rows.py WORKBOOK.xls DATABASE.sqlite TABLE

The workbook is read with xlrd, a reader independent of the program's driver; the table is read
from the stand-in's SQLite file in insertion order. Each workbook value is turned into what the
destination column must then hold, by the column's SQL Server type: int and bigint the integer,
decimal(p,s) the number rounded to s places, datetime the date at midnight, text the text
itself; an empty cell lands as 0 in a number column and as an empty text in a text column
(the workbooks checked here have no empty date cell, which would take the time of the run).
Prints one line per difference (at most 20) and exits 1 when there is any.
"""
import datetime
import decimal
import re
import sqlite3
import sys

import xlrd

NUMBER_TYPES = ("int", "bigint", "smallint", "tinyint", "decimal", "numeric")


def expected_value(cell, book, sql_type):
    """What a column of sql_type must hold for the workbook cell, as text (None for NULL)."""
    base = sql_type.split("(")[0].lower()
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        cell = xlrd.sheet.Cell(xlrd.XL_CELL_NUMBER, 0) if base in NUMBER_TYPES else xlrd.sheet.Cell(xlrd.XL_CELL_TEXT, "")
    if cell.ctype == xlrd.XL_CELL_DATE:
        when = datetime.datetime(*xlrd.xldate_as_tuple(cell.value, book.datemode))
        return when.strftime("%Y-%m-%d %H:%M:%S.000")
    if base in ("int", "bigint", "smallint", "tinyint"):
        return str(int(cell.value))
    if base in ("decimal", "numeric"):
        scale = int(re.search(r",\s*(\d+)", sql_type).group(1))
        exact = decimal.Decimal(repr(cell.value))
        return str(exact.quantize(decimal.Decimal(1).scaleb(-scale), rounding=decimal.ROUND_HALF_UP))
    if cell.ctype == xlrd.XL_CELL_NUMBER and cell.value == int(cell.value):
        return str(int(cell.value))
    return str(cell.value)


def landed_value(value, sql_type):
    """A stored value as text in the form expected_value gives."""
    if value is None:
        return None
    if isinstance(value, bytes):   # exact numbers are kept as their text
        value = value.decode()
    base = sql_type.split("(")[0].lower()
    if base in ("decimal", "numeric"):
        scale = int(re.search(r",\s*(\d+)", sql_type).group(1))
        return str(decimal.Decimal(str(value)).quantize(decimal.Decimal(1).scaleb(-scale)))
    return str(value)


def main(workbook, database, table):
    book = xlrd.open_workbook(workbook)
    sheet = book.sheet_by_name("Sheet1")
    headers = [str(c.value) for c in sheet.row(0)]
    db = sqlite3.connect(database)
    types = {row[1]: row[2] for row in db.execute('pragma table_info("%s")' % table)}
    missing = [h for h in headers if h not in types]
    if missing:
        print("check: the table has no column named %s" % ", ".join(missing))
        return 1
    columns = ", ".join('"%s"' % h for h in headers)
    stored = db.execute('select %s from "%s" order by rowid' % (columns, table)).fetchall()
    problems = []
    if len(stored) != sheet.nrows - 1:
        problems.append("rows: the workbook has %d, the table %d" % (sheet.nrows - 1, len(stored)))
    for r, landed in enumerate(stored, start=1):
        if r >= sheet.nrows:
            break
        for c, header in enumerate(headers):
            cell = sheet.cell(r, c) if c < sheet.ncols else xlrd.sheet.Cell(xlrd.XL_CELL_EMPTY, "")
            want = expected_value(cell, book, types[header])
            got = landed_value(landed[c], types[header])
            if want != got:
                problems.append("row %d, %s (%s): expected %r, found %r" % (r, header, types[header], want, got))
    for line in problems[:20]:
        print("check: " + line)
    values = (sheet.nrows - 1) * len(headers)
    if problems:
        print("check: %s: %d differences" % (table, len(problems)))
        return 1
    print("check: %s: %d rows, all %d values as in the workbook" % (table, len(stored), values))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))

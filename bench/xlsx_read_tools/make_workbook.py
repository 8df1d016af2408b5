#!/usr/bin/python3
"""Writes the .xlsx benchmark workbook: Sheet1 with a header row and ROWS rows of 10 columns,
the column mix of the .xls benchmark (integers, fractional numbers, shared-string text in
Chinese and Latin, a date column with a yyyy-mm-dd format). ROWS may reach 1,048,575, which
fills the whole grid. Usage: make_workbook.py PATH ROWS"""
import datetime
import sys

import xlsx_package as xp

HEADERS = ["id", "qty", "price", "ratio", "name", "city", "note", "code", "joined", "score"]
CITIES = ["北京", "上海", "广州", "深圳"]
CITY_COLUMN = 5
# Columns whose text differs on every row; the shared strings hold, after the headers and the
# cities, each row's texts of these columns in this order.
UNIQUE_TEXT_COLUMNS = (4, 6, 7)
START = datetime.date(2000, 1, 1)
# Serial day 0 of Excel's 1900 date system, for serials from 1900-03-01 on.
EPOCH = datetime.date(1899, 12, 30)


def values(r):
    """The values of data row r (1-based; worksheet row r + 1) as a reader should give them."""
    return [r, r * 7 % 1000, r * 0.25 + 0.01, r / 7.0, "姓名%d" % r, CITIES[r % 4],
            "note %d, with text" % r, "C%06d" % r, START + datetime.timedelta(days=r % 9000),
            (r % 100) / 4.0]


def string_index(column, r):
    if column == CITY_COLUMN:
        return len(HEADERS) + r % len(CITIES)
    return len(HEADERS) + len(CITIES) + len(UNIQUE_TEXT_COLUMNS) * (r - 1) + UNIQUE_TEXT_COLUMNS.index(column)


def shared_strings(rows):
    yield from HEADERS
    yield from CITIES
    for r in range(1, rows + 1):
        v = values(r)
        for c in UNIQUE_TEXT_COLUMNS:
            yield v[c]


def cells(r):
    out = []
    for c, v in enumerate(values(r)):
        if isinstance(v, str):
            out.append((xp.TEXT, string_index(c, r)))
        elif isinstance(v, datetime.date):
            out.append((xp.DATE, (v - EPOCH).days))
        else:
            out.append((xp.NUMBER, v))
    return out


def sheet_rows(rows):
    yield 1, [(xp.TEXT, c) for c in range(len(HEADERS))]
    for r in range(1, rows + 1):
        yield r + 1, cells(r)


def write(path, rows):
    xp.write_package(path, len(HEADERS), rows + 1, sheet_rows(rows), shared_strings(rows),
                     len(HEADERS) + len(CITIES) + len(UNIQUE_TEXT_COLUMNS) * rows)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_workbook.py PATH ROWS")
    write(sys.argv[1], int(sys.argv[2]))

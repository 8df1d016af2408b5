"""Reference values of an .xls worksheet, read with python3-xlrd (an implementation independent
of the driver), written as the text the driver must deliver (table_text.py: the file's
form, the numbers, the column names and the used range).

Cell rules: a date cell by its value whatever its date or time format (below 1 a time
hh:mm:ss, a whole number a date yyyy-mm-dd, else both), booleans 1/0, errors and empty
cells NULL.
"""
import os
import sys

import xlrd

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_text import number_text, table, write_table  # noqa: E402


def date_text(v, datemode):
    y, mo, d, h, mi, s = xlrd.xldate_as_tuple(v, datemode)
    if v < 1:
        return "%02d:%02d:%02d" % (h, mi, s)
    date = "%04d-%02d-%02d" % (y, mo, d)
    if v == int(v):
        return date
    return "%s %02d:%02d:%02d" % (date, h, mi, s)


def cell_text(cell, datemode):
    t = cell.ctype
    if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK, xlrd.XL_CELL_ERROR):
        return None
    if t == xlrd.XL_CELL_TEXT:
        return cell.value if cell.value != "" else None
    if t == xlrd.XL_CELL_NUMBER:
        return number_text(cell.value)
    if t == xlrd.XL_CELL_DATE:
        return date_text(cell.value, datemode)
    if t == xlrd.XL_CELL_BOOLEAN:
        return "1" if cell.value else "0"
    raise ValueError("cell type %r" % t)


def sheet_table(path, sheet_name="Sheet1"):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_name(sheet_name)
    grid = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            text = cell_text(sheet.cell(r, c), book.datemode)
            if text is not None:
                grid[(r, c)] = text
    return table(grid)


def write_expected(path, out_path, sheet_name="Sheet1"):
    write_table(*sheet_table(path, sheet_name), out_path)

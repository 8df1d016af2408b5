#!/usr/bin/python3
"""Reads every cell of Sheet1 with python3-xlrd and prints seconds, rows/s and peak RSS."""
import resource
import sys
import time

import xlrd

start = time.perf_counter()
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_name("Sheet1")
cells = 0
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_DATE:
            xlrd.xldate_as_tuple(cell.value, book.datemode)
        if cell.ctype != xlrd.XL_CELL_EMPTY:
            cells += 1
seconds = time.perf_counter() - start
rows = sheet.nrows - 1
rss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
print("xlrd:   %.3f s, %d rows (%d non-empty cells), %.0f rows/s, peak RSS %.1f MB" % (seconds, rows, cells, rows / seconds, rss))

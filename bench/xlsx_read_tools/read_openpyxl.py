#!/usr/bin/python3
"""Reads every cell of Sheet1 with openpyxl in read-only mode, values only, and prints
seconds (elapsed and processor), rows, rows/s and peak RSS in the form of the driver's line."""
import resource
import sys
import time

import openpyxl

def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


start = time.perf_counter()
cpu_start = cpu_seconds()
book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
rows = cells = 0
sheet_rows = book["Sheet1"].iter_rows(values_only=True)
next(sheet_rows)  # the first row names the columns: not counted as data, as by the driver
for row in sheet_rows:
    rows += 1
    cells += sum(1 for v in row if v is not None)
book.close()
seconds = time.perf_counter() - start
cpu = cpu_seconds() - cpu_start
rss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
print("openpyxl: %.3f s (cpu %.3f s), %d rows (%d non-empty cells), %.0f rows/s, peak RSS %.1f MB"
      % (seconds, cpu, rows, cells, rows / seconds, rss))

#!/usr/bin/python3
"""Writes the benchmark workbook: Sheet1 with a header row and 65,535 rows of 10 columns
(integers, decimals, Chinese and Latin text, a date column). Usage: make_workbook.py PATH"""
import datetime
import sys

import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Sheet1")
date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
headers = ["id", "qty", "price", "ratio", "name", "city", "note", "code", "joined", "score"]
for c, h in enumerate(headers):
    sheet.write(0, c, h)
start = datetime.date(2000, 1, 1)
for r in range(1, 65536):
    sheet.write(r, 0, r)
    sheet.write(r, 1, r * 7 % 1000)
    sheet.write(r, 2, r * 0.25 + 0.01)
    sheet.write(r, 3, r / 7.0)
    sheet.write(r, 4, "姓名%d" % r)
    sheet.write(r, 5, ("北京", "上海", "广州", "深圳")[r % 4])
    sheet.write(r, 6, "note %d, with text" % r)
    sheet.write(r, 7, "C%06d" % r)
    sheet.write(r, 8, start + datetime.timedelta(days=r % 9000), date_style)
    sheet.write(r, 9, (r % 100) / 4.0)
book.save(sys.argv[1])

#!/usr/bin/python3
"""Writes the workbook of bench/convert: Sheet1 with ROWS data rows of six columns, an integer,
an integer too large for 32 bits, a decimal, a date cell, Chinese text and text with a comma.

    /usr/bin/python3 make_workbook.py OUT.xls [ROWS]
"""
import datetime
import sys

import xlwt

HEADERS = ["编号", "大数", "金额", "日期", "姓名", "备注"]
SURNAMES = "张王李赵刘陈杨黄周吴"
GIVEN = "伟芳娜敏静磊强洁军霞"


def main(path, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for col, text in enumerate(HEADERS):
        sheet.write(0, col, text)
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    start = datetime.date(2000, 1, 1)
    for i in range(1, rows + 1):
        sheet.write(i, 0, i)
        sheet.write(i, 1, 5000000000 + i * 7919)
        sheet.write(i, 2, round(1000 + i * 0.37 + (i % 100) / 10000, 4))
        sheet.write(i, 3, start + datetime.timedelta(days=i % 9000), date_style)
        sheet.write(i, 4, SURNAMES[i % 10] + GIVEN[(i // 10) % 10] + str(i % 97))
        sheet.write(i, 5, "Room %d, Building %d" % (i % 500, i % 37))
    book.save(path)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 20000)

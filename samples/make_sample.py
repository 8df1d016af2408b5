#!/usr/bin/python3
"""Writes the demo workbooks samples/sample.xls (Excel 97-2003, with xlwt) and
samples/sample.xlsx (Excel 2007, with openpyxl), the same rows in both: Sheet1 with Chinese and
English headers, integers, Chinese text, a text with a comma, a date column of real date cells
(numbers with a date format) and decimals.

Run with the system Python (python3-xlwt, python3-openpyxl): /usr/bin/python3 samples/make_sample.py
[FOLDER] writes both into FOLDER (default: this script's folder).
"""
import datetime
import os
import sys

import openpyxl
import xlwt

HEADERS = ["编号", "姓名", "城市", "入职日期", "工资", "Note"]
ROWS = [
    (1, "张伟", "北京", datetime.date(2019, 3, 1), 8500.5, "Team lead"),
    (2, "王芳", "上海", datetime.date(2020, 7, 15), 7200, "Joined from Shanghai office"),
    (3, "李娜", "广州", datetime.date(2018, 11, 30), 9100.25, "Sales, South China"),
    (4, "刘洋", "深圳", datetime.date(2021, 1, 4), 6800, ""),
    (5, "陈静", "杭州", datetime.date(2017, 5, 20), 10250.75, "Senior engineer"),
    (6, "杨磊", "成都", datetime.date(2022, 9, 12), 5900, "Intern, converted"),
    (7, "赵敏", "武汉", datetime.date(2016, 2, 29), 12000, "Manager"),
    (8, "黄强", "南京", datetime.date(2023, 6, 1), 6400.1, "Remote"),
    (9, "周杰", "西安", datetime.date(2015, 10, 8), 11500, "Architect; mentor"),
    (10, "吴霞", "重庆", datetime.date(2020, 12, 31), 7050.05, "Part-time, 3 days"),
    (11, "Alice Smith", "北京", datetime.date(2021, 8, 16), 9900, "Expat, English speaker"),
    (12, "郑洁", "天津", datetime.date(2019, 4, 22), 6650.5, "财务部"),
]
DATE_FORMAT = "yyyy-mm-dd"
MONEY_FORMAT = "0.00"
DATE_COLUMN, MONEY_COLUMN, NOTE_COLUMN = 3, 4, 5


def write_xls(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for col, text in enumerate(HEADERS):
        sheet.write(0, col, text)
    styles = {DATE_COLUMN: xlwt.easyxf(num_format_str=DATE_FORMAT),
              MONEY_COLUMN: xlwt.easyxf(num_format_str=MONEY_FORMAT)}
    for r, row in enumerate(ROWS, start=1):
        for col, value in enumerate(row):
            if col == NOTE_COLUMN and not value:
                continue   # an empty note is an empty cell
            if col in styles:
                sheet.write(r, col, value, styles[col])
            else:
                sheet.write(r, col, value)
    book.save(path)


def write_xlsx(path):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Sheet1"
    sheet.append(HEADERS)
    formats = {DATE_COLUMN: DATE_FORMAT, MONEY_COLUMN: MONEY_FORMAT}
    for r, row in enumerate(ROWS, start=2):
        for col, value in enumerate(row):
            if col == NOTE_COLUMN and not value:
                continue
            cell = sheet.cell(row=r, column=col + 1, value=value)
            if col in formats:
                cell.number_format = formats[col]
    # A fixed creation time: writing again gives the same document properties.
    book.properties.created = book.properties.modified = datetime.datetime(2024, 1, 1)
    book.save(path)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_xls(os.path.join(folder, "sample.xls"))
    write_xlsx(os.path.join(folder, "sample.xlsx"))

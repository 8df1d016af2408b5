#!/usr/bin/python3
"""Writes samples/sample.xls, the demo workbook: Sheet1 with Chinese and English headers,
integers, Chinese text, a text with a comma, a date column of real date cells and decimals.

Run with the system Python (python3-xlwt): /usr/bin/python3 samples/make_sample.py
"""
import datetime
import os
import sys

import xlwt

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


def main(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    headers = ["编号", "姓名", "城市", "入职日期", "工资", "Note"]
    for col, text in enumerate(headers):
        sheet.write(0, col, text)
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    money_style = xlwt.easyxf(num_format_str="0.00")
    for r, (num, name, city, joined, pay, note) in enumerate(ROWS, start=1):
        sheet.write(r, 0, num)
        sheet.write(r, 1, name)
        sheet.write(r, 2, city)
        sheet.write(r, 3, joined, date_style)
        sheet.write(r, 4, pay, money_style)
        if note:
            sheet.write(r, 5, note)
    book.save(path)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.xls")
    main(out)

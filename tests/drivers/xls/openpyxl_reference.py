"""Reference values of an .xlsx/.xlsm worksheet, read with python3-openpyxl (an implementation
independent of the driver) with data_only=True, written as the text the driver must deliver
(table_text.py: the file's form, the numbers, the column names and the used range).

Cell rules, the same as for .xls: a number in a date or time format by its value (below 1 a
time hh:mm:ss, a whole number a date yyyy-mm-dd, else both, rounded to the second; an
elapsed-time format such as [h]:mm:ss shows the time of day), booleans 1/0, errors, empty
cells and empty text NULL; a formula cell by its cached value.

Where openpyxl does not see what the workbook says, this module tells it:
- the built-in date and time formats of the Chinese locale (ids 27-36 and 50-58), which
  are not in openpyxl's table of built-in formats;
- the _xHHHH_ escapes of the file's strings, which openpyxl leaves as they are (in shared
  strings it also drops every "x005F_", so an escaped underscore is left to tests that
  spell the value out).

The worksheet is walked with openpyxl's own worksheet parser, which yields only the cells the
file holds: its read-only rows would fill every gap up to the dimension (16,384 columns by
1,048,576 rows for a sheet that reaches the grid's corner).
"""
import datetime
import os
import re
import sys

import openpyxl
from openpyxl.styles.numbers import is_date_format, is_timedelta_format
from openpyxl.utils.datetime import from_excel
from openpyxl.worksheet._reader import WorkSheetParser

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_text import number_text, table, write_table  # noqa: E402

# Built-in formats of the Chinese (PRC) locale, by id.
CHINESE_BUILTIN_FORMATS = {
    27: 'yyyy"年"m"月"', 28: 'm"月"d"日"', 29: 'm"月"d"日"', 30: "m-d-yy", 31: 'yyyy"年"m"月"d"日"',
    32: 'h"时"mm"分"', 33: 'h"时"mm"分"ss"秒"', 34: '上午/下午h"时"mm"分"', 35: '上午/下午h"时"mm"分"ss"秒"',
    36: 'yyyy"年"m"月"', 50: 'yyyy"年"m"月"', 51: 'm"月"d"日"', 52: 'yyyy"年"m"月"', 53: 'm"月"d"日"',
    54: 'm"月"d"日"', 55: '上午/下午h"时"mm"分"', 56: '上午/下午h"时"mm"分"ss"秒"', 57: 'yyyy"年"m"月"',
    58: 'm"月"d"日"',
}

XSTRING_ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def unescape(text):
    return XSTRING_ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def rounded(t):
    """A datetime or time rounded to the second (openpyxl keeps milliseconds)."""
    if isinstance(t, datetime.time):
        seconds = t.hour * 3600 + t.minute * 60 + t.second + (t.microsecond >= 500000)
        return datetime.time((seconds // 3600) % 24, (seconds // 60) % 60, seconds % 60)
    if t.microsecond >= 500000:
        t += datetime.timedelta(seconds=1)
    return t.replace(microsecond=0)


def date_text(v):
    if isinstance(v, datetime.timedelta):  # elapsed time: the time of day
        seconds = round(v.total_seconds()) % 86400
        return "%02d:%02d:%02d" % (seconds // 3600, (seconds // 60) % 60, seconds % 60)
    if isinstance(v, datetime.time):
        return rounded(v).strftime("%H:%M:%S")
    if not isinstance(v, datetime.datetime):  # a date alone (an ISO 8601 date cell)
        return "%04d-%02d-%02d" % (v.year, v.month, v.day)
    whole = v.hour == v.minute == v.second == v.microsecond == 0
    v = rounded(v)
    # strftime pads years below 1000 inconsistently; spell the fields out.
    date = "%04d-%02d-%02d" % (v.year, v.month, v.day)
    return date if whole else "%s %02d:%02d:%02d" % (date, v.hour, v.minute, v.second)


class SheetReader:
    def __init__(self, path):
        self.book = openpyxl.load_workbook(path, read_only=True, data_only=True, keep_links=False)
        styles = self.book._cell_styles
        chinese = {i: CHINESE_BUILTIN_FORMATS.get(s.numFmtId) for i, s in enumerate(styles)}
        self.chinese_dates = {i for i, f in chinese.items() if f and is_date_format(f)}
        self.chinese_elapsed = {i for i, f in chinese.items() if f and is_timedelta_format(f)}

    def cell_text(self, cell):
        v, kind = cell["value"], cell["data_type"]
        if v is None or kind == "e":
            return None
        if isinstance(v, bool):
            return "1" if v else "0"
        if isinstance(v, (datetime.date, datetime.time, datetime.timedelta)):
            return date_text(v)
        if isinstance(v, (int, float)):
            if cell["style_id"] in self.chinese_dates:
                return date_text(from_excel(v, self.book.epoch, timedelta=cell["style_id"] in self.chinese_elapsed))
            # Numbers are doubles in the workbook, whatever digits the file spells.
            return number_text(float(v))
        v = unescape(v)
        return v if v != "" else None

    def sheet_table(self, sheet_name):
        ws = self.book[sheet_name]
        source = ws._get_source()
        try:
            parser = WorkSheetParser(source, ws._shared_strings, data_only=True, epoch=self.book.epoch,
                                     date_formats=self.book._date_formats,
                                     timedelta_formats=self.book._timedelta_formats)
            grid = {}
            for _, cells in parser.parse():
                for cell in cells:
                    text = self.cell_text(cell)
                    if text is not None:
                        grid[(cell["row"], cell["column"])] = text
        finally:
            source.close()
        return table(grid)

    def close(self):
        self.book.close()


def sheet_table(path, sheet_name="Sheet1"):
    reader = SheetReader(path)
    try:
        return reader.sheet_table(sheet_name)
    finally:
        reader.close()


def write_expected(path, out_path, sheet_name="Sheet1"):
    write_table(*sheet_table(path, sheet_name), out_path)


if __name__ == "__main__":
    # openpyxl_reference.py <workbook> [sheet]: the expected table on standard output.
    names, rows = sheet_table(sys.argv[1], *sys.argv[2:3])
    print(names)
    for row in rows:
        print(row)

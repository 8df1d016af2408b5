#!/usr/bin/python3
"""Writes the driver's test workbooks into a folder, with the values python3-xlrd reads from
each (<name>.expected, see xlrd_reference.py).

Writers: python3-xlwt (here), Spreadsheet::WriteExcel (make_fixtures.pl), and xls_repack
(libgsf's compound-file writer) for workbooks whose stream lives in the mini stream and for
an encrypted workbook; workbooks whose stream is named as reporting tools name it are
xlwt's with the directory entry renamed. Also writes the bad inputs (empty, random bytes,
truncated, .xlsx and .csv renamed, a folder, ...).

Usage: make_fixtures.py <output folder> <xls_repack program>
"""
import datetime
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import xlrd_reference  # noqa: E402

OUT = sys.argv[1]
REPACK = sys.argv[2]


def path(name):
    return os.path.join(OUT, name)


def book():
    return xlwt.Workbook(encoding="utf-8")


def sheet1(b, heads):
    """The worksheet Sheet1 of `b` with the column names in its first row."""
    s = b.add_sheet("Sheet1")
    for c, h in enumerate(heads):
        s.write(0, c, h)
    return s


def types_book():
    """Every cell type; an empty row inside the block; formatted blanks below it."""
    b = book()
    s = sheet1(b, ["Int", "Number", "Text", "Bool", "Err", "Mixed"])
    ints = [12, -7, 0, 1, 536870911, -536870912, 2 ** 31, 2 ** 53, 65535, 100]
    nums = [1.5, 0.1, 1e-07, 1e20, 123456789.123, -0.5, 1 / 3.0, 3.141592653589793, 0.3, 2.5e-05,
            1e15 + 0.5, 98.6, -1234.5678]
    texts = ["中文", "a, b", "tab\there", "line\nbreak", "  spaced  ", "Ünïcödé", "x" * 300, "引号\"quote\"",
             "back\\slash", "日本語テキスト"]
    mixed = [42, "text", True, 0.25, None, "最后"]
    rows = 16
    for r in range(1, rows + 1):
        if r == 9:
            continue  # an empty row inside the data
        row = s.row(r)
        row.set_cell_number(0, ints[r % len(ints)])
        row.set_cell_number(1, nums[r % len(nums)])
        row.set_cell_text(2, texts[r % len(texts)])
        row.set_cell_boolean(3, r % 2 == 0)
        row.set_cell_error(4, ["#DIV/0!", "#NULL!", 0x2A][r % 3])
        m = mixed[r % len(mixed)]
        if isinstance(m, bool):
            row.set_cell_boolean(5, m)
        elif isinstance(m, (int, float)):
            row.set_cell_number(5, m)
        elif isinstance(m, str):
            row.set_cell_text(5, m)
    grey = xlwt.easyxf("pattern: pattern solid, fore_colour gray25")
    for r in range(rows + 1, rows + 20):
        s.row(r).set_cell_mulblanks(0, 5, grey)
    other = b.add_sheet("Other")
    other.write(0, 0, "OnlyHere")
    other.write(1, 0, 1)
    b.save(path("types.xls"))


def sizes_book():
    """Columns whose described size comes from numbers, dates, times and booleans."""
    b = book()
    s = sheet1(b, ["Hundred", "Negative", "Date", "DateTime", "Time", "Bool"])
    styles = [None, None, xlwt.easyxf(num_format_str="yyyy-mm-dd"),
              xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss"), xlwt.easyxf(num_format_str="hh:mm:ss"), None]
    rows = [
        (7, 12, datetime.date(2004, 1, 2), datetime.datetime(2004, 1, 2, 13, 5, 0), datetime.time(8, 30), True),
        (100, -1000, datetime.date(1999, 12, 31), datetime.datetime(1999, 12, 31, 23, 59, 59),
         datetime.time(23, 0, 1), False),
        (-5, 999, datetime.date(2024, 2, 29), datetime.datetime(2024, 2, 29, 0, 0, 0), datetime.time(0, 0), True),
        (99, 9, None, None, None, None),
    ]
    for r, values in enumerate(rows, start=1):
        for c, v in enumerate(values):
            if v is None:
                continue
            if isinstance(v, bool):
                s.row(r).set_cell_boolean(c, v)
            elif styles[c] is not None:
                s.write(r, c, v, styles[c])
            else:
                s.write(r, c, v)
    b.save(path("sizes.xls"))


def dates_book(name, dates_1904):
    b = book()
    if dates_1904:
        b.dates_1904 = True
    s = b.add_sheet("Sheet1")
    formats = [
        ("Builtin14", "M/D/YY", "date"),
        ("Builtin22", "M/D/YY h:mm", "datetime"),
        ("Builtin20", "h:mm", "time"),
        ("Builtin21", "h:mm:ss", "time"),
        ("Builtin45", "mm:ss", "time"),
        ("Iso", "yyyy-mm-dd", "date"),
        ("Chinese", 'yyyy"年"m"月"d"日"', "date"),
        ("DMY", "dd/mm/yyyy hh:mm:ss", "datetime"),
        ("Elapsed", "[h]:mm:ss", "time"),
        ("AmPm", "hh:mm AM/PM", "time"),
        ("Colour", "[Red]yyyy-mm-dd", "date"),
        ("QuotedD", '"d"0.00', "number"),
        ("Money", "#,##0.00", "number"),
        ("Sci", "0.00E+00", "number"),
    ]
    for c, (h, _, _) in enumerate(formats):
        s.write(0, c, h)
    s.write(0, len(formats), "DateText")
    styles = [xlwt.easyxf(num_format_str=f) for _, f, _ in formats]
    base = datetime.datetime(2004, 1, 1, 13, 5, 0)
    for r in range(1, 25):
        dt = base + datetime.timedelta(days=37 * r, seconds=3607 * r)
        for c, (_, _, kind) in enumerate(formats):
            if kind == "date":
                value = dt.date()
            elif kind == "datetime":
                value = dt
            elif kind == "time":
                value = dt.time()
            else:
                value = 1234.5 * r
            s.write(r, c, value, styles[c])
        s.write(r, len(formats), dt.strftime("%Y-%m-%d"))
    b.save(path(name))


def strings_book():
    """A shared-string table far over 8 KB: strings split across CONTINUE records, also in
    the middle of a string and switching between compressed and UTF-16 forms."""
    b = book()
    s = b.add_sheet("Sheet1")
    s.write(0, 0, "Key")
    s.write(0, 1, "Long")
    rnd = random.Random(7)
    pieces = ["alpha ", "中文字符", "beta-", "漢字", "Ωμεγα ", "x", "数据"]
    for r in range(1, 400):
        s.write(r, 0, "k%04d" % r)
        n = rnd.randint(10, 160)
        s.write(r, 1, "".join(rnd.choice(pieces) for _ in range(n)) + str(r))
    s.write(400, 0, "max")
    s.write(400, 1, "".join(chr(0x41 + i % 26) for i in range(32767)))
    s.write(401, 0, "max-cn")
    s.write(401, 1, "".join(chr(0x4E00 + i % 2000) for i in range(32767)))
    s.write(402, 0, "mixed")
    s.write(402, 1, ("abc" * 3000) + ("汉" * 3000) + ("def" * 3000))
    b.save(path("strings.xls"))


def headers_book():
    b = book()
    s = b.add_sheet("Sheet1")
    # Empty header cells, repeated names (case-insensitively too), a number as a name.
    heads = ["a", None, "A", "a1", None, 2004, "First Name", "名字", "a"]
    for c, h in enumerate(heads):
        if h is not None:
            s.write(0, c, h)
    for r in range(1, 4):
        for c in range(len(heads)):
            s.write(r, c, r * 10 + c)
    b.save(path("headers.xls"))


def named_books():
    b = book()
    s = b.add_sheet("Data")
    s.write(0, 0, "x")
    s.write(1, 0, 1)
    b.save(path("nosheet1.xls"))

    b = book()
    b.add_sheet("Sheet1")
    b.add_sheet("Sheet2").write(0, 0, "elsewhere")
    b.save(path("emptysheet.xls"))

    b = book()
    s = b.add_sheet("Sheet1")
    grey = xlwt.easyxf("pattern: pattern solid, fore_colour gray25")
    for r in range(5):
        for c in range(3):
            s.write(r, c, None, grey)
    b.save(path("blanksheet.xls"))

    b = book()
    s = b.add_sheet("Sheet1")
    for c, h in enumerate(["one", "two", "three"]):
        s.write(0, c, h)
    b.save(path("headeronly.xls"))

    b = book()
    s = b.add_sheet("Sheet1")
    s.write(0, 0, "Name")
    s.write(0, 1, "Other")
    s.write(1, 0, "ok 中文")
    s.write(2, 0, "smile \U0001F600 here")
    s.write(3, 0, "plain")
    s.write(1, 1, "€ sign")
    b.save(path("unicode.xls"))

    b = book()
    s = b.add_sheet("工作表")
    s.write(0, 0, "列")
    s.write(1, 0, "值")
    s2 = b.add_sheet("Sheet1")
    s2.write(0, 0, "编号")
    s2.write(1, 0, 1)
    b.save(path("chinese_sheet.xls"))


def large_books():
    b = book()
    s = b.add_sheet("Sheet1")
    s.write(0, 0, "N")
    s.write(0, 1, "Text")
    for r in range(1, 65536):
        row = s.row(r)
        row.set_cell_number(0, r)
        row.set_cell_text(1, "行%d" % r if r % 1000 == 0 else "r")
    b.save(path("rows65536.xls"))

    b = book()
    s = b.add_sheet("Sheet1")
    for c in range(256):
        s.write(0, c, "C%d" % c)
        s.write(1, c, c)
        s.write(2, c, "v%d" % c)
    b.save(path("cols256.xls"))

    # The timing workbook: 65,535 rows x 10 columns with integers, decimals, Chinese and
    # Latin text and a date column.
    b = book()
    s = b.add_sheet("Sheet1")
    heads = ["Id", "Amount", "名称", "Name", "Date", "Neg", "Ratio", "城市", "Small", "Code"]
    for c, h in enumerate(heads):
        s.write(0, c, h)
    ds = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    cities = ["北京", "上海", "广州", "深圳", "杭州"]
    for r in range(1, 65536):
        row = s.row(r)
        row.set_cell_number(0, r)
        row.set_cell_number(1, r * 1.25)
        row.set_cell_text(2, "名称%d" % (r % 500))
        row.set_cell_text(3, "name %d" % r)
        row.set_cell_number(4, 38000 + r % 5000, ds)
        row.set_cell_number(5, -r)
        row.set_cell_number(6, r / 7.0)
        row.set_cell_text(7, cities[r % 5])
        row.set_cell_number(8, r % 3)
        row.set_cell_text(9, "C%05d" % r)
    b.save(path("bench65535x10.xls"))


def dates_by_value_book(name, dates_1904):
    """Date-times in date-only formats and in time-only formats, dates and times in each:
    the value, not the format, decides the text."""
    b = book()
    if dates_1904:
        b.dates_1904 = True
    s = b.add_sheet("Sheet1")
    formats = [("Iso", "yyyy-mm-dd"), ("DMmm", "d-mmm"), ("MDY", "mm/dd/yy"), ("Builtin14", "M/D/YY"),
               ("Chinese", 'yyyy"年"m"月"d"日"'), ("HMm", "h:mm"), ("HMS", "hh:mm:ss"), ("AmPm", "h:mm AM/PM"),
               ("Both", "yyyy-mm-dd hh:mm:ss")]
    styles = [xlwt.easyxf(num_format_str=f) for _, f in formats]
    for c, (h, _) in enumerate(formats):
        s.write(0, c, h)
    # xlwt drops the fraction of a second of datetime values: those go in as serial numbers.
    epoch = datetime.datetime(1904, 1, 1) if dates_1904 else datetime.datetime(1899, 12, 30)

    def serial(dt):
        delta = dt - epoch
        return delta.days + (delta.seconds + delta.microseconds / 1e6) / 86400.0

    values = [
        datetime.datetime(2010, 4, 25, 17, 42, 32),   # a date-time in a date-only format
        datetime.datetime(2006, 12, 15, 18, 48),      # a date-time in a time-only format
        datetime.datetime(2004, 2, 29),               # a whole day
        datetime.time(9, 30, 15),                     # a time of day alone
        serial(datetime.datetime(1999, 12, 31, 23, 59, 59, 600000)),  # rounds into the next day
        datetime.datetime(2004, 3, 1, 0, 0, 1),
        (12 * 3600 + 0.6) / 86400.0,                  # 12:00:00.6, a time rounded up
        datetime.datetime(9999, 12, 31, 12),
    ]
    for r, v in enumerate(values, start=1):
        for c in range(len(formats)):
            s.write(r, c, v, styles[c])
    b.save(path(name))


def long_headers_book():
    """Header texts over the 64-character limit of column names: 32,770 Latin and 40,000
    Chinese characters, two that share their first 64, Chinese ones (two bytes each in GBK,
    three in UTF-8) and one cut right after a multi-byte character."""
    b = book()
    s = b.add_sheet("Sheet1")
    heads = [
        "L" * 32770,
        "标题" * 20000,
        "Quarterly revenue by region and product line, audited figures, in " + "thousands",
        "Quarterly revenue by region and product line, audited figures, in " + "millions",
        "x" * 63 + "中文标题",
        "各地区各产品线季度收入经审计数据" * 6,
        "short",
    ]
    for c, h in enumerate(heads):
        s.write(0, c, h)
    for r in range(1, 4):
        for c in range(len(heads)):
            s.write(r, c, "v%d-%d" % (r, c))
    # Excel stops a cell at 32,767 characters, xlwt refuses more; the format counts to 65,535
    # and other writers go past Excel's limit (the real-world file had 32,770). Lift xlwt's
    # check for this workbook.
    def upack2_unlimited(text, encoding="ascii"):
        try:
            return struct.pack("<HB", len(text), 0) + text.encode("latin1")
        except UnicodeEncodeError:
            units = text.encode("utf_16_le")
            return struct.pack("<HB", len(units) // 2, 1) + units
    checked = xlwt.BIFFRecords.upack2
    xlwt.BIFFRecords.upack2 = upack2_unlimited
    try:
        b.save(path("long_headers.xls"))
    finally:
        xlwt.BIFFRecords.upack2 = checked


def cjk_book():
    """Chinese, Japanese and Korean headers and values; a value longer than one read of a
    client whose pieces split a multi-byte character."""
    b = book()
    s = b.add_sheet("Sheet1")
    heads = ["编号", "名前", "이름", "城市 / 都市 / 도시", "Date", "Amount", "長い値"]
    for c, h in enumerate(heads):
        s.write(0, c, h)
    ds = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    rows = [
        (1, "张伟", "서울", "北京", datetime.date(2019, 3, 1), 8500.5, "a" + "中文长文本" * 1000),
        (2, "山田太郎", "김민준", "東京", datetime.datetime(2020, 7, 15, 9, 30), 7200, "日本語のテキスト" * 700),
        (3, "李娜", None, "부산", datetime.date(2018, 11, 30), -0.25, "한국어 텍스트 " * 600),
        (4, "カタカナ", "한글", "上海", None, 1e-7, "mixed 中文 日本語 한국어"),
    ]
    for r, row in enumerate(rows, start=1):
        for c, v in enumerate(row):
            if v is None:
                continue
            if isinstance(v, (datetime.date, datetime.datetime)):
                s.write(r, c, v, ds)
            else:
                s.write(r, c, v)
    b.save(path("cjk.xls"))


def rename_stream(src, dst, name):
    """Copies a compound file whose root holds one "Workbook" stream (as xlwt writes it) with
    that directory entry renamed; the entry's name and length change, nothing else."""
    data = bytearray(open(src, "rb").read())
    sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    first = struct.unpack_from("<I", data, 0x30)[0]
    at = 512 + first * sector
    found = 0
    for entry in range(at, at + sector, 128):
        n = struct.unpack_from("<H", data, entry + 64)[0]
        if data[entry + 66] == 2 and bytes(data[entry:entry + n - 2]).decode("utf-16-le") == "Workbook":
            encoded = name.encode("utf-16-le") + b"\0\0"
            data[entry:entry + 64] = encoded.ljust(64, b"\0")
            struct.pack_into("<H", data, entry + 64, len(encoded))
            found += 1
    if found != 1:
        raise RuntimeError("no single Workbook entry in %s" % src)
    open(dst, "wb").write(bytes(data))


def renamed_streams():
    """The workbook stream under the names reporting tools give it."""
    for name, stream in [("stream_upper", "WORKBOOK"), ("stream_lower", "workbook"), ("stream_book", "BOOK"),
                         ("stream_book_lower", "book")]:
        rename_stream(path("headers.xls"), path(name + ".xls"), stream)
    rename_stream(path("headers.xls"), path("stream_other.xls"), "WORKBOOKS")


def bad_inputs():
    open(path("empty.xls"), "wb").close()
    rnd = random.Random(1234)
    with open(path("random.xls"), "wb") as f:
        f.write(bytes(rnd.getrandbits(8) for _ in range(20000)))
    with open(path("types.xls"), "rb") as f:
        data = f.read()
    with open(path("truncated_half.xls"), "wb") as f:
        f.write(data[: len(data) // 2])
    with open(path("truncated_header.xls"), "wb") as f:
        f.write(data[:600])
    # A compound file with its sectors cut in the middle of the workbook stream.
    with open(path("strings.xls"), "rb") as f:
        big = f.read()
    with open(path("truncated_strings.xls"), "wb") as f:
        f.write(big[: len(big) * 2 // 3])
    with zipfile.ZipFile(path("xlsx_renamed.xls"), "w") as z:
        z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types/>')
        z.writestr("xl/workbook.xml", "<workbook/>")
    with open(path("csv_renamed.xls"), "w", encoding="utf-8") as f:
        f.write("编号,姓名\n1,张伟\n2,王芳\n")
    os.makedirs(path("folder.xls"), exist_ok=True)
    # Corrupted record lengths inside a valid compound file.
    subprocess.check_call([REPACK, path("types.xls"), path("garbled.xls"), "--garble"])


def main():
    os.makedirs(OUT, exist_ok=True)
    types_book()
    sizes_book()
    dates_book("dates.xls", False)
    dates_book("dates1904.xls", True)
    strings_book()
    headers_book()
    named_books()
    large_books()
    dates_by_value_book("dates_by_value.xls", False)
    dates_by_value_book("dates_by_value1904.xls", True)
    long_headers_book()
    cjk_book()
    renamed_streams()
    subprocess.check_call(["perl", os.path.join(HERE, "make_fixtures.pl"), OUT])
    # Small workbooks whose stream lives in the compound file's mini stream.
    subprocess.check_call([REPACK, path("headers.xls"), path("mini.xls"), "--mini"])
    subprocess.check_call([REPACK, path("types.xls"), path("encrypted.xls"), "--filepass"])
    bad_inputs()
    for name in ["types", "dates", "dates1904", "strings", "headers", "perl_types", "mini", "rows65536",
                 "cols256", "headeronly", "unicode", "chinese_sheet", "bench65535x10", "dates_by_value",
                 "dates_by_value1904", "perl_dates_by_value", "long_headers", "cjk"]:
        xlrd_reference.write_expected(path(name + ".xls"), path(name + ".expected"))
    # The renamed streams hold headers.xls's workbook.
    for name in ["stream_upper", "stream_lower", "stream_book", "stream_book_lower"]:
        shutil.copyfile(path("headers.expected"), path(name + ".expected"))
    xlrd_reference.write_expected(path("types.xls"), path("types_other.expected"), "Other")
    xlrd_reference.write_expected(path("chinese_sheet.xls"), path("chinese_sheet_cn.expected"), "工作表")
    with open(path("done"), "w") as f:
        f.write("ok\n")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Writes the driver's .xlsx/.xlsm test workbooks into a folder, with the values
python3-openpyxl reads from each (<name>.expected, see openpyxl_reference.py), and the bad
inputs (make_xlsx_bad_inputs.py).

Writers:
- python3-openpyxl (x_*.xlsx): it writes text as inline strings (t="inlineStr"), CR as a
  character reference, formulas without cached values, error cells, the 1904 date system,
  built-in formats by id only (14-22, 45-47, no numFmt element) and custom ones by code;
- LibreOffice headless (lo_*.xlsx, lo_*.xlsm): shared strings, formulas with cached values
  of every kind (t="str", numbers, booleans, errors) computed by LibreOffice, number texts
  such as "1E-007"; its sources are a flat ODF spreadsheet written here and the .xls
  fixtures of make_fixtures.py (which must have run into the same folder);
- the XML written here part by part (raw_*.xlsx, xlsx_package.py) for what neither of them
  writes: rich-text and phonetic runs in shared strings, the _xHHHH_ escapes, the
  Chinese-locale built-in formats (ids 27-36, 50-58), a Sheet1 reached through the
  workbook's relationships in a part of another name, rows and cells without positions,
  missing and wrong dimensions, ISO 8601 date cells.

Usage: make_xlsx_fixtures.py <output folder> <xls_repack program> <soffice program>
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl
from openpyxl.styles import PatternFill
from openpyxl.styles.numbers import BUILTIN_FORMATS
from openpyxl.utils.datetime import CALENDAR_MAC_1904

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_xlsx_bad_inputs  # noqa: E402
import openpyxl_reference  # noqa: E402
import xlsx_package as pkg  # noqa: E402
from xlsx_package import cell, row  # noqa: E402

OUT, REPACK, SOFFICE = sys.argv[1:4]


def path(name):
    return os.path.join(OUT, name)


# -- openpyxl -------------------------------------------------------------------------------

def types_book():
    """Every cell type; Sheet1 second in the workbook (its part is sheet2.xml); an empty row
    inside the block; formatted blanks below it; formulas without a cached value."""
    b = openpyxl.Workbook()
    other = b.active
    other.title = "Other"
    other["A1"] = "OnlyHere"
    other["A2"] = 1
    s = b.create_sheet("Sheet1")
    s.append(["Int", "Number", "Text", "Bool", "Err", "Mixed", "Formula"])
    ints = [12, -7, 0, 1, 536870911, -536870912, 2 ** 31, 2 ** 53, 65535, 100]
    nums = [1.5, 0.1, 1e-07, 1e20, 123456789.123, -0.5, 1 / 3.0, 3.141592653589793, 0.3, 2.5e-05,
            1e15 + 0.5, 98.6, -1234.5678, 5e-324, 1.7976931348623e308, -2.2250738585072014e-308]
    texts = ["中文", "a, b", "tab\there", "line\nbreak", "  spaced  ", "Ünïcödé", "x" * 300, "引号\"quote\"",
             "back\\slash", "日本語テキスト", "cr\r\nlf", "<&>'\" specials", "€ sign"]
    errors = ["#DIV/0!", "#NULL!", "#N/A", "#VALUE!", "#REF!", "#NAME?", "#NUM!"]
    mixed = [42, "text", True, 0.25, None, "最后"]
    rows = 16
    for r in range(2, rows + 2):
        if r == 9:
            continue  # an empty row inside the data
        s.cell(r, 1, ints[r % len(ints)])
        s.cell(r, 2, nums[r % len(nums)])
        s.cell(r, 3, texts[r % len(texts)])
        s.cell(r, 4, r % 2 == 0)
        s.cell(r, 5, errors[r % len(errors)])
        s.cell(r, 6, mixed[r % len(mixed)])
        s.cell(r, 7, "=A%d+1" % r)
    grey = PatternFill("solid", fgColor="C0C0C0")
    for r in range(rows + 2, rows + 20):
        for c in range(1, 10):
            s.cell(r, c).fill = grey
    b.save(path("x_types.xlsx"))


def serial(dt, epoch):
    delta = dt - epoch
    return delta.days + (delta.seconds + delta.microseconds / 1e6) / 86400.0


def dates_book(name, dates_1904):
    """One value per row in every format: the format says date or not, the value which form.
    Built-in formats by id, custom ones by code."""
    b = openpyxl.Workbook()
    if dates_1904:
        b.epoch = CALENDAR_MAC_1904
    s = b.active
    s.title = "Sheet1"
    formats = [("Builtin%d" % i, BUILTIN_FORMATS[i]) for i in list(range(14, 23)) + [45, 46, 47]] + [
        ("Iso", "yyyy-mm-dd"), ("Chinese", 'yyyy"年"m"月"d"日"'), ("DMY", "dd/mm/yyyy hh:mm:ss"),
        ("Elapsed", "[h]:mm:ss"), ("AmPm", "hh:mm AM/PM"), ("Colour", "[Red]yyyy-mm-dd"),
        ("Locale", "[$-804]yyyy年m月d日"), ("Escaped", "yyyy\\-mm\\-dd"), ("QuotedD", '"d"0.00'),
        ("Money", "#,##0.00"), ("Sci", "0.00E+00"), ("General", "General")]
    s.append([h for h, _ in formats])
    epoch = CALENDAR_MAC_1904 if dates_1904 else datetime.datetime(1899, 12, 30)
    values = [
        datetime.datetime(2010, 4, 25, 17, 42, 32),   # a date-time in date-only and time-only formats
        datetime.datetime(2006, 12, 15, 18, 48),
        datetime.datetime(2004, 2, 29),               # a whole day
        datetime.time(9, 30, 15),                     # a time of day alone
        serial(datetime.datetime(1999, 12, 31, 23, 59, 59, 600000), epoch),  # rounds into the next day
        (12 * 3600 + 0.6) / 86400.0,                  # 12:00:00.6, a time rounded up
        datetime.datetime(9999, 12, 31, 12),
        datetime.datetime(1904, 1, 2) if dates_1904 else datetime.datetime(1900, 3, 1),
        37.25,                                        # early in either system
    ]
    for v in values:
        s.append([v] * len(formats))
    for col, (_, fmt) in enumerate(formats, start=1):
        for r in range(2, len(values) + 2):
            s.cell(r, col).number_format = fmt
    b.save(path(name))


def cjk_book():
    """Chinese, Japanese and Korean names and values; long values; one Korean column (GBK
    has no Hangul)."""
    b = openpyxl.Workbook()
    s = b.active
    s.title = "Sheet1"
    s.append(["编号", "名前", "이름", "城市 / 都市 / 도시", "日期", "金额", "長い値"])
    rows = [
        (1, "张伟", "서울", "北京", datetime.date(2019, 3, 1), 8500.5, "a" + "中文长文本" * 1000),
        (2, "山田太郎", "김민준", "東京", datetime.datetime(2020, 7, 15, 9, 30), 7200, "日本語のテキスト" * 700),
        (3, "李娜", None, "广州", datetime.date(2018, 11, 30), -0.25, "繁體字與简体字" * 600),
        (4, "カタカナ", "한글", "上海", None, 1e-7, "mixed 中文 日本語 한국어"),
    ]
    for r in rows:
        s.append(r)
    for r in range(2, len(rows) + 2):
        s.cell(r, 5).number_format = "yyyy-mm-dd"
    b.save(path("x_cjk.xlsx"))


def headers_book():
    """Empty header cells, repeated names (case-insensitively too), a number as a name, names
    over 64 characters, a cut right after a Chinese character."""
    b = openpyxl.Workbook()
    s = b.active
    s.title = "Sheet1"
    heads = ["a", None, "A", "a1", None, 2004, "First Name", "名字", "a", "L" * 100, "标题" * 40, "标题" * 40,
             "x" * 63 + "中文标题", True]
    s.append(heads)
    for r in range(1, 4):
        s.append([r * 100 + c for c in range(len(heads))])
    b.save(path("x_headers.xlsx"))


def far_books():
    """The grid's last column (XFD) and last row (1,048,576)."""
    b = openpyxl.Workbook()
    s = b.active
    s.title = "Sheet1"
    s["A1"], s["XFD1"], s["A2"], s["XFD2"] = "first", "last", 1, "end"
    b.save(path("x_far_col.xlsx"))
    b = openpyxl.Workbook()
    s = b.active
    s.title = "Sheet1"
    s["XFC1"], s["XFD1"], s["XFC2"], s["XFD1048576"] = "a", "b", 1, "corner"
    b.save(path("x_far_row.xlsx"))


# -- LibreOffice ----------------------------------------------------------------------------

FODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:date-style style:name="Nd"><number:year number:style="long"/><number:text>-</number:text>
  <number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
 <number:date-style style:name="Ndt"><number:year number:style="long"/><number:text>/</number:text>
  <number:month/><number:text>/</number:text><number:day/><number:text> </number:text>
  <number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:date-style>
 <number:time-style style:name="Nt"><number:hours number:style="long"/><number:text>:</number:text>
  <number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:time-style>
 <style:style style:name="date" style:family="table-cell" style:data-style-name="Nd"/>
 <style:style style:name="datetime" style:family="table-cell" style:data-style-name="Ndt"/>
 <style:style style:name="time" style:family="table-cell" style:data-style-name="Nt"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
"""


def fods_cell(spec):
    """A table cell: a str is text, ("=", formula, style) a formula LibreOffice computes."""
    if spec is None:
        return "<table:table-cell/>"
    if isinstance(spec, str):
        return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % spec
    _, formula, style = spec
    st = ' table:style-name="%s"' % style if style else ""
    return '<table:table-cell table:formula="of:=%s"%s/>' % (formula.replace("&", "&amp;").replace('"', "&quot;"), st)


def formulas_fods(dst):
    """Formula cells whose cached values LibreOffice computes and writes: text (t="str", also
    the empty text), numbers, booleans, errors, dates; a sheet before Sheet1."""
    f = lambda formula, style=None: ("=", formula, style)  # noqa: E731
    rows = [
        ["Text", "Number", "Bool", "Error", "Empty", "Date", "Chinese"],
        [f('"ab"&"中文"'), f("1/3"), f("1=1"), f("1/0"), f('""'), f("DATE(2004;2;29)", "date"), "中文"],
        [f('REPT("x";3)'), f("2^53"), f("1>2"), f("NA()"), f("5"), f("DATE(2004;2;29)+0.5", "datetime"), "汉字"],
        [f('LOWER("ABC")'), f("-0.1*3"), f("AND(TRUE();FALSE())"), f("SQRT(-1)"), f('""'),
         f("TIME(9;30;15)", "time"), f('CONCATENATE("北";"京")')],
        [f('"a"&CHAR(9)&"b"'), f("10^20"), f("NOT(FALSE())"), f('VALUE("x")'), None, f("DATE(1904;1;1)", "date"),
         None],
    ]
    table = lambda name, rs: ('<table:table table:name="%s">%s</table:table>' % (  # noqa: E731
        name, "".join("<table:table-row>%s</table:table-row>" % "".join(fods_cell(c) for c in r) for r in rs)))
    with open(dst, "w", encoding="utf-8") as out:
        out.write(FODS_HEAD + table("Before", [["x"], ["1"]]) + table("Sheet1", rows)
                  + "</office:spreadsheet></office:body></office:document>\n")


def soffice_convert(sources, target, outdir, profile):
    """Converts several files in one LibreOffice run (each run costs seconds)."""
    subprocess.check_call([SOFFICE, "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", target,
                           "--outdir", outdir] + sources, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=600)


LO_FROM_XLS = ["types", "dates", "dates1904", "cjk", "dates_by_value", "strings", "long_headers", "chinese_sheet"]


def libreoffice_books():
    work = tempfile.mkdtemp(prefix="lo-", dir=OUT)
    profile = os.path.join(os.path.dirname(os.path.abspath(OUT)), "lo-profile")
    try:
        formulas_fods(os.path.join(work, "formulas.fods"))
        soffice_convert([os.path.join(work, "formulas.fods")] + [path(n + ".xls") for n in LO_FROM_XLS], "xlsx",
                        work, profile)
        soffice_convert([path("headers.xls")], "xlsm:Calc MS Excel 2007 VBA XML", work, profile)
        for n in ["formulas"] + LO_FROM_XLS:
            shutil.move(os.path.join(work, n + ".xlsx"), path("lo_%s.xlsx" % n))
        shutil.move(os.path.join(work, "headers.xlsm"), path("lo_headers.xlsm"))
    finally:
        shutil.rmtree(work, ignore_errors=True)


# -- Written part by part -------------------------------------------------------------------

def inline(ref, text_xml, s=None):
    return '<c r="%s"%s t="inlineStr"><is>%s</is></c>' % (ref, ' s="%s"' % s if s else "", text_xml)


def strings_book():
    """Shared strings with rich-text runs (joined) and phonetic runs (left out), inline
    strings with runs, preserved spaces, empty text, the _xHHHH_ escapes, cached formula
    text."""
    sst = pkg.shared_strings([
        "<t>Plain</t>", "<t>Rich</t>", "<t>Inline</t>", "<t>Escaped</t>", "<t>Formula</t>",
        '<r><t>bold</t></r><r><rPr><b/><sz val="11"/></rPr><t xml:space="preserve"> and </t></r><r><t>plain</t></r>',
        '<r><t>東京</t></r><r><rPr><i/></rPr><t>都</t></r><rPh sb="0" eb="2"><t>トウキョウ</t></rPh>'
        '<rPh sb="2" eb="3"><t>ト</t></rPh><phoneticPr fontId="1" type="noConversion"/>',
        '<t>漢字</t><rPh sb="0" eb="2"><t>カンジ</t></rPh><phoneticPr fontId="0" type="Hiragana"/>',
        "<t>a_x000D_b_x0009_c_x4E2D_d</t>",
        '<t xml:space="preserve">  spaced  </t>',
        "<t/>",
        "<t>just text</t>",
        "".join("<r><rPr><sz val=\"%d\"/></rPr><t>段%d </t></r>" % (9 + i % 5, i) for i in range(300)),
        "<t>not_x00zz_hex, _x41_ short, _X0041_ upper x</t>",
        "<t>&lt;&amp;&gt; &#x4E2D; &#20013;</t>",
    ])
    rows = [
        row(1, [cell("A1", 0, "s"), cell("B1", 1, "s"), cell("C1", 2, "s"), cell("D1", 3, "s"), cell("E1", 4, "s")]),
        row(2, [cell("A2", 11, "s"), cell("B2", 5, "s"), inline("C2", "<t>inline text</t>"), cell("D2", 8, "s"),
                cell("E2", "ab", "str", formula='"a"&amp;"b"')]),
        row(3, [cell("A3", 9, "s"), cell("B3", 6, "s"),
                inline("C3", "<r><t>in</t></r><r><rPr><b/></rPr><t>line runs</t></r>"),
                inline("D3", "<t>x_x000A_y</t>"), cell("E3", "中文_x0009_tab", "str", formula="X()")]),
        row(4, [cell("A4", 10, "s"), cell("B4", 7, "s"),
                inline("C4", '<t>漢字</t><rPh sb="0" eb="2"><t>カンジ</t></rPh>'), cell("D4", 13, "s"),
                cell("E4", "", "str", formula='""')]),
        row(5, [cell("A5", 12, "s"), cell("B5", 14, "s"), inline("C5", "<t></t>"), inline("D5", "<t>_x4E2D__x6587_</t>"),
                cell("E5", None, "str", formula="Y()")]),
    ]
    pkg.write(path("raw_strings.xlsx"), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml",
                                                        pkg.worksheet("".join(rows), "A1:E5"))], sst=sst))


def escapes_book():
    """Escaped underscores and escapes openpyxl does not decode; read by a test that spells
    the values out."""
    sst = pkg.shared_strings(["<t>Shared</t>", "<t>Inline</t>", "<t>_x005F_x0041_</t>", "<t>A_x0042_C</t>",
                              "<t>_x005F_</t>"])
    rows = [
        row(1, [cell("A1", 0, "s"), cell("B1", 1, "s")]),
        row(2, [cell("A2", 2, "s"), inline("B2", "<t>_x005F_x0041_</t>")]),
        row(3, [cell("A3", 3, "s"), inline("B3", "<t>A_x0042_C</t>")]),
        row(4, [cell("A4", 4, "s"), inline("B4", "<t>_x005F_</t>")]),
    ]
    pkg.write(path("raw_escapes.xlsx"), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml",
                                                        pkg.worksheet("".join(rows)))], sst=sst))


def layout_book():
    """Sheet1 third of three, its part named data/part_b.xml while sheet1.xml holds another
    sheet, reached through absolute relationship targets; rows and cells without positions,
    gaps between rows and columns, no dimension."""
    def text(ref, t):
        return inline(ref, "<t>%s</t>" % t) if ref else '<c t="inlineStr"><is><t>%s</t></is></c>' % t
    main = "".join([
        row(2, [text("B2", "Name"), text(None, "Value"), text("E2", "Extra")]),  # C2 has no position
        row(None, [text("B3", "first"), cell(None, 1)]),                          # row 3, C3
        row(6, [cell(None, "2.5"), text(None, "A6?"), cell(None, 3)]),           # A6, B6, C6
        row(None, [cell("C7", 4), cell(None, 5), text("F7", "far")]),            # row 7: C7, D7, F7
        row(None, []),                                                           # row 8, empty
        row(11, [text("B11", "last")]),
    ])
    summary = pkg.worksheet(row(1, [text("A1", "汇总")]) + row(2, [cell("A2", 99)]), "A1:A2")
    data = pkg.worksheet(row(1, [text("A1", "Decoy")]) + row(2, [cell("A2", -1)]), "A1:A2")
    parts = pkg.workbook([("数据", "xl/worksheets/sheet1.xml", data), ("汇总", "xl/worksheets/sheet2.xml", summary),
                          ("Sheet1", "xl/worksheets/data/part_b.xml", pkg.worksheet(main))], absolute_targets=True)
    pkg.write(path("raw_layout.xlsx"), parts)


def dimensions_books():
    body = "".join(row(r, [cell("%s%d" % (c, r), r * 10 + i) for i, c in enumerate("ABCDE")]) for r in range(1, 10))
    body = body.replace('<c r="A1"><v>10</v></c>', '<c r="A1" t="inlineStr"><is><t>Head</t></is></c>')
    pkg.write(path("raw_dim_small.xlsx"), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml",
                                                          pkg.worksheet(body, "A1:B2"))]))
    three = row(1, [inline("A1", "<t>Only</t>"), inline("B1", "<t>Cells</t>")]) + row(2, [cell("A2", 1)])
    pkg.write(path("raw_dim_absurd.xlsx"), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml",
                                                           pkg.worksheet(three, "A1:XFD1048576"))]))


# Built-in number formats given by id alone: 14-22 and 45-47, and those of the Chinese
# locale, 27-36 and 50-58; two custom formats and General beside them.
BUILTIN_IDS = list(range(14, 23)) + list(range(27, 37)) + [45, 46, 47] + list(range(50, 59))


def builtin_dates_book(name, date1904):
    ids = BUILTIN_IDS + [164, 165, 0]
    style = pkg.styles(ids, custom={164: 'yyyy"年"m"月"d"日" h"时"', 165: "0.00"})
    last = "2957003.5" if date1904 else "2958465.5"  # 9999-12-31 12:00:00
    serials = ["38024", "0.586886574074074", "38024.5868865741", "1.5", "61.25", last, "0", "40000.999994", "0.25"]
    head = row(1, [inline(pkg_ref(c, 1), "<t>Fmt%d</t>" % i) for c, i in enumerate(ids)])
    body = "".join(row(r, [cell(pkg_ref(c, r), v, s=str(c + 1)) for c in range(len(ids))])
                   for r, v in enumerate(serials, start=2))
    pkg.write(path(name), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml", pkg.worksheet(head + body))],
                                       style=style, date1904=date1904))


def pkg_ref(col, r):
    letters = ""
    col += 1
    while col:
        col, rem = divmod(col - 1, 26)
        letters = chr(65 + rem) + letters
    return "%s%d" % (letters, r)


def cell_kinds_book():
    """Booleans, every error value, formulas with cached numbers, booleans, errors and text,
    a formula and a number without a value, numbers as other writers spell them, formatted
    blanks."""
    heads = ["Bool", "Error", "CachedNum", "CachedBool", "CachedErr", "Spelled", "NoValue"]
    spelled = ["1E-007", "1.5e3", "-0", "0.1", "4.9406564584124654E-324", "+7", "00012", ".5", "1E+20"]
    errors = ["#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA"]
    rows = [row(1, [inline(pkg_ref(c, 1), "<t>%s</t>" % h) for c, h in enumerate(heads)])]
    for i in range(len(spelled)):
        r = i + 2
        rows.append(row(r, [
            cell(pkg_ref(0, r), i % 2, "b"),
            cell(pkg_ref(1, r), errors[i % len(errors)], "e"),
            cell(pkg_ref(2, r), str(i * 1.25), formula="B%d*1.25" % r),
            cell(pkg_ref(3, r), (i + 1) % 2, "b", formula="ISODD(%d)" % r),
            cell(pkg_ref(4, r), errors[(i + 3) % len(errors)], "e", formula="1/0"),
            cell(pkg_ref(5, r), spelled[i]),
            cell(pkg_ref(6, r), None, formula="NOW()") if i % 2 else '<c r="%s"><v></v></c>' % pkg_ref(6, r),
            '<c r="%s" s="1"/>' % pkg_ref(7, r),
        ]))
    pkg.write(path("raw_cell_kinds.xlsx"), pkg.workbook(
        [("Sheet1", "xl/worksheets/sheet1.xml", pkg.worksheet("".join(rows)))], style=pkg.styles([14])))


def iso_dates_book():
    """Date cells written as ISO 8601 text (t="d"), as Excel's strict mode writes them."""
    values = ["2024-05-01", "2024-05-01T13:05:00", "13:05:00", "2024-02-29T23:59:59.600", "1900-03-01",
              "1900-01-01", "2024-05-01T13:05:00Z", "13:05"]
    rows = [row(1, [inline("A1", "<t>Iso</t>"), inline("B1", "<t>Row</t>")])]
    rows += [row(r, [cell("A%d" % r, v, "d"), cell("B%d" % r, r)]) for r, v in enumerate(values, start=2)]
    pkg.write(path("raw_iso_dates.xlsx"), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml",
                                                          pkg.worksheet("".join(rows)))]))


def date_range_books():
    """Serial numbers in a date format at and beyond the ends of the calendar (9999-12-31 and
    before day 0) in both date systems; read by a test that spells the values out (openpyxl
    turns dates it cannot represent into errors)."""
    for name, date1904, last in (("raw_date_range.xlsx", None, 2958465), ("raw_date_range1904.xlsx", "1", 2957003)):
        values = ["-1", "%d.5" % last, "%d" % (last + 1), "0"]
        rows = [row(1, [inline("A1", "<t>Date</t>")])]
        rows += [row(r, [cell("A%d" % r, v, s="1")]) for r, v in enumerate(values, start=2)]
        pkg.write(path(name), pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml", pkg.worksheet("".join(rows)))],
                                           style=pkg.styles([14]), date1904=date1904))


# -- Expected values ------------------------------------------------------------------------

# Fixtures compared with openpyxl's reading, as (workbook, sheet, expected file stem).
def reference_fixtures():
    out = [(n, "Sheet1", os.path.splitext(n)[0]) for n in [
        "x_types.xlsx", "x_dates.xlsx", "x_dates1904.xlsx", "x_cjk.xlsx", "x_headers.xlsx", "x_far_col.xlsx",
        "x_far_row.xlsx", "raw_strings.xlsx", "raw_layout.xlsx", "raw_dim_small.xlsx", "raw_dim_absurd.xlsx",
        "raw_builtin_dates.xlsx", "raw_builtin_dates1904.xlsx", "raw_cell_kinds.xlsx", "raw_iso_dates.xlsx",
        "lo_headers.xlsm"]]
    out += [("lo_%s.xlsx" % n, "Sheet1", "lo_" + n) for n in ["formulas"] + LO_FROM_XLS]
    out += [("x_types.xlsx", "Other", "x_types_other"), ("raw_layout.xlsx", "汇总", "raw_layout_summary"),
            ("lo_chinese_sheet.xlsx", "工作表", "lo_chinese_sheet_cn")]
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    types_book()
    dates_book("x_dates.xlsx", False)
    dates_book("x_dates1904.xlsx", True)
    cjk_book()
    headers_book()
    far_books()
    libreoffice_books()
    strings_book()
    escapes_book()
    layout_book()
    dimensions_books()
    builtin_dates_book("raw_builtin_dates.xlsx", None)
    builtin_dates_book("raw_builtin_dates1904.xlsx", "1")
    cell_kinds_book()
    iso_dates_book()
    date_range_books()
    # The content tells the format, not the name.
    shutil.copyfile(path("x_types.xlsx"), path("x_types_named.xls"))
    shutil.copyfile(path("types.xls"), path("types_named.xlsx"))
    make_xlsx_bad_inputs.write_all(OUT, REPACK)
    for workbook, sheet, stem in reference_fixtures():
        openpyxl_reference.write_expected(path(workbook), path(stem + ".expected"), sheet)
    with open(path("xlsx_done"), "w") as f:
        f.write("ok\n")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""The driver as a Unicode ODBC client sees it: pyodbc (python3-pyodbc) through unixODBC, with
both registered driver entries (GBK and UTF-8), compared with what python3-xlrd reads (.xls)
and python3-openpyxl reads (.xlsx, .xlsm).

pyodbc calls the wide (W) entry points for connecting, statements, column names and
diagnostics, and reads text columns (SQL_VARCHAR) as SQL_C_CHAR in the entry's character
set, which the client names with setdecoding. Names and statements never pass through GBK;
a value that GBK cannot hold is refused with SQLSTATE 22018 through the GBK entry.

Run by ctest with XLS_FIXTURES (the generated workbooks), ODBCSYSINI (the test registration
of both entries) and XLS_SAMPLE (samples/sample.xls; samples/sample.xlsx is found beside it).
"""
import os
import sys
import unittest

import pyodbc

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import openpyxl_reference  # noqa: E402
import xlrd_reference  # noqa: E402

FIXTURES = os.environ["XLS_FIXTURES"]
SAMPLE = os.environ["XLS_SAMPLE"]
GBK = "SheetMover Excel Driver (*.xls)"
UTF8 = "SheetMover Excel Driver UTF-8"
ENTRIES = (UTF8, GBK)


def fixture(name):
    return os.path.join(FIXTURES, name)


def connect(entry, path):
    # Text values come in the entry's character set.
    cnxn = pyodbc.connect("DRIVER={%s};DBQ=%s" % (entry, path))
    cnxn.setdecoding(pyodbc.SQL_CHAR, encoding="gbk" if entry == GBK else "utf-8")
    return cnxn


def read(cnxn, statement="select * from [Sheet1$]"):
    cursor = cnxn.cursor()
    cursor.execute(statement)
    names = [d[0] for d in cursor.description]
    rows = [list(row) for row in cursor.fetchall()]
    return names, rows


def columns(names, rows, wanted):
    at = [names.index(w) for w in wanted]
    return [[row[i] for i in at] for row in rows]


def read_as_reference_reads(test, reference, workbooks):
    """Each workbook's Sheet1 through both entries is what the reference module reads."""
    for name in workbooks:
        want = reference.sheet_table(fixture(name))
        for entry in ENTRIES:
            with test.subTest(workbook=name, entry=entry), connect(entry, fixture(name)) as cnxn:
                test.assertEqual(read(cnxn), want)


class Pyodbc(unittest.TestCase):
    def test_sample_workbook_reads_as_xlrd_reads_it_through_both_entries(self):
        want = xlrd_reference.sheet_table(SAMPLE)
        for entry in ENTRIES:
            with self.subTest(entry=entry), connect(entry, SAMPLE) as cnxn:
                self.assertEqual(read(cnxn), want)

    def test_sample_xlsx_holds_the_rows_of_sample_xls_through_both_entries(self):
        # The two demo workbooks are written from one table: the Excel 2007 one must read
        # exactly as the .xls does.
        want = xlrd_reference.sheet_table(SAMPLE)
        sample_xlsx = os.path.splitext(SAMPLE)[0] + ".xlsx"
        for entry in ENTRIES:
            with self.subTest(entry=entry), connect(entry, sample_xlsx) as cnxn:
                self.assertEqual(read(cnxn), want)

    def test_chinese_japanese_korean_through_the_utf8_entry(self):
        names, rows = xlrd_reference.sheet_table(fixture("cjk.xls"))
        with connect(UTF8, fixture("cjk.xls")) as cnxn:
            got_names, got_rows = read(cnxn)
        self.assertEqual(got_names, names)
        self.assertEqual(got_rows, rows)
        # Longer than pyodbc's first read (4,096 bytes) and split inside a character there.
        self.assertGreater(len(rows[0][6].encode("utf-8")), 4096)

    def test_gbk_entry_exact_names_and_the_values_gbk_holds(self):
        names, rows = xlrd_reference.sheet_table(fixture("cjk.xls"))
        with connect(GBK, fixture("cjk.xls")) as cnxn:
            cursor = cnxn.cursor()
            cursor.execute("select * from [Sheet1$]")
            # Names come through the wide entry: Korean ones too, and no trailing bytes.
            self.assertEqual([d[0] for d in cursor.description], names)
            # Chinese and Japanese values, long ones in pieces, as GBK text.
            plain = ["编号", "名前", "Date", "Amount"]
            self.assertEqual(columns(*read(cnxn, "select [编号], [名前], [Date], [Amount] from [Sheet1$]"), plain),
                             columns(names, rows, plain))
            cursor = cnxn.cursor()
            cursor.execute("select [長い値] from [Sheet1$]")
            self.assertEqual(cursor.fetchone()[0], rows[0][6])
            self.assertEqual(cursor.fetchone()[0], rows[1][6])
            # Korean text has no GBK form: refused with its SQLSTATE, the cell named.
            with self.assertRaises(pyodbc.Error) as refused:
                cursor.fetchone()
            self.assertEqual(refused.exception.args[0], "22018")
            self.assertIn("column '長い値' (cell G4 of worksheet 'Sheet1')", refused.exception.args[1])
            self.assertIn("U+D55C", refused.exception.args[1])
            # A Korean column name selects; its Korean values are refused the same way.
            cursor = cnxn.cursor()
            cursor.execute("select [이름] from [Sheet1$]")
            with self.assertRaises(pyodbc.Error) as refused:
                cursor.fetchone()
            self.assertEqual(refused.exception.args[0], "22018")

    def test_dates_and_long_headers_through_both_entries(self):
        read_as_reference_reads(self, xlrd_reference, ("dates_by_value.xls", "long_headers.xls"))

    def test_catalog(self):
        names, _ = xlrd_reference.sheet_table(fixture("cjk.xls"))
        with connect(UTF8, fixture("cjk.xls")) as cnxn:
            self.assertEqual([t.table_name for t in cnxn.cursor().tables(tableType="TABLE")], ["Sheet1$"])
            self.assertEqual([c.column_name for c in cnxn.cursor().columns(table="Sheet1$")], names)
        names, _ = xlrd_reference.sheet_table(SAMPLE)
        with connect(GBK, SAMPLE) as cnxn:
            self.assertEqual([c.column_name for c in cnxn.cursor().columns(table="Sheet1$")], names)

    def test_diagnostics_name_the_workbook_and_the_reason(self):
        # pyodbc 4.0 tries SQLDriverConnect (ANSI, the string in UTF-8) after any failure of
        # SQLDriverConnectW and reports that attempt: a Chinese path is checked through the
        # UTF-8 entry only here (test_real_world.cpp checks SQLDriverConnectW's own message
        # through both).
        for entry, name in ((UTF8, "没有这个工作簿.xls"), (GBK, "no-such-workbook.xls")):
            missing = fixture(name)
            with self.subTest(entry=entry):
                with self.assertRaises(pyodbc.Error) as failed:
                    connect(entry, missing)
                self.assertEqual(failed.exception.args[0], "08001")
                self.assertIn("[SheetMover][Excel Driver]cannot open workbook '%s': the file does not exist" % missing,
                              failed.exception.args[1])
        for entry in ENTRIES:
            with self.subTest(entry=entry), connect(entry, fixture("cjk.xls")) as cnxn:
                with self.assertRaises(pyodbc.Error) as failed:
                    cnxn.cursor().execute("select [없는 열] from [Sheet1$]")
                self.assertEqual(failed.exception.args[0], "42S22")
                self.assertIn("column '없는 열' not found in worksheet 'Sheet1'", failed.exception.args[1])


class PyodbcXlsx(unittest.TestCase):
    def test_workbooks_read_as_openpyxl_reads_them_through_both_entries(self):
        read_as_reference_reads(self, openpyxl_reference, ("x_dates1904.xlsx", "lo_headers.xlsm",
                                                           "raw_builtin_dates.xlsx"))

    def test_chinese_japanese_korean(self):
        names, rows = openpyxl_reference.sheet_table(fixture("x_cjk.xlsx"))
        with connect(UTF8, fixture("x_cjk.xlsx")) as cnxn:
            self.assertEqual(read(cnxn), (names, rows))
        with connect(GBK, fixture("x_cjk.xlsx")) as cnxn:
            plain = ["编号", "名前", "日期", "金额"]
            self.assertEqual(columns(*read(cnxn, "select [编号], [名前], [日期], [金额] from [Sheet1$]"), plain),
                             columns(names, rows, plain))
            cursor = cnxn.cursor()
            cursor.execute("select [長い値] from [Sheet1$]")
            for row in rows[:3]:  # Chinese, Japanese, traditional characters, longer than a first read
                self.assertEqual(cursor.fetchone()[0], row[6])
            cursor = cnxn.cursor()
            cursor.execute("select [이름] from [Sheet1$]")
            with self.assertRaises(pyodbc.Error) as refused:
                cursor.fetchone()
            self.assertEqual(refused.exception.args[0], "22018")
            self.assertIn("cell C2 of worksheet 'Sheet1'", refused.exception.args[1])

    def test_catalog_lists_worksheets_in_workbook_order(self):
        names, _ = openpyxl_reference.sheet_table(fixture("raw_layout.xlsx"))
        with connect(UTF8, fixture("raw_layout.xlsx")) as cnxn:
            self.assertEqual([t.table_name for t in cnxn.cursor().tables(tableType="TABLE")], ["数据$", "汇总$", "Sheet1$"])
            self.assertEqual([c.column_name for c in cnxn.cursor().columns(table="Sheet1$")], names)

    def test_refusals_name_the_workbook_and_the_reason(self):
        for entry in ENTRIES:
            for name, phrase in (("bad_encrypted.xlsx", "protected with a password"), ("bad_binary.xlsb", ".xlsb")):
                with self.subTest(entry=entry, workbook=name):
                    with self.assertRaises(pyodbc.Error) as failed:
                        connect(entry, fixture(name))
                    self.assertEqual(failed.exception.args[0], "08001")
                    self.assertIn("cannot open workbook '%s'" % fixture(name), failed.exception.args[1])
                    self.assertIn(phrase, failed.exception.args[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)

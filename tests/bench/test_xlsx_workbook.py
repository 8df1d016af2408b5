#!/usr/bin/python3
"""The .xlsx benchmark workbook generator (bench/xlsx_read_tools), checked by reading what it
writes with openpyxl and by walking the package's parts: values and their types come back as
written, the used range is the one the cells fill, every part is typed and linked, the shared
strings are counted right."""
import io
import os
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.utils import get_column_letter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "xlsx_read_tools"))
import check_workbook  # noqa: E402
import make_workbook  # noqa: E402
import xlsx_package as xp  # noqa: E402

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
CT = "{http://schemas.openxmlformats.org/package/2006/content-types}"
RELS = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def one_column_book(values):
    """A package in memory: a header cell, then one row per value (numbers or text)."""
    texts = ["h"] + [v for v in values if isinstance(v, str)]
    rows, t = [(1, [(xp.TEXT, 0)])], 1
    for n, v in enumerate(values, 2):
        if isinstance(v, str):
            rows.append((n, [(xp.TEXT, t)]))
            t += 1
        else:
            rows.append((n, [(xp.NUMBER, v)]))
    out = io.BytesIO()
    xp.write_package(out, 1, len(values) + 1, rows, texts, len(texts))
    return out


def read_column(book):
    ws = openpyxl.load_workbook(book, read_only=True, data_only=True)["Sheet1"]
    return [r[0] for r in ws.iter_rows(min_row=2, values_only=True)]


class BenchmarkWorkbook(unittest.TestCase):
    ROWS = 2500

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.path = os.path.join(cls.dir.name, "bench.xlsx")
        make_workbook.write(cls.path, cls.ROWS)
        cls.zip = zipfile.ZipFile(cls.path)

    @classmethod
    def tearDownClass(cls):
        cls.zip.close()
        cls.dir.cleanup()

    def test_openpyxl_reads_every_row_and_the_used_range_as_written(self):
        self.assertEqual(check_workbook.differences(self.path, self.ROWS, self.ROWS), [])

    def test_every_part_is_typed_and_every_relationship_resolves(self):
        names = set(self.zip.namelist())
        types = ET.fromstring(self.zip.read("[Content_Types].xml"))
        defaults = {d.get("Extension") for d in types.iter(CT + "Default")}
        overrides = {o.get("PartName").lstrip("/") for o in types.iter(CT + "Override")}
        self.assertTrue(overrides <= names, overrides - names)
        untyped = [n for n in names if n not in overrides and n.rsplit(".", 1)[-1] not in defaults]
        self.assertEqual(untyped, [])
        targets = {}
        for rels, base in (("_rels/.rels", ""), ("xl/_rels/workbook.xml.rels", "xl/")):
            for r in ET.fromstring(self.zip.read(rels)).iter(RELS + "Relationship"):
                targets[r.get("Type").rsplit("/", 1)[-1]] = base + r.get("Target")
        self.assertTrue(set(targets.values()) <= names, set(targets.values()) - names)
        self.assertEqual({"officeDocument", "worksheet", "styles", "sharedStrings"} - set(targets), set())

    def test_shared_strings_are_unique_and_counted_as_the_cells_use_them(self):
        sst = ET.fromstring(self.zip.read("xl/sharedStrings.xml"))
        strings = [si.find(MAIN + "t").text for si in sst.iter(MAIN + "si")]
        used = [int(c.find(MAIN + "v").text)
                for c in ET.fromstring(self.zip.read("xl/worksheets/sheet1.xml")).iter(MAIN + "c")
                if c.get("t") == "s"]
        self.assertEqual(int(sst.get("uniqueCount")), len(strings))
        self.assertEqual(len(set(strings)), len(strings))
        self.assertEqual(int(sst.get("count")), len(used))
        self.assertEqual(set(used), set(range(len(strings))))


class PackageWriter(unittest.TestCase):
    def test_text_with_markup_characters_and_edge_spaces_reads_back_unchanged(self):
        texts = ["a<b & c>d", ' "quoted" ', "trailing  ", "两行\n文本", "'single'"]
        book = one_column_book(texts)
        self.assertEqual(read_column(book), texts)
        # Excel drops edge spaces of a <t> without xml:space="preserve"; openpyxl keeps them.
        sst = ET.fromstring(zipfile.ZipFile(book).read("xl/sharedStrings.xml"))
        preserved = [t.text for t in sst.iter(MAIN + "t")
                     if t.get("{http://www.w3.org/XML/1998/namespace}space") == "preserve"]
        self.assertEqual(preserved, [' "quoted" ', "trailing  "])

    def test_numbers_keep_their_exact_value(self):
        numbers = [0.1, 1 / 3, 2.0 ** 53, -0.5, 1e-7, 1.5e300, 123456789012.5, -7]
        self.assertEqual(read_column(one_column_book(numbers)), numbers)

    def test_rows_that_do_not_fill_the_given_range_are_refused(self):
        rows = [(1, [(xp.NUMBER, 1), (xp.NUMBER, 2)]), (2, [(xp.NUMBER, 3), None])]
        for width, last_row in ((2, 3), (3, 2), (1, 2)):
            with self.assertRaises(ValueError):
                xp.write_package(io.BytesIO(), width, last_row, iter(rows), [], 0)
        xp.write_package(io.BytesIO(), 2, 2, iter(rows), [], 0)
        # The range starts at A1: a sheet whose first cell lies elsewhere would need another.
        for late_start in ([(2, [(xp.NUMBER, 1), (xp.NUMBER, 2)])], [(1, [None, (xp.NUMBER, 2)])]):
            with self.assertRaises(ValueError):
                xp.write_package(io.BytesIO(), 2, late_start[0][0], iter(late_start), [], 0)

    def test_a_shared_string_count_that_differs_from_the_strings_is_refused(self):
        with self.assertRaises(ValueError):
            xp.write_package(io.BytesIO(), 1, 1, [(1, [(xp.TEXT, 0)])], ["a", "b"], 1)

    def test_column_letters_agree_with_openpyxl_across_the_grid(self):
        wrong = [c for c in range(1, xp.GRID_COLUMNS + 1) if xp.column_letters(c) != get_column_letter(c)]
        self.assertEqual(wrong, [])


if __name__ == "__main__":
    unittest.main()

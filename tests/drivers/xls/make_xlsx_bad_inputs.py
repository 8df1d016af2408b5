"""Bad .xlsx inputs for the driver (written by make_xlsx_fixtures.py into the fixture folder):
damaged packages, packages that are not workbooks, missing parts, malformed and hostile XML,
cell positions beyond the grid, an absurd dimension, parts that inflate to gigabytes, an
encrypted workbook and an .xlsb.
"""
import os
import random
import struct
import subprocess
import zipfile
import zlib

import xlsx_package as pkg
from xlsx_package import cell, row

GIB = 1 << 30


def good_parts(sheet_rows=None, dimension="A1:B3"):
    """A small valid workbook's parts with shared strings."""
    sst = pkg.shared_strings(["<t>Name</t>", "<t>Value</t>", "<t>x</t>"])
    rows = sheet_rows or (row(1, [cell("A1", 0, "s"), cell("B1", 1, "s")]) + row(2, [cell("A2", 2, "s"), cell("B2", 1)])
                          + row(3, [cell("A3", 2, "s"), cell("B3", 2)]))
    return pkg.workbook([("Sheet1", "xl/worksheets/sheet1.xml", pkg.worksheet(rows, dimension))], sst=sst)


def write_zip(path, files):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files:
            z.writestr(name, data)


def damaged_packages(out):
    pkg.write(os.path.join(out, "bad_base.xlsx"), good_parts())
    data = open(os.path.join(out, "bad_base.xlsx"), "rb").read()
    open(os.path.join(out, "bad_truncated_half.xlsx"), "wb").write(data[: len(data) // 2])
    open(os.path.join(out, "bad_truncated_head.xlsx"), "wb").write(data[:200])
    # A zip's end record alone: a package without a single part.
    open(os.path.join(out, "bad_empty_zip.xlsx"), "wb").write(b"PK\x05\x06" + b"\0" * 18)
    # The central directory intact, the parts' bytes overwritten by noise.
    noisy = bytearray(data)
    rnd = random.Random(77)
    end = data.rfind(b"PK\x01\x02")
    for i in range(40, end):
        noisy[i] = rnd.getrandbits(8)
    open(os.path.join(out, "bad_noise.xlsx"), "wb").write(bytes(noisy))


def not_workbooks(out):
    """A word-processing package and a zip of text files, both named .xlsx."""
    word = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
    write_zip(os.path.join(out, "bad_docx.xlsx"), [
        ("[Content_Types].xml", pkg.content_types(['<Override PartName="/word/document.xml" ContentType="%s"/>' % word])),
        ("_rels/.rels", pkg.relationships(['<Relationship Id="rId1" Type="%s" Target="word/document.xml"/>'
                                           % pkg.OFFICE_DOCUMENT])),
        ("word/document.xml", pkg.XML_HEAD + '<w:document xmlns:w="http://schemas.openxmlformats.org/'
         'wordprocessingml/2006/main"><w:body><w:p><w:r><w:t>Hello</w:t></w:r></w:p></w:body></w:document>'),
    ])
    write_zip(os.path.join(out, "bad_textzip.xlsx"), [("readme.txt", "编号,姓名\n1,张伟\n"), ("notes/a.txt", "a\n")])


def missing_parts(out):
    parts = good_parts()
    del parts["xl/worksheets/sheet1.xml"]
    pkg.write(os.path.join(out, "bad_missing_sheet.xlsx"), parts)
    parts = good_parts()
    del parts["xl/sharedStrings.xml"]
    pkg.write(os.path.join(out, "bad_missing_sst.xlsx"), parts)
    parts = good_parts()
    del parts["xl/styles.xml"]
    pkg.write(os.path.join(out, "bad_missing_styles.xlsx"), parts)


def malformed_xml(out):
    cases = {
        "bad_xml_sheet.xlsx": ("xl/worksheets/sheet1.xml", lambda x: x.replace("</sheetData>", "")),
        "bad_xml_sheet_utf8.xlsx": ("xl/worksheets/sheet1.xml", lambda x: x.encode("utf-8").replace(b"<v>1</v>",
                                                                                                   b"<v>\xff\xfe</v>")),
        "bad_xml_sst.xlsx": ("xl/sharedStrings.xml", lambda x: x.replace("<t>Value</t>", "<t>Value</x>")),
        "bad_xml_workbook.xlsx": ("xl/workbook.xml", lambda x: x.replace("<sheets>", "<sheets><sheet name=")),
    }
    for name, (part, change) in cases.items():
        parts = good_parts()
        parts[part] = change(parts[part])
        pkg.write(os.path.join(out, name), parts)


def hostile_xml(out):
    """Entity expansion (a billion laughs) and an external entity naming a file: neither may
    blow up nor bring the file's text into a value."""
    laughs = '<!DOCTYPE sst [<!ENTITY l0 "ha">' + "".join(
        '<!ENTITY l%d "%s">' % (i, ("&l%d;" % (i - 1)) * 10) for i in range(1, 10)) + "]>"
    parts = good_parts()
    parts["xl/sharedStrings.xml"] = parts["xl/sharedStrings.xml"].replace(
        "<sst ", laughs + "<sst ").replace("<t>x</t>", "<t>&l9;</t>")
    pkg.write(os.path.join(out, "bad_laughs.xlsx"), parts)
    secret = os.path.join(out, "xxe_secret.txt")
    open(secret, "w").write("SECRET-CONTENT-42\n")
    parts = good_parts()
    parts["xl/sharedStrings.xml"] = parts["xl/sharedStrings.xml"].replace(
        "<sst ", '<!DOCTYPE sst [<!ENTITY xxe SYSTEM "file://%s">]><sst ' % secret).replace("<t>x</t>", "<t>&xxe;</t>")
    pkg.write(os.path.join(out, "bad_xxe.xlsx"), parts)


def beyond_grid(out):
    """Positions past column XFD (16,384) or row 1,048,576, given by the cell or by its row."""
    head = row(1, [cell("A1", 0, "s"), cell("B1", 1, "s")])
    cases = {
        "bad_beyond_col.xlsx": head + row(2, [cell("A2", 1), cell("XFE2", 2)]),
        "bad_beyond_row.xlsx": head + row(2, [cell("A2", 1)]) + row(1048577, [cell("A1048577", 2)]),
        "bad_beyond_rowattr.xlsx": head + row(2, [cell("A2", 1)]) + row(1048577, [cell(None, 2)]),
        "bad_beyond_huge.xlsx": head + row(2, [cell("A99999999999999999999", 2)]),
    }
    for name, rows in cases.items():
        pkg.write(os.path.join(out, name), good_parts(rows, None))


def zip_bombs(out):
    """Parts that inflate far beyond any worksheet a reader should hold: 1 GiB of spaces
    inside the worksheet's XML deflated to about 1 MB, the same in the shared strings, and
    a ZIP64 entry that declares 5 GiB."""
    for name, part in [("bomb_sheet.xlsx", "xl/worksheets/sheet1.xml"), ("bomb_sst.xlsx", "xl/sharedStrings.xml")]:
        parts = good_parts()
        xml = parts.pop(part).encode("utf-8")
        cut = xml.rindex(b"</")
        with zipfile.ZipFile(os.path.join(out, name), "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
            for n, data in parts.items():
                z.writestr(n, data)
            with z.open(part, "w", force_zip64=True) as f:
                f.write(xml[:cut])
                spaces = b" " * (1 << 24)
                for _ in range(GIB // len(spaces)):
                    f.write(spaces)
                f.write(xml[cut:])
    declared_zip64(os.path.join(out, "bomb_zip64.xlsx"), good_parts(), "xl/worksheets/sheet1.xml", 5 * GIB)


def declared_zip64(path, parts, part, declared):
    """A package whose `part` is a ZIP64 entry declaring `declared` bytes (its real data is
    the small part)."""
    entries, body = [], bytearray()
    for name, data in parts.items():
        data = data.encode("utf-8") if isinstance(data, str) else data
        packed = zlib.compressobj(9, zlib.DEFLATED, -15)
        comp = packed.compress(data) + packed.flush()
        big = name == part
        size = declared if big else len(data)
        extra = struct.pack("<HHQQ", 1, 16, size, len(comp)) if big else b""
        entries.append((name.encode(), zlib.crc32(data), len(comp), size, len(body), extra))
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, 8, 0, 0x21, zlib.crc32(data),
                            0xFFFFFFFF if big else len(comp), 0xFFFFFFFF if big else size, len(name.encode()),
                            len(extra)) + name.encode() + extra + comp
    central = bytearray()
    for name, crc, csize, size, offset, extra in entries:
        big = bool(extra)
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 0, 8, 0, 0x21, crc,
                               0xFFFFFFFF if big else csize, 0xFFFFFFFF if big else size, len(name), len(extra), 0,
                               0, 0, 0, offset) + name + extra
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(body), 0)
    open(path, "wb").write(bytes(body + central + end))


def encrypted_and_binary(out, repack):
    # A password-protected workbook is a compound file holding the encrypted package.
    subprocess.check_call([repack, os.path.join(out, "bad_base.xlsx"), os.path.join(out, "bad_encrypted.xlsx"),
                           "--encrypted-package"])
    binary = "application/vnd.ms-excel.sheet.binary.macroEnabled.main"
    write_zip(os.path.join(out, "bad_binary.xlsb"), [
        ("[Content_Types].xml", pkg.content_types(['<Default Extension="bin" ContentType="%s"/>' % binary])),
        ("_rels/.rels", pkg.relationships(['<Relationship Id="rId1" Type="%s" Target="xl/workbook.bin"/>'
                                           % pkg.OFFICE_DOCUMENT])),
        ("xl/workbook.bin", bytes([0x83, 0x01, 0x00, 0x80, 0x01, 0x00, 0x84, 0x01, 0x00])),
        ("xl/worksheets/sheet1.bin", bytes([0x81, 0x01, 0x00, 0x82, 0x01, 0x00])),
    ])


def write_all(out, repack):
    damaged_packages(out)
    not_workbooks(out)
    missing_parts(out)
    malformed_xml(out)
    hostile_xml(out)
    beyond_grid(out)
    zip_bombs(out)
    encrypted_and_binary(out, repack)

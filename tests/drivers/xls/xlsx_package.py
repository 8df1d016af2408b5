"""Writes .xlsx packages part by part, for the workbooks no writer makes: phonetic runs,
inline strings, Chinese-locale built-in formats without a numFmt, worksheet parts under
other names, rows and cells without positions, wrong dimensions, damaged parts.

A workbook is a dict of part name -> bytes or str (str is written as UTF-8); `workbook()`
builds the usual parts around the worksheets' XML, and callers change or drop parts before
`write()`.
"""
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
XLSX_MAIN = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"
XLSM_MAIN = "application/vnd.ms-excel.sheet.macroEnabled.main+xml"
WORKSHEET = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
SHARED_STRINGS = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"
STYLES = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"
OFFICE_DOCUMENT = REL + "/officeDocument"
XML_HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

# Minimal styles: cell format 0 is General; `number_formats` adds one cell format per
# numFmtId (s="1", s="2", ... in that order), `custom` gives codes to ids from 164 up.
def styles(number_formats=(), custom=None):
    custom = custom or {}
    fmts = "".join('<numFmt numFmtId="%d" formatCode="%s"/>' % (i, code.replace('"', "&quot;"))
                   for i, code in custom.items())
    xfs = "".join('<xf numFmtId="%d" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>' % i
                  for i in number_formats)
    return (XML_HEAD + '<styleSheet xmlns="%s">' % MAIN
            + ('<numFmts count="%d">%s</numFmts>' % (len(custom), fmts) if custom else "")
            + '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
            '<fills count="1"><fill><patternFill patternType="none"/></fill></fills>'
            '<borders count="1"><border/></borders>'
            '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
            '<cellXfs count="%d"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>%s</cellXfs>'
            '</styleSheet>' % (1 + len(number_formats), xfs))


def worksheet(sheet_data, dimension=None):
    """A worksheet part around the rows' XML (the content of <sheetData>)."""
    dim = '<dimension ref="%s"/>' % dimension if dimension else ""
    return XML_HEAD + '<worksheet xmlns="%s" xmlns:r="%s">%s<sheetData>%s</sheetData></worksheet>' % (
        MAIN, REL, dim, sheet_data)


def shared_strings(items):
    """The shared-string table from the XML of each <si> item's content."""
    return XML_HEAD + '<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>' % (
        MAIN, len(items), len(items), "".join("<si>%s</si>" % i for i in items))


def workbook(sheets, sst=None, style=None, date1904=None, main_type=XLSX_MAIN, absolute_targets=False):
    """The parts of a workbook. `sheets` lists (name, part name, worksheet XML) in the
    workbook's order; relationship ids are given in reverse order so that they do not follow
    the sheets' positions."""
    parts = {}
    overrides = ['<Override PartName="/xl/workbook.xml" ContentType="%s"/>' % main_type]
    rels, entries = [], []
    for i, (name, part, xml) in enumerate(sheets):
        rid = "rId%d" % (len(sheets) - i + 2)
        target = "/" + part if absolute_targets else part[len("xl/"):]
        rels.append('<Relationship Id="%s" Type="%s/worksheet" Target="%s"/>' % (rid, REL, target))
        entries.append('<sheet name="%s" sheetId="%d" r:id="%s"/>' % (name, i + 1, rid))
        overrides.append('<Override PartName="/%s" ContentType="%s"/>' % (part, WORKSHEET))
        parts[part] = xml
    if sst is not None:
        parts["xl/sharedStrings.xml"] = sst
        rels.append('<Relationship Id="rId1" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % REL)
        overrides.append('<Override PartName="/xl/sharedStrings.xml" ContentType="%s"/>' % SHARED_STRINGS)
    parts["xl/styles.xml"] = style or styles()
    rels.append('<Relationship Id="rId2" Type="%s/styles" Target="styles.xml"/>' % REL)
    overrides.append('<Override PartName="/xl/styles.xml" ContentType="%s"/>' % STYLES)
    props = '<workbookPr date1904="%s"/>' % date1904 if date1904 else ""
    parts["xl/workbook.xml"] = (XML_HEAD + '<workbook xmlns="%s" xmlns:r="%s">%s<sheets>%s</sheets></workbook>'
                                % (MAIN, REL, props, "".join(entries)))
    parts["xl/_rels/workbook.xml.rels"] = relationships(rels)
    parts["_rels/.rels"] = relationships(
        ['<Relationship Id="rId1" Type="%s" Target="xl/workbook.xml"/>' % OFFICE_DOCUMENT])
    parts["[Content_Types].xml"] = content_types(overrides)
    return parts


def relationships(items):
    return XML_HEAD + '<Relationships xmlns="%s">%s</Relationships>' % (PKG_REL, "".join(items))


def content_types(overrides):
    return (XML_HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>%s</Types>' % "".join(overrides))


def write(path, parts, compression=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w", compression) as z:
        # The content types first, as packages usually begin.
        for name in sorted(parts, key=lambda n: n != "[Content_Types].xml"):
            data = parts[name]
            z.writestr(name, data.encode("utf-8") if isinstance(data, str) else data)


def cell(ref, value, t=None, s=None, formula=None):
    """A <c> element; `ref` None leaves the position out."""
    attrs = "".join(' %s="%s"' % (k, v) for k, v in (("r", ref), ("s", s), ("t", t)) if v is not None)
    f = "<f>%s</f>" % formula if formula is not None else ""
    v = "<v>%s</v>" % value if value is not None else ""
    return "<c%s>%s%s</c>" % (attrs, f, v)


def row(r, cells):
    return '<row%s>%s</row>' % (' r="%d"' % r if r is not None else "", "".join(cells))

"""Writes a one-sheet .xlsx package laid out as Excel lays it out: the parts in Excel's order
([Content_Types].xml, _rels/.rels, xl/workbook.xml and its relationships, the worksheet,
styles, shared strings, document properties), the worksheet's cells referring to shared
strings by index and to the date style by its cellXfs index, and a <dimension> naming the
used range. Rows and shared strings are streamed into the zip so that a workbook of the full
1,048,576-row grid is written without holding it in memory.

Cells are (kind, value) pairs, one per column from A: NUMBER with an int or float, TEXT with
the index of a shared string, DATE with an Excel serial day number (1900 date system); None
leaves the position empty."""
import zipfile
from xml.sax.saxutils import escape

NUMBER, TEXT, DATE = range(3)
# Index in cellXfs of the style whose number format is the date format below.
DATE_STYLE = 1
DATE_FORMAT = r"yyyy\-mm\-dd"  # as Excel stores a yyyy-mm-dd format typed in a cell
GRID_ROWS = 1048576
GRID_COLUMNS = 16384

_DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
_MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
_PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
_CT = "application/vnd.openxmlformats-officedocument."

CONTENT_TYPES = (
    _DECL + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="' + _CT + 'spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="' + _CT + 'spreadsheetml.worksheet+xml"/>'
    '<Override PartName="/xl/styles.xml" ContentType="' + _CT + 'spreadsheetml.styles+xml"/>'
    '<Override PartName="/xl/sharedStrings.xml" ContentType="' + _CT + 'spreadsheetml.sharedStrings+xml"/>'
    '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
    '<Override PartName="/docProps/app.xml" ContentType="' + _CT + 'extended-properties+xml"/>'
    "</Types>")

PACKAGE_RELS = (
    _DECL + '<Relationships xmlns="' + _PKG_REL + '">'
    '<Relationship Id="rId3" Type="' + _REL + '/extended-properties" Target="docProps/app.xml"/>'
    '<Relationship Id="rId2" Type="' + _PKG_REL + '/metadata/core-properties" Target="docProps/core.xml"/>'
    '<Relationship Id="rId1" Type="' + _REL + '/officeDocument" Target="xl/workbook.xml"/>'
    "</Relationships>")

WORKBOOK = (
    _DECL + '<workbook xmlns="' + _MAIN + '" xmlns:r="' + _REL + '">'
    '<fileVersion appName="xl" lastEdited="7" lowestEdited="7" rupBuild="22228"/>'
    '<workbookPr defaultThemeVersion="166925"/>'
    '<bookViews><workbookView xWindow="0" yWindow="0" windowWidth="28800" windowHeight="12300"/></bookViews>'
    '<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets>'
    '<calcPr calcId="191029"/></workbook>')

WORKBOOK_RELS = (
    _DECL + '<Relationships xmlns="' + _PKG_REL + '">'
    '<Relationship Id="rId3" Type="' + _REL + '/sharedStrings" Target="sharedStrings.xml"/>'
    '<Relationship Id="rId2" Type="' + _REL + '/styles" Target="styles.xml"/>'
    '<Relationship Id="rId1" Type="' + _REL + '/worksheet" Target="worksheets/sheet1.xml"/>'
    "</Relationships>")

STYLES = (
    _DECL + '<styleSheet xmlns="' + _MAIN + '">'
    '<numFmts count="1"><numFmt numFmtId="164" formatCode="' + escape(DATE_FORMAT, {'"': "&quot;"}) + '"/></numFmts>'
    '<fonts count="1"><font><sz val="11"/><color theme="1"/><name val="Calibri"/><family val="2"/>'
    '<scheme val="minor"/></font></fonts>'
    '<fills count="2"><fill><patternFill patternType="none"/></fill>'
    '<fill><patternFill patternType="gray125"/></fill></fills>'
    '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
    '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
    '<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
    '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>'
    '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>'
    '<dxfs count="0"/>'
    '<tableStyles count="0" defaultTableStyle="TableStyleMedium2" defaultPivotStyle="PivotStyleLight16"/>'
    "</styleSheet>")

CORE = (
    _DECL + '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties"'
    ' xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/"'
    ' xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
    '<dcterms:created xsi:type="dcterms:W3CDTF">2024-01-01T00:00:00Z</dcterms:created>'
    '<dcterms:modified xsi:type="dcterms:W3CDTF">2024-01-01T00:00:00Z</dcterms:modified>'
    "</cp:coreProperties>")

APP = (
    _DECL + '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"'
    ' xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">'
    "<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
    '<TitlesOfParts><vt:vector size="1" baseType="lpstr"><vt:lpstr>Sheet1</vt:lpstr></vt:vector></TitlesOfParts>'
    "<AppVersion>16.0300</AppVersion></Properties>")

SHEET_HEAD = (
    _DECL + '<worksheet xmlns="' + _MAIN + '" xmlns:r="' + _REL + '"'
    ' xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="x14ac"'
    ' xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">'
    '<dimension ref="{dimension}"/>'
    '<sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews>'
    '<sheetFormatPr defaultRowHeight="15" x14ac:dyDescent="0.25"/><sheetData>')
SHEET_TAIL = ('</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3"'
              ' footer="0.3"/></worksheet>')


def column_letters(column):
    """The letters of a 1-based column number: 1 -> A, 27 -> AA."""
    letters = ""
    while column:
        column, rest = divmod(column - 1, 26)
        letters = chr(65 + rest) + letters
    return letters


def number_text(value):
    """A number as Excel writes it in <v>: integers without a decimal point, other numbers
    in their shortest round-trip form."""
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return repr(value)


def _text_xml(text):
    # Leading or trailing spaces survive only with xml:space="preserve".
    space = ' xml:space="preserve"' if text != text.strip() else ""
    return "<si><t%s>%s</t></si>" % (space, escape(text))


class SheetRows:
    """Turns cells into the <row> elements of the worksheet, keeping the first and last row
    and column that hold a cell and the number of shared-string references."""

    def __init__(self, width):
        self.letters = [column_letters(c + 1) for c in range(width)]
        self.spans = "1:%d" % width
        self.first_row = self.first_col = None
        self.last_row = 0
        self.last_col = 0
        self.text_cells = 0

    def row(self, number, cells):
        if len(cells) > len(self.letters):
            raise ValueError("row %d has %d cells, the range %d columns" % (number, len(cells), len(self.letters)))
        parts = ['<row r="%d" spans="%s" x14ac:dyDescent="0.25">' % (number, self.spans)]
        for col, (letter, cell) in enumerate(zip(self.letters, cells), 1):
            if cell is None:
                continue
            kind, value = cell
            if kind == TEXT:
                parts.append('<c r="%s%d" t="s"><v>%d</v></c>' % (letter, number, value))
                self.text_cells += 1
            elif kind == DATE:
                parts.append('<c r="%s%d" s="%d"><v>%d</v></c>' % (letter, number, DATE_STYLE, value))
            else:
                parts.append('<c r="%s%d"><v>%s</v></c>' % (letter, number, number_text(value)))
            if self.first_row is None:
                self.first_row = number
            self.first_col = min(self.first_col or col, col)
            self.last_row = number
            self.last_col = max(self.last_col, col)
        parts.append("</row>")
        return "".join(parts)


def _stream(zf, name, chunks, batch=2000):
    """Writes a part from an iterable of text pieces, in batches to keep writes few."""
    with zf.open(name, "w") as out:
        pending = []
        for chunk in chunks:
            pending.append(chunk)
            if len(pending) == batch:
                out.write("".join(pending).encode("utf-8"))
                pending.clear()
        out.write("".join(pending).encode("utf-8"))


def write_package(path, width, last_row, rows, strings, unique_strings):
    """Writes the package to `path`.

    rows: iterable of (row number, cells), in ascending order, starting with a cell in A1
    and filling the used range A1 to column `width`, row `last_row` (the <dimension> comes
    before the cells, so the range is given; a mismatch raises ValueError);
    strings: iterable of the shared strings in index order, `unique_strings` of them."""
    if not 1 <= last_row <= GRID_ROWS or not 1 <= width <= GRID_COLUMNS:
        raise ValueError("the used range does not fit the grid")
    dimension = "A1:%s%d" % (column_letters(width), last_row)
    sheet = SheetRows(width)

    def sheet_parts():
        yield SHEET_HEAD.format(dimension=dimension)
        for number, cells in rows:
            yield sheet.row(number, cells)
        yield SHEET_TAIL

    written = 0

    def string_parts():
        nonlocal written
        yield _DECL + '<sst xmlns="%s" count="%d" uniqueCount="%d">' % (_MAIN, sheet.text_cells, unique_strings)
        for text in strings:
            written += 1
            yield _text_xml(text)
        yield "</sst>"

    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as zf:
        zf.writestr("[Content_Types].xml", CONTENT_TYPES)
        zf.writestr("_rels/.rels", PACKAGE_RELS)
        zf.writestr("xl/workbook.xml", WORKBOOK)
        zf.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS)
        _stream(zf, "xl/worksheets/sheet1.xml", sheet_parts())
        zf.writestr("xl/styles.xml", STYLES)
        # After the worksheet, as Excel places it: its reference count is known by then.
        _stream(zf, "xl/sharedStrings.xml", string_parts())
        zf.writestr("docProps/core.xml", CORE)
        zf.writestr("docProps/app.xml", APP)
    if (sheet.first_row, sheet.first_col, sheet.last_row, sheet.last_col) != (1, 1, last_row, width):
        raise ValueError("the cells fill rows %s to %d, columns %s to %d; the dimension says %s"
                         % (sheet.first_row, sheet.last_row, sheet.first_col, sheet.last_col, dimension))
    if written != unique_strings:
        raise ValueError("%d shared strings written, uniqueCount says %d" % (written, unique_strings))

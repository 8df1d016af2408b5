"""Reference values of a worksheet, read with python3-xlrd (an implementation independent of
the driver), written as the text the driver must deliver:

    line 1: the column names; then one line per row; fields separated by TAB;
    NULL as \\N; backslash, TAB, CR and LF escaped as \\\\, \\t, \\r, \\n.

Rules (those of the driver's contract): integers without decimals, other numbers in their
shortest exact form in positional notation, a date cell by its value whatever its date or
time format (below 1 a time hh:mm:ss, a whole number a date yyyy-mm-dd, else both),
booleans 1/0, errors and empty cells NULL; the first row names the columns (F<n> for
an empty one, names cut to 64 characters, repeated names made unique with a number that
stays within the 64); rows run to the last row holding a value.
"""
import decimal

import xlrd


def number_text(v):
    if v == int(v) and abs(v) < 1e300:
        return str(int(v))
    return format(decimal.Decimal(repr(v)), "f")


def date_text(v, datemode):
    y, mo, d, h, mi, s = xlrd.xldate_as_tuple(v, datemode)
    if v < 1:
        return "%02d:%02d:%02d" % (h, mi, s)
    date = "%04d-%02d-%02d" % (y, mo, d)
    if v == int(v):
        return date
    return "%s %02d:%02d:%02d" % (date, h, mi, s)


def cell_text(cell, datemode):
    t = cell.ctype
    if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK, xlrd.XL_CELL_ERROR):
        return None
    if t == xlrd.XL_CELL_TEXT:
        return cell.value if cell.value != "" else None
    if t == xlrd.XL_CELL_NUMBER:
        return number_text(cell.value)
    if t == xlrd.XL_CELL_DATE:
        return date_text(cell.value, datemode)
    if t == xlrd.XL_CELL_BOOLEAN:
        return "1" if cell.value else "0"
    raise ValueError("cell type %r" % t)


MAX_NAME = 64  # characters of a column name; longer header texts are cut


def unique_names(names):
    names = [n[:MAX_NAME] for n in names]
    originals = {n.lower() for n in names}

    def with_suffix(n, k):
        return n[:MAX_NAME - len(str(k))] + str(k)

    used, out = set(), []
    for n in names:
        cand = n
        if cand.lower() in used:
            k = 1
            while with_suffix(n, k).lower() in used or with_suffix(n, k).lower() in originals:
                k += 1
            cand = with_suffix(n, k)
        used.add(cand.lower())
        out.append(cand)
    return out


def sheet_table(path, sheet_name="Sheet1"):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_name(sheet_name)
    grid = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            text = cell_text(sheet.cell(r, c), book.datemode)
            if text is not None:
                grid[(r, c)] = text
    if not grid:
        return [], []
    r0 = min(r for r, _ in grid)
    r1 = max(r for r, _ in grid)
    c0 = min(c for _, c in grid)
    c1 = max(c for _, c in grid)
    names = unique_names([grid.get((r0, c)) or "F%d" % (c - c0 + 1) for c in range(c0, c1 + 1)])
    rows = [[grid.get((r, c)) for c in range(c0, c1 + 1)] for r in range(r0 + 1, r1 + 1)]
    return names, rows


def escape(v):
    if v is None:
        return "\\N"
    return v.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")


def write_expected(path, out_path, sheet_name="Sheet1"):
    names, rows = sheet_table(path, sheet_name)
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\t".join(escape(n) for n in names) + "\n")
        for row in rows:
            f.write("\t".join(escape(v) for v in row) + "\n")

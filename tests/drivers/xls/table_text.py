"""The table the driver must deliver for a worksheet, from the cells any reference reader
found, and the .expected file that holds it:

    line 1: the column names; then one line per row; fields separated by TAB;
    NULL as \\N; backslash, TAB, CR and LF escaped as \\\\, \\t, \\r, \\n.

Rules (those of the driver's contract, whatever the file format): integers without
decimals, other numbers in their shortest exact form in positional notation; the first row
of the used range (first to last row and column holding a value) names the columns (F<n>
for an empty one, names cut to 64 characters, repeated names made unique with a number that
stays within the 64).
"""
import decimal

MAX_NAME = 64  # characters of a column name; longer header texts are cut


def number_text(v):
    if v == int(v):  # every digit of a whole number, however large
        return str(int(v))
    return format(decimal.Decimal(repr(v)), "f")


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


def table(grid):
    """Column names and rows from {(row, column): text} holding the cells that have a value."""
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


def write_table(names, rows, out_path):
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\t".join(escape(n) for n in names) + "\n")
        for row in rows:
            f.write("\t".join(escape(v) for v in row) + "\n")

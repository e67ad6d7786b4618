"""Checks that an Excel 97 workbook holds the cell values of the spreadsheet
it was converted from, reading both with readers of their own: xlrd for the
workbook, the spreadsheet's content.xml for the source (OpenDocument and
StarOffice alike).

usage: compare_sheets.py SOURCE WORKBOOK
Prints one line per sheet and per difference; exits 1 on any difference or
when the workbook is no BIFF8 file.
"""
import sys
import xml.etree.ElementTree as ET
import zipfile

import xlrd

MAX_ROWS, MAX_COLUMNS = 200, 60


def local(tag):
    return tag.rsplit("}", 1)[-1]


def attribute(element, name):
    for key, value in element.attrib.items():
        if local(key) == name:
            return value
    return None


def paragraph_text(element):
    parts = [element.text or ""]
    for child in element:
        name = local(child.tag)
        if name == "s":
            parts.append(" " * int(attribute(child, "c") or 1))
        elif name == "tab":
            parts.append("\t")
        elif name == "line-break":
            parts.append("\n")
        else:
            parts.append(paragraph_text(child))
        parts.append(child.tail or "")
    return "".join(parts)


def text_of(cell):
    return "\n".join(paragraph_text(child) for child in cell if local(child.tag) == "p")


def source_sheets(path):
    with zipfile.ZipFile(path) as archive:
        root = ET.fromstring(archive.read("content.xml"))
    sheets = []
    for table in root.iter():
        if local(table.tag) != "table":
            continue
        cells = {}
        row_index = 0
        for row in table.iter():
            if local(row.tag) != "table-row" or row_index >= MAX_ROWS:
                continue
            repeat_rows = min(int(attribute(row, "number-rows-repeated") or 1), MAX_ROWS)
            column = 0
            for cell in row:
                if local(cell.tag) not in ("table-cell", "covered-table-cell"):
                    continue
                repeat = min(int(attribute(cell, "number-columns-repeated") or 1), MAX_COLUMNS)
                kind = attribute(cell, "value-type")
                value = None
                if kind in ("float", "percentage", "currency"):
                    value = ("number", float(attribute(cell, "value")))
                elif attribute(cell, "formula") is not None:
                    value = None  # a formula's text result is the suite's to export as it sees fit
                elif kind == "string" or (kind is None and text_of(cell)):
                    value = ("text", text_of(cell))
                if value and local(cell.tag) == "table-cell":
                    for r in range(repeat_rows):
                        for c in range(repeat):
                            if column + c < MAX_COLUMNS:
                                cells[(row_index + r, column + c)] = value
                column += repeat
            row_index += repeat_rows
        sheets.append((attribute(table, "name"), cells))
    return sheets


def main():
    source, workbook = sys.argv[1], sys.argv[2]
    book = xlrd.open_workbook(workbook)
    if book.biff_version != 80:
        print("not BIFF8: version %s" % book.biff_version)
        return 1
    differences = 0
    for index, (name, cells) in enumerate(source_sheets(source)):
        if index >= book.nsheets:
            print("sheet %s missing" % name)
            differences += 1
            continue
        sheet = book.sheet_by_index(index)
        compared = 0
        for (r, c), (kind, value) in sorted(cells.items()):
            got = sheet.cell_value(r, c) if r < sheet.nrows and c < sheet.ncols else None
            if kind == "number":
                ok = isinstance(got, float) and abs(got - value) <= 1e-9 * max(1.0, abs(value))
            else:
                ok = got == value
            compared += 1
            if not ok:
                differences += 1
                print("sheet %s cell (%d,%d): source %r, workbook %r" % (name, r, c, value, got))
        print("sheet %s: %d cells compared" % (name, compared))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())

"""Checks that an Excel 97 workbook holds the cell values of the spreadsheet
it was converted from, reading both with readers of their own: xlrd for the
workbook, as stored, and the spreadsheet's content.xml for the source
(OpenDocument and StarOffice alike). Formulas count by the results the
spreadsheet saved: numbers, texts, truth values and dates.

usage: compare_sheets.py SOURCE WORKBOOK
Prints one line per sheet and per difference; exits 1 on any difference or
when the workbook is no BIFF8 file.
"""
import datetime
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
                elif kind == "boolean":
                    value = ("truth", attribute(cell, "boolean-value") == "true")
                elif kind == "date":
                    value = ("date", datetime.datetime.fromisoformat(attribute(cell, "date-value")[:19]))
                elif kind == "string" and attribute(cell, "string-value") is not None:
                    value = ("text", attribute(cell, "string-value"))
                elif kind == "string" or (kind is None and text_of(cell) and attribute(cell, "formula") is None):
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


def Day(serial, datemode):
    """The moment a workbook's date number stands for, to the second; None when it stands for none."""
    try:
        return xlrd.xldate.xldate_as_datetime(round(serial * 86400) / 86400, datemode)
    except (ValueError, OverflowError, xlrd.xldate.XLDateError):
        return None


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
            read = sheet.cell(r, c) if r < sheet.nrows and c < sheet.ncols else xlrd.sheet.Cell(xlrd.XL_CELL_EMPTY, None)
            got = read.value
            if kind == "number":
                ok = isinstance(got, float) and abs(got - value) <= 1e-9 * max(1.0, abs(value))
            elif kind == "truth":
                # The export writes a comparison's truth value as the number 0 or 1, as
                # it does for a comparison entered in the office; a logical function's
                # as a truth value.
                ok = read.ctype in (xlrd.XL_CELL_BOOLEAN, xlrd.XL_CELL_NUMBER) and got == int(value)
            elif kind == "date":
                ok = read.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE) and Day(got, book.datemode) == value
                got = Day(got, book.datemode) if ok or read.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE) else got
            else:
                ok = read.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY) and (got or "") == value
            compared += 1
            if not ok:
                differences += 1
                print("sheet %s cell (%d,%d): source %r, workbook %r" % (name, r, c, value, got))
        print("sheet %s: %d cells compared" % (name, compared))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())

"""Prints the cells of an Excel 97 workbook as JSON, read with xlrd.

Usage: read_xls.py WORKBOOK
Output: [{"name": sheet name, "rows": [[cell, ...], ...]}, ...] where a cell is
[kind, value]; kind is xlrd's: empty, text, number, date, boolean, error, blank.
Dates are given as [year, month, day, hour, minute, second].
"""
import json
import sys

import xlrd

KINDS = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error",
         xlrd.XL_CELL_BLANK: "blank"}


def cell(book, c):
    if c.ctype == xlrd.XL_CELL_DATE:
        return ["date", list(xlrd.xldate_as_tuple(c.value, book.datemode))]
    if c.ctype == xlrd.XL_CELL_BOOLEAN:
        return ["boolean", bool(c.value)]
    return [KINDS[c.ctype], c.value]


book = xlrd.open_workbook(sys.argv[1])
json.dump([{"name": s.name, "rows": [[cell(book, c) for c in s.row(r)] for r in range(s.nrows)]}
           for s in book.sheets()], sys.stdout)

"""Prints the shape of an Excel 97 workbook as JSON, read with xlrd: for each
sheet its name, its rows and columns, and the length of its longest text.

usage: xls_shape.py WORKBOOK
"""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1])
shape = []
for sheet in book.sheets():
    longest = 0
    for r in range(sheet.nrows):
        for value in sheet.row_values(r):
            if isinstance(value, str):
                longest = max(longest, len(value))
    shape.append({"name": sheet.name, "rows": sheet.nrows, "columns": sheet.ncols, "longestText": longest})
json.dump(shape, sys.stdout)

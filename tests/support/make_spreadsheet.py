#!/usr/bin/env python3
"""Writes one OpenDocument spreadsheet (.ods) from a description of its sheets,
for tests and benchmarks that need sheets of a given size or shape.

usage: make_spreadsheet.py OUTPUT.ods SHEETS_JSON

SHEETS_JSON is a list of sheets, each an object with:
  name      the sheet's name
  rows, columns
            a block of numbers from A1 (default none)
  cells     [[row, column, value], ...] with rows and columns counted from 1;
            a value is a number, a text, {"text": LENGTH} for a text of
            that many characters, {"date": "YYYY-MM-DD"} for a date shown
            as one, {"formula": "of:=...", "saved": RESULT} for a
            formula with the result that a file saved for it (a number or
            a text; "" when not given), or {"valid-if": "of:..."} for an
            empty cell with a validity check of that condition
  conditions
            [[range, [kind, ...]], ...]: conditional formats, each on a
            range such as "A1:A9" with entries of kind "condition" (value
            above 1), "far-condition" (value above that of IW1),
            "color-scale" or "data-bar"
  scenario  true for a scenario sheet (Calc keeps it after the sheet before)
  password  the password that protects the sheet ("" protects it without one)
  link      the address of a file whose values the sheet copies
  images    [address, ...]: pictures on the sheet, each linked to the file at
            that address, or "embedded" for a small picture kept inside the file

Empty stretches are written as repeated rows and cells, so a cell at IV65536
costs no more than one at B2.
"""
import base64
import hashlib
import json
import struct
import sys
import zipfile
import zlib
from xml.sax.saxutils import escape, quoteattr

NAMESPACES = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
              'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
              'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
              'xmlns:xlink="http://www.w3.org/1999/xlink" '
              'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" '
              'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
              'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
              'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
              'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
              'xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"')
# A cell style that shows a date, for date cells.
DATE_STYLES = ('<office:automatic-styles><number:date-style style:name="N1"><number:year number:style="long"/>'
               '<number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text>'
               '<number:day number:style="long"/></number:date-style>'
               '<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>'
               '</office:automatic-styles>')
EMBEDDED_PICTURE = "Pictures/embedded.png"
MIME = "application/vnd.oasis.opendocument.spreadsheet"


def text_of(length):
    words = "Quillmere keeps every word. "
    return (words * (length // len(words) + 1))[:length]


# The validity checks of the document being written, each with its sheet.
VALIDATIONS = []
SHEET = [""]


def cell(value):
    if isinstance(value, dict) and "valid-if" in value:
        VALIDATIONS.append((value["valid-if"], SHEET[0]))
        return '<table:table-cell table:content-validation-name="check%d"/>' % len(VALIDATIONS)
    if isinstance(value, dict) and "formula" in value:
        if "saved" not in value:
            return ('<table:table-cell table:formula=%s office:value-type="string" office:string-value=""/>'
                    % quoteattr(value["formula"]))
        # As shown, too: the office takes a result with nothing shown for one to work out again.
        saved = value["saved"]
        kind = 'office:value-type="float" office:value="%s"' % saved if isinstance(saved, (int, float)) else \
            'office:value-type="string" office:string-value=%s' % quoteattr(saved)
        return ('<table:table-cell table:formula=%s %s><text:p>%s</text:p></table:table-cell>'
                % (quoteattr(value["formula"]), kind, escape(str(saved))))
    if isinstance(value, dict) and "date" in value:
        return ('<table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="%s"/>'
                % value["date"])
    if isinstance(value, dict):
        value = text_of(value["text"])
    if isinstance(value, (int, float)):
        return '<table:table-cell office:value-type="float" office:value="%s"/>' % value
    return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % escape(value)


def gap(kind, count):
    if count == 0:
        return ""
    if kind == "row":
        return '<table:table-row table:number-rows-repeated="%d"><table:table-cell/></table:table-row>' % count
    return '<table:table-cell table:number-columns-repeated="%d"/>' % count


def table(sheet):
    SHEET[0] = sheet["name"]
    grid = {}
    for r in range(sheet.get("rows", 0)):
        grid[r + 1] = {c + 1: r * sheet.get("columns", 0) + c for c in range(sheet.get("columns", 0))}
    for row, column, value in sheet.get("cells", []):
        grid.setdefault(row, {})[column] = value
    protection = ""
    if "password" in sheet:
        protection = ' table:protected="true"'
        if sheet["password"]:
            # As Calc keeps it: a SHA-256 digest of the password.
            protection += (' table:protection-key="%s" table:protection-key-digest-algorithm='
                           '"http://www.w3.org/2000/09/xmldsig#sha256"'
                           % base64.b64encode(hashlib.sha256(sheet["password"].encode()).digest()).decode())
    parts = ["<table:table table:name=%s%s>" % (quoteattr(sheet["name"]), protection)]
    if sheet.get("scenario"):
        parts.append('<table:scenario table:display-border="true" table:border-color="#c0c0c0" '
                     'table:copy-back="true" table:copy-styles="true" table:copy-formulas="true" '
                     'table:is-active="true" table:scenario-ranges="%s.A1:%s.B2"/>' % (sheet["name"], sheet["name"]))
    if sheet.get("link"):
        parts.append('<table:table-source xlink:type="simple" xlink:href=%s table:mode="copy-results-only"/>'
                     % quoteattr(sheet["link"]))
    if sheet.get("images"):
        parts.append("<table:shapes>")
        for number, address in enumerate(sheet["images"]):
            href = EMBEDDED_PICTURE if address == "embedded" else address
            parts.append('<draw:frame draw:name="Picture %d" svg:width="2cm" svg:height="2cm" svg:x="%dcm" '
                         'svg:y="1cm"><draw:image xlink:href=%s xlink:type="simple" xlink:show="embed" '
                         'xlink:actuate="onLoad"/></draw:frame>' % (number + 1, 1 + 3 * number, quoteattr(href)))
        parts.append("</table:shapes>")
    last_row = 0
    for row in sorted(grid):
        parts.append(gap("row", row - last_row - 1))
        last_column = 0
        cells = []
        for column in sorted(grid[row]):
            cells.append(gap("cell", column - last_column - 1) + cell(grid[row][column]))
            last_column = column
        parts.append("<table:table-row>%s</table:table-row>" % "".join(cells))
        last_row = row
    if not grid:
        parts.append("<table:table-row><table:table-cell/></table:table-row>")
    if sheet.get("conditions"):
        parts.append(conditions(sheet["name"], sheet["conditions"]))
    parts.append("</table:table>")
    return "".join(parts)


def conditions(sheet, formats):
    entries = {
        "condition": '<calcext:condition calcext:apply-style-name="Default" calcext:value="&gt;1" '
                     'calcext:base-cell-address="%s.A1"/>' % sheet,
        "far-condition": '<calcext:condition calcext:apply-style-name="Default" calcext:value="&gt;$%s.IW1" '
                         'calcext:base-cell-address="%s.A1"/>' % (sheet, sheet),
        "color-scale": '<calcext:color-scale><calcext:color-scale-entry calcext:value="0" calcext:type="minimum" '
                       'calcext:color="#ff0000"/><calcext:color-scale-entry calcext:value="0" '
                       'calcext:type="maximum" calcext:color="#00ff00"/></calcext:color-scale>',
        "data-bar": '<calcext:data-bar calcext:positive-color="#0000ff"><calcext:formatting-entry calcext:value="0" '
                    'calcext:type="auto-minimum"/><calcext:formatting-entry calcext:value="0" '
                    'calcext:type="auto-maximum"/></calcext:data-bar>',
    }
    parts = ["<calcext:conditional-formats>"]
    for cells, kinds in formats:
        first, _, last = cells.partition(":")
        parts.append('<calcext:conditional-format calcext:target-range-address="%s.%s:%s.%s">%s'
                     "</calcext:conditional-format>"
                     % (sheet, first, sheet, last or first, "".join(entries[kind] for kind in kinds)))
    parts.append("</calcext:conditional-formats>")
    return "".join(parts)


def png(width, height):
    """A plain red picture."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\xff\0\0" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def write(path, sheets):
    embedded = any(image == "embedded" for sheet in sheets for image in sheet.get("images", []))
    VALIDATIONS.clear()
    tables = "".join(table(sheet) for sheet in sheets)
    checks = "".join('<table:content-validation table:name="check%d" table:condition=%s '
                     'table:base-cell-address=%s/>' % (n + 1, quoteattr(condition), quoteattr(name + ".A1"))
                     for n, (condition, name) in enumerate(VALIDATIONS))
    if checks:
        checks = "<table:content-validations>%s</table:content-validations>" % checks
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content %s office:version="1.2">'
               "%s<office:body><office:spreadsheet>%s%s</office:spreadsheet></office:body></office:document-content>"
               % (NAMESPACES, DATE_STYLES, checks, tables))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n<manifest:manifest '
                'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
                '<manifest:file-entry manifest:media-type="%s" manifest:full-path="/"/>'
                '<manifest:file-entry manifest:media-type="text/xml" manifest:full-path="content.xml"/>'
                '%s</manifest:manifest>'
                % (MIME, '<manifest:file-entry manifest:media-type="image/png" manifest:full-path="%s"/>'
                   % EMBEDDED_PICTURE if embedded else ""))
    with zipfile.ZipFile(path, "w") as archive:
        # The media type comes first and uncompressed, as readers look for it there.
        archive.writestr(zipfile.ZipInfo("mimetype"), MIME, compress_type=zipfile.ZIP_STORED)
        archive.writestr("content.xml", content, compress_type=zipfile.ZIP_DEFLATED)
        archive.writestr("META-INF/manifest.xml", manifest, compress_type=zipfile.ZIP_DEFLATED)
        if embedded:
            archive.writestr(EMBEDDED_PICTURE, png(16, 16))


if __name__ == "__main__":
    write(sys.argv[1], json.loads(sys.argv[2]))

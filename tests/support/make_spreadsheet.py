#!/usr/bin/env python3
"""Writes one OpenDocument spreadsheet (.ods) from a description of its sheets,
for tests and benchmarks that need sheets of a given size or shape.

usage: make_spreadsheet.py OUTPUT.ods JSON

JSON is the list of sheets, or an object with that list as "sheets" and any
of the document's options below (write() takes them as keywords).

Each sheet is an object with:
  name      the sheet's name
  rows, columns
            a block of numbers from A1 (default none)
  cells     [[row, column, value], ...] with rows and columns counted from 1;
            a value is a number, a text, {"text": LENGTH} for a text of
            that many characters, {"date": "YYYY-MM-DD"} for a date shown
            as one, {"formula": "of:=...", "saved": RESULT} for a
            formula with the result that a file saved for it (a number or
            a text; "" when not given; a reference to another file reads
            "of:=['file:///path/other.ods'#$Sheet1.A1]"), {"valid-if":
            "of:..."} for an empty cell with a validity check of that
            condition, or {"links": [[text, address], ...]} for a text
            of those hyperlinks, one after another with a space between
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
  header    {"left": TEXT, "center": TEXT, "right": TEXT}: the page header of
            the sheet's own page style, any region left out being empty
  even-header
            a text for the centre of the header of even pages instead (the
            header is then not shared between left and right pages)

The document's options:
  null-date the date that numbers count days from, "YYYY-MM-DD"
  case-sensitive, regular-expressions, wildcards
            true or false: whether comparisons in formulas tell case apart,
            and whether their texts are regular expressions or wildcards
  names     [[name, expression], ...]: named ranges, each of an expression
            such as "$Data.$A$1:$A$5" taken from the first sheet's A1
  database-ranges
            [{"name": NAME, "range": "Data.A1:B5", "autofilter": BOOL,
            "filter": [[column, operator, value], ...], "or": BOOL}, ...]:
            database ranges, with filter buttons when "autofilter" is true
            and, when "filter" is given, a filter of those conditions (columns
            counted from 0 within the range, operators such as "=" or ">",
            values numbers or texts) that all hold, or any when "or" is true;
            Calc takes one named "__Anonymous_Sheet_DB__0" as its sheet's own
            range, which is how it keeps a sheet's autofilter
  macro     the code of a Basic module, "Module1" of the library "Standard",
            kept in the file; its functions can be called from formulas

Empty stretches are written as repeated rows and cells, so a cell at IV65536
costs no more than one at B2.
"""
import base64
import hashlib
import json
import re
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
DATE_STYLE = ('<number:date-style style:name="N1"><number:year number:style="long"/>'
              '<number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text>'
              '<number:day number:style="long"/></number:date-style>'
              '<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>')
TEXT_CELL = '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>'
# The document's options, each with the attribute of the calculation settings that it sets, if any.
OPTIONS = {"null-date": None, "case-sensitive": "case-sensitive", "regular-expressions": "use-regular-expressions",
           "wildcards": "use-wildcards", "names": None, "database-ranges": None, "macro": None}
XML = '<?xml version="1.0" encoding="UTF-8"?>\n'
EMBEDDED_PICTURE = "Pictures/embedded.png"
MIME = "application/vnd.oasis.opendocument.spreadsheet"


def on_sheet(name, cells):
    """Cells such as "A1" or "A1:B2" on the named sheet, as an attribute's text: the
    sheet's name before each address, in quotes unless it is a plain word."""
    sheet = name if re.fullmatch(r"\w+", name) else "'%s'" % name.replace("'", "''")
    return escape(":".join(sheet + "." + address for address in cells.split(":")), {'"': "&quot;"})


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
        return ('<table:table-cell table:style-name="ce1" office:value-type="date" office:date-value=%s/>'
                % quoteattr(value["date"]))
    if isinstance(value, dict) and "links" in value:
        return TEXT_CELL % " ".join('<text:a xlink:type="simple" xlink:href=%s>%s</text:a>'
                                    % (quoteattr(address), escape(text)) for text, address in value["links"])
    if isinstance(value, dict):
        value = text_of(value["text"])
    if isinstance(value, (int, float)):
        return '<table:table-cell office:value-type="float" office:value="%s"/>' % value
    return TEXT_CELL % escape(value)


def gap(kind, count):
    if count == 0:
        return ""
    if kind == "row":
        return '<table:table-row table:number-rows-repeated="%d"><table:table-cell/></table:table-row>' % count
    return '<table:table-cell table:number-columns-repeated="%d"/>' % count


def table(sheet, number):
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
    if "header" in sheet:
        protection += ' table:style-name="ta%d"' % number
    parts = ["<table:table table:name=%s%s>" % (quoteattr(sheet["name"]), protection)]
    if sheet.get("scenario"):
        parts.append('<table:scenario table:display-border="true" table:border-color="#c0c0c0" '
                     'table:copy-back="true" table:copy-styles="true" table:copy-formulas="true" '
                     'table:is-active="true" table:scenario-ranges="%s"/>' % on_sheet(sheet["name"], "A1:B2"))
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
                     'calcext:base-cell-address="%s"/>' % on_sheet(sheet, "A1"),
        "far-condition": '<calcext:condition calcext:apply-style-name="Default" calcext:value="&gt;$%s" '
                         'calcext:base-cell-address="%s"/>' % (on_sheet(sheet, "IW1"), on_sheet(sheet, "A1")),
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
        parts.append('<calcext:conditional-format calcext:target-range-address="%s">%s</calcext:conditional-format>'
                     % (on_sheet(sheet, first + ":" + (last or first)), "".join(entries[kind] for kind in kinds)))
    parts.append("</calcext:conditional-formats>")
    return "".join(parts)


def png(width, height):
    """A plain red picture."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\xff\0\0" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def calculation_settings(document):
    attributes = "".join(' table:%s="%s"' % (attribute, str(document[option]).lower())
                         for option, attribute in OPTIONS.items() if attribute and option in document)
    null_date = ('<table:null-date table:date-value=%s/>' % quoteattr(document["null-date"])
                 if "null-date" in document else "")
    if not attributes and not null_date:
        return ""
    return "<table:calculation-settings%s>%s</table:calculation-settings>" % (attributes, null_date)


def named_expressions(names, sheet):
    base = "$" + on_sheet(sheet, "$A$1")
    return "<table:named-expressions>%s</table:named-expressions>" % "".join(
        '<table:named-range table:name=%s table:base-cell-address="%s" table:cell-range-address=%s/>'
        % (quoteattr(name), base, quoteattr(expression)) for name, expression in names)


def database_ranges(ranges):
    parts = ["<table:database-ranges>"]
    for described in ranges:
        # "Data.A1:B5" as the office writes it, "Data.A1:Data.B5".
        first, _, last = described["range"].partition(":")
        if last and "." not in last:
            last = first.rpartition(".")[0] + "." + last
        parts.append('<table:database-range table:name=%s table:target-range-address=%s '
                     'table:display-filter-buttons="%s">'
                     % (quoteattr(described["name"]), quoteattr(first + ":" + last if last else first),
                        "true" if described.get("autofilter") else "false"))
        if "filter" in described:
            joined = "or" if described.get("or") else "and"
            parts.append("<table:filter><table:filter-%s>%s</table:filter-%s></table:filter>" % (joined, "".join(
                '<table:filter-condition table:field-number="%d" table:value=%s table:operator=%s '
                'table:data-type="%s"/>' % (column, quoteattr(str(value)), quoteattr(operator),
                                            "number" if isinstance(value, (int, float)) else "text")
                for column, operator, value in described["filter"]), joined))
        parts.append("</table:database-range>")
    parts.append("</table:database-ranges>")
    return "".join(parts)


def header(kind, regions):
    return "<style:%s>%s</style:%s>" % (kind, "".join(
        "<style:region-%s><text:p>%s</text:p></style:region-%s>" % (region, escape(regions[region]), region)
        for region in ("left", "center", "right") if region in regions), kind)


def styles(sheets):
    """The styles of the sheets with a header: a page style for each, numbered as the sheet is."""
    pages = "".join('<style:master-page style:name="Page%d" style:page-layout-name="pm1">%s%s</style:master-page>'
                    % (number, header("header", sheet["header"]),
                       header("header-left", {"center": sheet["even-header"]}) if "even-header" in sheet else "")
                    for number, sheet in enumerate(sheets, 1) if "header" in sheet)
    return ('%s<office:document-styles %s office:version="1.2"><office:automatic-styles>'
            '<style:page-layout style:name="pm1"/></office:automatic-styles><office:master-styles>%s'
            "</office:master-styles></office:document-styles>" % (XML, NAMESPACES, pages))


def basic(code):
    """The files of a library "Standard" of one module, "Module1", as the office keeps a document's Basic."""
    doctype = XML + '<!DOCTYPE %s PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "%s">\n'
    library = 'xmlns:library="http://openoffice.org/2000/library"'
    return {
        "Basic/script-lc.xml": doctype % ("library:libraries", "libraries.dtd")
        + '<library:libraries %s xmlns:xlink="http://www.w3.org/1999/xlink"><library:library '
          'library:name="Standard" library:link="false"/></library:libraries>' % library,
        "Basic/Standard/script-lb.xml": doctype % ("library:library", "library.dtd")
        + '<library:library %s library:name="Standard" library:readonly="false" library:passwordprotected="false">'
          '<library:element library:name="Module1"/></library:library>' % library,
        "Basic/Standard/Module1.xml": doctype % ("script:module", "module.dtd")
        + '<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" '
          'script:language="StarBasic" script:moduleType="normal">%s</script:module>' % escape(code),
    }


def write(path, sheets, **document):
    unknown = set(document) - set(OPTIONS)
    if unknown:
        raise TypeError("unknown options: %s" % ", ".join(sorted(unknown)))
    VALIDATIONS.clear()
    tables = "".join(table(sheet, number) for number, sheet in enumerate(sheets, 1))
    checks = "".join('<table:content-validation table:name="check%d" table:condition=%s '
                     'table:base-cell-address="%s"/>' % (n + 1, quoteattr(condition), on_sheet(name, "A1"))
                     for n, (condition, name) in enumerate(VALIDATIONS))
    if checks:
        checks = "<table:content-validations>%s</table:content-validations>" % checks
    table_styles = "".join('<style:style style:name="ta%d" style:family="table" style:master-page-name="Page%d"/>'
                           % (number, number) for number, sheet in enumerate(sheets, 1) if "header" in sheet)
    after = named_expressions(document["names"], sheets[0]["name"]) if document.get("names") else ""
    if document.get("database-ranges"):
        after += database_ranges(document["database-ranges"])
    files = {"content.xml": '%s<office:document-content %s office:version="1.2"><office:automatic-styles>%s%s'
                            "</office:automatic-styles><office:body><office:spreadsheet>%s%s%s%s</office:spreadsheet>"
                            "</office:body></office:document-content>"
                            % (XML, NAMESPACES, DATE_STYLE, table_styles, calculation_settings(document), checks,
                               tables, after)}
    if table_styles:
        files["styles.xml"] = styles(sheets)
    if "macro" in document:
        files.update(basic(document["macro"]))
    if any(image == "embedded" for sheet in sheets for image in sheet.get("images", [])):
        files[EMBEDDED_PICTURE] = png(16, 16)
    manifest = ('%s<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
                '<manifest:file-entry manifest:media-type="%s" manifest:full-path="/"/>%s</manifest:manifest>'
                % (XML, MIME, "".join('<manifest:file-entry manifest:media-type="%s" manifest:full-path="%s"/>'
                                      % ("image/png" if name.endswith(".png") else "text/xml", name)
                                      for name in files)))
    with zipfile.ZipFile(path, "w") as archive:
        # The media type comes first and uncompressed, as readers look for it there.
        archive.writestr(zipfile.ZipInfo("mimetype"), MIME, compress_type=zipfile.ZIP_STORED)
        archive.writestr("META-INF/manifest.xml", manifest, compress_type=zipfile.ZIP_DEFLATED)
        for name, data in files.items():
            archive.writestr(name, data, compress_type=zipfile.ZIP_DEFLATED)


if __name__ == "__main__":
    described = json.loads(sys.argv[2])
    if isinstance(described, dict):
        write(sys.argv[1], described.pop("sheets"), **described)
    else:
        write(sys.argv[1], described)

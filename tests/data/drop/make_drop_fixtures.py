#!/usr/bin/env python3
"""Writes the drop-data fixtures beside this script: the bytes browsers and file managers offer for a
dragged link, in each format the tree reads, including damaged and unusual forms."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
LINK = "https://example.org/caf\u00e9?q=1"
TITLE = "Example Domain \u65e5\u672c"


def descriptor(name_bytes, count=1, cut=None):
    body = bytearray(332)
    body[72:72 + len(name_bytes)] = name_bytes
    data = struct.pack("<I", count) + bytes(body)
    return data if cut is None else data[:cut]


FIXTURES = {
    "moz-url-utf16le.bin": (LINK + "\n" + TITLE).encode("utf-16-le"),
    "moz-url-utf16le-bom.bin": b"\xff\xfe" + (LINK + "\n" + TITLE).encode("utf-16-le"),
    "moz-url-utf16be-bom.bin": b"\xfe\xff" + (LINK + "\n" + TITLE).encode("utf-16-be"),
    "moz-url-crlf.bin": (LINK + "\r\n" + TITLE + "\r\n").encode("utf-16-le"),
    "moz-url-nul-ends-text.bin": (LINK + "\n" + TITLE).encode("utf-16-le") + b"\0\0" + "junk\nmore".encode("utf-16-le"),
    # Cut in the middle of a code unit of the title.
    "moz-url-truncated.bin": (LINK + "\nExample").encode("utf-16-le")[:-1],
    "moz-url-link-only.bin": LINK.encode("utf-16-le"),
    "moz-url-desc.bin": (TITLE + "\n").encode("utf-16-le"),
    "netscape-url.bin": (LINK + "\n" + TITLE).encode("utf-8"),
    "netscape-url-bom-crlf.bin": b"\xef\xbb\xbf" + (LINK + "\r\n" + TITLE + "\r\n").encode("utf-8"),
    "uri-list-comments.bin": ("# dragged from a file manager\r\n#second comment\r\n" + LINK + "\r\nhttps://second.example/\r\n").encode("utf-8"),
    "uri-list-only-comments.bin": b"# nothing here\r\n# \r\n",
    "uri-list-bom-lf.bin": b"\xef\xbb\xbf" + (LINK + "\n").encode("utf-8"),
    "plain-multiline.bin": ("  " + LINK + "  \nsecond line\nthird line").encode("utf-8"),
    "plain-bom-crlf.bin": b"\xef\xbb\xbf" + (LINK + "\r\nnext\r\n").encode("utf-8"),
    "plain-blank-first-line.bin": ("\r\n   \r\n" + LINK + "\r\n").encode("utf-8"),
    "plain-cr-only.bin": (LINK + "\rrest").encode("utf-8"),
    "plain-nul-ends-text.bin": LINK.encode("utf-8") + b"\0hidden\n",
    "filegroupdescriptor.bin": descriptor(b"Example Domain.url\0"),
    "filegroupdescriptor-version-name.bin": descriptor(b"Version 2.5 notes\0"),
    "filegroupdescriptor-no-count.bin": descriptor(b"Example Domain.url\0", count=0),
    # The name runs on to the end of the data without its NUL.
    "filegroupdescriptor-truncated.bin": descriptor(b"Example Domain.url", cut=4 + 72 + 14),
    "filegroupdescriptor-header-only.bin": descriptor(b"", cut=10),
    "filegroupdescriptor-full-name.bin": descriptor(b"N" * 260) + b"overflow.url",
}

for name, data in FIXTURES.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)

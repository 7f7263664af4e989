#!/usr/bin/env python3
"""Writes the bookmark-file fixtures of tests/data from the byte layout alone.

Kept apart from the C++ writer on purpose: the tests compare that writer's output with these bytes,
so the two must not share code. Run it from anywhere; it rewrites the .lkb files beside it.
"""
import os
import struct

IDENTIFICATION = "\u2045VT\u0002 \u2046".encode("utf-16-le")

INITIALIZED, EXPANDED, HAS_CHILDREN, VISIBLE, SELECTED = 0x01, 0x20, 0x40, 0x80, 0x100
HIGH, MEDIUM, LOW = "clRed", "$00007100", "$00232323"


def chunk(kind, body):
    return struct.pack("<ii", kind, len(body)) + body


def utf8_per_unit(text):
    units = text.encode("utf-16-le")
    out = bytearray()
    for i in range(0, len(units), 2):
        u = units[i] | units[i + 1] << 8
        if u < 0x80:
            out.append(u)
        elif u < 0x800:
            out += bytes([0xC0 | u >> 6, 0x80 | u & 0x3F])
        else:
            out += bytes([0xE0 | u >> 12, 0x80 | (u >> 6) & 0x3F, 0x80 | u & 0x3F])
    return bytes(out)


def string_value(text):
    n = len(text.encode("utf-16-le")) // 2
    u = utf8_per_unit(text)
    if len(u) >= 2 * n:
        return b"\x12" + struct.pack("<i", n) + text.encode("utf-16-le")
    if len(u) == n:
        return (b"\x06" + bytes([n]) if n <= 255 else b"\x0c" + struct.pack("<i", n)) + u
    return b"\x14" + struct.pack("<i", len(u)) + u


def ansi_value(raw):
    """8-bit text exactly as given, the way a Windows-1252 machine writes it."""
    return (b"\x06" + bytes([len(raw)]) if len(raw) <= 255 else b"\x0c" + struct.pack("<i", len(raw))) + raw


def integer_value(v):
    if -128 <= v <= 127:
        return b"\x02" + struct.pack("<b", v)
    if -32768 <= v <= 32767:
        return b"\x03" + struct.pack("<h", v)
    return b"\x04" + struct.pack("<i", v)


def record(category="", description="", link="", comment="", opera="", editable=True, is_category=False,
           image=1, source=0, link_state=9, colour=LOW, raw=None):
    values = [string_value(s) for s in (category, description, link, comment, opera)]
    for index, text in (raw or {}).items():
        values[index] = ansi_value(text)
    values.append(b"\x09" if editable else b"\x08")
    values.append(b"\x09" if is_category else b"\x08")
    values += [integer_value(image), integer_value(source), integer_value(link_state), string_value(colour)]
    return b"".join(values)


def node(rec, caption, states, children=()):
    base = struct.pack("<IIHBBBI", len(children), 18, states, 50, 0, 0, 0) + b"".join(children)
    body = chunk(2, base) + chunk(4, rec)
    if caption:
        body += chunk(3, caption.encode("utf-16-le"))
    return chunk(1, body)


def category(name, states, children=(), **fields):
    fields.setdefault("image", 6)
    fields.setdefault("link_state", -1)
    return node(record(category=name, is_category=True, **fields), name, states, children)


def bookmark(title, link, states=INITIALIZED | VISIBLE, **fields):
    return node(record(description=title, link=link, **fields), title, states)


def tree_file(*top_level):
    return IDENTIFICATION + struct.pack("<I", len(top_level)) + b"".join(top_level)


def root(states, children):
    return category("Bookmarks", states, children, editable=False)


OPEN_FOLDER = INITIALIZED | EXPANDED | HAS_CHILDREN | VISIBLE
CLOSED_FOLDER = INITIALIZED | HAS_CHILDREN | VISIBLE
LEAF = INITIALIZED | VISIBLE

# Two levels of categories, one of them open and selected and one closed, a selected bookmark, a
# bookmark without a title, and texts in each of the string forms.
nested = tree_file(root(OPEN_FOLDER, [
    category("News", OPEN_FOLDER | SELECTED, [
        bookmark("BBC \u2013 World", "https://www.bbc.co.uk/news/world", link_state=10, colour=HIGH,
                 comment="Read daily\r\nbefore nine"),
        category("Tech", CLOSED_FOLDER, [
            bookmark("Ars Technica", "https://arstechnica.com/", colour=MEDIUM, source=1),
        ]),
    ]),
    bookmark("\u041a\u0438\u043d\u043e", "https://kino.example/", LEAF | SELECTED, link_state=11),
    bookmark("", "https://example.org/untitled"),
    bookmark("Caf\u00e9 culture and the long history of the coffee houses", "https://example.org/cafe",
             source=2, opera="#URL\r\n\tID=12\r\n\tNAME=Caf\u00e9 culture"),
    bookmark("Smile \U0001F600", "https://example.org/smile"),
]))

# 8-bit texts as the Windows program writes them on a Windows-1252 machine.
windows1252 = tree_file(root(OPEN_FOLDER, [
    # No caption chunk: the title comes from the record alone.
    node(record(raw={1: b"Caf\xe9 \x80 5", 2: b"https://example.org/caf%C3%A9",
                     3: b"\x93quoted\x94 \x81" + b"x" * 300}), "", LEAF),
]))


def with_child_count(node_chunk, count):
    """The node chunk with another ChildCount in its base chunk, every other byte left in place."""
    return node_chunk[:16] + struct.pack("<I", count) + node_chunk[20:]


# 56 nodes: the root and five categories of ten bookmarks, the first category's child count lowered from
# 10 to 4. The stream still parses, but six of that category's node chunks stand where its children have
# all been read.
five_categories = [
    category("Category %d" % c, CLOSED_FOLDER,
             [bookmark("Link %d.%d" % (c, b), "https://example.org/%d/%d" % (c, b)) for b in range(1, 11)])
    for c in range(1, 6)
]
five_categories[0] = with_child_count(five_categories[0], 4)
lowered = tree_file(root(OPEN_FOLDER, five_categories))

here = os.path.dirname(os.path.abspath(__file__))
for name, data in (("nested-expanded-selected.lkb", nested), ("windows-1252-texts.lkb", windows1252),
                   ("lowered-inner-child-count.lkb", lowered)):
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)

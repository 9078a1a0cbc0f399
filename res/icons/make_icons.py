#!/usr/bin/env python3
"""Writes the program's icons as .ico files from the pixel-art text beside this script.

palette.txt gives the sixteen colours and the character for each, groups.txt says which
picture goes into which icon group at which sizes and depths, and NAME<size>.txt holds each
picture, one character a pixel. Every image is a plain bitmap (a BITMAPINFOHEADER, a 16- or
2-entry palette, the colour rows and the AND mask), the form every version of the platform reads.
Beside the icons it writes icons.rc, the ICON statement of each group, which nrcdrom.rc
includes, so that groups.txt alone names the groups.
Usage: make_icons.py OUTPUT_DIR
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TRANSPARENT = "."


class DrawingError(Exception):
    pass


def text_lines(name):
    """The lines of a file beside this script, without comments and blank lines, with their numbers."""
    path = os.path.join(HERE, name)
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.strip() and not line.startswith("#"):
                yield "%s:%d" % (name, number), line


def read_palette():
    """The characters in palette order, each with its colour and its monochrome shade."""
    palette = []
    for where, line in text_lines("palette.txt"):
        fields = line.split()
        if len(fields) != 5 or len(fields[0]) != 1 or fields[0] == TRANSPARENT:
            raise DrawingError("%s: expected a character, red, green, blue and 0 or 1" % where)
        red, green, blue, mono = (int(v) for v in fields[1:])
        if mono not in (0, 1) or not all(0 <= v <= 255 for v in (red, green, blue)):
            raise DrawingError("%s: value out of range" % where)
        palette.append((fields[0], (red, green, blue), mono))
    if len(palette) != 16 or len({c for c, _, _ in palette}) != 16:
        raise DrawingError("palette.txt: sixteen different characters are needed")
    return palette


def read_groups():
    """(group id, picture name, [(size, bits), ...]) in the order of groups.txt."""
    groups = []
    for where, line in text_lines("groups.txt"):
        fields = line.split()
        if len(fields) < 3:
            raise DrawingError("%s: expected a group, a picture and its images" % where)
        images = []
        for image in fields[2:]:
            size, _, bits = image.partition("x")
            if size not in ("16", "32") or bits not in ("1", "4"):
                raise DrawingError("%s: image %r is not 16 or 32 by 1 or 4" % (where, image))
            images.append((int(size), int(bits)))
        groups.append((int(fields[0]), fields[1], images))
    return groups


def read_picture(name, size, characters):
    """The rows of NAME<size>.txt, top row first, checked to be size by size in known characters."""
    file_name = "%s%d.txt" % (name, size)
    rows = []
    for where, line in text_lines(file_name):
        if len(line) != size:
            raise DrawingError("%s: %d pixels, expected %d" % (where, len(line), size))
        unknown = set(line) - set(characters) - {TRANSPARENT}
        if unknown:
            raise DrawingError("%s: characters not in the palette: %s" % (where, "".join(sorted(unknown))))
        rows.append(line)
    if len(rows) != size:
        raise DrawingError("%s: %d rows, expected %d" % (file_name, len(rows), size))
    return rows


def pack_row(indexes, bits):
    """One row of pixel indexes, most significant bits first, padded to four bytes."""
    row = bytearray((len(indexes) * bits + 31) // 32 * 4)
    per_byte = 8 // bits
    for x, index in enumerate(indexes):
        row[x // per_byte] |= index << (8 - bits * (x % per_byte + 1))
    return bytes(row)


def bitmap(rows, bits, palette):
    """One icon image: header, palette, colour rows and AND mask, bottom row first."""
    size = len(rows)
    index_of = {c: i for i, (c, _, _) in enumerate(palette)}
    shade_of = {c: mono for c, _, mono in palette}
    colours, mask = bytearray(), bytearray()
    for line in reversed(rows):
        # A transparent pixel is colour 0 under a set mask bit, so it leaves the screen as it was.
        if bits == 4:
            indexes = [index_of.get(c, 0) for c in line]
        else:
            indexes = [shade_of.get(c, 0) for c in line]
        colours += pack_row(indexes, bits)
        mask += pack_row([1 if c == TRANSPARENT else 0 for c in line], 1)
    if bits == 4:
        table = [rgb for _, rgb, _ in palette]
    else:
        table = [(0, 0, 0), (255, 255, 255)]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colours) + len(mask), 0, 0, len(table), 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    return header + quads + bytes(colours) + bytes(mask)


def ico(images):
    """An .ico file of (size, bits, bitmap) images, in the order given."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, 1 << bits, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icons.py OUTPUT_DIR")
    out_dir = sys.argv[1]
    try:
        palette = read_palette()
        characters = [c for c, _, _ in palette]
        files = {}
        statements = []
        for group, name, images in read_groups():
            blobs = [(size, bits, bitmap(read_picture(name, size, characters), bits, palette))
                     for size, bits in images]
            files["i%d.ico" % group] = ico(blobs)
            statements.append('%d ICON "icons/i%d.ico"\n' % (group, group))
        files["icons.rc"] = "".join(statements).encode("ascii")
    except DrawingError as e:
        sys.exit("make_icons.py: %s" % e)
    os.makedirs(out_dir, exist_ok=True)
    for file_name, data in files.items():
        with open(os.path.join(out_dir, file_name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

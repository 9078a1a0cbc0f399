#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (16-colour and monochrome images).

Each picture is drawn from a few shapes at the size asked for; the groups below say which
picture goes into which icon group, at which sizes and depths, in which order.
Usage: make_icons.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, GREY, WHITE = 0, 8, 7, 15
BLUE, CYAN, YELLOW, RED, DARK_BLUE, DARK_YELLOW, GREEN = 12, 14, 11, 9, 4, 3, 10
CLEAR = None  # transparent


def canvas(size):
    return [[CLEAR] * size for _ in range(size)]


def disc(size):
    """A CD-ROM: a silver disc with a rainbow sheen and a hole."""
    img = canvas(size)
    c = (size - 1) / 2
    r = size / 2 - 0.5
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            angle = math.atan2(y - c, x - c)
            if d > r:
                continue
            if d > r - 1:
                img[y][x] = DARK_GREY
            elif d < size * 0.09:
                img[y][x] = CLEAR
            elif d < size * 0.16:
                img[y][x] = DARK_GREY
            elif -2.2 < angle < -1.6:
                img[y][x] = CYAN
            elif 0.6 < angle < 1.1:
                img[y][x] = YELLOW
            else:
                img[y][x] = WHITE if d < r * 0.6 else GREY
    return img


def floppy(size):
    """A floppy disk: body, label and metal shutter."""
    img = canvas(size)
    s = size / 32
    for y in range(size):
        for x in range(size):
            if 1 * s <= x < 31 * s and 1 * s <= y < 31 * s:
                img[y][x] = DARK_BLUE
                if 7 * s <= x < 25 * s and 2 * s <= y < 12 * s:
                    img[y][x] = GREY
                    if 18 * s <= x < 22 * s and 4 * s <= y < 10 * s:
                        img[y][x] = DARK_BLUE
                if 5 * s <= x < 27 * s and 16 * s <= y < 30 * s:
                    img[y][x] = WHITE
                    if int(y / s) in (20, 24) and 7 * s <= x < 25 * s:
                        img[y][x] = BLUE
    return img


def folder(size):
    """A yellow folder."""
    img = canvas(size)
    s = size / 32
    for y in range(size):
        for x in range(size):
            if 2 * s <= x < 14 * s and 5 * s <= y < 9 * s:
                img[y][x] = DARK_YELLOW
            if 2 * s <= x < 30 * s and 8 * s <= y < 27 * s:
                edge = x < 3 * s or x >= 29 * s or y >= 26 * s or y < 9 * s
                img[y][x] = DARK_YELLOW if edge else YELLOW
    return img


def network(size):
    """A network share: a small screen on a cable."""
    img = canvas(size)
    s = size / 32
    for y in range(size):
        for x in range(size):
            if 4 * s <= x < 28 * s and 3 * s <= y < 20 * s:
                inner = 6 * s <= x < 26 * s and 5 * s <= y < 18 * s
                img[y][x] = CYAN if inner else GREY
            if 14 * s <= x < 18 * s and 20 * s <= y < 25 * s:
                img[y][x] = DARK_GREY
            if 2 * s <= x < 30 * s and 25 * s <= y < 28 * s:
                img[y][x] = GREEN if int(x / s) % 6 == 0 else DARK_GREY
    return img


def program(size):
    """The redirector itself: a disc with a red arrow across it."""
    img = disc(size)
    s = size / 32
    for y in range(size):
        for x in range(size):
            if 13 * s <= y < 19 * s and 3 * s <= x < 22 * s:
                img[y][x] = RED
            head = 22 * s <= x < 30 * s and abs(y - 15.5 * s) <= (30 * s - x) * 0.9
            if head:
                img[y][x] = RED
    return img


def bitmap(img, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour rows and the mask, bottom row first."""
    size = len(img)
    colours = 16 if bits == 4 else 2
    row_bytes = ((size * bits + 31) // 32) * 4
    mask_bytes = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        mrow = bytearray(mask_bytes)
        for x in range(size):
            index = img[y][x]
            if index is None:
                mrow[x // 8] |= 0x80 >> (x % 8)
                index = 0
            elif bits == 1:
                # Monochrome: light colours white, dark ones black.
                r, g, b = PALETTE[index]
                index = 1 if (r * 3 + g * 6 + b) / 10 > 110 else 0
            if bits == 4:
                row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            else:
                row[x // 8] |= index << (7 - x % 8)
        xor += row
        mask += mrow
    palette = PALETTE if bits == 4 else [(0, 0, 0), (255, 255, 255)]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, colours, 0)
    body = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + body + bytes(xor) + bytes(mask), colours


def ico(images):
    """An .ico file of (picture, size, bits) images, in the order given."""
    blobs = []
    for draw, size, bits in images:
        blobs.append((size, bits) + bitmap(draw(size), bits))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, bits, data, colours in blobs:
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data, _ in blobs)


C32, C16, M32 = (32, 4), (16, 4), (32, 1)
GROUPS = {
    101: (program, [C32]),
    102: (disc, [C32, C16, M32]),
    103: (floppy, [C32, C16]),
    104: (folder, [C32, M32, C16]),
    105: (network, [C32]),
    106: (disc, [C32]),
    107: (floppy, [M32, C32]),
    108: (network, [C32, C16]),
    109: (program, [C32, C16, M32]),
    110: (folder, [C32]),
    111: (floppy, [C32]),
    112: (network, [C32]),
    113: (folder, [C32]),
    114: (disc, [C32]),
}


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for group, (draw, images) in GROUPS.items():
        data = ico([(draw, size, bits) for size, bits in images])
        with open(os.path.join(out_dir, "i%d.ico" % group), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Reads the resources of the built program file itself and compares them with what the
program must carry: dialog 102, the string table, the version block, the icon groups, the
language, and the identification text in the initialised data. Prints each mismatch; exit 1
when there is any."""
import struct
import sys

failures = []
checks = 0


def check(what, expected, actual):
    global checks
    checks += 1
    if expected != actual:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections_count = struct.unpack_from("<H", data, pe + 6)[0]
optional_size = struct.unpack_from("<H", data, pe + 20)[0]
sections = []
for i in range(sections_count):
    off = pe + 24 + optional_size + 40 * i
    name = data[off:off + 8].rstrip(b"\0").decode()
    vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, off + 8)
    sections.append((name, va, vsize, rawptr, rawsize))
rsrc = next(s for s in sections if s[0] == ".rsrc")


def at_rva(rva):
    for name, va, vsize, rawptr, rawsize in sections:
        if va <= rva < va + max(vsize, rawsize):
            return rawptr + rva - va
    raise ValueError(rva)


def entries(offset):
    named, ids = struct.unpack_from("<HH", data, rsrc[3] + offset + 12)
    out = []
    for i in range(named + ids):
        key, target = struct.unpack_from("<II", data, rsrc[3] + offset + 16 + 8 * i)
        out.append((key, target))
    return out


# type -> id -> (language, bytes)
resources = {}
for rtype, t in entries(0):
    for rid, r in entries(t & 0x7FFFFFFF):
        for lang, leaf in entries(r & 0x7FFFFFFF):
            rva, size = struct.unpack_from("<II", data, rsrc[3] + leaf)
            resources.setdefault(rtype, {})[rid] = (lang, data[at_rva(rva):at_rva(rva) + size])

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16
for rtype, items in resources.items():
    for rid, (lang, _) in items.items():
        check("language of resource %d/%d" % (rtype, rid), 1033, lang)


def wstr(blob, off):
    end = off
    while blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[off:end].decode("utf-16-le"), end + 2


def sz_or_ord(blob, off):
    if blob[off:off + 2] == b"\xff\xff":
        return struct.unpack_from("<H", blob, off + 2)[0], off + 4
    return wstr(blob, off)


# Dialog 102, classic form.
dlg = resources[RT_DIALOG][102][1]
style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", dlg, 0)
check("dialog style", 0x80000000 | 0x10000000 | 0x00C00000 | 0x00080000 | 0x80 | 0x40, style)
check("dialog extended style", 0, exstyle)
check("dialog geometry", (0, 0, 297, 117), (x, y, cx, cy))
check("dialog control count", 6, count)
off = 18
menu, off = sz_or_ord(dlg, off)
klass, off = sz_or_ord(dlg, off)
caption, off = wstr(dlg, off)
check("dialog menu, class, caption", ("", "", ""), (menu, klass, caption))
point = struct.unpack_from("<H", dlg, off)[0]
face, off = wstr(dlg, off + 2)
check("dialog font", (8, "MS Sans Serif"), (point, face))
WS = 0x50000000  # WS_CHILD | WS_VISIBLE
controls = [
    (1, "BUTTON", WS | 0x10000 | 0x1, 87, 93, 50, 14, "&OK"),
    (2, "BUTTON", WS | 0x10000, 159, 93, 50, 14, "&Cancel"),
    (1001, "STATIC", WS | 0x20000, 11, 10, 270, 28,
     'Please insert the CD-ROM labeled "Brenmoor Marlinth" into your CD-ROM drive. '),
    (1002, "BUTTON", WS | 0x7, 7, 40, 282, 41, "&Location of Marlinth Files"),
    (1000, "EDIT", WS | 0x800000 | 0x10000 | 0x80, 12, 58, 210, 13, ""),
    (3, "BUTTON", WS | 0x10000, 231, 57, 50, 14, "&Browse..."),
]
# A class may be written as its predefined atom or by name; both name the same class.
ATOMS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC"}
for n, want in enumerate(controls):
    off = (off + 3) & ~3
    cstyle, cex, cx_, cy_, cw, ch, cid = struct.unpack_from("<IIhhhhH", dlg, off)
    cls, o = sz_or_ord(dlg, off + 18)
    cls = ATOMS.get(cls, cls) if isinstance(cls, int) else cls.upper()
    text, o = sz_or_ord(dlg, o)
    extra = struct.unpack_from("<H", dlg, o)[0]
    off = o + 2 + extra
    check("control %d" % (n + 1), want, (cid, cls, cstyle, cx_, cy_, cw, ch, text))

# The string table.
strings = {}
for block, (_, blob) in resources[RT_STRING].items():
    off = 0
    for i in range(16):
        n = struct.unpack_from("<H", blob, off)[0]
        if n:
            strings[(block - 1) * 16 + i] = blob[off + 2:off + 2 + 2 * n].decode("utf-16-le")
        off += 2 + 2 * n
expected_strings = {
    1: "Locate %s",
    2: "Locate %s %s",
    3: "Please enter the path to the %s.  If these files cannot be found on your system, "
       "please reinstall %s.",
    4: "Please enter the network path to the %s.",
    5: 'Please insert the %s labeled "%s %s%s" into your %s drive, or enter the path to the %s.',
    6: "CD-ROM",
    7: "floppy",
    8: "floppy disk",
    9: ", Disk 1",
    10: "&Location of %s",
    11: "The specified location is invalid or does not contain the %s.",
    12: "File Location Error",
    13: "Duzudiziv Eraziz DLL Files",
}
for sid, text in expected_strings.items():
    check("string %d" % sid, text, strings.get(sid))
check("string ids", list(range(1, 16)), sorted(strings))

# The version block.
ver = resources[RT_VERSION][1][1]
fixed = ver.find(struct.pack("<I", 0xFEEF04BD))
(sig, strucver, fvms, fvls, pvms, pvls, mask, flags, fos, ftype, fsub, dms, dls) = \
    struct.unpack_from("<13I", ver, fixed)
check("file version", (6, 6, 7, 0), (fvms >> 16, fvms & 0xFFFF, fvls >> 16, fvls & 0xFFFF))
check("product version", (6, 6, 0, 0), (pvms >> 16, pvms & 0xFFFF, pvls >> 16, pvls & 0xFFFF))
check("flags mask, flags, os, subtype, date", (0x3F, 0, 4, 0, 0, 0), (mask, flags, fos, fsub, dms, dls))
table = ver.find("040904B0".encode("utf-16-le"))
check("string block 040904B0 present", True, table > 0)
keys = []
off = (table + 18 + 3) & ~3
end = ver.find("VarFileInfo".encode("utf-16-le"))
while off < end - 6:
    length, vlen, vtype = struct.unpack_from("<HHH", ver, off)
    if length == 0:
        break
    key, o = wstr(ver, off + 6)
    o = (o + 3) & ~3
    value = ver[o:o + 2 * vlen].decode("utf-16-le").rstrip("\0")
    keys.append((key, value))
    off = (off + length + 3) & ~3
check("string block", [
    ("FileDescription", "Marlinth CDROM Redirector "),
    ("FileVersion", "6.6 - 7"),
    ("InternalName", "nrcdrom.exe"),
    ("OriginalFilename", "nrcdrom.exe"),
    ("ProductName", "Brenmoor Marlinth"),
    ("ProductVersion", "6.6"),
], keys)
check("translation", struct.pack("<HH", 0x0409, 1200), ver[-4:])

# The icon groups: (size, bits) of each image in order.
C32, C16, M32 = (32, 4), (16, 4), (32, 1)
groups = {101: [C32], 102: [C32, C16, M32], 103: [C32, C16], 104: [C32, M32, C16], 105: [C32],
          106: [C32], 107: [M32, C32], 108: [C32, C16], 109: [C32, C16, M32], 110: [C32],
          111: [C32], 112: [C32], 113: [C32], 114: [C32]}
check("icon group ids", sorted(groups), sorted(resources[RT_GROUP_ICON]))
images = 0
for gid, want in groups.items():
    blob = resources[RT_GROUP_ICON].get(gid, (0, b"\0" * 6))[1]
    n = struct.unpack_from("<H", blob, 4)[0]
    got = []
    for i in range(n):
        w, h, colours, _, planes, bits, size, iid = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
        header = resources[RT_ICON][iid][1]
        hw, hh, hplanes, hbits = struct.unpack_from("<iiHH", header, 4)
        check("icon %d image %d header" % (gid, i), (w, 2 * h, bits), (hw, hh, hbits))
        got.append((w, bits))
        images += 1
    check("icon group %d images" % gid, want, got)
check("icon images in all", 23, images)

# The identification text, in the initialised data.
ident = b"@(#)Marlinth CDROM Redirector 6.6 - 7\0"
where = data.find(ident)
section = next((s[0] for s in sections if s[3] <= where < s[3] + s[4]), None)
check("identification text section", ".data", section)

for line in failures:
    print("MISMATCH " + line)
print("resources: %d passed, %d failed" % (checks - len(failures), len(failures)))
sys.exit(1 if failures else 0)

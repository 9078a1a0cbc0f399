#!/usr/bin/python3
"""Reads the resources of the built program file itself, through pefile (Debian's
python3-pefile), and compares them with what the program must carry: dialog 102 and its
controls, every string of the table, the version block, the icon groups of res/icons/groups.txt
and their images, the language of everything, and the identification text in the initialised
data. Prints each mismatch; exit 1 when there is any."""
import os
import struct
import sys

try:
    import pefile
except ImportError:
    sys.exit("check_resources.py needs pefile: apt-get install python3-pefile")

failures = []
checks = 0


def check(what, expected, actual):
    global checks
    checks += 1
    if expected != actual:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


pe = pefile.PE(sys.argv[1])
RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16

# type -> id -> bytes, every resource's language checked on the way.
resources = {}
strings = {}
for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    for rid in rtype.directory.entries:
        if rtype.id == RT_STRING:
            strings.update(rid.directory.strings)
        for lang in rid.directory.entries:
            check("language of resource %s/%s" % (rtype.id or rtype.name, rid.id or rid.name),
                  1033, lang.id)
            data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
            resources.setdefault(rtype.id, {})[rid.id] = data
check("kinds of resource", [RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION],
      sorted(resources))
check("dialogs and version blocks", ([102], [1]),
      (sorted(resources.get(RT_DIALOG, {})), sorted(resources.get(RT_VERSION, {}))))


def wstr(blob, off):
    end = off
    while blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[off:end].decode("utf-16-le"), end + 2


def sz_or_ord(blob, off):
    if blob[off:off + 2] == b"\xff\xff":
        return struct.unpack_from("<H", blob, off + 2)[0], off + 4
    return wstr(blob, off)


# Dialog 102, in the classic form (the extended one starts with 1, 0xFFFF).
dlg = resources.get(RT_DIALOG, {}).get(102, b"\0" * 64)
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
for n, want in enumerate(controls[:count]):
    off = (off + 3) & ~3
    cstyle, cex, cx_, cy_, cw, ch, cid = struct.unpack_from("<IIhhhhH", dlg, off)
    cls, o = sz_or_ord(dlg, off + 18)
    cls = ATOMS.get(cls, cls) if isinstance(cls, int) else cls.upper()
    text, o = sz_or_ord(dlg, o)
    extra = struct.unpack_from("<H", dlg, o)[0]
    off = o + 2 + extra
    check("control %d" % (n + 1), want, (cid, cls, cstyle, cx_, cy_, cw, ch, text))
    check("control %d extended style" % (n + 1), 0, cex)

# The string table: every text exactly, ids 1 to 24 without a gap, and no other.
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
    14: "The command line is too long: the target file name and the option letters may hold "
        "259 bytes, the title 1023, the command 799. Nothing was started.",
    15: "Command Line Error",
    16: "nrcdrom: %s is not in %s; not asking because NRCDROM_UNATTENDED is set\r\n",
    17: "nrcdrom: the command line is too long; nothing was started, and no box is shown "
        "because NRCDROM_UNATTENDED is set\r\n",
    18: "The tool could not be started.\r\n\r\nCommand line: %s\r\n\r\n%s",
    19: "Tool Start Error",
    20: "nrcdrom: the tool could not be started: %s; command line: %s\r\n",
    21: "nrcdrom: %s could not be written: %s\r\n",
    22: "nrcdrom: %s was not written: the command prompt's code page cannot spell the folder "
        "%s, and it has no short name\r\n",
    23: "nrcdrom: %s is not in %s; %s holds one, on a volume not seen here before; not asking "
        "because NRCDROM_UNATTENDED is set\r\n",
    24: "nrcdrom: %s is not in %s; %s holds one, on another volume than the one it was found "
        "on; not asking because NRCDROM_UNATTENDED is set\r\n",
}
for sid, text in expected_strings.items():
    check("string %d" % sid, text, strings.get(sid))
check("string ids", list(range(1, 25)), sorted(strings))

# The version block.
fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
check("version block present", True, fixed is not None)
if fixed is not None:
    check("file version", (0x60006, 0x70000), (fixed.FileVersionMS, fixed.FileVersionLS))
    check("product version", (0x60006, 0), (fixed.ProductVersionMS, fixed.ProductVersionLS))
    check("flags mask, flags, os, type, subtype, date", (0x3F, 0, 4, 1, 0, 0, 0),
          (fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS, fixed.FileType,
           fixed.FileSubtype, fixed.FileDateMS, fixed.FileDateLS))
tables, translations = [], []
for info in (pe.FileInfo[0] if hasattr(pe, "FileInfo") else []):
    if info.Key == b"StringFileInfo":
        tables += [(t.LangID, list(t.entries.items())) for t in info.StringTable]
    elif info.Key == b"VarFileInfo":
        translations += [v.entry.get(b"Translation") for v in info.Var]
check("string block", [(b"040904B0", [
    (b"FileDescription", b"Marlinth CDROM Redirector "),
    (b"FileVersion", b"6.6 - 7"),
    (b"InternalName", b"nrcdrom.exe"),
    (b"OriginalFilename", b"nrcdrom.exe"),
    (b"ProductName", b"Brenmoor Marlinth"),
    (b"ProductVersion", b"6.6"),
])], tables)
check("translation", ["0x0409 0x04b0"], translations)

# The icon groups of res/icons/groups.txt: (size, bits) of each image in order, each image of
# its own.
GROUPS_TXT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "icons",
                          "groups.txt")
groups = {}
with open(GROUPS_TXT, encoding="ascii") as f:
    for line in f:
        if line.strip() and not line.startswith("#"):
            fields = line.split()
            groups[int(fields[0])] = [tuple(int(n) for n in image.split("x"))
                                      for image in fields[2:]]
check("icon group ids", sorted(groups), sorted(resources.get(RT_GROUP_ICON, {})))
used = []
for gid, want in groups.items():
    blob = resources.get(RT_GROUP_ICON, {}).get(gid, b"\0" * 6)
    reserved, kind, n = struct.unpack_from("<HHH", blob, 0)
    check("icon group %d header" % gid, (0, 1), (reserved, kind))
    got = []
    for i in range(n):
        w, h, colours, _, planes, bits, size, iid = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
        image = resources.get(RT_ICON, {}).get(iid, b"\0" * 40)
        hsize, hw, hh, hplanes, hbits, compression = struct.unpack_from("<IiiHHI", image, 0)
        check("icon %d image %d entry" % (gid, i), (w, 1 << bits, 1, len(image)),
              (h, colours, planes, size))
        check("icon %d image %d header" % (gid, i), (40, w, 2 * h, 1, bits, 0),
              (hsize, hw, hh, hplanes, hbits, compression))
        got.append((w, bits))
        used.append(iid)
    check("icon group %d images" % gid, want, got)
# Each image in exactly one group, and no image outside them.
check("icon images, each in one group", sorted(used), sorted(resources.get(RT_ICON, {})))

# The identification text, once, in the initialised data.
data = pe.__data__
ident = b"@(#)Marlinth CDROM Redirector 6.6 - 7\0"
where = data.find(ident)
check("identification text found once", (True, -1), (where >= 0, data.find(ident, where + 1)))
section = next((s.Name.rstrip(b"\0").decode() for s in pe.sections
                if s.PointerToRawData <= where < s.PointerToRawData + s.SizeOfRawData), None)
check("identification text section", ".data", section)

for line in failures:
    print("MISMATCH " + line)
print("resources: %d passed, %d failed" % (checks - len(failures), len(failures)))
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""The fault file of scripts/faults.sh, read and checked against the unpacked tree.

    faults.py FAULTS-FILE TREE list          one line per fault: name, file, e2e groups (tabs)
    faults.py FAULTS-FILE TREE apply NAME    writes that fault into its file in TREE

Every fault's original text must occur exactly once in its file, or nothing is done and the
exit code is 1.
"""
import sys
path, tree, command = sys.argv[1], sys.argv[2], sys.argv[3]
faults, current = [], None
for number, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
    if line.startswith("[") and line.endswith("]"):
        current = {"name": line[1:-1], "file": "", "e2e": "", "old": [], "new": [], "line": number}
        faults.append(current)
    elif current is None or line.startswith("#") or line == "":
        continue
    elif line.startswith("file: "):
        current["file"] = line[6:]
    elif line.startswith("e2e: "):
        current["e2e"] = line[5:]
    elif line.startswith("- ") or line == "-":
        current["old"].append(line[2:])
    elif line.startswith("+ ") or line == "+":
        current["new"].append(line[2:])
    else:
        sys.exit("%s:%d: not a fault line: %s" % (path, number, line))
bad = 0
for f in faults:
    try:
        text = open("%s/%s" % (tree, f["file"]), encoding="utf-8").read()
    except OSError:
        text = None
    old = "\n".join(f["old"])
    found = 0 if text is None or not old else text.count(old)
    if found != 1:
        where = "the file is missing" if text is None else "found %d times" % found
        print("FAULT %s (%s:%d) does not apply to %s: original text %s" %
              (f["name"], path, f["line"], f["file"], where), file=sys.stderr)
        bad = 1
    f["text"], f["old"], f["new"] = text, old, "\n".join(f["new"])
if bad:
    sys.exit(1)
if command == "list":
    for f in faults:
        print("%s\t%s\t%s" % (f["name"], f["file"], f["e2e"]))
elif command == "apply":
    f = next(f for f in faults if f["name"] == sys.argv[4])
    open("%s/%s" % (tree, f["file"]), "w", encoding="utf-8").write(f["text"].replace(f["old"], f["new"]))

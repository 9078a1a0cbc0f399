#!/usr/bin/env python3
"""Sums up the timed runs of bench/driver.cpp for scripts/bench.sh's report.

    bench_summary.py TIMES REFERENCE NAME=LABEL...

TIMES holds the names of the runs on its first line, then one line per round with each run's
time in microseconds. REFERENCE names the run every other is compared with, round by round;
each NAME=LABEL names a run to show and how the report calls it (the reference among them).
"""
import statistics
import sys


def quartiles(values):
    q1, q2, q3 = statistics.quantiles(values, n=4, method="inclusive")
    return q1, q2, q3


def milliseconds(values):
    q1, q2, q3 = quartiles(values)
    return "median %.2f ms (IQR %.2f to %.2f)" % (q2 / 1000, q1 / 1000, q3 / 1000)


def main(argv):
    if len(argv) < 4:
        sys.exit("usage: bench_summary.py TIMES REFERENCE NAME=LABEL...")
    with open(argv[1]) as times:
        lines = [line.split() for line in times if line.strip()]
    if len(lines) < 3:
        sys.exit("%s holds fewer than two rounds" % argv[1])
    names, rows = lines[0], [list(map(float, row)) for row in lines[1:]]
    if any(len(row) != len(names) for row in rows):
        sys.exit("%s: a round without a time for each of %s" % (argv[1], " ".join(names)))
    column = {name: [row[i] for row in rows] for i, name in enumerate(names)}
    reference = argv[2]
    labels = dict(arg.split("=", 1) for arg in argv[3:])
    for name in list(labels) + [reference]:
        if name not in column:
            sys.exit("%s has no run named %s" % (argv[1], name))
    if reference not in labels:
        labels[reference] = reference

    width = max(len(label) for label in labels.values()) + 1
    for name, label in labels.items():
        print("  %-*s %s" % (width, label + ":", milliseconds(column[name])))
    base = column[reference]
    for name, label in labels.items():
        if name == reference:
            continue
        ratio = [x / y for x, y in zip(column[name], base)]
        diff = [x - y for x, y in zip(column[name], base)]
        r1, r2, r3 = quartiles(ratio)
        d1, d2, d3 = quartiles(diff)
        print("  ratio %s/%s, per round: median %.3f (IQR %.3f to %.3f, spread %.3f)"
              % (name, reference, r2, r1, r3, r3 - r1))
        print("    difference, per round: median %+.2f ms (IQR %+.2f to %+.2f)"
              % (d2 / 1000, d1 / 1000, d3 / 1000))


if __name__ == "__main__":
    main(sys.argv)

#!/usr/bin/env python3
"""Writes COUNT small generated spreadsheets (.ods) into FOLDER for the benchmarks.

usage: make_many.py FOLDER COUNT
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import make_samples  # noqa: E402


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    for n in range(count):
        rows = [["Item", "Amount", "Day"]]
        for r in range(1, 21):
            rows.append(["row %d of book %d" % (r, n), (n * 31 + r * 7) % 1000 + r / 4.0,
                         ("date", "2024-%02d-%02d" % (r % 12 + 1, r % 28 + 1))])
        rows.append(["Total", ("sum", "B2:B21", sum(row[1] for row in rows[1:])), ""])
        make_samples.write(os.path.join(folder, "book%04d.ods" % n), [("Data", rows), ("Notes", [["Book", n]])])


if __name__ == "__main__":
    main()

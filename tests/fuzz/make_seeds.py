#!/usr/bin/env python3
"""Seed corpora of the fuzz targets.

    make_seeds.py DIR    writes DIR/archive_update, DIR/command_line, DIR/pattern

archive_update: the small archives of update_fixtures.py (other writers,
every data descriptor form, damage of each kind), each after a byte that
picks what is added; command_line and pattern: lines and patterns the
archiver meets, Shift-JIS included.
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "unit", "zip32"))
import update_fixtures  # noqa: E402

COMMAND_LINES = [
    '-6 -j "C:\\Data\\report.zip" "C:\\Data\\report.txt"',
    "-0q -j a.zip b c",
    '-9 "C:\\表\\ソフト.zip" "C:\\表\\ソフト[[]1].txt"',
    '-1 a"b c"d e',
    '-x a.zip b',
    '-6 "unclosed',
    '"" a',
    "-q",
]

PATTERNS = [
    b"*.txt\0report.TXT",
    b"?\0" + "表".encode("cp932"),
    b"[a-c]*\0b.zip",
    b"[!x]?[^y]\0abc",
    b"[[]1].txt\0[1].txt",
    "表[[]1].txt".encode("cp932") + b"\0" + "表[1].txt".encode("cp932"),
    b"*a*a*a*a*b\0" + b"a" * 60,
    b"[]]\0]",
    b"[a\0a",
]


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main(folder):
    with tempfile.TemporaryDirectory() as scratch:
        update_fixtures._scratch.append(scratch)
        for case in update_fixtures.cases():
            if len(case["data"]) <= 65536:
                for pick in (1, 2):
                    write(os.path.join(folder, "archive_update"), "%s-%d" % (case["name"], pick),
                          bytes([pick]) + case["data"])
    for i, line in enumerate(COMMAND_LINES):
        write(os.path.join(folder, "command_line"), "line%d" % i, line.encode("cp932"))
    for i, pattern in enumerate(PATTERNS):
        write(os.path.join(folder, "pattern"), "pattern%d" % i, pattern)


main(sys.argv[1])

#!/usr/bin/env python3
"""Checks an archive with three independent readers.

    check_zip.py ARCHIVE [NAME...]

7-Zip (`7zz t`) and libarchive (`bsdtar -tvf`) must accept it; Python's
zipfile must find every CRC right. With names given (raw Shift-JIS bytes, or "hex:" and their bytes in hex),
the entries must be exactly those, decoded as cp932, and 7-Zip must show
each non-ASCII one by its Unicode name. Prints what is wrong; exits 1.
"""
import os
import subprocess
import sys
import zipfile


def fail(message):
    print("check_zip: " + message)
    sys.exit(1)


def run(args):
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
    return result.returncode, result.stdout.decode("utf-8", "replace")


def raw_name(info):
    if info.flag_bits & 0x800:
        fail("UTF-8 flag set on " + info.filename)
    return info.orig_filename.encode("cp437")


def main():
    archive = sys.argv[1]
    expected = [bytes.fromhex(a[4:]) if a.startswith("hex:") else os.fsencode(a) for a in sys.argv[2:]]
    code, out = run(["7zz", "t", archive])
    if code != 0 or "Everything is Ok" not in out:
        fail("7zz t:\n" + out)
    code, out = run(["bsdtar", "-tvf", archive])
    if code != 0:
        fail("bsdtar -tvf:\n" + out)
    with zipfile.ZipFile(archive) as z:
        bad = z.testzip()
        if bad is not None:
            fail("zipfile: bad CRC in " + bad)
        names = [raw_name(i) for i in z.infolist()]
    if expected:
        if sorted(names) != sorted(expected):
            fail("names %r, expected %r" % (names, expected))
        code, listing = run(["7zz", "l", "-slt", archive])
        paths = {line[7:] for line in listing.splitlines() if line.startswith("Path = ")}
        for name in expected:
            unicode = name.decode("cp932").replace("\\", "/")
            if not any(p.replace("\\", "/") == unicode for p in paths):
                fail("7zz shows %r, expected %r" % (sorted(paths), unicode))
    print("ok")


main()

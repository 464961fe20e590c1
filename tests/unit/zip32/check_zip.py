#!/usr/bin/env python3
"""Checks an archive with three independent readers.

    check_zip.py ARCHIVE [NAME...]

7-Zip (`7zz t`) and libarchive (`bsdtar -tvf`) must accept it; Python's
zipfile must find every CRC right. With names given (raw Shift-JIS bytes, or "hex:" and their bytes in hex),
the entries must be exactly those, decoded as cp932, and 7-Zip must show
each non-ASCII one by its Unicode name. A name given as "unicode:" and UTF-8
(or "unicode:hex:" and its UTF-8 bytes in hex) is an entry's real name,
carried by its Unicode Path field (0x7075) beside a name field of another
spelling: zipfile must find it there, and 7-Zip and libarchive must show
it. Prints what is wrong; exits 1.
"""
import os
import struct
import subprocess
import sys
import zipfile
import zlib

UNICODE_PATH = 0x7075


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


def unicode_path(info):
    """The name in an entry's Unicode Path field, where the field is made
    from the very name field it stands beside (its CRC says so)."""
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        body = extra[4:4 + size]
        if tag == UNICODE_PATH and size >= 5 and body[0] == 1:
            crc, = struct.unpack("<I", body[1:5])
            if crc == zlib.crc32(info.orig_filename.encode("cp437")):
                return body[5:].decode("utf-8")
        extra = extra[4 + size:]
    return None


def raw(argument):
    return bytes.fromhex(argument[4:]) if argument.startswith("hex:") else os.fsencode(argument)


def main():
    archive = sys.argv[1]
    given = sys.argv[2:]
    real = [raw(a[len("unicode:"):]).decode("utf-8") for a in given if a.startswith("unicode:")]
    expected = [raw(a) for a in given if not a.startswith("unicode:")]
    code, out = run(["7zz", "t", archive])
    if code != 0 or "Everything is Ok" not in out:
        fail("7zz t:\n" + out)
    code, tar_listing = run(["bsdtar", "-tf", archive])
    if code != 0:
        fail("bsdtar -tf:\n" + tar_listing)
    with zipfile.ZipFile(archive) as z:
        bad = z.testzip()
        if bad is not None:
            fail("zipfile: bad CRC in " + bad)
        infos = z.infolist()
        unicode_names = [unicode_path(i) for i in infos]
        names = [raw_name(i) for i, u in zip(infos, unicode_names) if u not in real]
    if not given:
        print("ok")
        return
    if sorted(names) != sorted(expected):
        fail("names %r, expected %r" % (names, expected))
    code, listing = run(["7zz", "l", "-slt", archive])
    paths = {line[7:].replace("\\", "/") for line in listing.splitlines() if line.startswith("Path = ")}
    shown = [name.decode("cp932").replace("\\", "/") for name in expected] + real
    for name in shown:
        if name not in paths:
            fail("7zz shows %r, expected %r" % (sorted(paths), name))
    for name in real:
        if name not in unicode_names:
            fail("zipfile finds the Unicode names %r, expected %r" % (unicode_names, name))
        if name not in tar_listing.splitlines():
            fail("bsdtar shows %r, expected %r" % (tar_listing.splitlines(), name))
    print("ok")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Archives of other writers, sound and damaged, to add a file to; and the
check of what adding made of them.

    update_fixtures.py make DIR     writes DIR/<case>.zip, DIR/cases.txt, DIR/manifest.json
    update_fixtures.py check DIR    checks DIR/work/<case>.zip against the manifest

cases.txt has one line per case: its name, the name of the file to add (its
Shift-JIS bytes in hex) and what must happen: "ok", or the result code of a
refusal. The test adds DIR/work/<case>/<that name> (its content is
new_content(case)) to a copy DIR/work/<case>.zip of the fixture, with -j,
and lists the codes it got in DIR/work/results.txt ("case code" lines).
A refused archive must stay byte for byte as it was, which the test
compares itself. For the others "check" makes sure that 7-Zip, libarchive
and Python's zipfile read the result, that every old entry that is not
replaced is there byte for byte (local header, data, data descriptor),
that the bytes before the first entry, the comment and the bytes after the
end record are kept, and that the new entry holds the new content. Prints
one line per problem; exits 1 when there is any.
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

DESCRIPTOR_SIGNATURE = b"PK\x07\x08"


def new_content(case):
    return b"new content of " + case.encode()


def sjis(text):
    return text.encode("cp932")


def deflate(data):
    packer = zlib.compressobj(6, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


class Entry:
    """One entry of a hand-made archive, with ways to make it lie."""

    def __init__(self, name, data, method=0, descriptor=None, local_zip64=False,
                 central_zip64=False, flags=0, central_extra=b"", local=None, central=None,
                 described=None):
        self.name = name
        self.data = data
        self.method = method
        self.packed = deflate(data) if method == 8 else data
        self.crc = zlib.crc32(data)
        self.descriptor = descriptor  # None, "sig16", "raw16", "sig24", "raw24"
        self.local_zip64 = local_zip64
        self.central_zip64 = central_zip64
        self.flags = flags | (8 if descriptor else 0)
        self.central_extra = central_extra
        self.local = local or {}  # fields of the local header that differ from the truth
        self.central = central or {}  # same for the central header
        self.described = described or {}  # same for the data descriptor

    def local_header(self):
        f = dict(name=self.name, method=self.method, crc=self.crc, csize=len(self.packed),
                 usize=len(self.data), flags=self.flags)
        if self.descriptor:
            f.update(crc=0, csize=0, usize=0)
        f.update(self.local)
        extra = b""
        csize, usize = f["csize"], f["usize"]
        if self.local_zip64:
            extra = struct.pack("<HHQQ", 1, 16, usize, csize)
            csize = usize = 0xFFFFFFFF
        return struct.pack("<IHHHHHIIIHH", 0x04034B50, 45 if self.local_zip64 else 20, f["flags"],
                           f["method"], 0, 0x21, f["crc"], csize, usize, len(f["name"]),
                           len(extra)) + f["name"] + extra

    def descriptor_bytes(self):
        if not self.descriptor:
            return b""
        f = dict(crc=self.crc, csize=len(self.packed), usize=len(self.data))
        f.update(self.described)
        wide = self.descriptor.endswith("24")
        body = struct.pack("<IQQ" if wide else "<III", f["crc"], f["csize"], f["usize"])
        return (DESCRIPTOR_SIGNATURE if self.descriptor.startswith("sig") else b"") + body

    def record(self):
        return self.local_header() + self.packed + self.descriptor_bytes()

    def central_header(self, offset):
        f = dict(name=self.name, method=self.method, crc=self.crc, csize=len(self.packed),
                 usize=len(self.data), flags=self.flags, offset=offset)
        f.update(self.central)
        zip64 = b""
        csize, usize, offset = f["csize"], f["usize"], f["offset"]
        if self.central_zip64 or "zip64_offset" in f:
            fields = struct.pack("<QQ", usize, csize)
            csize = usize = 0xFFFFFFFF
            if "zip64_offset" in f:
                fields += struct.pack("<Q", f["zip64_offset"])
                offset = 0xFFFFFFFF
            zip64 = struct.pack("<HH", 1, len(fields)) + fields
        extra = zip64 + self.central_extra
        return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, f["flags"], f["method"], 0,
                           0x21, f["crc"], csize, usize, len(f["name"]), len(extra), 0, 0, 0, 0,
                           offset) + f["name"] + extra


def build(entries, prefix=b"", prefix_counted=True, comment=b"", trailer=b"", count=None,
          zip64_end=False, directory_size_change=0, zip64_offset=None, gap=b"", listed_twice=()):
    """A hand-made archive and the byte ranges of its entries' records. The
    entries at the indexes listed_twice have a second central record."""
    body = bytearray(prefix)
    base = 0 if prefix_counted else len(prefix)
    offsets, records = [], []
    for i, entry in enumerate(entries):
        if i > 0:
            body += gap
        offsets.append(len(body) - base)
        record = entry.record()
        records.append((entry.name, len(body), len(body) + len(record)))
        body += record
    directory_start = len(body)
    listed = list(zip(entries, offsets)) + [(entries[i], offsets[i]) for i in listed_twice]
    for entry, offset in listed:
        body += entry.central_header(entry.central.get("offset", offset))
    size = len(body) - directory_start + directory_size_change
    offset = directory_start - base
    total = len(listed) if count is None else count
    if zip64_end:
        record_at = len(body)
        body += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, total, total, size,
                            offset if zip64_offset is None else zip64_offset)
        body += struct.pack("<IIQI", 0x07064B50, 0, record_at, 1)
        body += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                            len(comment))
    else:
        body += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, total & 0xFFFF, total & 0xFFFF, size,
                            offset, len(comment))
    return dict(data=bytes(body) + comment + trailer, records=records, prefix=len(prefix),
                comment=comment, trailer=trailer)


def record_ranges(data, start=0):
    """The records of an archive without gaps (as real writers make them):
    each from its local header to the next one, the last to the directory."""
    with zipfile.ZipFile(path_of(data)) as z:
        infos = sorted(z.infolist(), key=lambda i: i.header_offset)
        ends = [i.header_offset for i in infos[1:]] + [z.start_dir]
        return [(raw_name(i), i.header_offset + start, end + start) for i, end in zip(infos, ends)]


_scratch = []


def path_of(data):
    path = os.path.join(_scratch[0], "scratch.zip")
    with open(path, "wb") as f:
        f.write(data)
    return path


def raw_name(info):
    return info.filename.encode("utf-8") if info.flag_bits & 0x800 else info.orig_filename.encode(
        "cp437")


class Unseekable:
    """A file that cannot seek, as a pipe: writers then use data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def write(self, b):
        self.data += b
        return len(b)

    def flush(self):
        pass

    def tell(self):
        raise OSError("unseekable")

    def seek(self, *args):
        raise OSError("unseekable")


def zipfile_archive(files, stream=False, force_zip64=False, comment=b"", method=zipfile.ZIP_DEFLATED):
    if stream:
        out = Unseekable()
        z = zipfile.ZipFile(out, "w", method)
    else:
        out = None
        path = os.path.join(_scratch[0], "made.zip")
        z = zipfile.ZipFile(path, "w", method)
    with z:
        z.comment = comment
        for name, data in files:
            info = zipfile.ZipInfo(name, (2024, 5, 1, 12, 0, 0))
            info.compress_type = method
            if isinstance(data, tuple):
                data, info.compress_type = data
            with z.open(info, "w", force_zip64=force_zip64) as f:
                f.write(data)
    if stream:
        return bytes(out.data)
    with open(path, "rb") as f:
        return f.read()


def tool_archive(command, files, output=None):
    """An archive made by 7zz or bsdtar from files in a folder of their own."""
    folder = os.path.join(_scratch[0], "tool")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in files:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    names = [name for name, _ in files]
    if output is None:
        result = subprocess.run(command + names, cwd=folder, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, check=True)
        return result.stdout
    subprocess.run(command + [output] + names, cwd=folder, stdout=subprocess.DEVNULL, check=True)
    with open(os.path.join(folder, output), "rb") as f:
        return f.read()


TEXT = b"archive of another writer, " * 200


def many_entries(count):
    return [Entry(b"e%d" % i, b"") for i in range(count)]


def with_counts(data, count):
    """The end record's two entry counts set to count."""
    at = data.rindex(b"PK\x05\x06")
    return data[:at + 8] + struct.pack("<HH", count, count) + data[at + 12:]


def on_second_disk(data):
    """The end record of the second part of an archive split over disks."""
    at = data.rindex(b"PK\x05\x06")
    return data[:at + 4] + struct.pack("<HH", 1, 1) + data[at + 8:]


def with_signature_record(data):
    """A digital signature record after the central headers, counted in the directory's size."""
    at = data.rindex(b"PK\x05\x06")
    record = struct.pack("<IH", 0x05054B50, 4) + b"sign"
    size, = struct.unpack_from("<I", data, at + 12)
    return (data[:at] + record + data[at:at + 12] + struct.pack("<I", size + len(record)) +
            data[at + 16:])


def cases():
    """Each case: its name, the archive, the records of its entries, how many
    bytes come before them, its comment and what follows the end record, the
    name to add, the outcome expected and the old names it replaces."""
    out = []

    def add_case(name, made, add, expect, replaces, lost_on=()):
        # Replaced names as their entries have them: UTF-8 (bytes given) or Shift-JIS.
        made.update(name=name, add=sjis(add), expect=expect,
                    replaces=[r if isinstance(r, bytes) else sjis(r) for r in replaces],
                    lost_on=list(lost_on))
        out.append(made)

    def real(name, data, add="new.txt", expect="ok", replaces=(), start=0, trailer=b""):
        archive = data[start:len(data) - len(trailer)]
        with zipfile.ZipFile(path_of(archive)) as z:
            comment = z.comment
        add_case(name, dict(data=data, records=record_ranges(archive, start), prefix=start,
                            comment=comment, trailer=trailer), add, expect, replaces)

    def hand(name, made, add="new.txt", expect="ok", replaces=(), lost_on=()):
        add_case(name, made, add, expect, replaces, lost_on)

    def raw(name, data):
        add_case(name, dict(data=data, records=[], prefix=0, comment=b"", trailer=b""), "new.txt",
                 5, ())

    files = [("a.txt", TEXT), ("b.bin", bytes(range(256)) * 4), ("empty.txt", b"")]
    plain = zipfile_archive(files, comment=b"zipfile comment")
    # Archives of other writers, as they make them.
    real("zipfile_deflated", plain, add="A.TXT", replaces=["a.txt"])
    real("zipfile_streamed", zipfile_archive(
        [("stored.txt", (TEXT, zipfile.ZIP_STORED)), ("deflated.txt", TEXT)], stream=True),
         add="stored.txt", replaces=["stored.txt"])
    real("zipfile_zip64_streamed", zipfile_archive(files, stream=True, force_zip64=True))
    real("zipfile_zip64_local", zipfile_archive(files, force_zip64=True))
    real("zipfile_utf8_name", zipfile_archive([("表.txt", TEXT), ("readme.txt", b"r")]),
         add="表.txt", replaces=["表.txt".encode()])
    real("bsdtar_pipe", tool_archive(["bsdtar", "-cf", "-", "--format", "zip"], files))
    real("bsdtar_stored", tool_archive(
        ["bsdtar", "-cf", "-", "--format", "zip", "--options", "zip:compression=store"], files))
    real("7zz_deflated", tool_archive(["7zz", "a", "-tzip", "-bd"], files, "x.zip"),
         add="B.BIN", replaces=["b.bin"])
    real("7zz_japanese", tool_archive(["7zz", "a", "-tzip", "-bd"], [("ソフト表.txt", TEXT)],
                                      "x.zip"), add="ソフト表.txt", replaces=["ソフト表.txt".encode()])

    # Counts that disagree with the directory.
    real("count_smaller", with_counts(plain, 2))
    real("count_larger", with_counts(plain, 9))
    hand("count_modulo_65536", build(many_entries(65537)))
    hand("count_65535_without_zip64", build(many_entries(65535)))

    # Data descriptors in every form.
    a = lambda **k: Entry(b"a.txt", TEXT, **k)
    b = lambda **k: Entry(b"b.txt", b"bb" * 100, **k)
    hand("descriptor_sig16_deflated", build([a(method=8, descriptor="sig16"), b()]))
    hand("descriptor_raw16_stored", build([a(descriptor="raw16"), b(descriptor="raw16")]))
    hand("descriptor_sig24_local_zip64",
         build([a(descriptor="sig24", local_zip64=True), b(method=8, descriptor="sig24",
                                                           local_zip64=True)]))
    hand("descriptor_raw24_local_zip64", build([a(method=8, descriptor="raw24", local_zip64=True),
                                                b()]))
    hand("descriptor_16_central_zip64_only",
         build([a(method=8, descriptor="sig16", central_zip64=True), b(descriptor="raw16")]))
    # Go's archive/zip decides on ZIP64 after the data: a big entry gets a
    # 24-byte descriptor behind a local header without a ZIP64 field.
    hand("descriptor_24_without_local_zip64",
         build([a(method=8, descriptor="sig24", central_zip64=True), b(descriptor="raw24")]))
    hand("descriptor_wrong_crc", build([a(descriptor="sig16", described={"crc": 1}), b()]),
         expect=5)
    hand("descriptor_missing", build([a(flags=8), b()]), expect=5)

    # Sizes and offsets that overflow.
    hand("size_near_2_64", build([a(descriptor="sig16", central_zip64=True,
                                    central={"csize": 2**64 - 16}), b()]), expect=5)
    hand("offset_near_2_64", build([a(), b(central={"zip64_offset": 2**64 - 1})]), expect=5)
    hand("directory_offset_wraps", build([a(), b()], zip64_end=True, zip64_offset=2**64 - 8),
         expect=5)
    hand("local_size_near_2_64", build([a(local_zip64=True, local={"csize": 2**64 - 1}), b()]),
         expect=5)
    # Both headers agree on a size whose sum with the offset wraps to a small number.
    near = 2**64 - 16
    hand("sizes_near_2_64_that_agree", build([a(local_zip64=True, central_zip64=True,
                                                local={"csize": near}, central={"csize": near}),
                                              b()]), expect=5)

    # Damage, reported as damage.
    hand("local_name_differs", build([a(local={"name": b"x.txt"}), b()]), expect=5)
    hand("local_method_differs", build([a(local={"method": 8}), b()]), expect=5)
    hand("local_crc_differs", build([a(local={"crc": 12345}), b()]), expect=5)
    hand("local_size_differs", build([a(local={"usize": 7}), b()]), expect=5)
    hand("two_records_one_header", build([a(), b(central={"offset": 0})]), expect=5)
    hand("one_entry_listed_twice", build([a(), b()], listed_twice=[0]), expect=5)
    # The second entry's header and data lie inside the data of the first.
    inner = Entry(b"inner.txt", b"hidden")
    inside = Entry(b"inner.txt", b"hidden", central={"offset": 30 + len(b"outer.txt")})
    hand("record_inside_another", build([Entry(b"outer.txt", inner.record() + b"tail"), inside]),
         expect=5)
    hand("data_runs_into_directory", build([a(), b(descriptor="sig16",
                                                   central={"csize": 10**6})]), expect=5)
    hand("directory_size_short", build([a(), b()], directory_size_change=-10), expect=5)
    raw("truncated", plain[:-30])
    raw("not_a_zip_file", b"just some text, no archive at all\n")
    raw("empty_file", b"")
    # Not supported, refused untouched.
    raw("split_over_disks", on_second_disk(plain))
    raw("digital_signature_record", with_signature_record(plain))

    # Bytes before the first entry.
    stub = b"MZ" + bytes(range(256)) * 8
    hand("stub_counted_in_offsets", build([a(), b()], prefix=stub))
    real("stub_left_out_of_offsets", stub + plain, start=len(stub))
    hand("gap_between_entries", build([a(), b()], gap=b"\0" * 100))

    # Bytes after the end record, comments.
    real("padding_after_end", plain + bytes(3000), trailer=bytes(3000))
    # zipfile takes the last signature it finds for the end record, so such a
    # comment, kept, loses it the archive whoever wrote it.
    hand("comment_with_signature", build([a(), b()], comment=b"see PK\x05\x06 and PK\x01\x02"),
         lost_on=["zipfile"])
    empty_end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0, 0, 0, 0, 0)
    hand("comment_with_end_record", build([a(), b()], comment=b"old: " + empty_end),
         lost_on=["zipfile"])

    # Names in other encodings.
    table = "表.txt"
    unicode_path = lambda raw, crc_of: struct.pack(
        "<HHBI", 0x7075, 5 + len(table.encode()), 1, zlib.crc32(crc_of)) + table.encode()
    hand("unicode_path_field", build([Entry(b"?.txt", TEXT, central_extra=unicode_path(
        b"?.txt", b"?.txt")), b()]), add=table, replaces=[b"?.txt"])
    hand("unicode_path_field_stale", build([Entry(b"old.txt", TEXT, central_extra=unicode_path(
        b"old.txt", b"older.txt")), b()]), add=table)
    hand("utf8_full_width_case", build([Entry("Ａ.txt".encode(), TEXT, flags=0x800), b()]),
         add="ａ.txt", replaces=["Ａ.txt".encode()])
    hand("two_old_entries_one_name", build([Entry(b"a.txt", b"1"), Entry(b"A.TXT", b"2"), b()]),
         add="a.txt", replaces=["a.txt", "A.TXT"])
    hand("same_name_other_folder", build([Entry(sjis("sub/表.txt"), TEXT), b()]), add=table)
    return out


def make(folder):
    os.makedirs(folder, exist_ok=True)
    _scratch.append(folder)
    manifest = {}
    with open(os.path.join(folder, "cases.txt"), "w") as listing:
        for case in cases():
            name = case["name"]
            with open(os.path.join(folder, name + ".zip"), "wb") as f:
                f.write(case["data"])
            listing.write("%s %s %s\n" % (name, case["add"].hex(), case["expect"]))
            manifest[name] = dict(expect=case["expect"], add=case["add"].hex(),
                                  prefix=case["prefix"], comment=case["comment"].hex(),
                                  trailer=case["trailer"].hex(), lost_on=case["lost_on"],
                                  records=[[n.hex(), s, e] for n, s, e in case["records"]],
                                  replaces=[r.hex() for r in case["replaces"]])
    for scratch in ("scratch.zip", "made.zip"):
        os.remove(os.path.join(folder, scratch))
    shutil.rmtree(os.path.join(folder, "tool"))
    with open(os.path.join(folder, "manifest.json"), "w") as f:
        json.dump(manifest, f)


def readers_fail(path, lost_on=()):
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    for command in (["7zz", "t", path], ["bsdtar", "-tvf", path]):
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
        if result.returncode != 0:
            return "%s: %s" % (command[0], result.stdout.decode("utf-8", "replace")[-400:])
    if "zipfile" in lost_on:
        return None
    try:
        with zipfile.ZipFile(path) as z:
            bad = z.testzip()
            return "zipfile: bad CRC in %s" % bad if bad else None
    except Exception as error:
        return "zipfile: %s" % error


def check_case(folder, name, spec):
    with open(os.path.join(folder, name + ".zip"), "rb") as f:
        before = f.read()
    after_path = os.path.join(folder, "work", name + ".zip")
    with open(after_path, "rb") as f:
        after = f.read()
    problem = readers_fail(after_path, spec["lost_on"])
    if problem:
        return [problem]
    problems = []
    # The comment and what follows the end record, as they were.
    comment, trailer = bytes.fromhex(spec["comment"]), bytes.fromhex(spec["trailer"])
    tail = struct.pack("<H", len(comment)) + comment + trailer
    if not after.endswith(tail):
        problems.append("the comment or the bytes after the end record changed")
    # The entries are looked at in a copy without them, which every reader reads.
    core_path = os.path.join(folder, "work", name + ".core.zip")
    with open(core_path, "wb") as f:
        f.write(after[:len(after) - len(tail)] + b"\0\0")
    problem = readers_fail(core_path)
    if problem:
        return problems + ["without its comment: " + problem]
    if after[:spec["prefix"]] != before[:spec["prefix"]]:
        problems.append("the bytes before the first entry changed")
    with zipfile.ZipFile(core_path) as z:
        infos = z.infolist()
        by_name = {}
        for info in infos:
            by_name.setdefault(raw_name(info), []).append(info)
        replaced = {bytes.fromhex(r) for r in spec["replaces"]}
        added = bytes.fromhex(spec["add"])
        kept = 0
        for name_hex, start, end in spec["records"]:
            old_name = bytes.fromhex(name_hex)
            if old_name in replaced:
                if old_name in by_name and old_name != added:
                    problems.append("%r is still there" % old_name)
                continue
            kept += 1
            found = [i for i in by_name.get(old_name, [])
                     if after[i.header_offset:i.header_offset + end - start] == before[start:end]]
            if not found:
                problems.append("%r is not there byte for byte" % old_name)
        if len(by_name.get(added, [])) != 1:
            problems.append("the new entry %r is there %d times" % (added, len(by_name.get(added, []))))
        elif z.read(by_name[added][0]) != new_content(name):
            problems.append("the new entry does not hold the new content")
        if len(infos) != kept + 1:
            problems.append("%d entries, expected %d" % (len(infos), kept + 1))
    os.remove(core_path)
    return problems


def check(folder):
    with open(os.path.join(folder, "manifest.json")) as f:
        manifest = json.load(f)
    with open(os.path.join(folder, "work", "results.txt")) as f:
        results = dict(line.split() for line in f if line.strip())
    failed = False
    for name, spec in manifest.items():
        if spec["expect"] != "ok" or results.get(name) != "0":
            continue
        problems = check_case(folder, name, spec)
        for problem in problems[:3]:
            print("%s: %s" % (name, problem))
        if len(problems) > 3:
            print("%s: and %d problems more" % (name, len(problems) - 3))
        failed = failed or bool(problems)
    print("ok" if not failed else "failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    {"make": make, "check": check}[sys.argv[1]](sys.argv[2])

#!/usr/bin/env python3
"""Many small files, one archive each, through the real program.

Makes N text files of 1 to 20 KB, lists them on Selvat Archiver's command
line, presses Start and times the run until the list is done: quietly and
with the archiver's progress window, in Wine's virtual desktop and on the X
display itself (with Wine drawing the frames, as the end-to-end stories run
there, and with Wine's default of leaving the windows to a window manager
that is not there). Beside it, in the same rounds: our library alone (one
Wine process calling Zip for every file), a per-file `7zz a -tzip` loop and
one Python process writing each archive with zipfile. Then one big text file
through one Zip call against single-threaded zlib streaming it in the same
Wine. Prints ms per archive, the ratios with their goals, and the spread
over the rounds.

    /usr/bin/python3 bench/program/run.py [--files N] [--mb N] [--rounds N]
                                          [--only CASE,...] [--ratios FILE]

Needs the Windows build (tools/build) and Debian's python3 (the end-to-end
harness it drives the program with uses its X library)."""
import argparse
import json
import os
import pathlib
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import harness  # noqa: E402
from harness import Session, to_windows_path  # noqa: E402

LEVEL = 6
WORDS = ("archive file data level the of and to in is 書庫 圧縮 ファイル "
         "Selvat zip deflate window progress cancel 0123456789").split()


def words(rng, size):
    return " ".join(rng.choice(WORDS) for _ in range(size // 4)).encode("cp932")[:size]


def make_small_files(folder, count):
    rng = random.Random(15)
    folder.mkdir(parents=True)
    paths = []
    for i in range(count):
        path = folder / ("doc%04d.txt" % i)
        path.write_bytes(words(rng, rng.randint(1024, 20 * 1024)))
        paths.append(path)
    return paths


def make_big_file(path, megabytes):
    """Text: a megabyte of random words, rotated anew for every megabyte."""
    block = words(random.Random(16), 1 << 20)
    with open(path, "wb") as out:
        for i in range(megabytes):
            shift = i * 7919 % len(block)
            out.write(block[shift:] + block[:shift])
    return path


class ManagedSession(Session):
    """On the X display without a virtual desktop, the windows left to a
    window manager as Wine does by default, and none running."""

    def _use_desktop(self, desktop):
        key = "HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\{}"
        entries = "".join(f"[{key.format(exe)}\\Explorer]\n\"Desktop\"=\"Root\"\n"
                          f"[-{key.format(exe)}\\X11 Driver]\n" for exe in ("selvat.exe", "selvat-probe.exe"))
        script = self.folder / "managed.reg"
        script.write_text("REGEDIT4\n\n" + entries)
        subprocess.run([self.env["WINE"], "reg", "import", to_windows_path(script)], env=self.env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        Session.desktop = None  # the next session sets its own state again


def program_run(files, quiet, desktop):
    """Seconds from Start to the end of the run, the files listed on the command line."""
    kind = ManagedSession if desktop is None else Session
    session = kind("bench", libraries=harness.real_libraries(), desktop=bool(desktop))
    try:
        (session.app / "selvat.ini").write_text("[Option]\r\nArcRate=%d\r\nNoDialog=%d\r\n" % (LEVEL, quiet))
        session.start(*[to_windows_path(p) for p in files])
        main = session.main_window(timeout=60)
        listed = harness.input_list(session, main)
        session.wait_for(lambda: session.count(listed), 60, "the list", accept=lambda n: n == len(files))
        caption = lambda: session.now(main)["text"]
        started = time.perf_counter()
        session.xdotool("key", "alt+z")  # as a user starts it: the window has the keyboard
        session.wait_for(caption, 60, "the run to start", accept=lambda text: text != "Selvat Archiver",
                         every=0.005)
        # Looked at every 20 ms: the probe's questions cost the program's cores too.
        session.wait_for(caption, 3600, "the end of the run", accept=lambda text: text == "Selvat Archiver",
                         every=0.02)
        seconds = time.perf_counter() - started
        if session.count(listed):
            raise SystemExit("the program left items in its list")
        session.probe.ask("close", main["hwnd"])
        session.exit_code(timeout=60)
        return seconds
    finally:
        session.stop()


def wine_env():
    return dict(harness.wine_environment(), DISPLAY="")


def driver():
    return harness.windows_build() / "bench" / "program" / "bench_zip_calls.exe"


def library_run(files, out):
    libraries = to_windows_path(harness.windows_build() / "bin")
    result = subprocess.run([wine_env()["WINE"], str(driver()), libraries, str(LEVEL), to_windows_path(out)]
                            + [to_windows_path(p) for p in files],
                            env=wine_env(), stdout=subprocess.PIPE, check=True)
    return float(result.stdout.split()[-1])


def zlib_run(path, out):
    result = subprocess.run([wine_env()["WINE"], str(driver()), "--zlib", str(LEVEL), to_windows_path(path),
                             to_windows_path(out / "zlib.raw")], env=wine_env(), stdout=subprocess.PIPE, check=True)
    return float(result.stdout.split()[-1])


def sevenzip_run(files, out):
    start = time.perf_counter()
    for path in files:
        subprocess.run(["7zz", "a", "-tzip", "-mx%d" % LEVEL, "-bso0", "-bsp0",
                        str(out / (path.stem + ".zip")), str(path)], check=True)
    return time.perf_counter() - start


def zipfile_run(files, out):
    start = time.perf_counter()
    for path in files:
        with zipfile.ZipFile(out / (path.stem + ".zip"), "w", zipfile.ZIP_DEFLATED,
                             compresslevel=LEVEL) as archive:
            archive.write(path, path.name)
    return time.perf_counter() - start


def durable_zipfile_run(files, out):
    """The zipfile loop held to what our library promises: each archive written
    to a temporary file beside it, flushed to disk and renamed into place."""
    start = time.perf_counter()
    for path in files:
        target = out / (path.stem + ".zip")
        temporary = out / ("~" + path.stem + ".tmp")
        with open(temporary, "wb") as raw:
            with zipfile.ZipFile(raw, "w", zipfile.ZIP_DEFLATED, compresslevel=LEVEL) as archive:
                archive.write(path, path.name)
            raw.flush()
            os.fsync(raw.fileno())
        os.replace(temporary, target)
    return time.perf_counter() - start


def check_archives(folder, files):
    for path in files:
        with zipfile.ZipFile(folder / (path.stem + ".zip")) as archive:
            if archive.testzip() is not None or archive.namelist() != [path.name]:
                raise SystemExit(f"bad archive for {path}")


CASES = {
    "program-quiet": "the program, quiet",
    "program-window-desktop": "the program with the progress window, in Wine's virtual desktop",
    "program-window-frames": "the program with the progress window, no virtual desktop, Wine's frames",
    "program-window-no-wm": "the program with the progress window, no virtual desktop, no window manager",
    "library": "our library alone, one process calling Zip for every file",
    "7zz": "a per-file 7zz loop, native",
    "zipfile": "one Python process writing each archive with zipfile, native",
    "zipfile-durable": "the same zipfile loop, each archive flushed to disk and renamed into place",
    "library-big": "a big text file through one Zip call under Wine",
    "zlib-big": "single-threaded zlib streaming the big file under Wine",
}
# the case, and its ratio: numerator / denominator, with the goal
SEVEN = "<= 0.5 quiet, <= 1 with the window"
GOALS = [
    ("program-quiet", "program-quiet", "7zz", "ms / 7zz loop", SEVEN, lambda r: r <= 0.5),
    ("program-window-desktop", "program-window-desktop", "7zz", "ms / 7zz loop", SEVEN, lambda r: r <= 1.0),
    ("program-window-frames", "program-window-frames", "7zz", "ms / 7zz loop", SEVEN, lambda r: r <= 1.0),
    ("program-window-no-wm", "program-window-no-wm", "7zz", "ms / 7zz loop", SEVEN, lambda r: r <= 1.0),
    ("library", "library", "zipfile", "ms / zipfile loop", "<= 1.5", lambda r: r <= 1.5),
    ("library", "library", "zipfile-durable", "ms / durable zipfile loop", "", lambda r: True),
    ("library-big", "zlib-big", "library-big", "speed / zlib streaming", ">= 1.7", lambda r: r >= 1.7),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=300, help="small files, one archive each")
    parser.add_argument("--mb", type=int, default=58, help="size of the big file in MB")
    parser.add_argument("--rounds", type=int, default=3, help="rounds of every case; the median is reported")
    parser.add_argument("--only", help="the cases to run, comma-separated: " + ", ".join(CASES))
    parser.add_argument("--ratios", help="write the ratios as JSON lines to this file")
    args = parser.parse_args()
    build = pathlib.Path(os.environ.get("SELVAT_BUILD_DIR", ROOT / "build"))
    harness.configure(build, build / "results" / "bench")
    for needed in (harness.program_files(), driver()):
        if not needed.exists():
            sys.exit(f"build it first: {needed}")
    chosen = args.only.split(",") if args.only else list(CASES)

    work = pathlib.Path(tempfile.mkdtemp(prefix="selvat-bench-program-", dir="/tmp"))
    try:
        data = work / "data"
        files = make_small_files(data, args.files)
        big = make_big_file(work / "big.txt", args.mb) if {"library-big", "zlib-big"} & set(chosen) else None
        out = work / "out"
        runs = {
            "program-quiet": lambda: program_run(files, 1, True),
            "program-window-desktop": lambda: program_run(files, 0, True),
            "program-window-frames": lambda: program_run(files, 0, False),
            "program-window-no-wm": lambda: program_run(files, 0, None),
            # Next to the inputs, as the program makes them (a folder twice as full costs
            # Wine more for every name it looks up).
            "library": lambda: library_run(files, data),
            "7zz": lambda: sevenzip_run(files, data),
            "zipfile": lambda: zipfile_run(files, data),
            "zipfile-durable": lambda: durable_zipfile_run(files, data),
            "library-big": lambda: library_run([big], out),
            "zlib-big": lambda: zlib_run(big, out),
        }
        times = {name: [] for name in chosen}
        for _ in range(args.rounds):
            for name in chosen:
                for folder in (data, out):
                    folder.mkdir(exist_ok=True)
                    for archive in folder.glob("*.zip"):
                        archive.unlink()
                seconds = runs[name]()
                if not name.endswith("-big"):
                    check_archives(data, files)
                per = 1 if name.endswith("-big") else len(files)
                times[name].append(seconds * 1000 / per)
                print("%-24s %10.2f ms" % (name, times[name][-1]), flush=True)
        report(times, args)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def report(times, args):
    median = {name: statistics.median(values) for name, values in times.items()}
    print()
    print("%d files of 1-20 KB and one of %d MB, level %d; median of %d rounds (lowest-highest)"
          % (args.files, args.mb, LEVEL, args.rounds))
    print("ms per archive:")
    for name, values in times.items():
        print("  %-78s %9.2f  (%.2f-%.2f)" % (CASES[name], median[name], min(values), max(values)))
    print("ratios:")
    rows = []
    for case, numerator, denominator, measure, goal, met in GOALS:
        if numerator not in median or denominator not in median:
            continue
        value = median[numerator] / median[denominator]
        spread = (min(times[numerator]) / max(times[denominator]), max(times[numerator]) / min(times[denominator]))
        print("  %-78s %9.2f  (%.2f-%.2f%s)%s" % (CASES[case] + ", " + measure, value, spread[0], spread[1],
                                                    ", goal " + goal if goal else "", "" if met(value) else " ✗"))
        rows.append({"case": CASES[case], "measure": measure, "value": value, "goal": goal, "met": met(value)})
        if not any(r["case"] == CASES[case] and r["measure"] == "ms per archive" for r in rows):
            rows.append({"case": CASES[case], "measure": "ms per archive", "value": median[case], "goal": "",
                         "met": None})
    if args.ratios:
        with open(args.ratios, "w") as out:
            out.writelines(json.dumps(r) + "\n" for r in rows)


if __name__ == "__main__":
    main()

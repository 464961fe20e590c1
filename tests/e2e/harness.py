"""Drives the real selvat.exe under Wine and Xvfb, as a user would.

Every story gets a fresh folder with the program and its libraries, a
private Xvfb display and a Wine prefix whose programs all run in one
virtual desktop (so windows have frames and the probe sees them).

A story that drops files from outside runs without the virtual desktop:
there Wine takes the drop in its desktop process and hands the program a
handle of that other process. Without it each window is an X window of its
own, which Wine frames itself, and the drop reaches the program."""
import functools
import importlib.util
import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import time
import zipfile

from Xlib import X, display

import xdnd
from bell import BellCounter

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXISTING_ARCHIVE_QUESTION = "\nと同名の書庫ファイルがあります。\n追加書き込みしますか？"
PROGRESS_CLASS = "SelvatZipProgress"  # the archiver's progress window
BUILD = None
RESULTS = None
ARCH = None
PROGRAM = None  # the folder of selvat.exe and the real libraries
# Every wait lasts this many times longer: for a machine that emulates its processor.
TIME_SCALE = float(os.environ.get("SELVAT_E2E_TIME_SCALE", "1"))


def configure(build: pathlib.Path, results: pathlib.Path, program: pathlib.Path = None):
    """`program`: the folder the program and its libraries come from (as
    dist/ ships them); the Windows build's own bin/ when not given."""
    global BUILD, RESULTS, ARCH, PROGRAM
    BUILD, RESULTS = build.resolve(), results.resolve()
    ARCH = wine_environment()["SELVAT_WINE_ARCH"]
    PROGRAM = program.resolve() if program else windows_build() / "bin"


def wine_environment(prefix=None):
    """The variables tools/wine-env sets, for the desktop prefix."""
    env = dict(os.environ)
    if prefix:
        env["SELVAT_WINEPREFIX"] = str(prefix)
    out = subprocess.run(["bash", "-c", f"source '{ROOT}/tools/wine-env' 2>/dev/null; env -0"],
                         env=env, capture_output=True, check=True).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


def windows_build():
    return BUILD / ARCH


def program_files():
    return PROGRAM / "selvat.exe"


def fake_libraries(variant="both"):
    return sorted((windows_build() / "tests" / "win" / "binding" / variant).glob("*.dll"))


def real_libraries():
    return [PROGRAM / name for name in ("zip32j.dll", "zip32.dll")]


def to_windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class Xvfb:
    """A display of our own. Other test runs pick numbers at the same time:
    a server that ends at once lost the number to one of them, and the next
    free one is tried."""

    def __init__(self):
        for n in range(150, 200):
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            self.display = f":{n}"
            self.process = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1024x768x24",
                                             "-nolisten", "tcp"],
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if self.process.poll() is not None:
                    break
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    time.sleep(0.2)  # a server that lost the number ends by now
                    if self.process.poll() is not None:
                        break
                    self._no_autorepeat()
                    return
                time.sleep(0.05)
            self.process.kill()
            self.process.wait()
        raise RuntimeError("Xvfb did not start")

    def _no_autorepeat(self):
        """A key held down stays one press: Wine closes a Yes/No box on a
        repeated Escape, where Windows ignores it."""
        connection = display.Display(self.display)
        connection.change_keyboard_control(auto_repeat_mode=X.AutoRepeatModeOff)
        connection.sync()
        connection.close()

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Probe:
    """selvat-probe running in the same desktop, one command a line."""

    def __init__(self, env):
        exe = windows_build() / "tools" / "selvat-probe.exe"
        RESULTS.mkdir(parents=True, exist_ok=True)
        self.process = subprocess.Popen([env["WINE"], str(exe)], env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=open(RESULTS / "probe.log", "ab"))

    def ask(self, *words):
        line = " ".join(str(w) for w in words) + "\n"
        self.process.stdin.write(line.encode("utf-8"))
        self.process.stdin.flush()
        answer = self.process.stdout.readline()
        if not answer:
            raise RuntimeError("the probe ended")
        return json.loads(answer.decode("utf-8"))

    def stop(self):
        try:
            self.process.stdin.write(b"quit\n")
            self.process.stdin.flush()
            self.process.wait(timeout=10)
        except Exception:
            self.process.kill()


class Session:
    """One run of the program in its own folder, display and desktop."""

    prefix_ready = False
    desktop = None  # the prefix's state (True: programs in the virtual desktop), unknown at first

    def __init__(self, name, libraries=None, desktop=True):
        self.name = name
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix=f"selvat-{name}-"))
        self.app = self.folder / "app"
        self.app.mkdir()
        shutil.copy(program_files(), self.app)
        for library in libraries if libraries is not None else fake_libraries():
            shutil.copy(library, self.app)
        self.xvfb = Xvfb()
        try:
            self.bells = BellCounter(self.xvfb.display)
        except Exception:
            self.xvfb.stop()  # no story is left to stop it
            raise
        prefix = pathlib.Path(os.environ.get("SELVAT_WINEPREFIX") or BUILD / f"wine-{ARCH}")
        prefix = prefix.with_name(prefix.name + "-e2e")
        if not Session.prefix_ready:
            env = dict(os.environ, SELVAT_WINEPREFIX=str(prefix))
            subprocess.run([str(ROOT / "tools" / "wine-prefix"), "--desktop", "1024x768"],
                           env=env, check=True, stdout=subprocess.DEVNULL)
            Session.prefix_ready = True
        self.env = wine_environment(prefix)
        self.env["DISPLAY"] = self.xvfb.display
        self._use_desktop(desktop)
        self.probe = None
        self.process = None
        self.launched = None

    OWN_WINDOWS = ("[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\{exe}\\Explorer]\n\"Desktop\"=\"Root\"\n"
                   "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\{exe}\\X11 Driver]\n\"Managed\"=\"N\"\n")

    def _use_desktop(self, desktop):
        """Puts the program and the probe in the virtual desktop or on the
        display itself ("Root": no virtual desktop; unmanaged windows, so
        that Wine draws their frames without a window manager)."""
        if desktop == Session.desktop:
            return
        entries = "".join(self.OWN_WINDOWS.format(exe=exe) for exe in ("selvat.exe", "selvat-probe.exe"))
        if desktop:
            entries = "".join(line.replace("[HKEY", "[-HKEY") + "\n" for line in entries.splitlines()
                              if line.startswith("["))
        script = self.folder / "desktop.reg"
        script.write_text("REGEDIT4\n\n" + entries)
        subprocess.run([self.env["WINE"], "reg", "import", to_windows_path(script)], env=self.env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        Session.desktop = desktop

    # --- the program -----------------------------------------------------

    def start(self, *args, cwd=None, env=None, through=()):
        """Starts selvat.exe; `through` puts a launcher before it, as in
        ("start", "/wait", "/max") for Wine's start command."""
        run_env = dict(self.env, **(env or {}))
        exe = str(self.app / "selvat.exe")
        if through:
            exe = to_windows_path(exe)
        self.process = subprocess.Popen([self.env["WINE"], *through, exe, *args],
                                        cwd=cwd or self.app, env=run_env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.launched = None
        self._ensure_probe()
        return self

    def start_with_show_command(self, show, *args, cwd=None):
        """Starts selvat.exe from the probe with the given show command, as
        a shortcut set to "minimised" (7) or "maximised" (3) does."""
        self._ensure_probe()
        line = " ".join(f'"{a}"' for a in [to_windows_path(self.app / "selvat.exe"), *args])
        pid = self.probe.ask("launch", show, f'"{to_windows_path(cwd or self.app)}"', line)
        if pid is None:
            raise AssertionError("the probe could not start selvat.exe")
        self.process, self.launched = None, pid
        return self

    def _ensure_probe(self):
        if not self.probe:
            self.probe = Probe(self.env)

    def exit_code(self, timeout=30):
        if self.launched is None:
            return self.process.wait(timeout=timeout * TIME_SCALE)
        return self.wait_for(lambda: self.probe.ask("exitcode", self.launched), timeout,
                             "the program to end", accept=lambda code: code is not None)

    def stop(self):
        if self.probe:
            self.probe.stop()
        if self.process and self.process.poll() is None:
            self.process.kill()
        subprocess.run([self.env["WINESERVER"], "-k"], env=self.env, stderr=subprocess.DEVNULL)
        self.bells.close()
        self.xvfb.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    # --- waiting --------------------------------------------------------

    @staticmethod
    def wait_for(look, timeout, what, accept=bool, every=0.2):
        """Polls look() until accept(its value); returns the value."""
        deadline = time.time() + timeout * TIME_SCALE
        value = None
        while True:
            value = look()
            if accept(value):
                return value
            if time.time() > deadline:
                raise AssertionError(f"timed out after {timeout} s waiting for {what}; last seen: {value!r}")
            time.sleep(every)

    @staticmethod
    def never(look, seconds, what, every=0.3):
        """Watches look() for a while and fails as soon as it is true."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = look()
            if value:
                raise AssertionError(f"{what}: {value!r}")
            time.sleep(every)

    # --- looking --------------------------------------------------------

    def windows(self):
        return [w for w in self.probe.ask("windows") if w["visible"]]

    def wait_window(self, text=None, cls=None, timeout=30):
        deadline = time.time() + timeout * TIME_SCALE
        while time.time() < deadline:
            for w in self.windows():
                if (text is None or w["text"] == text) and (cls is None or w["class"] == cls):
                    return w
            time.sleep(0.2)
        raise AssertionError(f"no window {text!r} {cls!r}; visible: "
                             f"{[(w['class'], w['text']) for w in self.windows()]}")

    def main_window(self, timeout=30):
        return self.wait_window(cls="TSelvatWindow", timeout=timeout)

    def main_window_made(self, timeout=30):
        """The main window as soon as it exists, before it is shown."""
        return self.wait_for(lambda: [w for w in self.all_windows() if w["class"] == "TSelvatWindow"],
                             timeout, "the main window to be made")[0]

    def now(self, window):
        """A top-level window as it is now (caption, style, rectangle)."""
        found = [w for w in self.all_windows() if w["hwnd"] == window["hwnd"]]
        if not found:
            raise AssertionError(f"the window {window['text']!r} is gone")
        return found[0]

    def wait_run_end(self, main, timeout=120):
        """Waits for a batch run to end: the caption loses its [圧縮中]."""
        self.wait_for(lambda: self.now(main)["text"], timeout, "the end of the run",
                      accept=lambda text: text == "Selvat Archiver")

    def progress_windows(self):
        return [w for w in self.windows() if w["class"] == PROGRESS_CLASS]

    def tree(self, window):
        return self.probe.ask("tree", window["hwnd"])

    def menu(self, window):
        return self.probe.ask("menu", window["hwnd"])

    def items(self, control, first=None, count=None, timeout=60):
        """The strings of a list box (or `count` of them from `first`),
        waiting while its program is busy."""
        words = ["items", control["hwnd"]] + ([first, count] if first is not None else [])
        return self.wait_for(lambda: self.probe.ask(*words), timeout,
                             "the list box to answer", accept=lambda a: "items" in a)["items"]

    def count(self, control, timeout=60):
        return self.wait_for(lambda: self.probe.ask("count", control["hwnd"]), timeout,
                             "the list box to answer", accept=lambda a: "count" in a)["count"]

    def status_text(self, main):
        bar = [c for c in self.tree(main)["children"] if c["class"] == "msctls_statusbar32"][0]
        return self.wait_for(lambda: self.probe.ask("status", bar["hwnd"]), 60, "the status bar to answer",
                             accept=lambda a: "text" in a)["text"]

    def all_windows(self):
        """Top-level windows, the invisible ones too."""
        return self.probe.ask("windows")

    def short_name(self, path):
        self._ensure_probe()
        return self.probe.ask("shortname", to_windows_path(path))

    def listing(self, folder):
        """The entries of a folder in the order a file search yields them."""
        self._ensure_probe()
        return [e for e in self.probe.ask("find", to_windows_path(folder) + "\\*.*")
                if e["name"] not in (".", "..")]

    def screenshot(self, name):
        RESULTS.mkdir(parents=True, exist_ok=True)
        path = RESULTS / f"{name}.png"
        subprocess.run(["import", "-display", self.xvfb.display, "-silent", "-window", "root", str(path)],
                       check=True)
        return path

    # --- acting ---------------------------------------------------------

    def xdotool(self, *words):
        subprocess.run(["xdotool", *words], env=dict(os.environ, DISPLAY=self.xvfb.display),
                       check=True)

    def keys(self, *keys):
        for key in keys:
            self.xdotool("key", "--delay", "60", key)
            time.sleep(0.15)

    def type_text(self, text):
        self.xdotool("type", "--delay", "30", text)
        time.sleep(0.15)

    VIRTUAL_KEYS = {"Escape": 27}

    def key_down(self, key):
        """Holds a key down and waits until programs see it down."""
        self.xdotool("keydown", key)
        self._wait_key(key, True)

    def key_up(self, key):
        self.xdotool("keyup", key)
        self._wait_key(key, False)

    def _wait_key(self, key, down):
        self._ensure_probe()
        self.wait_for(lambda: self.probe.ask("keydown", self.VIRTUAL_KEYS[key]) == down, 10,
                      f"{key} to be {'down' if down else 'up'}", every=0.05)

    def open_menus(self):
        return [w for w in self.windows() if w["class"] == "#32768"]

    def open_menu(self, *keys, depth=1, tries=3):
        """Opens a menu (and `depth` - 1 submenus) by keys, trying again when
        a key was lost; the caller goes on with the keys inside the menu."""
        for attempt in range(tries):
            self.keys(*keys)
            try:
                return self.wait_for(lambda: len(self.open_menus()) >= depth, 5, f"menus {keys}")
            except AssertionError:
                if attempt == tries - 1:
                    raise
                self.close_menus()

    def close_menus(self):
        for _ in range(4):
            if not self.open_menus():
                return
            self.keys("Escape")
        raise AssertionError("the menus do not close")

    def choose(self, open_keys, *keys, depth=1):
        """Chooses a menu item: opens the menu, moves, and waits for it to close."""
        self.open_menu(*open_keys, depth=depth)
        self.keys(*keys)
        self.wait_for(lambda: not self.open_menus(), 5, "the menu to close")

    def menu_command(self, keys, text, cls="#32770", tries=3):
        """Chooses a menu item by its access keys and waits for the window it opens."""
        for attempt in range(tries):
            self.keys(*keys)
            try:
                return self.wait_window(text=text, cls=cls, timeout=10)
            except AssertionError:
                if attempt == tries - 1:
                    raise
                self.keys("Escape", "Escape", "Escape")

    def drop(self, control, paths):
        """Drops files on the middle of a control from outside, as a file manager does."""
        if Session.desktop:
            raise AssertionError("a drop needs a session without the virtual desktop")
        left, top, width, height = control["rect"]
        if not xdnd.drop_files(self.xvfb.display, paths, left + width // 2, top + height // 2):
            raise AssertionError(f"the window refused the drop of {paths}")

    def tree_items(self, tree):
        return self.wait_for(lambda: self.probe.ask("treeitems", tree["hwnd"]), 10,
                             "the tree view to answer", accept=lambda a: a is not None)

    def browse(self, dialog, *names):
        """Picks a folder in the folder browser with the keys, as a keyboard
        user does: from the desktop down the items with these texts,
        opening each on the way, then OK."""
        tree = find(self.tree(dialog), cls="SysTreeView32")
        self.click(tree)
        self.keys("Home")
        depth = 0
        for name in names:
            items = self.tree_items(tree)
            here = next(i for i, item in enumerate(items) if item["selected"])
            if not items[here]["expanded"]:
                self.keys("Right")
                items = self.wait_for(lambda: self.tree_items(tree), 10, f"the items below {items[here]['text']!r}",
                                      accept=lambda now: now[here]["expanded"] and len(now) > here + 1)
            target = next((i for i in range(here + 1, len(items))
                           if items[i]["depth"] == depth + 1 and items[i]["text"] == name), None)
            if target is None:
                raise AssertionError(f"no folder {name!r} below {items[here]['text']!r}: "
                                     f"{[i['text'] for i in items[here + 1:] if i['depth'] == depth + 1]}")
            self.xdotool("key", "--repeat", str(target - here), "--delay", "40", "Down")
            self.wait_for(lambda: self.tree_items(tree)[target]["selected"], 10, f"{name!r} to be selected")
            depth += 1
        self.screenshot("folder-browser-" + self.name)
        self.click(find(self.tree(dialog), cls="Button", text="OK"))
        self.wait_for(lambda: not [w for w in self.windows() if w["hwnd"] == dialog["hwnd"]], 10,
                      "the folder browser to close")

    def pick_output_folder(self, main, folder):
        """The folder button beside the output folder's edit box, then the
        folder from the Unix root "/" down in the folder browser."""
        button = [c for c in children(self.tree(main)) if c["class"] == "TSpeedButton"][-1]
        self.click(button)
        self.browse(self.wait_window(cls="#32770"), "/", *pathlib.PurePosixPath(folder).parts[1:])

    def lock(self, path):
        """Holds a file open without sharing, as another program may."""
        if not self.probe.ask("lock", to_windows_path(path)):
            raise AssertionError(f"cannot lock {path}")

    def unlock(self, path):
        self.probe.ask("unlock", to_windows_path(path))

    def add_through_dialog(self, path):
        """Adds a file with ファイル追加 and the file dialog, the path typed."""
        dialog = self.menu_command(["alt+f", "f"], None, cls="#32770")
        self.type_text(to_windows_path(path))
        self.keys("Return")
        self.wait_for(lambda: not [w for w in self.windows() if w["hwnd"] == dialog["hwnd"]], 20,
                      "the file dialog to close")

    def click_at(self, x, y):
        self.xdotool("mousemove", str(x), str(y), "click", "1")
        time.sleep(0.2)

    def click_caption(self, window):
        """A click on a window's caption bar, which makes it the active window."""
        left, top, width, _ = self.now(window)["rect"]
        self.click_at(left + width // 2, top + 10)

    def click(self, window):
        """A click in the middle of a window's rectangle."""
        left, top, width, height = window["rect"]
        self.click_at(left + width // 2, top + height // 2)


def children(node):
    """Every window below a tree node, depth first."""
    for child in node["children"]:
        yield child
        yield from children(child)


def find(node, cls=None, text=None):
    for child in children(node):
        if (cls is None or child["class"] == cls) and (text is None or child["text"] == text):
            return child
    raise AssertionError(f"no child {cls!r} {text!r}")


def box_text(session, box):
    """The message of a message box: its first static text that is not empty
    (waited for: a box may be seen before its text is set)."""
    look = lambda: [c["text"] for c in children(session.tree(box)) if c["class"] == "Static" and c["text"]]
    return session.wait_for(look, 10, f"the text of the box {box['text']!r}")[0]


def input_list(session, main):
    """The input list of the main window (the first list box)."""
    return [c for c in session.tree(main)["children"] if c["class"] == "ListBox"][0]


def error_list(session, main):
    """The error list, the list box in the lower panel."""
    panel = [c for c in session.tree(main)["children"] if c["class"] == "TPanel"][1]
    return [c for c in panel["children"] if c["class"] == "ListBox"][0]


def walk(session, folder):
    """The files of a folder and its sub-folders as the program lists them:
    depth first, in the order a file search yields them."""
    for entry in session.listing(folder):
        if entry["attributes"] & 16:
            yield from walk(session, folder / entry["name"])
        else:
            yield to_windows_path(folder / entry["name"])


def snapshot(folder):
    """Every file below a folder with its bytes."""
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


def read_ini(path):
    """The (key, value) lines of each section of a settings file, in order."""
    sections, current = {}, None
    for line in path.read_bytes().decode("cp932").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], [])
        elif "=" in line and current is not None:
            current.append(tuple(line.split("=", 1)))
    return sections


def entry_name(info):
    """An entry's name as the archiver wrote it: code page 932 unless flagged UTF-8."""
    if info.flag_bits & 0x800:
        return info.filename
    return info.filename.encode("cp437").decode("cp932")


@functools.lru_cache(maxsize=None)
def _check_zip():
    """The archive checker of the library's tests, for its reading of the
    Unicode Path field, which Python's zipfile leaves to its caller."""
    spec = importlib.util.spec_from_file_location("check_zip", ROOT / "tests" / "unit" / "zip32" / "check_zip.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def real_name(info):
    """An entry's name as zipfile can read it: from the Unicode Path field
    where there is one, else the name field."""
    return _check_zip().unicode_path(info) or entry_name(info)


def shown_names(path):
    """An archive's entry names as each reader shows them: 7-Zip, libarchive,
    and zipfile (the Unicode Path field where there is one, else the name
    field in code page 932)."""
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    listing = subprocess.run(["7zz", "l", "-slt", str(path)], capture_output=True, text=True, env=env,
                             check=True).stdout
    seven = [line[len("Path = "):] for line in listing.splitlines()[1:]
             if line.startswith("Path = ") and not line.endswith(path.name)]
    tar = subprocess.run(["bsdtar", "-tf", str(path)], capture_output=True, text=True, env=env,
                         check=True).stdout.splitlines()
    with zipfile.ZipFile(path) as archive:
        python = [real_name(info) for info in archive.infolist()]
    return {"7-Zip": seven, "libarchive": tar, "zipfile": python}


def checked_archive(path):
    """Checks a ZIP file with 7-Zip, libarchive and zipfile (every CRC) and
    returns its entries by their real names, in archive order."""
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    seven = subprocess.run(["7zz", "t", str(path)], capture_output=True, text=True, env=env)
    if seven.returncode != 0 or "Everything is Ok" not in seven.stdout:
        raise AssertionError(f"7-Zip finds {path} damaged:\n{seven.stdout}{seven.stderr}")
    tar = subprocess.run(["bsdtar", "-tvf", str(path)], capture_output=True, text=True, env=env)
    if tar.returncode != 0:
        raise AssertionError(f"libarchive cannot list {path}:\n{tar.stderr}")
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        if bad is not None:
            raise AssertionError(f"{path}: CRC of {bad!r} does not match")
        entries = {real_name(info): info for info in archive.infolist()}
    for name in entries:
        if name not in tar.stdout:
            raise AssertionError(f"libarchive lists {path} without {name!r}:\n{tar.stdout}")
    return entries

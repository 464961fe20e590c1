"""A folder with names that Shift-JIS cannot spell (an accented Latin letter,
simplified Chinese, Korean, an emoji) beside ordinary ones, given on the
command line with one more such file. Every file is listed by a name that
reaches it, its short name where needed, and archived: 7-Zip, libarchive
and zipfile read each entry back under the file's real name, with the
file's contents. A file that vanished and one another program holds
locked fail; selecting their lines shows why in the status bar. F1 opens
the readme. Such a file chosen in the file dialog, and such a folder in the
folder browser, are reached and archived the same way."""
import shutil
import unittest
import zipfile

import harness
from harness import ROOT, Session, error_list, input_list, to_windows_path

UNSPELLABLE = ["café.txt", "简体.txt", "😀.txt", "한국어.txt"]
ORDINARY = ["cafe.txt", "表.txt", "plain.txt"]  # cafe.txt: what a best fit of café.txt would name


class NamesOutsideTheCodePage(unittest.TestCase):
    def setUp(self):
        self.session = Session("unicode", libraries=harness.real_libraries())
        self.data = self.session.folder / "data"
        self.data.mkdir()
        (self.session.folder / "other").mkdir()
        shutil.copy(ROOT / "dist" / "readme.txt", self.session.app)

    def tearDown(self):
        self.session.stop()

    def item_of(self, path):
        """What the list holds for a file: its path, with the name by which
        the code page reaches it."""
        if path.name in UNSPELLABLE or path.name == "naïve.txt":
            return to_windows_path(path.parent) + "\\" + self.session.short_name(path).split("\\")[-1]
        return to_windows_path(path)

    def test_every_file_archived_under_its_real_name(self):
        s = self.session
        files = {}
        for name in UNSPELLABLE + ORDINARY + ["gone.txt", "locked.db"]:
            files[self.data / name] = f"{name} の中身\r\n".encode("utf-8") * 300
        files[s.folder / "other" / "naïve.txt"] = b"given by itself\r\n" * 50
        for path, data in files.items():
            path.write_bytes(data)
        gone, locked = self.data / "gone.txt", self.data / "locked.db"

        s.start(to_windows_path(self.data), to_windows_path(s.folder / "other" / "naïve.txt"))
        main = s.main_window()
        listed = s.items(input_list(s, main))
        self.assertEqual(sorted(listed), sorted(self.item_of(p) for p in files))
        for name in UNSPELLABLE:
            self.assertNotIn(to_windows_path(self.data / name), listed)
        self.assertEqual(s.items(error_list(s, main)), [])
        s.screenshot("unicode-listed")

        gone.unlink()
        s.lock(locked)
        s.keys("alt+z")
        s.wait_run_end(main)
        s.unlock(locked)
        errors = s.items(error_list(s, main))
        self.assertEqual(sorted(errors), sorted("[Error] " + to_windows_path(p) for p in (gone, locked)))
        self.assertEqual(s.items(input_list(s, main)), [])

        reasons = {"[Error] " + to_windows_path(gone): "ファイルが見つかりません: " + to_windows_path(gone),
                   "[Error] " + to_windows_path(locked):
                       "ファイルが他のプログラムで使用中です: " + to_windows_path(locked)}
        left, top, width, _ = error_list(s, main)["rect"]
        s.click_at(left + width // 2, top + 6)  # the first line
        s.wait_for(lambda: s.status_text(main), 10, "the first line's reason",
                   accept=lambda text: text == reasons[errors[0]])
        s.keys("Down")
        s.wait_for(lambda: s.status_text(main), 10, "the second line's reason",
                   accept=lambda text: text == reasons[errors[1]])
        s.screenshot("unicode-reason")

        for path, data in files.items():
            if path in (gone, locked):
                continue
            with self.subTest(path.name):
                item = self.item_of(path)
                archive = path.parent / (item.split("\\")[-1].rsplit(".", 1)[0] + ".zip")
                harness.checked_archive(archive)
                for reader, names in harness.shown_names(archive).items():
                    self.assertEqual(names, [path.name], f"{reader} reads another name")
                with zipfile.ZipFile(archive) as opened:
                    self.assertEqual(opened.read(opened.infolist()[0]), data)

        s.keys("F1")
        viewer = s.wait_for(lambda: [w for w in s.windows() if w["class"] == "Notepad"
                                     and w["text"].startswith("readme.txt")],
                            30, "the readme in the text viewer")[0]
        s.screenshot("unicode-help")
        s.probe.ask("close", viewer["hwnd"])
        s.wait_for(lambda: not [w for w in s.windows() if w["hwnd"] == viewer["hwnd"]], 10,
                   "the text viewer to close")
        s.click_caption(main)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)

    def test_the_file_dialog_and_the_folder_browser_reach_such_names(self):
        """A file chosen in the file dialog and a folder chosen in the folder
        browser, both named outside the code page, as a user picks them."""
        s = self.session
        chosen = self.data / "résumé.txt"
        folder = self.data / "简体"
        folder.mkdir()
        files = {chosen: "the chosen one", folder / "한.txt": "Korean inside", folder / "plain.txt": "plain inside"}
        for path, text in files.items():
            path.write_bytes(text.encode())

        s.start()
        main = s.main_window()
        short = lambda path: s.short_name(path).split("\\")[-1]
        short_folder = to_windows_path(self.data) + "\\" + short(folder)
        items = {chosen: to_windows_path(self.data) + "\\" + short(chosen),
                 folder / "한.txt": short_folder + "\\" + short(folder / "한.txt"),
                 folder / "plain.txt": short_folder + "\\plain.txt"}
        s.add_through_dialog(chosen)
        s.browse(s.menu_command(["alt+f", "d"], None, cls="#32770"), "/", *folder.parts[1:])
        self.assertEqual(sorted(s.items(input_list(s, main))), sorted(items.values()))
        self.assertEqual(s.items(error_list(s, main)), [])
        s.screenshot("unicode-dialog-and-browser")

        s.keys("alt+z")
        s.wait_run_end(main)
        self.assertEqual(s.items(error_list(s, main)), [])
        self.assertEqual(s.items(input_list(s, main)), [])
        for path, text in files.items():
            with self.subTest(path.name):
                archive = path.parent / (items[path].split("\\")[-1].rsplit(".", 1)[0] + ".zip")
                harness.checked_archive(archive)
                for reader, names in harness.shown_names(archive).items():
                    self.assertEqual(names, [path.name], f"{reader} reads another name")
                with zipfile.ZipFile(archive) as opened:
                    self.assertEqual(opened.read(opened.infolist()[0]), text.encode())
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

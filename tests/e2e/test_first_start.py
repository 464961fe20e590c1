"""A new user's first start: files and a folder dropped on the list, the
level and the naming from the menus, the output folder from the folder
browser, a run with the progress window and the beep at its end; the
choices are stored when the window closes and are back at the next start."""
import os
import unittest

import harness
from harness import (Session, checked_archive, error_list, find, input_list, read_ini,
                     to_windows_path, walk)

BEST = 2  # general purpose flag bits 1-2 of an entry deflated at level 9


class FirstStart(unittest.TestCase):
    def setUp(self):
        self.session = Session("first", libraries=harness.real_libraries(), desktop=False)
        self.data = self.session.folder / "data"
        self.out = self.session.folder / "out"
        self.out.mkdir()
        files = {"readme.txt": b"Selvat Archiver makes one archive per file.\r\n" * 3000,
                 # 4 bits a byte; big enough to take the seconds a progress window is shown for
                 "photo.bmp": os.urandom(48 << 20).translate(bytes(range(16)) * 16),
                 "project/main.c": b"int main(void) { return 0; }\n" * 500,
                 "project/sub/util.h": b"#pragma once\n" * 400,
                 "project/sub/deep/notes.txt": b"notes\n" * 100}
        for name, data in files.items():
            path = self.data / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)

    def tearDown(self):
        self.session.stop()

    def output_controls(self, main):
        tree = self.session.tree(main)
        return find(tree, cls="Button", text="出力ディレクトリを指定"), find(tree, cls="Edit")

    def test_first_start_choices_run_and_restart(self):
        s = self.session
        ini = s.app / "selvat.ini"
        self.assertFalse(ini.exists())
        s.start()
        main = s.main_window()

        # Sub-folders on (the last item of the Options menu), then the drop.
        s.choose(["alt+o"], "Up", "Return")
        dropped = [self.data / "readme.txt", self.data / "photo.bmp", self.data / "project"]
        s.drop(input_list(s, main), dropped)
        expected = [to_windows_path(p) for p in dropped[:2]] + list(walk(s, self.data / "project"))
        self.assertEqual(len(expected), 5)
        s.wait_for(lambda: s.items(input_list(s, main)), 20, "the dropped files in the list",
                   accept=lambda items: items == expected)

        # Level 9 is the first item of 圧縮率(&R); (FileName)_(Ext).zip the
        # last of 書庫ファイル名, the third item from the bottom.
        s.choose(["alt+o", "r"], "Return", depth=2)
        s.choose(["alt+o"], "Up", "Up", "Right", "Up", "Return")

        # The output folder: the box ticked from the menu, then the folder
        # button beside the edit box opens the browser.
        s.choose(["alt+o"], "Return")
        check, edit = self.output_controls(main)
        self.assertEqual((check["checked"], edit["enabled"]), (1, True))
        s.pick_output_folder(main, self.out)
        out_text = to_windows_path(self.out) + "\\"
        self.assertEqual(self.output_controls(main)[1]["text"], out_text)
        s.screenshot("first-start-ready")

        bells = s.bells.count()
        s.keys("alt+z")
        progress = s.wait_for(s.progress_windows, 60, "the archiver's progress window")[0]
        s.screenshot("first-start-progress")
        self.assertEqual(progress["text"], to_windows_path(self.out / "photo_bmp.zip"))
        s.wait_run_end(main)
        self.assertEqual(s.items(input_list(s, main)), [])
        self.assertEqual(s.items(error_list(s, main)), [])
        s.wait_for(s.bells.count, 5, "the beep at the end of the run", accept=lambda rung: rung == bells + 1)
        s.screenshot("first-start-done")

        made = {"readme_txt.zip": "readme.txt", "photo_bmp.zip": "photo.bmp", "main_c.zip": "main.c",
                "util_h.zip": "util.h", "notes_txt.zip": "notes.txt"}
        self.assertEqual(sorted(p.name for p in self.out.iterdir()), sorted(made))
        for archive, name in made.items():
            with self.subTest(archive):
                entries = checked_archive(self.out / archive)
                self.assertEqual(list(entries), [name])
                self.assertEqual(entries[name].flag_bits & 6, BEST, f"{archive}: not made at level 9")
        self.assertEqual(sorted(p.name for p in self.data.rglob("*.zip")), [], "an archive beside its file")

        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        chosen = [("OutDirCheck", "1"), ("OutDirEdit", out_text), ("ArcRate", "9"),
                  ("NoDialog", "0"), ("ArcName", "3"), ("InputSubDir", "1")]
        self.assertEqual(read_ini(ini), {"Option": chosen})

        # Started again, the choices are back: the box and the folder show,
        # and a dropped file gets the same level, name and folder.
        again = self.data / "again.md"
        again.write_bytes(b"# again\n" * 2000)
        s.start()
        main = s.main_window()
        check, edit = self.output_controls(main)
        self.assertEqual((check["checked"], edit["enabled"], edit["text"]), (1, True, out_text))
        s.drop(input_list(s, main), [again])
        s.wait_for(lambda: s.items(input_list(s, main)), 20, "the dropped file",
                   accept=lambda items: items == [to_windows_path(again)])
        s.screenshot("first-start-restarted")
        s.keys("alt+z")
        s.wait_run_end(main)
        entries = checked_archive(self.out / "again_md.zip")
        self.assertEqual(entries["again.md"].flag_bits & 6, BEST)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        self.assertEqual(read_ini(ini), {"Option": chosen})


if __name__ == "__main__":
    unittest.main()

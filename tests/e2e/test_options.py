"""Options chosen from the menus with the keyboard shape the next archives,
and come back when the program is started again."""
import unittest

import harness
from harness import Session, checked_archive, find, input_list, read_ini, to_windows_path, walk

SUPER_FAST = 6  # general purpose flag bits 1-2 of a deflated entry made at level 1


class Options(unittest.TestCase):
    def setUp(self):
        self.session = Session("options", libraries=harness.real_libraries())
        self.data = self.session.folder / "data"
        self.out = self.session.folder / "out"
        self.out.mkdir()
        for name in ["doc.txt", "next.md", "tree/one.txt", "tree/sub/two.txt"]:
            path = self.data / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(" ".join(f"word{n * n % 977}" for n in range(20000)))

    def tearDown(self):
        self.session.stop()

    def controls(self, main):
        tree = self.session.tree(main)
        return find(tree, cls="Button", text="出力ディレクトリを指定"), find(tree, cls="Edit")

    def wait_idle(self, main):
        self.session.wait_run_end(main)
        self.assertEqual(self.session.items(input_list(self.session, main)), [])

    def assert_level_one(self, archive, name):
        entries = checked_archive(archive)
        self.assertEqual(list(entries), [name])
        self.assertEqual(entries[name].compress_type, 8, f"{archive}: not deflated")
        self.assertEqual(entries[name].flag_bits & 6, SUPER_FAST, f"{archive}: not made at level 1")

    def test_options_from_the_menus_shape_the_archives_and_survive_a_restart(self):
        s = self.session
        out_text = to_windows_path(self.out) + "\\"
        s.start(to_windows_path(self.data / "doc.txt"))
        main = s.main_window()

        # The first item of the Options menu (no access key) ticks the box.
        s.choose(["alt+o"], "Return")
        check, edit = self.controls(main)
        self.assertEqual(check["checked"], 1, "出力ディレクトリを指定 did not tick the box")
        self.assertTrue(edit["enabled"])
        s.click(edit)
        s.type_text(out_text)
        # Level 1: the last item of 圧縮率(&R). Naming (FileName)_(Ext).zip: the
        # last item of 書庫ファイル名, two up from the top. Quiet: three up.
        # Sub-folders: the last item.
        s.choose(["alt+o", "r"], "Up", "Return", depth=2)
        s.choose(["alt+o"], "Up", "Up", "Right", "Up", "Return")
        s.choose(["alt+o"], "Up", "Up", "Up", "Return")
        s.choose(["alt+o"], "Up", "Return")
        s.open_menu("alt+o", "r", depth=2)
        s.screenshot("options-level-menu")
        s.close_menus()
        s.open_menu("alt+o")
        s.keys("Up", "Up", "Right")
        s.screenshot("options-naming-menu")
        s.close_menus()

        s.keys("alt+z")
        s.never(s.progress_windows, 1.5,
                "the progress window in quiet mode")
        self.wait_idle(main)
        self.assertFalse((self.data / "doc.zip").exists())
        self.assert_level_one(self.out / "doc_txt.zip", "doc.txt")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        chosen = [("OutDirCheck", "1"), ("OutDirEdit", out_text), ("ArcRate", "1"),
                  ("NoDialog", "1"), ("ArcName", "3"), ("InputSubDir", "1")]
        ini = s.app / "selvat.ini"
        self.assertEqual(read_ini(ini), {"Option": chosen})

        # Started again: the box, the folder, the level, the naming, quiet
        # mode and the sub-folders are back; a section of someone else stays.
        ini.write_bytes(ini.read_bytes() + b"[Other]\r\nKeep=this\r\n")
        s.start(to_windows_path(self.data / "next.md"), to_windows_path(self.data / "tree"))
        main = s.main_window()
        check, edit = self.controls(main)
        self.assertEqual((check["checked"], edit["enabled"], edit["text"]), (1, True, out_text))
        self.assertEqual(s.items(input_list(s, main)),
                         [to_windows_path(self.data / "next.md"), *walk(s, self.data / "tree")])
        s.screenshot("options-restored")
        s.keys("alt+z")
        self.wait_idle(main)
        for archive, name in [("next_md.zip", "next.md"), ("one_txt.zip", "one.txt"),
                              ("two_txt.zip", "two.txt")]:
            with self.subTest(archive):
                self.assert_level_one(self.out / archive, name)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        self.assertEqual(read_ini(ini), {"Option": chosen, "Other": [("Keep", "this")]})


if __name__ == "__main__":
    unittest.main()

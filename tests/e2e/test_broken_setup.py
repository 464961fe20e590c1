"""Started with a library missing, and started with a broken settings file:
the right box or the right defaults, and nothing of the user's lost."""
import shutil
import unittest

import harness
from harness import Session, box_text, checked_archive, find, read_ini, to_windows_path

BROKEN = (b"[Option]\r\nOutDirCheck=yes please\r\nOutDirEdit=\r\nArcRate=eleven\r\nNoDialog=2x\r\n"
          b"ArcName=7\r\nInputSubDir=\r\na line without an equals sign\r\n\x81\x7f\xff=\x81\r\n"
          b"[Other]\r\nKeep=this\r\n")
DEFAULTS = [("OutDirCheck", "0"), ("OutDirEdit", ""), ("ArcRate", "6"), ("NoDialog", "0"),
            ("ArcName", "1"), ("InputSubDir", "0")]


class BrokenSetup(unittest.TestCase):
    def setUp(self):
        zip32j, zip32 = harness.real_libraries()
        self.zip32 = zip32
        self.session = Session("broken", libraries=[zip32j])

    def tearDown(self):
        self.session.stop()

    def test_missing_library_then_broken_settings(self):
        s = self.session
        ini = s.app / "selvat.ini"
        data = s.folder / "note.txt"
        data.write_bytes(b"a note\r\n" * 400)

        # zip32.dll missing: the box, then the program ends; no settings written.
        s.start(to_windows_path(data))
        box = s.wait_window(text="警告", cls="#32770")
        s.screenshot("broken-missing-zip32")
        self.assertEqual(box_text(s, box), "zip32.dllがありません。\nアプリケーションを終了します。")
        s.keys("Return")
        self.assertEqual(s.exit_code(), 0)
        self.assertFalse(ini.exists())

        # The library back, and a settings file full of nonsense: the defaults.
        shutil.copy(self.zip32, s.app)
        ini.write_bytes(BROKEN)
        s.start(to_windows_path(data))
        main = s.main_window()
        tree = s.tree(main)
        check, edit = find(tree, cls="Button", text="出力ディレクトリを指定"), find(tree, cls="Edit")
        self.assertEqual((check["checked"], edit["enabled"], edit["text"]), (0, False, ""))
        s.screenshot("broken-settings-defaults")
        s.keys("alt+z")
        s.wait_for((s.folder / "note.zip").exists, 30, "the archive beside the file")
        s.wait_run_end(main)
        entries = checked_archive(s.folder / "note.zip")  # default naming, beside the file
        self.assertEqual(entries["note.txt"].flag_bits & 6, 0, "not made at the default level 6")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        self.assertEqual(read_ini(ini)["Option"][:len(DEFAULTS)], DEFAULTS)
        self.assertEqual(read_ini(ini)["Other"], [("Keep", "this")], "another section was lost")


if __name__ == "__main__":
    unittest.main()

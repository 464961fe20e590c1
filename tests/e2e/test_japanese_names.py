"""Japanese names everywhere: files and folders with 表 and ソ (whose second
byte is a backslash), ー, brackets, full-width and half-width letters,
dropped on the list and archived into an output folder whose name ends in
表; 7-Zip and Python's zipfile read the names back."""
import os
import subprocess
import unittest

import harness
from harness import Session, checked_archive, error_list, input_list, to_windows_path, walk


class JapaneseNames(unittest.TestCase):
    def setUp(self):
        self.session = Session("japanese", libraries=harness.real_libraries(), desktop=False)
        self.data = self.session.folder / "データ"
        self.out = self.session.folder / "出力表"
        self.out.mkdir()
        self.names = ["ＡＢＣ全角ﾃｽﾄ.txt", "[作業]表ソー/表計算[1].txt", "[作業]表ソー/ソース一覧ー.csv",
                      "[作業]表ソー/サブ表/ー長音ソ.log", "[作業]表ソー/サブ表/[括弧]ソ.dat"]
        for n, name in enumerate(self.names):
            path = self.data / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(("%s の中身\r\n" % name).encode("cp932") * (200 + n))

    def tearDown(self):
        self.session.stop()

    def seven_zip_names(self, archive):
        listing = subprocess.run(["7zz", "l", "-slt", str(archive)], capture_output=True, text=True, check=True,
                                 env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")).stdout
        return [line[len("Path = "):] for line in listing.splitlines()[1:]
                if line.startswith("Path = ") and not line.endswith(archive.name)]

    def test_japanese_names_through_drop_browser_and_archives(self):
        s = self.session
        s.start()
        main = s.main_window()
        s.choose(["alt+o"], "Up", "Return")  # sub-folders on
        s.choose(["alt+o"], "Return")  # the output folder box
        s.pick_output_folder(main, self.out)
        out_text = to_windows_path(self.out) + "\\"
        self.assertEqual(harness.find(s.tree(main), cls="Edit")["text"], out_text)

        dropped = [self.data / self.names[0], self.data / "[作業]表ソー"]
        s.drop(input_list(s, main), dropped)
        expected = [to_windows_path(dropped[0])] + list(walk(s, dropped[1]))
        self.assertEqual(len(expected), len(self.names))
        s.wait_for(lambda: s.items(input_list(s, main)), 20, "the dropped names in the list",
                   accept=lambda items: items == expected)
        s.screenshot("japanese-list")

        s.keys("alt+z")
        s.wait_run_end(main)
        s.screenshot("japanese-done")
        self.assertEqual(s.items(input_list(s, main)), [])
        self.assertEqual(s.items(error_list(s, main)), [])
        leaves = [os.path.basename(name) for name in self.names]
        self.assertEqual(sorted(p.name for p in self.out.iterdir()),
                         sorted(os.path.splitext(leaf)[0] + ".zip" for leaf in leaves))
        for name, leaf in zip(self.names, leaves):
            with self.subTest(leaf):
                archive = self.out / (os.path.splitext(leaf)[0] + ".zip")
                entries = checked_archive(archive)
                self.assertEqual(list(entries), [leaf], "zipfile reads another name")
                self.assertEqual(self.seven_zip_names(archive), [leaf], "7-Zip reads another name")
                with harness.zipfile.ZipFile(archive) as opened:
                    self.assertEqual(opened.read(entries[leaf]), (self.data / name).read_bytes())
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        self.assertIn(("OutDirEdit", out_text), harness.read_ini(s.app / "selvat.ini")["Option"])


if __name__ == "__main__":
    unittest.main()

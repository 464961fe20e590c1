"""The batch run with our own archiver library: every listed file becomes an
archive of its own, an existing archive is asked about, items that fail or
are skipped are listed, and the run works with the progress window and
quietly."""
import io
import os
import unittest
import zipfile

import harness
from harness import (EXISTING_ARCHIVE_QUESTION, Session, box_text, checked_archive, error_list, input_list,
                     to_windows_path)


class BatchRun(unittest.TestCase):
    def setUp(self):
        self.session = Session("batch", libraries=harness.real_libraries())
        self.data = self.session.folder / "data"
        self.data.mkdir()

    def tearDown(self):
        self.session.stop()

    def write(self, name, data):
        path = self.data / name
        path.write_bytes(data)
        return path

    def start_run(self):
        self.session.keys("alt+z")

    def wait_idle(self, main):
        """Waits for the end of the run and gives the input list."""
        self.session.wait_run_end(main)
        return self.session.items(input_list(self.session, main))

    def test_files_archived_existing_archive_asked_errors_listed(self):
        s = self.session
        text = b"Selvat Archiver batch run\r\n" * 2000
        alpha = self.write("alpha.txt", text)
        table = self.write("表.txt", "表計算の表\r\n".encode("cp932") * 500)
        big = self.write("大きい.log", os.urandom(1 << 20) * 40)  # long enough to see the progress window

        # 1. Three files. Escape held at the start is asked about; Yes stops
        # the run before the first item. Then the run, the archiver showing
        # its progress window.
        listed = [to_windows_path(p) for p in (alpha, table, big)]
        s.start(*listed)
        main = s.main_window()
        s.key_down("Escape")
        try:
            self.start_run()
            box = s.wait_window(text="確認", cls="#32770")
        finally:
            s.key_up("Escape")
        self.assertEqual(box_text(s, box), "処理を中止しますか？")
        s.keys("y")
        self.assertEqual(self.wait_idle(main), listed)
        self.assertEqual(sorted(p.name for p in self.data.iterdir()), sorted(p.name for p in (alpha, table, big)))
        self.start_run()
        progress = s.wait_for(s.progress_windows, 60, "the archiver's progress window")[0]
        s.screenshot("batch-progress-window")
        self.assertEqual(progress["text"], to_windows_path(self.data / "大きい.zip"))
        self.assertEqual(s.now(main)["text"], "Selvat Archiver [圧縮中]")
        self.assertEqual(self.wait_idle(main), [])
        self.assertEqual(s.items(error_list(s, main)), [])
        for source, archive in [(alpha, "alpha.zip"), (table, "表.zip"), (big, "大きい.zip")]:
            with self.subTest(archive):
                entries = checked_archive(self.data / archive)
                self.assertEqual(list(entries), [source.name])
                self.assertEqual(entries[source.name].file_size, source.stat().st_size)
        alpha_zip = (self.data / "alpha.zip").read_bytes()
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)

        # 2. alpha.csv would go into the existing alpha.zip: answered No
        # (the default button). A missing file fails in the archiver.
        csv = self.write("alpha.csv", b"name,value\r\nalpha,1\r\n" * 100)
        gone = self.data / "gone.txt"
        s.start(to_windows_path(csv), to_windows_path(gone))
        main = s.main_window()
        self.start_run()
        box = s.wait_window(text="確認", cls="#32770")
        self.assertEqual(box_text(s, box), to_windows_path(self.data / "alpha.zip") + EXISTING_ARCHIVE_QUESTION)
        s.keys("Return")
        self.assertEqual(self.wait_idle(main), [])
        errors = s.items(error_list(s, main))
        s.screenshot("batch-error-list")
        self.assertEqual(errors, ["[Cancel] " + to_windows_path(csv), "[Error] " + to_windows_path(gone)])
        self.assertEqual((self.data / "alpha.zip").read_bytes(), alpha_zip, "a declined archive changed")
        self.assertFalse((self.data / "gone.zip").exists())

        # 3. Quiet now (the menu item without an access key, three up from
        # the first), and alpha.csv again through the file dialog: answered
        # Yes, the entry is added beside the old one.
        s.choose(["alt+o"], "Up", "Up", "Up", "Return")
        s.add_through_dialog(csv)
        self.assertEqual(s.items(input_list(s, main)), [to_windows_path(csv)])
        second = self.write("second.bin", os.urandom(1 << 20) * 30)
        s.add_through_dialog(second)
        self.start_run()
        box = s.wait_window(text="確認", cls="#32770")
        s.keys("y")
        s.never(s.progress_windows, 3, "a progress window in quiet mode")
        self.assertEqual(self.wait_idle(main), [])
        self.assertEqual(s.items(error_list(s, main)), [], "the run did not clear the error list")
        entries = checked_archive(self.data / "alpha.zip")
        self.assertEqual(sorted(entries), ["alpha.csv", "alpha.txt"])
        self.assertEqual(entries["alpha.txt"].CRC, checked_archive_crc(alpha_zip, "alpha.txt"))
        self.assertEqual(list(checked_archive(self.data / "second.zip")), ["second.bin"])
        s.screenshot("batch-after-quiet-run")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)
        self.assertIn(("NoDialog", "1"), harness.read_ini(s.app / "selvat.ini")["Option"],
                      "the quiet item was not the one chosen")


def checked_archive_crc(data, name):
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        return archive.getinfo(name).CRC


if __name__ == "__main__":
    unittest.main()

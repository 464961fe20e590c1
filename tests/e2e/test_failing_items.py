"""A list with troubles: a file whose archive exists already, a file that
vanished after it was listed and a file another program holds locked. The
question about the existing archive answered No and then, in a second run,
Yes; the error list names each failed or skipped item, and nothing else on
disk changes."""
import unittest
import zipfile

import harness
from harness import (EXISTING_ARCHIVE_QUESTION, Session, box_text, checked_archive, error_list, input_list,
                     snapshot, to_windows_path)


class FailingItems(unittest.TestCase):
    def setUp(self):
        self.session = Session("failing", libraries=harness.real_libraries())
        self.data = self.session.folder / "data"
        self.data.mkdir()

    def tearDown(self):
        self.session.stop()

    def write(self, name, data):
        path = self.data / name
        path.write_bytes(data)
        return path

    def answer_existing(self, main, key):
        s = self.session
        box = s.wait_window(text="確認", cls="#32770")
        self.assertEqual(box_text(s, box), to_windows_path(self.data / "report.zip") + EXISTING_ARCHIVE_QUESTION)
        s.keys(key)

    def test_existing_vanished_and_locked_items(self):
        s = self.session
        report = self.write("report.txt", b"quarterly report\r\n" * 500)
        with zipfile.ZipFile(self.data / "report.zip", "w", zipfile.ZIP_DEFLATED) as old:
            old.writestr("earlier.txt", "the archive the user made last week\r\n" * 50)
        gone = self.write("gone.txt", b"soon deleted\r\n")
        locked = self.write("locked.db", b"\x00\x01database pages" * 4000)
        fine = self.write("fine.csv", b"a,b,c\r\n1,2,3\r\n" * 300)
        listed = [to_windows_path(p) for p in (report, gone, locked, fine)]
        s.start(*listed)
        main = s.main_window()
        self.assertEqual(s.items(input_list(s, main)), listed)
        gone.unlink()
        s.lock(locked)
        before = snapshot(self.data)

        # First run: No to the existing archive; the vanished and the locked
        # file fail in the archiver; the fourth file is archived.
        s.keys("alt+z")
        self.answer_existing(main, "n")
        s.wait_run_end(main)
        s.screenshot("failing-first-run")
        self.assertEqual(s.items(input_list(s, main)), [])
        self.assertEqual(s.items(error_list(s, main)),
                         ["[Cancel] " + to_windows_path(report), "[Error] " + to_windows_path(gone),
                          "[Error] " + to_windows_path(locked)])
        after = snapshot(self.data)
        self.assertEqual(sorted(set(after) - set(before)), ["fine.zip"], "only the good file's archive is new")
        self.assertEqual({k: v for k, v in after.items() if k in before}, before, "a file on disk changed")
        self.assertEqual(list(checked_archive(self.data / "fine.zip")), ["fine.csv"])

        # Second run, the existing archive answered Yes: the file joins the
        # old entry; the file still locked fails again.
        s.add_through_dialog(report)
        s.add_through_dialog(locked)
        s.keys("alt+z")
        self.answer_existing(main, "y")
        s.wait_run_end(main)
        s.screenshot("failing-second-run")
        self.assertEqual(s.items(input_list(s, main)), [])
        self.assertEqual(s.items(error_list(s, main)), ["[Error] " + to_windows_path(locked)])
        entries = checked_archive(self.data / "report.zip")
        self.assertEqual(sorted(entries), ["earlier.txt", "report.txt"])
        final = snapshot(self.data)
        changed = sorted(k for k in before if final.get(k) != before[k])
        self.assertEqual(changed, ["report.zip"])
        self.assertEqual(sorted(set(final) - set(before)), ["fine.zip"], "a temporary or stray file is left")
        s.unlock(locked)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

"""Escape held during a long run: the program asks whether to stop; No goes
on with the list, Yes stops and keeps what is left; Start again finishes it."""
import random
import unittest

import harness
from harness import Session, box_text, checked_archive, error_list, input_list, to_windows_path

FILES = 48


class EscapeLongRun(unittest.TestCase):
    def setUp(self):
        self.session = Session("escape", libraries=harness.real_libraries())
        self.data = self.session.folder / "data"
        self.data.mkdir()
        rng = random.Random(3)
        words = "archive level window progress cancel 書庫 圧縮 中止 ファイル".split()
        base = " ".join(rng.choice(words) for _ in range(250000)).encode("cp932")
        self.files = []
        for n in range(FILES):
            path = self.data / f"part{n:02d}.txt"
            shift = n * 7919 % len(base)
            path.write_bytes(base[shift:] + base[:shift])
            self.files.append(path)

    def tearDown(self):
        self.session.stop()

    def archived(self):
        return sorted(p.stem for p in self.data.glob("*.zip"))

    def hold_escape_for_the_question(self):
        s = self.session
        s.key_down("Escape")
        try:
            box = s.wait_window(text="確認", cls="#32770", timeout=60)
        finally:
            s.key_up("Escape")
        self.assertEqual(box_text(s, box), "処理を中止しますか？")
        return box

    def test_escape_asks_no_goes_on_yes_stops_and_start_finishes(self):
        s = self.session
        listed = [to_windows_path(p) for p in self.files]
        s.start(*listed)
        main = s.main_window()
        # Quiet (three up from the bottom of the Options menu) and level 9
        # (the first of 圧縮率(&R)): every item takes a while.
        s.choose(["alt+o"], "Up", "Up", "Up", "Return")
        s.choose(["alt+o", "r"], "Return", depth=2)
        s.keys("alt+z")
        s.wait_for(self.archived, 60, "the first archives", accept=lambda done: len(done) >= 3)

        self.hold_escape_for_the_question()
        s.screenshot("escape-question")
        asked_at = len(self.archived())
        s.keys("n")
        s.wait_for(self.archived, 60, "the run to go on after No",
                   accept=lambda done: len(done) >= asked_at + 3)

        self.hold_escape_for_the_question()
        s.keys("y")
        s.wait_run_end(main)
        s.screenshot("escape-stopped")
        done = self.archived()
        left = s.items(input_list(s, main))
        self.assertLess(len(done), FILES, "the run was not stopped")
        self.assertEqual(left, listed[len(done):], "the list keeps exactly the items not yet archived")
        self.assertEqual(s.items(error_list(s, main)), [])
        self.assertEqual(s.status_text(main), "")

        s.keys("alt+z")
        s.wait_run_end(main)
        self.assertEqual(s.items(input_list(s, main)), [])
        self.assertEqual(s.items(error_list(s, main)), [])
        self.assertEqual(self.archived(), [p.stem for p in self.files])
        for path in (self.files[0], self.files[len(done) - 1], self.files[len(done)], self.files[-1]):
            with self.subTest(path.name):
                entries = checked_archive(path.with_suffix(".zip"))
                self.assertEqual(entries[path.name].file_size, path.stat().st_size)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

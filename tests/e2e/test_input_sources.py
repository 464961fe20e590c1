"""Paths given on the command line come into the input list, and Escape held
down stops the listing of a large folder."""
import time
import unittest

from harness import Session, input_list, to_windows_path


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.session = Session("arguments")
        self.data = self.session.folder / "data"

    def tearDown(self):
        self.session.stop()

    def make(self, *names):
        for name in names:
            path = self.data / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(name)

    def test_files_and_folders_from_the_command_line_fill_the_list(self):
        s = self.session
        self.make("report.txt", "Long Folder Name/Summary of May.txt", "folder/a.txt",
                  "folder/b.txt", "folder/sub/c.txt", "資料表/表.txt")
        long_name = self.data / "Long Folder Name" / "Summary of May.txt"
        short = s.short_name(long_name)
        self.assertIsNotNone(short, "no short name for the test file")
        self.assertNotEqual(short, to_windows_path(long_name), "Wine gave no 8.3 form")

        s.start("report.txt", short, to_windows_path(self.data / "folder"),
                to_windows_path(self.data / "資料表"), "REPORT.TXT", cwd=self.data)
        main = s.main_window()
        listed = s.items(input_list(s, main))
        s.screenshot("arguments-listed")

        folder_order = [e["name"] for e in s.listing(self.data / "folder") if e["attributes"] != 16]
        expected = ([to_windows_path(self.data / "report.txt"), to_windows_path(long_name)] +
                    [to_windows_path(self.data / "folder" / n) for n in folder_order] +
                    [to_windows_path(self.data / "資料表" / "表.txt")])
        self.assertEqual(listed, expected)
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


class EscapeDuringListing(unittest.TestCase):
    FILES = 40000

    def setUp(self):
        self.session = Session("escape")
        self.big = self.session.folder / "big"
        self.big.mkdir()
        for n in range(self.FILES):
            (self.big / f"f{n:05}.txt").touch()

    def tearDown(self):
        self.session.xdotool("keyup", "Escape")  # never left held, whatever failed
        self.session.stop()

    def test_escape_held_stops_the_listing_and_the_window_shows(self):
        s = self.session
        # The listing runs before the window shows, so Escape is pressed a
        # moment after the window is made; a moment that misses the listing
        # (too early or too late on a busy machine) is tried once more.
        delay, tries = 0.5, []
        for _ in range(4):
            main, count = self.list_with_escape_after(delay)
            tries.append((delay, count))
            if 0 < count < self.FILES:
                break
            s.keys("alt+F4")
            self.assertEqual(s.exit_code(), 0)
            delay = delay + 0.5 if count == 0 else delay / 2
        else:
            self.fail(f"Escape never stopped the listing midway: (delay, entries) {tries}")
        s.screenshot("escape-stopped-listing")
        listed = s.items(input_list(s, main))
        order = [to_windows_path(self.big / e["name"]) for e in s.listing(self.big)]
        self.assertEqual(len(order), self.FILES)
        self.assertEqual(listed, order[:len(listed)], "the entries listed are not in listing order")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)

    def list_with_escape_after(self, delay):
        s = self.session
        s.start(to_windows_path(self.big))
        s.main_window_made()
        time.sleep(delay)
        s.key_down("Escape")
        try:
            main = s.main_window(timeout=120)
        finally:
            s.key_up("Escape")
        return main, s.count(input_list(s, main))


if __name__ == "__main__":
    unittest.main()

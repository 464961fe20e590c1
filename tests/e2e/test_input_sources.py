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
        s.start(to_windows_path(self.big))
        s.main_window_made()
        time.sleep(0.5)  # the listing is under way: the window shows only after it
        s.key_down("Escape")
        main = s.main_window(timeout=120)
        s.key_up("Escape")
        s.screenshot("escape-stopped-listing")
        inputs = input_list(s, main)
        count = s.count(inputs)
        self.assertLess(count, self.FILES, "Escape did not stop the listing")
        self.assertGreater(count, 0, "Escape was seen before the first entry")
        listed = s.items(inputs)

        order = [to_windows_path(self.big / e["name"]) for e in s.listing(self.big)]
        self.assertEqual(len(order), self.FILES)
        self.assertEqual(listed, order[:len(listed)], "the entries listed are not in listing order")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

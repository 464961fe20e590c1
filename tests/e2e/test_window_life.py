"""How the window comes up and goes: every way of closing saves the
settings, a maximised start opens maximised, a minimised start waits for the
user to restore the window before it binds the libraries."""
import unittest

from harness import Session, input_list, read_ini

DEFAULTS = [("OutDirCheck", "0"), ("OutDirEdit", ""), ("ArcRate", "6"), ("NoDialog", "0"),
            ("ArcName", "1"), ("InputSubDir", "0")]
WS_MAXIMIZE = 0x01000000
WS_MINIMIZE = 0x20000000
# A shortcut set to "minimised" starts a program with SW_SHOWMINNOACTIVE;
# Wine's "start /min" passes SW_SHOWMINIMIZED (2), which the program treats
# as an ordinary start, so the stories launch it through the probe.
SW_SHOWMINNOACTIVE = 7


class Closing(unittest.TestCase):
    def setUp(self):
        self.session = Session("closing")

    def tearDown(self):
        self.session.stop()

    def test_every_way_of_closing_writes_the_six_settings(self):
        s = self.session
        ini = s.app / "selvat.ini"

        def close_box(main):
            left, top, width, _ = main["rect"]
            s.click_at(left + width - 14, top + 12)

        ways = [
            ("close box clicked", close_box),
            ("WM_CLOSE", lambda main: s.probe.ask("close", main["hwnd"])),
            ("Alt+F4", lambda main: s.keys("alt+F4")),
            ("File > Exit by keys", lambda main: s.keys("alt+f", "x")),
        ]
        for way, close in ways:
            with self.subTest(way):
                ini.unlink(missing_ok=True)
                s.start()
                main = s.main_window()
                if way == "close box clicked":
                    s.screenshot("closing-before-close-box")
                close(main)
                self.assertEqual(s.exit_code(), 0)
                self.assertTrue(ini.exists(), f"{way}: no selvat.ini beside the exe")
                self.assertEqual(read_ini(ini), {"Option": DEFAULTS}, way)


class ShowCommands(unittest.TestCase):
    def tearDown(self):
        self.session.stop()

    def test_started_maximised_the_window_opens_maximised(self):
        s = self.session = Session("maximised")
        s.start(through=("start", "/wait", "/max"))
        main = s.main_window()
        s.screenshot("started-maximised")
        self.assertTrue(main["style"] & WS_MAXIMIZE, f"not maximised: {main}")
        self.assertEqual(main["client"][0] >= 1000, True, f"client area {main['client']}")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)

    def test_started_minimised_nothing_is_bound_until_restored(self):
        # Without libraries the show sequence would show its warning at once;
        # started minimised, it must wait for the restore.
        s = self.session = Session("minimised", libraries=[])
        s.start_with_show_command(SW_SHOWMINNOACTIVE, "C:\\windows\\win.ini")
        main = s.main_window_made()
        s.never(lambda: [w for w in s.windows() if w["text"] == "警告"], 3,
                "the libraries were bound before the window was restored")
        s.screenshot("started-minimised")
        self.assertTrue(self.state(main) & WS_MINIMIZE, "the window is not minimised")
        self.restore(main)
        s.wait_window(text="警告", cls="#32770")
        s.screenshot("minimised-restored-warning")
        s.keys("Return")
        self.assertEqual(s.exit_code(), 0)
        self.assertFalse((s.app / "selvat.ini").exists())

    def test_started_minimised_the_show_sequence_runs_once_on_restore(self):
        s = self.session = Session("minimised-once")
        s.start_with_show_command(SW_SHOWMINNOACTIVE, "C:\\windows\\win.ini")
        main = s.main_window_made()
        self.assertEqual(s.items(input_list(s, main)), [], "arguments taken in while minimised")
        self.restore(main)
        s.wait_for(lambda: s.items(input_list(s, main)), 20, "the argument in the list")
        self.assertEqual(s.items(input_list(s, main)), ["C:\\windows\\win.ini"])
        # Clear the list, minimise and restore again: the arguments stay out.
        s.menu_command(["alt+f", "c"], "確認")
        s.keys("y")
        s.wait_for(lambda: s.items(input_list(s, main)) == [], 10, "the list to be cleared")
        s.keys("alt+space", "n")
        s.wait_for(lambda: self.state(main) & WS_MINIMIZE, 10, "the window to be minimised")
        self.restore(main)
        self.assertEqual(s.items(input_list(s, main)), [], "the show sequence ran again")
        s.screenshot("minimised-restored-twice")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)

    def test_started_minimised_the_input_list_has_the_focus_once_restored(self):
        s = self.session = Session("minimised-focus")
        s.start_with_show_command(SW_SHOWMINNOACTIVE)
        main = s.main_window_made()
        self.restore(main)
        s.wait_for(lambda: input_list(s, main)["focused"], 5, "the input list to have the focus")
        s.keys("alt+F4")

    def state(self, main):
        return self.session.now(main)["style"]

    def restore(self, main):
        """Double-clicks the minimised window's bar, as the user restores it.
        The show sequence runs before the window is shown again, so a box
        it raises counts as the restore having begun."""
        s = self.session
        for _ in range(3):
            left, top, width, height = s.now(main)["rect"]
            s.xdotool("mousemove", str(left + width // 2), str(top + height // 2),
                      "click", "--repeat", "2", "--delay", "80", "1")
            try:
                return s.wait_for(lambda: not self.state(main) & WS_MINIMIZE
                                  or [w for w in s.windows() if w["class"] == "#32770"],
                                  5, "the restore")
            except AssertionError:
                pass
        raise AssertionError("the minimised window could not be restored")


if __name__ == "__main__":
    unittest.main()

"""Start-up, the main window and the library boxes, as the user meets them."""
import unittest

from harness import Session, box_text

MISSING_BOTH = "Zip32j.dllがありません。\nzip32.dllがありません。\nアプリケーションを終了します。"


class StartUp(unittest.TestCase):
    def setUp(self):
        self.session = None

    def tearDown(self):
        if self.session:
            self.session.stop()

    def test_without_libraries_only_the_warning_shows_and_nothing_is_saved(self):
        s = self.session = Session("nolibs", libraries=[])
        s.start("C:\\windows\\win.ini")
        box = s.wait_window(text="警告", cls="#32770")
        s.screenshot("startup-no-libraries")
        self.assertEqual(box_text(s, box), MISSING_BOTH)
        self.assertEqual([w["class"] for w in s.windows() if w["class"] == "TSelvatWindow"], [])
        s.keys("Return")
        self.assertEqual(s.exit_code(), 0)
        self.assertFalse((s.app / "selvat.ini").exists())

    def test_main_window_layout_menus_and_boxes(self):
        s = self.session = Session("layout")
        s.start()
        main = s.main_window()
        self.assertEqual(main["text"], "Selvat Archiver")
        self.assertEqual(main["rect"], [(1024 - 450) // 2, (768 - 450) // 2, 450, 450])
        tree = s.tree(main)
        s.screenshot("startup-main-window")

        top = [c["class"] for c in tree["children"]]
        self.assertEqual(top, ["TBevel", "TPanel", "ListBox", "TPanel", "msctls_statusbar32"])
        _, panel2, inputs, panel1, status = tree["children"]
        client_top = inputs["rect"][1] - 34  # the list starts 34 below the client's top
        self.assertEqual([inputs["rect"][2], inputs["rect"][3]], [442, 203])
        self.assertEqual(panel1["rect"][1] - client_top, 237)
        self.assertEqual(status["rect"][1] - client_top, 384)
        self.assertTrue(inputs["focused"], "the input list has the focus")
        self.assertEqual([c["text"] for c in panel2["children"]][0], "圧縮対象ファイル")
        self.assertEqual([c["class"] for c in panel2["children"]][1:], ["TSpeedButton"] * 4)
        start, check, edit, folder, label, errors = panel1["children"]
        self.assertEqual(start["text"], "圧縮開始(&Z)")
        self.assertEqual(check["text"], "出力ディレクトリを指定")
        self.assertEqual(check["checked"], 0)
        self.assertFalse(edit["enabled"])
        self.assertFalse(folder["enabled"])
        self.assertEqual(label["text"], "エラーログ")
        self.assertEqual(errors["class"], "ListBox")

        # The menus open from the keyboard by their access keys.
        s.open_menu("alt+o", "r", depth=2)
        s.screenshot("startup-options-menu")
        s.close_menus()

        box = s.menu_command(["alt+h", "d"], "DLL情報")
        self.assertEqual(box_text(s, box), "Zip32j.dll  : 1.08\nZip32.dll   : 2.30")
        s.screenshot("startup-dll-versions")
        s.keys("Return")
        box = s.menu_command(["alt+h", "a"], "ﾊﾞｰｼﾞｮﾝ情報")
        about = box_text(s, box).split("\n")
        self.assertEqual(about[:2], ["Selvat Archiver", ""])
        self.assertTrue(about[2].startswith("Version "))
        self.assertEqual(about[3], "")
        self.assertEqual(len(about), 7)
        s.keys("Return")
        s.keys("alt+F4")
        self.assertEqual(s.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

// The batch run started from the real form, with the stand-in archiver
// logging each command line it is given.
#include <windows.h>

#include <commctrl.h>

#include <fstream>

#include "forms/screen.h"
#include "tests/win/form/bound_form.h"
#include "tests/win/support/dialog_watch.h"

namespace {
const char kQuestionTail[] = "\nと同名の書庫ファイルがあります。\n追加書き込みしますか？";
const UINT kQuestion = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

// The Escape key held down for as long as this lives.
class EscapeHeld {
 public:
  EscapeHeld() { send(0); }
  ~EscapeHeld() { send(KEYEVENTF_KEYUP); }

 private:
  static void send(DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_ESCAPE;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    Sleep(30);
  }
};

// The cursor the window shows between runs; not the default, so that a
// run that puts back the wrong one shows.
const int kCursorBefore = -2;

class BatchFormTest : public BoundFormTest {
 protected:
  void SetUp() override {
    BoundFormTest::SetUp();
    Screen->SetCursor(kCursorBefore);
  }
  void TearDown() override {
    Screen->SetCursor(crDefault);
    BoundFormTest::TearDown();
  }
  // The text the status bar's window shows in its one simple area (which
  // the bar reads back as part 0).
  std::string statusShown() {
    HWND bar = form->StatusBar1.Handle();
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    // The length may count characters, not bytes (Wine does), and the copy
    // takes no size: room for two bytes each.
    std::string text(2 * LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)) + 1, '\0');
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
  }
  std::string line(const std::string& archive, const std::string& item) {
    return "-6 -j \"" + scratch + archive + "\" \"" + scratch + item + "\"";
  }
  void expectIdle() {
    EXPECT_EQ(windowText(form->Handle()), "Selvat Archiver");
    EXPECT_EQ(statusShown(), "");
    EXPECT_EQ(Screen->Cursor(), kCursorBefore);
  }
};

TEST_F(BatchFormTest, EmptyListOnlyWarns) {
  form->ErrorList.Add("[Error] C:\\earlier.txt");
  form->StatusBar1.SetSimpleText("earlier");
  clickStart();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ファイルリストが空です。");
  EXPECT_EQ(boxes[0].caption, "警告");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(errorLines(), std::vector<std::string>{"[Error] C:\\earlier.txt"});
  EXPECT_EQ(statusShown(), "earlier");
  EXPECT_EQ(windowText(form->Handle()), "Selvat Archiver");
  EXPECT_TRUE(commandLines().empty());
}

TEST_F(BatchFormTest, EveryItemBecomesOneArchiveInListOrder) {
  form->ErrorList.Add("[Error] C:\\earlier.txt");
  makeInput("a.txt");
  makeInput("[b] 表.dat");
  makeInput("c");
  const std::string longFolder = "C:\\" + std::string(300, 'x') + "\\表";  // no such folder
  form->AddInputFile(longFolder + "\\d.txt");
  choose(form->ArcStart);
  EXPECT_EQ(commandLines(),
            (std::vector<std::string>{
                line("a.zip", "a.txt"),
                "-6 -j \"" + scratch + "[b] 表.zip\" \"" + scratch + "[[]b] 表.dat\"",
                line("c.zip", "c"),
                "-6 -j \"" + longFolder + "\\d.zip\" \"" + longFolder + "\\d.txt\"",
            }));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(inputItems().empty());
  EXPECT_TRUE(errorLines().empty()) << "the run clears the lines of the one before";
  expectIdle();

  form->AddInputFile(scratch + "A.TXT");
  EXPECT_EQ(inputItems(), std::vector<std::string>{scratch + "A.TXT"})
      << "an item done with can come in again";
}

TEST_F(BatchFormTest, ExistingArchiveIsAskedAbout) {
  const std::string a = makeInput("a.txt"), b = makeInput("b.txt");
  makeInput("c.txt");
  makeFile("a.zip");
  makeFile("b.zip");
  ASSERT_TRUE(CreateDirectoryA((scratch + "c.zip").c_str(), nullptr));  // a folder is no archive
  answers = {IDNO, IDYES};
  struct Seen {
    std::string caption, status;
    int cursor;
    std::vector<std::string> listed;
  };
  std::vector<Seen> seen;
  onBox = [&](const ShownBox&) {
    seen.push_back({windowText(form->Handle()), statusShown(), Screen->Cursor(), inputItems()});
  };
  clickStart();

  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, scratch + "a.zip" + kQuestionTail);
  EXPECT_EQ(boxes[1].text, scratch + "b.zip" + kQuestionTail);
  for (const ShownBox& box : boxes) {
    EXPECT_EQ(box.caption, "確認");
    EXPECT_EQ(box.flags, kQuestion);
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "Selvat Archiver [圧縮中]");
  EXPECT_EQ(seen[0].status, "ESC で中止します。 1/3");
  EXPECT_EQ(seen[1].status, "ESC で中止します。 2/3") << "the skipped item counts";
  EXPECT_EQ(seen[0].cursor, kCursorBefore) << "the question comes with the cursor put back";
  EXPECT_EQ(seen[1].listed, (std::vector<std::string>{b, scratch + "c.txt"}))
      << "the list shows what is left when the question comes";

  EXPECT_EQ(commandLines(),
            (std::vector<std::string>{line("b.zip", "b.txt"), line("c.zip", "c.txt")}));
  EXPECT_EQ(errorLines(), std::vector<std::string>{"[Cancel] " + a});
  EXPECT_TRUE(inputItems().empty());
  expectIdle();
}

// Escape held down through the run: the question comes before each item;
// No goes on with the item, Yes stops with the item kept.
// However seldom the run repaints, the window is painted after the last item.
TEST_F(BatchFormTest, TheWindowIsPaintedAfterTheLastItem) {
  for (int n = 0; n < 30; ++n) makeInput("f" + std::to_string(n) + ".txt");
  ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
  UpdateWindow(form->Handle());
  clickStart();
  EXPECT_EQ(commandLines().size(), 30u);
  EXPECT_TRUE(inputItems().empty());
  for (HWND window : {form->InputList.Handle(), form->StatusBar1.Handle(), form->Handle()})
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "left unpainted";
  expectIdle();
  ShowWindow(form->Handle(), SW_HIDE);
}

// A library that puts up a window of its own disables the main window
// first; the main window then shows how far the run has come, though the
// run repaints seldom, with the wait cursor over it.
TEST_F(BatchFormTest, TheArchiversWindowFindsTheWindowAsTheRunHasGot) {
  for (int n = 1; n <= 4; ++n) makeInput("f" + std::to_string(n) + ".txt");
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_WINDOW", "1");
  clickStart();
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_WINDOW", nullptr);
  std::vector<std::string> shown;
  for (const std::string& logged : commandLines()) {
    if (logged.rfind("owner shows: ", 0) == 0) shown.push_back(logged.substr(13));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"ESC で中止します。 1/4, 4 items, wait cursor",
                                             "ESC で中止します。 2/4, 3 items, wait cursor",
                                             "ESC で中止します。 3/4, 2 items, wait cursor",
                                             "ESC で中止します。 4/4, 1 items, wait cursor"}));
  EXPECT_TRUE(inputItems().empty());
  expectIdle();
}

TEST_F(BatchFormTest, EscapeAsksBeforeEachItem) {
  form->ErrorList.Add("[Error] C:\\earlier.txt");
  makeInput("a.txt");
  const std::string b = makeInput("b.txt");
  answers = {IDNO, IDYES};
  {
    EscapeHeld escape;
    clickStart();
  }
  ASSERT_EQ(boxes.size(), 2u);
  for (const ShownBox& box : boxes) {
    EXPECT_EQ(box.text, "処理を中止しますか？");
    EXPECT_EQ(box.caption, "確認");
    EXPECT_EQ(box.flags, kQuestion);
  }
  EXPECT_EQ(commandLines(), std::vector<std::string>{line("a.zip", "a.txt")});
  EXPECT_EQ(inputItems(), std::vector<std::string>{b});
  EXPECT_TRUE(errorLines().empty());
  expectIdle();
}

TEST_F(BatchFormTest, FailedItemIsListedAndTheRunGoesOn) {
  const std::string a = makeInput("a.txt");
  makeInput("b.txt");
  makeFile("b.zip");
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", "1");
  answers = {IDYES};
  onBox = [](const ShownBox&) { SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", "0"); };
  clickStart();
  EXPECT_EQ(commandLines(),
            (std::vector<std::string>{line("a.zip", "a.txt"), line("b.zip", "b.txt")}));
  EXPECT_EQ(errorLines(), std::vector<std::string>{"[Error] " + a});
  EXPECT_TRUE(inputItems().empty());
  expectIdle();
}

// Selecting an error line, by mouse or by key, shows why in the status bar:
// the archiver's own message, or that the user declined to add to an archive.
TEST_F(BatchFormTest, ASelectedErrorLineShowsItsReason) {
  const std::string a = makeInput("a.txt"), b = makeInput("b.txt");
  makeFile("a.zip");
  answers = {IDNO};
  const std::string locked = "ファイルが他のプログラムで使用中です: " + b;
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", "3");
  const std::string message = makeFile("message.txt");
  std::ofstream(message, std::ios::binary) << locked;
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_MESSAGE", message.c_str());
  clickStart();
  ASSERT_EQ(errorLines(), (std::vector<std::string>{"[Cancel] " + a, "[Error] " + b}));
  EXPECT_EQ(statusShown(), "");

  HWND list = form->ErrorList.Handle();
  RECT line{};
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  const LPARAM at = MAKELPARAM(line.left + 4, (line.top + line.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(statusShown(), locked);
  SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(statusShown(), "同名の書庫ファイルへの追加書き込みを取りやめました。");

  answers = {IDYES};
  choose(form->ListClear);
  EXPECT_EQ(statusShown(), "") << "no reason is left without its line";
}

// An item refused as it came in (its name has no code-page form, and there
// is no such file) stays listed through the next run, which clears only
// the lines of the runs before it.
TEST_F(BatchFormTest, RefusalsSinceTheLastRunOutlastItsStart) {
  form->ErrorList.Add("[Error] C:\\earlier.txt");
  HDROP drop = makeWideDrop({L"C:\\nosuch\\\uC5C6\uC74C.txt"});  // Korean: no form in the code page
  SendMessageA(form->InputList.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  const std::string refused = "[Error] C:\\nosuch\\??.txt";
  EXPECT_EQ(errorLines(), (std::vector<std::string>{"[Error] C:\\earlier.txt", refused}));
  EXPECT_TRUE(inputItems().empty());
  makeInput("a.txt");
  clickStart();
  EXPECT_EQ(errorLines(), std::vector<std::string>{refused});
  makeInput("b.txt");
  clickStart();
  EXPECT_TRUE(errorLines().empty());
}

TEST_F(BatchFormTest, OptionsAreReadAnewForEachItem) {
  makeInput("a.txt");
  makeInput("b.txt");
  makeFile("a.zip");
  answers = {IDYES};
  onBox = [&](const ShownBox&) {
    choose(form->R9);
    choose(form->NoDialog);
    choose(form->ArcName_UnderBar);
  };
  clickStart();
  EXPECT_EQ(commandLines(), (std::vector<std::string>{
                                line("a.zip", "a.txt"),
                                "-9 -q -j \"" + scratch + "b_txt.zip\" \"" + scratch + "b.txt\"",
                            }));
}

// The library busy at the second item, after the question about its
// existing archive: the run stops there with the item kept and unlisted.
TEST_F(BatchFormTest, BusyLibraryStopsTheRun) {
  bindTo("running1");
  const std::string a = makeInput("a.txt"), b = makeInput("b.txt");
  makeFile("a.zip");
  answers = {IDNO};
  clickStart();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, scratch + "a.zip" + kQuestionTail);
  EXPECT_EQ(boxes[1].text,
            "他のアプリケーションで、ZIP32J.DLLが使用中です。\n"
            "該当するアプリケーションを終了してから再実行して下さい。");
  EXPECT_EQ(boxes[1].caption, "警告");
  EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_TRUE(commandLines().empty());
  EXPECT_EQ(inputItems(), std::vector<std::string>{b});
  EXPECT_EQ(errorLines(), std::vector<std::string>{"[Cancel] " + a});
  expectIdle();
}

// Something that throws inside the run reaches the exception box; the item
// of that pass stays first and the next Start runs again.
TEST_F(BatchFormTest, ARunEndedByAnExceptionLeavesTheFormUsable) {
  const std::string a = makeInput("a.txt"), b = makeInput("b.txt");
  makeFile("a.zip");
  onBox = [](const ShownBox&) { throw Exception("メモリが不足しています"); };
  clickStart();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "メモリが不足しています.");
  EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(inputItems(), (std::vector<std::string>{a, b}));
  EXPECT_FALSE(form->RunInProgress());
  expectIdle();  // not left claiming to work

  onBox = nullptr;
  boxes.clear();
  answers = {IDYES};
  clickStart();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(commandLines(),
            (std::vector<std::string>{line("a.zip", "a.txt"), line("b.zip", "b.txt")}));
  EXPECT_TRUE(inputItems().empty());
  expectIdle();
}

// The archiver's window lets messages through while an archive is made, and
// so does every box of the run: the list commands and a second Start must
// leave the run's list alone until it ends.
TEST_F(BatchFormTest, ListCommandsWaitWhileARunIsUnderWay) {
  const std::string a = makeInput("a.txt"), b = makeInput("b.txt");
  makeFile("a.zip");
  const std::string dropped = makeFile("dropped.txt");
  browserAnswer = scratch.substr(0, scratch.size() - 1);
  answers = {IDYES};
  bool dialogSeen = false;
  onBox = [&](const ShownBox&) {
    choose(form->ArcStart);
    clickStart();
    form->InputList.SetItemIndex(1);
    choose(form->FileCancel);
    clickSpeedButton(form->CancelButton);
    choose(form->ListClear);
    clickSpeedButton(form->ClearButton);
    SendMessageA(form->InputList.Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(makeDrop({dropped})), 0);
    choose(form->DirSelect);
    clickSpeedButton(form->DirButton);
    DialogWatch watch;
    choose(form->FileSelect);
    clickSpeedButton(form->SelectButton);
    dialogSeen = watch.seen();
    EXPECT_EQ(inputItems(), (std::vector<std::string>{a, b}));
  };
  clickStart();

  EXPECT_FALSE(dialogSeen);
  EXPECT_TRUE(browserTitles.empty());
  EXPECT_EQ(boxes.size(), 1u) << "only the question; no box of a second run or of Clear";
  EXPECT_EQ(commandLines(),
            (std::vector<std::string>{line("a.zip", "a.txt"), line("b.zip", "b.txt")}));
  EXPECT_TRUE(inputItems().empty());
  EXPECT_TRUE(errorLines().empty());
  expectIdle();

  SendMessageA(form->InputList.Handle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(makeDrop({dropped})), 0);
  EXPECT_EQ(inputItems(), std::vector<std::string>{dropped}) << "taken once the run is over";
}
}  // namespace

// The option controls on the real form: the menus and the output-folder
// controls stay in step, and the next folder listing and command line use
// what they show.
#include <algorithm>

#include "tests/win/form/bound_form.h"

namespace {
class OptionControlsTest : public BoundFormTest {
 protected:
  // What holds after every handler: one item of each radio group checked,
  // in the system menu as in the items, and the output-folder controls
  // enabled exactly while the box is checked.
  void expectInvariants() {
    int levels = 0, namings = 0;
    for (TMenuItem* item : {&form->R1, &form->R2, &form->R3, &form->R4, &form->R5, &form->R6,
                            &form->R7, &form->R8, &form->R9}) {
      EXPECT_EQ(shownChecked(*item), item->Checked()) << item->Caption();
      levels += item->Checked();
    }
    for (TMenuItem* item : {&form->ArcName_File, &form->ArcName_Period, &form->ArcName_UnderBar}) {
      EXPECT_EQ(shownChecked(*item), item->Checked()) << item->Caption();
      namings += item->Checked();
    }
    EXPECT_EQ(levels, 1);
    EXPECT_EQ(namings, 1);
    const bool checked = form->OutDirCheck.Checked();
    EXPECT_EQ(boxShownChecked(), checked);
    EXPECT_EQ(IsWindowEnabled(form->OutDirEdit.Handle()) != 0, checked);
    EXPECT_EQ(IsWindowEnabled(form->OutDirButton.Handle()) != 0, checked);
    EXPECT_EQ(editBackground(form->OutDirEdit),
              GetSysColor(checked ? COLOR_WINDOW : COLOR_BTNFACE));
  }

  // The command line of one archive made now from a file of this name.
  std::string nextCommandLine(const std::string& name) {
    makeInput(name);
    size_t before = commandLines().size();
    clickStart();
    std::vector<std::string> lines = commandLines();
    EXPECT_EQ(lines.size(), before + 1);
    return lines.empty() ? "" : lines.back();
  }
};

TEST_F(OptionControlsTest, OptionsMenuAndCheckBoxFollowEachOther) {
  form->OutDirEdit.SetText("C:\\keep\\");
  expectInvariants();

  open(form->Option1);
  EXPECT_FALSE(shownChecked(form->OutDir));
  EXPECT_FALSE(shownEnabled(form->OutDirSelect));
  choose(form->OutDirSelect);
  EXPECT_TRUE(browserTitles.empty()) << "a disabled item raises nothing";

  clickCheckBox();
  EXPECT_TRUE(form->OutDirCheck.Checked());
  expectInvariants();
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "C:\\keep\\");

  open(form->Option1);
  EXPECT_TRUE(shownChecked(form->OutDir));
  EXPECT_TRUE(shownEnabled(form->OutDirSelect));

  choose(form->OutDir);
  EXPECT_FALSE(form->OutDirCheck.Checked());
  EXPECT_FALSE(shownChecked(form->OutDir));
  expectInvariants();
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "C:\\keep\\");

  open(form->Option1);
  choose(form->OutDir);
  EXPECT_TRUE(form->OutDirCheck.Checked());
  expectInvariants();

  // The box clicked off while the menu still shows it on: opening the menu
  // brings the item back in step.
  clickCheckBox();
  expectInvariants();
  open(form->Option1);
  EXPECT_FALSE(shownChecked(form->OutDir));
  EXPECT_FALSE(shownEnabled(form->OutDirSelect));
}

// Keys typed on the real window; the menu's own loop reads them.
void typeKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (auto [key, down] : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Lets the window take its messages until done() or the time is up; a menu
// left open is closed then, so that a fault cannot hang the test.
void CALLBACK closeMenu(HWND, UINT, UINT_PTR, DWORD) {
  EndMenu();
}

void pumpMessages(
    DWORD milliseconds, const std::function<bool()>& done = [] { return false; }) {
  const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, closeMenu);
  const ULONGLONG until = GetTickCount64() + milliseconds;
  while (GetTickCount64() < until && !done()) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
  KillTimer(nullptr, timer);
}

// The Options menu opened from the keyboard brings its items in step before
// one is chosen: the selection item, disabled when the menu last opened,
// can be chosen by its access key once the box is checked.
TEST_F(OptionControlsTest, MenuOpenedByKeyboardFollowsTheCheckBox) {
  open(form->Option1);
  ASSERT_FALSE(shownEnabled(form->OutDirSelect));
  form->OutDirCheck.SetChecked(true);
  browserAnswer = "C:\\Data";
  ShowWindow(form->Handle(), SW_SHOW);
  SetForegroundWindow(form->Handle());
  SetFocus(form->InputList.Handle());
  pumpMessages(200);
  typeKeys(
      {{VK_MENU, true}, {'O', true}, {'O', false}, {VK_MENU, false}, {'D', true}, {'D', false}});
  pumpMessages(3000, [&] { return !browserTitles.empty(); });
  EXPECT_EQ(browserTitles, std::vector<std::string>{"出力ディレクトリ選択"});
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "C:\\Data\\");
  EXPECT_TRUE(form->OutDir.Checked());
}

TEST_F(OptionControlsTest, BrowsedFolderEndsInOneBackslash) {
  struct Case {
    const char* chosen;
    const char* shown;
  };
  const Case cases[] = {
      {"C:\\", "C:\\"},
      {"C:\\Data", "C:\\Data\\"},
      {"C:\\Data\\", "C:\\Data\\"},
      {u8"C:\\資料\\表", "C:\\資料\\表\\"},  // 表 ends in the byte of "\"
      {"", "C:\\資料\\表\\"},                // cancelled: the text stays
  };
  clickCheckBox();
  bool byMenu = false;
  for (const Case& row : cases) {
    SCOPED_TRACE(row.chosen);
    browserAnswer = row.chosen;
    browserTitles.clear();
    if (byMenu) {
      open(form->Option1);
      choose(form->OutDirSelect);
    } else {
      clickSpeedButton(form->OutDirButton);
    }
    byMenu = !byMenu;
    EXPECT_EQ(browserTitles, std::vector<std::string>{"出力ディレクトリ選択"});
    EXPECT_EQ(windowText(form->OutDirEdit.Handle()), row.shown);
    expectInvariants();
  }
  EXPECT_EQ(nextCommandLine("a.txt"), "-6 -j \"C:\\資料\\表\\a.zip\" \"" + scratch + "a.txt\"");
}

TEST_F(OptionControlsTest, TypedFolderIsKeptAsTyped) {
  clickCheckBox();
  SetWindowTextA(form->OutDirEdit.Handle(), "D:\\Out");
  EXPECT_EQ(nextCommandLine("a.txt"), "-6 -j \"D:\\Out\\a.zip\" \"" + scratch + "a.txt\"");
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "D:\\Out");

  clickCheckBox();
  EXPECT_EQ(nextCommandLine("b.txt"), "-6 -j \"" + scratch + "b.zip\" \"" + scratch + "b.txt\"")
      << "the folder is used only while the box is checked";
}

TEST_F(OptionControlsTest, LevelAndNamingItems) {
  form->FArcRate = 0;
  choose(form->R6);
  EXPECT_TRUE(form->R6.Checked()) << "clicking the checked item keeps it checked";
  EXPECT_EQ(form->FArcRate, 6);
  expectInvariants();

  choose(form->R3);
  EXPECT_EQ(form->FArcRate, 3);
  EXPECT_TRUE(shownChecked(form->R3));
  expectInvariants();

  const struct {
    TMenuItem* item;
    int tag;
    const char* archive;
  } namings[] = {
      {&form->ArcName_Period, 2, "a.txt.zip"},
      {&form->ArcName_UnderBar, 3, "b_txt.zip"},
      {&form->ArcName_File, 1, "c.zip"},
  };
  const char* inputs[] = {"a.txt", "b.txt", "c.txt"};
  for (size_t i = 0; i < std::size(namings); ++i) {
    SCOPED_TRACE(namings[i].archive);
    choose(*namings[i].item);
    EXPECT_EQ(form->FArcName, namings[i].tag);
    EXPECT_TRUE(shownChecked(*namings[i].item));
    expectInvariants();
    EXPECT_EQ(nextCommandLine(inputs[i]), std::string("-3 -j \"") + scratch + namings[i].archive +
                                              "\" \"" + scratch + inputs[i] + "\"");
  }
  form->FArcName = 3;
  EXPECT_EQ(nextCommandLine("d.txt"), "-3 -j \"" + scratch + "d.zip\" \"" + scratch + "d.txt\"")
      << "the naming follows the checked item";
}

TEST_F(OptionControlsTest, QuietModeAndSubFoldersToggle) {
  choose(form->NoDialog);
  EXPECT_TRUE(shownChecked(form->NoDialog));
  EXPECT_EQ(nextCommandLine("a.txt"), "-6 -q -j \"" + scratch + "a.zip\" \"" + scratch + "a.txt\"");
  choose(form->NoDialog);
  EXPECT_FALSE(shownChecked(form->NoDialog));
  EXPECT_EQ(nextCommandLine("b.txt"), "-6 -j \"" + scratch + "b.zip\" \"" + scratch + "b.txt\"");

  makeFile("top.txt");
  ASSERT_TRUE(CreateDirectoryA((scratch + "sub").c_str(), nullptr));
  makeFile("sub\\deep.txt");
  browserAnswer = scratch.substr(0, scratch.size() - 1);
  const std::vector<std::string> flat = {scratch + "a.txt", scratch + "b.txt", scratch + "top.txt"};
  for (bool subFolders : {true, false}) {
    SCOPED_TRACE(subFolders);
    choose(form->InputSubDir);
    EXPECT_EQ(shownChecked(form->InputSubDir), subFolders);
    form->InputList.Clear();
    form->FInputIndex.clear();
    choose(form->DirSelect);
    std::vector<std::string> listed = inputItems();
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = flat;
    if (subFolders) expected.push_back(scratch + "sub\\deep.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
  }
  expectInvariants();
}
}  // namespace

// The main form: its menu tree, what each command is bound to, the
// routing of dropped files, the boxes it shows and its help requests.
#include <windows.h>

#include <commctrl.h>

#include "app/help.h"
#include "archiver/selvat_dll.h"
#include "forms/folder_browser.h"
#include "os/file_system.h"
#include "tests/win/support/dialog_watch.h"
#include "tests/win/support/form_fixture.h"

namespace {
struct MenuRow {
  const char* caption;
  int depth;  // 0 on the menu bar
  int tag = 0;
  int group = 0;
  bool radio = false;
};

// The whole tree, depth first, as the menu bar shows it.
const MenuRow kMenu[] = {
    {"ファイル(&F)", 0},
    {"ファイルを追加(&F)...", 1},
    {"ファイルリストから削除(&R)", 1},
    {"ディレクトリ選択(&D)...", 1},
    {"ファイルリストのクリア(&C)", 1},
    {"-", 1},
    {"終了(&X)", 1},
    {"実行(&R)", 0},
    {"圧縮開始(&R)", 1},
    {"オプション(&O)", 0},
    {"出力ディレクトリを指定", 1},
    {"出力ディレクトリ選択(&D)...", 1},
    {"-", 1},
    {"圧縮率(&R)", 1},
    {"9 (圧縮率最大)", 2, 9, 1, true},
    {"8", 2, 8, 1, true},
    {"7", 2, 7, 1, true},
    {"6 (標準)", 2, 6, 1, true},
    {"5", 2, 5, 1, true},
    {"4", 2, 4, 1, true},
    {"3", 2, 3, 1, true},
    {"2", 2, 2, 1, true},
    {"1 (圧縮率最小)", 2, 1, 1, true},
    {"ダイアログを表示しない", 1},
    {"書庫ファイル名", 1},
    {"(FileName).zip", 2, 1, 2, true},
    {"(FileName).(Ext).zip", 2, 2, 2, true},
    {"(FileName)_(Ext).zip", 2, 3, 2, true},
    {"-", 1},
    {"サブディレクトリも読み込む", 1},
    {"ヘルプ(&H)", 0},
    {"目次(&C)", 1},
    {"-", 1},
    {"DLLのバージョン情報(&D)...", 1},
    {"バージョン情報(&A)...", 1},
};

void flatten(const TMenuItem& item, int depth, std::vector<std::pair<const TMenuItem*, int>>& out) {
  for (const TMenuItem* child : item.Items()) {
    out.push_back({child, depth});
    flatten(*child, depth + 1, out);
  }
}

std::string systemCaption(HMENU menu, int position) {
  char text[256] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING | MIIM_FTYPE;
  info.dwTypeData = text;
  info.cch = sizeof text - 1;
  GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
  return (info.fType & MFT_SEPARATOR) ? "-" : text;
}

UINT systemState(const TMenuItem& item) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_FTYPE;
  GetMenuItemInfoA(item.ParentMenu(), static_cast<UINT>(item.Position()), TRUE, &info);
  return info.fState | ((info.fType & MFT_RADIOCHECK) ? 0x80000000u : 0);
}

TEST_F(FormTest, MenuTreeAsDesigned) {
  std::vector<std::pair<const TMenuItem*, int>> items;
  flatten(form->MainMenu1.Items, 0, items);
  ASSERT_EQ(items.size(), std::size(kMenu));
  for (size_t i = 0; i < items.size(); ++i) {
    const TMenuItem& item = *items[i].first;
    const MenuRow& row = kMenu[i];
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(item.Caption(), row.caption);
    EXPECT_EQ(items[i].second, row.depth);
    EXPECT_EQ(item.Tag, row.tag);
    EXPECT_EQ(item.GroupIndex, row.group);
    EXPECT_EQ(item.RadioItem, row.radio);
    EXPECT_EQ(systemCaption(item.ParentMenu(), item.Position()), row.caption);
  }
  EXPECT_EQ(GetMenu(form->Handle()), form->MainMenu1.Handle());
}

TEST_F(FormTest, LoadedOptionsCheckOneLevelAndOneNaming) {
  for (TMenuItem* level :
       {&form->R1, &form->R2, &form->R3, &form->R4, &form->R5, &form->R7, &form->R8, &form->R9})
    EXPECT_FALSE(level->Checked());
  EXPECT_TRUE(form->R6.Checked());
  EXPECT_TRUE(form->ArcName_File.Checked());
  EXPECT_TRUE(systemState(form->R6) & MFS_CHECKED);
  EXPECT_TRUE(systemState(form->R6) & 0x80000000u) << "radio mark";
  EXPECT_FALSE(systemState(form->NoDialog) & MFS_CHECKED);
}

// Every command is bound to its handler: each one's effect shows.
TEST_F(FormTest, CommandsReachTheirHandlers) {
  choose(form->R3);
  EXPECT_EQ(form->FArcRate, 3);
  EXPECT_TRUE(form->R3.Checked());
  EXPECT_FALSE(form->R6.Checked());
  choose(form->ArcName_UnderBar);
  EXPECT_EQ(form->FArcName, 3);
  choose(form->NoDialog);
  EXPECT_TRUE(form->NoDialog.Checked());
  choose(form->InputSubDir);
  EXPECT_TRUE(form->InputSubDir.Checked());

  form->OutDirCheck.SetChecked(true);
  open(form->Option1);
  EXPECT_TRUE(form->OutDir.Checked());
  EXPECT_TRUE(form->OutDirSelect.Enabled());
  choose(form->OutDir);
  EXPECT_FALSE(form->OutDirCheck.Checked());
  EXPECT_FALSE(IsWindowEnabled(form->OutDirEdit.Handle()));
}

// The commands that start something, from the menu and from the buttons,
// each by what the user sees of it: a dialog, a box, the folder browser, a
// help request, the window closing, an item leaving the list.
class CommandTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    // The stand-in libraries, and their zip32.dll for AboutDLL to ask.
    SetDllDirectoryA((exeFolder() + "..\\binding\\both").c_str());
    ASSERT_EQ(form->Dll.Load(), 0);
    onBox = [this](const ShownBox& box) { seen += "box " + box.caption + ": " + box.text; };
    setFolderBrowserStandIn([this](const std::string& title) {
      seen += "folder browser: " + title;
      return std::string();
    });
    Application->OnHelp = [this](UINT command, ULONG_PTR data) {
      seen += "help " + std::to_string(command) + " " + std::to_string(data);
      return true;
    };
    form->OnClose = [this](TObject*, TCloseAction& action) {
      seen += "closed";
      action = caNone;  // the test goes on with the form
    };
  }
  void TearDown() override {
    SetDllDirectoryA(nullptr);
    setFolderBrowserStandIn(nullptr);
    FormTest::TearDown();
  }

  std::string seen;
};

TEST_F(CommandTest, EveryCommandThatStartsSomethingReachesItsHandler) {
  auto fileDialog = [this](const std::function<void()>& command) {
    return [this, command] {
      DialogWatch watch;
      command();
      if (watch.seen()) seen += "file dialog";
    };
  };
  auto selectedItem = [this](const std::function<void()>& command) {
    return [this, command] {
      form->AddInputFile("C:\\nosuch\\a.txt");
      form->InputList.SetItemIndex(0);
      command();
      seen += form->InputList.Count() == 0 ? "item removed" : "item kept";
    };
  };
  auto outputFolderOn = [this](const std::function<void()>& command) {
    return [this, command] {
      form->OutDirCheck.SetChecked(true);
      open(form->Option1);
      command();
    };
  };
  const std::string clearQuestion = "box 確認: ファイルリストをクリアしますか？";
  const std::string emptyList = "box 警告: ファイルリストが空です。";
  struct {
    const char* command;
    std::function<void()> fire;
    std::string seen;
  } cases[] = {
      {"FileSelect", fileDialog([&] { choose(form->FileSelect); }), "file dialog"},
      {"SelectButton", fileDialog([&] { clickSpeedButton(form->SelectButton); }), "file dialog"},
      {"FileCancel", selectedItem([&] { choose(form->FileCancel); }), "item removed"},
      {"CancelButton", selectedItem([&] { clickSpeedButton(form->CancelButton); }), "item removed"},
      {"DirSelect", [&] { choose(form->DirSelect); }, "folder browser: ディレクトリ選択"},
      {"DirButton", [&] { clickSpeedButton(form->DirButton); }, "folder browser: ディレクトリ選択"},
      {"ListClear", [&] { choose(form->ListClear); }, clearQuestion},
      {"ClearButton", [&] { clickSpeedButton(form->ClearButton); }, clearQuestion},
      {"ArcStart", [&] { choose(form->ArcStart); }, emptyList},
      {"ArcStartButton", [&] { SendMessageA(form->ArcStartButton.Handle(), BM_CLICK, 0, 0); },
       emptyList},
      {"OutDirSelect", outputFolderOn([&] { choose(form->OutDirSelect); }),
       "folder browser: 出力ディレクトリ選択"},
      {"OutDirButton", outputFolderOn([&] { clickSpeedButton(form->OutDirButton); }),
       "folder browser: 出力ディレクトリ選択"},
      {"HelpContents", [&] { choose(form->HelpContents); }, "help 3 0"},
      {"AboutDLL", [&] { choose(form->AboutDLL); },
       "box DLL情報: Zip32j.dll  : 1.08\nZip32.dll   : 2.30"},
      {"Exit", [&] { choose(form->Exit); }, "closed"},
  };
  for (const auto& c : cases) {
    seen.clear();
    c.fire();
    EXPECT_EQ(seen, c.seen) << c.command;
  }
}

TEST_F(FormTest, TheAboutBoxShowsItsLines) {
  choose(form->About);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Selvat Archiver\n"
            "\n"
            "Version 1.00\n"
            "\n"
            "作者 : Selvat Archiver 開発チーム\n"
            "Web : https://selvat-archiver.example/\n"
            "E-mail : support@selvat-archiver.example");
  EXPECT_EQ(boxes[0].caption, "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

// A drop on the list comes to the form as WM_DROPFILES with a drop handle.
TEST_F(FormTest, FilesDroppedOnTheListReachTheList) {
  std::string longName = "C:\\" + std::string(300, 'x') + "\\表.txt";
  HDROP drop = makeDrop({"C:\\nosuch\\a.txt", longName});
  SendMessageA(form->InputList.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  ASSERT_EQ(form->InputList.Count(), 2);
  EXPECT_EQ(form->InputList.Item(0), "C:\\nosuch\\a.txt");
  EXPECT_EQ(form->InputList.Item(1), longName) << "a long dropped path is taken whole";
}

// Names come dropped in UTF-16. One the code page cannot spell is listed by
// its short name, which opens that very file, not the file its best fit
// names; one the code page spells is listed as it is.
TEST_F(FormTest, DroppedNamesOfAnyScriptReachTheirFiles) {
  wchar_t temp[MAX_PATH + 1];
  GetLongPathNameW(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)).c_str(), temp,
                   MAX_PATH + 1);
  const std::wstring folder =
      temp + std::wstring(L"selvat-drop-") + std::to_wstring(GetCurrentProcessId()) + L"\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring names[] = {L"caf\u00E9.txt", L"cafe.txt", L"\u8868.txt"};  // café, cafe, 表
  for (const std::wstring& name : names) {
    HANDLE file =
        CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, name.data(), static_cast<DWORD>(name.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
  }
  HDROP drop = makeWideDrop({folder + names[0], folder + names[1], folder + names[2]});
  SendMessageA(form->InputList.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);

  ASSERT_EQ(form->InputList.Count(), 3);
  EXPECT_EQ(form->ErrorList.Count(), 0);
  const std::string codePageFolder = systemFileSystem().codePageForm(utf8Of(folder)).text;
  EXPECT_NE(form->InputList.Item(0), codePageFolder + "cafe.txt");
  EXPECT_EQ(form->InputList.Item(1), codePageFolder + "cafe.txt");
  EXPECT_EQ(form->InputList.Item(2), codePageFolder + "表.txt");
  for (int i = 0; i < 3; ++i) {
    HANDLE file = CreateFileA(form->InputList.Item(i).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    wchar_t contents[32] = {};
    DWORD got = 0;
    ReadFile(file, contents, sizeof contents - sizeof(wchar_t), &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(contents, names[i]) << form->InputList.Item(i);
    DeleteFileW((folder + names[i]).c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

// A file beside the test exe for as long as this lives.
class FileBeside {
 public:
  explicit FileBeside(const std::string& name) : path_(exeFolder() + name) {
    CloseHandle(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  ~FileBeside() { DeleteFileA(path_.c_str()); }
  FileBeside(const FileBeside&) = delete;
  FileBeside& operator=(const FileBeside&) = delete;

 private:
  std::string path_;
};

class HelpTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Application->SetHelpStandIn([&](HWND, const std::string& file, UINT command, ULONG_PTR data) {
      EXPECT_EQ(file, Application->HelpFile);
      requests.push_back({command, data});
    });
    setDocumentOpenerStandIn([&](const std::wstring& path) {
      opened.push_back(path);
      return true;
    });
  }
  void TearDown() override {
    setDocumentOpenerStandIn(nullptr);
    Application->SetHelpStandIn(nullptr);
    FormTest::TearDown();
  }
  // F1 on a control, F1 in an open menu, and Help > Contents.
  void askForHelpThreeWays() {
    HELPINFO help{};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = form->OutDirEdit.Handle();
    SendMessageA(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    help.iContextType = HELPINFO_MENUITEM;
    SendMessageA(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    choose(form->HelpContents);
  }

  std::vector<std::pair<UINT, ULONG_PTR>> requests;  // made of the help viewer
  std::vector<std::wstring> opened;
};

// Where the help file is beside the program and the system has the old
// viewer (as Wine has), the viewer is asked, for the form's context.
TEST_F(HelpTest, TheViewerWhereItAndTheHelpFileAreThere) {
  FileBeside helpFile("selvat.hlp");
  askForHelpThreeWays();
  std::vector<std::pair<UINT, ULONG_PTR>> expected = {
      {HELP_CONTEXT, 10}, {HELP_CONTEXT, 0}, {HELP_CONTENTS, 0}};
  EXPECT_EQ(requests, expected);
  EXPECT_TRUE(opened.empty());
}

// Without the help file, the readme beside the program opens; without that
// too, a box says that no help can be shown.
TEST_F(HelpTest, TheReadmeElseABox) {
  {
    FileBeside readme("readme.txt");
    askForHelpThreeWays();
  }
  EXPECT_TRUE(requests.empty());
  const std::wstring readme = wideOfCodePage(exeFolder() + "readme.txt");
  EXPECT_EQ(opened, (std::vector<std::wstring>{readme, readme, readme}));
  EXPECT_TRUE(boxes.empty());

  choose(form->HelpContents);
  EXPECT_EQ(opened.size(), 3u);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "ヘルプを表示できません。\nヘルプファイル selvat.hlp も、プログラムのフォルダの "
            "readme.txt も開けませんでした。");
  EXPECT_EQ(boxes[0].caption, "警告");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_TRUE(requests.empty());
}

// An exception that escapes a handler is shown, and the program goes on.
TEST_F(FormTest, AnEscapedExceptionIsShownInTheBox) {
  form->Exit.OnClick = [](TObject*) { throw Exception("行を挿入できません"); };
  choose(form->Exit);
  form->Exit.OnClick = [](TObject*) { throw 42; };
  choose(form->Exit);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "行を挿入できません.");
  EXPECT_EQ(boxes[1].text, "予期しないエラーが発生しました.") << "of a kind nothing names";
  for (const ShownBox& box : boxes) {
    EXPECT_EQ(box.caption, Application->Title);
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }
  choose(form->R2);
  EXPECT_EQ(form->FArcRate, 2) << "still working";
}

// Tab walks the controls that take the focus, in their designed order.
TEST_F(FormTest, TabOrder) {
  form->OutDirCheck.SetChecked(true);  // the edit box takes the focus only while enabled
  HWND expected[] = {form->ArcStartButton.Handle(), form->OutDirCheck.Handle(),
                     form->OutDirEdit.Handle(), form->ErrorList.Handle(), form->InputList.Handle()};
  HWND at = form->InputList.Handle();
  for (HWND next : expected) {
    at = GetNextDlgTabItem(form->Handle(), at, FALSE);
    EXPECT_EQ(at, next);
  }
}

// The text of the tool tip that shows over a speed button.
BOOL CALLBACK readTip(HWND window, LPARAM found) {
  auto& [button, text] = *reinterpret_cast<std::pair<HWND, std::string>*>(found);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
  char tip[256] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = GetParent(button);
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = tip;
  SendMessageA(window, TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&tool));
  text = tip;
  return text.empty();
}

std::string shownHint(TSpeedButton& button) {
  std::pair<HWND, std::string> found{button.Handle(), ""};
  EnumThreadWindows(GetCurrentThreadId(), readTip, reinterpret_cast<LPARAM>(&found));
  return found.second;
}

TEST_F(FormTest, SpeedButtonsShowTheirHints) {
  EXPECT_EQ(shownHint(form->SelectButton), "追加");
  EXPECT_EQ(shownHint(form->CancelButton), "削除");
  EXPECT_EQ(shownHint(form->DirButton), "ﾃﾞｨﾚｸﾄﾘ選択");
  EXPECT_EQ(shownHint(form->ClearButton), "ﾘｽﾄのｸﾘｱ");
  EXPECT_EQ(shownHint(form->OutDirButton), "出力ﾃﾞｨﾚｸﾄﾘ選択");
  for (TSpeedButton* button : {&form->SelectButton, &form->OutDirButton})
    EXPECT_FALSE(GetWindowLongA(button->Handle(), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(FormTest, LibraryBoxes) {
  form->FDllError = kZip32jMissing | kZip32Missing;
  form->ShowLibraryError();
  form->FDllError = kEntryPointMissing;
  form->ShowLibraryError();
  SetDllDirectoryA((exeFolder() + "..\\binding\\both").c_str());
  ASSERT_EQ(form->Dll.Load(), 0);
  choose(form->AboutDLL);
  SetDllDirectoryA(nullptr);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text,
            "Zip32j.dllがありません。\nzip32.dllがありません。\nアプリケーションを終了します。");
  EXPECT_EQ(boxes[0].caption, "警告");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(boxes[1].text,
            "Zip32j.dllの読み込みでエラーが発生しました。\nアプリケーションを終了します。");
  EXPECT_EQ(boxes[2].text, "Zip32j.dll  : 1.08\nZip32.dll   : 2.30");
  EXPECT_EQ(boxes[2].caption, "DLL情報");
  EXPECT_EQ(boxes[2].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}
}  // namespace

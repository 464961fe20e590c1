// The settings file "selvat.ini" beside the test exe, read by the real
// form when it is made and written when it closes.
#include "archiver/selvat_dll.h"
#include "tests/win/form/bound_form.h"

namespace {
std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}
void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class SettingsFormTest : public FormTest {
 protected:
  void SetUp() override {
    removeSettings();
    FormTest::SetUp();
  }
  void TearDown() override {
    FormTest::TearDown();
    removeSettings();
  }
  void removeSettings() {
    DeleteFileA(iniPath.c_str());
    RemoveDirectoryA(iniPath.c_str());
  }
  // Made anew from a file of this text.
  void makeFormFrom(const std::string& text) {
    writeFile(iniPath, text);
    makeForm();
  }
  void closeByCloseBox() {
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  }
  TMenuItem* checkedLevel() {
    for (TMenuItem* item : form->ArcRate.Items())
      if (shownChecked(*item)) return item;
    return nullptr;
  }
  TMenuItem* checkedNaming() {
    for (TMenuItem* item : form->ArcName.Items())
      if (shownChecked(*item)) return item;
    return nullptr;
  }

  const std::string iniPath = exeFolder() + "selvat.ini";
};

TEST_F(SettingsFormTest, NoFileGivesTheDefaults) {
  EXPECT_FALSE(form->OutDirCheck.Checked());
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "");
  EXPECT_FALSE(IsWindowEnabled(form->OutDirEdit.Handle()));
  EXPECT_EQ(checkedLevel(), &form->R6);
  EXPECT_EQ(checkedNaming(), &form->ArcName_File);
  EXPECT_FALSE(shownChecked(form->NoDialog));
  EXPECT_FALSE(shownChecked(form->InputSubDir));
  EXPECT_EQ(form->FArcRate, 6);
  EXPECT_EQ(form->FArcName, 1);
  EXPECT_EQ(GetFileAttributesA(iniPath.c_str()), INVALID_FILE_ATTRIBUTES) << "reading makes none";
}

TEST_F(SettingsFormTest, StoredOptionsComeUpOnTheControls) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  SetCurrentDirectoryA("C:\\");  // the file is found beside the exe, not here
  makeFormFrom(
      "[Option]\r\nOutDirCheck=-1\r\nOutDirEdit=C:\\出力\\表\\\r\nArcRate=0x9\r\n"
      "NoDialog=2\r\nArcName=3\r\nInputSubDir=yes\r\n");
  SetCurrentDirectoryA(current);
  EXPECT_EQ(SendMessageA(form->OutDirCheck.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(form->OutDirEdit.Handle()));
  EXPECT_TRUE(IsWindowEnabled(form->OutDirButton.Handle()));
  EXPECT_EQ(editBackground(form->OutDirEdit), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "C:\\出力\\表\\");
  EXPECT_EQ(checkedLevel(), &form->R9);
  EXPECT_EQ(form->FArcRate, 9);
  EXPECT_TRUE(shownChecked(form->NoDialog));
  EXPECT_EQ(checkedNaming(), &form->ArcName_UnderBar);
  EXPECT_EQ(form->FArcName, 3);
  EXPECT_FALSE(shownChecked(form->InputSubDir)) << "a word reads as false";
}

// A stored number that no item shows is taken as the item that is shown,
// so the archiver gets what the menu says and that is what is written back.
TEST_F(SettingsFormTest, StoredNumbersFollowTheCheckedItem) {
  const struct {
    const char* arcRate;
    const char* arcName;
    int level, naming;
  } cases[] = {
      {"12", "0", 6, 1},         {"0", "4", 6, 1}, {"-3", "7", 6, 1},
      {"$FFFFFFFF", "-1", 6, 1}, {"2", "2", 2, 2}, {"9abc", "", 6, 1},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(std::string(row.arcRate) + " " + row.arcName);
    makeFormFrom(std::string("[Option]\r\nArcRate=") + row.arcRate + "\r\nArcName=" + row.arcName +
                 "\r\n");
    EXPECT_EQ(form->FArcRate, row.level);
    EXPECT_EQ(checkedLevel()->Tag, row.level);
    EXPECT_EQ(form->FArcName, row.naming);
    EXPECT_EQ(checkedNaming()->Tag, row.naming);
    EXPECT_EQ(form->ReadArchiveOptions().ArcRate, row.level);
    form->Close();
    std::string written = readFile(iniPath);
    EXPECT_NE(written.find("ArcRate=" + std::to_string(row.level) + "\r\n"), std::string::npos)
        << written;
    EXPECT_NE(written.find("ArcName=" + std::to_string(row.naming) + "\r\n"), std::string::npos)
        << written;
  }
}

TEST_F(SettingsFormTest, ClosingWritesTheSixKeysAndKeepsTheRest) {
  makeFormFrom("[Before]\r\nkey=kept\r\n[Option]\r\nOther=kept too\r\n");
  SendMessageA(form->OutDirCheck.Handle(), BM_CLICK, 0, 0);
  const std::string folder = "C:\\ソフト\\表\\";  // both end in the byte of "\"
  SetWindowTextA(form->OutDirEdit.Handle(), folder.c_str());
  choose(form->R9);
  choose(form->NoDialog);
  choose(form->ArcName_UnderBar);
  closeByCloseBox();
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));

  const std::string written = readFile(iniPath);
  size_t at = 0;
  const std::vector<std::string> lines = {"[Before]\r\nkey=kept\r\n",
                                          "[Option]\r\nOther=kept too\r\n",
                                          "OutDirCheck=1\r\n",
                                          "OutDirEdit=" + folder + "\r\n",
                                          "ArcRate=9\r\n",
                                          "NoDialog=1\r\n",
                                          "ArcName=3\r\n",
                                          "InputSubDir=0\r\n"};
  for (const std::string& expected : lines) {
    size_t found = written.find(expected, at);
    EXPECT_NE(found, std::string::npos) << expected << " in order in\n" << written;
    if (found != std::string::npos) at = found + expected.size();
  }

  makeForm();
  EXPECT_TRUE(form->OutDirCheck.Checked());
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), folder) << "byte for byte";
  EXPECT_EQ(form->FArcRate, 9);
  EXPECT_TRUE(form->NoDialog.Checked());
  EXPECT_EQ(checkedNaming(), &form->ArcName_UnderBar);
}

TEST_F(SettingsFormTest, FolderTextIsKeptWhileTheBoxIsClear) {
  makeFormFrom("[Option]\r\nOutDirCheck=0\r\nOutDirEdit=D:\\Out\\\r\n");
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), "D:\\Out\\");
  EXPECT_FALSE(IsWindowEnabled(form->OutDirEdit.Handle()));
  form->Close();
  EXPECT_NE(readFile(iniPath).find("OutDirEdit=D:\\Out\\\r\n"), std::string::npos);
}

TEST_F(SettingsFormTest, AFailedWriteIsReportedAndTheWindowStillCloses) {
  ASSERT_TRUE(CreateDirectoryA(iniPath.c_str(), nullptr));  // no file can be written there
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    boxes.clear();
    closeByCloseBox();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, iniPath + " に書き込めません.");
    EXPECT_EQ(boxes[0].caption, "Selvat Archiver");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
  }
  TCloseAction action = caHide;
  form->FormClose(form.get(), action);
  EXPECT_EQ(action, caHide);

  boxes.clear();
  makeForm();  // nothing to read there: the defaults, without a word
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(form->FArcRate, 6);
}

TEST_F(SettingsFormTest, ALongFolderIsCutTo2047Bytes) {
  const std::string folder = "C:\\" + std::string(3000, 'x') + "\\";
  makeFormFrom("[Option]\r\nOutDirEdit=" + folder + "\r\n");
  EXPECT_EQ(windowText(form->OutDirEdit.Handle()), folder.substr(0, 2047));
  form->Close();
  EXPECT_NE(readFile(iniPath).find("OutDirEdit=" + folder.substr(0, 2047) + "\r\n"),
            std::string::npos);
}

TEST_F(SettingsFormTest, NothingIsWrittenAfterAFailedBinding) {
  form->FDllError = kZip32jMissing;
  form->Close();
  EXPECT_EQ(GetFileAttributesA(iniPath.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::string stored = "[Option]\r\nArcRate=3\r\n";
  makeFormFrom(stored);
  form->FDllError = kEntryPointMissing;
  choose(form->R9);
  form->Close();
  EXPECT_EQ(readFile(iniPath), stored);
}
}  // namespace

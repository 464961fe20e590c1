#pragma once
// The main form bound to the stand-in archiver libraries that the binding
// tests build, with a scratch folder of input files beside the test exe and
// the log of the command lines the stand-in was given.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "forms/folder_browser.h"
#include "tests/win/support/form_fixture.h"

inline std::string windowText(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
  return text;
}

// The state of a menu item in the system menu itself.
inline UINT menuState(const TMenuItem& item) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  GetMenuItemInfoA(item.ParentMenu(), static_cast<UINT>(item.Position()), TRUE, &info);
  return info.fState;
}
inline bool shownChecked(const TMenuItem& item) {
  return menuState(item) & MFS_CHECKED;
}
inline bool shownEnabled(const TMenuItem& item) {
  return !(menuState(item) & MFS_DISABLED);
}

class BoundFormTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    std::filesystem::remove_all(std::filesystem::u8path(exeFolder() + "scratch"));
    ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr));
    DeleteFileA(logPath.c_str());
    SetEnvironmentVariableA("SELVAT_FAKE_ZIP_LOG", logPath.c_str());
    SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", "0");
    bindTo("both");
    setFolderBrowserStandIn([this](const std::string& title) {
      browserTitles.push_back(title);
      return browserAnswer;
    });
  }
  void TearDown() override {
    setFolderBrowserStandIn(nullptr);
    SetEnvironmentVariableA("SELVAT_FAKE_ZIP_LOG", nullptr);
    SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", nullptr);
    SetEnvironmentVariableA("SELVAT_FAKE_ZIP_MESSAGE", nullptr);
    FormTest::TearDown();
    std::filesystem::remove_all(std::filesystem::u8path(exeFolder() + "scratch"));
    DeleteFileA(logPath.c_str());
  }

  // A new form bound to the stand-ins of one folder of the binding tests.
  void bindTo(const std::string& folder) {
    makeForm();
    SetDllDirectoryA((exeFolder() + "..\\binding\\" + folder).c_str());
    const int error = form->Dll.Load();
    SetDllDirectoryA(nullptr);
    ASSERT_EQ(error, 0) << folder;
  }

  // An empty file in the scratch folder (the name is Shift-JIS); its path.
  std::string makeFile(const std::string& name) {
    std::string path = scratch + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
    return path;
  }
  std::string makeInput(const std::string& name) {
    std::string path = makeFile(name);
    form->AddInputFile(path);
    return path;
  }

  // Every command line the stand-in archiver was given, in order.
  std::vector<std::string> commandLines() const {
    std::ifstream log(logPath, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
  }

  std::vector<std::string> inputItems() {
    std::vector<std::string> items;
    for (int i = 0; i < form->InputList.Count(); ++i) items.push_back(form->InputList.Item(i));
    return items;
  }
  std::vector<std::string> errorLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < form->ErrorList.Count(); ++i) lines.push_back(form->ErrorList.Item(i));
    return lines;
  }

  // Start, as a click on the button does it.
  void clickStart() { SendMessageA(form->ArcStartButton.Handle(), BM_CLICK, 0, 0); }
  void clickCheckBox() { SendMessageA(form->OutDirCheck.Handle(), BM_CLICK, 0, 0); }
  bool boxShownChecked() {
    return SendMessageA(form->OutDirCheck.Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  const std::string scratch = exeFolder() + "scratch\\";
  const std::string logPath = exeFolder() + "fake_zip.log";
  std::string browserAnswer;
  std::vector<std::string> browserTitles;
};

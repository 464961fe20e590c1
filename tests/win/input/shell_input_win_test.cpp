// The shell's hand-overs: a drop handle read whole, and the folder browser
// driven from a second thread as a user would answer it.
#include <gtest/gtest.h>
#include <windows.h>
// DROPFILES; after windows.h.
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "input/shell_input.h"

namespace {

// A drop handle as the shell makes it: DROPFILES, then the ANSI paths, each
// ended by a zero, and one more zero.
HDROP makeDrop(const std::vector<std::string>& paths) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& path : paths) size += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = FALSE;
  char* at = reinterpret_cast<char*>(files) + sizeof(DROPFILES);
  for (const std::string& path : paths) {
    std::memcpy(at, path.data(), path.size());
    at += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(DroppedFiles, ReadsEveryPathWholeAndFreesTheHandle) {
  const std::vector<std::string> paths = {
      "C:\\Data\\a.txt", "C:\\" + std::string(300, 'l') + "\\long.txt", "C:\\表\\ソフト.txt"};
  HDROP drop = makeDrop(paths);
  {
    DroppedFiles dropped(drop);
    ASSERT_EQ(dropped.count(), paths.size());
    for (UINT i = 0; i < dropped.count(); ++i) EXPECT_EQ(dropped.path(i), paths[i]);
  }
  EXPECT_EQ(GlobalFlags(drop), GMEM_INVALID_HANDLE) << "DragFinish released the handle";
}

struct FoundDialog {
  DWORD thread;
  HWND dialog = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  reinterpret_cast<FoundDialog*>(found)->dialog = window;
  return FALSE;
}

BOOL CALLBACK findText(HWND child, LPARAM text) {
  char buffer[256] = {};
  GetWindowTextA(child, buffer, sizeof buffer);
  if (std::strcmp(buffer, reinterpret_cast<const char*>(text)) != 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;  // found
}

// Waits on another thread for the browser of the calling thread, checks
// its owner and title, and presses the button.
class BrowserAnswer {
 public:
  BrowserAnswer(HWND owner, const char* title, int button)
      : thread_(GetCurrentThreadId()), helper_([=] { answer(owner, title, button); }) {}
  ~BrowserAnswer() { helper_.join(); }
  BrowserAnswer(const BrowserAnswer&) = delete;
  BrowserAnswer& operator=(const BrowserAnswer&) = delete;

  bool sawOwner() const { return sawOwner_; }
  bool sawTitle() const { return sawTitle_; }

 private:
  void answer(HWND owner, const char* title, int button) {
    FoundDialog found{thread_};
    for (int i = 0; i < 200 && !found.dialog; ++i) {
      Sleep(25);
      EnumThreadWindows(thread_, findDialog, reinterpret_cast<LPARAM>(&found));
    }
    if (!found.dialog) return;
    sawOwner_ = GetWindow(found.dialog, GW_OWNER) == owner;
    sawTitle_ = !EnumChildWindows(found.dialog, findText, reinterpret_cast<LPARAM>(title));
    Sleep(200);  // let the tree fill
    PostMessageA(found.dialog, WM_COMMAND, button, 0);
  }

  DWORD thread_;
  std::atomic<bool> sawOwner_{false}, sawTitle_{false};
  std::thread helper_;
};

class FolderBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override { DestroyWindow(owner); }
  HWND owner = nullptr;
};

TEST_F(FolderBrowser, CancelGivesEmptyText) {
  std::string chosen;
  {
    BrowserAnswer answer(owner, "ディレクトリ選択", IDCANCEL);
    chosen = chooseFolder(owner, "ディレクトリ選択");
    EXPECT_EQ(chosen, "");
  }
}

TEST_F(FolderBrowser, ConfirmingGivesTheDesktopFolderUnderTheOwnerAndTitle) {
  std::string chosen;
  bool sawOwner = false, sawTitle = false;
  {
    BrowserAnswer answer(owner, "出力ディレクトリ", IDOK);
    chosen = chooseFolder(owner, "出力ディレクトリ");
    Sleep(50);
    sawOwner = answer.sawOwner();
    sawTitle = answer.sawTitle();
  }
  EXPECT_TRUE(sawOwner);
  EXPECT_TRUE(sawTitle);
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  EXPECT_EQ(chosen, desktop) << "the tree starts at the desktop, which is selected";
}

}  // namespace

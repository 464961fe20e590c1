#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

// Finds the file-open dialog, should one come up on this thread, and
// cancels it, so that a fault shows as a failure instead of a hang.
class DialogWatch {
 public:
  DialogWatch() : thread_(GetCurrentThreadId()), watcher_([this] { watch(); }) {}
  ~DialogWatch() {
    done_ = true;
    watcher_.join();
  }
  bool seen() const { return seen_; }

 private:
  static BOOL CALLBACK cancelDialog(HWND window, LPARAM self) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
      reinterpret_cast<DialogWatch*>(self)->seen_ = true;
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
  }
  void watch() {
    while (!done_) {
      EnumThreadWindows(thread_, cancelDialog, reinterpret_cast<LPARAM>(this));
      Sleep(50);
    }
  }
  DWORD thread_;
  std::atomic<bool> done_{false}, seen_{false};
  std::thread watcher_;
};

#pragma once
// Disables every enabled, visible top-level window of this thread for as
// long as it lives, so that a box or dialog is modal over the whole program.
#include <windows.h>

#include <vector>

class TaskWindowsDisabled {
 public:
  TaskWindowsDisabled();
  ~TaskWindowsDisabled();
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK collect(HWND window, LPARAM self) noexcept;
  std::vector<HWND> disabled_;
};

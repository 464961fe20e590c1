#include "forms/modal.h"

TaskWindowsDisabled::TaskWindowsDisabled() {
  EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(this));
}

TaskWindowsDisabled::~TaskWindowsDisabled() {
  for (HWND window : disabled_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

BOOL CALLBACK TaskWindowsDisabled::collect(HWND window, LPARAM self) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    reinterpret_cast<TaskWindowsDisabled*>(self)->disabled_.push_back(window);
  }
  return TRUE;
}

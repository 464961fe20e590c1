#include "forms/modal.h"

TaskWindowsDisabled::TaskWindowsDisabled() {
  EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(this));
}

TaskWindowsDisabled::~TaskWindowsDisabled() {
  for (HWND window : disabled_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

// A window is disabled only once it is on the list that enables it again;
// when memory for the list runs out, the rest stay as they are.
BOOL CALLBACK TaskWindowsDisabled::collect(HWND window, LPARAM self) noexcept {
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  try {
    reinterpret_cast<TaskWindowsDisabled*>(self)->disabled_.push_back(window);
  } catch (...) {
    return FALSE;
  }
  EnableWindow(window, FALSE);
  return TRUE;
}

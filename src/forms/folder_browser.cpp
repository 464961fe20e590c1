#include "forms/folder_browser.h"

#include <shlobj.h>

#include <algorithm>

#include "forms/modal.h"
#include "os/file_system.h"

namespace {
std::function<std::string(const std::string&)>& standIn() {
  static std::function<std::string(const std::string&)> instance;
  return instance;
}
// The browser opens where the user looks: over the window that opened it
// (its owner is the hidden application window, which the system would centre on).
int CALLBACK centreOverWindow(HWND browser, UINT message, LPARAM, LPARAM data) noexcept {
  HWND over = reinterpret_cast<HWND>(data);
  if (message != BFFM_INITIALIZED || !over || !IsWindowVisible(over)) return 0;
  RECT area, self;
  GetWindowRect(over, &area);
  GetWindowRect(browser, &self);
  RECT screen;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  const LONG width = self.right - self.left, height = self.bottom - self.top;
  LONG left = (area.left + area.right - width) / 2, top = (area.top + area.bottom - height) / 2;
  left = std::max(screen.left, std::min(left, screen.right - width));
  top = std::max(screen.top, std::min(top, screen.bottom - height));
  SetWindowPos(browser, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}
}  // namespace

void setFolderBrowserStandIn(std::function<std::string(const std::string&)> answer) {
  standIn() = std::move(answer);
}

std::string browseForFolder(HWND owner, const std::string& title, HWND over) {
  if (standIn()) return standIn()(title);
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return {};
  char path[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = path;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = centreOverWindow;
  browse.lParam = reinterpret_cast<LPARAM>(over);
  LPITEMIDLIST item;
  {
    TaskWindowsDisabled modal;  // modal over the whole program, as a box is
    item = SHBrowseForFolderA(&browse);
  }
  std::string result;
  if (item) {
    wchar_t chosen[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, chosen)) result = utf8Of(chosen);  // no path: nothing chosen
    allocator->Free(item);
  }
  allocator->Release();
  return result;
}

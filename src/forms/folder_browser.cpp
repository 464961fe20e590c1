#include "forms/folder_browser.h"

#include <shlobj.h>

#include "forms/modal.h"

namespace {
std::function<std::string(const std::string&)>& standIn() {
  static std::function<std::string(const std::string&)> instance;
  return instance;
}
}  // namespace

void setFolderBrowserStandIn(std::function<std::string(const std::string&)> answer) {
  standIn() = std::move(answer);
}

std::string browseForFolder(HWND owner, const std::string& title) {
  if (standIn()) return standIn()(title);
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return {};
  char path[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = path;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST item;
  {
    TaskWindowsDisabled modal;  // modal over the whole program, as a box is
    item = SHBrowseForFolderA(&browse);
  }
  std::string result;
  if (item) {
    if (SHGetPathFromIDListA(item, path)) result = path;  // no path: nothing chosen
    allocator->Free(item);
  }
  allocator->Release();
  return result;
}

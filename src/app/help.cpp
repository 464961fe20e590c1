#include "app/help.h"

#include <shellapi.h>

#include "app/boxes.h"
#include "forms/application.h"
#include "forms/form.h"
#include "os/file_system.h"

namespace {

std::function<bool(const std::wstring&)>& openerStandIn() {
  static std::function<bool(const std::wstring&)> standIn;
  return standIn;
}

// In UTF-16: the folder may hold names that the code page cannot spell.
std::wstring programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring windowsFolder() {
  std::wstring folder(GetWindowsDirectoryW(nullptr, 0), L'\0');
  folder.resize(GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size())));
  return folder.empty() || folder.back() == L'\\' ? folder : folder + L"\\";
}

bool isFile(const std::wstring& path) {
  return existsAsFile(GetFileAttributesW(path.c_str()));
}

// The system shows no box of its own: where it cannot, ours says so.
bool openDocument(const std::wstring& path, const std::wstring& folder) {
  if (!isFile(path)) return false;
  if (openerStandIn()) return openerStandIn()(path);
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_FLAG_NO_UI;
  open.hwnd = Application->MainForm() ? Application->MainForm()->Handle() : nullptr;
  open.lpVerb = L"open";
  open.lpFile = path.c_str();
  open.lpDirectory = folder.c_str();
  open.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&open) != FALSE;
}

}  // namespace

bool answerHelpRequest() {
  const std::wstring folder = programFolder();
  const std::wstring helpFile = folder + wideOfCodePage(Application->HelpFile);
  if (isFile(helpFile) && isFile(windowsFolder() + L"winhlp32.exe")) return false;
  if (openDocument(folder + L"readme.txt", folder)) return true;
  showWarning("ヘルプを表示できません。\nヘルプファイル " + Application->HelpFile +
              " も、プログラムのフォルダの readme.txt も開けませんでした。");
  return true;
}

void setDocumentOpenerStandIn(std::function<bool(const std::wstring& path)> standIn) {
  openerStandIn() = std::move(standIn);
}

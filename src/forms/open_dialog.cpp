#include "forms/open_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include "archive/path_rules.h"
#include "os/file_system.h"

namespace {
// A selection of thousands of files fits; a larger one is reported.
constexpr size_t kSelectionChars = 1 << 19;

std::string filterForDialog(const std::string& filter) {
  std::string result = filter;
  for (size_t i = 0; i < result.size(); ++i)
    if (result[i] == '|' && !isTrailByte(result, i)) result[i] = '\0';
  result.append(2, '\0');
  return result;
}

// The selection up to the empty name that ends it, its zeros kept.
std::vector<char> utf8Selection(const std::vector<wchar_t>& buffer) {
  size_t end = 0;
  while (end + 1 < buffer.size() && (buffer[end] != L'\0' || buffer[end + 1] != L'\0')) ++end;
  std::string utf8 = utf8Of(std::wstring_view(buffer.data(), end + 1));
  std::vector<char> selection(utf8.begin(), utf8.end());
  selection.push_back('\0');
  return selection;
}
}  // namespace

TOpenDialog::Result TOpenDialog::Execute(HWND owner) {
  files_.clear();
  // In UTF-16: the code page's form of a name may name nothing or another file.
  std::vector<wchar_t> buffer(kSelectionChars, L'\0');
  std::wstring filter = wideOfCodePage(filterForDialog(Filter));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = Options | OFN_EXPLORER;
  if (GetOpenFileNameW(&dialog)) {
    files_ = SplitSelection(utf8Selection(buffer));
    return Result::Chosen;
  }
  return CommDlgExtendedError() == FNERR_BUFFERTOOSMALL ? Result::TooManyFiles : Result::Cancelled;
}

std::vector<std::string> TOpenDialog::SplitSelection(const std::vector<char>& buffer) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < buffer.size() && buffer[at] != '\0') {
    std::string part(&buffer[at]);
    at += part.size() + 1;
    parts.push_back(std::move(part));
  }
  if (parts.size() <= 1) return parts;  // one file: its full path
  const std::string folder = withPathDelimiter(parts.front());
  std::vector<std::string> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

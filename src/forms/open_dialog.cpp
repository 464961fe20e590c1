#include "forms/open_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include "archive/path_rules.h"

namespace {
// A selection of thousands of files fits; a larger one is reported.
constexpr size_t kSelectionBytes = 1 << 20;

std::string filterForDialog(const std::string& filter) {
  std::string result = filter;
  for (size_t i = 0; i < result.size(); ++i)
    if (result[i] == '|' && !isTrailByte(result, i)) result[i] = '\0';
  result.append(2, '\0');
  return result;
}
}  // namespace

TOpenDialog::Result TOpenDialog::Execute(HWND owner) {
  files_.clear();
  std::vector<char> buffer(kSelectionBytes, '\0');
  std::string filter = filterForDialog(Filter);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = Options | OFN_EXPLORER;
  if (GetOpenFileNameA(&dialog)) {
    files_ = SplitSelection(buffer);
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
  std::string folder = parts.front();
  if (!endsWithPathDelimiter(folder)) folder += '\\';
  std::vector<std::string> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

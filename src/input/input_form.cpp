// The input list's operations and handlers.
#include <windows.h>
#include <shellapi.h>

#include "app/selvat_main.h"

void TSelvatForm::AddInputFile(const std::string& Path) {
  if (SendMessageA(InputList.Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(Path.c_str())) == LB_ERR)
    InputList.Add(Path);
}

void TSelvatForm::AddInputDirectory(const std::string&) {}

std::string TSelvatForm::ExpandLongPath(const std::string& Path) { return Path; }

std::string TSelvatForm::BrowseForFolder(const std::string&) { return {}; }

void TSelvatForm::WMDropFiles(TMessage& Message) {
  auto drop = reinterpret_cast<HDROP>(Message.WParam);
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (GetFileAttributesA(path.c_str()) == FILE_ATTRIBUTE_DIRECTORY)
      AddInputDirectory(path);
    else
      AddInputFile(path);
  }
  DragFinish(drop);
}

void TSelvatForm::AddCommandLineArguments() {}

void TSelvatForm::FileSelectClick(TObject*) {}

void TSelvatForm::FileCancelClick(TObject*) {}

void TSelvatForm::DirSelectClick(TObject*) {}

void TSelvatForm::ListClearClick(TObject*) {}

// The input list's operations and handlers. While a batch run is under way
// the lists are the run's: every handler that would change them does
// nothing then.
#include <windows.h>

#include <shellapi.h>

#include "app/selvat_main.h"
#include "forms/application.h"
#include "forms/folder_browser.h"
#include "input/command_line.h"
#include "input/folder_walk.h"
#include "input/long_path.h"
#include "os/file_system.h"
#include "os/key_state.h"

namespace {
// Redraw off while a listing fills the list, on again however it ends.
class BulkUpdate {
 public:
  explicit BulkUpdate(TListBox& list) : list_(list) { list_.BeginUpdate(); }
  ~BulkUpdate() { list_.EndUpdate(); }
  BulkUpdate(const BulkUpdate&) = delete;
  BulkUpdate& operator=(const BulkUpdate&) = delete;

 private:
  TListBox& list_;
};

std::string droppedPath(HDROP drop, UINT index) {
  std::string path(DragQueryFileA(drop, index, nullptr, 0) + 1, '\0');
  path.resize(DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size())));
  return path;
}
}  // namespace

void TSelvatForm::AddInputFile(const std::string& Path) {
  if (!FInputIndex.insert(Path)) return;
  try {
    InputList.Add(Path);
  } catch (...) {
    FInputIndex.erase(Path);
    throw;
  }
}

void TSelvatForm::DeleteInput(int Index) {
  FInputIndex.erase(InputList.Item(Index));
  InputList.Delete(Index);
}

void TSelvatForm::AddInputDirectory(const std::string& Path) {
  BulkUpdate bulk(InputList);
  listFolder(Path, InputSubDir.Checked(), systemFileSystem(), systemKeyState(),
             [this](const std::string& file) { AddInputFile(file); });
}

std::string TSelvatForm::ExpandLongPath(const std::string& Path) {
  return ::ExpandLongPath(Path, systemFileSystem());
}

std::string TSelvatForm::BrowseForFolder(const std::string& Title) {
  return browseForFolder(Application->Handle(), Title, Handle());
}

void TSelvatForm::WMDropFiles(TMessage& Message) {
  auto drop = reinterpret_cast<HDROP>(Message.WParam);
  struct Release {
    HDROP drop;
    ~Release() { DragFinish(drop); }
  } release{drop};
  if (RunInProgress()) return;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string path = droppedPath(drop, i);
    if (countsAsFolder(GetFileAttributesA(path.c_str())))
      AddInputDirectory(path);
    else
      AddInputFile(path);
  }
}

void TSelvatForm::AddCommandLineArguments() {
  addCommandLineArguments(
      GetCommandLineA(), systemFileSystem(),
      [this](const std::string& file) { AddInputFile(file); },
      [this](const std::string& folder) { AddInputDirectory(folder); });
}

void TSelvatForm::FileSelectClick(TObject*) {
  if (RunInProgress()) return;
  switch (OpenDialog1.Execute(Handle())) {
    case TOpenDialog::Result::Chosen:
      for (const std::string& file : OpenDialog1.Files()) AddInputFile(file);
      break;
    case TOpenDialog::Result::TooManyFiles:
      Application->MessageBox(
          "選択されたファイルが多すぎます。\n一度に選ぶファイルを減らしてください。", "警告",
          MB_OK | MB_ICONWARNING);
      break;
    case TOpenDialog::Result::Cancelled:
      break;
  }
}

void TSelvatForm::FileCancelClick(TObject*) {
  if (RunInProgress()) return;
  const int index = InputList.ItemIndex();
  if (index == -1) return;
  DeleteInput(index);
  if (InputList.ItemIndex() != index) InputList.SetItemIndex(index);
}

void TSelvatForm::DirSelectClick(TObject*) {
  if (RunInProgress()) return;
  std::string folder = BrowseForFolder("ディレクトリ選択");
  if (!folder.empty()) AddInputDirectory(folder);
}

void TSelvatForm::ListClearClick(TObject*) {
  if (RunInProgress()) return;
  if (Application->MessageBox("ファイルリストをクリアしますか？", "確認",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  InputList.Clear();
  FInputIndex.clear();
  ClearErrorLines();
}

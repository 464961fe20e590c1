// The input list's operations and handlers. While a batch run is under way
// the lists are the run's: every handler that would change them does
// nothing then.
#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "app/boxes.h"
#include "app/selvat_main.h"
#include "forms/application.h"
#include "forms/folder_browser.h"
#include "input/command_line.h"
#include "input/folder_walk.h"
#include "input/long_path.h"
#include "input/spelled_path.h"
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

// In UTF-16: the code page's form of a name may name nothing or another file.
std::string droppedPath(HDROP drop, UINT index) {
  std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
  path.resize(DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
  return utf8Of(path);
}

// The code-page path of a UTF-8 path, or nothing once the form has listed
// the item as refused.
std::optional<std::string> reachOrRefuse(TSelvatForm& form, const std::string& utf8Path) {
  SpelledPath spelled = spellPath(utf8Path, systemFileSystem());
  if (spelled.refusal.empty()) return spelled.item;
  form.RefuseInput(spelled.item, spelled.refusal);
  return std::nullopt;
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
  listFolder(
      Path, InputSubDir.Checked(), systemFileSystem(), systemKeyState(),
      [this](const std::string& file) { AddInputFile(file); },
      [this](const std::string& item, const std::string& reason) { RefuseInput(item, reason); });
}

std::string TSelvatForm::ExpandLongPath(const std::string& Path) {
  return ::ExpandLongPath(Path, systemFileSystem());
}

// A folder that no code-page path reaches is no choice: the box says why.
std::string TSelvatForm::BrowseForFolder(const std::string& Title) {
  std::string chosen = browseForFolder(Application->Handle(), Title, Handle());
  if (chosen.empty()) return {};
  SpelledPath spelled = spellPath(chosen, systemFileSystem());
  if (spelled.refusal.empty()) return spelled.item;
  showWarning(spelled.item + "\n" + spelled.refusal);
  return {};
}

void TSelvatForm::WMDropFiles(TMessage& Message) {
  auto drop = reinterpret_cast<HDROP>(Message.WParam);
  struct Release {
    HDROP drop;
    ~Release() { DragFinish(drop); }
  } release{drop};
  if (RunInProgress()) return;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::optional<std::string> path = reachOrRefuse(*this, droppedPath(drop, i));
    if (!path) continue;
    if (countsAsFolder(GetFileAttributesA(path->c_str())))
      AddInputDirectory(*path);
    else
      AddInputFile(*path);
  }
}

void TSelvatForm::AddCommandLineArguments() {
  addCommandLineArguments(
      utf8Of(GetCommandLineW()), systemFileSystem(),
      [this](const std::string& file) { AddInputFile(file); },
      [this](const std::string& folder) { AddInputDirectory(folder); },
      [this](const std::string& item, const std::string& reason) { RefuseInput(item, reason); });
}

void TSelvatForm::FileSelectClick(TObject*) {
  if (RunInProgress()) return;
  switch (OpenDialog1.Execute(Handle())) {
    case TOpenDialog::Result::Chosen:
      for (const std::string& file : OpenDialog1.Files())
        if (std::optional<std::string> path = reachOrRefuse(*this, file)) AddInputFile(*path);
      break;
    case TOpenDialog::Result::TooManyFiles:
      showWarning("選択されたファイルが多すぎます。\n一度に選ぶファイルを減らしてください。");
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
  if (!confirm("ファイルリストをクリアしますか？")) return;
  InputList.Clear();
  FInputIndex.clear();
  ClearErrorLines();
}

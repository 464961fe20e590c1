// The option handlers: they keep the menu items and the output-folder
// controls in step with the check box and with the form's two fields.
#include "app/selvat_main.h"
#include "archive/path_rules.h"

void TSelvatForm::Option1Click(TObject*) {
  OutDir.SetChecked(OutDirCheck.Checked());
  OutDirSelect.SetEnabled(OutDirCheck.Checked());
}

void TSelvatForm::OutDirClick(TObject*) {
  OutDir.SetChecked(!OutDir.Checked());
  OutDirCheck.SetChecked(OutDir.Checked());
}

void TSelvatForm::OutDirCheckClick(TObject*) {
  const bool checked = OutDirCheck.Checked();
  OutDirEdit.SetEnabled(checked);
  OutDirEdit.SetColor(checked ? clWindow : clBtnFace);
  OutDirButton.SetEnabled(checked);
}

void TSelvatForm::OutDirButtonClick(TObject*) {
  std::string path = BrowseForFolder("出力ディレクトリ選択");
  if (path.empty()) return;
  OutDirEdit.SetText(withPathDelimiter(path));
}

void TSelvatForm::R9Click(TObject* Sender) {
  auto* item = static_cast<TMenuItem*>(Sender);
  item->SetChecked(true);
  FArcRate = item->Tag;
}

void TSelvatForm::ArcName_FileClick(TObject* Sender) {
  auto* item = static_cast<TMenuItem*>(Sender);
  item->SetChecked(true);
  FArcName = item->Tag;
}

void TSelvatForm::NoDialogClick(TObject* Sender) {
  auto* item = static_cast<TMenuItem*>(Sender);
  item->SetChecked(!item->Checked());
}

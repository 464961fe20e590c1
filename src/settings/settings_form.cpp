// The options restored when the window is made and saved when it closes.
#include "app/selvat_main.h"
#include "forms/application.h"
#include "os/profile.h"
#include "settings/module_path.h"
#include "settings/settings_file.h"

namespace {
PrivateProfileFile settingsFile() {
  return PrivateProfileFile(settingsFilePath(modulePath()));
}
}  // namespace

void TSelvatForm::FormCreate(TObject*) {
  const StoredOptions stored = readSettings(settingsFile());
  OutDirCheck.SetChecked(stored.OutDirCheck);  // a true runs OutDirCheckClick
  OutDirEdit.SetText(stored.OutDirEdit);
  FArcRate = levelItemTag(stored.ArcRate);
  NoDialog.SetChecked(stored.NoDialog);
  FArcName = namingItemTag(stored.ArcName);
  InputSubDir.SetChecked(stored.InputSubDir);
  LevelItem(FArcRate).SetChecked(true);
  NamingItem(FArcName).SetChecked(true);
}

// A file that cannot be written is reported, and the window closes all the
// same: keeping it open would only fail again at every try.
void TSelvatForm::FormClose(TObject*, TCloseAction&) {
  if (FDllError != 0) return;
  PrivateProfileFile file = settingsFile();
  try {
    writeSettings(file, {OutDirCheck.Checked(), OutDirEdit.Text(), FArcRate, NoDialog.Checked(),
                         FArcName, InputSubDir.Checked()});
  } catch (const SettingsWriteError& error) {
    Application->ShowException(error.what());
  }
}

TMenuItem& TSelvatForm::LevelItem(int level) {
  TMenuItem* items[] = {&R1, &R2, &R3, &R4, &R5, &R6, &R7, &R8, &R9};
  return *items[levelItemTag(level) - 1];
}

TMenuItem& TSelvatForm::NamingItem(int naming) {
  TMenuItem* items[] = {&ArcName_File, &ArcName_Period, &ArcName_UnderBar};
  return *items[namingItemTag(naming) - 1];
}

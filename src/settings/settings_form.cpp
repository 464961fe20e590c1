// The options restored when the window is made and saved when it closes.
#include "app/selvat_main.h"

void TSelvatForm::FormCreate(TObject*) {
  FArcRate = 6;
  R6.SetChecked(true);
  FArcName = 1;
  ArcName_File.SetChecked(true);
}

void TSelvatForm::FormClose(TObject*, TCloseAction&) {
  if (FDllError != 0) return;
}

// The batch run, as the main window drives it.
#include "app/selvat_main.h"

void TSelvatForm::ArcStartButtonClick(TObject*) {}

// The binding's boxes: what failed, and the libraries' versions.
#include "app/boxes.h"
#include "app/selvat_main.h"
#include "archiver/library_texts.h"
#include "forms/application.h"

void TSelvatForm::ShowLibraryError() {
  showWarning(libraryErrorText(FDllError));
}

void TSelvatForm::AboutDLLClick(TObject*) {
  Application->MessageBox(libraryVersionText(Dll.GetVersion(), Dll.GetZip32Version()), "DLL情報",
                          MB_OK | MB_ICONINFORMATION);
}

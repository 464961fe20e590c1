// The binding's boxes: what failed, and the libraries' versions.
#include "app/selvat_main.h"
#include "archiver/library_texts.h"
#include "forms/application.h"

void TSelvatForm::ShowLibraryError() {
  Application->MessageBox(libraryErrorText(FDllError), "警告", MB_OK | MB_ICONWARNING);
}

void TSelvatForm::AboutDLLClick(TObject*) {
  Application->MessageBox(libraryVersionText(Dll.GetVersion(), Dll.GetZip32Version()), "DLL情報",
                          MB_OK | MB_ICONINFORMATION);
}

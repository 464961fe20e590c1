#include <windows.h>

#include "app/selvat_main.h"
#include "forms/application.h"
#include "os/dll_search.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  keepCurrentDirectoryOutOfDllSearch();
  try {
    Application->Initialize();
    Application->Title = "Selvat Archiver";
    Application->HelpFile = "selvat.hlp";
    Application->CreateForm(SelvatForm);
    Application->Run(showCommand);
  } catch (...) {
    Application->HandleException();
  }
  return 0;
}

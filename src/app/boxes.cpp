#include "app/boxes.h"

#include "forms/application.h"

void showWarning(const std::string& text) {
  Application->MessageBox(text, "警告", MB_OK | MB_ICONWARNING);
}

bool confirm(const std::string& text) {
  return Application->MessageBox(text, "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

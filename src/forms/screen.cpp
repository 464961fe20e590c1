#include "forms/screen.h"

namespace {
TScreen theScreen;
}
TScreen* Screen = &theScreen;

void TScreen::SetCursor(int cursor) {
  cursor_ = cursor;
  ApplyCursor();
}

void TScreen::ApplyCursor() const {
  const char* shape = cursor_ == crHourGlass ? IDC_WAIT : IDC_ARROW;
  ::SetCursor(LoadCursor(nullptr, shape));
}

#pragma once
// The screen cursor: one cursor for every window of the program while it
// is not crDefault (the batch run shows the hourglass this way).
#include <windows.h>

constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

class TScreen {
 public:
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor);
  void ApplyCursor() const;  // shows the cursor that applies now

 private:
  int cursor_ = crDefault;
};

extern TScreen* Screen;

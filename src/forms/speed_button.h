#pragma once
// A flat-faced button that shows a glyph, takes no focus and shows its hint
// in a tool tip.
#include <windows.h>

#include <string>

#include "forms/control.h"
#include "forms/glyph.h"

class TSpeedButton : public TWinControl {
 public:
  TSpeedButton(TWinControl* parent, std::string hint, TGlyph glyph);
  TNotifyEvent OnClick;
  void Click();

 protected:
  void CreateHandle(HWND parentWindow) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint();
  void setPressed(bool pressed);

  std::string hint_;
  TGlyph glyph_;
  bool pressed_ = false;
  Owned<HWND, destroyWindow> tooltip_;
};

#include "forms/speed_button.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {
const char kSpeedButtonClass[] = "TSpeedButton";
}

TSpeedButton::TSpeedButton(TWinControl* parent, std::string hint, TGlyph glyph)
    : TWinControl(parent), hint_(std::move(hint)), glyph_(std::move(glyph)) {}

void TSpeedButton::CreateHandle(HWND parentWindow) {
  RegisterOwnClass(kSpeedButtonClass, CS_HREDRAW | CS_VREDRAW);
  createWindow(kSpeedButtonClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parentWindow);
}

void TSpeedButton::HandleCreated() {
  tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 GetAncestor(Handle(), GA_ROOT), nullptr, GetModuleHandleA(nullptr),
                                 nullptr));
  if (!tooltip_) return;
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(Handle());
  tool.uId = reinterpret_cast<UINT_PTR>(Handle());
  tool.lpszText = hint_.data();
  SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TSpeedButton::Click() {
  if (Enabled() && OnClick) OnClick(this);
}

void TSpeedButton::setPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TSpeedButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(Handle());
      setPressed(true);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == Handle()) {
        RECT client;
        GetClientRect(Handle(), &client);
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        setPressed(PtInRect(&client, at) != FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == Handle()) {
        bool clicked = pressed_;
        ReleaseCapture();
        setPressed(false);
        if (clicked) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      setPressed(false);
      return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TSpeedButton::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT face;
  GetClientRect(Handle(), &face);
  FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &face, pressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  int shift = pressed_ ? 1 : 0;
  int x = (face.right - glyph_.ImageWidth()) / 2 + shift;
  int y = (face.bottom - glyph_.Height()) / 2 + shift;
  glyph_.Draw(dc, x, y, IsWindowEnabled(Handle()) != FALSE);
  EndPaint(Handle(), &ps);
}

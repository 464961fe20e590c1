#include "forms/control.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "forms/application.h"

namespace {
// Our object behind each of our windows, kept by the process itself: a
// window property would cost Wine a round trip to its server for every
// message routed (eight for every item of a batch run).
std::unordered_map<HWND, TWinControl*>& controlsByWindow() {
  static std::unordered_map<HWND, TWinControl*> controls;
  return controls;
}

bool attach(HWND window, TWinControl* control) noexcept {
  try {
    controlsByWindow()[window] = control;
    return true;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

void detach(HWND window) noexcept {
  controlsByWindow().erase(window);
}

int screenPixelsPerInch() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}
}  // namespace

TWinControl::TWinControl(TWinControl* parent) : parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

TWinControl::~TWinControl() {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (TWinControl* child : children_) child->parent_ = nullptr;
  if (handle_) {
    // Let the window go without calling back into a half-destroyed object.
    HWND window = handle_;
    detach(window);
    if (originalProc_ && originalProc_ != DefWindowProcA)
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    handle_ = nullptr;
    DestroyWindow(window);
  }
}

int TWinControl::Scale(int designed) {
  return MulDiv(designed, screenPixelsPerInch(), 96);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  auto found = controlsByWindow().find(window);
  return found == controlsByWindow().end() ? nullptr : found->second;
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_) parent_->Handle();  // makes the parent's tree, this included
    if (!handle_) createTree(parent_ ? parent_->handle_ : nullptr);
  }
  return handle_;
}

void TWinControl::createTree(HWND parentWindow) {
  CreateHandle(parentWindow);
  if (!handle_) throw systemError("ウィンドウを作成できません", GetLastError());
  applyFont();
  applyEnabled();
  HandleCreated();
  for (TWinControl* child : children_)
    if (!child->handle_) child->createTree(handle_);
  AlignChildren();
}

HWND TWinControl::createWindow(const char* className, const char* text, DWORD style, DWORD exStyle,
                               HWND parentWindow, HMENU menu) {
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (parentWindow || designed_.Width) {
    x = Scale(designed_.Left);
    y = Scale(designed_.Top);
  }
  HWND window =
      CreateWindowExA(exStyle, className, text, style, x, y, Scale(designed_.Width),
                      Scale(designed_.Height), parentWindow, menu, GetModuleHandleA(nullptr), this);
  if (!window) return nullptr;
  if (FromHandle(window)) {  // one of our classes: routed since WM_NCCREATE
    originalProc_ = DefWindowProcA;
    return window;
  }
  // A standard control: subclassed, or not kept at all.
  if (attach(window, this)) {
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RouteMessage)));
    if (originalProc_) {
      handle_ = window;
      return window;
    }
    detach(window);
  }
  const DWORD error = GetLastError();
  DestroyWindow(window);
  SetLastError(error);
  return nullptr;
}

bool registerWindowClass(const WNDCLASSEXA& windowClass) noexcept {
  return RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void TWinControl::RegisterOwnClass(const char* name, UINT style) {
  const HINSTANCE program = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(program, name, &windowClass)) return;
  windowClass.style = style;
  windowClass.lpfnWndProc = RouteMessage;
  windowClass.hInstance = program;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  windowClass.hIcon = LoadIconA(program, MAKEINTRESOURCEA(1));
  windowClass.hIconSm =
      static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
  if (!registerWindowClass(windowClass))
    throw systemError("ウィンドウクラスを登録できません", GetLastError());
}

LRESULT CALLBACK TWinControl::RouteMessage(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
  TWinControl* control = FromHandle(window);
  if (!control && message == WM_NCCREATE) {
    control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (control) {
      if (!attach(window, control)) return FALSE;  // the creation fails
      control->handle_ = window;
    }
  }
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = control->WndProc(message, wParam, lParam);
  } catch (...) {
    Application->HandleException();
  }
  if (message == WM_NCDESTROY) {
    detach(window);
    control->handle_ = nullptr;
  }
  return result;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && Screen->Cursor() != crDefault) {
    Screen->ApplyCursor();
    return TRUE;
  }
  return DefaultProc(message, wParam, lParam);
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(originalProc_ ? originalProc_ : DefWindowProcA, handle_, message, wParam,
                         lParam);
}

bool TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        if (child->Command(HIWORD(wParam))) {
          result = 0;
          return true;
        }
      return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam))) {
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      return false;
    default:
      return false;
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  designed_ = {left, top, width, height};
  if (handle_) PlaceWindow();
}

void TWinControl::PlaceWindow() {
  MoveWindow(handle_, Scale(designed_.Left), Scale(designed_.Top), Scale(designed_.Width),
             Scale(designed_.Height), TRUE);
}

void TWinControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_ && parent_->handle_) parent_->AlignChildren();
}

// Docks the children: those at the top in their designed order from the
// top, those at the bottom from the bottom (lowest first), then the one that
// fills the rest. The others keep their designed place.
void TWinControl::AlignChildren() {
  if (!handle_) return;
  RECT free;
  GetClientRect(handle_, &free);
  auto docked = [&](TAlign align) {
    std::vector<TWinControl*> list;
    for (TWinControl* child : children_)
      if (child->align_ == align && child->handle_) list.push_back(child);
    std::stable_sort(list.begin(), list.end(), [align](TWinControl* a, TWinControl* b) {
      return align == TAlign::alBottom ? a->designed_.Top > b->designed_.Top
                                       : a->designed_.Top < b->designed_.Top;
    });
    return list;
  };
  const int width = free.right - free.left;
  for (TWinControl* child : docked(TAlign::alTop)) {
    int height = Scale(child->designed_.Height);
    MoveWindow(child->handle_, free.left, free.top, width, height, TRUE);
    free.top += height;
  }
  for (TWinControl* child : docked(TAlign::alBottom)) {
    int height = Scale(child->designed_.Height);
    MoveWindow(child->handle_, free.left, free.bottom - height, width, height, TRUE);
    RECT actual;  // a status bar or an integral-height list chooses its own height
    GetWindowRect(child->handle_, &actual);
    free.bottom -= std::max<int>(height, actual.bottom - actual.top);
  }
  for (TWinControl* child : docked(TAlign::alClient))
    MoveWindow(child->handle_, free.left, free.top, width, std::max<int>(0, free.bottom - free.top),
               TRUE);
}

void TWinControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  applyEnabled();
}

void TWinControl::applyEnabled() {
  if (handle_) EnableWindow(handle_, enabled_);
}

void TWinControl::SetFont(const TFontSpec& font) {
  font_ = font;
  hasOwnFont_ = true;
  fontHandle_.reset();
  applyFont();
}

const TFontSpec& TWinControl::Font() const {
  if (hasOwnFont_ || !parent_) return font_;
  return parent_->Font();
}

HFONT TWinControl::FontHandle() {
  if (!hasOwnFont_ && parent_) return parent_->FontHandle();
  if (!fontHandle_) fontHandle_ = font_.create();
  return fontHandle_.get();
}

void TWinControl::applyFont() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
}

void TWinControl::SetFocus() {
  ::SetFocus(Handle());
}

FontDc::FontDc(TWinControl& control)
    : window_(control.Handle()),
      dc_(GetDC(window_)),
      previous_(SelectObject(dc_, control.FontHandle())) {}

FontDc::~FontDc() {
  SelectObject(dc_, previous_);
  ReleaseDC(window_, dc_);
}

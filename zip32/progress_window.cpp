#include "progress_window.h"

#include <commctrl.h>

namespace zip32 {

namespace {

const char kClassName[] = "SelvatZipProgress";
constexpr int kCancelId = IDCANCEL;
constexpr int kWidth = 400, kHeight = 150;

void registerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(instance, kClassName, &windowClass)) return;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);
}

HWND createChild(const char* className, const char* text, DWORD style, int x, int y, int w, int h,
                 HWND parent, int id, HINSTANCE instance) {
  HWND child =
      CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (child)
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  return child;
}

// Centred over the owner, or on the screen without one.
POINT placement(HWND owner) {
  RECT area;
  if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left + (area.right - area.left - kWidth) / 2,
          area.top + (area.bottom - area.top - kHeight) / 2};
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, HINSTANCE instance, const std::string& archive)
    : owner_(owner), instance_(instance), archive_(archive) {}

// Timed from the first update, when the work begins: an archive that is
// done at its first or second update never shows the window, however
// slowly the call began.
bool ProgressWindow::dueToShow(std::uint64_t done, std::uint64_t total) {
  Clock::time_point now = Clock::now();
  if (!firstUpdate_) firstUpdate_ = now;
  return done < total && now - *firstUpdate_ >= kShowAfter;
}

void ProgressWindow::show() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  registerClass(instance_, &ProgressWindow::windowProc);
  POINT at = placement(owner_);
  window_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, archive_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, at.x, at.y, kWidth, kHeight, owner_,
                            nullptr, instance_, this);
  if (!window_) return;
  label_ = createChild("STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 12, 10, kWidth - 36, 20,
                       window_, 1, instance_);
  bar_ = createChild(PROGRESS_CLASSA, "", 0, 12, 36, kWidth - 36, 18, window_, 2, instance_);
  createChild("BUTTON", "中止", BS_PUSHBUTTON | WS_TABSTOP, (kWidth - 90) / 2, 66, 90, 26, window_,
              kCancelId, instance_);
  SendMessageA(bar_, PBM_SETRANGE32, 0, 1000);
  if (owner_ && IsWindowEnabled(owner_)) {
    EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

ProgressWindow::~ProgressWindow() {
  // The owner first, so that activation returns to it when the window goes.
  if (ownerDisabled_) EnableWindow(owner_, TRUE);
  if (window_) DestroyWindow(window_);
  if (quitSeen_) PostQuitMessage(static_cast<int>(quitCode_));
}

bool ProgressWindow::update(const std::string& name, std::uint64_t done, std::uint64_t total) {
  if (!window_) {
    // Until then, and where the window cannot be made, the call runs as a quiet one.
    if (showTried_ || !dueToShow(done, total)) return true;
    showTried_ = true;
    show();
    if (!window_) return true;
  }
  if (name != shownName_) {
    shownName_ = name;
    SetWindowTextA(label_, name.c_str());
  }
  int permille = total == 0 ? 1000 : static_cast<int>(done >= total ? 1000 : done * 1000 / total);
  if (permille != shownPermille_) {
    shownPermille_ = permille;
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
  }
  pump();
  return !cancelled_;
}

void ProgressWindow::pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The caller's loop must still see it: keep it for later and stop the work.
      quitSeen_ = true;
      quitCode_ = message.wParam;
      cancelled_ = true;
      break;
    }
    if (window_ && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

LRESULT CALLBACK ProgressWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && ((message == WM_COMMAND && LOWORD(wParam) == kCancelId) || message == WM_CLOSE)) {
    self->cancelled_ = true;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zip32

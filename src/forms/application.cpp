#include "forms/application.h"

#include <commctrl.h>
#include <objbase.h>

#include <new>

#include "archive/path_rules.h"
#include "forms/form.h"
#include "forms/modal.h"

namespace {
TApplication theApplication;

const UINT kPassActivation = WM_APP + 1;

// The hidden application window owns the dialogs; when one closes, the
// system activates it, and the keys would go nowhere. It passes the
// activation on to the main window, once the system is done activating.
LRESULT CALLBACK applicationWindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
    PostMessageA(window, kPassActivation, 0, 0);
  if (message == kPassActivation) {
    TForm* main = theApplication.MainForm();
    if (GetActiveWindow() == window && main && main->HandleAllocated() &&
        IsWindowVisible(main->Handle()) && IsWindowEnabled(main->Handle()))
      SetActiveWindow(main->Handle());
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TApplication* Application = &theApplication;

std::string exceptionBoxText(const std::string& message) {
  if (message.empty()) return message;
  size_t last = message.size() - 1;
  if (last > 0 && isTrailByte(message, last)) --last;  // the first byte of the last character
  if (static_cast<unsigned char>(message[last]) > '.') return message + ".";
  return message;
}

TApplication::TApplication() = default;

TApplication::~TApplication() {
  DestroyForms();
  WinHelpA(nullptr, HelpFile.c_str(), HELP_QUIT, 0);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&controls))
    throw systemError("コモンコントロールを初期化できません", GetLastError());
  com_.enter();
}

void TApplication::ComApartment::enter() {
  if (entered_) return;
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(result)) throw systemError("COM を初期化できません", static_cast<DWORD>(result));
  entered_ = true;  // S_FALSE too: COM was entered already, and is left once more
}

TApplication::ComApartment::~ComApartment() {
  if (entered_) CoUninitialize();
}

HWND TApplication::Handle() {
  if (!makeHandle()) throw systemError("ウィンドウを作成できません", GetLastError());
  return handle_.get();
}

// The boxes need no owner: the exception box can still say why the window
// could not be made.
HWND TApplication::makeHandle() noexcept {
  if (handle_) return handle_.get();
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = applicationWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TApplication";
  if (!registerWindowClass(windowClass)) return nullptr;
  handle_.reset(CreateWindowExA(0, "TApplication", Title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
  return handle_.get();
}

void TApplication::adoptForm(std::unique_ptr<TForm> form) {
  TForm* created = form.get();
  forms_.push_back(std::move(form));
  if (!mainForm_) mainForm_ = created;
  created->AfterConstruction();
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
  mainForm_ = nullptr;
}

void TApplication::Run(int showCommand) {
  if (!mainForm_) return;
  if (showCommand == SW_SHOWMAXIMIZED) mainForm_->SetWindowState(TWindowState::wsMaximized);
  if (showCommand == SW_SHOWMINNOACTIVE)
    mainForm_->ShowMinimizedUntilRestored();
  else
    mainForm_->Show();
  MSG message;
  while (!terminated_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
    HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
    if (main && IsDialogMessageA(main, &message)) continue;  // Tab, mnemonics
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  if (messageBoxStandIn_) return messageBoxStandIn_(text, caption, flags);
  HWND active = GetActiveWindow();
  HWND owner = active ? active : makeHandle();
  int answer;
  {
    TaskWindowsDisabled modal;
    answer = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
  }
  if (active && IsWindow(active)) SetActiveWindow(active);
  return answer;
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
  if (OnHelp && OnHelp(command, data)) return true;
  HWND owner = mainForm_ ? mainForm_->Handle() : makeHandle();
  if (helpStandIn_) {
    helpStandIn_(owner, HelpFile, command, data);
    return true;
  }
  return WinHelpA(owner, HelpFile.c_str(), command, data) != FALSE;
}

bool TApplication::HelpContext(int context) {
  return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(context));
}

void TApplication::HandleException() noexcept {
  try {
    try {
      throw;
    } catch (const std::bad_alloc&) {
      ShowException("メモリが不足しています");
    } catch (const std::exception& error) {
      ShowException(error.what());
    } catch (...) {
      ShowException("予期しないエラーが発生しました");
    }
  } catch (...) {
    // too little memory even for the box's text: nothing can be shown
  }
}

void TApplication::ShowException(const std::string& message) {
  try {
    MessageBox(exceptionBoxText(message), Title, MB_OK | MB_ICONERROR);
  } catch (...) {
    // nothing more can be shown
  }
}

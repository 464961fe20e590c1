#include "forms/form.h"

#include <algorithm>

#include "forms/application.h"

namespace {
const char kFormClass[] = "TSelvatWindow";
}

TForm::TForm() : TWinControl(nullptr) {}

TForm::~TForm() = default;

void TForm::CreateHandle(HWND) {
  RegisterOwnClass(kFormClass, CS_DBLCLKS);
  HWND owner = Application->Handle();
  createWindow(kFormClass, caption_.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
               WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, owner);
  if (menu_) menu_->AttachTo(TWinControl::Handle());
}

std::string TForm::Caption() const {
  return caption_;
}

void TForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (HandleAllocated()) SetWindowTextA(const_cast<TForm*>(this)->Handle(), caption_.c_str());
}

void TForm::SetMenu(TMainMenu* menu) {
  menu_ = menu;
  if (HandleAllocated() && menu_) menu_->AttachTo(Handle());
}

void TForm::AfterConstruction() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    Application->HandleException();
  }
}

void TForm::Show() {
  if (!shown_) {
    shown_ = true;
    runShowSequence();
    return;
  }
  ShowWindow(Handle(), SW_SHOW);
}

// The form is made visible: OnShow first, while the window is still
// invisible; then it is centred (first showing only) and shown.
void TForm::runShowSequence() {
  Handle();
  try {
    if (OnShow) OnShow(this);
  } catch (...) {
    Application->HandleException();
  }
  centreOnScreen();
  ShowWindow(Handle(), state_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  if (activeControl_ && activeControl_->HandleAllocated() && !Application->Terminated())
    activeControl_->SetFocus();
}

void TForm::ShowMinimizedUntilRestored() {
  shown_ = true;
  showPending_ = true;
  state_ = TWindowState::wsMinimized;
  ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
}

// Centres the window's normal place, so that a window still minimised is
// centred once it is shown.
void TForm::centreOnScreen() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(Handle(), &placement);
  RECT& bounds = placement.rcNormalPosition;
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  bounds.left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  bounds.top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  bounds.right = bounds.left + width;
  bounds.bottom = bounds.top + height;
  const bool shown = IsWindowVisible(Handle()) && !IsIconic(Handle());
  placement.showCmd = shown ? SW_SHOWNOACTIVATE : SW_HIDE;
  SetWindowPlacement(Handle(), &placement);
}

// Every way of closing comes here: the handler may keep the form open by
// setting the action to caNone; closing the main form ends the program.
void TForm::Close() {
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (HandleAllocated())
    ShowWindow(Handle(), SW_HIDE);
}

void TForm::Update() {
  RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  TMessage record{message, wParam, lParam, 0};
  Dispatch(record);
  return record.Result;
}

void TForm::Dispatch(TMessage& message) {
  DefaultHandler(message);
}

void TForm::DefaultHandler(TMessage& m) {
  if (ReflectToChild(m.Msg, m.WParam, m.LParam, m.Result)) return;
  switch (m.Msg) {
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) == 0 && menu_ &&
          menu_->DispatchCommand(LOWORD(m.WParam)))
        return;
      break;
    case WM_INITMENUPOPUP:
      if (!HIWORD(m.LParam) && menu_) menu_->DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      break;
    case WM_SYSCOMMAND: {
      // Started minimised: the first restore runs the show sequence, with
      // the window out of sight until it is placed.
      const WPARAM command = m.WParam & 0xFFF0;
      if (showPending_ && (command == SC_RESTORE || command == SC_MAXIMIZE)) {
        showPending_ = false;
        state_ = command == SC_MAXIMIZE ? TWindowState::wsMaximized : TWindowState::wsNormal;
        ShowWindow(Handle(), SW_HIDE);
        runShowSequence();
        return;
      }
      break;
    }
    case WM_SIZE:
      AlignChildren();
      if (showPending_ && m.WParam != SIZE_MINIMIZED) {  // restored some other way
        showPending_ = false;
        state_ = m.WParam == SIZE_MAXIMIZED ? TWindowState::wsMaximized : TWindowState::wsNormal;
        runShowSequence();
      }
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_HELP:
      showHelp(*reinterpret_cast<HELPINFO*>(m.LParam));
      m.Result = TRUE;
      return;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it, as a dialog does.
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) savedFocus_ = focus;
      } else if (savedFocus_ && IsWindow(savedFocus_) && IsChild(Handle(), savedFocus_)) {
        ::SetFocus(savedFocus_);
        return;
      } else if (activeControl_ && activeControl_->HandleAllocated()) {
        activeControl_->SetFocus();
        return;
      }
      break;
  }
  m.Result = TWinControl::WndProc(m.Msg, m.WParam, m.LParam);
}

// F1: the help context of the control under the focus, or of the first of
// its parents that has one; an open menu's items carry none.
void TForm::showHelp(const HELPINFO& info) {
  int context = 0;
  if (info.iContextType != HELPINFO_MENUITEM) {
    for (TWinControl* control = FromHandle(static_cast<HWND>(info.hItemHandle)); control;
         control = control->Parent())
      if (control->HelpContext != 0) {
        context = control->HelpContext;
        break;
      }
    if (context == 0) context = HelpContext;
  }
  Application->HelpContext(context);
}

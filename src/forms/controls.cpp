#include "forms/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {
const char kPanelClass[] = "TPanel";
const char kBevelClass[] = "TBevel";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

HBRUSH systemBrush(TColor color) {
  return GetSysColorBrush(static_cast<int>(color & 0xFF));
}
}  // namespace

// --- TPanel ---------------------------------------------------------------

void TPanel::CreateHandle(HWND parentWindow) {
  RegisterOwnClass(kPanelClass, 0);
  createWindow(kPanelClass, "", kChild | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parentWindow);
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  if (message == WM_SIZE) AlignChildren();
  return TWinControl::WndProc(message, wParam, lParam);
}

// --- TBevel ---------------------------------------------------------------

void TBevel::CreateHandle(HWND parentWindow) {
  RegisterOwnClass(kBevelClass, CS_HREDRAW);
  createWindow(kBevelClass, "", kChild, 0, parentWindow);
}

LRESULT TBevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT line;
    GetClientRect(Handle(), &line);
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    EndPaint(Handle(), &paint);
    return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

// --- TCaptionedControl ---------------------------------------------------

TCaptionedControl::TCaptionedControl(TWinControl* parent, const char* className,
                                     std::string caption, DWORD style)
    : TWinControl(parent), className_(className), caption_(std::move(caption)), style_(style) {}

void TCaptionedControl::CreateHandle(HWND parentWindow) {
  createWindow(className_, caption_.c_str(), kChild | style_, 0, parentWindow);
}

// --- TLabel ---------------------------------------------------------------

TLabel::TLabel(TWinControl* parent, std::string caption)
    : TCaptionedControl(parent, "STATIC", std::move(caption), SS_LEFT) {}

void TLabel::HandleCreated() {
  SIZE extent{};
  GetTextExtentPoint32A(FontDc(*this).get(), caption().c_str(), static_cast<int>(caption().size()),
                        &extent);
  SetWindowPos(Handle(), nullptr, 0, 0, extent.cx, extent.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TButton --------------------------------------------------------------

TButton::TButton(TWinControl* parent, std::string caption)
    : TCaptionedControl(parent, "BUTTON", std::move(caption), WS_TABSTOP | BS_PUSHBUTTON) {}

void TButton::Click() {
  if (Enabled() && OnClick) OnClick(this);
}

bool TButton::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

// --- TCheckBox ------------------------------------------------------------

TCheckBox::TCheckBox(TWinControl* parent, std::string caption)
    : TCaptionedControl(parent, "BUTTON", std::move(caption), WS_TABSTOP | BS_CHECKBOX) {}

void TCheckBox::HandleCreated() {
  SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (HandleAllocated())
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
  if (OnClick) OnClick(this);
}

bool TCheckBox::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  SetChecked(!checked_);
  return true;
}

// --- TEdit ----------------------------------------------------------------

void TEdit::CreateHandle(HWND parentWindow) {
  createWindow("EDIT", pendingText_.c_str(), kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
               parentWindow);
  SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);  // paths of any length
}

std::string TEdit::Text() {
  if (!HandleAllocated()) return pendingText_;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void TEdit::SetText(const std::string& text) {
  pendingText_ = text;
  if (HandleAllocated()) SetWindowTextA(Handle(), text.c_str());
}

void TEdit::SetColor(TColor color) {
  color_ = color;
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

HBRUSH TEdit::ControlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(static_cast<int>(color_ & 0xFF)));
  return systemBrush(color_);
}

// --- TListBox -------------------------------------------------------------

TListBox::TListBox(TWinControl* parent, bool integralHeight)
    : TWinControl(parent), integralHeight_(integralHeight) {}

void TListBox::CreateHandle(HWND parentWindow) {
  DWORD style = kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
  if (!integralHeight_) style |= LBS_NOINTEGRALHEIGHT;
  createWindow("LISTBOX", "", style, WS_EX_CLIENTEDGE, parentWindow);
}

// The designed item height, or the font's own where a stand-in font is
// taller, so that no line is cut off at the bottom.
void TListBox::HandleCreated() {
  if (!itemHeight_) return;
  TEXTMETRICA metrics{};
  GetTextMetricsA(FontDc(*this).get(), &metrics);
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, std::max<LONG>(Scale(itemHeight_), metrics.tmHeight));
}

// A file dropped on the list is the form's business.
LRESULT TListBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES)
    return SendMessageA(GetAncestor(Handle(), GA_ROOT), message, wParam, lParam);
  return TWinControl::WndProc(message, wParam, lParam);
}

bool TListBox::Command(WORD code) {
  if (code != LBN_SELCHANGE) return false;
  if (OnClick) OnClick(this);
  return true;
}

int TListBox::Count() {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string TListBox::Item(int index) {
  LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

int TListBox::Add(const std::string& item) {
  LRESULT index = SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (index < 0) throw Exception("行を挿入できません");
  return static_cast<int>(index);
}

void TListBox::Delete(int index) {
  SendMessageA(Handle(), LB_DELETESTRING, index, 0);
}

void TListBox::Clear() {
  SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

int TListBox::ItemIndex() {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  SendMessageA(Handle(), LB_SETCURSEL, index, 0);
}

void TListBox::BeginUpdate() {
  if (updating_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListBox::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

// --- TStatusBar -----------------------------------------------------------

void TStatusBar::CreateHandle(HWND parentWindow) {
  createWindow(STATUSCLASSNAMEA, "", kChild | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
               parentWindow);
}

void TStatusBar::HandleCreated() {
  SendMessageA(Handle(), SB_SIMPLE, TRUE, 0);
  SetSimpleText(text_);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  text_ = text;
  if (HandleAllocated())
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text_.c_str()));
}

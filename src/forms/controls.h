#pragma once
// The standard components: list box, push button, check box, edit box,
// status bar, panel, label and bevel.
#include <windows.h>

#include <string>

#include "forms/control.h"

// Colours as the designer names them: system colours.
enum TColor : unsigned { clWindow = 0x80000005, clBtnFace = 0x8000000F };

class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;

 protected:
  void CreateHandle(HWND parentWindow) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TBevel : public TWinControl {  // a single etched line along its top edge
 public:
  using TWinControl::TWinControl;

 protected:
  void CreateHandle(HWND parentWindow) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A standard control that shows a caption: the window class and style are
// its kind's, the caption is given when it is made.
class TCaptionedControl : public TWinControl {
 protected:
  TCaptionedControl(TWinControl* parent, const char* className, std::string caption, DWORD style);
  void CreateHandle(HWND parentWindow) override;
  const std::string& caption() const { return caption_; }

 private:
  const char* className_;
  std::string caption_;
  DWORD style_;
};

// A label sizes itself to its text, so a wider font never cuts it off.
class TLabel : public TCaptionedControl {
 public:
  TLabel(TWinControl* parent, std::string caption);

 protected:
  void HandleCreated() override;
};

class TButton : public TCaptionedControl {
 public:
  TButton(TWinControl* parent, std::string caption);
  TNotifyEvent OnClick;
  void Click();

 protected:
  bool Command(WORD code) override;
};

// Setting Checked to a new value, by code or by the user's click, raises
// OnClick; setting the value it has raises nothing.
class TCheckBox : public TCaptionedControl {
 public:
  TCheckBox(TWinControl* parent, std::string caption);
  TNotifyEvent OnClick;
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 protected:
  void HandleCreated() override;
  bool Command(WORD code) override;

 private:
  bool checked_ = false;
};

class TEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string Text();
  void SetText(const std::string& text);
  void SetColor(TColor color);

 protected:
  void CreateHandle(HWND parentWindow) override;
  HBRUSH ControlColor(HDC dc) override;

 private:
  std::string pendingText_;
  TColor color_ = clWindow;
};

class TListBox : public TWinControl {
 public:
  TListBox(TWinControl* parent, bool integralHeight);
  void SetItemHeight(int height) { itemHeight_ = height; }
  TNotifyEvent OnClick;  // the user selected another item, by mouse or key

  int Count();
  std::string Item(int index);
  int Add(const std::string& item);  // raises "行を挿入できません" when the list is full
  void Delete(int index);
  void Clear();
  int ItemIndex();
  void SetItemIndex(int index);
  void BeginUpdate();  // redraw off, for adding in bulk
  void EndUpdate();

 protected:
  void CreateHandle(HWND parentWindow) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool Command(WORD code) override;

 private:
  bool integralHeight_;
  int itemHeight_ = 0;
  int updating_ = 0;
};

class TStatusBar : public TWinControl {  // one simple text area with a size grip
 public:
  using TWinControl::TWinControl;
  void SetSimpleText(const std::string& text);

 protected:
  void CreateHandle(HWND parentWindow) override;
  void HandleCreated() override;

 private:
  std::string text_;
};

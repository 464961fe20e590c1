#pragma once
// The base of every component that has a window of its own. A control is
// created with its parent and placed in designed pixels (96 dpi); the
// window tree is made on first use of a handle, scaled to the screen.
// Messages of our own windows and of the standard controls we subclass all
// pass through one window procedure, which is the one place where an
// exception is caught (it goes to the application's exception box).
#include <windows.h>

#include <string>
#include <vector>

#include "forms/font.h"
#include "forms/object.h"

enum class TAlign { alNone, alTop, alBottom, alClient };

struct TDesignRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TWinControl : public TObject {
 public:
  explicit TWinControl(TWinControl* parent);
  ~TWinControl() override;
  TWinControl(const TWinControl&) = delete;
  TWinControl& operator=(const TWinControl&) = delete;

  HWND Handle();  // makes the window, with its parents and children, on first use
  bool HandleAllocated() const { return handle_ != nullptr; }
  TWinControl* Parent() const { return parent_; }

  void SetBounds(int left, int top, int width, int height);  // designed pixels
  void SetAlign(TAlign align);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetFont(const TFontSpec& font);  // otherwise the parent's font
  const TFontSpec& Font() const;
  HFONT FontHandle();
  void SetFocus();

  int HelpContext = 0;

  // Screen pixels for designed pixels at the current pixel density.
  static int Scale(int designed);

  // The component whose window this is, or null for a window not ours.
  static TWinControl* FromHandle(HWND window);

 protected:
  // Makes this control's window as a child of parentWindow (null for a
  // top-level window); calls createWindow.
  virtual void CreateHandle(HWND parentWindow) = 0;
  HWND createWindow(const char* className, const char* text, DWORD style, DWORD exStyle,
                    HWND parentWindow, HMENU menu = nullptr);
  virtual void HandleCreated() {}

  // The control's own message handling; DefaultProc gives the message to
  // the window class's own procedure.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Notifications that a parent reflects to the child that sent them.
  virtual bool Command(WORD /*code*/) { return false; }
  virtual HBRUSH ControlColor(HDC /*dc*/) { return nullptr; }

  // For containers: handles the messages that children send to their parent.
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void AlignChildren();
  void PlaceWindow();

  // Our own window classes are registered with this procedure, the
  // program's icon, the arrow cursor and the button face as background.
  static LRESULT CALLBACK RouteMessage(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
  static void RegisterOwnClass(const char* name, UINT style);

 private:
  void createTree(HWND parentWindow);
  void applyFont();
  void applyEnabled();

  TWinControl* parent_;
  std::vector<TWinControl*> children_;
  HWND handle_ = nullptr;
  WNDPROC originalProc_ = nullptr;
  TDesignRect designed_;
  TAlign align_ = TAlign::alNone;
  bool enabled_ = true;
  bool hasOwnFont_ = false;
  TFontSpec font_;
  OwnedFont fontHandle_;
};

// Registers a window class for the program unless it is registered
// already; false when the system refuses it (GetLastError says why).
bool registerWindowClass(const WNDCLASSEXA& windowClass) noexcept;

// The control's device context with its font selected, for measuring text;
// released when it goes.
class FontDc {
 public:
  explicit FontDc(TWinControl& control);
  ~FontDc();
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ previous_;
};

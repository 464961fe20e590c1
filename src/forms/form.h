#pragma once
// A top-level window that owns its components: caption, menu, the create,
// show and close events, docking of its children, and every message passed
// through the virtual Dispatch so that a form can route a message of its
// own before the default handling.
#include <windows.h>

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/menu.h"

// What closing does once OnClose has run: nothing, or hide the form (ending
// the program when it is the main form).
enum TCloseAction { caNone, caHide };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TForm : public TWinControl {
 public:
  TForm();
  ~TForm() override;

  std::string Caption() const;
  void SetCaption(const std::string& caption);
  void SetMenu(TMainMenu* menu);
  void SetActiveControl(TWinControl* control) { activeControl_ = control; }
  void SetWindowState(TWindowState state) { state_ = state; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TCloseEvent OnClose;

  void AfterConstruction();  // raises OnCreate; an exception is shown, start-up goes on
  void Show();
  void ShowMinimizedUntilRestored();  // the show sequence waits for the first restore
  void Close();
  void Update();  // repaints the window and its children now

  virtual void Dispatch(TMessage& message);

 protected:
  void CreateHandle(HWND parentWindow) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DefaultHandler(TMessage& message);

 private:
  void runShowSequence();
  void centreOnScreen();
  void showHelp(const HELPINFO& info);

  std::string caption_;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  HWND savedFocus_ = nullptr;
  TWindowState state_ = TWindowState::wsNormal;
  bool shown_ = false;
  bool showPending_ = false;
};

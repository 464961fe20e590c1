#pragma once
// The application object: title, help file, the main form, the message
// loop, message boxes that are modal over all of the program's windows, and
// the exception box.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/object.h"
#include "forms/owned.h"
#include "forms/screen.h"

// Our member is MessageBox; the system's is called by its ANSI name.
#undef MessageBox

class TForm;

class TApplication : public TObject {
 public:
  TApplication();
  ~TApplication() override;  // closes a help window the program opened

  // Initialises the common controls and COM for this thread (the shell's
  // folder browser needs it); throws when the system cannot.
  void Initialize();
  std::string Title;
  std::string HelpFile;

  // Creates a form and keeps it until the application goes; the first form
  // created becomes the main form. The global is set before the form's
  // constructor runs.
  template <typename Form>
  void CreateForm(Form*& global) {
    auto* memory = static_cast<Form*>(::operator new(sizeof(Form)));
    global = memory;
    std::unique_ptr<Form> form;
    try {
      form.reset(new (memory) Form());
    } catch (...) {
      global = nullptr;
      ::operator delete(memory);
      throw;
    }
    adoptForm(std::move(form));
  }

  void Run(int showCommand);
  void Terminate();
  bool Terminated() const { return terminated_; }
  TForm* MainForm() const { return mainForm_; }
  HWND Handle();  // the hidden window that owns the forms and the browser; made on first use

  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  // A help request goes to OnHelp first; only when that does not take it
  // (or there is none) is the help viewer asked with HelpFile.
  bool HelpCommand(UINT command, ULONG_PTR data);
  bool HelpContext(int context);
  std::function<bool(UINT command, ULONG_PTR data)> OnHelp;  // true: taken care of

  // Inside a catch: shows the exception. Throws nothing, so the places
  // where the system calls us may end with it.
  void HandleException() noexcept;
  void ShowException(const std::string& message);

  // Test seams: answer message boxes and help requests without a window.
  using MessageBoxStandIn =
      std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
  using HelpStandIn =
      std::function<void(HWND owner, const std::string& file, UINT command, ULONG_PTR data)>;
  void SetMessageBoxStandIn(MessageBoxStandIn standIn) { messageBoxStandIn_ = std::move(standIn); }
  void SetHelpStandIn(HelpStandIn standIn) { helpStandIn_ = std::move(standIn); }

  // Destroys the forms now (normally done when the application goes).
  void DestroyForms();

 private:
  // COM entered on this thread, left when the application goes, after
  // everything that might use it.
  class ComApartment {
   public:
    ComApartment() = default;
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    void enter();

   private:
    bool entered_ = false;
  };

  void adoptForm(std::unique_ptr<TForm> form);
  HWND makeHandle() noexcept;  // null when the window cannot be made

  ComApartment com_;
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;
  Owned<HWND, destroyWindow> handle_;
  bool terminated_ = false;
  MessageBoxStandIn messageBoxStandIn_;
  HelpStandIn helpStandIn_;
};

extern TApplication* Application;

// The exception box's text: a "." is added when the message is not empty
// and its last character sorts after ".".
std::string exceptionBoxText(const std::string& message);

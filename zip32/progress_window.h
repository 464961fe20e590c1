// The window shown while an archive is made: the file name, a progress
// bar and the Cancel button. It is owned by the caller's window, which is
// disabled meanwhile as under a modal dialog; messages are pumped on each
// update so that the caller keeps repainting.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace zip32 {

class ProgressWindow {
 public:
  ProgressWindow(HWND owner, HINSTANCE instance, const std::string& archive);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the state and pumps messages; false once the user cancelled.
  bool update(const std::string& name, std::uint64_t done, std::uint64_t total);

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void pump();

  HWND owner_;
  bool ownerDisabled_ = false;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND bar_ = nullptr;
  bool cancelled_ = false;
  bool quitSeen_ = false;
  WPARAM quitCode_ = 0;
  std::string shownName_;
  int shownPermille_ = -1;
};

}  // namespace zip32

// The window shown while an archive is made: the file name, a progress
// bar and the Cancel button. It appears only once the work has taken long
// enough to be worth watching, so a run of small archives shows none (and
// pays for no window made and destroyed for each). From then on it is
// owned by the caller's window, which is disabled meanwhile as under a
// modal dialog, and messages are pumped on each update so that the caller
// keeps repainting.
#pragma once
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zip32 {

class ProgressWindow {
 public:
  // How long the work goes on before the window appears.
  static constexpr std::chrono::milliseconds kShowAfter{500};

  ProgressWindow(HWND owner, HINSTANCE instance, const std::string& archive);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the state and pumps messages once the window is there; false
  // once the user cancelled.
  bool update(const std::string& name, std::uint64_t done, std::uint64_t total);

 private:
  using Clock = std::chrono::steady_clock;
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  bool dueToShow(std::uint64_t done, std::uint64_t total);
  void show();
  void pump();

  HWND owner_;
  HINSTANCE instance_;
  std::string archive_;
  std::optional<Clock::time_point> firstUpdate_;
  bool showTried_ = false;
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

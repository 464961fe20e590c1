#include <windows.h>

#include <gtest/gtest.h>

#include "os/key_state.h"

namespace {

void sendEscape(DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_ESCAPE;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A reading is reused for a few milliseconds; a key press lasts far longer.
constexpr DWORD kLongerThanAReadingLasts = 30;

TEST(Win32KeyState, SeesEscapeWhileItIsDown) {
  EXPECT_FALSE(systemKeyState().escapeDown());
  sendEscape(0);
  Sleep(kLongerThanAReadingLasts);
  EXPECT_TRUE(systemKeyState().escapeDown());
  sendEscape(KEYEVENTF_KEYUP);
  Sleep(kLongerThanAReadingLasts);
  EXPECT_FALSE(systemKeyState().escapeDown());
}

}  // namespace

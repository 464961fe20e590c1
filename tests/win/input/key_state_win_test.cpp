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

TEST(Win32KeyState, SeesEscapeWhileItIsDown) {
  EXPECT_FALSE(systemKeyState().escapeDown());
  sendEscape(0);
  EXPECT_TRUE(systemKeyState().escapeDown());
  sendEscape(KEYEVENTF_KEYUP);
  EXPECT_FALSE(systemKeyState().escapeDown());
}

}  // namespace

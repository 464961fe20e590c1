#include <windows.h>

#include "os/key_state.h"

namespace {
class Win32KeyState final : public KeyState {
 public:
  // The most significant bit of the result: the key is down now.
  bool escapeDown() override {
    return (static_cast<unsigned short>(GetAsyncKeyState(VK_ESCAPE)) & 0x8000) != 0;
  }
};
}  // namespace

KeyState& systemKeyState() {
  static Win32KeyState keys;
  return keys;
}

#include <windows.h>

#include "os/key_state.h"

namespace {

// Under Wine a key-state query with a window open waits on the X server
// (some 12 µs), more than listing one folder entry costs, so a reading is
// reused for a few milliseconds: far shorter than any key press, and the
// key is still polled before every entry.
constexpr ULONGLONG kFreshForMs = 5;

class Win32KeyState final : public KeyState {
 public:
  // The most significant bit of the result: the key is down now.
  bool escapeDown() override {
    ULONGLONG now = GetTickCount64();
    if (!read_ || now - readAt_ >= kFreshForMs) {
      down_ = (static_cast<unsigned short>(GetAsyncKeyState(VK_ESCAPE)) & 0x8000) != 0;
      readAt_ = now;
      read_ = true;
    }
    return down_;
  }

 private:
  bool read_ = false;
  bool down_ = false;
  ULONGLONG readAt_ = 0;
};

}  // namespace

KeyState& systemKeyState() {
  static Win32KeyState keys;
  return keys;
}

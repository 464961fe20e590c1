#pragma once
// The physical state of the keys that long work polls to let the user stop
// it, since no window message is processed meanwhile.
class KeyState {
 public:
  virtual ~KeyState() = default;
  // True when the Escape key is down at this moment.
  virtual bool escapeDown() = 0;
};

#ifdef _WIN32
// The keyboard as the system sees it now.
KeyState& systemKeyState();
#endif

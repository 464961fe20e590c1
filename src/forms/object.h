#pragma once
// The roots of our component layer: every component is a TObject, and an
// event hands the component that raised it to its handler.
#include <functional>
#include <stdexcept>
#include <string>

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// An error the component layer raises; the application's exception box
// shows its message.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A system call that failed: what could not be done, and the code the
// system gave for it.
inline Exception systemError(const std::string& what, unsigned long code) {
  return Exception(what + " (" + std::to_string(code) + ")");
}

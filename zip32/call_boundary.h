// The edge of every entry point of the libraries that reports a result:
// nothing may leave it as an exception (on i686 each module unwinds on its
// own, and an exception that reaches another module or the system ends
// the process), so whatever escapes the work becomes a result code.
#pragma once
#include <cstdint>
#include <string>

#include "code_page.h"
#include "result.h"

namespace zip32 {

// Made when the library loads, so that saying it allocates nothing.
inline const std::string kOutOfMemoryMessage = "メモリが足りません。";

// Runs work() and gives its result code, with its message in the caller's
// buffer. Anything thrown means memory (or another resource) ran out.
template <typename Work>
std::int32_t answerCall(Work work, char* message, std::size_t messageSize) noexcept {
  try {
    Outcome outcome = work();
    copyMessage(outcome.message, message, messageSize, systemCodePage());
    return static_cast<std::int32_t>(outcome.code);
  } catch (...) {
    copyMessage(kOutOfMemoryMessage, message, messageSize, systemCodePage());
    return static_cast<std::int32_t>(ResultCode::OutOfMemory);
  }
}

}  // namespace zip32

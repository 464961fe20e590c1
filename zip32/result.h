// Result codes of the archiver and the error that carries one out of the
// engine's inner steps to its single entry point.
#pragma once
#include <stdexcept>
#include <string>

namespace zip32 {

enum class ResultCode : int {
  Ok = 0,
  BadCommandLine = 1,
  NoFileMatched = 2,
  InputUnreadable = 3,
  ArchiveNotWritable = 4,
  ArchiveDamaged = 5,
  Cancelled = 6,
  ArchiveIsInput = 7,
  Busy = 8,
  EngineMissing = 9,
  OutOfMemory = 10,
};

struct Outcome {
  ResultCode code = ResultCode::Ok;
  std::string message;
};

// Thrown inside the engine only; makeArchive turns it into an Outcome.
class ZipError : public std::runtime_error {
 public:
  ZipError(ResultCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  ResultCode code() const { return code_; }

 private:
  ResultCode code_;
};

}  // namespace zip32

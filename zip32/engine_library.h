// zip32.dll as zip32j.dll uses it: loaded by the first call that finds it
// and kept until zip32j.dll itself is unloaded, so that a run of many
// archives loads it once. A call that does not find it tries again.
#pragma once
#include <windows.h>

#include "zip32_api.h"

namespace zip32 {

class EngineLibrary {
 public:
  // The engine's entry, null while zip32.dll or its entry cannot be found.
  // Zip calls of a process run one at a time, so this needs no lock.
  static ZpArchiveProc archive();

  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;

 private:
  EngineLibrary() = default;
  ~EngineLibrary();

  HMODULE module_ = nullptr;
  ZpArchiveProc archive_ = nullptr;
};

}  // namespace zip32

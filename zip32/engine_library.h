// zip32.dll as zip32j.dll uses it: loaded for one archive, freed after.
#pragma once
#include <windows.h>

#include "engine_api.h"

namespace zip32 {

class EngineLibrary {
 public:
  EngineLibrary();
  ~EngineLibrary();
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;

  // Null when zip32.dll or its entry cannot be found.
  ZpArchiveProc archive() const { return archive_; }

 private:
  HMODULE module_ = nullptr;
  ZpArchiveProc archive_ = nullptr;
};

}  // namespace zip32

#include "engine_library.h"

namespace zip32 {

ZpArchiveProc EngineLibrary::archive() {
  static EngineLibrary library;
  if (!library.module_) {
    library.module_ = LoadLibraryA("zip32.dll");
    if (library.module_)
      library.archive_ = reinterpret_cast<ZpArchiveProc>(
          reinterpret_cast<void*>(GetProcAddress(library.module_, "ZpArchive")));
  }
  return library.archive_;
}

// Runs when zip32j.dll is unloaded; at the end of the process the system
// ignores the call, as it unloads everything itself.
EngineLibrary::~EngineLibrary() {
  if (module_) FreeLibrary(module_);
}

}  // namespace zip32

#include "engine_library.h"

namespace zip32 {

EngineLibrary::EngineLibrary() : module_(LoadLibraryA("zip32.dll")) {
  if (module_)
    archive_ = reinterpret_cast<ZpArchiveProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "ZpArchive")));
}

EngineLibrary::~EngineLibrary() {
  if (module_) FreeLibrary(module_);
}

}  // namespace zip32

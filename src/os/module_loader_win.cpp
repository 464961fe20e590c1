#include <windows.h>

#include "os/module_loader.h"

namespace {
class Win32ModuleLoader : public ModuleLoader {
 public:
  Module load(const char* name) override { return LoadLibraryA(name); }
  void free(Module module) override { FreeLibrary(static_cast<HMODULE>(module)); }
  void* symbol(Module module, const char* name) override {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
  }
};
}  // namespace

ModuleLoader& systemModuleLoader() {
  static Win32ModuleLoader loader;
  return loader;
}

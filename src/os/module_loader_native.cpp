#include "os/module_loader.h"

namespace {
class NoModules : public ModuleLoader {
 public:
  Module load(const char*) override { return nullptr; }
  void free(Module) override {}
  void* symbol(Module, const char*) override { return nullptr; }
};
}  // namespace

ModuleLoader& systemModuleLoader() {
  static NoModules loader;
  return loader;
}

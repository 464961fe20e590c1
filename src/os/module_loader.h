#pragma once
// Loading a library by name and looking up its entry points.

class ModuleLoader {
 public:
  using Module = void*;
  virtual ~ModuleLoader() = default;
  virtual Module load(const char* name) = 0;  // null when it cannot be loaded
  virtual void free(Module module) = 0;
  virtual void* symbol(Module module, const char* name) = 0;  // null when missing
};

// LoadLibraryA, FreeLibrary and GetProcAddress on Windows; natively a
// loader that finds nothing.
ModuleLoader& systemModuleLoader();

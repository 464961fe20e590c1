#pragma once
// The binding to the archiver libraries: zip32j.dll is loaded and its three
// entry points resolved; zip32.dll is only checked and asked its version.
#include <cstdint>

#include "os/module_loader.h"
#include "zip32_api.h"

// Bits of the binding result.
enum : int32_t {
  kZip32jMissing = 1,
  kZip32Missing = 2,
  kEntryPointMissing = 4,
};

class TSelvatDll {
 public:
  explicit TSelvatDll(ModuleLoader& loader = systemModuleLoader());
  ~TSelvatDll();
  TSelvatDll(const TSelvatDll&) = delete;
  TSelvatDll& operator=(const TSelvatDll&) = delete;

  int32_t Load();         // 0 when bound, else the bits above
  unsigned GetVersion();  // zip32j.dll's version times 100
  int GetZip32Version();  // major*100 + minor*10 + patch; 0 when unavailable
  bool IsRunning();       // ZipGetRunning gave exactly 1
  int32_t Execute(void* window, const char* commandLine, char* output, uint32_t outputSize);

  ModuleLoader::Module FHandle = nullptr;
  ZipGetVersionProc FZipGetVersion = nullptr;
  ZipGetRunningProc FZipGetRunning = nullptr;
  ZipProc FZip = nullptr;

 private:
  template <typename Proc>
  Proc entry(const char* name, int32_t& result);

  ModuleLoader& loader_;
};

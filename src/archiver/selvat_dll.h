#pragma once
// The binding to the archiver libraries: zip32j.dll is loaded and its three
// entry points resolved; zip32.dll is only checked and asked its version.
#include <cstdint>

#include "os/module_loader.h"

#if defined(_WIN32)
#define SELVAT_WINAPI __stdcall
#else
#define SELVAT_WINAPI
#endif

// Bits of the binding result.
enum : int32_t {
  kZip32jMissing = 1,
  kZip32Missing = 2,
  kEntryPointMissing = 4,
};

class TSelvatDll {
 public:
  using ZipGetVersionProc = uint16_t(SELVAT_WINAPI*)();
  using ZipGetRunningProc = int32_t(SELVAT_WINAPI*)();
  using ZipProc = int32_t(SELVAT_WINAPI*)(void* window, const char* commandLine, char* output,
                                          uint32_t outputSize);
  using ZpVersionProc = void(SELVAT_WINAPI*)(void* record);

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

#include "archiver/selvat_dll.h"

namespace {
const char kZip32j[] = "zip32j.dll";
const char kZip32[] = "zip32.dll";
}  // namespace

TSelvatDll::TSelvatDll(ModuleLoader& loader) : loader_(loader) {}

TSelvatDll::~TSelvatDll() {
  if (FHandle) loader_.free(FHandle);
}

template <typename Proc>
Proc TSelvatDll::entry(const char* name, int32_t& result) {
  void* found = loader_.symbol(FHandle, name);
  if (!found) result |= kEntryPointMissing;
  return reinterpret_cast<Proc>(found);
}

int32_t TSelvatDll::Load() {
  int32_t result = 0;
  if (FHandle) loader_.free(FHandle);
  FHandle = loader_.load(kZip32j);
  if (!FHandle) result |= kZip32jMissing;
  if (ModuleLoader::Module zip32 = loader_.load(kZip32))
    loader_.free(zip32);  // a presence check only
  else
    result |= kZip32Missing;
  if (result != 0) return result;

  FZipGetVersion = entry<ZipGetVersionProc>("ZipGetVersion", result);
  FZipGetRunning = entry<ZipGetRunningProc>("ZipGetRunning", result);
  FZip = entry<ZipProc>("Zip", result);
  if (result != 0) {  // all three entries or none
    FZipGetVersion = nullptr;
    FZipGetRunning = nullptr;
    FZip = nullptr;
  }
  return result;
}

unsigned TSelvatDll::GetVersion() {
  return static_cast<uint16_t>(FZipGetVersion());
}

int TSelvatDll::GetZip32Version() {
  ModuleLoader::Module zip32 = loader_.load(kZip32);
  if (!zip32) return 0;
  int version = 0;
  if (auto zpVersion = reinterpret_cast<ZpVersionProc>(loader_.symbol(zip32, "ZpVersion"))) {
    unsigned char record[ZP_VERSION_RECORD_SIZE] = {};
    zpVersion(record);
    version = record[56] * 100 + record[57] * 10 + record[58];
  }
  loader_.free(zip32);
  return version;
}

bool TSelvatDll::IsRunning() {
  return FZipGetRunning() == 1;
}

int32_t TSelvatDll::Execute(void* window, const char* commandLine, char* output,
                            uint32_t outputSize) {
  return FZip(window, commandLine ? commandLine : "", output, outputSize);
}

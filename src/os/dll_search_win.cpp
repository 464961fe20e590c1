#include <windows.h>

#include <string>

#include "os/dll_search.h"
#include "os/file_system.h"

namespace {
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
using AddDllDirectoryProc = void*(WINAPI*)(PCWSTR);

std::string environmentVariable(const char* name) {
  DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return {};
  std::string value(size, '\0');
  value.resize(GetEnvironmentVariableA(name, value.data(), size));
  return value;
}

// Where the system has the newer search control, the default directories
// (the program's folder and the system folders) plus each folder of PATH.
void searchDefaultDirectoriesAndPath() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  auto addDirectory = reinterpret_cast<AddDllDirectoryProc>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
  if (!setDefault || !addDirectory) return;
  std::string path = environmentVariable("PATH");
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    if (!folder.empty()) addDirectory(wideOfCodePage(folder).c_str());
    start = end + 1;
  }
  setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}
}  // namespace

void keepCurrentDirectoryOutOfDllSearch() {
  SetDllDirectoryA("");
  searchDefaultDirectoriesAndPath();
}

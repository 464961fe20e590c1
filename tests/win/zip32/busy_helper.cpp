// Runs one Zip call in a process of its own and holds it in the middle
// until told to go on: the cross-process busy test's other process.
//   zip32_busy_helper <started event> <release event> <command line>
#include <windows.h>

#include <cstdio>

#include "zip32_api.h"

namespace {

HANDLE gStarted, gRelease;

void CALLBACK holdInsideZip(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetEvent(gStarted);
  WaitForSingleObject(gRelease, 30000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 100;
  gStarted = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
  gRelease = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
  HMODULE library = LoadLibraryA("zip32j.dll");
  if (!gStarted || !gRelease || !library) return 101;
  auto zip = reinterpret_cast<ZipProc>(reinterpret_cast<void*>(GetProcAddress(library, "Zip")));
  SetTimer(nullptr, 0, 10, &holdInsideZip);
  char output[256];
  int result = zip(nullptr, argv[3], output, sizeof output);
  std::fprintf(stderr, "zip32_busy_helper: [%s] gives %d: %s\n", argv[3], result, output);
  FreeLibrary(library);
  CloseHandle(gStarted);
  CloseHandle(gRelease);
  return result;
}

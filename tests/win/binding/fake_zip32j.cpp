// A stand-in for zip32j.dll whose answers are set when it is built, so
// that the binding can be tried against every way a library can be.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#ifndef FAKE_VERSION
#define FAKE_VERSION 108
#endif
#ifndef FAKE_RUNNING
#define FAKE_RUNNING 0
#endif

extern "C" {

__declspec(dllexport) DWORD WINAPI ZipGetVersion() {
  return FAKE_VERSION;
}

#ifndef FAKE_OMIT_RUNNING
__declspec(dllexport) BOOL WINAPI ZipGetRunning() {
  return FAKE_RUNNING;
}
#endif

namespace {
// What the owner's status bar says, how many items its first list box has,
// and whether the caller shows the wait cursor.
void describeOwner(HWND owner, FILE* file) {
  char text[512] = "";
  HWND bar = FindWindowExA(owner, nullptr, "msctls_statusbar32", nullptr);
  if (bar) SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  HWND list = FindWindowExA(owner, nullptr, "ListBox", nullptr);
  const bool waiting = GetCursor() == LoadCursor(nullptr, IDC_WAIT);
  std::fprintf(file, "owner shows: %s, %d items%s\n", text,
               list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : -1,
               waiting ? ", wait cursor" : "");
}
}  // namespace

// Appends the command line to the file named by SELVAT_FAKE_ZIP_LOG and
// answers with the result in SELVAT_FAKE_ZIP_RESULT (0 by default) and the
// message held by the file that SELVAT_FAKE_ZIP_MESSAGE names (none by
// default; a file, since Wine cuts a variable's double-byte text short).
// With SELVAT_FAKE_ZIP_WINDOW set, it disables the owner as a library does
// that shows a window of its own, and logs what the owner shows then.
__declspec(dllexport) int WINAPI
    Zip(HWND owner, LPCSTR commandLine, LPSTR output, DWORD outputSize) {
  char value[MAX_PATH];
  if (GetEnvironmentVariableA("SELVAT_FAKE_ZIP_LOG", value, sizeof value) - 1 < sizeof value - 1) {
    if (FILE* file = std::fopen(value, "ab")) {
      std::fprintf(file, "%s\n", commandLine);
      if (GetEnvironmentVariableA("SELVAT_FAKE_ZIP_WINDOW", nullptr, 0) > 0 && owner) {
        EnableWindow(owner, FALSE);
        describeOwner(owner, file);
        EnableWindow(owner, TRUE);
      }
      std::fclose(file);
    }
  }
  if (output && outputSize) {
    output[0] = '\0';
    if (GetEnvironmentVariableA("SELVAT_FAKE_ZIP_MESSAGE", value, sizeof value) - 1 <
        sizeof value - 1) {
      if (FILE* file = std::fopen(value, "rb")) {
        output[std::fread(output, 1, outputSize - 1, file)] = '\0';
        std::fclose(file);
      }
    }
  }
  if (GetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", value, sizeof value) - 1 < sizeof value - 1)
    return std::atoi(value);
  return 0;
}
}

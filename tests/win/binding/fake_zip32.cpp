// A stand-in for zip32.dll: its version record carries the bytes it is
// built with.
#include <windows.h>

#ifndef FAKE_MAJOR
#define FAKE_MAJOR 2
#define FAKE_MINOR 3
#define FAKE_PATCH 0
#endif

extern "C" {
#ifndef FAKE_OMIT_ZPVERSION
__declspec(dllexport) void WINAPI ZpVersion(unsigned char* record) {
  record[56] = FAKE_MAJOR;
  record[57] = FAKE_MINOR;
  record[58] = FAKE_PATCH;
}
#else
__declspec(dllexport) void WINAPI ZpSomethingElse() {}
#endif
}

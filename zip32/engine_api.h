// The call between the two libraries: zip32j.dll parses the command line
// and shows the progress; zip32.dll makes the archive. Plain C types only,
// so that no C++ object or exception crosses from one module to the other.
#pragma once
#include <windows.h>

extern "C" {

// Returns 0 to go on, anything else to cancel.
typedef int(WINAPI* ZpProgressProc)(void* context, const char* name, unsigned long long done,
                                    unsigned long long total);

struct ZpArchiveRequest {
  DWORD structSize;  // sizeof(ZpArchiveRequest)
  int level;
  int junkPaths;
  const char* archive;
  DWORD inputCount;
  const char* const* inputs;
  ZpProgressProc progress;  // may be null
  void* context;
};

// The result code of the archiver; message gets a short zero-terminated text.
typedef int(WINAPI* ZpArchiveProc)(const ZpArchiveRequest* request, char* message,
                                   DWORD messageSize);
}

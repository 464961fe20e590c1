/* The call interface of zip32j.dll and zip32.dll, in C: what the libraries
   export, what the program binds to and what the tests call. Every entry
   point is WINAPI (on i686 __stdcall: the callee pops its arguments) and
   exported by its plain name. Only plain C types cross it, never a C++
   object or exception. Result codes and texts: zip32/README.md. */
#ifndef ZIP32_API_H
#define ZIP32_API_H

#include <stdint.h>

#if defined(_WIN32)
#define ZIP32_WINAPI __stdcall
#else
#define ZIP32_WINAPI
#endif

#ifdef __cplusplus
#define ZIP32_NOEXCEPT noexcept
extern "C" {
#else
#define ZIP32_NOEXCEPT
#endif

/* zip32j.dll */

/* Makes one archive from an archiver command line; 0 when it was made.
   output gets a zero-terminated message within outputSize bytes. */
typedef int32_t(ZIP32_WINAPI* ZipProc)(void* window, const char* commandLine, char* output,
                                       uint32_t outputSize);
/* The library's version times 100. */
typedef uint16_t(ZIP32_WINAPI* ZipGetVersionProc)(void);
/* 1 while a Zip call runs in any process of the session, else 0. */
typedef int32_t(ZIP32_WINAPI* ZipGetRunningProc)(void);

int32_t ZIP32_WINAPI Zip(void* window, const char* commandLine, char* output,
                         uint32_t outputSize) ZIP32_NOEXCEPT;
uint16_t ZIP32_WINAPI ZipGetVersion(void) ZIP32_NOEXCEPT;
int32_t ZIP32_WINAPI ZipGetRunning(void) ZIP32_NOEXCEPT;

/* zip32.dll */

enum { ZP_VERSION_RECORD_SIZE = 60 };

/* Fills a record of ZP_VERSION_RECORD_SIZE bytes: bytes 56, 57 and 58 are
   the engine's major, minor and patch. */
typedef void(ZIP32_WINAPI* ZpVersionProc)(void* record);

/* Called as the archive is made; returns 0 to go on, anything else to cancel. */
typedef int32_t(ZIP32_WINAPI* ZpProgressProc)(void* context, const char* name, uint64_t done,
                                              uint64_t total);

typedef struct ZpArchiveRequest {
  uint32_t structSize; /* sizeof(ZpArchiveRequest) */
  int32_t level;
  int32_t junkPaths;
  const char* archive;
  uint32_t inputCount;
  const char* const* inputs;
  ZpProgressProc progress; /* may be null */
  void* context;
} ZpArchiveRequest;

/* Makes the archive a request names: zip32j.dll's Zip after it parsed the
   command line. Returns the result code; message as Zip's output. */
typedef int32_t(ZIP32_WINAPI* ZpArchiveProc)(const ZpArchiveRequest* request, char* message,
                                             uint32_t messageSize);

void ZIP32_WINAPI ZpVersion(void* record) ZIP32_NOEXCEPT;
int32_t ZIP32_WINAPI ZpArchive(const ZpArchiveRequest* request, char* message,
                               uint32_t messageSize) ZIP32_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif

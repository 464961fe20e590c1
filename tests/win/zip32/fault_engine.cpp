// A zip32.dll whose archiving runs short of memory while it reports
// progress: the name it reports does not fit into what is left.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "tests/win/support/memory_exhausted.h"
#include "zip32_api.h"

namespace {
// A name longer than what memory still has room for.
char gName[MemoryExhausted::kSpared * 4 + 1];
}  // namespace

extern "C" {

void ZIP32_WINAPI ZpVersion(void* record) noexcept {
  std::memset(record, 0, ZP_VERSION_RECORD_SIZE);
}

std::int32_t ZIP32_WINAPI ZpArchive(const ZpArchiveRequest* request, char* message,
                                    std::uint32_t messageSize) noexcept {
  std::int32_t answer = 0;
  if (request->progress) {
    std::memset(gName, 'a', sizeof gName - 1);
    MemoryExhausted exhausted;
    answer = request->progress(request->context, gName, 1, 2);
  }
  if (message && messageSize) message[0] = '\0';
  return answer == 0 ? 0 : 6;  // a cancel, as our engine answers it
}
}

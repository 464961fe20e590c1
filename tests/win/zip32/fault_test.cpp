// zip32j.dll beside a zip32.dll that runs out of memory while it reports
// progress: the progress callback between the two may not throw (on i686
// the exception could not pass zip32.dll and would end the process).
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/support/memory_exhausted.h"
#include "zip32_api.h"

namespace {

template <typename Proc>
Proc entry(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(ProgressCallback, MemoryRunningOutInsideItEndsTheCallWithItsCode) {
  if (!MemoryExhausted::exhaustible()) GTEST_SKIP() << "only a 32-bit process runs out of memory";
  HMODULE library = LoadLibraryA("zip32j.dll");
  ASSERT_NE(library, nullptr);
  auto zip = entry<ZipProc>(library, "Zip");
  auto getRunning = entry<ZipGetRunningProc>(library, "ZipGetRunning");
  ASSERT_TRUE(zip && getRunning);
  char output[256] = "";
  EXPECT_EQ(zip(nullptr, "-6 -j out.zip in.txt", output, sizeof output), 10);
  EXPECT_STREQ(output, "メモリが足りません。");
  EXPECT_EQ(getRunning(), 0);
  FreeLibrary(library);
}

}  // namespace

// The binding against real libraries, loaded by bare name as the program
// loads them: each folder beside this test holds one way a pair of
// libraries can be.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "archiver/selvat_dll.h"
#include "os/dll_search.h"
#include "tests/win/support/exe_folder.h"

namespace {
// Libraries come from the named folder only while it lives.
class LibraryFolder {
 public:
  explicit LibraryFolder(const std::string& name) {
    SetDllDirectoryA((exeFolder() + name).c_str());
  }
  ~LibraryFolder() { SetDllDirectoryA(nullptr); }
};

bool loaded(const char* name) {
  return GetModuleHandleA(name) != nullptr;
}

struct BindingCase {
  const char* folder;
  int32_t result = 0;
  bool running = false;
  unsigned version = 0;
  int zip32Version = 0;
};

class Binding : public ::testing::TestWithParam<BindingCase> {};

TEST_P(Binding, LoadsAndAnswers) {
  const BindingCase& c = GetParam();
  LibraryFolder folder(c.folder);
  {
    TSelvatDll dll;
    ASSERT_EQ(dll.Load(), c.result);
    EXPECT_FALSE(loaded("zip32.dll")) << "zip32.dll is only checked";
    EXPECT_EQ(dll.FHandle != nullptr, (c.result & kZip32jMissing) == 0);
    if (c.result != 0) {
      EXPECT_EQ(dll.FZipGetVersion, nullptr);
      EXPECT_EQ(dll.FZipGetRunning, nullptr);
      EXPECT_EQ(dll.FZip, nullptr);
    } else {
      EXPECT_EQ(dll.IsRunning(), c.running);
      EXPECT_EQ(dll.GetVersion(), c.version);
      EXPECT_EQ(dll.GetZip32Version(), c.zip32Version);
      EXPECT_FALSE(loaded("zip32.dll"));
    }
  }
  EXPECT_FALSE(loaded("zip32j.dll")) << "released with the binding";
}

INSTANTIATE_TEST_SUITE_P(Libraries, Binding,
                         ::testing::Values(BindingCase{"both", 0, false, 108, 230},
                                           BindingCase{"none", 3},
                                           BindingCase{"zip32j_only", kZip32Missing},
                                           BindingCase{"zip32_only", kZip32jMissing},
                                           BindingCase{"no_running", kEntryPointMissing},
                                           BindingCase{"running1", 0, true, 108, 230},
                                           BindingCase{"running2", 0, false, 108, 230},
                                           BindingCase{"running_minus1", 0, false, 108, 230},
                                           BindingCase{"high_bits", 0, false, 0x0108, 230},
                                           BindingCase{"version_1_12_3", 0, false, 108, 223},
                                           BindingCase{"no_zpversion", 0, false, 108, 0}),
                         [](const auto& info) { return std::string(info.param.folder); });

TEST(Binding, ExecutePassesTheCallThrough) {
  LibraryFolder folder("both");
  TSelvatDll dll;
  ASSERT_EQ(dll.Load(), 0);
  std::string log = exeFolder() + "zip-calls.log";
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_LOG", log.c_str());
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", "7");
  char output[256];
  EXPECT_EQ(dll.Execute(nullptr, "-6 -j \"C:\\a.zip\" \"C:\\a.txt\"", output, sizeof output), 7);
  EXPECT_EQ(dll.Execute(nullptr, nullptr, output, sizeof output), 7) << "null goes as empty text";
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_LOG", nullptr);
  SetEnvironmentVariableA("SELVAT_FAKE_ZIP_RESULT", nullptr);
  std::ifstream calls(log);
  std::string first, second;
  std::getline(calls, first);
  std::getline(calls, second);
  EXPECT_EQ(first, "-6 -j \"C:\\a.zip\" \"C:\\a.txt\"");
  EXPECT_EQ(second, "");
}

// With the current directory out of the search order, a library planted
// there is not picked up.
TEST(Binding, IgnoresLibrariesInTheCurrentDirectory) {
  std::string before(MAX_PATH, '\0');
  before.resize(GetCurrentDirectoryA(MAX_PATH, before.data()));
  ASSERT_TRUE(SetCurrentDirectoryA((exeFolder() + "both").c_str()));
  keepCurrentDirectoryOutOfDllSearch();
  TSelvatDll dll;
  EXPECT_EQ(dll.Load(), kZip32jMissing | kZip32Missing);
  SetCurrentDirectoryA(before.c_str());
}
}  // namespace

// Inputs that once made a fuzz target fail (tools/fuzz), run through the
// same checks on every test run.
#include <dirent.h>
#include <gtest/gtest.h>

#include <memory>

#include "fuzz_checks.h"
#include "zip_check.h"

namespace zip32 {
namespace {

TEST(FuzzRegressionTest, InputsThatOnceFailedPassTheirChecks) {
  struct Target {
    const char* folder;
    std::string (*check)(const std::uint8_t*, std::size_t);
  } targets[] = {
      {"archive_update", fuzz::checkArchiveUpdate},
      {"command_line", fuzz::checkCommandLine},
      {"pattern", fuzz::checkPattern},
  };
  for (const Target& target : targets) {
    std::string folder = std::string(ZIP32_FUZZ_REGRESSIONS) + "/" + target.folder + "/";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    while (dirent* entry = dir ? readdir(dir.get()) : nullptr) {
      if (entry->d_name[0] == '.') continue;
      std::string input = test::readFile(folder + entry->d_name);
      EXPECT_EQ(target.check(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), "")
          << target.folder << "/" << entry->d_name;
    }
  }
}

}  // namespace
}  // namespace zip32

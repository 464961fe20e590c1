// Inputs the format cannot hold, and many inputs at once, over files in memory.
#include <gtest/gtest.h>

#include "engine.h"
#include "memory_file_system.h"
#include "zip_format.h"

namespace zip32 {
namespace {

using fuzz::MemoryFileSystem;

const ShiftJis kShiftJis;

std::string repeat(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

Outcome archive(MemoryFileSystem& files, std::vector<std::string> patterns) {
  NoProgress progress;
  return makeArchive({6, true, "/out/x.zip", std::move(patterns)}, files, kShiftJis, progress);
}

TEST(LimitsTest, ANameNoHeaderCanHoldIsRefusedAndTheArchiveStays) {
  struct Case {
    const char* what;
    std::string name;
    bool fits;
  } cases[] = {
      {"long Japanese name, its UTF-8 form fits", repeat("表", 10000) + ".txt", true},
      {"the Unicode Path field would be too long", repeat("表", 21840) + ".txt", false},
      {"the name itself is too long", repeat("a", 65536), false},
      {"the longest name without a Unicode Path field", repeat("a", 65535), true},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files;
    files.put("/in/old.txt", "old");
    ASSERT_EQ(archive(files, {"/in/old.txt"}).code, ResultCode::Ok);
    std::string before = files.files().at("/out/x.zip");
    files.put("/in/" + c.name, "new");
    Outcome outcome = archive(files, {"/in/" + c.name});
    if (c.fits) {
      ASSERT_EQ(outcome.code, ResultCode::Ok) << c.what << ": " << outcome.message;
      std::unique_ptr<FileReader> file = files.openRead("/out/x.zip");
      EXPECT_EQ(readExistingArchive(*file, "x.zip").directory.entries.back().name, c.name)
          << c.what;
    } else {
      EXPECT_EQ(outcome.code, ResultCode::BadCommandLine) << c.what;
      EXPECT_EQ(files.files().at("/out/x.zip"), before) << c.what;
    }
    EXPECT_EQ(files.files().size(), 3u) << c.what << ": no temporary file";
  }
}

TEST(LimitsTest, ManyInputsResolveEachOnceAndNamesCollideWithoutRegardToCase) {
  MemoryFileSystem files;
  std::vector<std::string> patterns;
  for (int i = 0; i < 20000; ++i) {
    files.put("/in/f" + std::to_string(i) + ".txt", "");
    patterns.push_back("/in/f" + std::to_string(i) + ".txt");
  }
  patterns.push_back("/in/f*.txt");  // every file again: the same files, no second entry
  EXPECT_EQ(resolveInputs({6, true, "/out/x.zip", patterns}, files, kShiftJis).size(), 20000u);
  files.put("/other/F7.TXT", "");
  patterns.push_back("/other/F7.TXT");  // another file under a name already taken
  EXPECT_EQ(archive(files, patterns).code, ResultCode::BadCommandLine);
}

}  // namespace
}  // namespace zip32

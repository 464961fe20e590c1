#include "input/folder_walk.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fake_file_system.h"
#include "input/spelled_path.h"

namespace {

using Paths = std::vector<std::string>;

Paths listed(FakeFileSystem& files, const std::string& folder, bool includeSubfolders,
             KeyState& keys) {
  Paths admitted;
  listFolder(
      folder, includeSubfolders, files, keys,
      [&](const std::string& path) { admitted.push_back(path); },
      [&](const std::string& path, const std::string& reason) {
        admitted.push_back("refused " + path + ": " + reason);
      });
  EXPECT_EQ(files.openSearches, 0);
  return admitted;
}

Paths listed(FakeFileSystem& files, const std::string& folder, bool includeSubfolders) {
  FakeKeyState keys;
  return listed(files, folder, includeSubfolders, keys);
}

TEST(CountsAsFolder, OnlyTheBareDirectoryValue) {
  EXPECT_TRUE(countsAsFolder(16));
  for (FileAttributes other : {0u, 1u, 17u, 18u, 48u, 1040u, 2064u, 0xFFFFFFFFu})
    EXPECT_FALSE(countsAsFolder(other)) << other;
}

struct FilterCase {
  FileAttributes attributes;
  Paths withoutSubfolders;
  Paths withSubfolders;  // "C:\T\e\inner" means e was entered
};

const FilterCase kFilterCases[] = {
    {32, {"C:\\T\\e"}, {"C:\\T\\e"}},         // archive
    {0, {"C:\\T\\e"}, {"C:\\T\\e"}},          // no bits at all
    {1, {"C:\\T\\e"}, {"C:\\T\\e"}},          // read-only
    {2, {"C:\\T\\e"}, {"C:\\T\\e"}},          // hidden file
    {4, {"C:\\T\\e"}, {"C:\\T\\e"}},          // system file
    {2048 | 32, {"C:\\T\\e"}, {"C:\\T\\e"}},  // compressed file
    {8, {}, {}},                              // volume label
    {16, {}, {"C:\\T\\e\\inner"}},            // plain folder: entered
    {17, {}, {"C:\\T\\e"}},                   // read-only folder
    {18, {}, {"C:\\T\\e"}},                   // hidden folder
    {48, {}, {"C:\\T\\e"}},                   // archive folder
    {1040, {}, {"C:\\T\\e"}},                 // junction
};

TEST(ListFolder, AttributeFilterWithAndWithoutSubfolders) {
  for (const FilterCase& c : kFilterCases) {
    FakeFileSystem files;
    files.answer("C:\\T\\*.*", {{".", 16}, {"..", 16}, {"e", c.attributes}});
    files.answer("C:\\T\\e\\*.*", {{".", 16}, {"..", 16}, {"inner", 32}});
    EXPECT_EQ(listed(files, "C:\\T", false), c.withoutSubfolders) << c.attributes;
    EXPECT_EQ(listed(files, "C:\\T", true), c.withSubfolders) << c.attributes;
  }
}

TEST(ListFolder, DepthFirstInListingOrder) {
  FakeFileSystem files;
  files.answer("C:\\T\\*.*", {{".", 16}, {"..", 16}, {"a.txt", 32}, {"sub", 16}, {"z.txt", 32}});
  files.answer("C:\\T\\sub\\*.*", {{".", 16}, {"..", 16}, {"deep", 16}, {"m.txt", 32}});
  files.answer("C:\\T\\sub\\deep\\*.*", {{"x.txt", 2}});

  EXPECT_EQ(listed(files, "C:\\T", true), (Paths{"C:\\T\\a.txt", "C:\\T\\sub\\deep\\x.txt",
                                                 "C:\\T\\sub\\m.txt", "C:\\T\\z.txt"}));
  EXPECT_EQ(listed(files, "C:\\T", false), (Paths{"C:\\T\\a.txt", "C:\\T\\z.txt"}));
}

TEST(ListFolder, OneBackslashBetweenFolderAndName) {
  struct {
    std::string folder, pattern;
  } cases[] = {
      {"C:\\T", "C:\\T\\*.*"},     {"C:\\T\\", "C:\\T\\*.*"},
      {"C:\\", "C:\\*.*"},         {"C:\\表", "C:\\表\\*.*"},  // 表 ends in the byte of "\"
      {"C:\\ソ\\", "C:\\ソ\\*.*"}, {"", "\\*.*"},
  };
  for (const auto& c : cases) {
    FakeFileSystem files;
    files.answer(c.pattern, {{"a.txt", 32}});
    EXPECT_EQ(listed(files, c.folder, false),
              (Paths{c.pattern.substr(0, c.pattern.size() - 3) + "a.txt"}))
        << c.folder;
  }
}

// Names the code page cannot spell (café, 简体, 😀): reached by their short
// names, which reach sub-folders too; refused where there is none.
TEST(ListFolder, EntriesTheCodePageCannotSpell) {
  FakeFileSystem files;
  files.answer("C:\\T\\*.*", {{"cafe.txt", 32, false, "CAF_~CRT.TXT"},
                              {"?体", 16, false, "__~~~M2X"},
                              {"??.txt", 32, false, ""},
                              {"表.txt", 32}});
  files.answer("C:\\T\\__~~~M2X\\*.*", {{"plain.txt", 32}});
  EXPECT_EQ(listed(files, "C:\\T", true),
            (Paths{"C:\\T\\CAF_~CRT.TXT", "C:\\T\\__~~~M2X\\plain.txt",
                   "refused C:\\T\\??.txt: " + std::string(kNoShortName), "C:\\T\\表.txt"}));
}

TEST(ListFolder, AFolderThatCannotBeListedAddsNothing) {
  FakeFileSystem files;
  EXPECT_EQ(listed(files, "C:\\Missing", true), Paths{});
}

// C:\T holds ., .., a, sub (b, deep (c, d), e) and f: the polls, one before
// each entry, are numbered . 1, .. 2, a 3, sub 4, b 5, deep 6, c 7, d 8, e 9,
// f 10.
class EscapeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.answer("C:\\T\\*.*", {{".", 16}, {"..", 16}, {"a", 32}, {"sub", 16}, {"f", 32}});
    files.answer("C:\\T\\sub\\*.*", {{"b", 32}, {"deep", 16}, {"e", 32}});
    files.answer("C:\\T\\sub\\deep\\*.*", {{"c", 32}, {"d", 32}});
  }
  FakeFileSystem files;
};

TEST_F(EscapeTest, PolledBeforeEveryEntry) {
  FakeKeyState keys;
  listed(files, "C:\\T", true, keys);
  EXPECT_EQ(keys.polls, 10);
}

TEST_F(EscapeTest, StopsTheFolderBeingListedAndEveryParentWhileHeld) {
  struct {
    const char* what;
    std::vector<int> downAt;
    bool held;
    Paths admitted;
  } cases[] = {
      {"down at the first entry", {1}, true, {}},
      {"held from before d", {8}, true, {"C:\\T\\a", "C:\\T\\sub\\b", "C:\\T\\sub\\deep\\c"}},
      {"tapped before d: only deep ends",
       {8},
       false,
       {"C:\\T\\a", "C:\\T\\sub\\b", "C:\\T\\sub\\deep\\c", "C:\\T\\sub\\e", "C:\\T\\f"}},
  };
  for (const auto& c : cases) {
    FakeFileSystem tree = files;
    FakeKeyState keys(c.downAt, c.held);
    EXPECT_EQ(listed(tree, "C:\\T", true, keys), c.admitted) << c.what;
  }
}

TEST_F(EscapeTest, FirstEntryOpensNoSubfolder) {
  FakeKeyState keys({1}, true);
  listed(files, "C:\\T", true, keys);
  EXPECT_EQ(files.patterns, Paths{"C:\\T\\*.*"});
  EXPECT_EQ(keys.polls, 1);
}

TEST(ListFolder, AFailedAdmissionEndsTheListingAndClosesEverySearch) {
  FakeFileSystem files;
  files.answer("C:\\T\\*.*", {{"sub", 16}, {"later", 32}});
  files.answer("C:\\T\\sub\\*.*", {{"a", 32}, {"b", 32}, {"c", 32}});
  FakeKeyState keys;
  Paths admitted;
  auto admit = [&](const std::string& path) {
    if (admitted.size() == 2) throw std::runtime_error("full");
    admitted.push_back(path);
  };
  EXPECT_THROW(listFolder("C:\\T", true, files, keys, admit, {}), std::runtime_error);
  EXPECT_EQ(admitted, (Paths{"C:\\T\\sub\\a", "C:\\T\\sub\\b"}));
  EXPECT_EQ(files.openSearches, 0);
}

}  // namespace

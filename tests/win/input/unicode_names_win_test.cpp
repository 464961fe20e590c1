// Names the code page cannot spell, on the real file system: every one is
// reached by a code-page path, and the best fit (café.txt as cafe.txt)
// never stands in for it, even where it names another file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "input/command_line.h"
#include "input/folder_walk.h"
#include "input/long_path.h"
#include "input/spelled_path.h"
#include "os/file_system.h"

namespace {

using Paths = std::vector<std::string>;

class NoEscape : public KeyState {
 public:
  bool escapeDown() override { return false; }
};

// What each file holds, by its name relative to the root (UTF-8).
const std::map<std::string, std::string> kFiles = {
    {u8"café.txt", "the cafe with an accent"},
    {u8"cafe.txt", "the plain cafe"},
    {u8"简体\\plain.txt", "inside a simplified Chinese folder"},
    {u8"😀.txt", "an emoji"},
    {u8"한국어.txt", "Korean"},
    {u8"表.txt", "spelled exactly"},
};

std::string contentsAt(const std::string& codePagePath) {
  HANDLE file = CreateFileA(codePagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot open " + codePagePath + ")";
  char buffer[256];
  DWORD got = 0;
  ReadFile(file, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(file);
  return std::string(buffer, got);
}

class UnicodeNames : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    wchar_t longTemp[MAX_PATH + 1];
    GetLongPathNameW(temp, longTemp, MAX_PATH + 1);
    root = utf8Of(longTemp) + "selvat-names-" + std::to_string(GetCurrentProcessId());
    codePageRoot = systemFileSystem().codePageForm(root).text;
    CreateDirectoryW(wideOf(root).c_str(), nullptr);
    CreateDirectoryW(wideOf(root + u8"\\简体").c_str(), nullptr);
    for (const auto& [name, contents] : kFiles) {
      HANDLE file = CreateFileW(wideOf(root + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
      DWORD written = 0;
      WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
      CloseHandle(file);
    }
  }

  static void TearDownTestSuite() {
    for (const auto& entry : kFiles) DeleteFileW(wideOf(root + "\\" + entry.first).c_str());
    RemoveDirectoryW(wideOf(root + u8"\\简体").c_str());
    RemoveDirectoryW(wideOf(root).c_str());
  }

  static std::string allContents() {
    std::vector<std::string> all;
    for (const auto& entry : kFiles) all.push_back(entry.second);
    std::sort(all.begin(), all.end());
    std::string joined;
    for (const std::string& text : all) joined += text + "|";
    return joined;
  }

  inline static std::string root;          // UTF-8
  inline static std::string codePageRoot;  // the same, spelled exactly
};

TEST_F(UnicodeNames, CodePageFormsExactBestFitAndUnmappable) {
  struct {
    std::string utf8;
    CodePageText form;
  } cases[] = {
      {u8"表ソ ｶﾅ.txt", {"表ソ ｶﾅ.txt", true}},
      {u8"café.txt", {"cafe.txt", false}},  // a best fit: another name
      {u8"简体", {"?体", false}},           // 简 has no form at all
      {u8"😀", {"??", false}},               // one "?" for each half of the pair
      {"", {"", true}},
  };
  for (const auto& c : cases) {
    CodePageText form = systemFileSystem().codePageForm(c.utf8);
    EXPECT_EQ(form.text, c.form.text) << c.form.text;
    EXPECT_EQ(form.exact, c.form.exact) << c.form.text;
  }
}

TEST_F(UnicodeNames, AListingReachesEveryFileAndNoTwin) {
  NoEscape keys;
  Paths admitted, refused;
  listFolder(
      codePageRoot, true, systemFileSystem(), keys,
      [&](const std::string& path) { admitted.push_back(path); },
      [&](const std::string& path, const std::string&) { refused.push_back(path); });
  EXPECT_EQ(refused, Paths{});
  std::vector<std::string> contents;
  for (const std::string& path : admitted) contents.push_back(contentsAt(path));
  std::sort(contents.begin(), contents.end());
  std::string joined;
  for (const std::string& text : contents) joined += text + "|";
  EXPECT_EQ(joined, allContents());
  EXPECT_NE(std::find(admitted.begin(), admitted.end(), codePageRoot + "\\表.txt"), admitted.end())
      << "a name spelled exactly stays long";
}

TEST_F(UnicodeNames, SpelledPathsReachTheFilesTheyName) {
  for (const auto& [name, contents] : kFiles) {
    SpelledPath spelled = spellPath(root + "\\" + name, systemFileSystem());
    EXPECT_EQ(spelled.refusal, "") << spelled.item;
    EXPECT_EQ(contentsAt(spelled.item), contents) << spelled.item;
  }
  SpelledPath inside = spellPath(root + u8"\\简体\\plain.txt", systemFileSystem());
  EXPECT_EQ(inside.item.rfind(codePageRoot + "\\", 0), 0u) << "the root keeps its long name";
  EXPECT_EQ(inside.item.substr(inside.item.size() - 10), "\\plain.txt");
  SpelledPath missing = spellPath(root + u8"\\없음.txt", systemFileSystem());
  EXPECT_EQ(missing.refusal, kUnspellableMissing);
}

// The long-name walk keeps the short name where the long one has no
// spelling; the command line comes in UTF-8 with names of any script.
TEST_F(UnicodeNames, CommandLineArgumentsReachTheirFiles) {
  const std::string folder = spellPath(root + u8"\\简体", systemFileSystem()).item;
  ASSERT_NE(folder.find('~'), std::string::npos) << folder;
  std::string upper = folder + "\\PLAIN.TXT";
  EXPECT_EQ(ExpandLongPath(upper, systemFileSystem()), folder + "\\plain.txt");

  std::string previous(MAX_PATH, '\0');
  previous.resize(GetCurrentDirectoryA(MAX_PATH, previous.data()));
  ASSERT_TRUE(SetCurrentDirectoryW(wideOf(root).c_str()));
  Paths files, folders, refused;
  addCommandLineArguments(
      u8"selvat.exe café.txt \"简体\" 😀.txt 없음.txt", systemFileSystem(),
      [&](const std::string& p) { files.push_back(p); },
      [&](const std::string& p) { folders.push_back(p); },
      [&](const std::string& p, const std::string&) { refused.push_back(p); });
  SetCurrentDirectoryA(previous.c_str());
  ASSERT_EQ(files.size(), 2u);
  const std::string& cafe = kFiles.at(u8"café.txt");
  const std::string& emoji = kFiles.at(u8"😀.txt");
  EXPECT_EQ(contentsAt(files[0]), cafe);
  EXPECT_EQ(contentsAt(files[1]), emoji);
  EXPECT_EQ(folders, Paths{folder});
  EXPECT_EQ(refused, Paths{"??.txt"});
}

}  // namespace

// The Win32 file system and the walks over it, on a real folder tree made in
// the temporary folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "input/command_line.h"
#include "input/folder_walk.h"
#include "input/long_path.h"
#include "os/file_system.h"

namespace {

using Paths = std::vector<std::string>;

class NoEscape : public KeyState {
 public:
  bool escapeDown() override { return false; }
};

// Makes a folder the current one for its lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& folder)
      : previous_(GetCurrentDirectoryA(0, nullptr), '\0') {
    previous_.resize(GetCurrentDirectoryA(static_cast<DWORD>(previous_.size()), previous_.data()));
    EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(previous_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::string previous_;
};

std::string longForm(const std::string& path) {
  std::string buffer(GetLongPathNameA(path.c_str(), nullptr, 0), '\0');
  buffer.resize(GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())));
  return buffer;
}

std::string shortForm(const std::string& path) {
  std::string buffer(GetShortPathNameA(path.c_str(), nullptr, 0), '\0');
  buffer.resize(GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())));
  return buffer;
}

//   root\a.txt, root\Long File Name.txt, root\h.txt (hidden),
//   root\sub\inner.txt, root\表\x.txt, root\hid (hidden folder, 18)\y.txt
// (Wine ignores the read-only bit of a folder, so the folder that carries a
// second bit is a hidden one here.)
class FolderTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string temp(MAX_PATH + 1, '\0');
    temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
    root = longForm(temp) + "selvat-input-" + std::to_string(GetCurrentProcessId());
    makeFolder(root);
    for (const char* file : {"a.txt", "Long File Name.txt", "h.txt"}) makeFile(root + "\\" + file);
    SetFileAttributesA((root + "\\h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const char* folder : {"sub", "表", "hid"}) makeFolder(root + "\\" + folder);
    makeFile(root + "\\sub\\inner.txt");
    makeFile(root + "\\表\\x.txt");
    makeFile(root + "\\hid\\y.txt");
    SetFileAttributesA((root + "\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  }

  static void TearDownTestSuite() {
    SetFileAttributesA((root + "\\hid").c_str(), FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesA((root + "\\h.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const char* file :
         {"sub\\inner.txt", "表\\x.txt", "hid\\y.txt", "a.txt", "Long File Name.txt", "h.txt"})
      DeleteFileA((root + "\\" + file).c_str());
    for (const char* folder : {"sub", "表", "hid", ""})
      RemoveDirectoryA((root + "\\" + folder).c_str());
  }

  static void makeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
  }
  static void makeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
  }

  static Paths listedSorted(const std::string& folder, bool includeSubfolders) {
    NoEscape keys;
    Paths admitted;
    listFolder(
        folder, includeSubfolders, systemFileSystem(), keys,
        [&](const std::string& path) { admitted.push_back(path); },
        [&](const std::string& path, const std::string&) {
          admitted.push_back("refused " + path);
        });
    std::sort(admitted.begin(), admitted.end());
    return admitted;
  }

  static std::string at(const std::string& relative) { return root + "\\" + relative; }

  inline static std::string root;
};

TEST_F(FolderTree, AttributesOfTheTree) {
  FileSystem& files = systemFileSystem();
  EXPECT_EQ(files.attributesOf(at("sub")), 16u);
  EXPECT_EQ(files.attributesOf(at("表")), 16u);
  EXPECT_EQ(files.attributesOf(at("hid")), 18u);
  EXPECT_EQ(files.attributesOf(at("h.txt")) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(files.attributesOf(at("missing")), 0xFFFFFFFFu);
}

TEST_F(FolderTree, ListsFilesHiddenIncludedWithoutSubfolders) {
  EXPECT_EQ(listedSorted(root, false), (Paths{at("Long File Name.txt"), at("a.txt"), at("h.txt")}));
}

TEST_F(FolderTree, EntersPlainFoldersAndAdmitsAHiddenOneAsAnEntry) {
  EXPECT_EQ(listedSorted(root + "\\", true),
            (Paths{at("Long File Name.txt"), at("a.txt"), at("h.txt"), at("hid"),
                   at("sub\\inner.txt"), at("表\\x.txt")}));
}

TEST_F(FolderTree, AFolderEndingIn表IsListed) {
  EXPECT_EQ(listedSorted(at("表"), false), Paths{at("表\\x.txt")});
}

TEST_F(FolderTree, SearchOfNothingYieldsNothing) {
  FileEntry entry;
  EXPECT_FALSE(systemFileSystem().search(at("missing\\*.*"))->next(entry));
  EXPECT_FALSE(systemFileSystem().search("")->next(entry));
}

TEST_F(FolderTree, ShortNamesBecomeLongOnes) {
  const std::string file = at("Long File Name.txt");
  const std::string shortFile = shortForm(file);
  ASSERT_FALSE(shortFile.empty());
  ASSERT_NE(shortFile, file);
  EXPECT_EQ(ExpandLongPath(shortFile, systemFileSystem()), file);

  std::string upper = file;
  CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  EXPECT_EQ(ExpandLongPath(upper, systemFileSystem()), file) << "stored case";
  EXPECT_EQ(ExpandLongPath(at("表\\X.TXT"), systemFileSystem()), at("表\\x.txt"));
  EXPECT_EQ(ExpandLongPath(at("nosuch\\x.txt"), systemFileSystem()), at("nosuch\\x.txt"));
}

TEST_F(FolderTree, RelativeArgumentsNameThePathInTheCurrentFolder) {
  CurrentDirectory inRoot(root);

  Paths log;
  addCommandLineArguments(
      u8"selvat.exe \"long file name.txt\" SUB \"sub/INNER.TXT\" 表\\x.txt not-here.txt",
      systemFileSystem(), [&](const std::string& p) { log.push_back("file " + p); },
      [&](const std::string& p) { log.push_back("folder " + p); },
      [&](const std::string& p, const std::string&) { log.push_back("refused " + p); });

  EXPECT_EQ(log, (Paths{"file " + at("Long File Name.txt"), "folder " + at("sub"),
                        "file " + at("sub\\inner.txt"), "file " + at("表\\x.txt"),
                        "file " + at("not-here.txt")}));
}

// Wine's GetFullPathNameA fails for a result beyond MAX_PATH; then the path
// stays as given, but it is never cut.
TEST_F(FolderTree, FullPathIsWholeOrUnchanged) {
  CurrentDirectory inRoot(root);
  FileSystem& files = systemFileSystem();
  EXPECT_EQ(files.fullPathOf("x.txt"), at("x.txt"));
  EXPECT_EQ(files.fullPathOf("sub/../x.txt"), at("x.txt"));
  for (size_t length : {200u, 250u, 300u}) {
    std::string relative(length, 'n');
    std::string full = files.fullPathOf(relative);
    EXPECT_TRUE(full == relative || full == at(relative)) << length << ": " << full;
  }
  EXPECT_EQ(files.fullPathOf(""), "");
}

}  // namespace

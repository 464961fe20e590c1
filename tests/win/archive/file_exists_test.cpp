// The existence test for archives on a real folder tree: a folder that
// bears an archive's name is no archive.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/batch_run.h"

namespace {

// A fresh folder under the temporary folder, removed with what it holds.
class ScratchFolder {
 public:
  ScratchFolder() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    EXPECT_TRUE(length > 0 && length < sizeof temp);
    path_ = std::string(temp, length) + "selvat_exists_" + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
  }
  ~ScratchFolder() {
    for (const std::string& name : made_) {
      const std::string full = at(name);
      if (!DeleteFileA(full.c_str())) RemoveDirectoryA(full.c_str());
    }
    RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string at(const std::string& name) const { return path_ + "\\" + name; }
  void makeFile(const std::string& name) {
    HANDLE file = CreateFileA(at(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    made_.push_back(name);
  }
  void makeFolder(const std::string& name) {
    ASSERT_TRUE(CreateDirectoryA(at(name).c_str(), nullptr));
    made_.push_back(name);
  }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

TEST(FileExistsAt, OnlyFilesCount) {
  ScratchFolder folder;
  folder.makeFile("表.zip");
  folder.makeFolder("ソフト.zip");
  folder.makeFile("ro.zip");
  SetFileAttributesA(folder.at("ro.zip").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(fileExistsAt(folder.at("表.zip")));
  EXPECT_TRUE(fileExistsAt(folder.at("ro.zip")));
  EXPECT_FALSE(fileExistsAt(folder.at("ソフト.zip")));
  EXPECT_FALSE(fileExistsAt(folder.at("missing.zip")));

  SetFileAttributesA(folder.at("ro.zip").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

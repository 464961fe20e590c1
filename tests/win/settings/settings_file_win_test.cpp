// The settings sequences over the platform's real profile functions, in a
// temporary folder whose name has double-byte characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "os/profile.h"
#include "settings/module_path.h"
#include "settings/settings_file.h"
#include "tests/unit/settings/stored_options_test_support.h"

namespace {

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder under the temporary folder, removed with what the test
// left in it.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    std::string temp(MAX_PATH + 1, '\0');
    temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
    path_ = temp + name + "\\";
    removeTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { removeTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  static void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          removeTree(folder + name + "\\");
        else
          DeleteFileA((folder + name).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
  }

  std::string path_;
};

class SettingsFile : public ::testing::Test {
 protected:
  // One folder per test: the platform caches profile files by path.
  TempFolder folder{std::string("selvat設定表_") +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  std::string iniPath = folder.path() + "selvat.ini";
  PrivateProfileFile profile{iniPath};
};

TEST_F(SettingsFile, ReadsStoredValuesAndKeepsTheRestOfTheFile) {
  writeFileBytes(iniPath,
                 "[Other]\r\nArcRate=2\r\n"
                 "[Option]\r\nOutDirCheck=1\r\nOutDirEdit=C:\\出力\\表\\\r\nArcRate=0x9\r\n"
                 "NoDialog=-1\r\nArcName=3\r\nInputSubDir=true\r\nExtra=kept\r\n");
  StoredOptions read = readSettings(profile);
  EXPECT_EQ(read, (StoredOptions{true, "C:\\出力\\表\\", 9, true, 3, false}));

  read.ArcRate = 1;
  read.InputSubDir = true;
  writeSettings(profile, read);
  std::string bytes = fileBytes(iniPath);
  EXPECT_NE(bytes.find("[Other]\r\nArcRate=2\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Extra=kept"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("ArcRate=1\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("InputSubDir=1\r\n"), std::string::npos) << bytes;
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndIsCreatedByTheFirstWrite) {
  EXPECT_EQ(readSettings(profile), (StoredOptions{false, "", 6, false, 1, false}));
  EXPECT_FALSE(exists(iniPath)) << "reading made a file";

  writeSettings(profile, StoredOptions{true, "C:\\Archive\\", 9, true, 3, false});
  EXPECT_EQ(fileBytes(iniPath),
            "[Option]\r\nOutDirCheck=1\r\nOutDirEdit=C:\\Archive\\\r\nArcRate=9\r\n"
            "NoDialog=1\r\nArcName=3\r\nInputSubDir=0\r\n");
}

TEST_F(SettingsFile, ShiftJisFolderRoundTripsByteForByte) {
  // 表 and ソ end in the byte of "\"; 出力 has none.
  const std::string outputFolder = "C:\\出力\\表\\ソフト\\";
  StoredOptions options;
  options.OutDirEdit = outputFolder;
  writeSettings(profile, options);
  EXPECT_NE(fileBytes(iniPath).find("OutDirEdit=" + outputFolder + "\r\n"), std::string::npos);
  EXPECT_EQ(readSettings(PrivateProfileFile(iniPath)).OutDirEdit, outputFolder);
}

TEST_F(SettingsFile, ValueLongerThanTheBufferIsCutToWholeCharacters) {
  const std::string ascii = "C:\\" + std::string(3000, 'a');
  const std::string kanji = repeated("表", 1500);  // the cut falls inside a 表
  writeFileBytes(iniPath, "[Option]\r\nOutDirEdit=" + ascii + "\r\nKanji=" + kanji + "\r\n");
  EXPECT_EQ(profile.readText("Option", "OutDirEdit", ""), ascii.substr(0, 2047));
  EXPECT_EQ(readSettings(profile).OutDirEdit, ascii.substr(0, 2047));
  EXPECT_EQ(profile.readText("Option", "Kanji", ""), kanji.substr(0, 2046));
}

TEST_F(SettingsFile, FailedWriteIsReportedWithTheFullPath) {
  // A folder where the file should be: the platform cannot write it, also
  // for an administrator.
  CreateDirectoryA(iniPath.c_str(), nullptr);
  try {
    writeSettings(profile, StoredOptions{});
    FAIL() << "no error for an unwritable file";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(error.what(), iniPath + " に書き込めません");
  }
}

TEST_F(SettingsFile, FileInAMissingFolderIsReportedNotCreated) {
  const std::string missing = folder.path() + "無い\\selvat.ini";
  PrivateProfileFile nowhere(missing);
  EXPECT_THROW(writeSettings(nowhere, StoredOptions{}), SettingsWriteError);
  EXPECT_FALSE(exists(missing));
}

TEST(ModulePath, SettingsFileIsBesideTheExecutableWhateverTheCurrentFolder) {
  TempFolder elsewhere("selvat別の場所");
  ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.path().c_str()));
  std::string iniPath = settingsFilePath(modulePath());
  std::string folder = iniPath.substr(0, iniPath.size() - std::string("selvat.ini").size());
  EXPECT_EQ(iniPath.substr(folder.size()), "selvat.ini");
  EXPECT_TRUE(exists(folder + "win_settings.exe")) << iniPath;
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
}

}  // namespace

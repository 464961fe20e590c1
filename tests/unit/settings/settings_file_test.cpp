#include "settings/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_profile.h"
#include "stored_options_test_support.h"

namespace {

using ::testing::ElementsAre;

const std::vector<std::string> keyOrder = {"OutDirCheck", "OutDirEdit", "ArcRate",
                                           "NoDialog",    "ArcName",    "InputSubDir"};

TEST(SettingsFilePath, BesideTheExecutable) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Selvat\\selvat.exe", "C:\\Program Files\\Selvat\\selvat.ini"},
      {"C:\\ソフト\\表\\selvat.exe", "C:\\ソフト\\表\\selvat.ini"},
      // The "\" byte that ends 表 is no delimiter.
      {"C:\\表selvat.exe", "C:\\selvat.ini"},
      {"C:selvat.exe", "C:selvat.ini"},
      {"\\\\server\\share\\selvat.exe", "\\\\server\\share\\selvat.ini"},
      {"selvat.exe", "selvat.ini"},
  };
  for (const auto& [module, expected] : cases) EXPECT_EQ(settingsFilePath(module), expected);
}

TEST(ItemTags, NumbersWithoutAnItemShowTheDefaultItem) {
  for (std::int32_t level = 1; level <= 9; ++level) EXPECT_EQ(levelItemTag(level), level);
  for (std::int32_t level : {0, -3, 10, 12, INT32_MIN, INT32_MAX})
    EXPECT_EQ(levelItemTag(level), 6);
  for (std::int32_t mode = 1; mode <= 3; ++mode) EXPECT_EQ(namingItemTag(mode), mode);
  for (std::int32_t mode : {0, 4, 7, -1}) EXPECT_EQ(namingItemTag(mode), 1);
}

class ReadSettings : public ::testing::Test {
 protected:
  void store(const std::string& key, const std::string& text) {
    profile.values[{"Option", key}] = text;
  }
  FakeProfile profile;
};

TEST_F(ReadSettings, NoFileGivesTheDefaultsInKeyOrder) {
  // OutDirCheck, OutDirEdit, ArcRate, NoDialog, ArcName, InputSubDir
  EXPECT_EQ(readSettings(profile), (StoredOptions{false, "", 6, false, 1, false}));
  EXPECT_EQ(profile.reads, keyOrder);
}

TEST_F(ReadSettings, StoredValuesOfTheOptionSectionOnly) {
  store("OutDirCheck", "1");
  store("OutDirEdit", "C:\\出力\\表\\");
  store("ArcRate", "0x9");
  store("NoDialog", "-1");
  store("ArcName", "3");
  store("InputSubDir", "2");
  profile.values[{"Other", "ArcName"}] = "2";
  EXPECT_EQ(readSettings(profile), (StoredOptions{true, "C:\\出力\\表\\", 9, true, 3, true}));
}

TEST_F(ReadSettings, UnreadableValuesGiveTheDefaults) {
  store("OutDirCheck", "true");
  store("ArcRate", "9abc");
  store("NoDialog", "yes");
  store("ArcName", "-");
  store("InputSubDir", "+");
  EXPECT_EQ(readSettings(profile), (StoredOptions{false, "", 6, false, 1, false}));
}

// A number without a menu item must not reach the archiver while the menu
// shows another one.
TEST_F(ReadSettings, NumbersWithoutAnItemBecomeTheShownItem) {
  const std::pair<const char*, std::int32_t> levels[] = {{"0", 6}, {"12", 6}, {"-3", 6}, {"$9", 9}};
  for (const auto& [text, expected] : levels) {
    store("ArcRate", text);
    EXPECT_EQ(readSettings(profile).ArcRate, expected) << "ArcRate=" << text;
  }
  const std::pair<const char*, std::int32_t> modes[] = {{"0", 1}, {"4", 1}, {"7", 1}, {"2", 2}};
  for (const auto& [text, expected] : modes) {
    store("ArcName", text);
    EXPECT_EQ(readSettings(profile).ArcName, expected) << "ArcName=" << text;
  }
}

TEST_F(ReadSettings, LongFolderTextIsCutTo2047BytesOfWholeCharacters) {
  const std::pair<std::string, std::size_t> cases[] = {
      {std::string(2047, 'a'), 2047},
      {std::string(3000, 'a'), 2047},
      {"a" + repeated("表", 1500), 2047},
      // Byte 2047 would be the lead byte of a 表.
      {repeated("表", 1500), 2046},
  };
  for (const auto& [text, keptBytes] : cases) {
    store("OutDirEdit", text);
    EXPECT_EQ(readSettings(profile).OutDirEdit, text.substr(0, keptBytes));
  }
}

const StoredOptions sampleOptions{true, "C:\\Archive\\", 9, true, 3, false};

TEST(WriteSettings, AllKeysInOrderInTheirFormats) {
  FakeProfile profile;
  writeSettings(profile, sampleOptions);
  EXPECT_EQ(profile.writes, keyOrder);
  EXPECT_THAT(profile.values,
              ElementsAre(std::pair{FakeProfile::Key{"Option", "ArcName"}, "3"},
                          std::pair{FakeProfile::Key{"Option", "ArcRate"}, "9"},
                          std::pair{FakeProfile::Key{"Option", "InputSubDir"}, "0"},
                          std::pair{FakeProfile::Key{"Option", "NoDialog"}, "1"},
                          std::pair{FakeProfile::Key{"Option", "OutDirCheck"}, "1"},
                          std::pair{FakeProfile::Key{"Option", "OutDirEdit"}, "C:\\Archive\\"}));
}

TEST(WriteSettings, WhatIsWrittenReadsBack) {
  // The folder is kept while it is not in use.
  const StoredOptions options{false, "C:\\出力\\表\\", 1, false, 2, true};
  FakeProfile profile;
  writeSettings(profile, options);
  EXPECT_EQ(readSettings(profile), options);
}

TEST(WriteSettings, RefusedKeyStopsWithThePathInTheMessage) {
  FakeProfile profile("D:\\表\\selvat.ini");
  profile.refusedKey = "ArcRate";
  try {
    writeSettings(profile, sampleOptions);
    FAIL() << "no error for a refused write";
  } catch (const SettingsWriteError& error) {
    EXPECT_STREQ(error.what(), "D:\\表\\selvat.ini に書き込めません");
  }
  EXPECT_THAT(profile.writes, ElementsAre("OutDirCheck", "OutDirEdit", "ArcRate"));
  EXPECT_EQ(profile.values.size(), 2u);
}

}  // namespace

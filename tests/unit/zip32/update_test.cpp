// Adding to archives that other programs made, sound and damaged: the
// fixtures of update_fixtures.py, each updated through the engine and then
// checked by that script with 7-Zip, libarchive and Python's zipfile.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine.h"
#include "name_key.h"
#include "zip_check.h"

namespace zip32 {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

const ShiftJis kShiftJis;

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string runFixtures(const std::string& command, const std::string& folder) {
  std::string line =
      std::string("python3 ") + ZIP32_FIXTURES + " " + command + " '" + folder + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(line.c_str(), "r"), pclose);
  std::string output;
  char buffer[4096];
  while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get()))
    output.append(buffer, got);
  return output;
}

TEST(UpdateTest, ArchivesOfOtherWritersKeepEveryEntryOrStayUntouched) {
  TempFolder folder;
  ASSERT_EQ(runFixtures("make", folder.path()), "");
  std::string work = folder.path() + "work/";
  ASSERT_EQ(mkdir(work.c_str(), 0755), 0);
  std::ifstream cases(folder.path() + "cases.txt");
  std::ostringstream results;
  NoProgress progress;
  std::string name, addHex, expected;
  while (cases >> name >> addHex >> expected) {
    std::string fixture = readFile(folder.path() + name + ".zip");
    std::string archive = work + name + ".zip";
    writeFile(archive, fixture);
    std::string inputs = work + name + "/";
    ASSERT_EQ(mkdir(inputs.c_str(), 0755), 0);
    writeFile(inputs + fromHex(addHex), "new content of " + name);
    ArchiveRequest request{6, true, archive, {inputs + fromHex(addHex)}};
    Outcome outcome = makeArchive(request, systemFileSystem(), kShiftJis, progress);
    results << name << ' ' << static_cast<int>(outcome.code) << '\n';
    if (expected == "ok") {
      EXPECT_EQ(outcome.code, ResultCode::Ok) << name << ": " << outcome.message;
    } else {
      EXPECT_EQ(static_cast<int>(outcome.code), std::stoi(expected))
          << name << ": " << outcome.message;
      EXPECT_TRUE(readFile(archive) == fixture) << name << " changed";
    }
  }
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(work.c_str()), closedir);
  while (dirent* entry = readdir(dir.get()))
    EXPECT_EQ(std::string(entry->d_name).find("~zip"), std::string::npos) << "left behind";
  writeFile(work + "results.txt", results.str());
  EXPECT_EQ(runFixtures("check", folder.path()), "ok\n");
}

TEST(UpdateTest, NameKeysCompareNamesAsTheFileSystemDoes) {
  auto utf8Entry = [](const std::string& name) {
    Entry entry;
    entry.name = name;
    entry.flags = 0x800;
    return entry;
  };
  auto systemEntry = [](const std::string& name) {
    Entry entry;
    entry.name = name;
    return entry;
  };
  auto withUnicodePath = [](const std::string& raw, const std::string& utf8,
                            const std::string& crcOf) {
    Entry entry;
    entry.name = raw;
    uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(crcOf.data()), static_cast<uInt>(crcOf.size()));
    std::string body = std::string(1, '\x01');
    for (int i = 0; i < 4; ++i) body += static_cast<char>((crc >> (8 * i)) & 0xFF);
    body += utf8;
    entry.centralExtra = std::string("\x75\x70", 2) + static_cast<char>(body.size()) + '\0' + body;
    return entry;
  };
  struct Case {
    const char* what;
    Entry entry;
    std::string name;  // Shift-JIS
    bool same;
  } cases[] = {
      {"ASCII letter case", utf8Entry("README.TXT"), "readme.txt", true},
      {"full-width letter case", utf8Entry("\xEF\xBC\xA1.txt"), "ａ.txt", true},  // Ａ in UTF-8
      {"a trail byte is no letter", systemEntry("\x83\x41"), "\x83\x61", false},  // ア, ヂ
      {"Unicode Path field", withUnicodePath("?.txt", "\xE8\xA1\xA8.txt", "?.txt"), "表.txt", true},
      {"stale Unicode Path field", withUnicodePath("old.txt", "\xE8\xA1\xA8.txt", "x.txt"),
       "表.txt", false},
      {"folders by either delimiter", utf8Entry("sub\\a.txt"), "sub/A.txt", true},
      {"bytes that are no text", utf8Entry("\xFF.txt"), "\xFF.txt", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(nameKey(c.entry, kShiftJis) == nameKey(c.name, kShiftJis), c.same) << c.what;
}

}  // namespace
}  // namespace zip32

#pragma once
// The table of archive paths and command lines, run by the native tests
// (code page 932 built in) and under Wine (the system's own lead-byte
// table). Include it in one source of a test binary: it defines the test.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "archive/archive_name.h"

namespace archive_name_table {

// Options read like the row: level 6, dialog shown, no output folder unless
// the row says otherwise.
struct Options {
  TArchiveOptions value;
  explicit Options(int arcName) { value.ArcName = arcName; }
  Options& level(int rate) {
    value.ArcRate = rate;
    return *this;
  }
  Options& quiet() {
    value.NoDialog = true;
    return *this;
  }
  Options& outDir(const std::string& folder, bool checked = true) {
    value.OutDirCheck = checked;
    value.OutDirEdit = folder;
    return *this;
  }
};

inline Options File() {
  return Options(ArcNameFile);
}
inline Options Period() {
  return Options(ArcNamePeriod);
}
inline Options UnderBar() {
  return Options(ArcNameUnderBar);
}

struct Row {
  std::string item;
  Options options;
  std::string archivePath;
  std::string commandLine;
};

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
  out << "item ";
  for (unsigned char c : row.item) {
    if (c >= 0x20 && c < 0x7F)
      out << c;
    else
      out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
  }
  return out << " mode " << row.options.value.ArcName;
}

// Raw literals keep the paths as they are written; Japanese text becomes
// Shift-JIS through the build's execution character set.
inline const Row rows[] = {
    // The three naming modes, level, quiet switch and output folder.
    {R"(C:\Data\report.txt)", File(), R"(C:\Data\report.zip)",
     R"(-6 -j "C:\Data\report.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", Period(), R"(C:\Data\report.txt.zip)",
     R"(-6 -j "C:\Data\report.txt.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", UnderBar(), R"(C:\Data\report_txt.zip)",
     R"(-6 -j "C:\Data\report_txt.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", File().level(9).quiet().outDir(R"(D:\Out\)"), R"(D:\Out\report.zip)",
     R"(-9 -q -j "D:\Out\report.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", UnderBar().level(1).outDir(R"(D:\Out\)"), R"(D:\Out\report_txt.zip)",
     R"(-1 -j "D:\Out\report_txt.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", File().outDir(""), R"(C:\Data\report.zip)",
     R"(-6 -j "C:\Data\report.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", File().outDir(R"(D:\Out\)", false), R"(C:\Data\report.zip)",
     R"(-6 -j "C:\Data\report.zip" "C:\Data\report.txt")"},

    // Brackets: only the input path is escaped, and only a "[" of its own.
    {R"(C:\Data\[copy] memo.txt)", Period(), R"(C:\Data\[copy] memo.txt.zip)",
     R"(-6 -j "C:\Data\[copy] memo.txt.zip" "C:\Data\[[]copy] memo.txt")"},
    {R"(C:\Data\[copy] memo.txt)", UnderBar(), R"(C:\Data\[copy] memo_txt.zip)",
     R"(-6 -j "C:\Data\[copy] memo_txt.zip" "C:\Data\[[]copy] memo.txt")"},
    {R"(C:\Data\[[x]].txt)", Period(), R"(C:\Data\[[x]].txt.zip)",
     R"(-6 -j "C:\Data\[[x]].txt.zip" "C:\Data\[[][[]x]].txt")"},
    // Both ー (81 5B) end in the byte of "[" and stay as they are.
    {R"(C:\Data\データー[1].txt)", File(), R"(C:\Data\データー[1].zip)",
     R"(-6 -j "C:\Data\データー[1].zip" "C:\Data\データー[[]1].txt")"},
    // ゼ (83 5B) then a real "[".
    {R"(C:\ゼ[.txt)", Period(), R"(C:\ゼ[.txt.zip)", R"(-6 -j "C:\ゼ[.txt.zip" "C:\ゼ[[].txt")"},
    // 表 (95 5C) then "[": the 5C is no lead byte, so the "[" is escaped.
    {R"(C:\表[1].txt)", File(), R"(C:\表[1].zip)", R"(-6 -j "C:\表[1].zip" "C:\表[[]1].txt")"},
    // "[" as the very last byte, alone and as a trail byte.
    {R"(C:\Data\a[)", File(), R"(C:\Data\a[.zip)", R"(-6 -j "C:\Data\a[.zip" "C:\Data\a[[]")"},
    {R"(C:\Data\ゼ)", File(), R"(C:\Data\ゼ.zip)", R"(-6 -j "C:\Data\ゼ.zip" "C:\Data\ゼ")"},

    // ソ (83 5C) and 表 (95 5C) end in the byte of "\", no delimiter there.
    {R"(C:\ソフト\表.txt)", File().outDir(R"(D:\Out\)"), R"(D:\Out\表.zip)",
     R"(-6 -j "D:\Out\表.zip" "C:\ソフト\表.txt")"},
    {R"(C:\Data\表)", UnderBar().outDir(R"(D:\Out\)"), R"(D:\Out\表.zip)",
     R"(-6 -j "D:\Out\表.zip" "C:\Data\表")"},
    // ＝ is 81 81: two lead-range bytes, so the "\" after it is a delimiter.
    {R"(C:\Data\＝\report.txt)", File().outDir(R"(D:\Out\)"), R"(D:\Out\report.zip)",
     R"(-6 -j "D:\Out\report.zip" "C:\Data\＝\report.txt")"},
    // ＝表: three lead-range bytes before the 5C, so it is a trail byte.
    {R"(C:\Data\＝表.txt)", File().outDir(R"(D:\Out\)"), R"(D:\Out\＝表.zip)",
     R"(-6 -j "D:\Out\＝表.zip" "C:\Data\＝表.txt")"},
    // A lead byte cut off at the very end of the item.
    {"C:\\Data\\memo.tx\x81", UnderBar(), "C:\\Data\\memo_tx\x81.zip",
     "-6 -j \"C:\\Data\\memo_tx\x81.zip\" \"C:\\Data\\memo.tx\x81\""},
    {"C:\\Data\\a[\x81", Period(), "C:\\Data\\a[\x81.zip",
     "-6 -j \"C:\\Data\\a[\x81.zip\" \"C:\\Data\\a[[]\x81\""},

    // An output folder without its final "\" gets one; a folder ending in
    // 表 has no final delimiter either.
    {R"(C:\Data\report.txt)", File().outDir(R"(D:\Out)"), R"(D:\Out\report.zip)",
     R"(-6 -j "D:\Out\report.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report.txt)", UnderBar().outDir(R"(D:\表)"), R"(D:\表\report_txt.zip)",
     R"(-6 -j "D:\表\report_txt.zip" "C:\Data\report.txt")"},
    {R"(C:\Data\report)", Period().outDir(R"(D:\my.dir)"), R"(D:\my.dir\report.zip)",
     R"(-6 -j "D:\my.dir\report.zip" "C:\Data\report")"},
    // Blanks count as a folder text.
    {R"(C:\Data\report.txt)", File().outDir(" "), R"( \report.zip)",
     R"(-6 -j " \report.zip" "C:\Data\report.txt")"},

    // No extension: nothing changes in any mode.
    {R"(C:\Data\README)", File(), R"(C:\Data\README.zip)",
     R"(-6 -j "C:\Data\README.zip" "C:\Data\README")"},
    {R"(C:\Data\README)", Period(), R"(C:\Data\README.zip)",
     R"(-6 -j "C:\Data\README.zip" "C:\Data\README")"},
    {R"(C:\Data\README)", UnderBar(), R"(C:\Data\README.zip)",
     R"(-6 -j "C:\Data\README.zip" "C:\Data\README")"},
    {R"(C:\my.dir\README)", File(), R"(C:\my.dir\README.zip)",
     R"(-6 -j "C:\my.dir\README.zip" "C:\my.dir\README")"},
    {R"(C:\my.dir\README)", Period(), R"(C:\my.dir\README.zip)",
     R"(-6 -j "C:\my.dir\README.zip" "C:\my.dir\README")"},
    {R"(C:\my.dir\README)", UnderBar(), R"(C:\my.dir\README.zip)",
     R"(-6 -j "C:\my.dir\README.zip" "C:\my.dir\README")"},

    // Only the last period of the file name, and only the end of the path.
    {R"(C:\Data\archive.tar.gz)", File(), R"(C:\Data\archive.tar.zip)",
     R"(-6 -j "C:\Data\archive.tar.zip" "C:\Data\archive.tar.gz")"},
    {R"(C:\Data\archive.tar.gz)", UnderBar(), R"(C:\Data\archive.tar_gz.zip)",
     R"(-6 -j "C:\Data\archive.tar_gz.zip" "C:\Data\archive.tar.gz")"},
    {R"(C:\web.txt\notes.txt)", File(), R"(C:\web.txt\notes.zip)",
     R"(-6 -j "C:\web.txt\notes.zip" "C:\web.txt\notes.txt")"},
    {R"(C:\web.txt\notes.txt)", UnderBar(), R"(C:\web.txt\notes_txt.zip)",
     R"(-6 -j "C:\web.txt\notes_txt.zip" "C:\web.txt\notes.txt")"},
    {R"(C:\Data\.profile)", File(), R"(C:\Data\.zip)",
     R"(-6 -j "C:\Data\.zip" "C:\Data\.profile")"},
    {R"(C:\Data\.profile)", UnderBar(), R"(C:\Data\_profile.zip)",
     R"(-6 -j "C:\Data\_profile.zip" "C:\Data\.profile")"},
    {R"(C:\Data\name.)", File(), R"(C:\Data\name.zip)",
     R"(-6 -j "C:\Data\name.zip" "C:\Data\name.")"},
    {R"(C:\Data\name.)", UnderBar(), R"(C:\Data\name_.zip)",
     R"(-6 -j "C:\Data\name_.zip" "C:\Data\name.")"},
    {R"(D:notes.txt)", UnderBar(), R"(D:notes_txt.zip)",
     R"(-6 -j "D:notes_txt.zip" "D:notes.txt")"},

    // An item that is an archive already is named like any other.
    {R"(C:\Data\a.zip)", File(), R"(C:\Data\a.zip)", R"(-6 -j "C:\Data\a.zip" "C:\Data\a.zip")"},
    {R"(C:\Data\a.zip)", Period(), R"(C:\Data\a.zip.zip)",
     R"(-6 -j "C:\Data\a.zip.zip" "C:\Data\a.zip")"},
    {R"(C:\Data\A.TXT)", UnderBar(), R"(C:\Data\A_TXT.zip)",
     R"(-6 -j "C:\Data\A_TXT.zip" "C:\Data\A.TXT")"},

    // A naming value outside 1 to 3 acts as the period mode.
    {R"(C:\Data\report.txt)", Options(0), R"(C:\Data\report.txt.zip)",
     R"(-6 -j "C:\Data\report.txt.zip" "C:\Data\report.txt")"},

    // An empty item still gives a defined result.
    {"", File(), ".zip", R"(-6 -j ".zip" "")"},
    {"", File().outDir(R"(D:\Out\)"), R"(D:\Out\.zip)", R"(-6 -j "D:\Out\.zip" "")"},
};

class ArchiveNameTable : public testing::TestWithParam<Row> {};

TEST_P(ArchiveNameTable, ArchivePathAndCommandLine) {
  const Row& row = GetParam();
  const std::string archivePath = MakeArchiveName(row.item, row.options.value);
  EXPECT_EQ(archivePath, row.archivePath);
  EXPECT_EQ(MakeCommandLine(row.item, archivePath, row.options.value), row.commandLine);
}

INSTANTIATE_TEST_SUITE_P(Rows, ArchiveNameTable, testing::ValuesIn(rows));

}  // namespace archive_name_table

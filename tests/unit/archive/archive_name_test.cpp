#include "archive/archive_name.h"

#include <gtest/gtest.h>

#include "tests/unit/archive/archive_name_table.h"

namespace {

TEST(ArcNameFromMenu, FileThenUnderBarElsePeriod) {
  EXPECT_EQ(arcNameFromMenu(true, false), ArcNameFile);
  EXPECT_EQ(arcNameFromMenu(false, true), ArcNameUnderBar);
  EXPECT_EQ(arcNameFromMenu(false, false), ArcNamePeriod);
}

// On a code page without double-byte characters every 5C is a "\" and
// every 5B a "[".
TEST(ArchiveNameSingleByteCodePage, EveryBackslashAndBracketCounts) {
  const LeadByteSet none;
  TArchiveOptions options;
  options.ArcName = ArcNameFile;
  options.OutDirCheck = true;
  options.OutDirEdit = R"(D:\表)";
  EXPECT_EQ(MakeArchiveName(R"(C:\ソフト\表.txt)", options, none), R"(D:\表.zip)");
  EXPECT_EQ(EscapeBrackets("ー[", none), "\x81[[][[]");
  EXPECT_EQ(MakeCommandLine("ー", "a.zip", options, none), "-6 -j \"a.zip\" \"\x81[[]\"");
}

}  // namespace

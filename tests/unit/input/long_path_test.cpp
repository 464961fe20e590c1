#include "input/long_path.h"

#include <gtest/gtest.h>

#include "fake_file_system.h"

namespace {

using Paths = std::vector<std::string>;

struct Lookup {
  const char* path;
  const char* longName;
};

struct ExpandCase {
  const char* argument;
  std::vector<Lookup> known;  // what the file system finds
  Paths lookups;              // the searches expected, in order
  const char* result;
};

const ExpandCase kExpandCases[] = {
    {"C:\\PROGRA~1\\Summary of May.txt",
     {{"C:\\PROGRA~1\\Summary of May.txt", "Summary of May.txt"},
      {"C:\\PROGRA~1", "Program Files"}},
     {"C:\\PROGRA~1\\Summary of May.txt", "C:\\PROGRA~1"},
     "C:\\Program Files\\Summary of May.txt"},
    {"C:\\Reports\\SUMMAR~1.TXT",
     {{"C:\\Reports\\SUMMAR~1.TXT", "Summary of May.txt"}, {"C:\\Reports", "Reports"}},
     {"C:\\Reports\\SUMMAR~1.TXT", "C:\\Reports"},
     "C:\\Reports\\Summary of May.txt"},
    {"c:\\data\\report.txt",
     {{"c:\\data\\report.txt", "Report.txt"}, {"c:\\data", "Data"}},
     {"c:\\data\\report.txt", "c:\\data"},
     "c:\\Data\\Report.txt"},
    {"\\\\server\\share\\DOCUME~1\\memo.txt",
     {{"\\\\server\\share\\DOCUME~1\\memo.txt", "memo.txt"},
      {"\\\\server\\share\\DOCUME~1", "Documents"},
      {"\\\\server\\share", "share"}},
     {"\\\\server\\share\\DOCUME~1\\memo.txt", "\\\\server\\share\\DOCUME~1"},
     "\\\\server\\share\\Documents\\memo.txt"},
    {"C:\\PROGRA~1\\", {{"C:\\PROGRA~1", "Program Files"}}, {"C:\\PROGRA~1\\"}, "C:\\PROGRA~1\\"},
    {"C:\\NOSUCH\\file.txt", {}, {"C:\\NOSUCH\\file.txt"}, "C:\\NOSUCH\\file.txt"},
    {"C:\\DATA\\*.TXT",
     {{"C:\\DATA\\*.TXT", "a.txt"}, {"C:\\DATA", "Data"}},
     {"C:\\DATA\\*.TXT", "C:\\DATA"},
     "C:\\Data\\a.txt"},
    // The drive stands for its current directory: found or not, it stays.
    {"C:\\x.txt", {{"C:\\x.txt", "X.txt"}, {"C:", "Windows"}}, {"C:\\x.txt"}, "C:\\X.txt"},
    // 表 and ソ end in the byte of "\", which is no delimiter there.
    {"C:\\表\\ソ\\LONGFI~1.TXT",
     {{"C:\\表\\ソ\\LONGFI~1.TXT", "long file.txt"}, {"C:\\表\\ソ", "ソ"}, {"C:\\表", "表"}},
     {"C:\\表\\ソ\\LONGFI~1.TXT", "C:\\表\\ソ", "C:\\表"},
     "C:\\表\\ソ\\long file.txt"},
    // Relative and forward-slash arguments name a path in C:\Work.
    {"report.txt",
     {{"C:\\Work\\report.txt", "Report.txt"}, {"C:\\Work", "Work"}},
     {"C:\\Work\\report.txt", "C:\\Work"},
     "C:\\Work\\Report.txt"},
    {"sub\\report.txt",
     {{"C:\\Work\\sub\\report.txt", "report.txt"}, {"C:\\Work\\sub", "Sub"}, {"C:\\Work", "Work"}},
     {"C:\\Work\\sub\\report.txt", "C:\\Work\\sub", "C:\\Work"},
     "C:\\Work\\Sub\\report.txt"},
    {"C:/Data/a.txt",
     {{"C:\\Data\\a.txt", "A.txt"}, {"C:\\Data", "Data"}},
     {"C:\\Data\\a.txt", "C:\\Data"},
     "C:\\Data\\A.txt"},
    {"missing.txt", {}, {"C:\\Work\\missing.txt"}, "C:\\Work\\missing.txt"},
};

TEST(ExpandLongPath, ReplacesKnownComponentsFromTheEndUpToTheRootPrefix) {
  for (const ExpandCase& c : kExpandCases) {
    FakeFileSystem files;
    for (const Lookup& known : c.known) files.answer(known.path, {{known.longName, 32}});
    EXPECT_EQ(ExpandLongPath(c.argument, files), c.result) << c.argument;
    EXPECT_EQ(files.patterns, c.lookups) << c.argument;
    EXPECT_EQ(files.openSearches, 0);
  }
}

}  // namespace

#include "input/command_line.h"

#include <gtest/gtest.h>

#include "fake_file_system.h"
#include "input/spelled_path.h"

namespace {

using Paths = std::vector<std::string>;

struct SplitCase {
  std::string line;
  Paths arguments;
};

const SplitCase kSplitCases[] = {
    {"", {}},
    {"selvat.exe", {}},
    {"selvat.exe a.txt b.txt", {"a.txt", "b.txt"}},
    {"\"C:\\Program Files\\selvat.exe\" \"C:\\My Docs\\a.txt\" b", {"C:\\My Docs\\a.txt", "b"}},
    {"selvat.exe\t a\x01\x1f"
     "b  ",
     {"a", "b"}},
    {"selvat.exe C:\\\"My Docs\"\\a.txt", {"C:\\My Docs\\a.txt"}},  // quoted stretch joins
    {"selvat.exe \"open to the end", {"open to the end"}},
    {"selvat.exe a \"\" b", {"a", "b"}},  // "" before an argument is skipped
    {"selvat.exe \"\"\"\" \"\"x", {"x"}},
    {"selvat.exe a\"\"b", {"ab"}},  // an empty stretch inside an argument
    {"selvat.exe a \" \" b", {"a", " ", "b"}},
    {"selvat.exe a \"", {"a"}},  // an empty argument ends the list
    {"selvat.exe C:\\表 ソ\\ー[1].txt \"C:\\新しい フォルダ\\表.txt\"",
     {"C:\\表", "ソ\\ー[1].txt", "C:\\新しい フォルダ\\表.txt"}},
    {"selvat.exe \x81\x40 \xfc\xfc", {"\x81\x40", "\xfc\xfc"}},  // bytes above 127 are no blanks
    {std::string("selvat.exe a\0b c", 16), {"a"}},               // a zero byte ends the line
    {"selvat.exe C:\\" + std::string(300, 'x'), {"C:\\" + std::string(300, 'x')}},
};

TEST(SplitCommandLine, ArgumentsAfterTheProgramPath) {
  for (const SplitCase& c : kSplitCases) EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}

Paths added(const std::string& line, FakeFileSystem& files) {
  Paths log;
  addCommandLineArguments(
      line, files, [&](const std::string& path) { log.push_back("file " + path); },
      [&](const std::string& path) { log.push_back("folder " + path); },
      [&](const std::string& path, const std::string& reason) {
        log.push_back("refused " + path + ": " + reason);
      });
  return log;
}

TEST(AddCommandLineArguments, AttributesAsWrittenThenTheLongForm) {
  FakeFileSystem files;
  files.setAttributes("C:\\DOCUME~1", 16);
  files.answer("C:\\DOCUME~1", {{"Documents", 16}});
  files.setAttributes("C:\\RO", 17);
  files.answer("C:\\RO", {{"Read Only", 17}});
  files.setAttributes("C:\\data\\SUMMAR~1.TXT", 32);
  files.answer("C:\\data\\SUMMAR~1.TXT", {{"Summary.txt", 32}});
  files.answer("C:\\data", {{"Data", 16}});
  files.setAttributes("report.txt", 32);  // relative to C:\Work
  files.answer("C:\\Work\\report.txt", {{"Report.txt", 32}});

  EXPECT_EQ(
      added("selvat.exe C:\\DOCUME~1 C:\\RO C:\\data\\SUMMAR~1.TXT C:\\NoSuch\\x.txt report.txt",
            files),
      (Paths{"folder C:\\Documents", "file C:\\Read Only", "file C:\\Data\\Summary.txt",
             "file C:\\NoSuch\\x.txt", "file C:\\Work\\Report.txt"}));
}

// The line comes in UTF-8. A name the code page cannot spell is reached by
// its short name, which the long-name walk keeps; one without a short name,
// and one that names nothing, are refused.
TEST(AddCommandLineArguments, NamesTheCodePageCannotSpell) {
  FakeFileSystem files;
  files.setBestFit(u8"C:\\data\\café.txt", "C:\\data\\cafe.txt");
  files.setBestFit(u8"café.txt", "cafe.txt");
  files.setShortPath(u8"C:\\data\\café.txt", "C:\\data\\CAF_~CRT.TXT");
  files.setAttributes("C:\\data\\CAF_~CRT.TXT", 32);
  files.answer("C:\\data\\CAF_~CRT.TXT", {{"cafe.txt", 32, false, "CAF_~CRT.TXT"}});
  files.answer("C:\\data", {{"Data", 16}});
  files.setBestFit(u8"C:\\x\\简体.txt", "C:\\x\\?体.txt");
  files.setBestFit(u8"D:\\😀.txt", "D:\\??.txt");
  files.setBestFit(u8"😀.txt", "??.txt");
  files.setShortPath(u8"D:\\😀.txt", u8"D:\\😀.txt");  // a volume without short names

  // (Outside the macro, which would quote the line in the code page.)
  const Paths log = added(u8"selvat.exe \"C:\\data\\café.txt\" C:\\x\\简体.txt D:\\😀.txt", files);
  EXPECT_EQ(log, (Paths{"file C:\\Data\\CAF_~CRT.TXT",
                        "refused C:\\x\\?体.txt: " + std::string(kUnspellableMissing),
                        "refused D:\\??.txt: " + std::string(kNoShortName)}));
}

}  // namespace

#include "command_line.h"

#include <gtest/gtest.h>

namespace zip32 {
namespace {

TEST(CommandLineTest, ParsesTheLinesTheProgramComposes) {
  struct Case {
    const char* line;
    int level;
    bool quiet, junk;
    const char* archive;
    std::vector<std::string> inputs;
  } cases[] = {
      {R"(-6 -j "C:\Data\report.zip" "C:\Data\report.txt")",
       6,
       false,
       true,
       R"(C:\Data\report.zip)",
       {R"(C:\Data\report.txt)"}},
      {R"(-9 -q -j "D:\Out\my report.zip" "C:\My Data\[[]copy] memo.txt")",
       9,
       true,
       true,
       R"(D:\Out\my report.zip)",
       {R"(C:\My Data\[[]copy] memo.txt)"}},
      {"-0 a.zip b c", 0, false, false, "a.zip", {"b", "c"}},
      {"  -qj\ta.zip   \"x y\"  ", 6, true, true, "a.zip", {"x y"}},
      {R"(a.zip "-j")", 6, false, false, "a.zip", {"-j"}},  // quoted: a name, not a switch
      {R"(-1 "C:\表\ソ.zip" C:\表\*.txt)", 1, false, false, R"(C:\表\ソ.zip)", {R"(C:\表\*.txt)"}},
      {R"(a"b c"d.zip e)", 6, false, false, "ab cd.zip", {"e"}},
  };
  for (const Case& c : cases) {
    ParsedCommandLine parsed = parseCommandLine(c.line);
    ASSERT_TRUE(parsed.ok) << c.line << ": " << parsed.error;
    EXPECT_EQ(parsed.commandLine.level, c.level) << c.line;
    EXPECT_EQ(parsed.commandLine.quiet, c.quiet) << c.line;
    EXPECT_EQ(parsed.commandLine.junkPaths, c.junk) << c.line;
    EXPECT_EQ(parsed.commandLine.archive, c.archive) << c.line;
    EXPECT_EQ(parsed.commandLine.inputs, c.inputs) << c.line;
  }
}

TEST(CommandLineTest, RejectsBadLines) {
  for (const char* line :
       {"", "   ", "-6", "-6 -j", "-6 a.zip", "-x a.zip b", "-10 a.zip b", "-6q1 a.zip b",
        "- a.zip b", R"(-6 "a.zip b)", R"(-6 a.zip "b)", R"(-6 "" b)", R"(-6 a.zip "")"}) {
    ParsedCommandLine parsed = parseCommandLine(line);
    EXPECT_FALSE(parsed.ok) << line;
    EXPECT_FALSE(parsed.error.empty()) << line;
  }
}

}  // namespace
}  // namespace zip32

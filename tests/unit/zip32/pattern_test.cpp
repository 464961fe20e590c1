#include "pattern.h"

#include <gtest/gtest.h>

#include "code_page.h"

namespace zip32 {
namespace {

const ShiftJis kShiftJis;

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

// Shift-JIS literals: 表 is 95 5C, ソ is 83 5C, ー is 81 5B, ゼ is 83 5B.
const MatchCase kMatchCases[] = {
    {"*.txt", "report.txt", true},
    {"*.txt", "report.TXT", true},
    {"*.txt", "report.txt.zip", false},
    {"*", "", true},
    {"a*b*c", "aXbYbZc", true},
    {"a*b*c", "aXbYbZ", false},
    {"????.txt", "memo.txt", true},
    {"???.txt", "memo.txt", false},
    {"?.txt", "表.txt", true},  // one character, two bytes
    {"??.txt", "表.txt", false},
    {"[abc]1", "b1", true},
    {"[!abc]1", "b1", false},
    {"[^abc]1", "d1", true},
    {"[a-f]x", "Dx", true},
    {"[a-f]x", "gx", false},
    {"[[]copy] memo.txt", "[copy] memo.txt", true},
    {"[[]copy] memo.txt", "c memo.txt", false},
    {"[]]x", "]x", true},
    {"データー[[]1].txt", "データー[1].txt", true},  // the trail "[" of ー opens no set
    {"データー*", "データー[1].txt", true},
    {"ソフト表", "ソフト表", true},  // trail "\" bytes are no delimiters
    {"[表ソ]x", "ソx", true},
    {"[表ソ]x", "\x83x", false},
    {"*ー", "データー", true},
};

TEST(PatternTest, MatchesCharactersNotBytes) {
  for (const MatchCase& c : kMatchCases) {
    std::optional<Pattern> pattern = Pattern::compile(c.pattern, kShiftJis);
    ASSERT_TRUE(pattern.has_value()) << c.pattern;
    EXPECT_EQ(pattern->matches(c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

TEST(PatternTest, UnclosedSetIsRejected) {
  for (const char* text : {"[abc", "a[", "[!", "x[[]y[z"})
    EXPECT_FALSE(Pattern::compile(text, kShiftJis).has_value()) << text;
  // The trail byte of ー is no opening bracket.
  EXPECT_TRUE(Pattern::compile("データー", kShiftJis).has_value());
}

TEST(PatternTest, EscapedBracketsAreLiteral) {
  struct Case {
    const char* pattern;
    bool wild;
    const char* literal;
  } cases[] = {
      {"[[]copy] memo.txt", false, "[copy] memo.txt"},
      {"データー[[]1].txt", false, "データー[1].txt"},
      {"[[][[]x]].txt", false, "[[x]].txt"},
      {"a*.txt", true, nullptr},
      {"a?.txt", true, nullptr},
      {"[ab].txt", true, nullptr},
  };
  for (const Case& c : cases) {
    Pattern pattern = *Pattern::compile(c.pattern, kShiftJis);
    EXPECT_EQ(pattern.isWild(), c.wild) << c.pattern;
    if (!c.wild) {
      EXPECT_EQ(pattern.literal(), c.literal);
    }
  }
}

TEST(PathPartsTest, DelimitersThatAreTrailBytesDoNotSplit) {
  EXPECT_EQ(leafName("C:\\ソフト\\表.txt", kShiftJis), "表.txt");
  EXPECT_EQ(folderPart("C:\\ソフト\\表.txt", kShiftJis), "C:\\ソフト\\");
  EXPECT_EQ(leafName("C:\\ソ", kShiftJis), "ソ");
  EXPECT_EQ(leafName("/tmp/x/a.txt", kShiftJis), "a.txt");
  EXPECT_EQ(folderPart("a.txt", kShiftJis), "");
  EXPECT_EQ(foldCase("ABC表Z", kShiftJis), "abc表z");
}

TEST(CopyMessageTest, CutsAtACharacterAndNeverPastTheSize) {
  struct Case {
    std::size_t size;
    const char* expected;
  } cases[] = {{1, ""}, {2, "a"}, {3, "a"}, {4, "a表"}, {6, "a表b"}, {64, "a表b"}};
  for (const Case& c : cases) {
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    copyMessage("a表b", buffer, c.size, kShiftJis);
    EXPECT_STREQ(buffer, c.expected) << c.size;
    for (std::size_t i = std::min<std::size_t>(c.size, 8); i < 8; ++i)
      EXPECT_EQ(buffer[i], '#') << c.size;
  }
  copyMessage("abc", nullptr, 0, kShiftJis);  // no buffer, no write
}

}  // namespace
}  // namespace zip32

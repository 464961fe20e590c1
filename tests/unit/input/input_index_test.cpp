#include "input/input_index.h"

#include <gtest/gtest.h>

namespace {

struct AdmissionCase {
  const char* what;
  const char* first;
  const char* second;
  bool secondAdmitted;
};

// Literals are Shift-JIS at run time; \x bytes where the byte is the point.
const AdmissionCase kAdmissionCases[] = {
    {"same path in other case", "C:\\Data\\a.txt", "c:\\data\\A.TXT", false},
    {"short form of the folder", "C:\\Data\\a.txt", "C:\\DATA~1\\a.txt", true},
    {"trailing backslash", "C:\\Data\\a.txt", "C:\\Data\\a.txt\\", true},
    {"identical", "C:\\Data\\a.txt", "C:\\Data\\a.txt", false},
    {"trail bytes 41 and 61 are no letters (ア, ヂ)", "C:\\\x83\x41", "C:\\\x83\x61", true},
    {"trail bytes 5A and 7A are no letters (ヌ, ペ)", "\x83\x5A.txt", "\x83\x7A.txt", true},
    {"ASCII after a double-byte character folds", "C:\\ソフト\\Read.me", "c:\\ソフト\\READ.ME",
     false},
    {"full-width letters fold", "C:\\ＡＢＣ.txt", "C:\\ａｂｃ.txt", false},
    {"Greek folds", "C:\\ΣΩ.txt", "C:\\σω.txt", false},
    {"Cyrillic folds, Ё and the letters after the gap in the lower forms", "C:\\ЁОЯ.txt",
     "C:\\ёоя.txt", false},
    {"full-width and half-width differ", "C:\\A.txt", "C:\\Ａ.txt", true},
    {"hiragana and katakana differ", "C:\\あ.txt", "C:\\ア.txt", true},
    {"a lone lead byte at the end", "ABC\x83", "abc\x83", false},
};

TEST(InputIndex, AdmitsAPathUnlessAnEntryEqualsItWithoutRegardToCase) {
  for (const AdmissionCase& c : kAdmissionCases) {
    InputIndex index;
    EXPECT_TRUE(index.insert(c.first)) << c.what;
    EXPECT_EQ(index.insert(c.second), c.secondAdmitted) << c.what;
    EXPECT_EQ(index.size(), c.secondAdmitted ? 2u : 1u) << c.what;
  }
}

TEST(InputIndex, EraseAndClearForgetEntriesInAnyCase) {
  InputIndex index;
  ASSERT_TRUE(index.insert("C:\\Data\\a.txt"));
  ASSERT_TRUE(index.insert("C:\\Data\\b.txt"));

  index.erase("C:\\DATA\\A.TXT");
  EXPECT_FALSE(index.contains("c:\\data\\a.txt"));
  EXPECT_TRUE(index.contains("c:\\data\\B.txt"));
  EXPECT_TRUE(index.insert("c:\\data\\a.txt"));

  index.erase("C:\\Data\\never.txt");
  EXPECT_EQ(index.size(), 2u);

  index.clear();
  EXPECT_EQ(index.size(), 0u);
  EXPECT_TRUE(index.insert("C:\\Data\\b.txt"));
}

}  // namespace

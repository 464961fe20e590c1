#include "input/spelled_path.h"

#include <gtest/gtest.h>

#include "fake_file_system.h"

namespace {

struct SpellCase {
  const char* what;
  std::string path;                                         // UTF-8
  std::vector<std::pair<std::string, CodePageText>> forms;  // the code-page forms of UTF-8 texts
  std::optional<std::string> shortPath;
  std::string item, refusal;
};

const SpellCase kSpellCases[] = {
    {"spelled exactly",
     u8"C:\\表\\ソ.txt",
     {{u8"C:\\表\\ソ.txt", {"C:\\表\\ソ.txt", true}}},
     std::nullopt,
     "C:\\表\\ソ.txt",
     ""},
    {"a best fit names another file: the short name",
     u8"C:\\Users\\café.txt",
     {{u8"C:\\Users\\café.txt", {"C:\\Users\\cafe.txt", false}},
      {u8"café.txt", {"cafe.txt", false}}},
     "C:\\Users\\CAF_~CRT.TXT",
     "C:\\Users\\CAF_~CRT.TXT",
     ""},
    {"only the component that needs it takes its short name",
     u8"C:\\Program Files\\简体\\表.txt",
     {{u8"C:\\Program Files\\简体\\表.txt", {"C:\\Program Files\\?体\\表.txt", false}},
      {u8"简体", {"?体", false}},
      {u8"表.txt", {"表.txt", true}}},
     "C:\\PROGRA~1\\__~~~M2X\\_~~~~RDP.TXT",
     "C:\\Program Files\\__~~~M2X\\表.txt",
     ""},
    {"the delimiters as given",
     u8"C:/data/café.txt",
     {{u8"C:/data/café.txt", {"C:/data/cafe.txt", false}}, {u8"café.txt", {"cafe.txt", false}}},
     "C:\\data\\CAF_~CRT.TXT",
     "C:/data/CAF_~CRT.TXT",
     ""},
    {"a volume without short names",
     u8"E:\\😀.txt",
     {{u8"E:\\😀.txt", {"E:\\??.txt", false}}, {u8"😀.txt", {"??.txt", false}}},
     u8"E:\\😀.txt",
     "E:\\??.txt",
     kNoShortName},
    {"nothing of that name",
     u8"C:\\한국어.txt",
     {{u8"C:\\한국어.txt", {"C:\\???.txt", false}}},
     std::nullopt,
     "C:\\???.txt",
     kUnspellableMissing},
};

TEST(SpellPath, TheCodePagePathThatReachesTheFile) {
  for (const SpellCase& c : kSpellCases) {
    FakeFileSystem files;
    for (const auto& [utf8, form] : c.forms) files.setCodePageForm(utf8, form.text, form.exact);
    if (c.shortPath) files.setShortPath(c.path, *c.shortPath);
    SpelledPath spelled = spellPath(c.path, files);
    EXPECT_EQ(spelled.item, c.item) << c.what;
    EXPECT_EQ(spelled.refusal, c.refusal) << c.what;
  }
}

}  // namespace

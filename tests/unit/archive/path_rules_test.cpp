#include "archive/path_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const LeadByteSet cp932 = LeadByteSet::codePage932();
const LeadByteSet singleByte;

TEST(LeadByteSet, CodePage932Ranges) {
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(cp932.contains(static_cast<unsigned char>(b)), lead) << b;
  }
  EXPECT_TRUE(singleByte.empty());
}

TEST(IsTrailByte, CountsTheRunOfLeadBytesBefore) {
  struct Case {
    std::string text;
    size_t index;
    bool trail;
  } cases[] = {
      {"表", 1, true},                         // 95 5C
      {"表", 0, false},   {"ー", 1, true},     // 81 5B
      {"＝\\", 2, false},                      // 81 81 5C: an even run
      {"＝表", 3, true},                       // 81 81 95 5C: an odd run
      {"a\\", 1, false},  {"\x81", 0, false},  // a lead byte cut off at the end
      {"表", 2, false},                        // past the end
      {"", 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isTrailByte(c.text, c.index, cp932), c.trail) << c.text << " " << c.index;
    EXPECT_FALSE(isTrailByte(c.text, c.index, singleByte)) << c.text << " " << c.index;
  }
}

TEST(PathParts, FileNameAndExtensionWithAndWithoutDoubleByteCharacters) {
  struct Case {
    std::string path, name, extension, singleByteName, singleByteExtension;
  } cases[] = {
      {R"(C:\ソフト\表.txt)", "表.txt", ".txt", ".txt", ".txt"},
      {R"(C:\Data\表)", "表", "", "", ""},
      {R"(C:\Data\＝\a.b)", "a.b", ".b", "a.b", ".b"},
      {R"(C:\web.txt\notes)", "notes", "", "notes", ""},
      {"D:name.tar.gz", "name.tar.gz", ".gz", "name.tar.gz", ".gz"},
      {R"(C:\Data\.profile)", ".profile", ".profile", ".profile", ".profile"},
      {R"(C:\Data\name.)", "name.", ".", "name.", "."},
      {R"(C:\Data\)", "", "", "", ""},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileNamePart(c.path, cp932), c.name) << c.path;
    EXPECT_EQ(extensionOf(c.path, cp932), c.extension) << c.path;
    EXPECT_EQ(fileNamePart(c.path, singleByte), c.singleByteName) << c.path;
    EXPECT_EQ(extensionOf(c.path, singleByte), c.singleByteExtension) << c.path;
  }
}

TEST(LastDelimiter, PassesOverTrailBytesTogetherWithTheirLeadByte) {
  EXPECT_EQ(lastDelimiter("[ゼ", "[", cp932), 0u);
  EXPECT_EQ(lastDelimiter("ゼ", "[", cp932), std::string::npos);
  EXPECT_EQ(lastDelimiter("ゼ", "[", singleByte), 1u);
  EXPECT_EQ(lastDelimiter("", "\\", cp932), std::string::npos);
}

TEST(EndsWithPathDelimiter, OnlyABackslashOfItsOwn) {
  struct Case {
    std::string text;
    bool ends, singleByteEnds;
  } cases[] = {
      {R"(D:\Out\)", true, true}, {R"(D:\Out)", false, false}, {R"(D:\表)", false, true},
      {R"(D:\＝\)", true, true},  {R"(D:\表\)", true, true},   {"D:", false, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(endsWithPathDelimiter(c.text, cp932), c.ends) << c.text;
    EXPECT_EQ(endsWithPathDelimiter(c.text, singleByte), c.singleByteEnds) << c.text;
  }
}

TEST(WithPathDelimiter, AddsOneOnlyWhereNoneEnds) {
  struct Case {
    std::string folder, cp932Path, singleBytePath;
  } cases[] = {
      {R"(D:\Out)", R"(D:\Out\)", R"(D:\Out\)"},
      {R"(D:\Out\)", R"(D:\Out\)", R"(D:\Out\)"},
      {R"(D:\表)", R"(D:\表\)", R"(D:\表)"},
      {R"(D:\表\)", R"(D:\表\)", R"(D:\表\)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(withPathDelimiter(c.folder, cp932), c.cp932Path) << c.folder;
    EXPECT_EQ(withPathDelimiter(c.folder, singleByte), c.singleBytePath) << c.folder;
  }
}

}  // namespace

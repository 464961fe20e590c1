// The admission key against the comparison it stands for: a real list box's
// exact-string search.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <unordered_map>

#include "input/case_fold.h"
#include "input/input_index.h"

namespace {

class ListBox {
 public:
  ListBox()
      : window_(CreateWindowExA(0, "LISTBOX", "", LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr)) {}
  ~ListBox() { DestroyWindow(window_); }
  ListBox(const ListBox&) = delete;
  ListBox& operator=(const ListBox&) = delete;

  bool created() const { return window_ != nullptr; }
  void add(const std::string& text) {
    SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  int findExact(const std::string& text) const {
    return static_cast<int>(SendMessageA(window_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str())));
  }

 private:
  HWND window_;
};

// Single-byte characters, and the double-byte rows of symbols, kana, Latin,
// Greek, Cyrillic, the NEC specials (Roman numerals), the first kanji and the
// IBM extensions: every character that has case in code page 932 and many
// whose trail byte is an ASCII letter.
std::vector<std::string> sampleCharacters() {
  std::vector<std::string> characters;
  for (int byte = 0x20; byte <= 0xDF; ++byte)
    if (!IsDBCSLeadByte(static_cast<BYTE>(byte)) && byte != 0x7F && byte != 0x80 && byte != 0xA0)
      characters.emplace_back(1, static_cast<char>(byte));
  for (int lead : {0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0xEE, 0xFA})
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
      WCHAR wide[2];
      if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, 2, wide, 2) == 1)
        characters.emplace_back(bytes, 2);
    }
  return characters;
}

std::string toHex(const std::string& bytes) {
  std::string hex;
  for (unsigned char byte : bytes)
    hex += "0123456789ABCDEF"[byte >> 4], hex += "0123456789ABCDEF"[byte & 15];
  return hex;
}

// Marks that Wine's list box takes for one another although they are no
// case pair: the iteration marks ヽヾゝゞ々 with the dashes ー―ｰ, and the
// half-width ﾞﾟ with the full-width ゛゜.
const std::set<std::string> kMarksTheListBoxAlsoEquates = {"ヽ", "ヾ", "ゝ", "ゞ", "々", "ー",
                                                           "―",  "ｰ",  "ﾞ",  "ﾟ",  "゛", "゜"};

// Each character is looked up in a list of them all and compared with the
// first entry whose key is the character's key. The key must never equate
// what the list box keeps apart (that would refuse a path the list takes),
// and must equate everything the list box does but the marks above.
TEST(CaseFoldKey, FindsWhatTheListBoxFindsCharacterByCharacter) {
  ListBox list;
  ASSERT_TRUE(list.created());
  const std::vector<std::string> characters = sampleCharacters();
  std::unordered_map<std::string, int> firstWithKey;
  for (size_t i = 0; i < characters.size(); ++i) {
    list.add(characters[i]);
    firstWithKey.emplace(caseFoldKey(characters[i]), static_cast<int>(i));
  }
  int folded = 0;
  for (const std::string& character : characters) {
    int found = list.findExact(character);
    int sameKey = firstWithKey.at(caseFoldKey(character));
    EXPECT_GE(sameKey, found) << "the key equates what the list box keeps apart: " << character
                              << " / " << characters[sameKey];
    if (sameKey > found) {
      EXPECT_TRUE(kMarksTheListBoxAlsoEquates.count(character) == 1 &&
                  kMarksTheListBoxAlsoEquates.count(characters[found]) == 1)
          << "the list box equates " << toHex(character) << " / " << toHex(characters[found]);
    }
    folded += sameKey != found ? 0 : characters[found] != character;
  }
  EXPECT_GT(folded, 26 * 4) << "ASCII, full-width, Greek and Cyrillic letters all fold";
}

TEST(CaseFoldKey, AgreesWithTheListBoxOnWholePaths) {
  const std::pair<const char*, const char*> pairs[] = {
      {"C:\\Data\\a.txt", "c:\\data\\A.TXT"},
      {"C:\\Data\\a.txt", "C:\\DATA~1\\a.txt"},
      {"C:\\Data\\a.txt", "C:\\Data\\a.txt\\"},
      {"C:\\\x83\x41.txt", "C:\\\x83\x61.txt"},  // ア and ヂ
      {"C:\\ソフト\\Ｒｅａｄ.txt", "c:\\ソフト\\ＲＥＡＤ.TXT"},
      {"C:\\ΣΩ\\Ёж", "c:\\σω\\ёЖ"},
      {"C:\\co-op", "C:\\coop"},
      {"C:\\あ", "C:\\ア"},
  };
  for (const auto& [first, second] : pairs) {
    ListBox list;
    ASSERT_TRUE(list.created());
    list.add(first);
    InputIndex index;
    index.insert(first);
    EXPECT_EQ(list.findExact(second) == 0, index.contains(second)) << first << " / " << second;
  }
}

}  // namespace

// The admission key against the comparison it stands for: a real list box's
// exact-string search.
#include <windows.h>

#include <gtest/gtest.h>

#include <unordered_map>

#include "input/case_fold.h"
#include "input/input_index.h"

namespace {

class ListBox {
 public:
  ListBox()
      : window_(CreateWindowExA(0, "LISTBOX", "", LBS_HASSTRINGS, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr)) {}
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

// Each character is looked up in a list of them all: the first entry the
// list box finds must be the first entry whose key is the character's key.
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
    EXPECT_EQ(firstWithKey.at(caseFoldKey(character)), found)
        << std::hex << static_cast<int>(static_cast<unsigned char>(character[0]));
    folded += characters[found] != character;
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

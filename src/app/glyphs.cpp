#include "app/glyphs.h"

namespace glyphs {

TGlyph addFile() {
  return TGlyph({
      "oooooKKKKKKKooooo",
      "oooooKWWWWWKKoooo",
      "oooooKWWWWWKWKooo",
      "oooooKWWWWWKKKKoo",
      "oooKKKWWWWWWWWKoo",
      "oooKGKWWWWWWWWKoo",
      "oKKKGKKKWWWWWWKoo",
      "oKGGGGGKWWWWWWKoo",
      "oKKKGKKKWWWWWWKoo",
      "oooKGKWWWWWWWWKoo",
      "oooKKKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKKKKKKKKKKoo",
  });
}

TGlyph removeFile() {
  return TGlyph({
      "oooooKKKKKKKooooo",
      "oooooKWWWWWKKoooo",
      "oooooKWWWWWKWKooo",
      "oooooKWWWWWKKKKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oKKKKKKKWWWWWWKoo",
      "oKRRRRRKWWWWWWKoo",
      "oKKKKKKKWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKWWWWWWWWKoo",
      "oooooKKKKKKKKKKoo",
  });
}

namespace {
// The open folder under a curved arrow; extra adds columns of background
// on the right for the wider button.
TGlyph folderWithArrow(int extra) {
  std::vector<std::string> rows = {
      "MMMMMMMMMKKKMMMMM", "MMMMMMMMKMMMKMKMM", "MMMMMMMMMMMMMKKMM", "MMMMMMMMMMMMKKKMM",
      "MKKKMMMMMMMMMMMMM", "KYWYKKKKKKKMMMMMM", "KWYWYWYWYWKMMMMMM", "KYWYWYWYWYKMMMMMM",
      "KWYWYKKKKKKKKKKKM", "KYWYKoooooooooKMM", "KWYKoooooooooKMMM", "KYKoooooooooKMMMM",
      "KKoooooooooKMMMMM", "KKKKKKKKKKKMMMMMM", "MMMMMMMMMMMMMMMMM", "MMMMMMMMMMMMMMMMM",
      "MMMMMMMMMMMMMMMMM",
  };
  for (auto& row : rows) row.append(static_cast<size_t>(extra), 'M');
  return TGlyph(rows);
}
}  // namespace

TGlyph openFolder() {
  return folderWithArrow(0);
}

TGlyph outputFolder() {
  return folderWithArrow(1);
}

TGlyph blankPage() {
  return TGlyph({
      "oooKKKKKKKKooooo",
      "oooKWWWWWWKKoooo",
      "oooKWWWWWWKWKooo",
      "oooKWWWWWWKWWKoo",
      "oooKWWWWWWKKKKKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKWWWWWWWWWWKo",
      "oooKKKKKKKKKKKKo",
      "oooooooooooooooo",
  });
}

}  // namespace glyphs

#pragma once
// A speed button's picture: a 16-colour bitmap holding two images side by
// side, the picture and its grey embossed copy for the disabled button.
// The colour of the bitmap's bottom-left pixel is transparent.
//
// Pictures are written as rows of letters, one letter a pixel, from the
// 16 standard colours:
//   K black   m maroon  g green  o olive   n navy  p purple   t teal  s silver
//   d grey    R red     G lime   Y yellow  B blue  M magenta  C aqua  W white
#include <windows.h>

#include <string>
#include <vector>

#include "forms/owned.h"

class TGlyph {
 public:
  TGlyph() = default;
  // The enabled picture; the disabled copy is made from it.
  explicit TGlyph(const std::vector<std::string>& rows);

  int ImageWidth() const { return width_; }
  int Height() const { return height_; }

  void Draw(HDC dc, int x, int y, bool enabled) const;

 private:
  int width_ = 0, height_ = 0;
  OwnedBitmap bitmap_;
  COLORREF transparent_ = 0;
};

#pragma once
// A font as the designer names it: face, character set and height in
// designed pixels (negative: character height, as CreateFont takes it).
#include <windows.h>

#include <string>

#include "forms/owned.h"

struct TFontSpec {
  std::string Name = "ＭＳ Ｐゴシック";
  int Height = -12;
  BYTE Charset = SHIFTJIS_CHARSET;

  OwnedFont create() const;
};

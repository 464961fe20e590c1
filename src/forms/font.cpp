#include "forms/font.h"

#include "forms/control.h"

OwnedFont TFontSpec::create() const {
  return OwnedFont(CreateFontA(TWinControl::Scale(Height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, Name.c_str()));
}

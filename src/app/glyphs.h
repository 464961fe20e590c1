#pragma once
// The pictures of the speed buttons.
#include "forms/glyph.h"

namespace glyphs {
TGlyph addFile();       // white page with a folded corner, green plus over its left edge
TGlyph removeFile();    // the page with a red minus bar across its left edge
TGlyph openFolder();    // open yellow folder with a curved black arrow above it (17 wide)
TGlyph blankPage();     // blank white page with a folded corner
TGlyph outputFolder();  // the open folder, 18 wide
}  // namespace glyphs

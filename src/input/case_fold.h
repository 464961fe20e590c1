#pragma once
// The key under which the input list compares paths. Two texts have equal
// keys exactly when the list box's exact-string search takes them for equal:
// without regard to letter case, over characters rather than bytes, so the
// second byte of a double-byte character is never folded as if it were an
// ASCII letter (ア is 83 41, ヂ is 83 61) while letters that have case beyond
// ASCII (full-width Ａ/ａ, Greek, Cyrillic) fold.
#include <string>
#include <string_view>

// On Windows the characters as the system maps them to upper case; natively
// a key made from a table of the letters of code page 932 that have case.
std::string caseFoldKey(std::string_view text);

#pragma once
// Whole-struct comparison and printing of StoredOptions for the settings
// tests, natively and under Wine.
#include <ostream>
#include <string>

#include "settings/settings_file.h"

inline bool operator==(const StoredOptions& a, const StoredOptions& b) {
  return a.OutDirCheck == b.OutDirCheck && a.OutDirEdit == b.OutDirEdit && a.ArcRate == b.ArcRate &&
         a.NoDialog == b.NoDialog && a.ArcName == b.ArcName && a.InputSubDir == b.InputSubDir;
}

inline std::ostream& operator<<(std::ostream& out, const StoredOptions& o) {
  return out << "{OutDirCheck=" << o.OutDirCheck << " OutDirEdit=" << o.OutDirEdit
             << " ArcRate=" << o.ArcRate << " NoDialog=" << o.NoDialog << " ArcName=" << o.ArcName
             << " InputSubDir=" << o.InputSubDir << "}";
}

inline std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  while (times-- > 0) text += piece;
  return text;
}

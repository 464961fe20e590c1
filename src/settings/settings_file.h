#pragma once
// The six options of the main window as the settings file "selvat.ini"
// keeps them: section "Option", one key each, read when the window is
// created and written when it closes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "os/profile.h"

struct StoredOptions {
  bool OutDirCheck = false;
  std::string OutDirEdit;
  std::int32_t ArcRate = 6;
  bool NoDialog = false;
  std::int32_t ArcName = 1;
  bool InputSubDir = false;
};

// A text value longer than this many bytes is cut to them, one fewer where
// the cut would split a double-byte character.
constexpr std::size_t settingsTextLimit = 2047;

// The settings file beside the executable: modulePath up to and including
// its last "\" or ":" (a "\" that ends a double-byte character does not
// count), then "selvat.ini".
std::string settingsFilePath(std::string_view modulePath);

// The Tag of the level item (R1 to R9) shown for a stored level: the level
// itself from 1 to 9, otherwise 6.
std::int32_t levelItemTag(std::int32_t arcRate);

// The Tag of the naming item shown for a stored naming mode: the mode
// itself from 1 to 3, otherwise 1.
std::int32_t namingItemTag(std::int32_t arcName);

// Reads the six keys in their fixed order; a missing or unreadable value
// gives that key's default. ArcRate and ArcName come back as the Tags of
// the items that show them, so what the menu shows is what is used.
StoredOptions readSettings(const Profile& profile);

// A key of the settings file could not be written.
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& path);
};

// Writes the six keys in their fixed order. Throws SettingsWriteError at
// the first key that cannot be written; the keys after it stay unwritten.
void writeSettings(Profile& profile, const StoredOptions& options);

#include "settings/settings_file.h"

#include "archive/path_rules.h"
#include "settings/ini_values.h"

namespace {

const std::string section = "Option";

std::int32_t readInteger(const Profile& profile, const char* key, std::int32_t fallback) {
  return parseIniInteger(profile.readText(section, key, "")).value_or(fallback);
}

bool readBoolean(const Profile& profile, const char* key) {
  return parseIniBoolean(profile.readText(section, key, ""));
}

std::string readText(const Profile& profile, const char* key) {
  std::string text = profile.readText(section, key, "");
  if (text.size() > settingsTextLimit) {
    std::size_t kept = settingsTextLimit;
    if (isTrailByte(text, kept)) --kept;  // keep no lead byte without its trail byte
    text.resize(kept);
  }
  return text;
}

void write(Profile& profile, const char* key, const std::string& text) {
  if (!profile.writeText(section, key, text)) throw SettingsWriteError(profile.path());
}

}  // namespace

std::string settingsFilePath(std::string_view modulePath) {
  std::size_t delimiter = lastDelimiter(modulePath, "\\:");
  std::size_t folderLength = delimiter == std::string_view::npos ? 0 : delimiter + 1;
  return std::string(modulePath.substr(0, folderLength)) + "selvat.ini";
}

std::int32_t levelItemTag(std::int32_t arcRate) {
  return arcRate >= 1 && arcRate <= 9 ? arcRate : 6;
}

std::int32_t namingItemTag(std::int32_t arcName) {
  return arcName >= 1 && arcName <= 3 ? arcName : 1;
}

StoredOptions readSettings(const Profile& profile) {
  StoredOptions options;
  options.OutDirCheck = readBoolean(profile, "OutDirCheck");
  options.OutDirEdit = readText(profile, "OutDirEdit");
  options.ArcRate = levelItemTag(readInteger(profile, "ArcRate", 6));
  options.NoDialog = readBoolean(profile, "NoDialog");
  options.ArcName = namingItemTag(readInteger(profile, "ArcName", 1));
  options.InputSubDir = readBoolean(profile, "InputSubDir");
  return options;
}

SettingsWriteError::SettingsWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません") {}

void writeSettings(Profile& profile, const StoredOptions& options) {
  write(profile, "OutDirCheck", formatIniBoolean(options.OutDirCheck));
  write(profile, "OutDirEdit", options.OutDirEdit);
  write(profile, "ArcRate", formatIniInteger(options.ArcRate));
  write(profile, "NoDialog", formatIniBoolean(options.NoDialog));
  write(profile, "ArcName", formatIniInteger(options.ArcName));
  write(profile, "InputSubDir", formatIniBoolean(options.InputSubDir));
}

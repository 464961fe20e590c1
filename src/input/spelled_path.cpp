#include "input/spelled_path.h"

#include <optional>
#include <vector>

const char kNoShortName[] =
    "ファイル名をシステムの文字コードで表せず、短い名前 (8.3 形式) もないため開けません。";
const char kUnspellableMissing[] =
    "ファイル名をシステムの文字コードで表せず、そのファイルも見つかりません。";

namespace {

// A path cut at every "\" and "/" (bytes that UTF-8 uses for nothing else):
// its components, and the delimiter after each one but the last.
struct Components {
  std::vector<std::string> names;
  std::string delimiters;
};

Components componentsOf(const std::string& path) {
  Components parts{{""}, ""};
  for (char c : path) {
    if (c == '\\' || c == '/') {
      parts.delimiters += c;
      parts.names.emplace_back();
    } else {
      parts.names.back() += c;
    }
  }
  return parts;
}

std::optional<std::string> exactForm(const std::string& utf8, FileSystem& files) {
  CodePageText form = files.codePageForm(utf8);
  if (!form.exact) return std::nullopt;
  return form.text;
}

// Each component by its long name where the code page spells that, else by
// its short name; nullopt when a component has no spelled name at all.
std::optional<std::string> mixedPath(const std::string& longPath, const std::string& shortPath,
                                     FileSystem& files) {
  Components longParts = componentsOf(longPath), shortParts = componentsOf(shortPath);
  if (longParts.names.size() != shortParts.names.size()) return exactForm(shortPath, files);
  std::string path;
  for (size_t i = 0; i < longParts.names.size(); ++i) {
    std::optional<std::string> name = exactForm(longParts.names[i], files);
    if (!name) name = exactForm(shortParts.names[i], files);
    if (!name) return std::nullopt;
    path += *name;
    if (i < longParts.delimiters.size()) path += longParts.delimiters[i];
  }
  return path;
}

}  // namespace

SpelledPath spellPath(const std::string& utf8Path, FileSystem& files) {
  CodePageText whole = files.codePageForm(utf8Path);
  if (whole.exact) return {whole.text, ""};
  std::optional<std::string> shortPath = files.shortPathOf(utf8Path);
  if (!shortPath) return {whole.text, kUnspellableMissing};
  std::optional<std::string> mixed = mixedPath(utf8Path, *shortPath, files);
  if (!mixed) return {whole.text, kNoShortName};
  return {*mixed, ""};
}

const std::string& reachableName(const FileEntry& entry) {
  return entry.exactName ? entry.name : entry.shortName;
}

#pragma once
// What the input list asks of the file system: attribute values, searches
// that yield each entry's long and short name, the full path of a relative
// path, and the code-page forms of the names that the system gives in
// Unicode. Paths are byte strings in the system code page; a name that the
// code page cannot spell travels as UTF-8.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using FileAttributes = std::uint32_t;

// The values that attribute queries and searches report.
namespace fileattr {
constexpr FileAttributes kReadOnly = 1;
constexpr FileAttributes kHidden = 2;
constexpr FileAttributes kSystem = 4;
constexpr FileAttributes kVolumeLabel = 8;
constexpr FileAttributes kDirectory = 16;
constexpr FileAttributes kArchive = 32;
constexpr FileAttributes kInvalid = 0xFFFFFFFF;  // the path does not exist
}  // namespace fileattr

// True when a path with these attribute values is an existing file: it
// exists and is no folder.
constexpr bool existsAsFile(FileAttributes attributes) {
  return attributes != fileattr::kInvalid && (attributes & fileattr::kDirectory) == 0;
}

struct FileEntry {
  // The long name in the case in which it is stored; where the code page
  // cannot spell it exactly, its best fit, which may name nothing or
  // another file.
  std::string name;
  FileAttributes attributes = 0;
  bool exactName = true;  // name spells the long name exactly
  // The short (8.3) name where the volume keeps one and the code page spells
  // it exactly; else empty.
  std::string shortName{};
};

// Text converted to the code page: exact when it spells every character of
// the original, else the system's best fit.
struct CodePageText {
  std::string text;
  bool exact = true;
};

// One open search; destroying it closes it.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // Fills entry with the next match and returns true, or returns false once
  // there is none (a search that could not start yields nothing).
  virtual bool next(FileEntry& entry) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // fileattr::kInvalid when the path cannot be queried.
  virtual FileAttributes attributesOf(const std::string& path) = 0;
  // A search of the pattern (a path whose last component may hold * and ?).
  // Never null.
  virtual std::unique_ptr<FileSearch> search(const std::string& pattern) = 0;
  // The full path that a relative path names in the current directory, or
  // the path unchanged when it cannot be resolved.
  virtual std::string fullPathOf(const std::string& path) = 0;
  // The code-page form of a UTF-8 text.
  virtual CodePageText codePageForm(const std::string& utf8) = 0;
  // The short (8.3) form of the UTF-8 path of something that exists, in
  // UTF-8: each component that has a short name by that name. A volume that
  // keeps no short names gives the path back unchanged. nullopt when the
  // path names nothing.
  virtual std::optional<std::string> shortPathOf(const std::string& utf8Path) = 0;
};

#ifdef _WIN32
// The Win32 file system.
FileSystem& systemFileSystem();

// UTF-16 from and to UTF-8, for the sources that the system feeds in
// UTF-16; and UTF-16 from the code page.
std::string utf8Of(std::wstring_view wide);
std::wstring wideOf(std::string_view utf8);
std::wstring wideOfCodePage(std::string_view text);
#endif

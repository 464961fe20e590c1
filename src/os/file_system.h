#pragma once
// What the input list asks of the file system: attribute values, searches
// that yield each entry's long name, and the full path of a relative path.
// Paths are byte strings in the system code page.
#include <cstdint>
#include <memory>
#include <string>

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

struct FileEntry {
  std::string name;  // the long name, in the case in which it is stored
  FileAttributes attributes = 0;
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
};

#ifdef _WIN32
// The Win32 file system.
FileSystem& systemFileSystem();
#endif

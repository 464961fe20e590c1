// The engine's only way to files. One implementation over the platform's
// calls, and test doubles that inject faults.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zip32 {

struct FileInfo {
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::int64_t modifiedUtc = 0;  // seconds since 1970-01-01 UTC
  std::uint32_t attributes =
      0;  // DOS attributes: 1 read-only, 2 hidden, 4 system, 0x10 folder, 0x20 archive
};

// Local calendar time of a moment, by the daylight rule of that date.
struct LocalTime {
  int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class FileReader {
 public:
  virtual ~FileReader() = default;
  // Bytes read, 0 at the end; nullopt on a read error.
  virtual std::optional<std::size_t> read(void* buffer, std::size_t size) = 0;
  virtual bool seek(std::uint64_t position) = 0;
  virtual std::optional<std::uint64_t> size() = 0;
};

// A file being written; it can be read back before it is closed.
class FileWriter : public FileReader {
 public:
  virtual bool write(const void* data, std::size_t size) = 0;  // all or failure
  virtual bool truncate() = 0;  // ends the file at the current position
  virtual bool flush() = 0;     // to the disk, not only to the system
};

enum class CreateStatus { Created, Exists, Failed };

// Why a call on a file failed, as far as the message to the user goes.
enum class FileFault { Other, NotFound, InUse, AccessDenied, DiskFull, BadName };

// The fault of the last failed file call of this thread (the system's last
// error); to be asked right after the failure.
FileFault lastFileFault();

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::optional<FileInfo> stat(const std::string& path) = 0;  // nullopt when missing
  // Names in a folder ("" for the current one, else ending in a delimiter); nullopt when
  // unreadable. Each is a name that reaches its file: where the code page cannot spell a long
  // name, the short one; an entry with neither is left out.
  virtual std::optional<std::vector<std::string>> list(const std::string& folder) = 0;
  virtual std::unique_ptr<FileReader> openRead(const std::string& path) = 0;  // null when it cannot
  // Creates a file that must not exist yet.
  virtual std::unique_ptr<FileWriter> createNew(const std::string& path, CreateStatus& status) = 0;
  virtual bool replace(const std::string& from, const std::string& to) = 0;  // rename over, durably
  virtual bool remove(const std::string& path) = 0;
  virtual bool sameFile(const std::string& a, const std::string& b) = 0;
  virtual LocalTime localTime(std::int64_t utc) = 0;
  // The path of an existing file in UTF-8, each component by its long name
  // (which the code page may not spell, where the path gave a short one);
  // nullopt where the path names nothing or names have no other form.
  virtual std::optional<std::string> trueName(const std::string& /*path*/) { return std::nullopt; }
};

// The platform's file system (POSIX natively, Win32 on Windows).
FileSystem& systemFileSystem();

}  // namespace zip32

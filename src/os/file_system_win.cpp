#include <windows.h>

#include "os/file_system.h"

namespace {

class Win32FileSearch final : public FileSearch {
 public:
  explicit Win32FileSearch(const std::string& pattern)
      : handle_(FindFirstFileA(pattern.c_str(), &data_)),
        holdsEntry_(handle_ != INVALID_HANDLE_VALUE) {}
  ~Win32FileSearch() override {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  Win32FileSearch(const Win32FileSearch&) = delete;
  Win32FileSearch& operator=(const Win32FileSearch&) = delete;

  bool next(FileEntry& entry) override {
    if (!holdsEntry_ && !fetch()) return false;
    holdsEntry_ = false;
    entry.name = data_.cFileName;
    entry.attributes = data_.dwFileAttributes;
    return true;
  }

 private:
  bool fetch() { return handle_ != INVALID_HANDLE_VALUE && FindNextFileA(handle_, &data_); }

  WIN32_FIND_DATAA data_{};
  HANDLE handle_;
  bool holdsEntry_;  // FindFirstFileA's entry has not been handed out yet
};

class Win32FileSystem final : public FileSystem {
 public:
  FileAttributes attributesOf(const std::string& path) override {
    return GetFileAttributesA(path.c_str());
  }

  std::unique_ptr<FileSearch> search(const std::string& pattern) override {
    return std::make_unique<Win32FileSearch>(pattern);
  }

  // Asks for the size first: the result can be longer than MAX_PATH.
  std::string fullPathOf(const std::string& path) override {
    std::string full;
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    while (needed > full.size()) {
      full.resize(needed);
      needed = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    }
    if (needed == 0) return path;
    full.resize(needed);
    return full;
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static Win32FileSystem files;
  return files;
}

#include <windows.h>

#include "os/file_system.h"

namespace {

// WC_NO_BEST_FIT_CHARS turns every character without an exact spelling
// into the default character and says so; the best fit is made only then.
// A code page that spells every character (UTF-8) refuses the check.
CodePageText codePageOf(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  BOOL inexact = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, &inexact);
  if (length == 0 || inexact) {
    flags = 0;
    length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  }
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return {std::move(text), !inexact};
}

class Win32FileSearch final : public FileSearch {
 public:
  explicit Win32FileSearch(const std::string& pattern)
      : handle_(FindFirstFileW(wideOfCodePage(pattern).c_str(), &data_)),
        holdsEntry_(handle_ != INVALID_HANDLE_VALUE) {}
  ~Win32FileSearch() override {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  Win32FileSearch(const Win32FileSearch&) = delete;
  Win32FileSearch& operator=(const Win32FileSearch&) = delete;

  bool next(FileEntry& entry) override {
    if (!holdsEntry_ && !fetch()) return false;
    holdsEntry_ = false;
    CodePageText name = codePageOf(data_.cFileName);
    entry.name = std::move(name.text);
    entry.exactName = name.exact;
    entry.shortName.clear();
    if (!name.exact) {
      CodePageText shortName = codePageOf(data_.cAlternateFileName);
      if (shortName.exact) entry.shortName = std::move(shortName.text);
    }
    entry.attributes = data_.dwFileAttributes;
    return true;
  }

 private:
  bool fetch() { return handle_ != INVALID_HANDLE_VALUE && FindNextFileW(handle_, &data_); }

  WIN32_FIND_DATAW data_{};
  HANDLE handle_;
  bool holdsEntry_;  // FindFirstFileW's entry has not been handed out yet
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

  CodePageText codePageForm(const std::string& utf8) override { return codePageOf(wideOf(utf8)); }

  std::optional<std::string> shortPathOf(const std::string& utf8Path) override {
    const std::wstring path = wideOf(utf8Path);
    std::wstring shortPath;
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    while (needed > shortPath.size()) {
      shortPath.resize(needed);
      needed = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    }
    if (needed == 0) return std::nullopt;
    shortPath.resize(needed);
    return utf8Of(shortPath);
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static Win32FileSystem files;
  return files;
}

std::string utf8Of(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

namespace {
std::wstring wideOfText(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}
}  // namespace

std::wstring wideOf(std::string_view utf8) {
  return wideOfText(CP_UTF8, utf8);
}

std::wstring wideOfCodePage(std::string_view text) {
  return wideOfText(CP_ACP, text);
}

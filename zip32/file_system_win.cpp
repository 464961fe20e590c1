// Win32 file access: CreateFileA with the sharing other programs expect,
// MoveFileExA to put a finished archive in place; names in UTF-16 where the
// code page may not spell them.
#include <windows.h>

#include "file_system.h"

namespace zip32 {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

bool seekTo(HANDLE handle, std::uint64_t position) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(handle, distance, nullptr, FILE_BEGIN) != FALSE;
}

std::int64_t toUnixTime(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  const std::uint64_t epochTicks = 116444736000000000ULL;  // 1970-01-01 in 100 ns ticks since 1601
  return (static_cast<std::int64_t>(ticks.QuadPart) - static_cast<std::int64_t>(epochTicks)) /
         10000000;
}

std::wstring wideOf(const std::string& text, UINT codePage) {
  int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// The code-page form of a name, where it spells every character exactly.
std::optional<std::string> exactCodePageForm(const wchar_t* name) {
  BOOL inexact = FALSE;
  int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0, nullptr, &inexact);
  if (length == 0) {  // a code page that has every character (UTF-8) takes no such check
    inexact = FALSE;
    length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  }
  if (inexact || length <= 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, text.data(), length, nullptr, nullptr);
  text.pop_back();  // the zero
  return text;
}

// An open file; a reader where it was opened for reading only.
class Win32File : public FileWriter {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  std::optional<std::size_t> read(void* buffer, std::size_t size) override {
    DWORD got = 0;
    DWORD ask = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
    if (!ReadFile(handle_.get(), buffer, ask, &got, nullptr)) return std::nullopt;
    return got;
  }
  bool seek(std::uint64_t position) override { return seekTo(handle_.get(), position); }
  std::optional<std::uint64_t> size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.get(), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  bool write(const void* data, std::size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      DWORD chunk = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
      DWORD done = 0;
      if (!WriteFile(handle_.get(), bytes, chunk, &done, nullptr) || done == 0) return false;
      bytes += done;
      size -= done;
    }
    return true;
  }
  bool truncate() override { return SetEndOfFile(handle_.get()) != FALSE; }
  bool flush() override { return FlushFileBuffers(handle_.get()) != FALSE; }

 private:
  Handle handle_;
};

class Win32FileSystem : public FileSystem {
 public:
  std::optional<FileInfo> stat(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    FileInfo info;
    info.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.modifiedUtc = toUnixTime(data.ftLastWriteTime);
    info.attributes = data.dwFileAttributes & 0x37;
    return info;
  }

  std::optional<std::vector<std::string>> list(const std::string& folder) override {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(wideOf(folder + "*", CP_ACP).c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>{};
      return std::nullopt;
    }
    std::vector<std::string> names;
    do {
      std::optional<std::string> name = exactCodePageForm(data.cFileName);
      if (!name) name = exactCodePageForm(data.cAlternateFileName);
      if (name && !name->empty() && *name != "." && *name != "..") names.push_back(*name);
    } while (FindNextFileW(find.get(), &data));
    return names;
  }

  std::unique_ptr<FileReader> openRead(const std::string& path) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
  }

  std::unique_ptr<FileWriter> createNew(const std::string& path, CreateStatus& status) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      status = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateStatus::Exists
                                                                           : CreateStatus::Failed;
      return nullptr;
    }
    status = CreateStatus::Created;
    return std::make_unique<Win32File>(handle);
  }

  bool replace(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }

  bool remove(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }

  bool sameFile(const std::string& a, const std::string& b) override {
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return identify(a, infoA) && identify(b, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
  }

  std::optional<std::string> trueName(const std::string& path) override {
    const std::wstring given = wideOf(path, CP_ACP);
    std::wstring name;
    DWORD needed = GetLongPathNameW(given.c_str(), nullptr, 0);
    while (needed > name.size()) {
      name.resize(needed);
      needed = GetLongPathNameW(given.c_str(), name.data(), needed);
    }
    if (needed == 0) return std::nullopt;
    int length = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(needed), nullptr, 0,
                                     nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(needed), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
  }

  LocalTime localTime(std::int64_t utc) override {
    if (utc < 0) return {};  // before 1970: the earliest DOS time anyway
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<std::uint64_t>(utc) * 10000000ULL + 116444736000000000ULL;
    FILETIME fileTime{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME universal, local;
    // The time zone's rule for that date, unlike FileTimeToLocalFileTime's rule of today.
    if (!FileTimeToSystemTime(&fileTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
      return {};
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
  }

 private:
  static bool identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    Handle handle(CreateFileA(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.valid() && GetFileInformationByHandle(handle.get(), &info);
  }
};

}  // namespace

FileFault lastFileFault() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return FileFault::NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileFault::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileFault::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileFault::DiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileFault::BadName;
    default:
      return FileFault::Other;
  }
}

FileSystem& systemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace zip32

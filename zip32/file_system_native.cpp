// POSIX file access for the native build (tests and benchmarks).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "file_system.h"

namespace zip32 {

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// An open file; a reader where it was opened for reading only.
class PosixFile : public FileWriter {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  std::optional<std::size_t> read(void* buffer, std::size_t size) override {
    for (;;) {
      ssize_t got = ::read(fd_.get(), buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return std::nullopt;
    }
  }
  bool seek(std::uint64_t position) override {
    return lseek(fd_.get(), static_cast<off_t>(position), SEEK_SET) >= 0;
  }
  std::optional<std::uint64_t> size() override {
    struct stat st;
    if (fstat(fd_.get(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
  }
  bool write(const void* data, std::size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t done = ::write(fd_.get(), bytes, size);
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) return false;
      bytes += done;
      size -= static_cast<std::size_t>(done);
    }
    return true;
  }
  bool truncate() override {
    off_t here = lseek(fd_.get(), 0, SEEK_CUR);
    return here >= 0 && ftruncate(fd_.get(), here) == 0;
  }
  bool flush() override { return fsync(fd_.get()) == 0; }

 private:
  Descriptor fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::optional<FileInfo> stat(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    FileInfo info;
    info.isDirectory = S_ISDIR(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modifiedUtc = st.st_mtime;
    info.attributes = info.isDirectory ? 0x10 : 0x20;
    if ((st.st_mode & S_IWUSR) == 0) info.attributes |= 0x01;
    return info;
  }

  std::optional<std::vector<std::string>> list(const std::string& folder) override {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return std::nullopt;
    std::unique_ptr<DIR, int (*)(DIR*)> owner(dir, closedir);
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    return names;
  }

  std::unique_ptr<FileReader> openRead(const std::string& path) override {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }

  std::unique_ptr<FileWriter> createNew(const std::string& path, CreateStatus& status) override {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      status = errno == EEXIST ? CreateStatus::Exists : CreateStatus::Failed;
      return nullptr;
    }
    status = CreateStatus::Created;
    return std::make_unique<PosixFile>(fd);
  }

  bool replace(const std::string& from, const std::string& to) override {
    struct stat st;
    if (::stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
  }

  bool remove(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool sameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
  }

  LocalTime localTime(std::int64_t utc) override {
    std::time_t t = static_cast<std::time_t>(utc);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
};

}  // namespace

FileFault lastFileFault() {
  switch (errno) {
    case ENOENT:
    case ENOTDIR:
      return FileFault::NotFound;
    case EBUSY:
    case ETXTBSY:
      return FileFault::InUse;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileFault::AccessDenied;
    case ENOSPC:
    case EDQUOT:
      return FileFault::DiskFull;
    case ENAMETOOLONG:
    case EILSEQ:
      return FileFault::BadName;
    default:
      return FileFault::Other;
  }
}

FileSystem& systemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace zip32

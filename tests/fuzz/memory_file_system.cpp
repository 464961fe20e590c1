#include "memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace zip32::fuzz {

namespace {

// A file of the map, read and written in place.
class MemoryFile : public FileWriter {
 public:
  explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}
  std::optional<std::size_t> read(void* buffer, std::size_t size) override {
    std::size_t got = std::min(size, bytes_.size() - std::min(at_, bytes_.size()));
    if (got > 0) std::memcpy(buffer, bytes_.data() + at_, got);
    at_ += got;
    return got;
  }
  bool seek(std::uint64_t position) override {
    at_ = static_cast<std::size_t>(position);
    return true;
  }
  std::optional<std::uint64_t> size() override { return bytes_.size(); }
  bool write(const void* data, std::size_t size) override {
    if (bytes_.size() < at_ + size) bytes_.resize(at_ + size);
    std::memcpy(bytes_.data() + at_, data, size);
    at_ += size;
    return true;
  }
  bool truncate() override {
    bytes_.resize(at_);
    return true;
  }
  bool flush() override { return true; }

 private:
  std::string& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

void MemoryFileSystem::put(const std::string& path, const std::string& bytes) {
  files_[path] = bytes;
}

std::optional<FileInfo> MemoryFileSystem::stat(const std::string& path) {
  FileInfo info;
  auto found = files_.find(path);
  if (found != files_.end()) {
    info.size = found->second.size();
    info.modifiedUtc = 1714564800;
    info.attributes = 0x20;
    return info;
  }
  if (files_.lower_bound(path + "/") == files_.end() ||
      files_.lower_bound(path + "/")->first.compare(0, path.size() + 1, path + "/") != 0)
    return std::nullopt;
  info.isDirectory = true;
  info.attributes = 0x10;
  return info;
}

std::optional<std::vector<std::string>> MemoryFileSystem::list(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [path, bytes] : files_) {
    if (path.compare(0, folder.size(), folder) != 0) continue;
    std::string rest = path.substr(folder.size());
    names.push_back(rest.substr(0, rest.find('/')));
  }
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::unique_ptr<FileReader> MemoryFileSystem::openRead(const std::string& path) {
  auto found = files_.find(path);
  if (found == files_.end()) return nullptr;
  return std::make_unique<MemoryFile>(found->second);
}

std::unique_ptr<FileWriter> MemoryFileSystem::createNew(const std::string& path,
                                                        CreateStatus& status) {
  auto [file, created] = files_.emplace(path, std::string());
  status = created ? CreateStatus::Created : CreateStatus::Exists;
  return created ? std::make_unique<MemoryFile>(file->second) : nullptr;
}

bool MemoryFileSystem::replace(const std::string& from, const std::string& to) {
  auto found = files_.find(from);
  if (found == files_.end()) return false;
  std::string bytes = std::move(found->second);
  files_.erase(found);
  files_[to] = std::move(bytes);
  return true;
}

bool MemoryFileSystem::remove(const std::string& path) {
  return files_.erase(path) > 0;
}

}  // namespace zip32::fuzz

// Files held in memory, for the fuzz targets: quick, and every file the
// engine leaves behind can be seen.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "file_system.h"

namespace zip32::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  void put(const std::string& path, const std::string& bytes);
  const std::map<std::string, std::string>& files() const { return files_; }

  std::optional<FileInfo> stat(const std::string& path) override;
  std::optional<std::vector<std::string>> list(const std::string& folder) override;
  std::unique_ptr<FileReader> openRead(const std::string& path) override;
  std::unique_ptr<FileWriter> createNew(const std::string& path, CreateStatus& status) override;
  bool replace(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override;
  bool sameFile(const std::string& a, const std::string& b) override { return a == b; }
  LocalTime localTime(std::int64_t) override { return {2024, 5, 1, 12, 0, 0}; }

 private:
  std::map<std::string, std::string> files_;  // path to bytes; folders end in "/"
};

}  // namespace zip32::fuzz

// Test helpers: check an archive with outside readers, read files, make folders.
#pragma once
#include <string>
#include <vector>

namespace zip32::test {

// Runs 7-Zip, libarchive and Python's zipfile over the archive (see
// check_zip.py); empty when all is well, else what they said.
std::string checkArchive(const std::string& archive, const std::vector<std::string>& names = {});

std::string readFile(const std::string& path);
// Test data: words of English and Japanese (Shift-JIS) that deflate well, or noise that does not.
std::string textLike(std::size_t size, unsigned seed = 7);
std::string randomBytes(std::size_t size);
void writeFile(const std::string& path, const std::string& bytes);

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }  // ends in "/"
  std::vector<std::string> names() const;            // what is in it now

 private:
  std::string path_;
};

}  // namespace zip32::test

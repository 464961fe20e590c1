#include "input/folder_walk.h"

#include "archive/path_rules.h"

namespace {

constexpr FileAttributes kAcceptedFiles =
    fileattr::kReadOnly | fileattr::kHidden | fileattr::kSystem | fileattr::kArchive;
constexpr FileAttributes kNeverListed =
    fileattr::kHidden | fileattr::kSystem | fileattr::kVolumeLabel | fileattr::kDirectory;

// The part of the never-listed bits that the accepted set does not take back.
FileAttributes excludedAttributes(bool includeSubfolders) {
  FileAttributes accepted = kAcceptedFiles | (includeSubfolders ? fileattr::kDirectory : 0);
  return kNeverListed & ~accepted;
}

class FolderWalk {
 public:
  FolderWalk(bool includeSubfolders, FileSystem& files, KeyState& keys, const PathHandler& admit)
      : excluded_(excludedAttributes(includeSubfolders)),
        files_(files),
        keys_(keys),
        admit_(admit) {}

  void list(const std::string& folder) {
    const std::string prefix = endsWithPathDelimiter(folder) ? folder : folder + "\\";
    std::unique_ptr<FileSearch> search = files_.search(prefix + "*.*");
    FileEntry entry;
    while (nextPassing(*search, entry)) {
      if (keys_.escapeDown()) return;
      if (entry.name == "." || entry.name == "..") continue;
      if (countsAsFolder(entry.attributes))
        list(prefix + entry.name);
      else
        admit_(prefix + entry.name);
    }
  }

 private:
  bool nextPassing(FileSearch& search, FileEntry& entry) const {
    while (search.next(entry))
      if ((entry.attributes & excluded_) == 0) return true;
    return false;
  }

  const FileAttributes excluded_;
  FileSystem& files_;
  KeyState& keys_;
  const PathHandler& admit_;
};

}  // namespace

bool countsAsFolder(FileAttributes attributes) {
  return attributes == fileattr::kDirectory;
}

void listFolder(const std::string& folder, bool includeSubfolders, FileSystem& files,
                KeyState& keys, const PathHandler& admit) {
  FolderWalk(includeSubfolders, files, keys, admit).list(folder);
}

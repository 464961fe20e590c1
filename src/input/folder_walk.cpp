#include "input/folder_walk.h"

#include "archive/path_rules.h"
#include "input/spelled_path.h"

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
  FolderWalk(bool includeSubfolders, FileSystem& files, KeyState& keys, const PathHandler& admit,
             const RefusalHandler& refuse)
      : excluded_(excludedAttributes(includeSubfolders)),
        files_(files),
        keys_(keys),
        admit_(admit),
        refuse_(refuse) {}

  void list(const std::string& folder) {
    const std::string prefix = withPathDelimiter(folder);
    std::unique_ptr<FileSearch> search = files_.search(prefix + "*.*");
    FileEntry entry;
    while (nextPassing(*search, entry)) {
      if (keys_.escapeDown()) return;
      if (entry.name == "." || entry.name == "..") continue;
      const std::string& name = reachableName(entry);
      if (name.empty())
        refuse_(prefix + entry.name, kNoShortName);
      else if (countsAsFolder(entry.attributes))
        list(prefix + name);
      else
        admit_(prefix + name);
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
  const RefusalHandler& refuse_;
};

}  // namespace

bool countsAsFolder(FileAttributes attributes) {
  return attributes == fileattr::kDirectory;
}

void listFolder(const std::string& folder, bool includeSubfolders, FileSystem& files,
                KeyState& keys, const PathHandler& admit, const RefusalHandler& refuse) {
  FolderWalk(includeSubfolders, files, keys, admit, refuse).list(folder);
}
